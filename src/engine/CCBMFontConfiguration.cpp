#include "engine/CCBMFontConfiguration.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <mutex>
#include <string_view>

#include "engine/Support/CCFileUtils.h"
#include "host/core/Log.h"
#include "host/core/SafeFileReader.h"

namespace {

// Far beyond any real font file, small enough to read into memory at once.
constexpr size_t kMaxFileBytes = size_t(32) << 20;
// No image side (pixels) is larger; coordinates and metrics stay within it.
constexpr long kMaxPixels = 32768;
// Every pair of the characters a font can define.
constexpr long kMaxKernings = long(kCCBMFontMaxChars) * long(kCCBMFontMaxChars);

// A label is one batch node on one texture.
constexpr const char* kSinglePageOnly = "(only single-page fonts can be drawn)";

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view skipBlanks(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && isBlank(s[i])) ++i;
    return s.substr(i);
}

// The directory part of a path ("" for a bare name).
std::string directoryOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

// ---- One line: its tag and its name=value fields ------------------------------

// A value is either a run of non-blank characters or a quoted string, which
// ends at a quote followed by a blank or the end of the line (so file names
// with spaces and letter="\"" both read whole). Fields past kMaxFields are
// dropped: no known generator writes that many.
class CCBMFontConfiguration::Line {
public:
    struct Field {
        std::string_view name;
        std::string_view value;
        bool unterminated = false;  // a quote opened and never closed
    };

    explicit Line(std::string_view text) {
        text = skipBlanks(text);
        size_t i = 0;
        while (i < text.size() && !isBlank(text[i]) && text[i] != '=') ++i;
        if (i < text.size() && text[i] == '=') return;  // no tag: not a line we know
        tag_ = text.substr(0, i);
        for (text = skipBlanks(text.substr(i)); !text.empty(); text = skipBlanks(text)) text = readField(text);
    }

    std::string_view tag() const { return tag_; }
    const Field* field(std::string_view name) const {
        for (size_t i = 0; i < count_; ++i)
            if (fields_[i].name == name) return &fields_[i];
        return nullptr;
    }

private:
    static constexpr size_t kMaxFields = 32;

    // Reads one field (or a stray word) from the front; returns the rest.
    std::string_view readField(std::string_view text) {
        size_t i = 0;
        while (i < text.size() && !isBlank(text[i]) && text[i] != '=') ++i;
        Field f;
        f.name = text.substr(0, i);
        if (i == text.size() || text[i] != '=') return text.substr(i);  // a bare word
        ++i;
        size_t end = i;
        if (end < text.size() && text[end] == '"') {
            const size_t open = end + 1;
            size_t close = open;
            while (close < text.size() && !(text[close] == '"' && (close + 1 == text.size() || isBlank(text[close + 1]))))
                ++close;
            f.unterminated = close == text.size();
            f.value = text.substr(open, close - open);
            end = f.unterminated ? close : close + 1;
        } else {
            while (end < text.size() && !isBlank(text[end])) ++end;
            f.value = text.substr(i, end - i);
        }
        if (count_ < kMaxFields) fields_[count_++] = f;
        return text.substr(end);
    }

    std::string_view tag_;
    Field fields_[kMaxFields];
    size_t count_ = 0;
};

// ---- Creation -----------------------------------------------------------------------

CCBMFontConfiguration* CCBMFontConfiguration::configurationWithFNTFile(const std::string& fntFile) {
    return host::create<CCBMFontConfiguration>(
        [&](CCBMFontConfiguration* c) { return c->initWithFNTfile(fntFile); });
}

CCBMFontConfiguration* CCBMFontConfiguration::configurationWithContents(const std::string& contents,
                                                                       const std::string& fntFile) {
    return host::create<CCBMFontConfiguration>(
        [&](CCBMFontConfiguration* c) { return c->initWithContents(contents, fntFile); });
}

bool CCBMFontConfiguration::initWithFNTfile(const std::string& fntFile) { return parseConfigFile(fntFile); }

bool CCBMFontConfiguration::initWithContents(const std::string& contents, const std::string& fntFile) {
    return parseContents(contents, fntFile);
}

std::string CCBMFontConfiguration::description() const {
    char buf[48];
    std::snprintf(buf, sizeof buf, " | Kernings:%u | Image = ", kerningCount());
    return "<" + className() + " = " + host::addressString(this) + buf + atlasName_ + ">";
}

int CCBMFontConfiguration::kerningAmount(uint16_t first, uint16_t second) const {
    if (kerningDictionary_.empty()) return 0;
    auto it = kerningDictionary_.find(int32_t((uint32_t(first) << 16) | second));
    return it == kerningDictionary_.end() ? 0 : it->second;
}

