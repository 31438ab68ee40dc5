#include "host/web/HTMLLayout.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <map>
#include <set>
#include <tuple>

#include "host/text/FontFace.h"
#include "host/text/TextLayout.h"
#include "host/text/Utf8.h"
#include "host/web/HTMLStyle.h"

namespace host {

namespace {

// Lines are never laid out narrower than this, however deep the indents.
constexpr float kMinLineWidth = 32;
// Slack for float rounding when a word is measured against its line.
constexpr float kFitTolerance = 1.0f / 64;
// Distinct font family lists a page may ask for; later ones read as the
// default (each new list costs a font lookup).
constexpr size_t kMaxFamilyLists = 32;
constexpr size_t kMaxFamiliesPerList = 8;
// Distinct fonts (family, style, size) a page is given; further looks
// reuse the nearest font made.
constexpr size_t kMaxFontsPerPage = 64;
// How far <ol start> may go either way, so that counting on never overflows.
constexpr long kMaxListStart = 1000000;
constexpr float kRuleThickness = 2;
const Color kRuleColor{0.6f, 0.6f, 0.6f, 1};
const char* const kDefaultFamily = "Times";

bool isCollapsible(char32_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

// Characters with nothing to draw: controls, soft hyphens, zero-width spaces.
bool isInvisible(char32_t c) {
    return (c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f') || (c >= 0x7F && c < 0xA0) || c == 0xAD ||
           c == 0x200B || c == 0xFEFF;
}

std::string trimmedFamily(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '"' || s[b] == '\'')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '"' || s[e - 1] == '\'')) --e;
    std::string name = s.substr(b, e - b);
    std::string lower = name;
    for (char& c : lower) c = char(std::tolower(static_cast<unsigned char>(c)));
    if (lower == "serif") return "Times";
    if (lower == "sans-serif") return "Helvetica";
    if (lower == "monospace") return "Courier";
    if (lower == "cursive" || lower == "fantasy" || lower == "system-ui") return "";
    return name;
}

// <ol start>: a number of at most kMaxListStart either way; 1 when none.
long listStart(const std::string& s) {
    char* end = nullptr;
    const long n = std::strtol(s.c_str(), &end, 10);
    if (end == s.c_str()) return 1;
    return std::min(kMaxListStart, std::max(-kMaxListStart, n));
}

// The fonts of one layout, made once for each look.
class FontTable {
public:
    Font* font(const HTMLTextStyle& s) {
        // Whole points: every distinct size is a face rasterised anew.
        const int points = int(std::max(1L, std::lround(s.size)));
        const Key key{s.family, s.bold, s.italic, points};
        auto found = fonts_.find(key);
        if (found != fonts_.end()) return found->second.get();
        if (fonts_.size() >= kMaxFontsPerPage) return nearest(key);
        HTMLTextStyle rounded = s;
        rounded.size = float(points);
        Ref<Font> f = resolve(rounded);
        Font* raw = f.get();
        fonts_.emplace(key, std::move(f));
        return raw;
    }

private:
    using Key = std::tuple<std::string, bool, bool, int>;

    // A page that asks for more looks than the table holds gets the font
    // of the nearest size in the same family and style, or of any.
    Font* nearest(const Key& key) const {
        Font* best = nullptr;
        int bestDistance = 0;
        bool bestSameLook = false;
        for (const auto& [k, f] : fonts_) {
            const bool sameLook = std::get<0>(k) == std::get<0>(key) && std::get<1>(k) == std::get<1>(key) &&
                                  std::get<2>(k) == std::get<2>(key);
            const int distance = std::abs(std::get<3>(k) - std::get<3>(key));
            if (!best || (sameLook && !bestSameLook) || (sameLook == bestSameLook && distance < bestDistance)) {
                best = f.get();
                bestDistance = distance;
                bestSameLook = sameLook;
            }
        }
        return best;
    }

