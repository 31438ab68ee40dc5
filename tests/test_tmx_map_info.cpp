// Reading tile-map files: layer data in every encoding, properties and
// objects, what the map editor writes beyond the basics, and files broken
// in the ways outside input can be broken.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TMXTestMaps.h"
#include "ImageFileWriters.h"
#include "LogCapture.h"
#include "ScratchDirectory.h"
#include "engine/CCTMXLayerInfo.h"
#include "engine/CCTMXMapInfo.h"
#include "engine/CCTMXObjectGroup.h"
#include "engine/CCTMXTilesetInfo.h"
#include "host/core/Object.h"

namespace {

CCTMXLayerInfo* layerAt(CCTMXMapInfo* info, unsigned i) {
    return static_cast<CCTMXLayerInfo*>(info->layers()->objectAtIndex(i));
}
CCTMXTilesetInfo* tilesetAt(CCTMXMapInfo* info, unsigned i) {
    return static_cast<CCTMXTilesetInfo*>(info->tilesets()->objectAtIndex(i));
}
CCTMXObjectGroup* groupAt(CCTMXMapInfo* info, unsigned i) {
    return static_cast<CCTMXObjectGroup*>(info->objectGroups()->objectAtIndex(i));
}

class TMXMapInfoTest : public ::testing::Test {
protected:
    CCTMXMapInfo* read(const std::string& xml) { return CCTMXMapInfo::formatWithXML(xml, dir_.path()); }

    host::AutoreleasePool pool_;
    ScratchDirectory dir_;
};

// Flip bits, the largest GID and empty cells survive every encoding.
const std::vector<uint32_t> kGIDs = {1, 0, 3, 0x80000002u, 0x40000001u, 0x20000004u, 0xE0000003u,
                                     0, 0x0FFFFFFFu, 2, 0x10000001u, 4};

TEST_F(TMXMapInfoTest, EveryEncodingGivesTheSameGIDs) {
    for (const char* encoding : {"base64", "zlib", "gzip", "csv", "xml"}) {
        CCTMXMapInfo* info = read(tmxMap(tmxLayer("L", 4, 3, tmxData(kGIDs, encoding))));
        ASSERT_NE(info, nullptr) << encoding;
        ASSERT_EQ(info->layers()->count(), 1u) << encoding;
        EXPECT_EQ(layerAt(info, 0)->tiles(), kGIDs) << encoding;
        EXPECT_EQ(layerAt(info, 0)->layerSize().width, 4);
    }
}

TEST_F(TMXMapInfoTest, ReadsMapLayerAndTilesetRecords) {
    CCTMXMapInfo* info = read(tmxMap(
        tmxTileset(1, "sheet.png", 32, "", "spacing=\"2\" margin=\"1\"") +
            tmxLayer("Ground", 4, 3, tmxData(kGIDs, "csv"), "opacity=\"0.5\" x=\"1\" y=\"2\" offsetx=\"3\" offsety=\"4\"") +
            tmxLayer("Hidden", 4, 3, tmxData(kGIDs, "base64"), "visible=\"0\""),
        "orientation=\"isometric\" width=\"20\" height=\"10\" tilewidth=\"64\" tileheight=\"32\""));
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->orientation(), CCTMXOrientationIso);
    EXPECT_EQ(info->mapSize().width, 20);
    EXPECT_EQ(info->mapSize().height, 10);
    EXPECT_EQ(info->tileSize().width, 64);
    EXPECT_EQ(info->tileSize().height, 32);

    CCTMXTilesetInfo* set = tilesetAt(info, 0);
    EXPECT_EQ(set->firstGid(), 1u);
    EXPECT_EQ(set->spacing(), 2u);
    EXPECT_EQ(set->margin(), 1u);
    EXPECT_EQ(set->sourceImage(), dir_.file("sheet.png"));

    CCTMXLayerInfo* ground = layerAt(info, 0);
    EXPECT_EQ(ground->name(), "Ground");
    EXPECT_TRUE(ground->visible());
    EXPECT_EQ(ground->opacity(), 127);
    EXPECT_EQ(ground->offset().x, 1);
    EXPECT_EQ(ground->offset().y, 2);
    EXPECT_EQ(ground->pixelOffset().x, 3);
    EXPECT_EQ(ground->pixelOffset().y, 4);
    EXPECT_FALSE(layerAt(info, 1)->visible());
    EXPECT_EQ(layerAt(info, 1)->opacity(), 255);
}

