// Decoding a sound file into PCM that OpenAL can take. Files named "*.wav"
// (any case) or with no extension are read as WAVE and kept exactly as
// stored (8 or 16 bits, 1 or 2 channels, little-endian linear PCM only);
// every other file is decoded to 16-bit signed native PCM with at most two
// channels. Each returns the bytes (owned by the caller) with their size,
// OpenAL format and sample rate, or null after logging why.
#pragma once

#include <AL/al.h>

#include <memory>
#include <string>

using CDAudioData = std::unique_ptr<unsigned char[]>;

CDAudioData CDGetOpenALAudioData(const std::string& filePath, ALsizei* outDataSize, ALenum* outDataFormat,
                                 ALsizei* outSampleRate);
CDAudioData CDloadWaveAudioData(const std::string& filePath, ALsizei* outDataSize, ALenum* outDataFormat,
                                ALsizei* outSampleRate);
CDAudioData CDloadCafAudioData(const std::string& filePath, ALsizei* outDataSize, ALenum* outDataFormat,
                               ALsizei* outSampleRate);
