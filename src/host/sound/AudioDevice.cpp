#include "host/sound/AudioDevice.h"

#include <AL/alext.h>

#include <mutex>

#include "host/core/Log.h"

namespace host {
namespace {

std::mutex gDeviceMutex;
std::weak_ptr<AudioDevice> gDevice;

struct ThreadContextCalls {
    PFNALCSETTHREADCONTEXTPROC set = nullptr;
    PFNALCGETTHREADCONTEXTPROC get = nullptr;
};

const ThreadContextCalls& threadContextCalls() {
    static const ThreadContextCalls calls = [] {
        ThreadContextCalls c;
        if (alcIsExtensionPresent(nullptr, "ALC_EXT_thread_local_context")) {
            c.set = reinterpret_cast<PFNALCSETTHREADCONTEXTPROC>(alcGetProcAddress(nullptr, "alcSetThreadContext"));
            c.get = reinterpret_cast<PFNALCGETTHREADCONTEXTPROC>(alcGetProcAddress(nullptr, "alcGetThreadContext"));
        }
        return c;
    }();
    return calls;
}

}  // namespace

std::shared_ptr<AudioDevice> AudioDevice::openDefault() {
    std::lock_guard<std::mutex> lock(gDeviceMutex);
    if (std::shared_ptr<AudioDevice> open = gDevice.lock()) return open;
    ALCdevice* d = nullptr;
    {
        // Without a sound card the back ends print screens of errors of
        // their own; the callers' one line says it all.
        LibraryOutputCapture quiet("openal");
        d = alcOpenDevice(nullptr);
    }
    if (!d) return nullptr;
    std::shared_ptr<AudioDevice> device(new AudioDevice(d));
    gDevice = device;
    return device;
}

AudioDevice::~AudioDevice() {
    std::lock_guard<std::mutex> lock(gDeviceMutex);
    alcCloseDevice(device_);
}

ScopedThreadContext::ScopedThreadContext(ALCcontext* context) {
    const ThreadContextCalls& calls = threadContextCalls();
    if (!calls.set || !calls.get) return;
    previous_ = calls.get();
    ok_ = calls.set(context) == ALC_TRUE;
}

ScopedThreadContext::~ScopedThreadContext() {
    if (ok_) threadContextCalls().set(previous_);
}

}  // namespace host