    Ref<Font> resolve(const HTMLTextStyle& s) {
        const char* suffix = s.bold && s.italic ? "-BoldItalic" : s.bold ? "-Bold" : s.italic ? "-Italic" : "";
        std::vector<std::string> families;
        if (families_.count(s.family) || families_.size() < kMaxFamilyLists) {
            families_.insert(s.family);
            size_t at = 0;
            while (at <= s.family.size() && families.size() < kMaxFamiliesPerList) {
                size_t comma = s.family.find(',', at);
                if (comma == std::string::npos) comma = s.family.size();
                std::string name = trimmedFamily(s.family.substr(at, comma - at));
                if (!name.empty()) families.push_back(std::move(name));
                at = comma + 1;
            }
        }
        families.push_back(kDefaultFamily);
        // The styled face of a family first; a family without one still
        // comes before the next family's.
        for (const std::string& family : families) {
            if (Ref<Font> f = Font::systemFont(family + suffix, s.size)) return f;
            if (*suffix)
                if (Ref<Font> f = Font::systemFont(family, s.size)) return f;
        }
        return Font::systemFontOfSize(s.size);
    }

    std::map<Key, Ref<Font>> fonts_;
    std::set<std::string> families_;
};

// Advance widths as TextLayout places glyphs: kerning between glyphs of
// the same face.
class Measurer {
public:
    explicit Measurer(Font* font) : face_(font ? font->face() : nullptr) {}
    void add(char32_t c) {
        if (!face_) return;
        const ResolvedGlyph g = face_->resolve(c);
        if (started_ && g.face == previous_.face) width_ += g.face->kerning(previous_.index, g.index);
        width_ += g.advance;
        previous_ = g;
        started_ = true;
    }
    float width() const { return width_; }

private:
    FontFace* face_;
    ResolvedGlyph previous_;
    bool started_ = false;
    float width_ = 0;
};

float advance(Font* font, const char32_t* chars, size_t n) {
    auto guard = FontFaceCache::shared().lock();
    Measurer m(font);
    for (size_t i = 0; i < n; ++i) m.add(chars[i]);
    return m.width();
}

// How many of the characters fit in `room` (at least none).
size_t fitting(Font* font, const char32_t* chars, size_t n, float room) {
    auto guard = FontFaceCache::shared().lock();
    Measurer m(font);
    for (size_t i = 0; i < n; ++i) {
        m.add(chars[i]);
        if (m.width() > room + kFitTolerance) return i;
    }
    return n;
}

// What a line holds until it is placed.
struct Piece {
    enum class Kind { Text, Space, Image };
    Kind kind = Kind::Text;
    std::u32string text;
    Font* font = nullptr;
    Color color;
    int link = -1;
    bool underline = false, strike = false;
    float width = 0, height = 0;  // height: images
    int imageSlot = -1;

    bool sameLook(const Piece& o) const {
        return font == o.font && color == o.color && link == o.link && underline == o.underline && strike == o.strike;
    }
};

struct BlockContext {
    float left, right;
    int alignment;
};

}  // namespace

// ---- HTMLPage --------------------------------------------------------------------------

std::pair<size_t, size_t> HTMLPage::itemsBetween(float top, float bottom) const {
    auto first = std::partition_point(items_.begin(), items_.end(), [top](const Item& i) { return i.lineBottom <= top; });
    auto last = std::partition_point(first, items_.end(), [bottom](const Item& i) { return i.lineTop < bottom; });
    return {size_t(first - items_.begin()), size_t(last - items_.begin())};
}

int HTMLPage::linkAt(CGPoint p) const {
    const auto range = itemsBetween(p.y, p.y + 1e-3f);
    for (size_t i = range.first; i < range.second; ++i) {
        const Item& item = items_[i];
        if (item.link < 0 || item.kind == Item::Kind::Rule) continue;
        if (p.x >= item.frame.origin.x && p.x < item.frame.origin.x + item.frame.size.width && p.y >= item.lineTop &&
            p.y < item.lineBottom)
            return item.link;
    }
    return -1;
}

