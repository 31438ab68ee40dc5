// Emitters from particle property lists: every key, both modes, textures
// by file name and embedded (Base64 of gzip or zlib data), and lists that
// are broken in every way outside input can be broken.
#include <zlib.h>

#include <cmath>
#include <string>
#include <vector>

#include "ParticleTestSupport.h"
#include "RenderFixture.h"
#include "ScratchDirectory.h"
#include "engine/CCParticleSystemPoint.h"
#include "engine/CCParticleSystemQuad.h"
#include "engine/CCTextureCache.h"
#include "host/data/PlistValue.h"
#include "host/graphics/Image.h"

namespace {

using Dictionary = host::PlistValue::Dictionary;

// ---- Building embedded textures ----------------------------------------

std::string base64Encode(const std::vector<uint8_t>& bytes) {
    static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const uint32_t n = uint32_t(bytes[i]) << 16 | (i + 1 < bytes.size() ? uint32_t(bytes[i + 1]) << 8 : 0) |
                           (i + 2 < bytes.size() ? bytes[i + 2] : 0);
        out += kAlphabet[n >> 18 & 63];
        out += kAlphabet[n >> 12 & 63];
        out += i + 1 < bytes.size() ? kAlphabet[n >> 6 & 63] : '=';
        out += i + 2 < bytes.size() ? kAlphabet[n & 63] : '=';
        if (out.size() % 77 == 76) out += '\n';  // line breaks are skipped by readers
    }
    return out;
}

enum class Container { GZip, Zlib };

// Compresses `length` bytes produced by `chunk` (called with a buffer to
// fill) in the container; streams, so huge inputs cost little memory.
template <class Fill> std::vector<uint8_t> compress(Container container, size_t length, Fill&& fill) {
    z_stream z{};
    EXPECT_EQ(deflateInit2(&z, 9, Z_DEFLATED, container == Container::GZip ? 15 + 16 : 15, 9, Z_DEFAULT_STRATEGY),
              Z_OK);
    std::vector<uint8_t> out, in(1 << 20), buffer(1 << 16);
    size_t done = 0;
    int flush = Z_NO_FLUSH;
    do {
        const size_t n = std::min(in.size(), length - done);
        fill(in.data(), done, n);
        done += n;
        flush = done == length ? Z_FINISH : Z_NO_FLUSH;
        z.next_in = in.data();
        z.avail_in = unsigned(n);
        do {
            z.next_out = buffer.data();
            z.avail_out = unsigned(buffer.size());
            deflate(&z, flush);
            out.insert(out.end(), buffer.data(), buffer.data() + (buffer.size() - z.avail_out));
        } while (z.avail_out == 0);
    } while (flush != Z_FINISH);
    deflateEnd(&z);
    return out;
}

std::vector<uint8_t> compress(Container container, const std::vector<uint8_t>& bytes) {
    return compress(container, bytes.size(),
                    [&](uint8_t* to, size_t from, size_t n) { std::copy_n(bytes.data() + from, n, to); });
}

// An 8 x 8 opaque image whose every texel has its own colour.
ccColor4B texel(unsigned x, unsigned y) { return ccColor4B{uint8_t(x * 32), uint8_t(y * 32), 128, 255}; }

std::vector<uint8_t> texelImagePNG() {
    std::vector<uint8_t> pixels;
    for (unsigned y = 0; y < 8; ++y)
        for (unsigned x = 0; x < 8; ++x) {
            const ccColor4B c = texel(x, y);
            pixels.insert(pixels.end(), {c.r, c.g, c.b, c.a});
        }
    std::vector<uint8_t> png;
    EXPECT_TRUE(host::encodePNG(pixels.data(), 8, 8, 4, &png));
    return png;
}

