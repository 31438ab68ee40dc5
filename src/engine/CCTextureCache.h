// CCTextureCache: the process-wide store of loaded textures, keyed by the
// name the caller used (after the "-hd" suffix is removed), so everything
// that names the same image shares one texture. Loads synchronously, or on
// a background thread whose GL context shares objects with the main one.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>

#include "engine/CCTexture2D.h"
#include "host/core/Object.h"
#include "host/core/Ref.h"
#include "host/core/Selector.h"

namespace host {
class Image;
class SharedGLContext;
}

// The callback of an asynchronous load: receives the texture or nullptr.
using SEL_TextureLoaded = host::Selector<void(host::Object*)>;

// One pending asynchronous load: whom to call back, and the image path.
class CCAsyncObject : public host::Object {
public:
    SEL_TextureLoaded selector() const;
    void setSelector(SEL_TextureLoaded selector);
    host::Object* target() const;
    void setTarget(host::Object* target);
    std::string data() const;
    void setData(const std::string& data);

private:
    mutable std::mutex lock_;  // the properties are atomic
    SEL_TextureLoaded selector_;
    host::Ref<host::Object> target_;
    std::string data_;
};

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

    // The body of a loading thread: loads with the shared GL context
    // current and calls back on the main thread.
    void addImageWithAsyncObject(CCAsyncObject* async);

protected:
    ~CCTextureCache() override;

private:
    std::map<std::string, host::Ref<CCTexture2D>> textures_;
    std::mutex dictLock_;     // addImage against the loading threads
    std::mutex contextLock_;  // one loading thread at a time on the context
    // Made on the main thread by the first asynchronous load.
    std::shared_ptr<host::SharedGLContext> auxGLcontext_;
};
