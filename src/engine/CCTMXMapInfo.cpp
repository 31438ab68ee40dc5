#include "engine/CCTMXMapInfo.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "engine/CCTMXLayerInfo.h"
#include "engine/CCTMXObjectGroup.h"
#include "engine/CCTMXTileData.h"
#include "engine/CCTMXTilesetInfo.h"
#include "engine/Support/CCFileUtils.h"
#include "host/core/Log.h"
#include "host/core/Path.h"

struct CCTMXMapInfo::Document {
    std::string root;           // the element the file must start with
    std::string path;           // its full path ("" for a map in memory)
    std::string directory;      // its folder, relative to the map's
    uint32_t firstGid = 0;      // an external tile set's GID, from the map
    std::vector<std::string> elements;  // open elements, outermost first
    host::XMLParser* parser = nullptr;
};

namespace {

constexpr unsigned kMaxTileProperties = 1 << 20;

// Numbers written as attributes, read the way the platform's intValue and
// floatValue read them: leading white space, a number, anything after it
// ignored; `fallback` when absent or not a number.
long intAttribute(const host::XMLAttributes& a, const char* name, long fallback = 0) {
    const char* v = a.value(name);
    if (!v) return fallback;
    char* end = nullptr;
    const double d = std::strtod(v, &end);
    if (end == v || !std::isfinite(d)) return fallback;
    if (d > 2147483647.0) return 2147483647L;
    if (d < -2147483648.0) return -2147483647L - 1;
    return long(d);
}

double numberAttribute(const host::XMLAttributes& a, const char* name, double fallback = 0) {
    const char* v = a.value(name);
    if (!v) return fallback;
    char* end = nullptr;
    const double d = std::strtod(v, &end);
    return end == v || !std::isfinite(d) ? fallback : d;
}

// The folder part of a relative path ("sets/a.tsx" -> "sets").
std::string folderOf(const std::string& relative) {
    const size_t slash = relative.rfind('/');
    return slash == std::string::npos ? std::string() : relative.substr(0, slash);
}

// `source` taken relative to `folder`, both inside one root folder, with
// "." and ".." worked out; false when it is absolute or climbs out.
bool normalisedInside(const std::string& folder, const std::string& source, std::string* out) {
    if (source.empty() || source[0] == '/') return false;
    // "C:/..." and "file://..." are absolute too.
    const size_t colon = source.find(':'), slash = source.find('/');
    if (colon != std::string::npos && (slash == std::string::npos || colon < slash)) return false;
    std::vector<std::string> parts;
    const std::string joined = folder.empty() ? source : folder + "/" + source;
    size_t start = 0;
    while (start <= joined.size()) {
        size_t end = joined.find('/', start);
        if (end == std::string::npos) end = joined.size();
        const std::string part = joined.substr(start, end - start);
        if (part == "..") {
            if (parts.empty()) return false;
            parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    if (parts.empty()) return false;
    out->clear();
    for (const std::string& part : parts) *out += (out->empty() ? "" : "/") + part;
    return true;
}

std::string sizeText(long w, long h) { return std::to_string(w) + " x " + std::to_string(h); }

}  // namespace

// ---- Creation -------------------------------------------------------------------

CCTMXMapInfo::CCTMXMapInfo() = default;
CCTMXMapInfo::~CCTMXMapInfo() = default;

CCTMXMapInfo* CCTMXMapInfo::formatWithTMXFile(const std::string& tmxFile) {
    return host::create<CCTMXMapInfo>([&](CCTMXMapInfo* info) { return info->initWithTMXFile(tmxFile); });
}

CCTMXMapInfo* CCTMXMapInfo::formatWithXML(const std::string& xml, const std::string& resourcePath) {
    return host::create<CCTMXMapInfo>([&](CCTMXMapInfo* info) { return info->initWithXML(xml, resourcePath); });
}

void CCTMXMapInfo::setUp() {
    layers_ = CCArray::arrayWithCapacity(4);
    tilesets_ = CCArray::arrayWithCapacity(4);
    objectGroups_ = CCArray::arrayWithCapacity(4);
    properties_.clear();
    tileProperties_.clear();
    currentString_.clear();
    currentString_.reserve(1024);
    storingCharacters_ = false;
    layerAttribs_ = TMXLayerAttribNone;
}

bool CCTMXMapInfo::initWithTMXFile(const std::string& tmxFile) {
    setUp();
    filename_ = CCFileUtils::fullPathFromRelativePath(tmxFile);
    mapDirectory_ = host::path::deletingLastComponent(filename_);
    return parseXMLFile(filename_);
}

bool CCTMXMapInfo::initWithXML(const std::string& xml, const std::string& resourcePath) {
    setUp();
    filename_.clear();
    mapDirectory_ = resourcePath;
    return parseMap(&xml, "the map in memory");
}

bool CCTMXMapInfo::parseXMLFile(const std::string& path) { return parseMap(nullptr, path); }

bool CCTMXMapInfo::parseMap(const std::string* xml, const std::string& what) {
    Document map;
    map.root = "map";
    map.path = xml ? std::string() : what;
    std::string error;
    if (parseDocument(map, xml, &error)) return true;
    host::log("engine: CCTMXMapInfo: cannot read %s: %s", what.c_str(), error.c_str());
    return false;
}

bool CCTMXMapInfo::parseDocument(Document& document, const std::string* xml, std::string* error) {
    host::XMLParser::Limits limits;
    limits.maxBytes = kMaxFileBytes;
    limits.maxElements = kMaxLayerTiles;
    host::XMLParser parser(*this, limits);
    Document* outer = document_;
    document.parser = &parser;
    document_ = &document;
    const bool parsed = xml ? parser.parse(*xml) : parser.parseFile(document.path);
    document_ = outer;
    if (!parsed) *error = parser.errorMessage();
    return parsed;
}

// ---- Failures -------------------------------------------------------------------

void CCTMXMapInfo::refuse(const std::string& reason) { document_->parser->abort(reason); }

void CCTMXMapInfo::breakLayer(const std::string& reason) {
    if (inLayer_ && layerProblem_.empty()) layerProblem_ = reason;
    storingCharacters_ = false;
}

bool CCTMXMapInfo::resolvePath(const char* source, const char* what, std::string* full, std::string* relative) {
    std::string inside;
    if (!source || !normalisedInside(document_->directory, source, &inside)) {
        refuse(std::string("the ") + what + " path '" + (source ? source : "") +
               "' is not a relative path inside the map's folder");
        return false;
    }
    *full = host::path::appendingComponent(mapDirectory_, inside);
    if (relative) *relative = inside;
    return true;
}

// ---- Records being filled ---------------------------------------------------------

CCTMXLayerInfo* CCTMXMapInfo::lastLayer() const { return static_cast<CCTMXLayerInfo*>(layers_->lastObject()); }

CCTMXTilesetInfo* CCTMXMapInfo::lastTileset() const {
    return static_cast<CCTMXTilesetInfo*>(tilesets_->lastObject());
}

CCTMXObjectGroup* CCTMXMapInfo::lastObjectGroup() const {
    return static_cast<CCTMXObjectGroup*>(objectGroups_->lastObject());
}

// ---- XML events -------------------------------------------------------------------

void CCTMXMapInfo::didStartElement(const char* name, const host::XMLAttributes& a) {
    Document& document = *document_;
    const std::string parent = document.elements.empty() ? std::string() : document.elements.back();
    document.elements.emplace_back(name);
    const std::string& element = document.elements.back();

    if (parent.empty()) {
        if (element != document.root)
            return refuse("the root element is <" + element + ">, not <" + document.root + ">");
        return element == "map" ? startMap(a) : startTileset(a);
    }
    const bool topLevel = parent == "map" || parent == "group";
    if (element == "tileset" && parent == "map") return a.has("source") ? startExternalTileset(a) : startTileset(a);
    if (element == "image" && parent == "tileset") return startImage(a);
    if (element == "tile" && parent == "tileset") return startTilesetTile(a);
    if (element == "layer" && topLevel) return startLayer(a);
    if (element == "data" && parent == "layer") return startData(a);
    if (element == "tile" && parent == "data") return startDataTile(a);
    if (element == "chunk" && parent == "data") return breakLayer("chunked data (of an infinite map) cannot be read");
    if (element == "objectgroup" && topLevel) return startObjectGroup(a);
    if (element == "object" && parent == "objectgroup") return startObject(a);
    if (element == "property" && parent == "properties") return startProperty(a);
}

void CCTMXMapInfo::foundCharacters(const char* text, size_t length) {
    if (storingCharacters_ || storingPropertyText_) currentString_.append(text, length);
}

void CCTMXMapInfo::didEndElement(const char*) {
    Document& document = *document_;
    const std::string element = document.elements.back();
    document.elements.pop_back();
    const std::string parent = document.elements.empty() ? std::string() : document.elements.back();
    const bool topLevel = parent == "map" || parent == "group";

    if (element == "data" && parent == "layer") {
        endData();
    } else if (element == "layer" && topLevel) {
        endLayer();
    } else if (element == "objectgroup" && topLevel) {
        inObjectGroup_ = false;
    } else if (element == "object" && parent == "objectgroup") {
        inObject_ = false;
    } else if (element == "tile" && parent == "tileset") {
        inTilesetTile_ = false;
    } else if (element == "property") {
        endProperty();
    }
}

// ---- The map and its tile sets ------------------------------------------------------

void CCTMXMapInfo::startMap(const host::XMLAttributes& a) {
    const std::string orientation = a.value("orientation", "orthogonal");
    if (orientation == "orthogonal")
        orientation_ = CCTMXOrientationOrtho;
    else if (orientation == "isometric")
        orientation_ = CCTMXOrientationIso;
    else if (orientation == "hexagonal")
        orientation_ = CCTMXOrientationHex;
    else
        return refuse("the orientation '" + orientation + "' is not supported");

    const long w = intAttribute(a, "width"), h = intAttribute(a, "height");
    const long tw = intAttribute(a, "tilewidth"), th = intAttribute(a, "tileheight");
    if (w < 1 || h < 1) return refuse("the map size " + sizeText(w, h) + " holds no tile");
    if (tw < 1 || th < 1) return refuse("the tile size " + sizeText(tw, th) + " is not a size");
    mapSize_ = CGSizeMake(float(w), float(h));
    tileSize_ = CGSizeMake(float(tw), float(th));

    const char* axis = a.value("staggeraxis", "x");
    staggerAxis_ = std::strcmp(axis, "y") == 0 ? CCTMXStaggerAxisY : CCTMXStaggerAxisX;
    const char* index = a.value("staggerindex", "odd");
    staggerIndex_ = std::strcmp(index, "even") == 0 ? CCTMXStaggerIndexEven : CCTMXStaggerIndexOdd;
    const float alongAxis = staggerAxis_ == CCTMXStaggerAxisX ? tileSize_.width : tileSize_.height;
    const double side = numberAttribute(a, "hexsidelength", -1);
    hexSideLength_ = side >= 0 && side <= alongAxis ? float(side) : alongAxis / 2;
}

void CCTMXMapInfo::startExternalTileset(const host::XMLAttributes& a) {
    const long firstGid = intAttribute(a, "firstgid");
    if (firstGid < 1 || uint32_t(firstGid) > kCCTMXGIDMask)
        return refuse("an external tile set has the first GID " + std::to_string(firstGid));
    Document tileset;
    tileset.root = "tileset";
    std::string relative;
    if (!resolvePath(a.value("source"), "tile set", &tileset.path, &relative)) return;
    tileset.directory = folderOf(relative);
    tileset.firstGid = uint32_t(firstGid);
    std::string error;
    if (!parseDocument(tileset, nullptr, &error))
        document_->parser->abort("the tile set " + relative + " (named at line " +
                                     std::to_string(document_->parser->currentLine()) + "): " + error,
                                 false);
}

void CCTMXMapInfo::startTileset(const host::XMLAttributes& a) {
    const std::string name = a.value("name", "");
    if (document_->root == "tileset" && a.has("source"))
        return refuse("the external tile set '" + name + "' names another file");
    const long firstGid = document_->firstGid ? long(document_->firstGid) : intAttribute(a, "firstgid");
    if (firstGid < 1 || uint32_t(firstGid) > kCCTMXGIDMask)
        return refuse("the tile set '" + name + "' has the first GID " + std::to_string(firstGid));
    const long tw = intAttribute(a, "tilewidth"), th = intAttribute(a, "tileheight");
    if (tw < 1 || th < 1) return refuse("the tile set '" + name + "' has the tile size " + sizeText(tw, th));
    const long spacing = intAttribute(a, "spacing"), margin = intAttribute(a, "margin");
    if (spacing < 0 || margin < 0) return refuse("the tile set '" + name + "' has a negative spacing or margin");

    CCTMXTilesetInfo* tileset = CCTMXTilesetInfo::tilesetInfo();
    tileset->setName(name);
    tileset->setFirstGid(uint32_t(firstGid));
    tileset->setTileSize(CGSizeMake(float(tw), float(th)));
    tileset->setSpacing(unsigned(spacing));
    tileset->setMargin(unsigned(margin));
    tilesets_->addObject(tileset);
}

void CCTMXMapInfo::startImage(const host::XMLAttributes& a) {
    CCTMXTilesetInfo* tileset = lastTileset();
    if (!tileset) return;
    std::string path;
    if (!resolvePath(a.value("source"), "image", &path)) return;
    tileset->setSourceImage(path);
    // The size the file gives stands until a layer loads the image.
    const long w = intAttribute(a, "width"), h = intAttribute(a, "height");
    if (w > 0 && h > 0) tileset->setImageSize(CGSizeMake(float(w), float(h)));
}

void CCTMXMapInfo::startTilesetTile(const host::XMLAttributes& a) {
    CCTMXTilesetInfo* tileset = lastTileset();
    const long id = intAttribute(a, "id", -1);
    if (!tileset || id < 0 || uint64_t(tileset->firstGid()) + uint64_t(id) > kCCTMXGIDMask) return;
    if (tileProperties_.size() >= kMaxTileProperties) return refuse("the map describes too many tiles");
    parentGID_ = tileset->firstGid() + uint32_t(id);
    tileProperties_[parentGID_] = host::PlistValue(host::PlistValue::Dictionary());
    inTilesetTile_ = true;
}

// ---- Layers -------------------------------------------------------------------------

void CCTMXMapInfo::startLayer(const host::XMLAttributes& a) {
    CCTMXLayerInfo* layer = CCTMXLayerInfo::layerInfo();
    layer->setName(a.value("name", ""));
    const long w = intAttribute(a, "width"), h = intAttribute(a, "height");
    layer->setLayerSize(CGSizeMake(float(w), float(h)));
    const char* visible = a.value("visible");
    layer->setVisible(!visible || std::strcmp(visible, "0") != 0);
    if (a.has("opacity")) {
        const double opacity = std::trunc(255.0 * numberAttribute(a, "opacity", 1.0));
        layer->setOpacity(uint8_t(opacity < 0 ? 0 : opacity > 255 ? 255 : opacity));
    }
    layer->setOffset(CGPointMake(float(numberAttribute(a, "x")), float(numberAttribute(a, "y"))));
    layer->setPixelOffset(CGPointMake(float(numberAttribute(a, "offsetx")), float(numberAttribute(a, "offsety"))));
    layers_->addObject(layer);

    inLayer_ = true;
    layerProblem_.clear();
    xmlTiles_.clear();
    if (w < 1 || h < 1)
        breakLayer("its size " + sizeText(w, h) + " holds no tile");
    else if (uint64_t(w) * uint64_t(h) > kMaxLayerTiles)
        breakLayer("its size " + sizeText(w, h) + " is above " + std::to_string(kMaxLayerTiles) + " tiles");
}

void CCTMXMapInfo::startData(const host::XMLAttributes& a) {
    if (!inLayer_ || !layerProblem_.empty()) return;
    const char* encoding = a.value("encoding");
    const char* compression = a.value("compression");
    layerAttribs_ = TMXLayerAttribNone;
    if (encoding && std::strcmp(encoding, "base64") == 0)
        layerAttribs_ = TMXLayerAttribBase64;
    else if (encoding && std::strcmp(encoding, "csv") == 0)
        layerAttribs_ = TMXLayerAttribCSV;
    else if (encoding)
        return breakLayer(std::string("the encoding '") + encoding + "' is not supported");

    if (compression && *compression) {
        if (layerAttribs_ != TMXLayerAttribBase64)
            return breakLayer(std::string("the compression '") + compression + "' without base64");
        if (std::strcmp(compression, "gzip") == 0)
            layerAttribs_ |= TMXLayerAttribGzip;
        else if (std::strcmp(compression, "zlib") == 0)
            layerAttribs_ |= TMXLayerAttribZlib;
        else
            return breakLayer(std::string("the compression '") + compression + "' is not supported");
    }
    currentString_.clear();
    xmlTiles_.clear();
    storingCharacters_ = layerAttribs_ != TMXLayerAttribNone;
}

void CCTMXMapInfo::startDataTile(const host::XMLAttributes& a) {
    if (!inLayer_ || !layerProblem_.empty() || layerAttribs_ != TMXLayerAttribNone) return;
    const CGSize size = lastLayer()->layerSize();
    uint32_t gid = 0;
    const char* written = a.value("gid");
    if (written && !ccTMXParseGID(written, &gid))
        return breakLayer("tile " + std::to_string(xmlTiles_.size() + 1) + " has the GID '" + written + "'");
    if (xmlTiles_.size() == size_t(size.width) * size_t(size.height))
        return breakLayer("the data hold more tiles than its " + sizeText(long(size.width), long(size.height)));
    xmlTiles_.push_back(gid);
}

void CCTMXMapInfo::endData() {
    storingCharacters_ = false;
    if (inLayer_ && layerProblem_.empty()) {
        CCTMXLayerInfo* layer = lastLayer();
        const size_t count = size_t(layer->layerSize().width) * size_t(layer->layerSize().height);
        std::vector<uint32_t> tiles;
        std::string why;
        bool read = false;
        if (layerAttribs_ & TMXLayerAttribBase64) {
            const bool compressed = (layerAttribs_ & (TMXLayerAttribGzip | TMXLayerAttribZlib)) != 0;
            read = ccTMXDecodeBase64Tiles(currentString_, compressed, count, &tiles, &why);
        } else if (layerAttribs_ & TMXLayerAttribCSV) {
            read = ccTMXDecodeCSVTiles(currentString_, count, &tiles, &why);
        } else if (xmlTiles_.size() == count) {
            tiles.swap(xmlTiles_);
            read = true;
        } else {
            why = "the data hold " + std::to_string(xmlTiles_.size()) + " tiles, not " + std::to_string(count);
        }
        if (read)
            layer->setTiles(std::move(tiles));
        else
            breakLayer(why);
    }
    currentString_.clear();
    xmlTiles_.clear();
}

void CCTMXMapInfo::endLayer() {
    if (!inLayer_) return;
    inLayer_ = false;
    CCTMXLayerInfo* layer = lastLayer();
    if (layerProblem_.empty() && layer->tiles().empty()) layerProblem_ = "it has no tile data";
    if (layerProblem_.empty()) return;
    host::log("engine: CCTMXMapInfo: %s: the layer '%s' is left out: %s",
              filename_.empty() ? "the map in memory" : filename_.c_str(), layer->name().c_str(),
              layerProblem_.c_str());
    layers_->removeLastObject();
    layerProblem_.clear();
}

// ---- Object groups and objects --------------------------------------------------------

void CCTMXMapInfo::startObjectGroup(const host::XMLAttributes& a) {
    CCTMXObjectGroup* group = CCTMXObjectGroup::objectGroup();
    group->setGroupName(a.value("name", ""));
    // "x" and "y" are in tiles (older files); "offsetx" and "offsety" in pixels.
    group->setPositionOffset(CGPointMake(
        float(numberAttribute(a, "x") * tileSize_.width + numberAttribute(a, "offsetx")),
        float(numberAttribute(a, "y") * tileSize_.height + numberAttribute(a, "offsety"))));
    objectGroups_->addObject(group);
    inObjectGroup_ = true;
}

void CCTMXMapInfo::startObject(const host::XMLAttributes& a) {
    if (!inObjectGroup_) return;
    CCTMXObjectGroup* group = lastObjectGroup();
    host::PlistValue::Dictionary object;
    if (const char* name = a.value("name")) object["name"] = name;
    // Newer editors call the type the object's class.
    if (const char* type = a.value("type", a.value("class"))) object["type"] = type;
    const CGPoint offset = group->positionOffset();
    object["x"] = int64_t(std::trunc(numberAttribute(a, "x") + offset.x));
    // The file counts y down from the top; the engine up from the bottom.
    // A rectangle's y is its top edge, a tile object's its bottom edge.
    const double mapHeight = double(mapSize_.height) * double(tileSize_.height);
    const double top = std::trunc(numberAttribute(a, "y") + offset.y);
    const double height = a.has("gid") ? 0.0 : numberAttribute(a, "height");
    object["y"] = int64_t(std::trunc(mapHeight - top - height));
    if (const char* w = a.value("width")) object["width"] = w;
    if (const char* h = a.value("height")) object["height"] = h;
    if (const char* gid = a.value("gid")) object["gid"] = gid;
    group->mutableObjects().emplace_back(std::move(object));
    inObject_ = true;
}

// ---- Properties -------------------------------------------------------------------------

host::PlistValue::Dictionary* CCTMXMapInfo::propertiesOf(const std::string& owner) {
    if (owner == "map") return &properties_;
    if (owner == "layer" && inLayer_) return &lastLayer()->mutableProperties();
    if (owner == "objectgroup" && inObjectGroup_) return &lastObjectGroup()->mutableProperties();
    if (owner == "object" && inObject_) return lastObjectGroup()->mutableObjects().back().dictionary();
    if (owner == "tile" && inTilesetTile_) return tileProperties_[parentGID_].dictionary();
    return nullptr;
}

void CCTMXMapInfo::startProperty(const host::XMLAttributes& a) {
    const std::vector<std::string>& open = document_->elements;  // ... owner, properties, property
    if (open.size() < 3) return;
    const char* name = a.value("name");
    if (!name) return;
    host::PlistValue::Dictionary* target = propertiesOf(open[open.size() - 3]);
    if (!target) return;
    if (const char* value = a.value("value")) {
        (*target)[name] = value;
        return;
    }
    // Text with line breaks is written as the element's content.
    propertyName_ = name;
    storingPropertyText_ = true;
    currentString_.clear();
}

void CCTMXMapInfo::endProperty() {
    if (!storingPropertyText_) return;
    storingPropertyText_ = false;
    const std::vector<std::string>& open = document_->elements;  // ... owner, properties
    if (open.size() >= 2)
        if (host::PlistValue::Dictionary* target = propertiesOf(open[open.size() - 2]))
            (*target)[propertyName_] = currentString_;
    currentString_.clear();
}
