// Without libFuzzer (a GCC build), each harness is this program: it feeds
// every file named on the command line, or found in a directory named
// there, to the harness once. CTest runs it over the seed corpus, so the
// harnesses keep building and the seeds stay a regression test.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FuzzTarget.h"

namespace {

bool replay(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "fuzz replay: cannot read %s\n", file.c_str());
        return false;
    }
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    int inputs = 0;
    bool ok = true;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path path(argv[i]);
        std::error_code ec;
        if (std::filesystem::is_directory(path, ec)) {
            for (const auto& entry : std::filesystem::recursive_directory_iterator(path, ec))
                if (entry.is_regular_file()) ok &= replay(entry.path()), ++inputs;
        } else {
            ok &= replay(path);
            ++inputs;
        }
    }
    std::printf("fuzz replay: %d inputs\n", inputs);
    return ok && inputs > 0 ? 0 : 1;
}
