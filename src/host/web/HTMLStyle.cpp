#include "host/web/HTMLStyle.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string_view>

#include "host/net/WebStrings.h"
#include "host/text/TextLayout.h"

namespace host {

namespace {

// Margins of lists, quotations and definitions.
constexpr float kIndent = 40;
constexpr float kBodyMargin = 8;
// The sizes of <font size="1"> to "7".
constexpr float kFontSizes[7] = {10, 13, 16, 18, 24, 32, 48};
// Heading sizes and margins, in em, h1 to h6.
constexpr float kHeadingSizes[6] = {2, 1.5f, 1.17f, 1, 0.83f, 0.67f};
constexpr float kHeadingMargins[6] = {0.67f, 0.83f, 1, 1.33f, 1.67f, 2.33f};
// Monospaced text is drawn smaller, as browsers do.
constexpr float kMonospaceScale = 13.0f / 16;

int headingLevel(const std::string& name) {
    if (name.size() == 2 && name[0] == 'h' && name[1] >= '1' && name[1] <= '6') return name[1] - '0';
    return 0;
}

float clampSize(float size) {
    if (!std::isfinite(size)) return HTMLTextStyle::kDefaultSize;
    return std::min(HTMLTextStyle::kMaxSize, std::max(HTMLTextStyle::kMinSize, size));
}

struct NamedColor {
    const char* name;
    unsigned rgb;
};
const NamedColor kNamedColors[] = {
    {"black", 0x000000},   {"silver", 0xC0C0C0},    {"gray", 0x808080},      {"grey", 0x808080},
    {"white", 0xFFFFFF},   {"maroon", 0x800000},    {"red", 0xFF0000},       {"purple", 0x800080},
    {"fuchsia", 0xFF00FF}, {"magenta", 0xFF00FF},   {"green", 0x008000},     {"lime", 0x00FF00},
    {"olive", 0x808000},   {"yellow", 0xFFFF00},    {"navy", 0x000080},      {"blue", 0x0000FF},
    {"teal", 0x008080},    {"aqua", 0x00FFFF},      {"cyan", 0x00FFFF},      {"orange", 0xFFA500},
    {"pink", 0xFFC0CB},    {"brown", 0xA52A2A},     {"gold", 0xFFD700},      {"darkgray", 0xA9A9A9},
    {"darkgrey", 0xA9A9A9}, {"lightgray", 0xD3D3D3}, {"lightgrey", 0xD3D3D3}, {"darkblue", 0x00008B},
    {"darkred", 0x8B0000}, {"darkgreen", 0x006400}, {"orangered", 0xFF4500}, {"skyblue", 0x87CEEB},
    {"beige", 0xF5F5DC},   {"ivory", 0xFFFFF0},     {"violet", 0xEE82EE},    {"indigo", 0x4B0082},
};

Color fromRGB(unsigned rgb, float alpha = 1) {
    return Color{float((rgb >> 16) & 0xFF) / 255, float((rgb >> 8) & 0xFF) / 255, float(rgb & 0xFF) / 255, alpha};
}

bool parseHexDigits(const std::string& hex, Color* color) {
    if (hex.size() != 3 && hex.size() != 6) return false;
    if (hex.find_first_not_of("0123456789abcdef") != std::string::npos) return false;
    unsigned v = unsigned(std::strtoul(hex.c_str(), nullptr, 16));
    if (hex.size() == 3) v = ((v & 0xF00) << 12) | ((v & 0xF00) << 8) | ((v & 0x0F0) << 8) | ((v & 0x0F0) << 4) |
                             ((v & 0x00F) << 4) | (v & 0x00F);
    *color = fromRGB(v);
    return true;
}

// "rgb(1, 2, 3)" / "rgba(1, 2, 3, 0.5)"; components may be percentages.
bool parseFunctionalColor(const std::string& s, Color* color) {
    const bool hasAlpha = s.compare(0, 5, "rgba(") == 0;
    if (!hasAlpha && s.compare(0, 4, "rgb(") != 0) return false;
    if (s.back() != ')') return false;
    std::string inner = s.substr(hasAlpha ? 5 : 4, s.size() - (hasAlpha ? 6 : 5));
    float parts[4] = {0, 0, 0, 1};
    int count = 0;
    const char* p = inner.c_str();
    while (*p && count < 4) {
        char* end = nullptr;
        float v = std::strtof(p, &end);
        if (end == p || !std::isfinite(v)) return false;
        p = end;
        while (*p == ' ') ++p;
        if (*p == '%') {
            v = count < 3 ? v * 255 / 100 : v / 100;
            ++p;
        }
        parts[count++] = v;
        while (*p == ' ' || *p == ',') ++p;
    }
    if (count < 3 || *p) return false;
    *color = Color{clampUnit(parts[0] / 255), clampUnit(parts[1] / 255), clampUnit(parts[2] / 255),
                   clampUnit(parts[3])};
    return true;
}

// <font size>: "1" to "7", or "+n" / "-n" from the default "3".
bool fontSizeAttribute(const std::string& s, float* size) {
    const std::string v = lowerTrimmed(s);
    if (v.empty()) return false;
    char* end = nullptr;
    // Clamped first: "+9223372036854775807" would overflow the sum below.
    const long n = std::min(1000000L, std::max(-1000000L, std::strtol(v.c_str(), &end, 10)));
    if (end == v.c_str()) return false;
    const long level = (v[0] == '+' || v[0] == '-') ? 3 + n : n;
    *size = kFontSizes[std::min(7L, std::max(1L, level)) - 1];
    return true;
}

bool cssFontSize(const std::string& v, float parentSize, float* size) {
    struct Keyword { const char* name; float size; };
    static const Keyword kKeywords[] = {{"xx-small", 9},  {"x-small", 10}, {"small", 13},   {"medium", 16},
                                        {"large", 18},    {"x-large", 24}, {"xx-large", 32}};
    for (const Keyword& k : kKeywords)
        if (v == k.name) return (*size = k.size), true;
    if (v == "smaller") return (*size = parentSize / 1.2f), true;
    if (v == "larger") return (*size = parentSize * 1.2f), true;
    if (!v.empty() && v.back() == '%') {
        char* end = nullptr;
        const float pc = std::strtof(v.c_str(), &end);
        if (end == v.c_str()) return false;
        *size = parentSize * pc / 100;
        return true;
    }
    return HTMLStyle::parseLength(v, parentSize, size);
}

void applyDeclarations(const HTMLNode& e, HTMLTextStyle& style) {
    const std::string* css = e.attribute("style");
    if (!css) return;
    for (const auto& [name, rawValue] : HTMLStyle::declarations(*css)) {
        const std::string value = lowerTrimmed(rawValue);
        Color c;
        if (name == "color" && HTMLStyle::parseColor(value, &c)) style.color = c;
        else if (name == "font-weight") style.bold = value == "bold" || value == "bolder" || std::strtol(value.c_str(), nullptr, 10) >= 600;
        else if (name == "font-style") style.italic = value == "italic" || value == "oblique";
        else if (name == "font-family" && !value.empty()) style.family = rawValue;
        else if (name == "text-align") {
            if (value == "center") style.alignment = kTextAlignmentCenter;
            else if (value == "right") style.alignment = kTextAlignmentRight;
            else if (value == "left" || value == "justify") style.alignment = kTextAlignmentLeft;
        } else if (name == "text-decoration") {
            style.underline = value.find("underline") != std::string::npos;
            style.strike = value.find("line-through") != std::string::npos;
        } else if (name == "font-size") {
            float size;
            if (cssFontSize(value, style.size, &size)) style.size = clampSize(size);
        }
    }
}

void applyAlignAttribute(const HTMLNode& e, HTMLTextStyle& style) {
    const std::string* align = e.attribute("align");
    if (!align || !(isOneOf(e.name, {"p", "div", "caption", "td", "th", "tr"}) || headingLevel(e.name))) return;
    const std::string a = lowerTrimmed(*align);
    if (a == "center" || a == "middle") style.alignment = kTextAlignmentCenter;
    else if (a == "right") style.alignment = kTextAlignmentRight;
    else if (a == "left" || a == "justify") style.alignment = kTextAlignmentLeft;
}

void setMonospace(HTMLTextStyle& style) {
    if (style.monospace) return;
    style.monospace = true;
    style.family = "Courier";
    style.size = clampSize(style.size * kMonospaceScale);
}

// Margins from the style attribute: "margin" with one to four lengths,
// or its sides.
void applyMarginDeclarations(const HTMLNode& e, float fontSize, HTMLBlockBox& box) {
    const std::string* css = e.attribute("style");
    if (!css) return;
    for (const auto& [name, rawValue] : HTMLStyle::declarations(*css)) {
        const std::string value = lowerTrimmed(rawValue);
        float v;
        if (name == "margin") {
            std::vector<float> sides;
            size_t at = 0;
            while (at < value.size() && sides.size() < 4) {
                const size_t end = std::min(value.find(' ', at), value.size());
                if (end > at && HTMLStyle::parseLength(value.substr(at, end - at), fontSize, &v)) sides.push_back(v);
                else if (end > at) sides.push_back(0);  // "auto" and percentages
                at = end + 1;
            }
            if (sides.empty()) continue;
            const float top = sides[0], right = sides.size() > 1 ? sides[1] : top;
            const float bottom = sides.size() > 2 ? sides[2] : top, left = sides.size() > 3 ? sides[3] : right;
            box.marginTop = top;
            box.marginRight = right;
            box.marginBottom = bottom;
            box.marginLeft = left;
        } else if (HTMLStyle::parseLength(value, fontSize, &v)) {
            if (name == "margin-top") box.marginTop = v;
            else if (name == "margin-bottom") box.marginBottom = v;
            else if (name == "margin-left") box.marginLeft = v;
            else if (name == "margin-right") box.marginRight = v;
        }
        Color c;
        if (name == "background-color" || name == "background") {
            // "background" may list more than the colour: the first word that is one.
            size_t at = 0;
            while (at < value.size()) {
                size_t end = value.find(' ', at);
                if (end == std::string::npos) end = value.size();
                if (HTMLStyle::parseColor(value.substr(at, end - at), &c)) {
                    box.background = c;
                    break;
                }
                at = end + 1;
            }
        }
    }
}

float attributeNumber(const HTMLNode& e, const char* name, float fallback) {
    const std::string* v = e.attribute(name);
    if (!v) return fallback;
    char* end = nullptr;
    const float f = std::strtof(v->c_str(), &end);
    return end == v->c_str() || !std::isfinite(f) ? fallback : std::min(HTMLDocument::kMaxImageSide, std::max(0.0f, f));
}

}  // namespace

HTMLDisplay HTMLStyle::displayOf(const HTMLNode& e) {
    if (const std::string* css = e.attribute("style")) {
        for (const auto& [name, value] : declarations(*css)) {
            if (name != "display") continue;
            const std::string v = lowerTrimmed(value);
            if (v == "none") return HTMLDisplay::Hidden;
        }
    }
    const std::string& n = e.name;
    if (n == "br") return HTMLDisplay::LineBreak;
    if (n == "img") return HTMLDisplay::Image;
    if (n == "hr") return HTMLDisplay::Rule;
    if (n == "li") return HTMLDisplay::ListItem;
    if (n == "td" || n == "th") return HTMLDisplay::TableCell;
    if (isOneOf(n, {"head", "title", "script", "style", "template", "meta", "link", "base", "select", "option",
                    "optgroup", "datalist", "input", "iframe", "object", "embed", "applet", "noembed", "noframes",
                    "map", "area", "param", "audio", "video", "canvas", "svg", "frameset", "frame"}))
        return HTMLDisplay::Hidden;
    if (headingLevel(n) ||
        isOneOf(n, {"html", "body", "p", "div", "ul", "ol", "dl", "dt", "dd", "pre", "blockquote", "center",
                    "address", "article", "aside", "footer", "header", "nav", "section", "main", "figure",
                    "figcaption", "form", "fieldset", "legend", "details", "summary", "table", "tr", "thead", "tbody",
                    "tfoot", "caption", "listing", "xmp", "plaintext", "menu", "dir", "hgroup", "noscript",
                    "dialog"}))
        return HTMLDisplay::Block;
    return HTMLDisplay::Inline;
}

void HTMLStyle::applyElement(const HTMLNode& e, HTMLTextStyle& style) {
    const std::string& n = e.name;
    if (const int level = headingLevel(n)) {
        style.size = clampSize(style.size * kHeadingSizes[level - 1]);
        style.bold = true;
    }
    if (isOneOf(n, {"b", "strong", "th"})) style.bold = true;
    if (isOneOf(n, {"i", "em", "cite", "var", "dfn", "address"})) style.italic = true;
    if (isOneOf(n, {"u", "ins"})) style.underline = true;
    if (isOneOf(n, {"s", "strike", "del"})) style.strike = true;
    if (isOneOf(n, {"tt", "code", "kbd", "samp", "pre", "listing", "xmp", "plaintext"})) setMonospace(style);
    if (isOneOf(n, {"pre", "listing", "xmp", "plaintext"})) style.preformatted = true;
    if (n == "big") style.size = clampSize(style.size * 1.2f);
    if (n == "small") style.size = clampSize(style.size / 1.2f);
    if (n == "sub" || n == "sup") style.size = clampSize(style.size * 0.83f);
    if (n == "center" || n == "th") style.alignment = kTextAlignmentCenter;
    if (n == "a" && e.attribute("href")) {
        style.color = kLinkColor;
        style.underline = true;
    }
    Color c;
    if (n == "font") {
        if (const std::string* color = e.attribute("color"))
            if (parseColor(*color, &c)) style.color = c;
        float size;
        if (const std::string* s = e.attribute("size"))
            if (fontSizeAttribute(*s, &size)) style.size = size;
        if (const std::string* face = e.attribute("face"))
            if (!face->empty()) style.family = *face;
    }
    if (n == "body")
        if (const std::string* text = e.attribute("text"))
            if (parseColor(*text, &c)) style.color = c;
    applyAlignAttribute(e, style);
    applyDeclarations(e, style);
}

HTMLBlockBox HTMLStyle::blockBox(const HTMLNode& e, const HTMLTextStyle& style, int listDepth) {
    HTMLBlockBox box;
    const std::string& n = e.name;
    const float em = style.size;
    if (const int level = headingLevel(n)) box.marginTop = box.marginBottom = kHeadingMargins[level - 1] * em;
    if (isOneOf(n, {"p", "dl", "pre", "listing", "xmp", "plaintext", "blockquote", "figure"}))
        box.marginTop = box.marginBottom = em;
    if (isOneOf(n, {"ul", "ol", "menu", "dir"})) {
        if (listDepth == 0) box.marginTop = box.marginBottom = em;
        box.marginLeft = kIndent;
    }
    if (n == "blockquote" || n == "figure") box.marginLeft = box.marginRight = kIndent;
    if (n == "dd") box.marginLeft = kIndent;
    if (n == "body") {
        box.marginLeft = box.marginRight =
            attributeNumber(e, "marginwidth", attributeNumber(e, "leftmargin", kBodyMargin));
        box.marginTop = box.marginBottom =
            attributeNumber(e, "marginheight", attributeNumber(e, "topmargin", kBodyMargin));
    }
    Color c;
    if (isOneOf(n, {"body", "table", "tr", "td", "th", "div"}))
        if (const std::string* bg = e.attribute("bgcolor"))
            if (parseColor(*bg, &c)) box.background = c;
    applyMarginDeclarations(e, em, box);
    auto bounded = [](float v) { return std::min(HTMLDocument::kMaxImageSide, std::max(0.0f, v)); };
    box.marginTop = bounded(box.marginTop);
    box.marginBottom = bounded(box.marginBottom);
    box.marginLeft = bounded(box.marginLeft);
    box.marginRight = bounded(box.marginRight);
    return box;
}

bool HTMLStyle::parseColor(const std::string& text, Color* color) {
    const std::string s = lowerTrimmed(text);
    if (s.empty()) return false;
    if (s == "transparent") return (*color = Color::clearColor()), true;
    if (s[0] == '#') return parseHexDigits(s.substr(1), color);
    if (parseFunctionalColor(s, color)) return true;
    for (const NamedColor& named : kNamedColors)
        if (s == named.name) return (*color = fromRGB(named.rgb)), true;
    // Markup often leaves the '#' out.
    return s.size() == 6 && parseHexDigits(s, color);
}

std::vector<std::pair<std::string, std::string>> HTMLStyle::declarations(const std::string& css) {
    std::vector<std::pair<std::string, std::string>> out;
    size_t at = 0;
    while (at < css.size()) {
        size_t end = css.find(';', at);
        if (end == std::string::npos) end = css.size();
        const size_t colon = css.find(':', at);
        if (colon < end) {
            std::string name = lowerTrimmed(css.substr(at, colon - at));
            std::string value = css.substr(colon + 1, end - colon - 1);
            // "!important" changes nothing here.
            const size_t bang = value.find('!');
            if (bang != std::string::npos) value.resize(bang);
            if (!name.empty()) out.emplace_back(std::move(name), std::move(value));
        }
        at = end + 1;
    }
    return out;
}

bool HTMLStyle::parseLength(const std::string& text, float fontSize, float* points) {
    const std::string v = lowerTrimmed(text);
    if (v.empty()) return false;
    char* end = nullptr;
    const float n = std::strtof(v.c_str(), &end);
    if (end == v.c_str() || !std::isfinite(n)) return false;
    const std::string unit(end);
    if (unit == "px" || unit.empty()) *points = n;  // bare numbers as pixels, as old markup means them
    else if (unit == "pt") *points = n * 4 / 3;
    else if (unit == "em") *points = n * fontSize;
    else return false;
    return true;
}

}  // namespace host
