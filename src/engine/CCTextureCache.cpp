#include "engine/CCTextureCache.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "engine/CCConfiguration.h"
#include "engine/Support/CCFileUtils.h"
#include "engine/Support/ZipUtils.h"
#include "host/core/Log.h"
#include "host/core/RunLoop.h"
#include "host/display/Display.h"
#include "host/display/GLES.h"
#include "host/graphics/Image.h"

namespace {

std::mutex sharedCacheLock;
CCTextureCache* sharedTextureCache_ = nullptr;

bool endsWith(const std::string& s, const char* suffix) {
    const std::string t(suffix);
    return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}

std::string lowercase(std::string s) {
    for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// Takes over the +1 reference of an initialiser's result.
template <class T, class Init> host::Ref<T> adoptOwned(Init&& init) {
    return host::Ref<T>::adopt(host::createOwned<T>(std::forward<Init>(init)));
}

host::Ref<host::Image> loadImage(const std::string& fullPath) {
    return adoptOwned<host::Image>([&](host::Image* i) { return i->initWithContentsOfFile(fullPath); });
}

// JPEGs go through a PNG re-encoding first, as the platform's decoder of
// later system versions requires; the result is the same bitmap.
host::Ref<host::Image> loadImageThroughPNG(const std::string& fullPath) {
    host::Ref<host::Image> jpeg = loadImage(fullPath);
    std::vector<uint8_t> png;
    if (!jpeg || !jpeg->PNGRepresentation(&png)) return nullptr;
    return adoptOwned<host::Image>([&](host::Image* i) { return i->initWithData(png.data(), png.size()); });
}

}  // namespace

// ---- CCAsyncObject ---------------------------------------------------------

SEL_TextureLoaded CCAsyncObject::selector() const {
    std::lock_guard<std::mutex> guard(lock_);
    return selector_;
}
void CCAsyncObject::setSelector(SEL_TextureLoaded selector) {
    std::lock_guard<std::mutex> guard(lock_);
    selector_ = selector;
}
host::Object* CCAsyncObject::target() const {
    std::lock_guard<std::mutex> guard(lock_);
    return target_.get();
}
void CCAsyncObject::setTarget(host::Object* target) {
    std::lock_guard<std::mutex> guard(lock_);
    target_ = target;
}
std::string CCAsyncObject::data() const {
    std::lock_guard<std::mutex> guard(lock_);
    return data_;
}
void CCAsyncObject::setData(const std::string& data) {
    std::lock_guard<std::mutex> guard(lock_);
    data_ = data;
}

// ---- CCTextureCache ------------------------------------------------------

CCTextureCache* CCTextureCache::sharedTextureCache() {
    std::lock_guard<std::mutex> guard(sharedCacheLock);
    if (!sharedTextureCache_)
        sharedTextureCache_ = host::createOwned<CCTextureCache>([](CCTextureCache* c) { return c->init(); });
    return sharedTextureCache_;
}

void CCTextureCache::purgeSharedTextureCache() {
    CCTextureCache* cache;
    {
        std::lock_guard<std::mutex> guard(sharedCacheLock);
        cache = sharedTextureCache_;
        sharedTextureCache_ = nullptr;
    }
    host::release(cache);
}

bool CCTextureCache::init() { return true; }

CCTextureCache::~CCTextureCache() {
    textures_.clear();
    // A loading thread may drop the last reference; the context belongs to
    // the main thread, which created it.
    if (auxGLcontext_ && !host::RunLoop::isMainThread())
        host::RunLoop::main().performOnMainThread([context = std::move(auxGLcontext_)] {}, false);
}

CCTexture2D* CCTextureCache::addImage(const std::string& path) {
    if (path.empty()) return nullptr;
    std::lock_guard<std::mutex> guard(dictLock_);
    const std::string key = ccRemoveHDSuffixFromFile(path);
    auto found = textures_.find(key);
    if (found != textures_.end()) return found->second.get();

    const std::string lower = lowercase(key);
    if (endsWith(lower, ".pvr") || endsWith(lower, ".pvr.gz") || endsWith(lower, ".pvr.ccz"))
        return addPVRImage(key);

    const std::string fullPath = CCFileUtils::fullPathFromRelativePath(key);
    const bool jpeg = endsWith(lower, ".jpg") || endsWith(lower, ".jpeg");
    host::Ref<host::Image> image =
        jpeg && CCConfiguration::sharedConfiguration()->OSVersion() >= 0x04000000 ? loadImageThroughPNG(fullPath)
                                                                                  : loadImage(fullPath);
    if (!image) return nullptr;
    CCTexture2D* texture = host::createOwned<CCTexture2D>([&](CCTexture2D* t) { return t->initWithImage(image); });
    if (!texture) return nullptr;
    textures_[key] = texture;
    return host::autorelease(texture);
}

void CCTextureCache::addImageAsync(const std::string& path, host::Object* target, SEL_TextureLoaded selector) {
    const std::string key = ccRemoveHDSuffixFromFile(path);
    CCTexture2D* cached = nullptr;
    {
        std::lock_guard<std::mutex> guard(dictLock_);
        auto found = textures_.find(key);
        if (found != textures_.end()) cached = found->second.get();
    }
    if (cached) {
        if (target && selector) selector(target, cached);
        return;
    }
    // SDL makes shared contexts on the thread whose context they share.
    if (!auxGLcontext_) auxGLcontext_ = host::Display::shared().createSharedContext();

    auto async = host::Ref<CCAsyncObject>::adopt(new CCAsyncObject);
    async->setSelector(selector);
    async->setTarget(target);
    async->setData(key);
    host::Ref<CCTextureCache> self(this);
    std::thread([self, async]() mutable {
        self->addImageWithAsyncObject(async);
        async.reset();
        // The last reference to the cache is dropped where GL lives.
        host::RunLoop::main().performOnMainThread([cache = std::move(self)] {}, false);
    }).detach();
}

void CCTextureCache::addImageWithAsyncObject(CCAsyncObject* async) {
    host::AutoreleasePool pool;
    std::lock_guard<std::mutex> contextGuard(contextLock_);
    const std::string path = async->data();
    if (!auxGLcontext_ || !auxGLcontext_->makeCurrent()) {
        host::log("texture cache: cannot load %s in the background without a shared GL context", path.c_str());
        return;
    }
    host::Ref<CCTexture2D> texture = addImage(path);
    // The main context may draw the texture as soon as it hears of it.
    glFinish();
    host::Ref<host::Object> target = async->target();
    SEL_TextureLoaded selector = async->selector();
    host::RunLoop::main().performOnMainThread(
        [target, selector, texture] {
            if (target && selector) selector(target.get(), texture.get());
        },
        false);
    auxGLcontext_->clearCurrent();
}

CCTexture2D* CCTextureCache::addCGImage(host::Image* image, const std::string* key) {
    if (key) {
        auto found = textures_.find(*key);
        if (found != textures_.end()) return found->second.get();
    }
    CCTexture2D* texture = host::createOwned<CCTexture2D>([&](CCTexture2D* t) { return t->initWithImage(image); });
    if (!texture) return nullptr;
    if (key) textures_[*key] = texture;
    return host::autorelease(texture);
}

CCTexture2D* CCTextureCache::addPVRImage(const std::string& path) {
    const std::string key = ccRemoveHDSuffixFromFile(path);
    auto found = textures_.find(key);
    if (found != textures_.end()) return found->second.get();
    const std::string fullPath = CCFileUtils::fullPathFromRelativePath(key);
    CCTexture2D* texture =
        host::createOwned<CCTexture2D>([&](CCTexture2D* t) { return t->initWithPVRFile(fullPath); });
    if (!texture) return nullptr;
    textures_[key] = texture;
    return host::autorelease(texture);
}

CCTexture2D* CCTextureCache::addPVRTCImage(const std::string& path, int bpp, bool hasAlpha, int width) {
    if (bpp != 2 && bpp != 4) {
        host::log("texture cache: PVRTC data have 2 or 4 bits per pixel, not %d", bpp);
        return nullptr;
    }
    const std::string key = ccRemoveHDSuffixFromFile(path);
    auto found = textures_.find(key);
    if (found != textures_.end()) return found->second.get();
    const std::string fullPath = CCFileUtils::fullPathFromRelativePath(key);
    unsigned char* bytes = nullptr;
    const int length = ccLoadFileIntoMemory(fullPath.c_str(), &bytes);
    if (length < 0) return nullptr;
    std::unique_ptr<unsigned char, decltype(&std::free)> data(bytes, &std::free);
    // GL reads the whole image whatever the file holds.
    if (width <= 0 || size_t(length) < CCTexture2D::PVRTCDataSize(bpp, width)) {
        host::log("texture cache: %s is too short for a %d x %d PVRTC image", fullPath.c_str(), width, width);
        return nullptr;
    }
    const CCTexture2DPixelFormat format = bpp == 2 ? kCCTexture2DPixelFormat_PVRTC2 : kCCTexture2DPixelFormat_PVRTC4;
    CCTexture2D* texture = host::createOwned<CCTexture2D>(
        [&](CCTexture2D* t) { return t->initWithPVRTCData(data.get(), 0, bpp, hasAlpha, width, format); });
    if (!texture) return nullptr;
    textures_[key] = texture;
    return host::autorelease(texture);
}

CCTexture2D* CCTextureCache::textureForKey(const std::string& key) const {
    auto found = textures_.find(key);
    return found == textures_.end() ? nullptr : found->second.get();
}

void CCTextureCache::removeAllTextures() { textures_.clear(); }

void CCTextureCache::removeUnusedTextures() {
    std::vector<std::string> keys;
    keys.reserve(textures_.size());
    for (const auto& entry : textures_) keys.push_back(entry.first);
    for (const std::string& key : keys) {
        auto found = textures_.find(key);
        if (found != textures_.end() && found->second->retainCount() == 1) textures_.erase(found);
    }
}

void CCTextureCache::removeTexture(CCTexture2D* texture) {
    if (!texture) return;
    for (auto it = textures_.begin(); it != textures_.end();)
        it = it->second.get() == texture ? textures_.erase(it) : std::next(it);
}

void CCTextureCache::removeTextureForKey(const std::string& key) { textures_.erase(key); }

void CCTextureCache::dumpCachedTextureInfo() const {
    // Reads what a report would print; this build prints nothing.
    unsigned long long bytes = 0;
    for (const auto& entry : textures_) {
        const CCTexture2D* t = entry.second.get();
        bytes += (unsigned long long)t->bitsPerPixelForFormat() / 8 * t->pixelsWide() * t->pixelsHigh();
    }
    (void)bytes;
}

std::string CCTextureCache::description() const {
    std::string keys = "(";
    for (const auto& entry : textures_) keys += (keys.size() > 1 ? ", " : "") + entry.first;
    keys += ")";
    char head[96];
    std::snprintf(head, sizeof head, "<%s = %s | num of textures =  %i | keys: ", className().c_str(),
                  host::addressString(this).c_str(), int(textures_.size()));
    return head + keys + ">";
}
