// System font names to font files, through fontconfig.
//
// A name is a family ("Helvetica", "Times New Roman") with an optional
// style suffix: "-Bold", "-Italic", "-Oblique", "-BoldItalic",
// "-BoldOblique". fontconfig's answer is accepted only when the font's
// family is the one asked for or one of the metric-compatible aliases its
// configuration binds to that name (Nimbus Sans for Helvetica, Liberation
// Sans for Arial ...); its generic last-resort fallback is refused, so an
// unknown name finds nothing.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/text/FontFile.h"

struct _FcCharSet;

namespace host {

class FontMatcher {
public:
    // Lives for the whole process, like fontconfig's own configuration.
    static FontMatcher& shared();

    std::optional<FontFile> matchSystemFont(const std::string& name);
    // A system font that has a glyph for the code point, preferring the
    // fonts fontconfig ranks first for sans-serif text.
    std::optional<FontFile> fontWithCharacter(char32_t codePoint);

    // The family and style a name asks for ("Helvetica-BoldOblique" ->
    // "Helvetica", bold, slanted). Exposed for tests.
    struct Request {
        std::string family;
        bool bold = false;
        bool slanted = false;
    };
    static Request parseName(const std::string& name);

private:
    FontMatcher();
    ~FontMatcher();
    std::optional<FontFile> match(const Request& request);
    void loadFallbackCandidates();

    struct Candidate {
        FontFile file;
        _FcCharSet* charset;  // owned
    };

    std::mutex mutex_;
    bool ready_ = false;
    std::unordered_map<std::string, std::optional<FontFile>> byName_;
    bool fallbacksLoaded_ = false;
    std::vector<Candidate> fallbacks_;
};

}  // namespace host
