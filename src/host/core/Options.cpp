#include "host/core/Options.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace host {

Options& Options::shared() {
    static Options o;
    return o;
}

void CommandLine::addFlag(const std::string& name, bool* out, const std::string& help) {
    flags_.push_back({name, help, false, [out](const std::string&) { *out = true; return true; }});
}

void CommandLine::addString(const std::string& name, std::string* out, const std::string& help) {
    flags_.push_back({name, help, true, [out](const std::string& v) {
        if (v.empty()) return false;
        *out = v;
        return true;
    }});
}

// An http or https base URL with a host; a trailing slash is dropped so
// that paths can be appended.
static bool parseBaseURL(const std::string& v, std::string* out) {
    for (const char* scheme : {"http://", "https://"}) {
        const size_t n = std::strlen(scheme);
        if (v.size() > n && v.compare(0, n, scheme) == 0 && v[n] != '/') {
            *out = v.back() == '/' ? v.substr(0, v.size() - 1) : v;
            return true;
        }
    }
    return false;
}

void CommandLine::addURL(const std::string& name, std::string* out, const std::string& help) {
    flags_.push_back({name, help + " (an http:// or https:// URL)", true,
                      [out](const std::string& v) { return parseBaseURL(v, out); }});
}

static bool parseLong(const std::string& v, long min, long max, long* out) {
    if (v.empty()) return false;
    errno = 0;
    char* end = nullptr;
    long n = std::strtol(v.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || n < min || n > max) return false;
    *out = n;
    return true;
}

void CommandLine::addLong(const std::string& name, long min, long max, long* out,
                          const std::string& help) {
    flags_.push_back({name, help, true, [=](const std::string& v) { return parseLong(v, min, max, out); }});
}

void CommandLine::addCommon(Options& o) {
    addFlag("--headless", &o.headless, "no window (offscreen video driver); GL still renders");
    addLong("--frames", 1, 100000000L, &o.frames, "end through the normal termination path after N frames");
    addFlag("--fixed-dt", &o.fixedDt, "each frame's clock advances exactly by the animation interval");
    flags_.push_back({"--seed", "the random seed instead of the time", true, [&o](const std::string& v) {
        long n = 0;
        if (!parseLong(v, 0, 0x7FFFFFFFL, &n)) return false;
        o.seed = static_cast<unsigned long>(n);
        o.hasSeed = true;
        return true;
    }});
    addString("--screenshot", &o.screenshot, "write the last presented frame as PNG");
    addString("--data-dir", &o.dataDir, "where the user defaults live");
    addString("--resources", &o.resources, "the resources directory");
    addString("--log-file", &o.logFile, "also append log lines to this file");
    addFlag("--tablet", &o.tablet, "emulate a tablet (768 x 1024 points)");
    addFlag("--retina", &o.retina, "emulate a double-resolution screen");
}

bool CommandLine::parse(int argc, char** argv, std::string* error) {
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            helpRequested_ = true;
            return true;
        }
        std::string value;
        bool hasInlineValue = false;
        auto eq = arg.find('=');
        if (arg.rfind("--", 0) == 0 && eq != std::string::npos) {
            value = arg.substr(eq + 1);
            arg = arg.substr(0, eq);
            hasInlineValue = true;
        }
        const Flag* flag = nullptr;
        for (const Flag& s : flags_)
            if (s.name == arg) flag = &s;
        if (!flag) {
            *error = "unknown option '" + arg + "'";
            return false;
        }
        if (flag->takesValue) {
            if (!hasInlineValue) {
                if (i + 1 >= argc) {
                    *error = "option '" + arg + "' needs a value";
                    return false;
                }
                value = argv[++i];
            }
            if (!flag->apply(value)) {
                *error = "bad value '" + value + "' for option '" + arg + "'";
                return false;
            }
        } else {
            if (hasInlineValue) {
                *error = "option '" + arg + "' takes no value";
                return false;
            }
            flag->apply("");
        }
    }
    return true;
}

std::string CommandLine::help() const {
    std::string text = "usage: " + program_ + " [options]\n";
    size_t width = 0;
    for (const Flag& f : flags_) width = std::max(width, f.name.size() + (f.takesValue ? 2 : 0));
    for (const Flag& f : flags_) {
        std::string left = f.name + (f.takesValue ? " V" : "");
        text += "  " + left + std::string(width - left.size() + 2, ' ') + f.help + "\n";
    }
    text += "  --help" + std::string(width > 6 ? width - 6 + 2 : 2, ' ') + "print this help and exit\n";
    return text;
}

void parseCommandLineOrExit(CommandLine& cl, int argc, char** argv) {
    std::string error;
    if (!cl.parse(argc, argv, &error)) {
        std::fprintf(stderr, "%s: %s (--help lists the options)\n", cl.program().c_str(), error.c_str());
        std::exit(2);
    }
    if (cl.helpRequested()) {
        std::fputs(cl.help().c_str(), stdout);
        std::exit(0);
    }
}

}  // namespace host
