// A font at a size, for measuring and drawing text.
//
// A font is either a system font, found by name through fontconfig, or a
// custom font loaded from a file the application ships (see
// CustomFontManager); both draw through the same engine. Sizes are the em
// size in pixels of the bitmap the text is drawn into.
//
// Fonts are cheap handles: every font of the same file and size shares one
// FreeType face and its glyph caches. All methods are safe to call from
// any thread.
#pragma once

#include <memory>
#include <string>

#include "host/core/CGGeometry.h"
#include "host/core/Object.h"
#include "host/core/Ref.h"
#include "host/text/FontFile.h"

namespace host {

class FontFace;

class Font : public Object {
public:
    enum class Kind { System, Custom };

    // The largest size a font is made at: far beyond anything a screen
    // shows, small enough that one glyph's bitmap stays a few megabytes.
    static constexpr float kMaxSize = 2048;

    // A system font by name ("Helvetica", "Helvetica-Bold", "Times New
    // Roman", "Courier-Oblique" ...); nullptr when no installed font really
    // is that family or a metric-compatible stand-in for it.
    static Ref<Font> systemFont(const std::string& name, float size);
    // The host's interface fonts (Helvetica and Helvetica bold).
    static Ref<Font> systemFontOfSize(float size);
    static Ref<Font> boldSystemFont(float size);
    // A font from a file; nullptr (and one log line) when the file is no
    // usable font.
    static Ref<Font> fontWithFile(const FontFile& file, float size, Kind kind, const std::string& name);

    Kind kind() const { return kind_; }
    // The name the font was asked for by.
    const std::string& name() const { return name_; }
    float size() const { return size_; }
    const FontFile& file() const;
    const std::string& familyName() const;
    const std::string& styleName() const;
    float ascender() const;
    float descender() const;
    float lineHeight() const;

    // The size of the string set on one line per explicit line break:
    // the widest line's advances (with kerning) by the number of lines
    // times the line height, each rounded up to whole pixels.
    CGSize sizeOfString(const std::string& text) const;

    std::string description() const override;

    // The engine's face (for text layout).
    FontFace* face() const { return face_.get(); }

private:
    std::shared_ptr<FontFace> face_;
    Kind kind_ = Kind::System;
    std::string name_;
    float size_ = 0;
};

}  // namespace host
