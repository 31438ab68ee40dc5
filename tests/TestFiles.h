// Scratch files for tests that load outside input: a temporary directory
// removed afterwards, PNG images written from a texel function, and the
// log lines written while a test runs.
#pragma once

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "engine/ccTypes.h"
#include "host/core/Log.h"
#include "host/core/Object.h"
#include "host/graphics/Image.h"

class ScratchDirectory {
public:
    ScratchDirectory() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tiltboard-test-XXXXXX").string();
        std::vector<char> buf(pattern.begin(), pattern.end());
        buf.push_back('\0');
        if (mkdtemp(buf.data())) path_ = buf.data();
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

    // Writes `contents` to `name` (directories created) and returns the path.
    std::string write(const std::string& name, const std::string& contents) const {
        const std::string p = file(name);
        std::filesystem::create_directories(std::filesystem::path(p).parent_path());
        std::ofstream(p, std::ios::binary) << contents;
        return p;
    }

    // An RGBA PNG whose texel (x, y), row 0 at the top, is texel(x, y).
    std::string writePng(const std::string& name, unsigned w, unsigned h,
                         const std::function<ccColor4B(unsigned, unsigned)>& texel) const {
        std::vector<uint8_t> pixels(size_t(w) * h * 4);
        for (unsigned y = 0; y < h; ++y)
            for (unsigned x = 0; x < w; ++x) {
                const ccColor4B c = texel(x, y);
                uint8_t* p = &pixels[(size_t(y) * w + x) * 4];
                p[0] = c.r, p[1] = c.g, p[2] = c.b, p[3] = c.a;
            }
        host::AutoreleasePool pool;
        std::vector<uint8_t> png;
        host::Image* image = host::Image::imageWithPixels(pixels.data(), w, h, 4);
        if (!image || !image->PNGRepresentation(&png)) return std::string();
        return write(name, std::string(png.begin(), png.end()));
    }

private:
    std::string path_;
};

// Copies every log line written during its lifetime to a file and hands
// them back.
class LogCapture {
public:
    explicit LogCapture(const ScratchDirectory& dir)
        : path_(dir.file("log-" + std::to_string(++serial()) + ".txt")) {
        host::setLogFile(path_);
    }
    ~LogCapture() { host::setLogFile(""); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<std::string> lines() const {
        std::ifstream in(path_);
        std::vector<std::string> out;
        for (std::string line; std::getline(in, line);)
            if (!line.empty()) out.push_back(line);
        return out;
    }
    std::string joined() const {
        std::ostringstream s;
        for (const std::string& l : lines()) s << l << "\n";
        return s.str();
    }

private:
    static int& serial() {
        static int n = 0;
        return n;
    }
    std::string path_;
};
