// Loading a list of sound files on a background thread.
#pragma once

#include <string>
#include <vector>

#include "host/core/Object.h"
#include "host/core/Ref.h"

class CDSoundEngine;

// One file to load into one sound id.
class CDBufferLoadRequest : public host::Object {
public:
    static CDBufferLoadRequest* request(int soundId, const std::string& filePath);
    bool init(int soundId, const std::string& filePath);
    int soundId() const { return soundId_; }
    const std::string& filePath() const { return filePath_; }

private:
    int soundId_ = -1;
    std::string filePath_;
};

// The operation that loads them, in order, reporting progress to the
// engine and posting kCDN_AsynchLoadComplete at the end.
class CDAsynchBufferLoader : public host::Object {
public:
    bool init(const std::vector<host::Ref<CDBufferLoadRequest>>& loadRequests, CDSoundEngine* theSoundEngine);
    void main();

private:
    std::vector<host::Ref<CDBufferLoadRequest>> _loadRequests;
    host::Ref<CDSoundEngine> _soundEngine;
};
