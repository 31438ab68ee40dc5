// CCTextureCache: the process-wide store of loaded textures, keyed by the
// name the caller used (after the "-hd" suffix is removed), so everything
// that names the same image shares one texture. Loads synchronously, or on
// a background thread whose GL context shares objects with the main one.
#pragma once

#include <mutex>
#include <string>

#include "engine/CCTexture2D.h"
#include "host/Object.h"
#include "host/Ref.h"
#include "host/Selector.h"

namespace host { class Image; }

// The callback of an asynchronous load: receives the texture or nullptr.
using SEL_TextureLoaded = host::Selector<void(host::Object*)>;

class CCTextureCache : public host::Object {
public:
    static CCTextureCache* sharedTextureCache();
    static void purgeSharedTextureCache();
    bool init();

    // New textures come back autoreleased; cached ones without an extra
    // reference. Thread-safe against the loading thread.
    CCTexture2D* addImage(const std::string& path);
    void addImageAsync(const std::string& path, host::Object* target, SEL_TextureLoaded selector);
    CCTexture2D* addCGImage(host::Image* image, const std::string* key);
    CCTexture2D* addPVRImage(const std::string& path);
    CCTexture2D* addPVRTCImage(const std::string& path, int bpp, bool hasAlpha, int width);
    CCTexture2D* textureForKey(const std::string& key) const;

    void removeAllTextures();
    // Drops every texture only the cache still holds.
    void removeUnusedTextures();
    void removeTexture(CCTexture2D* texture);
    void removeTextureForKey(const std::string& key);
    void dumpCachedTextureInfo() const;

    std::string description() const override;
};
