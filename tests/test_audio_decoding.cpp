// Sound files from outside: what decodes, into which PCM layout, and every
// way a file can be refused (one log line, null result, no crash).
#include <gtest/gtest.h>

#include <sndfile.h>

#include <cstring>

#include "AudioTestSupport.h"
#include "LogCapture.h"
#include "OddFiles.h"
#include "audio/CDOpenALSupport.h"
#include "host/sound/AudioPlayer.h"

namespace {

using audiotest::WavFormat;

struct Decoded {
    bool ok = false;
    ALsizei size = 0;
    ALenum format = 0;
    ALsizei rate = 0;
    std::vector<std::string> log;
};

Decoded decode(const std::string& path) {
    LogCapture log;
    Decoded d;
    CDAudioData data = CDGetOpenALAudioData(path, &d.size, &d.format, &d.rate);
    d.ok = data != nullptr;
    d.log = log.lines();
    return d;
}

std::string writeWav(const std::string& name, const WavFormat& wavFormat, double seconds = 0.05) {
    std::string path = audiotest::scratchPath(name);
    audiotest::writeFile(path, audiotest::makeWav(wavFormat, audiotest::tone(seconds, 440, 0.5, wavFormat.sampleRate,
                                                                        wavFormat.channels)));
    return path;
}

// Writes a file of another container through libsndfile itself.
std::string writeWithSndfile(const std::string& name, int format, int channels, int rate, double seconds) {
    std::string path = audiotest::scratchPath(name);
    SF_INFO info{};
    info.channels = channels;
    info.samplerate = rate;
    info.format = format;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!f) return path;
    std::vector<float> s = audiotest::tone(seconds, 440, 0.5, uint32_t(rate), channels);
    sf_writef_float(f, s.data(), sf_count_t(s.size() / size_t(channels)));
    sf_close(f);
    return path;
}

void expectRefused(const Decoded& d, const std::string& path, const char* reason) {
    EXPECT_FALSE(d.ok) << reason;
    ASSERT_EQ(d.log.size(), 1u) << reason;
    EXPECT_NE(d.log[0].find(path), std::string::npos) << d.log[0];
}

TEST(SoundDecoding, WaveFilesKeepTheirStoredLayout) {
    WavFormat mono16;
    Decoded a = decode(writeWav("mono16.wav", mono16, 0.5));
    ASSERT_TRUE(a.ok);
    EXPECT_EQ(a.format, AL_FORMAT_MONO16);
    EXPECT_EQ(a.rate, 44100);
    EXPECT_EQ(a.size, 44100);   // 22050 frames of 2 bytes
    EXPECT_TRUE(a.log.empty());

    WavFormat stereo8;
    stereo8.channels = 2;
    stereo8.bitsPerSample = 8;
    stereo8.sampleRate = 22050;
    Decoded b = decode(writeWav("stereo8.WAV", stereo8, 0.1));
    ASSERT_TRUE(b.ok);
    EXPECT_EQ(b.format, AL_FORMAT_STEREO8);
    EXPECT_EQ(b.rate, 22050);
    EXPECT_EQ(b.size, 2205 * 2);

    WavFormat mono8;
    mono8.bitsPerSample = 8;
    EXPECT_EQ(decode(writeWav("mono8.wav", mono8)).format, AL_FORMAT_MONO8);
    WavFormat stereo16;
    stereo16.channels = 2;
    EXPECT_EQ(decode(writeWav("stereo16.wav", stereo16)).format, AL_FORMAT_STEREO16);
}

TEST(SoundDecoding, EightBitSamplesStayUnsignedAndSixteenBitSamplesKeepTheirValues) {
    WavFormat wavFormat;
    wavFormat.bitsPerSample = 8;
    std::string path = audiotest::scratchPath("levels8.wav");
    audiotest::writeFile(path, audiotest::makeWav(wavFormat, {0.0f, 1.0f, -1.0f}));
    ALsizei size = 0, rate = 0;
    ALenum format = 0;
    CDAudioData d = CDGetOpenALAudioData(path, &size, &format, &rate);
    ASSERT_TRUE(d);
    ASSERT_EQ(size, 3);
    EXPECT_EQ(d[0], 128);
    EXPECT_EQ(d[1], 255);
    EXPECT_EQ(d[2], 1);

    WavFormat mono16;
    path = audiotest::scratchPath("levels16.wav");
    audiotest::writeFile(path, audiotest::makeWav(mono16, {0.5f, -0.25f}));
    d = CDGetOpenALAudioData(path, &size, &format, &rate);
    ASSERT_TRUE(d);
    ASSERT_EQ(size, 4);
    const short* s = reinterpret_cast<const short*>(d.get());
    EXPECT_EQ(s[0], 16384);
    EXPECT_EQ(s[1], -8192);
}

TEST(SoundDecoding, AFileWithoutExtensionIsReadAsWave) {
    WavFormat wavFormat;
    std::string path = writeWav("noextension", wavFormat);
    Decoded d = decode(path);
    EXPECT_TRUE(d.ok);
    EXPECT_EQ(d.format, AL_FORMAT_MONO16);

    // ... and so it takes the wave rules: 24 bits is refused even though
    // libsndfile could convert it.
    wavFormat.bitsPerSample = 24;
    path = writeWav("noextension24", wavFormat);
    expectRefused(decode(path), path, "24-bit without extension");
}