void HTMLPage::scale(float factor) {
    if (!(factor > 0) || factor == 1) return;
    auto scaled = [factor](CGRect r) {
        return CGRectMake(r.origin.x * factor, r.origin.y * factor, r.size.width * factor, r.size.height * factor);
    };
    std::map<Font*, Ref<Font>> fonts;
    for (Item& item : items_) {
        item.frame = scaled(item.frame);
        item.lineTop *= factor;
        item.lineBottom *= factor;
        item.baseline *= factor;
        if (!item.font) continue;
        Ref<Font>& f = fonts[item.font.get()];
        if (!f) f = Font::fontWithFile(item.font->file(), item.font->size() * factor, item.font->kind(),
                                       item.font->name());
        if (f) item.font = f;
    }
    for (Fill& fill : fills_) fill.rect = scaled(fill.rect);
    size_ = CGSizeMake(size_.width * factor, size_.height * factor);
}

// ---- the layout -----------------------------------------------------------------------------

class HTMLLayoutBuilder {
public:
    HTMLLayoutBuilder(const HTMLDocument& doc, float width, const HTMLLayout::ImageInfoProvider& images)
        : doc_(doc), width_(std::min(HTMLLayout::kMaxPageWidth, std::max(1.0f, width))), images_(images),
          page_(new HTMLPage) {
        contexts_.push_back(BlockContext{0, 0, kTextAlignmentLeft});
        extent_ = width_;
    }

    std::unique_ptr<HTMLPage> run() {
        HTMLTextStyle style;
        if (doc_.firstElement("body")) {
            walk(0, style, 0);
        } else {
            // Markup without a <body> still gets the body's margins.
            HTMLNode body;
            body.name = "body";
            const HTMLBlockBox box = HTMLStyle::blockBox(body, style, 0);
            openBlock(box, style, false);
            walk(0, style, 0);
            closeBlock(box, -1);
        }
        flushLine(false, nullptr);
        page_->size_ = CGSizeMake(std::min(HTMLLayout::kMaxPageWidth, extent_),
                                  std::min(HTMLLayout::kMaxPageHeight, y_ + pendingMargin_));
        page_->cut_ = stopped_;
        return std::move(page_);
    }

private:
    // ---- the tree ----

    void walk(uint32_t index, const HTMLTextStyle& inherited, int listDepth) {
        if (stopped_) return;
        const HTMLNode& n = doc_.node(index);
        if (n.kind == HTMLNode::Kind::Text) {
            addText(n.text, inherited);
            return;
        }
        if (n.kind == HTMLNode::Kind::Document) {
            for (uint32_t child : n.children) walk(child, inherited, listDepth);
            return;
        }
        const HTMLDisplay display = HTMLStyle::displayOf(n);
        switch (display) {
            case HTMLDisplay::Hidden: return;
            case HTMLDisplay::LineBreak: flushLine(true, fonts_.font(inherited)); return;
            case HTMLDisplay::Image: addImage(n, inherited); return;
            case HTMLDisplay::Rule: addRule(n, inherited); return;
            default: break;
        }
        HTMLTextStyle style = inherited;
        HTMLStyle::applyElement(n, style);
        if (n.name == "a")
            if (const std::string* href = n.attribute("href")) {
                style.link = int(page_->links_.size());
                page_->links_.push_back(*href);
            }
        if (display == HTMLDisplay::Inline || display == HTMLDisplay::TableCell) {
            for (uint32_t child : n.children) walk(child, style, listDepth);
            if (display == HTMLDisplay::TableCell) setPendingSpace(style);
            return;
        }
        walkBlock(n, style, listDepth);
    }

    void walkBlock(const HTMLNode& n, const HTMLTextStyle& style, int listDepth) {
        HTMLBlockBox box = HTMLStyle::blockBox(n, style, listDepth);
        // The page's background comes from <body> (or else <html>).
        const bool isPage = n.name == "body" || n.name == "html";
        if (isPage && !box.background.isClear() && (n.name == "body" || page_->background_.isClear()))
            page_->background_ = box.background;
        const int fill = openBlock(box, style, !isPage);
        const bool isList = n.name == "ul" || n.name == "ol" || n.name == "menu" || n.name == "dir";
        if (isList) {
            const std::string* start = n.attribute("start");
            lists_.push_back(List{n.name == "ol", start ? listStart(*start) : 1});
        }
        if (n.name == "li") setMarker(style, listDepth);
        if (style.preformatted) preStart_ = true;
        for (uint32_t child : n.children) walk(child, style, listDepth + (isList ? 1 : 0));
        if (isList) lists_.pop_back();
        if (n.name == "li") {
            flushLine(false, nullptr);  // the item's last line carries the marker if it is its first
            marker_.text.clear();       // an empty item shows no marker
        }
        closeBlock(box, fill);
    }

