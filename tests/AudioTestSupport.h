// Shared pieces of the sound tests.
//
// Every test process plays through OpenAL Soft's "wave" back end, which
// writes what the mixer produces into a WAV file: the process points
// ALSOFT_CONF at a configuration written before OpenAL is first used (16-bit
// stereo at 44.1 kHz, no dither, no limiter). Each time the audio device is
// closed the file is complete, so a test plays, lets go of every engine and
// player, and reads back what was heard.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace audiotest {

// A directory of this process's own for files the tests write, removed
// when the process ends.
const std::string& scratchDir();
std::string scratchPath(const std::string& name);
// The source tree's resources directory.
const std::string& resourcesDir();
// Where the wave back end writes.
const std::string& captureFile();

// Switches this process to an OpenAL configuration without a usable
// device. Only works before the first OpenAL call of the process.
void useConfigurationWithoutDevice();

// A WAV file as bytes, with every header field under the test's control.
struct WavFormat {
    std::string riffId = "RIFF";
    uint16_t formatTag = 1;          // 1 linear PCM, 3 float, 0xFFFE extensible
    uint16_t channels = 1;
    uint32_t sampleRate = 44100;
    uint16_t bitsPerSample = 16;
    int64_t declaredDataSize = -1;   // -1: the real size
};
std::vector<uint8_t> makeWav(const WavFormat& wavFormat, const std::vector<float>& samples);
// A sine of `seconds` at `frequency` and `amplitude`, interleaved for
// `channels` (every channel the same).
std::vector<float> tone(double seconds, double frequency, double amplitude, uint32_t rate, int channels = 1);
void writeFile(const std::string& path, const std::vector<uint8_t>& bytes);
// Writes a tone as a WAV file in the scratch directory; returns its path.
std::string writeToneFile(const std::string& name, double seconds, double frequency, double amplitude,
                          uint32_t rate = 44100, int channels = 1, uint16_t bits = 16);

// What the wave back end wrote: one float array per output channel.
struct Capture {
    std::vector<float> left, right;
    int sampleRate = 0;
    bool ok() const { return sampleRate > 0; }
    double seconds() const { return sampleRate ? double(left.size()) / sampleRate : 0; }
    // Sum of squares over [from, to) seconds of one channel (0 left, 1 right).
    double energy(int channel, double from = 0, double to = 1e9) const;
    double peak(int channel, double from = 0, double to = 1e9) const;
    // The first time either channel rises above `threshold`, or -1.
    double onset(double threshold = 0.01) const;
};
Capture readCapture();

// Runs the main run loop for `seconds` of real time, so that sound plays
// and messages to the main thread are delivered.
void pump(double seconds);
// Pumps until `done` holds or `timeout` seconds pass; returns `done()`.
bool pumpUntil(const std::function<bool()>& done, double timeout);

}  // namespace audiotest
