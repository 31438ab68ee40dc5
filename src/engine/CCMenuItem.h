// Menu items: nodes that a menu selects while a finger is on them and
// activates when the finger lifts over them. An item calls a target's
// method or a block when activated. The label family (a label, a system
// font string, a character-map string) zooms while selected and greys out
// while disabled; the sprite and toggle items are in their own headers.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "engine/CCNode.h"
#include "engine/CCProtocols.h"
#include "host/core/Selector.h"

// The action tag of a label item's selection zoom.
constexpr int kCCZoomActionTag = static_cast<int>(0xC0C05002u);

// The method an item calls: one taking the item as its sender, or one
// taking nothing. Made with cc_selector(Class::method).
class CCMenuSelector {
public:
    CCMenuSelector() = default;
    CCMenuSelector(host::Selector<void(host::Object*)> withSender) : withSender_(withSender) {}  // NOLINT
    CCMenuSelector(host::Selector<void()> plain) : plain_(plain) {}                               // NOLINT

    explicit operator bool() const { return static_cast<bool>(withSender_) || static_cast<bool>(plain_); }
    void perform(host::Object* target, host::Object* sender) const;
    const char* name() const { return withSender_ ? withSender_.name() : plain_.name(); }

private:
    host::Selector<void(host::Object*)> withSender_;
    host::Selector<void()> plain_;
};

// A target and the selector to send it. The target is not retained: it is
// normally the layer that holds the menu, which outlives its items.
class CCInvocation {
public:
    CCInvocation() = default;
    CCInvocation(host::Object* target, CCMenuSelector selector) : target_(target), selector_(selector) {}

    // Empty unless both a target and a selector were given.
    explicit operator bool() const { return target_ && selector_; }
    void invoke(host::Object* sender) const {
        if (*this) selector_.perform(target_, sender);
    }
    host::Object* target() const { return target_; }

private:
    host::Object* target_ = nullptr;
    CCMenuSelector selector_;
};

// A block an item calls with itself as the sender.
using CCMenuItemBlock = std::function<void(host::Object* sender)>;

class CCMenuItem : public CCNode {
public:
    static CCMenuItem* itemWithTarget(host::Object* target, CCMenuSelector selector);
    static CCMenuItem* itemWithBlock(CCMenuItemBlock block);
    // An item needs its action given at creation: plain init is refused.
    bool init() override { return false; }
    bool initWithTarget(host::Object* target, CCMenuSelector selector);
    bool initWithBlock(CCMenuItemBlock block);

    // Calls the action when enabled; an item made without one does nothing.
    virtual void activate();
    virtual void selected() { isSelected_ = true; }
    virtual void unselected() { isSelected_ = false; }
    // The item's rectangle in its parent's space (points).
    CGRect rect() const;

    bool isEnabled() const { return isEnabled_; }
    virtual void setIsEnabled(bool enabled) { isEnabled_ = enabled; }
    bool isSelected() const { return isSelected_; }

protected:
    ~CCMenuItem() override = default;

    CCInvocation invocation_;
    CCMenuItemBlock block_;
    bool isEnabled_ = true;
    bool isSelected_ = false;
};

// An item that shows a label: any node with a string (CCLabelProtocol) and
// a colour (CCRGBAProtocol). The label is the item's child.
class CCMenuItemLabel : public CCMenuItem, public CCRGBAProtocol {
public:
    // No action.
    static CCMenuItemLabel* itemWithLabel(CCNode* label);
    static CCMenuItemLabel* itemWithLabel(CCNode* label, host::Object* target, CCMenuSelector selector);
    static CCMenuItemLabel* itemWithLabel(CCNode* label, CCMenuItemBlock block);
    bool initWithLabel(CCNode* label, host::Object* target, CCMenuSelector selector);
    bool initWithLabel(CCNode* label, CCMenuItemBlock block);

