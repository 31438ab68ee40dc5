// Menu items drawn by images: three nodes (normal, selected, disabled),
// of which the item shows the one that fits its state. CCMenuItemImage
// makes the three as sprites from image files.
#pragma once

#include <string>

#include "engine/CCMenuItem.h"

class CCMenuItemSprite : public CCMenuItem, public CCRGBAProtocol {
public:
    // Selected and disabled images may be nullptr.
    static CCMenuItemSprite* itemFromNormalSprite(CCNode* normal, CCNode* selected);
    static CCMenuItemSprite* itemFromNormalSprite(CCNode* normal, CCNode* selected, host::Object* target,
                                                  CCMenuSelector selector);
    static CCMenuItemSprite* itemFromNormalSprite(CCNode* normal, CCNode* selected, CCNode* disabled,
                                                  host::Object* target, CCMenuSelector selector);
    static CCMenuItemSprite* itemFromNormalSprite(CCNode* normal, CCNode* selected, CCMenuItemBlock block);
    static CCMenuItemSprite* itemFromNormalSprite(CCNode* normal, CCNode* selected, CCNode* disabled,
                                                  CCMenuItemBlock block);
    bool initFromNormalSprite(CCNode* normal, CCNode* selected, CCNode* disabled, host::Object* target,
                              CCMenuSelector selector);
    bool initFromNormalSprite(CCNode* normal, CCNode* selected, CCNode* disabled, CCMenuItemBlock block);

    // Each image is a child of the item, anchored at its bottom left.
    CCNode* normalImage() const { return normalImage_; }
    void setNormalImage(CCNode* image);
    CCNode* selectedImage() const { return selectedImage_; }
    void setSelectedImage(CCNode* image);
    CCNode* disabledImage() const { return disabledImage_; }
    void setDisabledImage(CCNode* image);

    // Set on all three images; read from the normal one.
    ccColor3B color() const override;
    void setColor(ccColor3B color) override;
    uint8_t opacity() const override;
    void setOpacity(uint8_t opacity) override;

    void selected() override;
    void unselected() override;
    void setIsEnabled(bool enabled) override;

protected:
    ~CCMenuItemSprite() override = default;

private:
    void initImages(CCNode* normal, CCNode* selected, CCNode* disabled);
    // Puts `image` in place of `slot` as a child with the given visibility.
    void replaceImage(CCNode*& slot, CCNode* image, bool visible);
    void showImages(bool normal, bool selected, bool disabled);

    CCNode* normalImage_ = nullptr;  // children, not retained separately
    CCNode* selectedImage_ = nullptr;
    CCNode* disabledImage_ = nullptr;
};

class CCMenuItemImage : public CCMenuItemSprite {
public:
    // An empty name means no such image. nullptr (logged) when a named
    // image cannot be loaded.
    static CCMenuItemImage* itemFromNormalImage(const std::string& normal, const std::string& selected);
    static CCMenuItemImage* itemFromNormalImage(const std::string& normal, const std::string& selected,
                                                host::Object* target, CCMenuSelector selector);
    static CCMenuItemImage* itemFromNormalImage(const std::string& normal, const std::string& selected,
                                                const std::string& disabled);
    static CCMenuItemImage* itemFromNormalImage(const std::string& normal, const std::string& selected,
                                                const std::string& disabled, host::Object* target,
                                                CCMenuSelector selector);
    static CCMenuItemImage* itemFromNormalImage(const std::string& normal, const std::string& selected,
                                                CCMenuItemBlock block);
    static CCMenuItemImage* itemFromNormalImage(const std::string& normal, const std::string& selected,
                                                const std::string& disabled, CCMenuItemBlock block);
    bool initFromNormalImage(const std::string& normal, const std::string& selected, const std::string& disabled,
                             host::Object* target, CCMenuSelector selector);
    bool initFromNormalImage(const std::string& normal, const std::string& selected, const std::string& disabled,
                             CCMenuItemBlock block);

protected:
    ~CCMenuItemImage() override = default;

private:
    struct Sprites;
    static bool loadSprites(const std::string& normal, const std::string& selected, const std::string& disabled,
                            Sprites* out);
};
