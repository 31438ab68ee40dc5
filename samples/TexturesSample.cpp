// Every way an image becomes a texture: PNG with and without alpha, JPEG,
// a grey PNG, TGA (raw and run-length), one picture in each pixel format,
// and PVR files plain, gzip- and CCZ-compressed. Each sits on a checkered
// tile so its transparency shows.
#include <vector>

#include "Sample.h"
#include "engine/CCDirector.h"
#include "engine/CCLabelTTF.h"
#include "engine/CCScene.h"
#include "engine/CCSprite.h"
#include "engine/CCTexture2D.h"
#include "engine/CCTextureCache.h"
#include "engine/Support/CCFileUtils.h"
#include "engine/Support/TGAlib.h"
#include "host/graphics/Image.h"

namespace {

const std::string kFolder = "samples/textures/";
constexpr float kTile = 64;

struct Tile {
    CCTexture2D* texture;
    const char* caption;
    bool upsideDown;  // TGA rows are stored bottom-up
};

// The file drawn into storage of `format`, bypassing the cache (which
// would hand back the one texture it already has for the name).
CCTexture2D* textureInFormat(const std::string& file, CCTexture2DPixelFormat format) {
    const CCTexture2DPixelFormat previous = CCTexture2D::defaultAlphaPixelFormat();
    CCTexture2D::setDefaultAlphaPixelFormat(format);
    host::Image* image = host::Image::imageWithContentsOfFile(CCFileUtils::fullPathFromRelativePath(kFolder + file));
    CCTexture2D* texture = host::create<CCTexture2D>([&](CCTexture2D* t) { return t->initWithImage(image); });
    CCTexture2D::setDefaultAlphaPixelFormat(previous);
    return texture;
}

// A JPEG made here by the engine's encoder: a smooth photo-like gradient.
CCTexture2D* generatedJPEG() {
    const unsigned size = 64;
    std::vector<uint8_t> pixels;
    for (unsigned y = 0; y < size; ++y)
        for (unsigned x = 0; x < size; ++x)
            pixels.insert(pixels.end(), {uint8_t(120 + x * 2), uint8_t(60 + y * 3), uint8_t(200 - x - y)});
    host::Image* raw = host::Image::imageWithPixels(pixels.data(), size, size, 3);
    std::vector<uint8_t> jpeg;
    if (!raw || !raw->JPEGRepresentation(85, &jpeg)) return nullptr;
    const std::string key = kFolder + "generated.jpg";
    return CCTextureCache::sharedTextureCache()->addCGImage(host::Image::imageWithData(jpeg.data(), jpeg.size()),
                                                            &key);
}

// A 32-bit TGA as an RGBA8888 texture (straight alpha).
CCTexture2D* tgaTexture(const std::string& file) {
    tImageTGA* tga = tgaLoad(CCFileUtils::fullPathFromRelativePath(kFolder + file).c_str());
    CCTexture2D* texture = nullptr;
    if (tga && tga->status == TGA_OK && tga->pixelDepth == 32)
        texture = host::create<CCTexture2D>([&](CCTexture2D* t) {
            return t->initWithData(tga->imageData, kCCTexture2DPixelFormat_RGBA8888, uint32_t(tga->width),
                                   uint32_t(tga->height), CGSizeMake(float(tga->width), float(tga->height)));
        });
    tgaDestroy(tga);
    return texture;
}

void addTile(CCNode* parent, const Tile& tile, CGPoint centre) {
    if (CCSprite* checker = CCSprite::spriteWithFile(kFolder + "checker.png")) {
        checker->texture()->setAliasTexParameters();
        checker->setScale(kTile / checker->contentSize().width);
        checker->setPosition(centre);
        parent->addChild(checker, 0);
    }
    if (tile.texture) {
        CCSprite* sprite = CCSprite::spriteWithTexture(tile.texture);
        sprite->setScale(kTile / sprite->contentSize().width);
        sprite->setFlipY(tile.upsideDown);
        sprite->setPosition(centre);
        parent->addChild(sprite, 1);
    }
    if (CCLabelTTF* label = CCLabelTTF::labelWithString(tile.texture ? tile.caption : "(failed)", "Helvetica", 10)) {
        label->setPosition(CGPointMake(centre.x, centre.y - kTile / 2 - 8));
        parent->addChild(label, 2);
    }
}

}  // namespace

TILTBOARD_SAMPLE(textures, "Textures: images, pixel formats, PVR, TGA") {
    CCScene* scene = CCScene::node();
    const CGSize win = CCDirector::sharedDirector()->winSize();
    CCTextureCache* cache = CCTextureCache::sharedTextureCache();

    const std::vector<std::vector<Tile>> rows = {
        {{cache->addImage(kFolder + "alpha.png"), "PNG, alpha", false},
         {cache->addImage(kFolder + "opaque.png"), "PNG, opaque", false},
         {generatedJPEG(), "JPEG", false},
         {cache->addImage(kFolder + "grey.png"), "PNG, grey", false},
         {tgaTexture("bars.tga"), "TGA", true},
         {tgaTexture("bars-rle.tga"), "TGA, RLE", true}},
        {{textureInFormat("alpha.png", kCCTexture2DPixelFormat_RGBA8888), "RGBA8888", false},
         {textureInFormat("alpha.png", kCCTexture2DPixelFormat_RGBA4444), "RGBA4444", false},
         {textureInFormat("alpha.png", kCCTexture2DPixelFormat_RGB5A1), "RGB5A1", false},
         {textureInFormat("alpha.png", kCCTexture2DPixelFormat_RGB565), "RGB565", false},
         {textureInFormat("alpha.png", kCCTexture2DPixelFormat_A8), "A8", false}},
        {{cache->addImage(kFolder + "disc.pvr"), "PVR RGBA8888", false},
         {cache->addImage(kFolder + "disc4444.pvr.gz"), "PVR 4444 .gz", false},
         {cache->addImage(kFolder + "gradient565.pvr.ccz"), "PVR 565 .ccz", false}},
    };
    const float spacing = 78;
    for (size_t r = 0; r < rows.size(); ++r) {
        const float y = win.height - 80 - float(r) * 92;
        const float left = (win.width - spacing * float(rows[r].size() - 1)) / 2;
        for (size_t i = 0; i < rows[r].size(); ++i) addTile(scene, rows[r][i], CGPointMake(left + spacing * float(i), y));
    }
    addSampleTitle(scene, "Textures: images, pixel formats, PVR, TGA");
    return scene;
}