TEST_F(TMXMapInfoTest, TileRectanglesHonourMarginAndSpacing) {
    CCTMXTilesetInfo* set = CCTMXTilesetInfo::tilesetInfo();
    set->setFirstGid(5);
    set->setTileSize(CGSizeMake(32, 32));
    set->setMargin(2);
    set->setSpacing(2);
    set->setImageSize(CGSizeMake(256, 100));
    EXPECT_EQ(set->tilesPerRow(), 7u);
    EXPECT_EQ(set->tilesPerColumn(), 2u);
    const CGRect r = set->rectForGID(5 + 8);
    EXPECT_EQ(r.origin.x, 36);
    EXPECT_EQ(r.origin.y, 36);
    EXPECT_EQ(r.size.width, 32);
    EXPECT_EQ(set->rectForGID((5 + 8) | kCCTMXTileHorizontalFlag).origin.x, 36);  // flips are not the number
    EXPECT_TRUE(set->containsGID(5 + 13));
    EXPECT_FALSE(set->containsGID(5 + 14));
    EXPECT_FALSE(set->containsGID(4));
}

TEST_F(TMXMapInfoTest, PropertiesAtEveryLevelAndObjectsInEngineCoordinates) {
    const std::string props = "<properties><property name=\"p\" value=\"%\"/></properties>";
    auto with = [&](const std::string& v) { return std::string(props).replace(props.find('%'), 1, v); };
    CCTMXMapInfo* info = read(tmxMap(
        with("map") +
            tmxTileset(1, "sheet.png", 32, "<tile id=\"3\">" + with("tile 4") + "</tile>") +
            tmxLayer("L", 4, 3, with("layer") + tmxData(kGIDs, "zlib")) +
            "<objectgroup name=\"Things\" offsetx=\"10\" offsety=\"6\">" + with("group") +
            "<object id=\"1\" name=\"door\" type=\"exit\" x=\"32.7\" y=\"58\" width=\"32\" height=\"32\">" +
            "<properties><property name=\"to\" value=\"cellar\"/>"
            "<property name=\"note\">two\nlines</property></properties></object>"
            "<object id=\"2\" name=\"coin\" class=\"pickup\" gid=\"2\" x=\"0\" y=\"64\" width=\"32\" height=\"32\"/>"
            "<object id=\"3\" name=\"door\" x=\"1\" y=\"1\"/>"
            "</objectgroup>",
        "width=\"20\" height=\"20\" tilewidth=\"32\" tileheight=\"32\""));
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(ccTMXValueNamed(info->properties(), "p").asString(), "map");
    EXPECT_EQ(ccTMXValueNamed(layerAt(info, 0)->properties(), "p").asString(), "layer");
    EXPECT_EQ(info->tileProperties().at(4)["p"].asString(), "tile 4");

    CCTMXObjectGroup* group = groupAt(info, 0);
    EXPECT_EQ(group->groupName(), "Things");
    EXPECT_EQ(group->propertyNamed("p").asString(), "group");
    EXPECT_TRUE(group->propertyNamed("missing").isNone());
    ASSERT_EQ(group->objects().size(), 3u);

    // y 58 + offset 6 = 64, height 32, on a 20 x 32 pixel-high map: 544.
    const host::PlistValue& door = group->objectNamed("door");
    EXPECT_EQ(door["type"].asString(), "exit");
    EXPECT_EQ(door["x"].asInt(), 42);
    EXPECT_EQ(door["y"].asInt(), 544);
    EXPECT_EQ(door["width"].asString(), "32");
    EXPECT_EQ(door["to"].asString(), "cellar");
    EXPECT_EQ(door["note"].asString(), "two\nlines");
    // A tile object's y is its bottom edge; newer editors say "class".
    const host::PlistValue& coin = group->objectNamed("coin");
    EXPECT_EQ(coin["y"].asInt(), 640 - 70);
    EXPECT_EQ(coin["type"].asString(), "pickup");
    EXPECT_EQ(coin["gid"].asInt(), 2);
    EXPECT_TRUE(group->objectNamed("nobody").isNone());
}

