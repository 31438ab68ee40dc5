// CCTMXMapInfo: reads a tile-map file (the XML the common map editor
// writes) into records: the map's orientation and sizes, its tile sets,
// layers, object groups and properties at every level.
//
// What it reads: orthogonal, isometric and hexagonal maps (either stagger
// axis and index, any hex side length); tile sets inline or in external
// files ("source", resolved against the file that names it); layer data
// as Base64 (plain, zlib or gzip), CSV or <tile gid> elements; tile GIDs
// with the editor's flip bits; properties given as "value" or as text.
// Elements and attributes it does not know are ignored, and only the
// places the editor puts them count: an image inside a tile or an image
// layer is not the tile set's image, object groups inside tiles are not
// the map's, properties of a tile set or of a nested property go nowhere.
// Layers inside group layers are read as top-level layers.
//
// What it refuses, with one log line: input that is not XML or whose root
// is not <map>; tile or map sizes below one; unknown orientations;
// entity declarations; a file or image path that is absolute or leads out
// of the map's folder; an external tile set that is not a <tileset> file.
// Such a map gives no info at all. A layer whose tiles cannot be read
// (a bad encoding or compression, Base64 or CSV that do not hold exactly
// width x height GIDs, data that inflate past that size, chunked data of
// infinite maps, no data) is left out, with one log line; the rest of the
// map stands.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/Support/CCArray.h"
#include "host/core/CGGeometry.h"
#include "host/core/Object.h"
#include "host/data/PlistValue.h"
#include "host/core/Ref.h"
#include "host/data/XMLParser.h"

class CCTMXLayerInfo;
class CCTMXObjectGroup;
class CCTMXTilesetInfo;

enum {
    CCTMXOrientationOrtho = 0,
    CCTMXOrientationHex = 1,
    CCTMXOrientationIso = 2,
};

// Which way a hexagonal map staggers: every other column (x) or row (y).
enum { CCTMXStaggerAxisX = 0, CCTMXStaggerAxisY = 1 };
// Whether the odd or the even columns (rows) are the shifted ones.
enum { CCTMXStaggerIndexOdd = 0, CCTMXStaggerIndexEven = 1 };

// How a layer's data are written (bits of layerAttribs).
enum {
    TMXLayerAttribNone = 1 << 0,
    TMXLayerAttribBase64 = 1 << 1,
    TMXLayerAttribGzip = 1 << 2,
    TMXLayerAttribZlib = 1 << 3,
    TMXLayerAttribCSV = 1 << 4,
};

class CCTMXMapInfo : public host::Object, private host::XMLParserDelegate {
public:
    // Map files larger than this are refused.
    static constexpr size_t kMaxFileBytes = size_t(64) << 20;
    // Layers with more cells than this are left out (64 MiB of GIDs).
    static constexpr size_t kMaxLayerTiles = size_t(1) << 24;

    // Autoreleased; nullptr (and one log line) when the file cannot be read.
    static CCTMXMapInfo* formatWithTMXFile(const std::string& tmxFile);
    bool initWithTMXFile(const std::string& tmxFile);
    // The same for a map held in memory; files it names are looked up in
    // `resourcePath`.
    static CCTMXMapInfo* formatWithXML(const std::string& xml, const std::string& resourcePath);
    bool initWithXML(const std::string& xml, const std::string& resourcePath);

    // Reads a map file into the records (initWithTMXFile does it); false,
    // with one log line, when the map cannot be read.
    bool parseXMLFile(const std::string& path);

    // The file's full path ("" for a map read from memory).
    const std::string& filename() const { return filename_; }
    int orientation() const { return orientation_; }
    CGSize mapSize() const { return mapSize_; }
    CGSize tileSize() const { return tileSize_; }
    int staggerAxis() const { return staggerAxis_; }
    int staggerIndex() const { return staggerIndex_; }
    // Pixels; for a hexagonal map without one, half the tile along the
    // stagger axis.
    float hexSideLength() const { return hexSideLength_; }
    // CCTMXLayerInfo, CCTMXTilesetInfo and CCTMXObjectGroup records, in
    // file order.
    CCArray* layers() const { return layers_.get(); }
    CCArray* tilesets() const { return tilesets_.get(); }
    CCArray* objectGroups() const { return objectGroups_.get(); }
    const host::PlistValue::Dictionary& properties() const { return properties_; }
    // GID -> that tile's properties (a dictionary).
    const std::map<uint32_t, host::PlistValue>& tileProperties() const { return tileProperties_; }

