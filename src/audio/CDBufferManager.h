// File paths to sound ids: loads a file into a buffer the first time it is
// asked for and hands back the same id afterwards; ids of released or
// failed files are reused, the last freed first.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "host/core/Object.h"

class CDSoundEngine;

class CDBufferManager : public host::Object {
public:
    // `theSoundEngine` is not retained.
    bool initWithEngine(CDSoundEngine* theSoundEngine);
    // The file's sound id; without `create` -1 when it is not loaded; with
    // `create` it is loaded now, -1 when that fails.
    int bufferForFile(const std::string& filePath, bool create);
    void releaseBufferForFile(const std::string& filePath);

    // For inspection: the ids waiting for reuse, oldest first.
    const std::vector<int>& freedBuffers() const { return freedBuffers_; }
    int nextBufferId() const { return nextBufferId_; }

private:
    std::map<std::string, int> loadedBuffers_;
    std::vector<int> freedBuffers_;
    CDSoundEngine* soundEngine_ = nullptr;
    int nextBufferId_ = 0;
};
