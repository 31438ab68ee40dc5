#include "AudioTestSupport.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <algorithm>
#include <iterator>

#include "ScratchDirectory.h"
#include "host/core/RunLoop.h"

namespace audiotest {
namespace {

void writeText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

std::string configuration(bool withDevice) {
    std::string conf =
        "[general]\n"
        "drivers = wave\n"
        "channels = stereo\n"
        "sample-type = int16\n"
        "frequency = 44100\n"
        "stereo-mode = speakers\n"
        "hrtf = false\n"
        "dither = false\n"
        "output-limiter = false\n";
    // Without a file name the wave back end cannot open a device.
    if (withDevice) conf += "[wave]\nfile = " + captureFile() + "\n";
    return conf;
}

void pointOpenALAt(const std::string& confName, bool withDevice) {
    std::string path = scratchPath(confName);
    writeText(path, configuration(withDevice));
    setenv("ALSOFT_CONF", path.c_str(), 1);
    unsetenv("ALSOFT_DRIVERS");
    setenv("ALSOFT_LOGLEVEL", "0", 1);
}

// Before main: OpenAL reads its configuration on first use.
const bool gConfigured = [] {
    pointOpenALAt("alsoft.conf", true);
    return true;
}();

uint16_t rd16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t rd32(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }
void put16(std::vector<uint8_t>& b, uint16_t v) { b.push_back(uint8_t(v)); b.push_back(uint8_t(v >> 8)); }
void put32(std::vector<uint8_t>& b, uint32_t v) { for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i))); }

std::pair<size_t, size_t> window(const std::vector<float>& s, int rate, double from, double to) {
    size_t a = size_t(std::max(0.0, from) * rate);
    size_t b = size_t(std::min(double(s.size()), std::max(0.0, to) * rate));
    return {std::min(a, s.size()), std::max(std::min(a, s.size()), b)};
}

}  // namespace

const std::string& scratchDir() {
    static const ScratchDirectory dir;
    return dir.path();
}

std::string scratchPath(const std::string& name) { return scratchDir() + "/" + name; }

const std::string& captureFile() {
    static const std::string path = scratchPath("capture.wav");
    return path;
}

const std::string& resourcesDir() {
    static const std::string dir = [] {
        std::string d = __FILE__;
        struct stat st;
        for (size_t slash = d.rfind('/'); slash != std::string::npos; slash = d.rfind('/', slash - 1)) {
            std::string candidate = d.substr(0, slash) + "/resources";
            if (::stat((candidate + "/sounds").c_str(), &st) == 0) return candidate;
            if (slash == 0) break;
        }
        return std::string("resources");
    }();
    return dir;
}

void useConfigurationWithoutDevice() { pointOpenALAt("alsoft-nodevice.conf", false); }

std::vector<float> tone(double seconds, double frequency, double amplitude, uint32_t rate, int channels) {
    size_t frames = size_t(seconds * rate);
    std::vector<float> out;
    out.reserve(frames * size_t(channels));
    for (size_t i = 0; i < frames; ++i) {
        float v = float(amplitude * std::sin(2 * M_PI * frequency * double(i) / rate));
        for (int c = 0; c < channels; ++c) out.push_back(v);
    }
    return out;
}