// A small valid gravity-mode list; tests change what they need.
Dictionary baseList() {
    return Dictionary{
        {"maxParticles", 10},
        {"duration", -1.0},
        {"emitterType", 0},
        {"particleLifespan", 2.0},
        {"startParticleSize", 8.0},
        {"finishParticleSize", -1.0},
        {"startColorRed", 1.0}, {"startColorGreen", 1.0}, {"startColorBlue", 1.0}, {"startColorAlpha", 1.0},
        {"finishColorRed", 1.0}, {"finishColorGreen", 1.0}, {"finishColorBlue", 1.0}, {"finishColorAlpha", 1.0},
        {"blendFuncSource", 1},
        {"blendFuncDestination", 771},
    };
}

template <class Emitter = CCParticleSystemQuad> Emitter* fromList(const Dictionary& d) {
    return host::create<Emitter>([&](Emitter* e) { return e->initWithDictionary(host::PlistValue(d)); });
}

class ParticleListTest : public RenderFixture {
protected:
    ScopedResources resources_;
};

// ---- Good lists ------------------------------------------------------------

TEST_F(ParticleListTest, EveryKeyReachesItsParameter) {
    Dictionary d = baseList();
    d["maxParticles"] = 40;
    d["angle"] = 30.0, d["angleVariance"] = 5.0, d["duration"] = 2.5;
    d["blendFuncSource"] = 770, d["blendFuncDestination"] = 1;
    d["startColorVarianceRed"] = 0.1, d["startColorVarianceAlpha"] = 0.2;
    d["finishColorGreen"] = 0.25, d["finishColorVarianceBlue"] = 0.3;
    d["startParticleSizeVariance"] = 2.0, d["finishParticleSize"] = 3.0, d["finishParticleSizeVariance"] = 1.0;
    d["sourcePositionx"] = 120.0, d["sourcePositiony"] = 80.0;
    d["sourcePositionVariancex"] = 7.0, d["sourcePositionVariancey"] = 9.0;
    d["rotationStart"] = 10.0, d["rotationStartVariance"] = 1.0, d["rotationEnd"] = 20.0, d["rotationEndVariance"] = 2.0;
    d["gravityx"] = 3.0, d["gravityy"] = -4.0, d["speed"] = 50.0, d["speedVariance"] = 6.0;
    d["radialAcceleration"] = -2.0, d["radialAccelVariance"] = 0.5;
    d["tangentialAcceleration"] = 1.5, d["tangentialAccelVariance"] = 0.25;
    d["particleLifespan"] = 4.0, d["particleLifespanVariance"] = 0.5;

    LogCapture log;
    CCParticleSystemQuad* e = fromList(d);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->totalParticles(), 40u);
    EXPECT_FLOAT_EQ(e->angle(), 30);
    EXPECT_FLOAT_EQ(e->angleVar(), 5);
    EXPECT_FLOAT_EQ(e->duration(), 2.5f);
    EXPECT_EQ(e->blendFunc().src, 770u);
    EXPECT_EQ(e->blendFunc().dst, 1u);
    EXPECT_FLOAT_EQ(e->startColor().r, 1);
    EXPECT_FLOAT_EQ(e->startColorVar().r, 0.1f);
    EXPECT_FLOAT_EQ(e->startColorVar().a, 0.2f);
    EXPECT_FLOAT_EQ(e->endColor().g, 0.25f);
    EXPECT_FLOAT_EQ(e->endColorVar().b, 0.3f);
    EXPECT_FLOAT_EQ(e->startSize(), 8);
    EXPECT_FLOAT_EQ(e->startSizeVar(), 2);
    EXPECT_FLOAT_EQ(e->endSize(), 3);
    EXPECT_FLOAT_EQ(e->endSizeVar(), 1);
    EXPECT_FLOAT_EQ(e->position().x, 120) << "the source position places the node";
    EXPECT_FLOAT_EQ(e->position().y, 80);
    EXPECT_FLOAT_EQ(e->sourcePosition().x, 0);
    EXPECT_FLOAT_EQ(e->posVar().x, 7);
    EXPECT_FLOAT_EQ(e->posVar().y, 9);
    EXPECT_FLOAT_EQ(e->startSpin(), 10);
    EXPECT_FLOAT_EQ(e->startSpinVar(), 1);
    EXPECT_FLOAT_EQ(e->endSpin(), 20);
    EXPECT_FLOAT_EQ(e->endSpinVar(), 2);
    EXPECT_EQ(e->emitterMode(), kCCParticleModeGravity);
    EXPECT_FLOAT_EQ(e->gravity().x, 3);
    EXPECT_FLOAT_EQ(e->gravity().y, -4);
    EXPECT_FLOAT_EQ(e->speed(), 50);
    EXPECT_FLOAT_EQ(e->speedVar(), 6);
    EXPECT_FLOAT_EQ(e->radialAccel(), -2);
    EXPECT_FLOAT_EQ(e->radialAccelVar(), 0.5f);
    EXPECT_FLOAT_EQ(e->tangentialAccel(), 1.5f);
    EXPECT_FLOAT_EQ(e->tangentialAccelVar(), 0.25f);
    EXPECT_FLOAT_EQ(e->life(), 4);
    EXPECT_FLOAT_EQ(e->lifeVar(), 0.5f);
    EXPECT_FLOAT_EQ(e->emissionRate(), 10) << "the pool size over the life";
    EXPECT_EQ(e->texture(), nullptr);
    EXPECT_TRUE(log.exactlyOneLine()) << "a list without any texture says so";
}

