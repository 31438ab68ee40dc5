// Interfaces shared by several drawable classes: colour and opacity, a
// blend function, a texture, and a text string.
//
// They are pure interfaces mixed into host::Object subclasses; nobody owns
// or deletes an object through them, hence the protected destructors.
#pragma once

#include <cstdint>
#include <string>

#include "engine/ccTypes.h"

class CCTexture2D;

// Colour and opacity of a node that tints what it draws.
class CCRGBAProtocol {
public:
    virtual void setColor(ccColor3B color) = 0;
    virtual ccColor3B color() const = 0;
    virtual uint8_t opacity() const = 0;
    virtual void setOpacity(uint8_t opacity) = 0;
    // Optional: whether the colour written to the vertices is premultiplied
    // by the opacity. Classes without the choice keep the defaults.
    virtual void setOpacityModifyRGB(bool modify) { (void)modify; }
    virtual bool doesOpacityModifyRGB() const { return false; }

protected:
    ~CCRGBAProtocol() = default;
};

// The GL blend factors a node draws with.
class CCBlendProtocol {
public:
    virtual void setBlendFunc(ccBlendFunc blendFunc) = 0;
    virtual ccBlendFunc blendFunc() const = 0;

protected:
    ~CCBlendProtocol() = default;
};

// A node that draws one texture (and blends it).
class CCTextureProtocol : public CCBlendProtocol {
public:
    virtual CCTexture2D* texture() const = 0;
    virtual void setTexture(CCTexture2D* texture) = 0;

protected:
    ~CCTextureProtocol() = default;
};

// A node that shows a string.
class CCLabelProtocol {
public:
    virtual void setString(const std::string& string) = 0;
    virtual std::string string() const = 0;

protected:
    ~CCLabelProtocol() = default;
};
