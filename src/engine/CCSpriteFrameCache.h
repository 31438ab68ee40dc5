// CCSpriteFrameCache: the process-wide store of sprite frames by name.
//
// Frames usually arrive many at once from the property list that describes
// a sprite sheet (formats 0 to 3, as written by the common sheet packers);
// the cache keeps one reference to each frame and an alias table that maps
// extra names onto frame names. A sheet is loaded all or nothing: an entry
// that is malformed makes the whole sheet fail with one log line, so a
// half-described sheet never shows zero-sized or misplaced frames.
#pragma once

#include <string>
#include <unordered_map>

#include "host/core/Object.h"
#include "host/core/Ref.h"

namespace host { class PlistValue; }

class CCSpriteFrame;
class CCSprite;
class CCTexture2D;

class CCSpriteFrameCache : public host::Object {
public:
    // Created on first use; the purge releases it and the next use makes a
    // new, empty cache.
    static CCSpriteFrameCache* sharedSpriteFrameCache();
    static void purgeSharedSpriteFrameCache();

    bool init();

    // ---- Adding ---------------------------------------------------------
    // Reads the plist (relative names go through the bundle); the texture
    // is the metadata's "textureFileName" next to the plist, else the plist
    // name with the extension "png".
    void addSpriteFramesWithFile(const std::string& plist);
    // The same with the given image file as the texture.
    void addSpriteFramesWithFile(const std::string& plist, const std::string& textureFile);
    // The same with a texture already loaded.
    void addSpriteFramesWithFile(const std::string& plist, CCTexture2D* texture);
    // Every entry of the dictionary's "frames" becomes a frame on `texture`,
    // replacing a frame of the same name.
    void addSpriteFramesWithDictionary(const host::PlistValue& dictionary, CCTexture2D* texture);
    // Stores or replaces one frame under the name.
    void addSpriteFrame(CCSpriteFrame* frame, const std::string& frameName);

    // ---- Lookup ---------------------------------------------------------
    // The frame under the name, else under the name an alias gives; nullptr
    // when neither exists.
    CCSpriteFrame* spriteFrameByName(const std::string& name) const;
    // A new autoreleased sprite showing the frame stored under exactly this
    // name (aliases are not consulted); nullptr when there is none.
    CCSprite* createSpriteWithFrameName(const std::string& name) const;

    // ---- Removal --------------------------------------------------------
    void removeSpriteFrames();
    // Drops every frame that only the cache still holds.
    void removeUnusedSpriteFrames();
    // An alias removes the frame it names and the alias itself.
    void removeSpriteFrameByName(const std::string& name);
    void removeSpriteFramesFromFile(const std::string& plist);
    void removeSpriteFramesFromDictionary(const host::PlistValue& dictionary);
    void removeSpriteFramesFromTexture(CCTexture2D* texture);

    // Frames currently held (the number the description prints).
    unsigned spriteFrameCount() const { return static_cast<unsigned>(spriteFrames_.size()); }

    std::string description() const override;

protected:
    ~CCSpriteFrameCache() override;

private:
    std::unordered_map<std::string, host::Ref<CCSpriteFrame>> spriteFrames_;
    std::unordered_map<std::string, std::string> spriteFramesAliases_;
};
