// Textures made from pixel buffers for the drawing tests, and quads
// placed in pixels, so a test knows exactly which colour every texel and
// vertex has.
#pragma once

#include <functional>
#include <vector>

#include "Texels.h"
#include "engine/CCTexture2D.h"
#include "engine/ccTypes.h"
#include "host/core/Object.h"
#include "host/graphics/Image.h"

// The colour of texel (x, y), row y = 0 being the image's top row.
using TexelFunction = std::function<ccColor4B(unsigned x, unsigned y)>;

// An RGBA8888 texture of pixelsWide x pixelsHigh texels whose content is
// the top-left `content` part; autoreleased. Needs a current GL context.
inline CCTexture2D* makeTexture(unsigned pixelsWide, unsigned pixelsHigh, CGSize content,
                                const TexelFunction& texel) {
    std::vector<ccColor4B> pixels(size_t(pixelsWide) * pixelsHigh);
    for (unsigned y = 0; y < pixelsHigh; ++y)
        for (unsigned x = 0; x < pixelsWide; ++x) pixels[size_t(y) * pixelsWide + x] = texel(x, y);
    return host::create<CCTexture2D>([&](CCTexture2D* t) {
        if (!t->initWithData(pixels.data(), kCCTexture2DPixelFormat_RGBA8888, pixelsWide, pixelsHigh, content))
            return false;
        t->setAliasTexParameters();  // nearest texels: crisp colour edges
        return true;
    });
}

// The same texels, but decoded the way image files are: the texture holds
// premultiplied alpha (hasPremultipliedAlpha). Power-of-two sizes only.
inline CCTexture2D* makePremultipliedTexture(unsigned w, unsigned h, const TexelFunction& texel) {
    const std::vector<uint8_t> straight = rgbaPixels(w, h, texel);
    host::Image* image = host::Image::imageWithPixels(straight.data(), w, h, 4);
    return host::create<CCTexture2D>([&](CCTexture2D* t) {
        if (!image || !t->initWithImage(image)) return false;
        t->setAliasTexParameters();
        return true;
    });
}

// A texture of one colour everywhere.
inline CCTexture2D* makeSolidTexture(unsigned w, unsigned h, ccColor4B c) {
    return makeTexture(w, h, CGSizeMake(float(w), float(h)), [c](unsigned, unsigned) { return c; });
}

// Left half (x < w / 2) `left`, right half `right`.
inline CCTexture2D* makeTwoColourTexture(unsigned w, unsigned h, ccColor4B left, ccColor4B right) {
    return makeTexture(w, h, CGSizeMake(float(w), float(h)),
                       [=](unsigned x, unsigned) { return x < w / 2 ? left : right; });
}

constexpr ccColor4B kRed{255, 0, 0, 255};
constexpr ccColor4B kGreen{0, 255, 0, 255};
constexpr ccColor4B kBlue{0, 0, 255, 255};
constexpr ccColor4B kWhite{255, 255, 255, 255};
constexpr ccColor4B kBlack{0, 0, 0, 255};
constexpr ccColor4B kClear{0, 0, 0, 0};

// An axis-aligned quad covering (x, y, w, h) in pixels, one colour, the
// whole texture (0..1) mapped onto it upright.
inline ccV3F_C4B_T2F_Quad makeQuad(float x, float y, float w, float h, ccColor4B c) {
    ccV3F_C4B_T2F_Quad q;
    q.bl = {{x, y, 0}, c, {0, 1}};
    q.br = {{x + w, y, 0}, c, {1, 1}};
    q.tl = {{x, y + h, 0}, c, {0, 0}};
    q.tr = {{x + w, y + h, 0}, c, {1, 0}};
    return q;
}