    // Returns the block's fill, or -1.
    int openBlock(const HTMLBlockBox& box, const HTMLTextStyle& style, bool fills) {
        flushLine(false, nullptr);
        pendingMargin_ = std::max(pendingMargin_, box.marginTop);
        const BlockContext& outer = contexts_.back();
        contexts_.push_back(BlockContext{std::min(width_, outer.left + box.marginLeft),
                                         std::min(width_, outer.right + box.marginRight), style.alignment});
        if (!fills || box.background.isClear()) return -1;
        applyPendingMargin();
        const BlockContext& c = contexts_.back();
        page_->fills_.push_back(HTMLPage::Fill{CGRectMake(c.left, y_, available(), 0), box.background});
        return int(page_->fills_.size()) - 1;
    }

    void closeBlock(const HTMLBlockBox& box, int fill) {
        flushLine(false, nullptr);
        if (fill >= 0) {
            HTMLPage::Fill& f = page_->fills_[size_t(fill)];
            f.rect.size.height = y_ - f.rect.origin.y;
        }
        if (contexts_.size() > 1) contexts_.pop_back();
        pendingMargin_ = std::max(pendingMargin_, box.marginBottom);
    }

    // ---- inline content ----

    Piece pieceFor(const HTMLTextStyle& style, Piece::Kind kind) {
        Piece p;
        p.kind = kind;
        p.font = fonts_.font(style);
        p.color = style.color;
        p.link = style.link;
        p.underline = style.underline;
        p.strike = style.strike;
        return p;
    }

    void setPendingSpace(const HTMLTextStyle& style) {
        if (pendingSpace_) return;
        pendingSpace_ = true;
        space_ = pieceFor(style, Piece::Kind::Space);
    }

    void addText(const std::string& utf8, const HTMLTextStyle& style) {
        std::u32string chars = decodeUtf8(utf8);
        chars.erase(std::remove_if(chars.begin(), chars.end(), isInvisible), chars.end());
        if (style.preformatted) {
            addPreformatted(chars, style);
            return;
        }
        preStart_ = false;
        Piece look = pieceFor(style, Piece::Kind::Text);
        size_t i = 0;
        while (i < chars.size() && !stopped_) {
            if (isCollapsible(chars[i])) {
                setPendingSpace(style);
                ++i;
                continue;
            }
            size_t j = i;
            while (j < chars.size() && !isCollapsible(chars[j])) ++j;
            addWord(look, chars.data() + i, j - i);
            i = j;
        }
    }

    void addPreformatted(const std::u32string& chars, const HTMLTextStyle& style) {
        constexpr int kTabStop = 8;
        Piece look = pieceFor(style, Piece::Kind::Text);
        size_t i = 0;
        // A newline just after the start tag is not content.
        if (preStart_) {
            if (i < chars.size() && chars[i] == '\r') ++i;
            if (i < chars.size() && chars[i] == '\n') ++i;
        }
        preStart_ = false;
        std::u32string segment;
        auto emit = [&] {
            if (!segment.empty()) placeUnbroken(look, segment.data(), segment.size(), HTMLLayout::kMaxPageWidth);
            segment.clear();
        };
        for (; i < chars.size() && !stopped_; ++i) {
            const char32_t c = chars[i];
            if (c == '\r' && i + 1 < chars.size() && chars[i + 1] == '\n') continue;
            if (c == '\n' || c == '\r') {
                emit();
                flushLine(true, look.font);
            } else if (c == '\t') {
                do {
                    segment.push_back(' ');
                    ++column_;
                } while (column_ % kTabStop != 0);
            } else {
                segment.push_back(c == '\f' ? ' ' : c);
                ++column_;
            }
        }
        emit();
    }