TEST_F(ParticleListTest, RadiusModeIgnoresTheGravityKeys) {
    Dictionary d = baseList();
    d["emitterType"] = 1;
    d["speed"] = 55.0, d["gravityx"] = 66.0, d["gravityy"] = 77.0;
    d["maxRadius"] = 100.0, d["maxRadiusVariance"] = 10.0, d["minRadius"] = 20.0;
    d["rotatePerSecond"] = 45.0, d["rotatePerSecondVariance"] = 5.0;
    d["textureFileName"] = "fire.png";
    CCParticleSystemQuad* e = fromList(d);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->emitterMode(), kCCParticleModeRadius);
    EXPECT_FLOAT_EQ(e->startRadius(), 100);
    EXPECT_FLOAT_EQ(e->startRadiusVar(), 10);
    EXPECT_FLOAT_EQ(e->endRadius(), 20);
    EXPECT_FLOAT_EQ(e->endRadiusVar(), 0);
    EXPECT_FLOAT_EQ(e->rotatePerSecond(), 45);
    EXPECT_FLOAT_EQ(e->rotatePerSecondVar(), 5);

    // Particles circle at the given radius.
    e->unscheduleUpdate();
    e->setPositionType(kCCPositionTypeGrouped);
    e->update(0.5f);  // 5 particles a second
    ASSERT_EQ(e->particleCount(), 2u);
    const sCCParticle& p = e->particles()[0];
    EXPECT_NEAR(std::hypot(p.pos.x, p.pos.y), p.mode.radiusMode.radius, 1e-3);
    // Born 90 to 110 out, shrinking towards 20 over its 2 s life.
    EXPECT_GT(p.mode.radiusMode.radius, 60);
    EXPECT_LT(p.mode.radiusMode.radius, 100);
}

TEST_F(ParticleListTest, AnUnknownEmitterTypeLeavesTheModeParametersAtZero) {
    Dictionary d = baseList();
    d["emitterType"] = 7;
    d["speed"] = 55.0, d["maxRadius"] = 100.0;
    d["textureFileName"] = "fire.png";
    LogCapture log;
    CCParticleSystemQuad* e = fromList(d);
    ASSERT_NE(e, nullptr);
    EXPECT_TRUE(log.exactlyOneLine());
    EXPECT_EQ(e->emitterMode(), 7);
    EXPECT_EQ(e->speed(), 0);
    EXPECT_EQ(e->startRadius(), 0);
    e->unscheduleUpdate();
    e->update(0.5f);  // runs, whatever it means
    EXPECT_GT(e->particleCount(), 0u);
}

