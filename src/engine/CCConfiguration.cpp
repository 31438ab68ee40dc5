#include "engine/CCConfiguration.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "host/core/Device.h"
#include "host/display/GLES.h"

#ifndef GL_MAX_SAMPLES_APPLE
#define GL_MAX_SAMPLES_APPLE 0x8D57
#endif

void CHECK_GL_ERROR_DEBUG(const char* where) {
    GLenum e = glGetError();
    if (e) std::printf("OpenGL error 0x%04X in %s\n", e, where);
}

CCConfiguration* CCConfiguration::sharedConfiguration() {
    static std::mutex lock;
    static CCConfiguration* shared = nullptr;
    std::lock_guard<std::mutex> guard(lock);
    if (!shared) shared = host::createOwned<CCConfiguration>([](CCConfiguration* c) { return c->init(); });
    return shared;
}

unsigned CCConfiguration::parseOSVersion(const std::string& version) {
    unsigned result = 0, multiplier = 0x1000000;
    size_t start = 0;
    while (multiplier && start <= version.size()) {
        size_t dot = version.find('.', start);
        std::string part = version.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
        result += static_cast<unsigned>(std::strtoul(part.c_str(), nullptr, 10)) * multiplier;
        multiplier >>= 8;
        if (dot == std::string::npos) break;
        start = dot + 1;
    }
    return result;
}

bool CCConfiguration::extensionListContains(const std::string& list, const std::string& name) {
    size_t start = 0;
    while (start <= list.size()) {
        size_t space = list.find(' ', start);
        size_t end = space == std::string::npos ? list.size() : space;
        if (list.compare(start, end - start, name) == 0 && end - start == name.size()) return true;
        if (space == std::string::npos) break;
        start = space + 1;
    }
    return false;
}

bool CCConfiguration::init() {
    OSVersion_ = parseOSVersion(host::Device::current().systemVersion());
    const GLubyte* ext = glGetString(GL_EXTENSIONS);
    glExtensions_ = ext ? reinterpret_cast<const char*>(ext) : "";
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSize_);
    glGetIntegerv(GL_MAX_MODELVIEW_STACK_DEPTH, &maxModelviewStackDepth_);
    if (OSVersion_ >= 0x04000000 && checkForGLExtension("GL_APPLE_framebuffer_multisample"))
        glGetIntegerv(GL_MAX_SAMPLES_APPLE, &maxSamplesAllowed_);
    else
        maxSamplesAllowed_ = 0;
    supportsPVRTC_ = checkForGLExtension("GL_IMG_texture_compression_pvrtc");
    supportsNPOT_ = checkForGLExtension("GL_APPLE_texture_2D_limited_npot");
    supportsBGRA8888_ = checkForGLExtension("GL_IMG_texture_format_BGRA8888") ||
                        checkForGLExtension("GL_APPLE_texture_format_BGRA8888");
    supportsDiscardFramebuffer_ = checkForGLExtension("GL_EXT_discard_framebuffer");
    CHECK_GL_ERROR_DEBUG("-[CCConfiguration init]");
    return true;
}

bool CCConfiguration::checkForGLExtension(const std::string& name) const {
    return extensionListContains(glExtensions_, name);
}