TEST_F(TMXMapInfoTest, ReadsOnlyWhatBelongsWhereTheEditorPutsIt) {
    CCTMXMapInfo* info = read(tmxMap(
        "<tileset firstgid=\"1\" name=\"s\" tilewidth=\"8\" tileheight=\"8\">"
        "<properties><property name=\"set\" value=\"not the map's\"/></properties>"
        "<image source=\"sheet.png\"/>"
        "<tile id=\"0\"><image source=\"one-tile.png\"/>"
        "<objectgroup><object name=\"collision\" x=\"0\" y=\"0\"/></objectgroup></tile>"
        "<wangsets><wangset name=\"w\"><properties><property name=\"wang\" value=\"x\"/></properties></wangset></wangsets>"
        "</tileset>"
        "<imagelayer name=\"sky\"><image source=\"sky.png\"/></imagelayer>"
        "<group name=\"g\"><properties><property name=\"group\" value=\"x\"/></properties>" +
        tmxLayer("inside a group", 4, 3, tmxData(kGIDs, "csv")) +
        "</group>"
        "<properties><property name=\"style\" type=\"class\"><properties>"
        "<property name=\"colour\" value=\"red\"/></properties></property>"
        "<property name=\"kept\" value=\"yes\"/></properties>"
        "<unknown><layer name=\"not a layer\"/></unknown>"));
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(tilesetAt(info, 0)->sourceImage(), dir_.file("sheet.png"));
    EXPECT_EQ(info->objectGroups()->count(), 0u);
    ASSERT_EQ(info->layers()->count(), 1u);
    EXPECT_EQ(layerAt(info, 0)->name(), "inside a group");
    EXPECT_EQ(ccTMXValueNamed(info->properties(), "kept").asString(), "yes");
    EXPECT_EQ(info->properties().size(), 1u);
    EXPECT_TRUE(info->tileProperties().at(1).dictionary()->empty());
}

TEST_F(TMXMapInfoTest, ExternalTileSetsTakeTheirFirstGIDFromTheMapAndImagesFromTheirFolder) {
    dir_.write("sets/terrain.tsx",
               "<?xml version=\"1.0\"?><tileset name=\"terrain\" tilewidth=\"16\" tileheight=\"16\" spacing=\"1\">"
               "<image source=\"../art/terrain.png\" width=\"64\" height=\"32\"/>"
               "<tile id=\"2\"><properties><property name=\"solid\" value=\"1\"/></properties></tile></tileset>");
    CCTMXMapInfo* info = read(tmxMap("<tileset firstgid=\"9\" source=\"sets/terrain.tsx\"/>" +
                                     tmxTileset(30, "other.png", 8)));
    ASSERT_NE(info, nullptr);
    ASSERT_EQ(info->tilesets()->count(), 2u);
    CCTMXTilesetInfo* terrain = tilesetAt(info, 0);
    EXPECT_EQ(terrain->name(), "terrain");
    EXPECT_EQ(terrain->firstGid(), 9u);
    EXPECT_EQ(terrain->tileSize().width, 16);
    EXPECT_EQ(terrain->spacing(), 1u);
    EXPECT_EQ(terrain->sourceImage(), dir_.file("art/terrain.png"));
    EXPECT_EQ(terrain->imageSize().width, 64);
    EXPECT_EQ(info->tileProperties().at(11)["solid"].asString(), "1");
    EXPECT_EQ(tilesetAt(info, 1)->firstGid(), 30u);

    // From a file, paths are taken from the map's own folder.
    const std::string mapPath = dir_.write("maps/level.tmx", tmxMap("<tileset firstgid=\"1\" source=\"../sets/terrain.tsx\"/>"));
    EXPECT_EQ(CCTMXMapInfo::formatWithTMXFile(mapPath), nullptr);  // ../ leaves maps/
    dir_.write("maps/sets/terrain.tsx", "<tileset name=\"t\" tilewidth=\"8\" tileheight=\"8\"><image source=\"t.png\"/></tileset>");
    dir_.write("maps/level.tmx", tmxMap("<tileset firstgid=\"1\" source=\"sets/./terrain.tsx\"/>"));
    CCTMXMapInfo* fromFile = CCTMXMapInfo::formatWithTMXFile(mapPath);
    ASSERT_NE(fromFile, nullptr);
    EXPECT_EQ(fromFile->filename(), mapPath);
    EXPECT_EQ(tilesetAt(fromFile, 0)->sourceImage(), dir_.file("maps/sets/t.png"));
}

