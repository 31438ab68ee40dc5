// Decoding sound files to PCM through libsndfile.
//
// Two readers, as the sound engine asks for them:
// - decodeWaveFile: RIFF/WAVE files kept as they are stored. Only linear
//   PCM, little-endian, 1 or 2 channels, 8 (unsigned) or 16 (signed) bits
//   per sample is accepted; the RIFF header is checked here before
//   libsndfile is trusted with the data, so that big-endian ("RIFX"),
//   24-bit, float, truncated or mislabelled files are refused.
// - decodeSoundFile: anything libsndfile reads (CAF, AIFF, FLAC, Ogg
//   Vorbis, WAV of any depth...), converted to 16-bit signed native-order
//   PCM, at most 2 channels.
// Only regular files are opened (a directory, FIFO or device is refused
// at once). A failure logs one line naming the file and the reason and
// returns false.
#pragma once

#include <sndfile.h>

#include <cstddef>
#include <memory>
#include <string>

#include "host/core/SafeFileReader.h"

namespace host {

struct PCMSound {
    std::unique_ptr<unsigned char[]> bytes;
    size_t byteCount = 0;
    int channels = 0;        // 1 or 2
    int bitsPerSample = 0;   // 8 or 16
    int sampleRate = 0;      // Hz
};

// Sounds bigger than this are refused rather than decoded into memory.
constexpr size_t kMaxDecodedSoundBytes = size_t(64) << 20;
// Sound files are opened only when they are regular files no larger than
// this (an hour and more of CD-quality WAVE for the long-audio player).
constexpr size_t kMaxSoundFileBytes = size_t(1) << 30;

bool decodeWaveFile(const std::string& path, PCMSound* out);
bool decodeSoundFile(const std::string& path, PCMSound* out);

// A file opened for streaming: 16-bit signed native frames, read in pieces.
class SoundFileStream {
public:
    SoundFileStream() = default;
    ~SoundFileStream();
    SoundFileStream(const SoundFileStream&) = delete;
    SoundFileStream& operator=(const SoundFileStream&) = delete;

    // On failure `error` says why (nothing is logged here).
    bool open(const std::string& path, std::string* error);
    bool isOpen() const { return file_ != nullptr; }
    int channels() const { return info_.channels; }
    int sampleRate() const { return info_.samplerate; }
    long long frames() const { return static_cast<long long>(info_.frames); }
    // Reads up to `maxFrames` frames; returns how many were read (0 at the
    // end or on a read error).
    long long read(short* frames, long long maxFrames);
    bool seek(long long frame);

private:
    void close();

    SNDFILE* file_ = nullptr;
    std::unique_ptr<SafeFileReader> reader_;  // owns the descriptor libsndfile reads
    SF_INFO info_{};
};

}  // namespace host
