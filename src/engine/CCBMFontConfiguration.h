// CCBMFontConfiguration: a parsed bitmap-font description, the text format
// that bitmap-font generator tools write beside their glyph sheet:
//
//     info face="Liberation Sans" size=32 ...
//     common lineHeight=37 base=29 scaleW=256 scaleH=256 pages=1 ...
//     page id=0 file="sans-32.png"
//     chars count=95
//     char id=65 x=10 y=0 width=20 height=23 xoffset=0 yoffset=6 xadvance=21 page=0 chnl=15
//     kernings count=1
//     kerning first=65 second=86 amount=-2
//
// Lines are read by field name, in any order, with unknown fields and
// lines skipped, quoted values (spaces and '=' inside), and "\n", "\r\n"
// or "\r" line ends. Counts are only sanity-checked: what follows them
// decides. A file that is not such a description, or that holds what the
// engine cannot draw (character ids outside 0-2047, several pages,
// truncated or impossible values), gives no configuration and one log line.
//
// Parsed configurations are cached by file name (FNTConfigLoadFile); the
// director empties the cache from purgeCachedData and end.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

#include "host/core/CGGeometry.h"
#include "host/core/Object.h"
#include "host/core/Ref.h"

// The definition table's size: character codes 0 to 2047.
constexpr uint32_t kCCBMFontMaxChars = 2048;

// One character: where it is in the glyph image (pixels), how it sits on
// the line and how far the pen moves after it.
struct _BMFontDef {
    uint32_t charID = 0;
    CGRect rect{{0, 0}, {0, 0}};
    int32_t xOffset = 0;
    int32_t yOffset = 0;
    int32_t xAdvance = 0;
};

class CCBMFontConfiguration : public host::Object {
public:
    // Autoreleased; nullptr (and one log line) when the file cannot be read
    // or is no usable font description.
    static CCBMFontConfiguration* configurationWithFNTFile(const std::string& fntFile);
    // The same from text already in memory; `fntFile` names it in log
    // lines and gives the directory the glyph image is looked up in.
    static CCBMFontConfiguration* configurationWithContents(const std::string& contents,
                                                           const std::string& fntFile);

    bool initWithFNTfile(const std::string& fntFile);
    bool initWithContents(const std::string& contents, const std::string& fntFile);

    // "<CCBMFontConfiguration = 0A1B2C3D | Kernings:12 | Image = dir/font.png>"
    std::string description() const override;

    // The definition of a code; an all-zero one (nothing drawn, no
    // advance) for codes the font does not define or the table cannot hold.
    const _BMFontDef& definitionFor(uint32_t code) const {
        return code < kCCBMFontMaxChars ? BMFontArray_[code] : kUndefined;
    }
    bool definesCharacter(uint32_t code) const { return code < kCCBMFontMaxChars && defined_[code]; }
    unsigned commonHeight() const { return commonHeight_; }
    // The glyph image: the font file's directory joined with its page file.
    const std::string& atlasName() const { return atlasName_; }
    // The right and bottom edges (pixels) the glyph rectangles reach: the
    // glyph image must be at least this large.
    CGSize glyphExtent() const { return glyphExtent_; }

    // The amount stored for the pair, or 0.
    int kerningAmount(uint16_t first, uint16_t second) const;
    unsigned kerningCount() const { return unsigned(kerningDictionary_.size()); }
    void purgeKerningDictionary() { kerningDictionary_.clear(); }

protected:
    ~CCBMFontConfiguration() override = default;

private:
    class Line;  // one line split into its tag and named fields
    static inline const _BMFontDef kUndefined{};

    // Both log one line and return false when the text is no usable font.
    bool parseConfigFile(const std::string& fntFile);
    bool parseContents(const std::string& contents, const std::string& fntFile);
    // The line steps return false with `problem_` saying what is wrong.
    bool parseLine(const Line& line, const std::string& fntFile);
    bool parseCommonArguments(const Line& line);
    bool parseImageFileName(const Line& line, const std::string& fntFile);
    bool parseCharacterDefinition(const Line& line, _BMFontDef* charDef);
    bool parseCount(const Line& line, long maximum);
    bool parseKerningEntry(const Line& line);
    // The leading integer of a field's value, within [minimum, maximum];
    // false when the field is missing, holds no number or is out of range.
    bool readInteger(const Line& line, const char* name, long minimum, long maximum, long* out);
    bool fail(const std::string& problem);

    _BMFontDef BMFontArray_[kCCBMFontMaxChars];
    bool defined_[kCCBMFontMaxChars] = {};
    unsigned commonHeight_ = 0;
    std::string atlasName_;
    std::unordered_map<int32_t, int32_t> kerningDictionary_;
    CGSize glyphExtent_{0, 0};
    bool sawCommon_ = false;
    bool sawPage_ = false;
    std::string problem_;  // what the line being parsed got wrong
};

// The configuration parsed from the file, cached by its name: the first
// request parses, later ones share it. nullptr (not cached) when the file
// is no usable font description.
CCBMFontConfiguration* FNTConfigLoadFile(const std::string& fntFile);
// Empties the cache; configurations still held by labels live on.
void FNTConfigRemoveCache();
