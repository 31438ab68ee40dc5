// Scratch folders for tests that write files: each a fresh folder in the
// system's temporary directory, removed with everything in it when the
// helper goes.
//
// Every folder of a test process lives inside one root of that process,
// removed when it exits, so a test that fails half-way leaves nothing
// either. A death-test child (a new run of the same binary, or a fork)
// makes its folders inside its parent's root, found through the
// environment, since it may die without cleaning up.
#pragma once

#include <string>

class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

    // Writes `contents` to `name` (folders made as needed); the path.
    std::string write(const std::string& name, const std::string& contents) const;
    // Makes the folder `relative` (and its parents); its path.
    std::string makeFolder(const std::string& relative) const;
    // Copies the file at `from` to `relative`; false when it cannot.
    bool copyIn(const std::string& from, const std::string& relative) const;

    // The root of this test process (its parent's in a death-test child).
    static const std::string& processRoot();

private:
    std::string path_;
};