TEST_F(ParticleListTest, TheTextureFileNameIsLoadedThroughTheCache) {
    Dictionary d = baseList();
    d["textureFileName"] = "fire.png";
    LogCapture log;
    CCParticleSystemPoint* e = fromList<CCParticleSystemPoint>(d);
    ASSERT_NE(e, nullptr);
    ASSERT_NE(e->texture(), nullptr);
    EXPECT_EQ(e->texture(), CCTextureCache::sharedTextureCache()->textureForKey("fire.png"));
    EXPECT_EQ(e->texture()->pixelsWide(), 32u);
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(ParticleListTest, TheShippedListLoadsWithItsEmbeddedTexture) {
    LogCapture log;
    CCParticleSystemPoint* e = CCParticleSystemPoint::particleWithFile("samples/particles/vortex.plist");
    ASSERT_NE(e, nullptr);
    EXPECT_TRUE(log.lines().empty()) << log.exactlyOneLine();
    EXPECT_EQ(e->totalParticles(), 300u);
    EXPECT_EQ(e->emitterMode(), kCCParticleModeRadius);
    EXPECT_FLOAT_EQ(e->emissionRate(), 120);
    EXPECT_TRUE(e->blendAdditive());
    ASSERT_NE(e->texture(), nullptr);
    EXPECT_EQ(e->texture()->pixelsWide(), 32u);
    EXPECT_EQ(e->texture(), CCTextureCache::sharedTextureCache()->textureForKey("vortex-sparkle.png"))
        << "cached under the list's file name";

    // Drawn, the vortex puts light on the screen.
    e->setPosition(CGPointMake(160, 240));
    scene_->addChild(e);
    frame();
    for (int i = 0; i < 20; ++i) {
        e->update(1.0f / 30);
        frame();
    }
    EXPECT_GT(e->particleCount(), 0u);
    int lit = 0;
    for (int y = 100; y < 380; y += 4)
        for (int x = 20; x < 300; x += 4) lit += pixelAt(x, y).b > 40;
    EXPECT_GT(lit, 20);
}

class EmbeddedTextureTest : public ParticleListTest, public ::testing::WithParamInterface<Container> {};

// The embedded image is decoded exactly: drawn texel for pixel, every
// colour comes back.
TEST_P(EmbeddedTextureTest, LoadsTheImageExactly) {
    Dictionary d = baseList();
    d["maxParticles"] = 1;
    d["textureFileName"] = GetParam() == Container::GZip ? "texels-gzip.png" : "texels-zlib.png";
    d["textureImageData"] = base64Encode(compress(GetParam(), texelImagePNG()));
    LogCapture log;
    CCParticleSystemQuad* e = fromList(d);
    ASSERT_NE(e, nullptr);
    EXPECT_TRUE(log.lines().empty()) << log.exactlyOneLine();
    ASSERT_NE(e->texture(), nullptr);
    EXPECT_EQ(e->texture()->pixelsWide(), 8u);
    EXPECT_EQ(e->texture()->pixelsHigh(), 8u);
    e->texture()->setAliasTexParameters();

    e->unscheduleUpdate();
    e->setEmissionRate(1000);
    e->setPosition(CGPointMake(100, 100));
    e->setPositionType(kCCPositionTypeGrouped);
    scene_->addChild(e);
    e->update(0.01f);
    frame();
    for (unsigned y = 0; y < 8; ++y)
        for (unsigned x = 0; x < 8; ++x)
            EXPECT_TRUE(colorNear(pixelAt(int(96 + x), int(103 - y)), texel(x, y), 1)) << "texel " << x << ", " << y;

    // A second list naming the same file finds the texture in the cache,
    // with no data of its own.
    Dictionary again = baseList();
    again["textureFileName"] = d["textureFileName"];
    CCParticleSystemQuad* second = fromList(again);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->texture(), e->texture());
    EXPECT_TRUE(log.lines().empty());
}