// ---- Parsing --------------------------------------------------------------------------

bool CCBMFontConfiguration::parseConfigFile(const std::string& fntFile) {
    const std::string path = CCFileUtils::fullPathFromRelativePath(fntFile);
    std::string contents;
    std::string error;
    if (!host::SafeFileReader::readFile(path, kMaxFileBytes, contents, &error)) {
        host::log("engine: CCBMFontConfiguration: cannot read the font file %s", error.c_str());
        return false;
    }
    return parseContents(contents, path);
}

bool CCBMFontConfiguration::parseContents(const std::string& contents, const std::string& fntFile) {
    std::string_view text(contents);
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);  // a UTF-8 byte-order mark
    const char* notText = nullptr;
    if (text.substr(0, 3) == "BMF")
        notText = "is a binary font description; only the text format is read";
    else if (!skipBlanks(text).empty() && skipBlanks(text)[0] == '<')
        notText = "is an XML font description; only the text format is read";
    else if (text.find('\0') != std::string_view::npos)
        notText = "is not a text file";
    if (notText) {
        host::log("engine: CCBMFontConfiguration: %s %s", fntFile.c_str(), notText);
        return false;
    }

    unsigned lineNumber = 0;
    while (!text.empty()) {
        const size_t end = text.find_first_of("\r\n");
        const std::string_view lineText = text.substr(0, end);
        ++lineNumber;
        if (!parseLine(Line(lineText), fntFile)) {
            host::log("engine: CCBMFontConfiguration: %s: line %u: %s", fntFile.c_str(), lineNumber,
                      problem_.c_str());
            return false;
        }
        if (end == std::string_view::npos) break;
        // "\r\n" is one line end.
        const size_t next = text.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1;
        text.remove_prefix(next);
    }
    const char* missing = !sawCommon_ ? "has no common line with the line height"
                          : !sawPage_ ? "names no glyph image (no page line)"
                                      : nullptr;
    if (missing) {
        host::log("engine: CCBMFontConfiguration: %s %s", fntFile.c_str(), missing);
        return false;
    }
    return true;
}

bool CCBMFontConfiguration::fail(const std::string& problem) {
    problem_ = problem;
    return false;
}

bool CCBMFontConfiguration::parseLine(const Line& line, const std::string& fntFile) {
    const std::string_view tag = line.tag();
    if (tag == "common") return parseCommonArguments(line);
    if (tag == "page") return parseImageFileName(line, fntFile);
    if (tag == "chars") return parseCount(line, long(kCCBMFontMaxChars));
    if (tag == "kernings") return parseCount(line, kMaxKernings);
    if (tag == "kerning") return parseKerningEntry(line);
    if (tag == "char") {
        _BMFontDef def;
        if (!parseCharacterDefinition(line, &def)) return false;
        BMFontArray_[def.charID] = def;
        defined_[def.charID] = true;
        glyphExtent_.width = std::max(glyphExtent_.width, def.rect.origin.x + def.rect.size.width);
        glyphExtent_.height = std::max(glyphExtent_.height, def.rect.origin.y + def.rect.size.height);
        return true;
    }
    return true;  // "info", blank lines and whatever else a generator adds
}

bool CCBMFontConfiguration::parseCommonArguments(const Line& line) {
    long height = 0, pages = 1;
    if (!readInteger(line, "lineHeight", 1, kMaxPixels, &height)) return false;
    if (line.field("pages") && !readInteger(line, "pages", 0, kMaxPixels, &pages)) return false;
    if (pages > 1) return fail("the font has " + std::to_string(pages) + " pages " + kSinglePageOnly);
    commonHeight_ = unsigned(height);
    sawCommon_ = true;
    return true;
}

bool CCBMFontConfiguration::parseImageFileName(const Line& line, const std::string& fntFile) {
    long id = 0;
    if (!readInteger(line, "id", 0, kMaxPixels, &id)) return false;
    if (id != 0 || sawPage_) return fail(std::string("a second page ") + kSinglePageOnly);
    const Line::Field* file = line.field("file");
    if (!file || file->value.empty()) return fail("the page line names no file");
    if (file->unterminated) return fail("the page file name has no closing quote (truncated line?)");
    std::string name(file->value);
    // Generators on Windows may write a relative path with backslashes.
    std::replace(name.begin(), name.end(), '\\', '/');
    const std::string dir = directoryOf(fntFile);
    atlasName_ = dir.empty() ? name : dir + "/" + name;
    sawPage_ = true;
    return true;
}

