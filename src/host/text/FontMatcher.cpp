#include "host/text/FontMatcher.h"

#include <fontconfig/fontconfig.h>

#include "host/core/Log.h"

namespace host {

namespace {
// Names looked up by a long-running program are few; the cap only keeps a
// stream of made-up names from growing the table without bound.
constexpr size_t kMaxCachedNames = 256;

struct PatternDeleter { void operator()(FcPattern* p) const { FcPatternDestroy(p); } };
using PatternPtr = std::unique_ptr<FcPattern, PatternDeleter>;
struct FontSetDeleter { void operator()(FcFontSet* s) const { FcFontSetDestroy(s); } };

const FcChar8* fc(const std::string& s) { return reinterpret_cast<const FcChar8*>(s.c_str()); }

bool endsWith(const std::string& s, const char* suffix, size_t n) {
    return s.size() > n && s.compare(s.size() - n, n, suffix) == 0;
}

// The file and face index of a matched or sorted pattern.
std::optional<FontFile> fileOf(FcPattern* p) {
    FcChar8* path = nullptr;
    if (FcPatternGetString(p, FC_FILE, 0, &path) != FcResultMatch || !path) return std::nullopt;
    int index = 0;
    FcPatternGetInteger(p, FC_INDEX, 0, &index);
    return FontFile{reinterpret_cast<const char*>(path), index};
}

// fontconfig binds the requested family and its metric-compatible aliases
// strongly; generic families and preference lists are weak.
std::vector<std::string> stronglyBoundFamilies(FcPattern* p) {
    std::vector<std::string> out;
    FcValue value;
    FcValueBinding binding;
    for (int i = 0; FcPatternGetWithBinding(p, FC_FAMILY, i, &value, &binding) == FcResultMatch; ++i)
        if (binding == FcValueBindingStrong && value.type == FcTypeString)
            out.emplace_back(reinterpret_cast<const char*>(value.u.s));
    return out;
}

bool hasFamilyAmong(FcPattern* font, const std::vector<std::string>& families) {
    FcChar8* family = nullptr;
    for (int i = 0; FcPatternGetString(font, FC_FAMILY, i, &family) == FcResultMatch; ++i)
        for (const std::string& wanted : families)
            if (FcStrCmpIgnoreCase(family, fc(wanted)) == 0) return true;
    return false;
}
}  // namespace

FontMatcher& FontMatcher::shared() {
    static FontMatcher* matcher = new FontMatcher;
    return *matcher;
}

FontMatcher::FontMatcher() {
    ready_ = FcInit() == FcTrue;
    if (!ready_) log("fonts: fontconfig could not load its configuration; no system fonts");
}

FontMatcher::~FontMatcher() {
    for (Candidate& c : fallbacks_) FcCharSetDestroy(c.charset);
}

FontMatcher::Request FontMatcher::parseName(const std::string& name) {
    struct Suffix { const char* text; size_t length; bool bold, slanted; };
    static const Suffix kSuffixes[] = {
        {"-BoldItalic", 11, true, true}, {"-BoldOblique", 12, true, true}, {"-Bold", 5, true, false},
        {"-Italic", 7, false, true},     {"-Oblique", 8, false, true},
    };
    for (const Suffix& s : kSuffixes)
        if (endsWith(name, s.text, s.length)) return Request{name.substr(0, name.size() - s.length), s.bold, s.slanted};
    return Request{name, false, false};
}

std::optional<FontFile> FontMatcher::matchSystemFont(const std::string& name) {
    std::lock_guard<std::mutex> guard(mutex_);
    if (!ready_ || name.empty()) return std::nullopt;
    auto cached = byName_.find(name);
    if (cached != byName_.end()) return cached->second;
    if (byName_.size() >= kMaxCachedNames) byName_.clear();
    std::optional<FontFile> found = match(parseName(name));
    byName_.emplace(name, found);
    return found;
}

std::optional<FontFile> FontMatcher::match(const Request& request) {
    if (request.family.empty()) return std::nullopt;
    PatternPtr pattern(FcPatternCreate());
    if (!pattern) return std::nullopt;
    FcPatternAddString(pattern.get(), FC_FAMILY, fc(request.family));
    FcPatternAddInteger(pattern.get(), FC_WEIGHT, request.bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern.get(), FC_SLANT, request.slanted ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    const std::vector<std::string> accepted = stronglyBoundFamilies(pattern.get());

    FcResult result = FcResultNoMatch;
    PatternPtr font(FcFontMatch(nullptr, pattern.get(), &result));
    if (!font || !hasFamilyAmong(font.get(), accepted)) return std::nullopt;
    return fileOf(font.get());
}

std::optional<FontFile> FontMatcher::fontWithCharacter(char32_t codePoint) {
    std::lock_guard<std::mutex> guard(mutex_);
    if (!ready_) return std::nullopt;
    if (!fallbacksLoaded_) loadFallbackCandidates();
    for (const Candidate& c : fallbacks_)
        if (FcCharSetHasChar(c.charset, FcChar32(codePoint))) return c.file;
    return std::nullopt;
}

void FontMatcher::loadFallbackCandidates() {
    fallbacksLoaded_ = true;
    PatternPtr pattern(FcPatternCreate());
    if (!pattern) return;
    FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    // Trimmed: only fonts that add coverage to the ones ranked above them.
    std::unique_ptr<FcFontSet, FontSetDeleter> sorted(FcFontSort(nullptr, pattern.get(), FcTrue, nullptr, &result));
    if (!sorted) return;
    for (int i = 0; i < sorted->nfont; ++i) {
        FcPattern* font = sorted->fonts[i];
        FcBool scalable = FcFalse, color = FcFalse;
        FcPatternGetBool(font, FC_SCALABLE, 0, &scalable);
        FcPatternGetBool(font, FC_COLOR, 0, &color);
        FcCharSet* charset = nullptr;
        std::optional<FontFile> file = fileOf(font);
        // Bitmap-only and colour fonts cannot be drawn at any size.
        if (!scalable || color || !file || FcPatternGetCharSet(font, FC_CHARSET, 0, &charset) != FcResultMatch)
            continue;
        fallbacks_.push_back(Candidate{*file, FcCharSetCopy(charset)});
    }
}

}  // namespace host