INSTANTIATE_TEST_SUITE_P(Containers, EmbeddedTextureTest, ::testing::Values(Container::GZip, Container::Zlib),
                         [](const auto& info) { return info.param == Container::GZip ? "GZip" : "Zlib"; });

TEST_F(ParticleListTest, AnEmbeddedTextureWithoutAFileNameIsNotCached) {
    Dictionary d = baseList();
    d["textureImageData"] = base64Encode(compress(Container::GZip, texelImagePNG()));
    CCParticleSystemQuad* e = fromList(d);
    ASSERT_NE(e, nullptr);
    ASSERT_NE(e->texture(), nullptr);
    CCParticleSystemQuad* f = fromList(d);
    ASSERT_NE(f, nullptr);
    EXPECT_NE(f->texture(), e->texture());
}

TEST_F(ParticleListTest, FilesAreResolvedAndReadWhole) {
    const std::string path = sourceResourcesDir() + "/samples/particles/vortex.plist";
    CCParticleSystemQuad* e = CCParticleSystemQuad::particleWithFile(path);
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->totalParticles(), 300u);
    EXPECT_NE(e->texture(), nullptr);
}

// ---- Broken lists --------------------------------------------------------

struct BrokenList {
    const char* name;
    Dictionary (*make)();
};

Dictionary withCount(host::PlistValue count) {
    Dictionary d = baseList();
    d["maxParticles"] = count;
    return d;
}

// Lists that no emitter can be made from: nothing, and one log line.
TEST_F(ParticleListTest, ListsWithoutAUsablePoolFailCleanly) {
    const BrokenList cases[] = {
        {"missing maxParticles", [] { Dictionary d = baseList(); d.erase("maxParticles"); return d; }},
        {"zero", [] { return withCount(0); }},
        {"negative", [] { return withCount(-5); }},
        {"huge", [] { return withCount(int64_t(1) << 40); }},
        {"just above the limit", [] { return withCount(int64_t(CCParticleSystem::kMaxParticlesInList) + 1); }},
        {"not a number", [] { return withCount("lots"); }},
        {"a dictionary", [] { return withCount(Dictionary{}); }},
    };
    for (const BrokenList& c : cases) {
        LogCapture log;
        EXPECT_EQ(fromList(c.make()), nullptr) << c.name;
        EXPECT_TRUE(log.exactlyOneLine()) << c.name;
    }
    LogCapture log;
    EXPECT_EQ(host::create<CCParticleSystemQuad>(
                  [](CCParticleSystemQuad* e) { return e->initWithDictionary(host::PlistValue("a string")); }),
              nullptr);
    EXPECT_TRUE(log.exactlyOneLine()) << "not a dictionary";
    EXPECT_NE(fromList(withCount(int64_t(CCParticleSystem::kMaxParticlesInList))), nullptr) << "the limit itself";
}

