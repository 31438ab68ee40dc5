// The GL implementation's limits and extensions, read once after the first
// context exists, and the system version.
#pragma once

#include <string>

#include "host/core/Object.h"

class CCConfiguration : public host::Object {
public:
    static CCConfiguration* sharedConfiguration();
    bool init();

    bool checkForGLExtension(const std::string& name) const;
    int maxTextureSize() const { return maxTextureSize_; }
    int maxModelviewStackDepth() const { return maxModelviewStackDepth_; }
    bool supportsPVRTC() const { return supportsPVRTC_; }
    bool supportsNPOT() const { return supportsNPOT_; }
    bool supportsBGRA8888() const { return supportsBGRA8888_; }
    bool supportsDiscardFramebuffer() const { return supportsDiscardFramebuffer_; }
    unsigned OSVersion() const { return OSVersion_; }
    int maxSamplesAllowed() const { return maxSamplesAllowed_; }

    // 4.3.2 -> 0x04030200.
    static unsigned parseOSVersion(const std::string& version);
    static bool extensionListContains(const std::string& list, const std::string& name);

private:
    int maxTextureSize_ = 0;
    int maxModelviewStackDepth_ = 0;
    bool supportsPVRTC_ = false;
    bool supportsNPOT_ = false;
    bool supportsBGRA8888_ = false;
    bool supportsDiscardFramebuffer_ = false;
    unsigned OSVersion_ = 0;
    int maxSamplesAllowed_ = 0;
    std::string glExtensions_;
};

// Prints "OpenGL error 0x%04X in %s" when GL has an error pending.
void CHECK_GL_ERROR_DEBUG(const char* where);
