#include "engine/CCSpriteFrameCache.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <utility>
#include <vector>

#include "engine/CCSprite.h"
#include "engine/CCSpriteFrame.h"
#include "engine/CCTexture2D.h"
#include "engine/CCTextureCache.h"
#include "engine/Support/CCFileUtils.h"
#include "engine/Support/CCGeometryStrings.h"
#include "engine/Support/SharedInstance.h"
#include "host/core/Log.h"
#include "host/core/Path.h"
#include "host/data/PlistValue.h"

namespace {

SharedInstance<CCSpriteFrameCache> gSharedSpriteFrameCache;

// Names from a file go into log lines: control characters would break the
// one-line rule, and a huge name would flood the log.
std::string printable(const std::string& text) {
    constexpr size_t kLongest = 160;
    std::string out = text.substr(0, kLongest);
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = '?';
    if (text.size() > kLongest) out += "...";
    return out;
}

// One frame as the sheet describes it, in pixels, before it is built.
struct FrameDescription {
    std::string name;
    CGRect rectInPixels = CGRectZero;
    bool rotated = false;
    CGPoint offsetInPixels = CGPointZero;
    CGSize originalSizeInPixels = CGSizeZero;
    std::vector<std::string> aliases;
};

// Reads the fields of one frame entry. The first problem found is kept as
// a one-line reason; later reads then do nothing.
class EntryReader {
public:
    EntryReader(const host::PlistValue& entry, const std::string& frameName)
        : entry_(entry), frameName_(frameName) {}

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }

    float number(const char* key) {
        const double v = field(key).asDouble(std::numeric_limits<double>::quiet_NaN());
        if (ok() && !finiteFloat(v)) fail(key, "is not a number");
        return ok() ? static_cast<float>(v) : 0.0f;
    }
    // Whole numbers; the sign is dropped (some packers write negative sizes).
    float magnitude(const char* key) {
        const int64_t none = std::numeric_limits<int64_t>::min();
        const int64_t v = field(key).asInt(none);
        if (ok() && (v == none || !finiteFloat(double(v)))) fail(key, "is not an integer");
        return ok() ? std::fabs(static_cast<float>(v)) : 0.0f;
    }
    CGRect rect(const char* key) {
        CGRect r = CGRectZero;
        if (parsed(key, [&](const std::string& s) { return ccRectFromString(s, &r); }, "rectangle") &&
            (r.size.width < 0 || r.size.height < 0))
            fail(key, "has a negative size");
        return r;
    }
    CGPoint point(const char* key) {
        CGPoint p = CGPointZero;
        parsed(key, [&](const std::string& s) { return ccPointFromString(s, &p); }, "point");
        return p;
    }
    CGSize size(const char* key) {
        CGSize s = CGSizeZero;
        if (parsed(key, [&](const std::string& t) { return ccSizeFromString(t, &s); }, "size") &&
            (s.width < 0 || s.height < 0))
            fail(key, "is negative");
        return s;
    }
    // Optional: a missing flag is NO.
    bool flag(const char* key) {
        const host::PlistValue& v = entry_[key];
        if (!ok() || v.isNone()) return false;
        if (!v.isNumber() && !v.isString()) {
            fail(key, "is not a boolean");
            return false;
        }
        return v.asBool();
    }
    // Optional: a missing list is empty; every element must be a string.
    std::vector<std::string> names(const char* key) {
        std::vector<std::string> out;
        const host::PlistValue& v = entry_[key];
        if (!ok() || v.isNone()) return out;
        if (!v.isArray()) {
            fail(key, "is not an array");
            return out;
        }
        for (const host::PlistValue& e : *v.array()) {
            if (!e.isString()) {
                fail(key, "holds something other than names");
                return {};
            }
            out.push_back(*e.string());
        }
        return out;
    }

private:
    static bool finiteFloat(double v) {
        return std::isfinite(v) && std::fabs(v) <= double(std::numeric_limits<float>::max());
    }
    // A required field; a missing one is a malformed entry.
    const host::PlistValue& field(const char* key) {
        const host::PlistValue& v = entry_[key];
        if (ok() && v.isNone()) fail(key, "is missing");
        return v;
    }
    template <class Parse> bool parsed(const char* key, Parse parse, const char* what) {
        const host::PlistValue& v = field(key);
        if (!ok()) return false;
        if (!v.isString() || !parse(*v.string())) {
            fail(key, (std::string("is not a ") + what + " string").c_str());
            return false;
        }
        return true;
    }
    void fail(const char* key, const char* problem) {
        if (ok()) error_ = "frame '" + printable(frameName_) + "': '" + key + "' " + problem;
    }

    const host::PlistValue& entry_;
    const std::string& frameName_;
    std::string error_;
};