    // A word: it goes on this line if it fits, else the line breaks at the
    // last space (or before the last break opportunity), and a word wider
    // than a whole line is broken between characters.
    void addWord(const Piece& look, const char32_t* chars, size_t n) {
        if (n == 0) return;
        const float w = advance(look.font, chars, n);
        const bool withSpace = pendingSpace_ && !pieces_.empty();
        const float spaceWidth = withSpace ? advance(space_.font, U" ", 1) : 0;
        if (!pieces_.empty() && lineWidth_ + spaceWidth + w > available() + kFitTolerance) {
            if (withSpace) flushLine(false, nullptr);
            else if (lastBreak_ > 0) breakAt(lastBreak_);
        }
        addPendingSpace();
        placeUnbroken(look, chars, n, available());
    }

    void addPendingSpace() {
        if (pendingSpace_ && !pieces_.empty()) {
            Piece s = space_;
            s.text = U" ";
            s.width = advance(s.font, U" ", 1);
            lineWidth_ += s.width;
            pieces_.push_back(std::move(s));
            lastBreak_ = pieces_.size();
        }
        pendingSpace_ = false;
    }

    // Places characters on this line, moving on to new lines where they
    // run past `limit`.
    void placeUnbroken(const Piece& look, const char32_t* chars, size_t n, float limit) {
        while (n > 0 && !stopped_) {
            const float room = limit - lineWidth_;
            size_t k = fitting(look.font, chars, n, room);
            if (k == 0) {
                if (!pieces_.empty()) {
                    flushLine(false, nullptr);
                    continue;
                }
                k = 1;  // at least one character a line
            }
            Piece p = look;
            p.text.assign(chars, k);
            p.width = advance(look.font, chars, k);
            lineWidth_ += p.width;
            pieces_.push_back(std::move(p));
            chars += k;
            n -= k;
            if (n > 0) flushLine(false, nullptr);
        }
    }

    void addImage(const HTMLNode& n, const HTMLTextStyle& inherited) {
        HTMLTextStyle style = inherited;
        HTMLStyle::applyElement(n, style);
        const HTMLLayout::ImageInfo info = n.imageSlot >= 0 ? images_(size_t(n.imageSlot)) : HTMLLayout::ImageInfo{};
        CGSize size = imageSize(n, info);
        if (info.failed && !hasSizeAttributes(n)) {
            if (const std::string* alt = n.attribute("alt")) addText(*alt, style);
            return;
        }
        if (size.width <= 0 || size.height <= 0) return;
        const bool withSpace = pendingSpace_ && !pieces_.empty();
        const float spaceWidth = withSpace ? advance(space_.font, U" ", 1) : 0;
        if (!pieces_.empty() && lineWidth_ + spaceWidth + size.width > available() + kFitTolerance) {
            pendingSpace_ = false;
            flushLine(false, nullptr);
        }
        addPendingSpace();
        Piece p = pieceFor(style, Piece::Kind::Image);
        p.width = size.width;
        p.height = size.height;
        p.imageSlot = n.imageSlot;
        lineWidth_ += p.width;
        pieces_.push_back(std::move(p));
        lastBreak_ = pieces_.size();
    }

    static bool hasSizeAttributes(const HTMLNode& n) { return n.attribute("width") || n.attribute("height"); }

    // The width and height attributes (pixels, or a percentage of the
    // line for the width), the natural size for what they leave out,
    // keeping the image's proportions.
    CGSize imageSize(const HTMLNode& n, const HTMLLayout::ImageInfo& info) {
        auto dimension = [&](const char* name, float whole, float* out) {
            const std::string* v = n.attribute(name);
            if (!v) return false;
            char* end = nullptr;
            const float f = std::strtof(v->c_str(), &end);
            if (end == v->c_str() || !std::isfinite(f) || f < 0) return false;
            *out = (*end == '%') ? (whole > 0 ? whole * f / 100 : 0) : f;
            *out = std::min(HTMLDocument::kMaxImageSide, *out);
            return true;
        };
        float w = 0, h = 0;
        const bool hasW = dimension("width", available(), &w), hasH = dimension("height", 0, &h);
        const CGSize natural = info.size;
        if (hasW && hasH) return CGSizeMake(w, h);
        if (natural.width <= 0 || natural.height <= 0) return CGSizeMake(hasW ? w : 0, hasH ? h : 0);
        if (hasW) return CGSizeMake(w, std::min(HTMLDocument::kMaxImageSide, w * natural.height / natural.width));
        if (hasH) return CGSizeMake(std::min(HTMLDocument::kMaxImageSide, h * natural.width / natural.height), h);
        return CGSizeMake(std::min(HTMLDocument::kMaxImageSide, natural.width),
                          std::min(HTMLDocument::kMaxImageSide, natural.height));
    }