TEST_F(TMXMapInfoTest, HexagonalMapsKeepTheirStagger) {
    CCTMXMapInfo* plain = read(tmxMap("", "orientation=\"hexagonal\" tilewidth=\"64\" tileheight=\"56\""));
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->orientation(), CCTMXOrientationHex);
    EXPECT_EQ(plain->staggerAxis(), CCTMXStaggerAxisX);
    EXPECT_EQ(plain->staggerIndex(), CCTMXStaggerIndexOdd);
    EXPECT_EQ(plain->hexSideLength(), 32);

    CCTMXMapInfo* rows = read(tmxMap("", "orientation=\"hexagonal\" tilewidth=\"56\" tileheight=\"64\" "
                                         "staggeraxis=\"y\" staggerindex=\"even\" hexsidelength=\"30\""));
    ASSERT_NE(rows, nullptr);
    EXPECT_EQ(rows->staggerAxis(), CCTMXStaggerAxisY);
    EXPECT_EQ(rows->staggerIndex(), CCTMXStaggerIndexEven);
    EXPECT_EQ(rows->hexSideLength(), 30);
}

TEST_F(TMXMapInfoTest, BrokenMapsGiveNothingAndOneLogLine) {
    dir_.write("notaset.tsx", "<map/>");
    dir_.write("broken.tsx", "<tileset name=\"b\"");
    dir_.write("chained.tsx", "<tileset source=\"other.tsx\"/>");
    dir_.write("outside/x.png", "");
    const std::string layer = tmxLayer("L", 4, 3, tmxData(kGIDs, "csv"));
    struct Case {
        std::string xml;
        std::string says;
    } cases[] = {
        {"this is not XML", "syntax error"},
        {"<?xml version=\"1.0\"?><tileset name=\"x\"/>", "the root element is <tileset>, not <map>"},
        {tmxMap(layer, "tilewidth=\"0\""), "the tile size 0 x 8 is not a size"},
        {tmxMap(layer, "tileheight=\"-32\""), "the tile size 8 x -32"},
        {tmxMap(layer, "width=\"0\""), "the map size 0 x 3 holds no tile"},
        {tmxMap(layer, "orientation=\"staggered\""), "the orientation 'staggered' is not supported"},
        {tmxMap(tmxTileset(1, "a.png", 0)), "has the tile size 0 x 0"},
        {tmxMap(tmxTileset(0, "a.png", 8)), "has the first GID 0"},
        {tmxMap(tmxTileset(1, "a.png", 8, "", "spacing=\"-1\"")), "negative spacing"},
        {tmxMap(tmxTileset(1, "../outside/x.png", 8)), "the image path '../outside/x.png' is not a relative path"},
        {tmxMap(tmxTileset(1, "/etc/passwd", 8)), "the image path '/etc/passwd'"},
        {tmxMap(tmxTileset(1, "file:///etc/passwd", 8)), "the image path 'file:///etc/passwd'"},
        {tmxMap("<tileset firstgid=\"1\" source=\"../../set.tsx\"/>"), "the tile set path '../../set.tsx'"},
        {tmxMap("<tileset firstgid=\"1\" source=\"missing.tsx\"/>"), "the tile set missing.tsx (named at line 2): cannot open"},
        {tmxMap("<tileset firstgid=\"1\" source=\"notaset.tsx\"/>"), "the root element is <map>, not <tileset>"},
        {tmxMap("<tileset firstgid=\"1\" source=\"broken.tsx\"/>"), "the tile set broken.tsx (named at line 2): unclosed token at line 1"},
        {tmxMap("<tileset firstgid=\"1\" source=\"chained.tsx\"/>"), "names another file"},
        {"<!DOCTYPE map [<!ENTITY e \"x\">]>" + tmxMap(layer), "entity declarations are not accepted"},
    };
    for (const Case& c : cases) {
        LogCapture log;
        EXPECT_EQ(read(c.xml), nullptr) << c.says;
        const std::vector<std::string> lines = log.lines();
        ASSERT_EQ(lines.size(), 1u) << c.says << "\n" << log.joined();
        EXPECT_NE(lines[0].find("engine: CCTMXMapInfo: cannot read the map in memory: "), std::string::npos) << lines[0];
        EXPECT_NE(lines[0].find(c.says), std::string::npos) << lines[0];
    }
}