bool CCBMFontConfiguration::parseCharacterDefinition(const Line& line, _BMFontDef* charDef) {
    long id, x, y, width, height, xOffset, yOffset, xAdvance, page = 0;
    if (!readInteger(line, "id", 0, long(kCCBMFontMaxChars) - 1, &id) ||
        !readInteger(line, "x", 0, kMaxPixels, &x) ||
        !readInteger(line, "y", 0, kMaxPixels, &y) ||
        !readInteger(line, "width", 0, kMaxPixels - x, &width) ||
        !readInteger(line, "height", 0, kMaxPixels - y, &height) ||
        !readInteger(line, "xoffset", -kMaxPixels, kMaxPixels, &xOffset) ||
        !readInteger(line, "yoffset", -kMaxPixels, kMaxPixels, &yOffset) ||
        !readInteger(line, "xadvance", -kMaxPixels, kMaxPixels, &xAdvance))
        return false;
    if (line.field("page") && !readInteger(line, "page", 0, kMaxPixels, &page)) return false;
    if (page != 0) return fail("the character is on page " + std::to_string(page) + " " + kSinglePageOnly);
    charDef->charID = uint32_t(id);
    charDef->rect = CGRectMake(float(x), float(y), float(width), float(height));
    charDef->xOffset = int32_t(xOffset);
    charDef->yOffset = int32_t(yOffset);
    charDef->xAdvance = int32_t(xAdvance);
    return true;
}

// "chars count=" and "kernings count=": nothing is sized by them (the
// lines that follow decide), but an impossible count marks a broken file.
bool CCBMFontConfiguration::parseCount(const Line& line, long maximum) {
    long count = 0;
    return !line.field("count") || readInteger(line, "count", 0, maximum, &count);
}

bool CCBMFontConfiguration::parseKerningEntry(const Line& line) {
    long first, second, amount;
    if (!readInteger(line, "first", 0, long(kCCBMFontMaxChars) - 1, &first) ||
        !readInteger(line, "second", 0, long(kCCBMFontMaxChars) - 1, &second) ||
        !readInteger(line, "amount", -kMaxPixels, kMaxPixels, &amount))
        return false;
    kerningDictionary_[int32_t((first << 16) | (second & 0xFFFF))] = int32_t(amount);
    return true;
}

bool CCBMFontConfiguration::readInteger(const Line& line, const char* name, long minimum, long maximum,
                                        long* out) {
    const Line::Field* field = line.field(name);
    const std::string tag(line.tag());
    if (!field) return fail("the " + tag + " line has no " + name + " field (truncated?)");
    std::string_view v = field->value;
    if (!v.empty() && v[0] == '+') v.remove_prefix(1);
    long long value = 0;
    const auto [end, error] = std::from_chars(v.data(), v.data() + v.size(), value);
    if (error == std::errc::invalid_argument || end == v.data())
        return fail("the " + tag + " line's " + name + " is not a number");
    if (error == std::errc::result_out_of_range || value < minimum || value > maximum)
        return fail("the " + tag + " line's " + name + " " + std::string(field->value) + " is outside " +
                    std::to_string(minimum) + " to " + std::to_string(maximum));
    *out = long(value);
    return true;
}

// ---- The cache ------------------------------------------------------------------------

namespace {

// The process-wide cache of parsed files, made on first use.
struct ConfigurationCache {
    ConfigurationCache() { byName.reserve(3); }
    std::mutex lock;
    std::unordered_map<std::string, host::Ref<CCBMFontConfiguration>> byName;
};

ConfigurationCache& configurationCache() {
    static ConfigurationCache cache;
    return cache;
}

}  // namespace

CCBMFontConfiguration* FNTConfigLoadFile(const std::string& fntFile) {
    ConfigurationCache& cache = configurationCache();
    {
        std::lock_guard<std::mutex> guard(cache.lock);
        auto it = cache.byName.find(fntFile);
        if (it != cache.byName.end()) return it->second.get();
    }
    // Parsed outside the lock: a large file does not hold up other threads.
    CCBMFontConfiguration* parsed = CCBMFontConfiguration::configurationWithFNTFile(fntFile);
    if (!parsed) return nullptr;
    std::lock_guard<std::mutex> guard(cache.lock);
    auto inserted = cache.byName.emplace(fntFile, parsed);
    return inserted.first->second.get();
}

void FNTConfigRemoveCache() {
    ConfigurationCache& cache = configurationCache();
    std::unordered_map<std::string, host::Ref<CCBMFontConfiguration>> dropped;
    {
        std::lock_guard<std::mutex> guard(cache.lock);
        dropped.swap(cache.byName);
    }
}