bool describeFrame(const host::PlistValue& entry, int64_t format, FrameDescription* f, std::string* error) {
    EntryReader in(entry, f->name);
    switch (format) {
        case 0: {
            const float x = in.number("x"), y = in.number("y");
            const float w = in.number("width"), h = in.number("height");
            if (in.ok() && (w < 0 || h < 0)) {
                *error = "frame '" + printable(f->name) + "': negative width or height";
                return false;
            }
            f->rectInPixels = CGRectMake(x, y, w, h);
            f->offsetInPixels = CGPointMake(in.number("offsetX"), in.number("offsetY"));
            f->originalSizeInPixels = CGSizeMake(in.magnitude("originalWidth"), in.magnitude("originalHeight"));
            break;
        }
        case 1:
        case 2:
            f->rectInPixels = in.rect("frame");
            f->rotated = format == 2 && in.flag("rotated");
            f->offsetInPixels = in.point("offset");
            f->originalSizeInPixels = in.size("sourceSize");
            break;
        case 3: {
            const CGSize spriteSize = in.size("spriteSize");
            f->offsetInPixels = in.point("spriteOffset");
            f->originalSizeInPixels = in.size("spriteSourceSize");
            const CGRect textureRect = in.rect("textureRect");
            f->rotated = in.flag("textureRotated");
            f->aliases = in.names("aliases");
            f->rectInPixels = CGRect{textureRect.origin, spriteSize};
            break;
        }
        default:
            break;
    }
    if (!in.ok()) *error = in.error();
    return in.ok();
}

// Every frame of the sheet, or false with the reason when any entry (or
// the sheet itself) is malformed.
bool describeSheet(const host::PlistValue& sheet, std::vector<FrameDescription>* frames, std::string* error) {
    if (!sheet.isDictionary()) {
        *error = "not a dictionary";
        return false;
    }
    int64_t format = 0;
    const host::PlistValue& metadata = sheet["metadata"];
    if (!metadata.isNone()) {
        if (!metadata.isDictionary()) {
            *error = "'metadata' is not a dictionary";
            return false;
        }
        const host::PlistValue& number = metadata["format"];
        const int64_t bad = std::numeric_limits<int64_t>::min();
        format = number.isNone() ? 0 : number.asInt(bad);
        if (format == bad) {
            *error = "'metadata' 'format' is not a number";
            return false;
        }
    }
    if (format < 0 || format > 3) {
        *error = "unsupported format " + std::to_string(format);
        return false;
    }
    const host::PlistValue::Dictionary* entries = sheet["frames"].dictionary();
    if (!entries) {
        *error = "no 'frames' dictionary";
        return false;
    }
    frames->reserve(entries->size());
    for (const auto& [name, entry] : *entries) {
        if (!entry.isDictionary()) {
            *error = "frame '" + printable(name) + "' is not a dictionary";
            return false;
        }
        FrameDescription f;
        f.name = name;
        if (!describeFrame(entry, format, &f, error)) return false;
        frames->push_back(std::move(f));
    }
    return true;
}

// Reads a plist file as a dictionary; none (with one log line) when it
// cannot be read.
host::PlistValue readSheet(const std::string& plist) {
    const std::string path = CCFileUtils::fullPathFromRelativePath(plist);
    std::string error;
    host::PlistValue sheet = host::PlistValue::parseFile(path, &error);
    if (!error.empty()) {
        host::log("CCSpriteFrameCache: cannot read '%s': %s", printable(plist).c_str(), printable(error).c_str());
        return host::PlistValue();
    }
    if (!sheet.isDictionary()) {
        host::log("CCSpriteFrameCache: '%s' is not a dictionary", printable(plist).c_str());
        return host::PlistValue();
    }
    return sheet;
}

// The texture a sheet names in its metadata (next to the plist), else the
// plist's own name with the extension "png".
std::string textureFileFor(const host::PlistValue& sheet, const std::string& plist) {
    const std::string* named = sheet["metadata"]["textureFileName"].string();
    if (named && !named->empty())
        return host::path::appendingComponent(host::path::deletingLastComponent(plist), *named);
    return host::path::appendingExtension(host::path::deletingExtension(plist), "png");
}

CCTexture2D* loadTexture(const std::string& file) {
    if (file.empty()) {
        host::log("CCSpriteFrameCache: no texture file given");
        return nullptr;
    }
    // A failing load has been logged by the image loader, with its reason.
    return CCTextureCache::sharedTextureCache()->addImage(file);
}

}  // namespace

CCSpriteFrameCache* CCSpriteFrameCache::sharedSpriteFrameCache() { return gSharedSpriteFrameCache.get(); }

void CCSpriteFrameCache::purgeSharedSpriteFrameCache() { gSharedSpriteFrameCache.purge(); }