TEST_F(TMXMapInfoTest, LayersWhoseTilesCannotBeReadAreLeftOutWithOneLine) {
    const std::vector<uint32_t> twice(24, 1);
    const std::string tooMuch = "<data encoding=\"base64\" compression=\"zlib\">" +
                                base64Encode(compress(littleEndianGIDs(twice))) + "</data>";
    const std::string bomb = "<data encoding=\"base64\" compression=\"gzip\">" +
                             base64Encode(compress(std::string(size_t(16) << 20, '\0'), 31)) + "</data>";
    struct Case {
        std::string data;
        std::string says;
    } cases[] = {
        {tmxData(std::vector<uint32_t>(11, 1), "base64"), "the data hold 44 bytes, not the 48 of its tiles"},
        {tmxData(std::vector<uint32_t>(13, 1), "csv"), "more than the 12 tiles"},
        {tmxData(std::vector<uint32_t>(11, 1), "csv"), "the data hold 11 tiles, not 12"},
        {tmxData(std::vector<uint32_t>(13, 1), "xml"), "more tiles than its 4 x 3"},
        {"<data encoding=\"csv\">1,2,x,4</data>", "tile 3 is not a number"},
        {"<data encoding=\"csv\">1,-2,3</data>", "tile 2 is not a number"},
        {"<data encoding=\"csv\">1,2,99999999999</data>", "below 2^32"},
        {"<data><tile gid=\"-1\"/></data>", "has the GID '-1'"},
        {"<data encoding=\"base64\">!!!! ???? ****</data>", "the data hold 0 bytes"},
        {"<data encoding=\"base64\" compression=\"zlib\">bm90IHpsaWIgYXQgYWxs</data>", "cannot inflate data"},
        {tooMuch, "inflated data would exceed 48 bytes"},
        {bomb, "inflated data would exceed 48 bytes"},
        {"<data encoding=\"base64\" compression=\"zstd\">AAAA</data>", "the compression 'zstd' is not supported"},
        {"<data encoding=\"hex\">00</data>", "the encoding 'hex' is not supported"},
        {"<data encoding=\"csv\"><chunk x=\"0\" y=\"0\" width=\"4\" height=\"3\">1</chunk></data>", "chunked data"},
        {"", "it has no tile data"},
    };
    for (const Case& c : cases) {
        LogCapture log;
        CCTMXMapInfo* info = read(tmxMap(tmxLayer("bad", 4, 3, c.data) + tmxLayer("good", 4, 3, tmxData(kGIDs, "gzip"))));
        ASSERT_NE(info, nullptr) << c.says;
        ASSERT_EQ(info->layers()->count(), 1u) << c.says;
        EXPECT_EQ(layerAt(info, 0)->name(), "good");
        EXPECT_EQ(layerAt(info, 0)->tiles(), kGIDs);
        const std::vector<std::string> lines = log.lines();
        ASSERT_EQ(lines.size(), 1u) << c.says << "\n" << log.joined();
        EXPECT_NE(lines[0].find("the layer 'bad' is left out: "), std::string::npos) << lines[0];
        EXPECT_NE(lines[0].find(c.says), std::string::npos) << lines[0];
    }
    LogCapture log;
    CCTMXMapInfo* sizes = read(tmxMap(tmxLayer("empty", 0, 3, "") + tmxLayer("huge", 5000, 5000, "")));
    ASSERT_NE(sizes, nullptr);
    EXPECT_EQ(sizes->layers()->count(), 0u);
    EXPECT_EQ(log.lines().size(), 2u) << log.joined();
}

}  // namespace
