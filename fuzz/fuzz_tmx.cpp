// Tile-map files: the map reader (with an external tile set it may name
// as "set.tsx"), then the lookups a map makes while it builds its layers.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "FuzzTarget.h"
#include "engine/CCTMXLayerInfo.h"
#include "engine/CCTMXMapInfo.h"
#include "engine/CCTMXObjectGroup.h"
#include "engine/CCTMXTilesetInfo.h"
#include "host/core/Object.h"

namespace {

// A folder holding one external tile set, removed when the run ends.
class TilesetFolder {
public:
    TilesetFolder() {
        char pattern[] = "/tmp/tiltboard-fuzz-tmx-XXXXXX";
        if (mkdtemp(pattern)) path_ = pattern;
        std::ofstream(path_ + "/set.tsx") << "<tileset name=\"s\" tilewidth=\"8\" tileheight=\"8\" spacing=\"1\">"
                                             "<image source=\"set.png\" width=\"64\" height=\"32\"/>"
                                             "<tile id=\"1\"><properties><property name=\"a\" value=\"b\"/>"
                                             "</properties></tile></tileset>";
    }
    ~TilesetFolder() {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const TilesetFolder folder;
    host::AutoreleasePool pool;
    CCTMXMapInfo* info =
        CCTMXMapInfo::formatWithXML(std::string(reinterpret_cast<const char*>(data), size), folder.path());
    if (!info) return 0;
    for (host::Object* o : *info->tilesets()) {
        CCTMXTilesetInfo* tileset = static_cast<CCTMXTilesetInfo*>(o);
        tileset->setImageSize(CGSizeMake(64, 32));
        for (host::Object* l : *info->layers())
            for (uint32_t gid : static_cast<CCTMXLayerInfo*>(l)->tiles())
                if (tileset->containsGID(gid)) (void)tileset->rectForGID(gid);
    }
    for (host::Object* o : *info->objectGroups()) (void)static_cast<CCTMXObjectGroup*>(o)->objectNamed("x");
    return 0;
}