// A life below 0 (a negative emission rate) or not a number: no emitter.
// Other values no emitter can use (not finite, negative sizes) read as 0,
// so the particles made get finite vertices. One log line either way.
TEST_F(ParticleListTest, UnusableNumbersAreRefusedOrReadAsZero) {
    const host::PlistValue lives[] = {-2.0, double(NAN), "inf"};
    for (const host::PlistValue& life : lives) {
        Dictionary d = baseList();
        d["particleLifespan"] = life;
        LogCapture log;
        EXPECT_EQ(fromList(d), nullptr) << life.asDouble();
        EXPECT_TRUE(log.exactlyOneLine()) << life.asDouble();
    }

    Dictionary d = baseList();
    d["startParticleSize"] = double(NAN);
    d["startParticleSizeVariance"] = double(INFINITY);
    d["finishParticleSize"] = -4.0;
    d["speed"] = "nan";
    d["speedVariance"] = 5.0;
    d["angleVariance"] = double(-INFINITY);
    d["sourcePositionx"] = double(NAN);
    LogCapture log;
    RecordingEmitter* e = fromList<RecordingEmitter>(d);
    ASSERT_NE(e, nullptr);
    ASSERT_EQ(log.lines().size(), 2u) << "the numbers, and the missing texture";
    for (const char* key : {"\"startParticleSize\"", "\"finishParticleSize\"", "\"speed\"", "\"angleVariance\""})
        EXPECT_NE(log.lines()[0].find(key), std::string::npos) << key;
    EXPECT_EQ(e->startSize(), 0);
    EXPECT_EQ(e->startSizeVar(), 0);
    EXPECT_EQ(e->endSize(), 0);
    EXPECT_EQ(e->speed(), 0);
    EXPECT_EQ(e->speedVar(), 5);
    EXPECT_EQ(e->position().x, 0);
    EXPECT_FLOAT_EQ(e->emissionRate(), 5);
    for (int i = 0; i < 4; ++i) e->step(0.5f);
    ASSERT_GT(e->positions.size(), 0u);
    for (const CGPoint& p : e->positions) EXPECT_TRUE(std::isfinite(p.x) && std::isfinite(p.y));
    for (unsigned i = 0; i < e->particleCount(); ++i) EXPECT_TRUE(std::isfinite(e->particles()[i].size));
}

std::vector<uint8_t> bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

// Texture data that cannot become a texture: the emitter is made without
// one, and one log line says why.
TEST_F(ParticleListTest, BrokenTextureDataLeavesTheEmitterUntextured) {
    struct Case {
        const char* name;
        std::string data;
        const char* fileName;
    };
    // 80 MiB of zeros, a few dozen kilobytes compressed.
    const std::vector<uint8_t> bomb =
        compress(Container::GZip, size_t(80) << 20, [](uint8_t* to, size_t, size_t n) { std::fill_n(to, n, 0); });
    ASSERT_LT(bomb.size(), 200000u);
    std::vector<uint8_t> truncated = compress(Container::GZip, texelImagePNG());
    truncated.resize(truncated.size() / 2);
    const Case cases[] = {
        {"no Base64 characters", "!!!! ???? ....", nullptr},
        {"empty before the padding", "====", nullptr},
        {"Base64 of bytes that are not compressed", base64Encode(bytes("plain text, no zlib header")), nullptr},
        {"a truncated gzip stream", base64Encode(truncated), nullptr},
        {"a gzip bomb", base64Encode(bomb), "bomb.png"},
        {"compressed bytes that are no image", base64Encode(compress(Container::GZip, bytes("not a picture"))),
         "words.png"},
        {"a missing file and no data", "", "no-such-texture.png"},
    };
    for (const Case& c : cases) {
        Dictionary d = baseList();
        if (!c.data.empty()) d["textureImageData"] = c.data;
        if (c.fileName) d["textureFileName"] = c.fileName;
        LogCapture log;
        CCParticleSystemQuad* e = fromList(d);
        ASSERT_NE(e, nullptr) << c.name;
        EXPECT_EQ(e->texture(), nullptr) << c.name;
        EXPECT_TRUE(log.exactlyOneLine()) << c.name;
        if (c.fileName) {
            EXPECT_EQ(CCTextureCache::sharedTextureCache()->textureForKey(c.fileName), nullptr) << c.name;
        }
    }
}

TEST_F(ParticleListTest, UnreadableFilesFailCleanly) {
    ScratchDirectory dir;
    const std::string notAList = dir.write("particle-not-a-list.plist", "<plist><dict><key>maxParticles</key>");
    for (const std::string& path : {dir.file("particle-missing.plist"), notAList}) {
        LogCapture log;
        EXPECT_EQ(CCParticleSystemQuad::particleWithFile(path), nullptr) << path;
        EXPECT_TRUE(log.exactlyOneLine()) << path;
    }
}

}  // namespace