    CCTMXMapInfo();

protected:
    ~CCTMXMapInfo() override;

private:
    // One XML document being read: the map, or an external tile set
    // named by it.
    struct Document;

    void setUp();
    // The map document from `xml`, or from the file `what` when null.
    bool parseMap(const std::string* xml, const std::string& what);
    bool parseDocument(Document& document, const std::string* xml, std::string* error);

    // ---- XMLParserDelegate ------------------------------------------------
    void didStartElement(const char* name, const host::XMLAttributes& attributes) override;
    void foundCharacters(const char* text, size_t length) override;
    void didEndElement(const char* name) override;

    // ---- Element starts ---------------------------------------------------
    void startMap(const host::XMLAttributes& a);
    void startTileset(const host::XMLAttributes& a);
    void startExternalTileset(const host::XMLAttributes& a);
    void startImage(const host::XMLAttributes& a);
    void startTilesetTile(const host::XMLAttributes& a);
    void startLayer(const host::XMLAttributes& a);
    void startData(const host::XMLAttributes& a);
    void startDataTile(const host::XMLAttributes& a);
    void startObjectGroup(const host::XMLAttributes& a);
    void startObject(const host::XMLAttributes& a);
    void startProperty(const host::XMLAttributes& a);
    // ---- Element ends -----------------------------------------------------
    void endData();
    void endLayer();
    void endProperty();

    // Stops the whole parse: the map cannot be read.
    void refuse(const std::string& reason);
    // The current layer's tiles cannot be read: it will be left out.
    void breakLayer(const std::string& reason);
    // A path named in the current document, made a full path inside the
    // map's folder (and relative to that folder); false, and the parse
    // refused, when it leads elsewhere.
    bool resolvePath(const char* source, const char* what, std::string* full, std::string* relative = nullptr);
    // The dictionary a <property> under `owner` belongs to, or nullptr.
    host::PlistValue::Dictionary* propertiesOf(const std::string& owner);

    CCTMXLayerInfo* lastLayer() const;
    CCTMXTilesetInfo* lastTileset() const;
    CCTMXObjectGroup* lastObjectGroup() const;

    // ---- Parse state --------------------------------------------------------
    std::string currentString_;
    bool storingCharacters_ = false;
    int layerAttribs_ = TMXLayerAttribNone;
    uint32_t parentGID_ = 0;
    // ---- The map ----------------------------------------------------------
    std::string filename_;
    int orientation_ = CCTMXOrientationOrtho;
    CGSize mapSize_ = CGSizeZero;
    CGSize tileSize_ = CGSizeZero;
    int staggerAxis_ = CCTMXStaggerAxisX;
    int staggerIndex_ = CCTMXStaggerIndexOdd;
    float hexSideLength_ = 0;
    host::Ref<CCArray> layers_;
    host::Ref<CCArray> tilesets_;
    host::Ref<CCArray> objectGroups_;
    host::PlistValue::Dictionary properties_;
    std::map<uint32_t, host::PlistValue> tileProperties_;

    // ---- Reading ----------------------------------------------------------
    std::string mapDirectory_;       // where the map's files must stay
    Document* document_ = nullptr;   // the one being read
    std::string layerProblem_;       // why the current layer is left out
    bool inLayer_ = false;
    bool inObjectGroup_ = false;
    bool inObject_ = false;
    bool inTilesetTile_ = false;
    std::vector<uint32_t> xmlTiles_;  // <tile gid> data of the current layer
    std::string propertyName_;        // a property whose value is its text
    bool storingPropertyText_ = false;
};