TEST(SoundDecoding, WaveFilesOutsideTheRulesAreRefused) {
    struct Case {
        const char* name;
        WavFormat wavFormat;
    };
    std::vector<Case> cases;
    WavFormat s;
    s.bitsPerSample = 24;
    cases.push_back({"bits24.wav", s});
    s = WavFormat();
    s.riffId = "RIFX";
    cases.push_back({"bigendian.wav", s});
    s = WavFormat();
    s.formatTag = 3;
    s.bitsPerSample = 32;
    cases.push_back({"float.wav", s});
    s = WavFormat();
    s.channels = 3;
    cases.push_back({"three.wav", s});
    s = WavFormat();
    s.declaredDataSize = 1 << 20;   // more than the file holds
    cases.push_back({"truncated.wav", s});
    s = WavFormat();
    s.sampleRate = 0;
    cases.push_back({"norate.wav", s});
    for (const Case& c : cases) {
        std::string path = writeWav(c.name, c.wavFormat);
        expectRefused(decode(path), path, c.name);
    }
}

TEST(SoundDecoding, DamagedAndForeignFilesAreRefused) {
    std::string empty = audiotest::scratchPath("empty.wav");
    audiotest::writeFile(empty, {});
    expectRefused(decode(empty), empty, "empty");

    // A valid header cut off in the middle of the format chunk.
    std::vector<uint8_t> bytes = audiotest::makeWav(WavFormat(), audiotest::tone(0.05, 440, 0.5, 44100));
    std::string cut = audiotest::scratchPath("cut.wav");
    audiotest::writeFile(cut, std::vector<uint8_t>(bytes.begin(), bytes.begin() + 30));
    expectRefused(decode(cut), cut, "cut header");

    // The header intact, the samples cut short.
    std::string shortData = audiotest::scratchPath("shortdata.wav");
    audiotest::writeFile(shortData, std::vector<uint8_t>(bytes.begin(), bytes.end() - 1000));
    expectRefused(decode(shortData), shortData, "short data");

    // Random bytes with the right magic words.
    std::vector<uint8_t> junk(200, 0xAB);
    std::memcpy(junk.data(), "RIFF\x10\x00\x00\x00WAVEfmt \xFF\xFF\xFF\x7F", 20);
    std::string corrupt = audiotest::scratchPath("corrupt.wav");
    audiotest::writeFile(corrupt, junk);
    expectRefused(decode(corrupt), corrupt, "corrupt chunk sizes");

    const std::string text = "this is not a sound at all\n";
    std::string textWav = audiotest::scratchPath("text.wav");
    audiotest::writeFile(textWav, std::vector<uint8_t>(text.begin(), text.end()));
    expectRefused(decode(textWav), textWav, "text named wav");
    std::string textOgg = audiotest::scratchPath("text.ogg");
    audiotest::writeFile(textOgg, std::vector<uint8_t>(text.begin(), text.end()));
    expectRefused(decode(textOgg), textOgg, "text named ogg");

    std::string missing = audiotest::scratchPath("missing.caf");
    expectRefused(decode(missing), missing, "missing file");
}

TEST(SoundDecoding, WhatIsNotARegularFileIsRefusedAtOnce) {
    for (OddFile kind : kOddFiles) {
        // The wave reader and the general one, and the long-audio player.
        for (const char* name : {"odd.wav", "odd.caf"}) {
            const std::string path = audiotest::scratchPath(name);
            ASSERT_TRUE(placeOddFile(kind, path)) << describe(kind);
            const Decoded d = withinASecond([&] { return decode(path); }, path);
            expectRefused(d, path, describe(kind));
            if (!d.log.empty()) {
                EXPECT_NE(d.log[0].find("not a regular file"), std::string::npos) << d.log[0];
            }
        }
        const std::string path = audiotest::scratchPath("odd.ogg");
        ASSERT_TRUE(placeOddFile(kind, path));
        std::string error;
        host::AudioPlayer* player = withinASecond(
            [&] {
                return host::createOwned<host::AudioPlayer>(
                    [&](host::AudioPlayer* p) { return p->initWithContentsOfFile(path, &error); });
            },
            path);
        EXPECT_EQ(player, nullptr) << describe(kind);
        EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
    }
}

TEST(SoundDecoding, OtherContainersDecodeToSixteenBitNativePcm) {
    std::string aiff = writeWithSndfile("tone.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_24, 2, 32000, 0.25);
    Decoded a = decode(aiff);
    ASSERT_TRUE(a.ok);
    EXPECT_EQ(a.format, AL_FORMAT_STEREO16);
    EXPECT_EQ(a.rate, 32000);
    EXPECT_EQ(a.size, 8000 * 2 * 2);

    std::string flac = writeWithSndfile("tone.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 1, 44100, 0.1);
    Decoded f = decode(flac);
    ASSERT_TRUE(f.ok);
    EXPECT_EQ(f.format, AL_FORMAT_MONO16);
    EXPECT_EQ(f.size, 4410 * 2);

    std::string caf = writeWithSndfile("tone.caf", SF_FORMAT_CAF | SF_FORMAT_PCM_16 | SF_ENDIAN_BIG, 1, 22050, 0.1);
    Decoded c = decode(caf);
    ASSERT_TRUE(c.ok);
    EXPECT_EQ(c.format, AL_FORMAT_MONO16);
    EXPECT_EQ(c.rate, 22050);

    // A 24-bit wave under another name is converted, not refused.
    WavFormat deep;
    deep.bitsPerSample = 24;
    Decoded w = decode(writeWav("deep.snd", deep));
    EXPECT_TRUE(w.ok);
    EXPECT_EQ(w.format, AL_FORMAT_MONO16);
}

TEST(SoundDecoding, MoreThanTwoChannelsAreRefusedInAnyContainer) {
    std::string quad = writeWithSndfile("quad.aiff", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 4, 44100, 0.05);
    expectRefused(decode(quad), quad, "four channels");
}

}  // namespace