    CCNode* label() const { return label_; }
    // Replaces the label (the old one is removed with cleanup) and takes
    // its size. The node must have a string and a colour.
    void setLabel(CCNode* label);
    // Changes the label's text and takes its new size.
    void setString(const std::string& string);

    ccColor3B disabledColor() const { return disabledColor_; }
    void setDisabledColor(ccColor3B color) { disabledColor_ = color; }

    // Colour and opacity are the label's.
    ccColor3B color() const override;
    void setColor(ccColor3B color) override;
    uint8_t opacity() const override;
    void setOpacity(uint8_t opacity) override;

    // Snaps back to the scale before the zoom, then fires the action.
    void activate() override;
    // Zoom to 1.2 times the stored scale over 0.1 s, and back.
    void selected() override;
    void unselected() override;
    // Shows the disabled colour while disabled, the saved colour after.
    void setIsEnabled(bool enabled) override;

protected:
    ~CCMenuItemLabel() override = default;
    bool initLabelItem(CCNode* label);

    CCNode* label_ = nullptr;                  // a child, not retained separately
    CCLabelProtocol* labelText_ = nullptr;     // label_ seen through its protocols
    CCRGBAProtocol* labelColor_ = nullptr;
    ccColor3B colorBackup{255, 255, 255};
    ccColor3B disabledColor_{126, 126, 126};
    float originalScale_ = 1.0f;
};

// A label item showing a character-map label (cells of an image).
class CCMenuItemAtlasFont : public CCMenuItemLabel {
public:
    // nullptr (logged) when the character map cannot be loaded.
    static CCMenuItemAtlasFont* itemFromString(const std::string& value, const std::string& charMapFile,
                                               unsigned itemWidth, unsigned itemHeight, uint8_t startCharMap);
    static CCMenuItemAtlasFont* itemFromString(const std::string& value, const std::string& charMapFile,
                                               unsigned itemWidth, unsigned itemHeight, uint8_t startCharMap,
                                               host::Object* target, CCMenuSelector selector);
    static CCMenuItemAtlasFont* itemFromString(const std::string& value, const std::string& charMapFile,
                                               unsigned itemWidth, unsigned itemHeight, uint8_t startCharMap,
                                               CCMenuItemBlock block);
    bool initFromString(const std::string& value, const std::string& charMapFile, unsigned itemWidth,
                        unsigned itemHeight, uint8_t startCharMap, host::Object* target, CCMenuSelector selector);
    bool initFromString(const std::string& value, const std::string& charMapFile, unsigned itemWidth,
                        unsigned itemHeight, uint8_t startCharMap, CCMenuItemBlock block);

protected:
    ~CCMenuItemAtlasFont() override = default;
};

// A label item showing a string in a system font. New items take the
// class-wide font name and size ("Marker Felt", 32 unless changed).
class CCMenuItemFont : public CCMenuItemLabel {
public:
    static void setFontSize(unsigned size);
    static unsigned fontSize();
    static void setFontName(const std::string& name);
    static const std::string& fontName();

    // No action.
    static CCMenuItemFont* itemFromString(const std::string& value);
    static CCMenuItemFont* itemFromString(const std::string& value, host::Object* target, CCMenuSelector selector);
    static CCMenuItemFont* itemFromString(const std::string& value, CCMenuItemBlock block);
    bool initFromString(const std::string& value, host::Object* target, CCMenuSelector selector);
    bool initFromString(const std::string& value, CCMenuItemBlock block);

    // This item's own font; changing it rebuilds the label. (Named apart
    // from the class-wide defaults above, which C++ cannot overload.)
    void setItemFontSize(unsigned size);
    unsigned itemFontSize() const { return fontSize_; }
    void setItemFontName(const std::string& name);
    const std::string& itemFontName() const { return fontName_; }
    // A new label with the current text in the item's font.
    void recreateLabel();

protected:
    ~CCMenuItemFont() override = default;

private:
    // Takes the class defaults and makes the label for `value`.
    CCNode* makeLabel(const std::string& value);

    unsigned fontSize_ = 0;
    std::string fontName_;
};
