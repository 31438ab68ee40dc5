// The library of fonts the application ships: the .ttf and .otf files in
// the resources' "fonts" folder.
//
// A font is found by its file name (with or without the extension), by
// the family name inside the file ("Marker Felt"), or by its PostScript
// name ("MarkerFelt-Thin"); names compare without regard to ASCII case.
// When several files share a family, the family name finds the regular
// style. Files that are no usable font are skipped with one log line each.
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "host/core/CGGeometry.h"
#include "host/core/Object.h"
#include "host/core/Ref.h"
#include "host/text/Font.h"
#include "host/text/FontFile.h"

namespace host {

struct CoverageBitmap;

class CustomFontManager : public Object {
public:
    // Created (and the fonts folder scanned) on first use.
    static CustomFontManager* sharedManager();
    static void purgeSharedManager();

    // Scans the fonts folder of the resources directory.
    bool init();
    // Scans `directory` instead (a missing folder simply holds no fonts).
    bool initWithDirectory(const std::string& directory);

    // A font of the library at `pointSize` (the em size in pixels of the
    // bitmap it draws into), or nullptr.
    Ref<Font> fontWithName(const std::string& name, float pointSize) const;
    // The size of the string in `font` on one line (see Font::sizeOfString).
    CGSize sizeOfString(const std::string& text, const Font& font) const;
    // Draws the string into `rect` (pixels, y down) of `target`.
    void drawString(const std::string& text, CGRect rect, const Font& font, int lineBreakMode, int alignment,
                    const CoverageBitmap& target) const;

    // The family names of the fonts loaded, in file-name order.
    std::vector<std::string> familyNames() const;
    // The folder init() scans.
    static std::string fontsDirectory();

private:
    struct Entry {
        FontFile file;
        std::string fileName;  // "MarkerFelt.ttf"
        std::string stem;      // "MarkerFelt"
        std::string family;
        std::string style;
        std::string postscriptName;
    };
    const Entry* find(const std::string& name) const;

    std::vector<Entry> entries_;
};

}  // namespace host