bool CCSpriteFrameCache::init() {
    spriteFrames_.reserve(100);
    spriteFramesAliases_.reserve(10);
    return true;
}

CCSpriteFrameCache::~CCSpriteFrameCache() = default;

void CCSpriteFrameCache::addSpriteFramesWithFile(const std::string& plist) {
    host::PlistValue sheet = readSheet(plist);
    if (sheet.isNone()) return;
    if (CCTexture2D* texture = loadTexture(textureFileFor(sheet, plist)))
        addSpriteFramesWithDictionary(sheet, texture);
}

void CCSpriteFrameCache::addSpriteFramesWithFile(const std::string& plist, const std::string& textureFile) {
    if (CCTexture2D* texture = loadTexture(textureFile)) addSpriteFramesWithFile(plist, texture);
}

void CCSpriteFrameCache::addSpriteFramesWithFile(const std::string& plist, CCTexture2D* texture) {
    host::PlistValue sheet = readSheet(plist);
    if (!sheet.isNone()) addSpriteFramesWithDictionary(sheet, texture);
}

void CCSpriteFrameCache::addSpriteFramesWithDictionary(const host::PlistValue& dictionary, CCTexture2D* texture) {
    if (!texture) {
        host::log("CCSpriteFrameCache: sprite frames need a texture");
        return;
    }
    std::vector<FrameDescription> frames;
    std::string error;
    if (!describeSheet(dictionary, &frames, &error)) {
        host::log("CCSpriteFrameCache: sprite sheet not loaded: %s", error.c_str());
        return;
    }
    for (const FrameDescription& f : frames) {
        auto frame = host::Ref<CCSpriteFrame>::adopt(host::createOwned<CCSpriteFrame>([&](CCSpriteFrame* s) {
            return s->initWithTexture(texture, f.rectInPixels, f.rotated, f.offsetInPixels,
                                      f.originalSizeInPixels);
        }));
        if (!frame) continue;
        spriteFrames_[f.name] = std::move(frame);
        for (const std::string& alias : f.aliases) spriteFramesAliases_[alias] = f.name;
    }
}

void CCSpriteFrameCache::addSpriteFrame(CCSpriteFrame* frame, const std::string& frameName) {
    if (frame) spriteFrames_[frameName] = frame;
}

CCSpriteFrame* CCSpriteFrameCache::spriteFrameByName(const std::string& name) const {
    auto it = spriteFrames_.find(name);
    if (it != spriteFrames_.end()) return it->second.get();
    auto alias = spriteFramesAliases_.find(name);
    if (alias == spriteFramesAliases_.end()) return nullptr;
    it = spriteFrames_.find(alias->second);
    return it == spriteFrames_.end() ? nullptr : it->second.get();
}

CCSprite* CCSpriteFrameCache::createSpriteWithFrameName(const std::string& name) const {
    auto it = spriteFrames_.find(name);
    return it == spriteFrames_.end() ? nullptr : CCSprite::spriteWithSpriteFrame(it->second.get());
}

void CCSpriteFrameCache::removeSpriteFrames() {
    spriteFrames_.clear();
    spriteFramesAliases_.clear();
}

void CCSpriteFrameCache::removeUnusedSpriteFrames() {
    for (auto it = spriteFrames_.begin(); it != spriteFrames_.end();) {
        if (it->second->retainCount() == 1)
            it = spriteFrames_.erase(it);
        else
            ++it;
    }
}

void CCSpriteFrameCache::removeSpriteFrameByName(const std::string& name) {
    auto alias = spriteFramesAliases_.find(name);
    if (alias != spriteFramesAliases_.end()) {
        spriteFrames_.erase(alias->second);
        spriteFramesAliases_.erase(alias);
    } else {
        spriteFrames_.erase(name);
    }
}

void CCSpriteFrameCache::removeSpriteFramesFromFile(const std::string& plist) {
    host::PlistValue sheet = readSheet(plist);
    if (!sheet.isNone()) removeSpriteFramesFromDictionary(sheet);
}

void CCSpriteFrameCache::removeSpriteFramesFromDictionary(const host::PlistValue& dictionary) {
    const host::PlistValue::Dictionary* entries = dictionary["frames"].dictionary();
    if (!entries) return;
    for (const auto& entry : *entries) spriteFrames_.erase(entry.first);
}

void CCSpriteFrameCache::removeSpriteFramesFromTexture(CCTexture2D* texture) {
    for (auto it = spriteFrames_.begin(); it != spriteFrames_.end();) {
        if (it->second->texture() == texture)
            it = spriteFrames_.erase(it);
        else
            ++it;
    }
}

std::string CCSpriteFrameCache::description() const {
    char buf[48];
    std::snprintf(buf, sizeof buf, " | num of sprite frames =  %u>", spriteFrameCount());
    return "<" + className() + " = " + host::addressString(this) + buf;
}
