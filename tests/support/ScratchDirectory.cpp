#include "ScratchDirectory.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Set by the process that made the root; its death-test children inherit it.
constexpr const char* kRootVariable = "TILTBOARD_TEST_SCRATCH_ROOT";

std::string makeTemporaryFolder(const fs::path& parent, const std::string& prefix) {
    std::string pattern = (parent / (prefix + "XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    return mkdtemp(name.data()) ? std::string(name.data()) : std::string();
}

class ProcessRoot {
public:
    ProcessRoot() {
        const char* inherited = std::getenv(kRootVariable);
        std::error_code ec;
        if (inherited && *inherited && fs::is_directory(inherited, ec)) {
            path_ = inherited;
            return;
        }
        path_ = makeTemporaryFolder(fs::temp_directory_path(ec), "tiltboard-tests-");
        if (path_.empty()) return;
        owner_ = getpid();
        setenv(kRootVariable, path_.c_str(), 1);
    }
    ~ProcessRoot() {
        // Only the process that made it: a forked child exiting must not
        // take its parent's folders away.
        if (owner_ != getpid()) return;
        std::error_code ec;
        fs::remove_all(path_, ec);
        unsetenv(kRootVariable);
    }
    ProcessRoot(const ProcessRoot&) = delete;
    ProcessRoot& operator=(const ProcessRoot&) = delete;
    const std::string& path() const { return path_; }

private:
    std::string path_;
    pid_t owner_ = -1;
};

}  // namespace

const std::string& ScratchDirectory::processRoot() {
    static const ProcessRoot root;
    return root.path();
}

ScratchDirectory::ScratchDirectory() {
    const std::string& root = processRoot();
    if (!root.empty()) path_ = makeTemporaryFolder(root, "scratch-");
}

ScratchDirectory::~ScratchDirectory() {
    std::error_code ec;
    if (!path_.empty()) fs::remove_all(path_, ec);
}

std::string ScratchDirectory::write(const std::string& name, const std::string& contents) const {
    const std::string p = file(name);
    std::error_code ec;
    fs::create_directories(fs::path(p).parent_path(), ec);
    std::ofstream(p, std::ios::binary) << contents;
    return p;
}

std::string ScratchDirectory::makeFolder(const std::string& relative) const {
    const std::string p = file(relative);
    std::error_code ec;
    fs::create_directories(p, ec);
    return p;
}

bool ScratchDirectory::copyIn(const std::string& from, const std::string& relative) const {
    std::error_code ec;
    fs::copy_file(from, file(relative), ec);
    return !ec;
}