    void addRule(const HTMLNode& n, const HTMLTextStyle& inherited) {
        HTMLTextStyle style = inherited;
        HTMLStyle::applyElement(n, style);
        flushLine(false, nullptr);
        const float margin = style.size / 2;
        pendingMargin_ = std::max(pendingMargin_, margin);
        applyPendingMargin();
        float width = available(), height = kRuleThickness;
        if (const std::string* w = n.attribute("width")) {
            const float f = std::strtof(w->c_str(), nullptr);
            if (std::isfinite(f) && f > 0) width = std::min(width, w->back() == '%' ? width * f / 100 : f);
        }
        if (const std::string* s = n.attribute("size")) {
            const float f = std::strtof(s->c_str(), nullptr);
            if (std::isfinite(f) && f > 0) height = std::min(f, 100.0f);
        }
        Color color = kRuleColor;
        if (const std::string* c = n.attribute("color")) HTMLStyle::parseColor(*c, &color);
        const BlockContext& c = contexts_.back();
        float x = c.left + (available() - width) / 2;  // rules are centred unless aligned
        if (const std::string* align = n.attribute("align")) {
            if (*align == "left") x = c.left;
            else if (*align == "right") x = c.left + available() - width;
        }
        HTMLPage::Item item;
        item.kind = HTMLPage::Item::Kind::Rule;
        item.frame = CGRectMake(x, y_, width, height);
        item.lineTop = y_;
        item.lineBottom = y_ + height;
        item.color = color;
        page_->items_.push_back(std::move(item));
        y_ += height;
        pendingMargin_ = margin;
    }

    void setMarker(const HTMLTextStyle& style, int listDepth) {
        static const char32_t kBullets[3] = {0x2022, 0x25E6, 0x25AA};
        std::u32string text;
        if (!lists_.empty() && lists_.back().ordered) {
            const std::string number = std::to_string(lists_.back().next++) + ".";
            text.assign(number.begin(), number.end());
        } else {
            text.assign(1, kBullets[std::max(0, listDepth - 1) % 3]);
        }
        marker_ = pieceFor(style, Piece::Kind::Text);
        marker_.text = std::move(text);
        marker_.width = advance(marker_.font, marker_.text.data(), marker_.text.size());
        markerRight_ = contexts_.back().left - style.size / 2;
    }

    // ---- lines ----

    float available() const {
        const BlockContext& c = contexts_.back();
        return std::max(kMinLineWidth, width_ - c.left - c.right);
    }

    void applyPendingMargin() {
        y_ += pendingMargin_;
        pendingMargin_ = 0;
    }

    // Moves the pieces from `from` on to the next line.
    void breakAt(size_t from) {
        std::vector<Piece> carried(std::make_move_iterator(pieces_.begin() + long(from)),
                                   std::make_move_iterator(pieces_.end()));
        pieces_.resize(from);
        flushLine(false, nullptr);
        for (Piece& p : carried) {
            lineWidth_ += p.width;
            pieces_.push_back(std::move(p));
        }
    }

