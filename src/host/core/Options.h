// Command-line flags shared by every executable, plus a small parser that
// lets an executable add its own.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace host {

struct Options {
    bool headless = false;
    long frames = -1;          // -1: run until closed
    bool fixedDt = false;
    bool hasSeed = false;
    unsigned long seed = 0;
    std::string screenshot;
    std::string dataDir;
    std::string resources;
    std::string logFile;
    bool tablet = false;
    bool retina = false;

    static Options& shared();
};

class CommandLine {
public:
    explicit CommandLine(std::string program) : program_(std::move(program)) {}
    // The name usage messages begin with.
    const std::string& program() const { return program_; }
    void addFlag(const std::string& name, bool* out, const std::string& help);
    void addString(const std::string& name, std::string* out, const std::string& help);
    void addLong(const std::string& name, long min, long max, long* out, const std::string& help);
    // A base URL: http or https with a host, stored without a trailing '/'.
    void addURL(const std::string& name, std::string* out, const std::string& help);
    // Registers the flags every executable takes, writing into `o`.
    void addCommon(Options& o);
    // Parses argv; on error returns false with a one-line message.
    // "--help" or "-h" anywhere stops the parse and sets helpRequested().
    bool parse(int argc, char** argv, std::string* error);
    bool helpRequested() const { return helpRequested_; }
    // Every flag with its help text, one per line.
    std::string help() const;

private:
    struct Flag {
        std::string name;
        std::string help;
        bool takesValue;
        std::function<bool(const std::string&)> apply;
    };
    std::string program_;
    std::vector<Flag> flags_;
    bool helpRequested_ = false;
};

// Parses the common flags (and any extra ones the caller registered on
// `cl`); prints a usage error and exits with status 2 on a bad flag, or
// the help and exits with status 0 when it is asked for.
void parseCommandLineOrExit(CommandLine& cl, int argc, char** argv);

}  // namespace host
