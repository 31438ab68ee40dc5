#include "host/sound/SoundFile.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include <unistd.h>

#include "host/core/Log.h"

namespace host {
namespace {

// Highest sample rate we take seriously; anything above is a corrupt header.
constexpr int kMaxSampleRate = 768000;
constexpr uint16_t kWaveFormatPCM = 0x0001;
constexpr uint16_t kWaveFormatExtensible = 0xFFFE;

struct SndfileCloser {
    void operator()(SNDFILE* f) const { if (f) sf_close(f); }
};
using SndfilePtr = std::unique_ptr<SNDFILE, SndfileCloser>;

uint16_t le16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t le32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

bool fail(const std::string& path, const std::string& why) {
    host::log("SoundFile: %s: %s", path.c_str(), why.c_str());
    return false;
}

// What the RIFF header says about the samples.
struct WaveLayout {
    int channels = 0;
    int sampleRate = 0;
    int blockAlign = 0;
    int bits = 0;
    uint64_t dataSize = 0;
};

// The descriptor of a sound file opened safely (regular files only, at
// most kMaxSoundFileBytes), rewound, for libsndfile; the reader keeps
// owning it.
SNDFILE* openWithLibsndfile(SafeFileReader& reader, SF_INFO* info, std::string* error) {
    if (!reader.isOpen()) {
        *error = reader.reason();
        return nullptr;
    }
    if (::lseek(reader.descriptor(), 0, SEEK_SET) != 0) {
        *error = std::string("cannot read: ") + std::strerror(errno);
        return nullptr;
    }
    SNDFILE* file = sf_open_fd(reader.descriptor(), SFM_READ, info, SF_FALSE);
    if (!file) *error = std::string("unreadable: ") + sf_strerror(nullptr);
    return file;
}

// Walks the chunks up to the data chunk, checking every size against the
// file's real length. Returns an empty string when the layout is usable,
// otherwise the reason it is not.
std::string readWaveLayout(SafeFileReader& reader, WaveLayout* w) {
    if (!reader.isOpen()) return reader.reason();
    // A stream of its own over a second descriptor: closing it leaves the
    // reader's open for libsndfile.
    const int fd = ::dup(reader.descriptor());
    FILE* stream = fd >= 0 ? ::fdopen(fd, "rb") : nullptr;
    if (!stream) {
        if (fd >= 0) ::close(fd);
        return std::string("cannot read: ") + std::strerror(errno);
    }
    SafeFileReader::Stream f(stream);
    std::rewind(f.get());
    const uint64_t fileSize = reader.size();
    if (fileSize == 0) return "empty file";

    unsigned char riff[12];
    if (fileSize < sizeof riff || std::fread(riff, 1, sizeof riff, f.get()) != sizeof riff)
        return "not a RIFF/WAVE file (too short)";
    if (std::memcmp(riff, "RIFX", 4) == 0) return "big-endian WAVE data is not supported";
    if (std::memcmp(riff, "RIFF", 4) != 0 || std::memcmp(riff + 8, "WAVE", 4) != 0)
        return "not a RIFF/WAVE file";

    bool haveFormat = false;
    uint64_t pos = sizeof riff;
    for (;;) {
        unsigned char header[8];
        if (pos + sizeof header > fileSize || std::fread(header, 1, sizeof header, f.get()) != sizeof header)
            return haveFormat ? "truncated: no data chunk" : "truncated: no format chunk";
        pos += sizeof header;
        const uint64_t size = le32(header + 4);
        if (std::memcmp(header, "fmt ", 4) == 0) {
            if (size < 16 || size > 1024) return "corrupt format chunk";
            if (pos + size > fileSize) return "truncated format chunk";
            unsigned char fmt[1024];
            if (std::fread(fmt, 1, size, f.get()) != size) return "truncated format chunk";
            uint16_t tag = le16(fmt);
            // The extensible form names its real format in the first two
            // bytes of its sub-format identifier.
            if (tag == kWaveFormatExtensible && size >= 40) tag = le16(fmt + 24);
            if (tag != kWaveFormatPCM) {
                char why[64];
                std::snprintf(why, sizeof why, "not linear PCM (format 0x%04X)", tag);
                return why;
            }
            w->channels = le16(fmt + 2);
            w->sampleRate = static_cast<int>(le32(fmt + 4) > static_cast<uint32_t>(kMaxSampleRate) ? 0 : le32(fmt + 4));
            w->blockAlign = le16(fmt + 12);
            w->bits = le16(fmt + 14);
            haveFormat = true;
        } else if (std::memcmp(header, "data", 4) == 0) {
            if (!haveFormat) return "data chunk before the format chunk";
            if (pos + size > fileSize) {
                char why[96];
                std::snprintf(why, sizeof why, "truncated: data chunk of %llu bytes, %llu present",
                              static_cast<unsigned long long>(size),
                              static_cast<unsigned long long>(fileSize - pos));
                return why;
            }
            w->dataSize = size;
            break;
        }
        if (std::memcmp(header, "fmt ", 4) != 0) {
            // Chunks are padded to an even length.
            const uint64_t skip = size + (size & 1);
            if (pos + skip > fileSize) return "truncated chunk";
            if (std::fseek(f.get(), static_cast<long>(skip), SEEK_CUR) != 0) return "cannot read";
            pos += skip;
        } else {
            pos += size;
            if (size & 1) {
                if (std::fseek(f.get(), 1, SEEK_CUR) != 0) return "cannot read";
                ++pos;
            }
        }
    }

    if (w->channels != 1 && w->channels != 2) {
        return std::to_string(w->channels) + " channels (1 or 2 supported)";
    }
    if (w->bits != 8 && w->bits != 16) return std::to_string(w->bits) + "-bit samples (8 or 16 supported)";
    if (w->blockAlign != w->channels * w->bits / 8) return "inconsistent block alignment";
    if (w->sampleRate <= 0) return "bad sample rate";
    if (w->dataSize < static_cast<uint64_t>(w->blockAlign)) return "no audio data";
    if (w->dataSize > kMaxDecodedSoundBytes) return "too large to load";
    return std::string();
}

bool sampleRateUsable(int rate) { return rate > 0 && rate <= kMaxSampleRate; }

}  // namespace

bool decodeWaveFile(const std::string& path, PCMSound* out) {
    SafeFileReader reader(path, kMaxSoundFileBytes);
    WaveLayout w;
    std::string why = readWaveLayout(reader, &w);
    if (!why.empty()) return fail(path, why);

    SF_INFO info{};
    SndfilePtr file(openWithLibsndfile(reader, &info, &why));
    if (!file) return fail(path, why);
    const int major = info.format & SF_FORMAT_TYPEMASK;
    const int subtype = info.format & SF_FORMAT_SUBMASK;
    const int expectedSubtype = w.bits == 8 ? SF_FORMAT_PCM_U8 : SF_FORMAT_PCM_16;
    const sf_count_t frames = static_cast<sf_count_t>(w.dataSize / static_cast<uint64_t>(w.blockAlign));
    if ((major != SF_FORMAT_WAV && major != SF_FORMAT_WAVEX) || subtype != expectedSubtype ||
        info.channels != w.channels || info.samplerate != w.sampleRate || info.frames != frames)
        return fail(path, "corrupt header");

    const size_t bytes = static_cast<size_t>(frames) * static_cast<size_t>(w.blockAlign);
    std::unique_ptr<unsigned char[]> data(new (std::nothrow) unsigned char[bytes]);
    if (!data) return fail(path, "out of memory");
    // 8-bit data is unsigned bytes, exactly as OpenAL wants it; 16-bit goes
    // through libsndfile so it ends up in native order on any machine.
    bool complete = w.bits == 8
                        ? sf_read_raw(file.get(), data.get(), static_cast<sf_count_t>(bytes)) ==
                              static_cast<sf_count_t>(bytes)
                        : sf_readf_short(file.get(), reinterpret_cast<short*>(data.get()), frames) == frames;
    if (!complete) return fail(path, "truncated audio data");

    out->bytes = std::move(data);
    out->byteCount = bytes;
    out->channels = w.channels;
    out->bitsPerSample = w.bits;
    out->sampleRate = w.sampleRate;
    return true;
}

bool decodeSoundFile(const std::string& path, PCMSound* out) {
    SoundFileStream stream;
    std::string why;
    if (!stream.open(path, &why)) return fail(path, why);
    const long long frames = stream.frames();
    if (frames <= 0) return fail(path, "no audio data");
    const size_t frameBytes = static_cast<size_t>(stream.channels()) * sizeof(short);
    if (static_cast<unsigned long long>(frames) > kMaxDecodedSoundBytes / frameBytes)
        return fail(path, "too large to load");

    const size_t bytes = static_cast<size_t>(frames) * frameBytes;
    std::unique_ptr<unsigned char[]> data(new (std::nothrow) unsigned char[bytes]);
    if (!data) return fail(path, "out of memory");
    const long long got = stream.read(reinterpret_cast<short*>(data.get()), frames);
    if (got <= 0) return fail(path, "no audio data could be decoded");

    out->bytes = std::move(data);
    out->byteCount = static_cast<size_t>(got) * frameBytes;
    out->channels = stream.channels();
    out->bitsPerSample = 16;
    out->sampleRate = stream.sampleRate();
    return true;
}

// ---- SoundFileStream --------------------------------------------------------

SoundFileStream::~SoundFileStream() { close(); }

void SoundFileStream::close() {
    if (file_) sf_close(file_);
    file_ = nullptr;
    reader_.reset();
}

bool SoundFileStream::open(const std::string& path, std::string* error) {
    close();
    info_ = SF_INFO{};
    reader_ = std::make_unique<SafeFileReader>(path, kMaxSoundFileBytes);
    std::string why;
    SNDFILE* f = openWithLibsndfile(*reader_, &info_, &why);
    if (!f) {
        reader_.reset();
        info_ = SF_INFO{};
        if (error) *error = why;
        return false;
    }
    if (info_.channels < 1 || info_.channels > 2)
        why = std::to_string(info_.channels) + " channels (at most 2 supported)";
    else if (!sampleRateUsable(info_.samplerate))
        why = "bad sample rate";
    if (!why.empty()) {
        sf_close(f);
        reader_.reset();
        info_ = SF_INFO{};
        if (error) *error = why;
        return false;
    }
    file_ = f;
    return true;
}

long long SoundFileStream::read(short* frames, long long maxFrames) {
    if (!file_ || maxFrames <= 0) return 0;
    sf_count_t got = sf_readf_short(file_, frames, static_cast<sf_count_t>(maxFrames));
    return got > 0 ? static_cast<long long>(got) : 0;
}

bool SoundFileStream::seek(long long frame) {
    return file_ && sf_seek(file_, static_cast<sf_count_t>(frame), SEEK_SET) >= 0;
}

}  // namespace host