    // Places the line; `forced` (a line break) places an empty line of
    // `font`'s height too.
    void flushLine(bool forced, Font* font) {
        pendingSpace_ = pendingSpace_ && !forced;
        while (!pieces_.empty() && pieces_.back().kind == Piece::Kind::Space) {
            lineWidth_ -= pieces_.back().width;
            pieces_.pop_back();
        }
        if (stopped_) return;
        if (pieces_.empty()) {
            if (forced && font) {
                applyPendingMargin();
                y_ += font->lineHeight();
            }
            endLine();
            return;
        }
        applyPendingMargin();
        float above = 0, below = 0;
        for (const Piece& p : pieces_) {
            if (p.kind == Piece::Kind::Image) {
                above = std::max(above, p.height);
            } else if (p.font) {
                above = std::max(above, p.font->lineHeight() - p.font->descender());
                below = std::max(below, p.font->descender());
            }
        }
        if (!marker_.text.empty() && marker_.font) {
            above = std::max(above, marker_.font->lineHeight() - marker_.font->descender());
            below = std::max(below, marker_.font->descender());
        }
        const float top = y_, baseline = y_ + above, bottom = baseline + below;
        const BlockContext& c = contexts_.back();
        const float free = available() - lineWidth_;
        float x = c.left;
        if (free > 0 && c.alignment == kTextAlignmentCenter) x += free / 2;
        else if (free > 0 && c.alignment == kTextAlignmentRight) x += free;
        if (!marker_.text.empty()) {
            emitText(marker_, marker_.text, markerRight_ - marker_.width, marker_.width, top, baseline, bottom);
            marker_.text.clear();
        }
        const float lineLeft = x;
        for (size_t i = 0; i < pieces_.size();) {
            const Piece& p = pieces_[i];
            if (p.kind == Piece::Kind::Image) {
                HTMLPage::Item item;
                item.kind = HTMLPage::Item::Kind::Image;
                item.frame = CGRectMake(x, baseline - p.height, p.width, p.height);
                item.lineTop = top;
                item.lineBottom = bottom;
                item.link = p.link;
                item.imageSlot = p.imageSlot;
                page_->items_.push_back(std::move(item));
                x += p.width;
                ++i;
                continue;
            }
            // Neighbours that look alike are drawn as one run.
            std::u32string run = p.text;
            float width = p.width;
            size_t j = i + 1;
            for (; j < pieces_.size() && pieces_[j].kind != Piece::Kind::Image && pieces_[j].sameLook(p); ++j) {
                run += pieces_[j].text;
                width += pieces_[j].width;
            }
            emitText(p, run, x, width, top, baseline, bottom);
            x += width;
            i = j;
        }
        const float right = lineLeft + lineWidth_ + c.right;
        extent_ = std::max(extent_, right);
        y_ = bottom;
        endLine();
        if (y_ > HTMLLayout::kMaxPageHeight) stopped_ = true;
    }

    void emitText(const Piece& look, const std::u32string& text, float x, float width, float top, float baseline,
                  float bottom) {
        HTMLPage::Item item;
        item.kind = HTMLPage::Item::Kind::Text;
        item.frame = CGRectMake(x, top, width, bottom - top);
        item.lineTop = top;
        item.lineBottom = bottom;
        item.baseline = baseline;
        item.text = encodeUtf8(text.data(), text.data() + text.size());
        item.font = look.font;
        item.color = look.color;
        item.underline = look.underline;
        item.strike = look.strike;
        item.link = look.link;
        page_->items_.push_back(std::move(item));
    }

    void endLine() {
        pieces_.clear();
        lineWidth_ = 0;
        lastBreak_ = 0;
        column_ = 0;
    }

    struct List {
        bool ordered;
        long next;  // from within ±kMaxListStart, counted on once an item
    };

    const HTMLDocument& doc_;
    const float width_;
    const HTMLLayout::ImageInfoProvider& images_;
    std::unique_ptr<HTMLPage> page_;
    FontTable fonts_;

    std::vector<BlockContext> contexts_;
    std::vector<List> lists_;
    float y_ = 0;
    float pendingMargin_ = 0;
    float extent_ = 0;  // the widest the page reaches
    bool stopped_ = false;

    std::vector<Piece> pieces_;
    float lineWidth_ = 0;
    size_t lastBreak_ = 0;  // pieces before it may end a line; 0: none may
    bool pendingSpace_ = false;
    Piece space_;
    Piece marker_;  // the list marker waiting for its item's first line
    float markerRight_ = 0;
    bool preStart_ = false;
    int column_ = 0;  // characters on the preformatted line so far
};

std::unique_ptr<HTMLPage> HTMLLayout::layout(const HTMLDocument& document, float width,
                                             const ImageInfoProvider& images) {
    return HTMLLayoutBuilder(document, width, images).run();
}

}  // namespace host