std::vector<uint8_t> makeWav(const WavFormat& wavFormat, const std::vector<float>& samples) {
    std::vector<uint8_t> data;
    for (float s : samples) {
        double v = std::max(-1.0, std::min(1.0, double(s)));
        switch (wavFormat.bitsPerSample) {
            case 8: data.push_back(uint8_t(std::lround(v * 127.0) + 128)); break;
            case 24: {
                int32_t i = int32_t(std::lround(v * 8388607.0));
                for (int k = 0; k < 3; ++k) data.push_back(uint8_t(i >> (8 * k)));
                break;
            }
            case 32: {
                float f = float(v);
                uint32_t bits;
                std::memcpy(&bits, &f, 4);
                put32(data, bits);
                break;
            }
            default: put16(data, uint16_t(int16_t(std::lround(v * 32767.0)))); break;
        }
    }
    const uint16_t blockAlign = uint16_t(wavFormat.channels * wavFormat.bitsPerSample / 8);
    uint32_t declared = wavFormat.declaredDataSize < 0 ? uint32_t(data.size()) : uint32_t(wavFormat.declaredDataSize);
    std::vector<uint8_t> b(wavFormat.riffId.begin(), wavFormat.riffId.end());
    put32(b, uint32_t(4 + 8 + 16 + 8 + data.size()));
    b.insert(b.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put32(b, 16);
    put16(b, wavFormat.formatTag);
    put16(b, wavFormat.channels);
    put32(b, wavFormat.sampleRate);
    put32(b, wavFormat.sampleRate * blockAlign);
    put16(b, blockAlign);
    put16(b, wavFormat.bitsPerSample);
    b.insert(b.end(), {'d', 'a', 't', 'a'});
    put32(b, declared);
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::string writeToneFile(const std::string& name, double seconds, double frequency, double amplitude,
                          uint32_t rate, int channels, uint16_t bits) {
    WavFormat wavFormat;
    wavFormat.channels = uint16_t(channels);
    wavFormat.sampleRate = rate;
    wavFormat.bitsPerSample = bits;
    std::string path = scratchPath(name);
    writeFile(path, makeWav(wavFormat, tone(seconds, frequency, amplitude, rate, channels)));
    return path;
}

double Capture::energy(int channel, double from, double to) const {
    const std::vector<float>& s = channel == 0 ? left : right;
    auto [a, b] = window(s, sampleRate, from, to);
    double e = 0;
    for (size_t i = a; i < b; ++i) e += double(s[i]) * s[i];
    return e;
}

double Capture::peak(int channel, double from, double to) const {
    const std::vector<float>& s = channel == 0 ? left : right;
    auto [a, b] = window(s, sampleRate, from, to);
    double p = 0;
    for (size_t i = a; i < b; ++i) p = std::max(p, double(std::fabs(s[i])));
    return p;
}

double Capture::onset(double threshold) const {
    for (size_t i = 0; i < left.size(); ++i)
        if (std::fabs(left[i]) > threshold || std::fabs(right[i]) > threshold) return double(i) / sampleRate;
    return -1;
}

// Reads the chunks itself: the data size in the header is only final once
// the device has closed, so the data is taken to the end of the file.
Capture readCapture() {
    Capture c;
    std::ifstream in(captureFile(), std::ios::binary);
    std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0) return c;
    size_t pos = 12;
    int channels = 0, bits = 0, rate = 0;
    while (pos + 8 <= b.size()) {
        uint32_t size = rd32(&b[pos + 4]);
        if (std::memcmp(&b[pos], "fmt ", 4) == 0 && pos + 8 + 16 <= b.size()) {
            channels = rd16(&b[pos + 10]);
            rate = int(rd32(&b[pos + 12]));
            bits = rd16(&b[pos + 22]);
        } else if (std::memcmp(&b[pos], "data", 4) == 0) {
            if (channels != 2 || bits != 16) return c;
            for (size_t i = pos + 8; i + 4 <= b.size(); i += 4) {
                c.left.push_back(int16_t(rd16(&b[i])) / 32768.0f);
                c.right.push_back(int16_t(rd16(&b[i + 2])) / 32768.0f);
            }
            c.sampleRate = rate;
            return c;
        }
        pos += 8 + size + (size & 1);
    }
    return c;
}

void pump(double seconds) {
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < end) host::RunLoop::main().runOnce(0.005);
}

bool pumpUntil(const std::function<bool()>& done, double timeout) {
    auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeout);
    while (!done() && std::chrono::steady_clock::now() < end) host::RunLoop::main().runOnce(0.005);
    return done();
}

}  // namespace audiotest
