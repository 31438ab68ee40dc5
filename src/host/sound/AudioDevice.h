// The one audio output of the process. OpenAL Soft can open the default
// device more than once, but a second open of a file-writing back end
// would clobber the first, and several opens mix nothing together; so
// everyone who plays sound (the effect engine, each long-audio player)
// shares one open device and makes its own context on it. The device is
// closed when the last holder lets go.
#pragma once

#include <AL/alc.h>

#include <memory>

namespace host {

class AudioDevice {
public:
    // The shared default device, opened on first use; nullptr when no
    // device can be opened (nothing is logged: callers say what failed).
    static std::shared_ptr<AudioDevice> openDefault();

    ~AudioDevice();
    AudioDevice(const AudioDevice&) = delete;
    AudioDevice& operator=(const AudioDevice&) = delete;

    ALCdevice* alcDevice() const { return device_; }

private:
    explicit AudioDevice(ALCdevice* d) : device_(d) {}
    ALCdevice* device_;
};

// Makes `context` current for this thread only (the thread-local context
// extension) and puts back the thread's previous one on destruction, so a
// background thread can talk to its own context without touching the
// process-wide current one. `ok()` is false where the extension is missing.
class ScopedThreadContext {
public:
    explicit ScopedThreadContext(ALCcontext* context);
    ~ScopedThreadContext();
    ScopedThreadContext(const ScopedThreadContext&) = delete;
    ScopedThreadContext& operator=(const ScopedThreadContext&) = delete;
    bool ok() const { return ok_; }

private:
    ALCcontext* previous_ = nullptr;
    bool ok_ = false;
};

}  // namespace host
