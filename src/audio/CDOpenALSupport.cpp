#include "audio/CDOpenALSupport.h"

#include <strings.h>

#include "host/sound/SoundFile.h"

namespace {

ALenum openALFormat(int channels, int bits) {
    if (channels == 1) return bits == 8 ? AL_FORMAT_MONO8 : AL_FORMAT_MONO16;
    return bits == 8 ? AL_FORMAT_STEREO8 : AL_FORMAT_STEREO16;
}

CDAudioData handOver(bool decoded, host::PCMSound& pcm, ALsizei* outDataSize, ALenum* outDataFormat,
                     ALsizei* outSampleRate) {
    if (!decoded) return nullptr;
    if (outDataSize) *outDataSize = static_cast<ALsizei>(pcm.byteCount);
    if (outDataFormat) *outDataFormat = openALFormat(pcm.channels, pcm.bitsPerSample);
    if (outSampleRate) *outSampleRate = pcm.sampleRate;
    return std::move(pcm.bytes);
}

// The extension of the last path component, without the dot.
std::string extensionOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return std::string();
    return path.substr(dot + 1);
}

}  // namespace

CDAudioData CDloadWaveAudioData(const std::string& filePath, ALsizei* outDataSize, ALenum* outDataFormat,
                                ALsizei* outSampleRate) {
    host::PCMSound pcm;
    bool ok = host::decodeWaveFile(filePath, &pcm);
    return handOver(ok, pcm, outDataSize, outDataFormat, outSampleRate);
}

CDAudioData CDloadCafAudioData(const std::string& filePath, ALsizei* outDataSize, ALenum* outDataFormat,
                               ALsizei* outSampleRate) {
    host::PCMSound pcm;
    bool ok = host::decodeSoundFile(filePath, &pcm);
    return handOver(ok, pcm, outDataSize, outDataFormat, outSampleRate);
}

CDAudioData CDGetOpenALAudioData(const std::string& filePath, ALsizei* outDataSize, ALenum* outDataFormat,
                                 ALsizei* outSampleRate) {
    std::string ext = extensionOf(filePath);
    if (ext.empty() || strcasecmp(ext.c_str(), "wav") == 0)
        return CDloadWaveAudioData(filePath, outDataSize, outDataFormat, outSampleRate);
    return CDloadCafAudioData(filePath, outDataSize, outDataFormat, outSampleRate);
}
