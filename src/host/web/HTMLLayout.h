// Lays a page out to a width: blocks stacked from the top with their
// margins (collapsing as browsers collapse them), text broken into lines
// at spaces with the host's fonts, images in the lines, list markers, rules
// and block backgrounds. Whitespace collapses except in preformatted text;
// a word wider than its line is broken between characters. Images, rules
// and preformatted lines may make the page wider than asked (up to
// kMaxPageWidth), never narrower.
//
// The result, HTMLPage, says what to draw where in page points, top line
// first, and which link lies where.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/core/CGGeometry.h"
#include "host/core/Ref.h"
#include "host/graphics/Color.h"
#include "host/text/Font.h"
#include "host/web/HTMLDocument.h"

namespace host {

class HTMLPage {
public:
    struct Item {
        enum class Kind { Text, Image, Rule };
        Kind kind = Kind::Text;
        // Text: the run's advance box over its whole line; image: where it
        // is drawn; rule: the line drawn.
        CGRect frame = CGRectZero;
        float lineTop = 0, lineBottom = 0;  // the line the item sits in
        float baseline = 0;                 // text
        std::string text;                   // text, UTF-8
        Ref<Font> font;                     // text
        Color color;
        bool underline = false, strike = false;
        int link = -1;       // index into links()
        int imageSlot = -1;  // image
    };
    struct Fill {
        CGRect rect;
        Color color;
    };

    CGSize size() const { return size_; }
    // In line order: the lines' tops never decrease.
    const std::vector<Item>& items() const { return items_; }
    // Block backgrounds, outer blocks first.
    const std::vector<Fill>& fills() const { return fills_; }
    // The page's own background (clear when it gives none).
    Color background() const { return background_; }
    // The hrefs of the page's links, as written.
    const std::vector<std::string>& links() const { return links_; }
    // Whether the page was cut off at kMaxPageHeight.
    bool wasCut() const { return cut_; }

    // The range [first, last) of items whose lines reach into [top, bottom).
    std::pair<size_t, size_t> itemsBetween(float top, float bottom) const;
    // The link at a point of the page, or -1.
    int linkAt(CGPoint p) const;
    // Makes everything `factor` times as large, the fonts included.
    void scale(float factor);

private:
    friend class HTMLLayoutBuilder;
    CGSize size_ = CGSizeZero;
    std::vector<Item> items_;
    std::vector<Fill> fills_;
    Color background_ = Color::clearColor();
    std::vector<std::string> links_;
    bool cut_ = false;
};

class HTMLLayout {
public:
    static constexpr float kMaxPageWidth = 4096;
    static constexpr float kMaxPageHeight = 1000000;

    // What the layout knows of an image: its natural size in points (zero
    // while it is not there) and whether it failed (its alt text shows).
    struct ImageInfo {
        CGSize size = CGSizeZero;
        bool failed = false;
    };
    using ImageInfoProvider = std::function<ImageInfo(size_t slot)>;

    static std::unique_ptr<HTMLPage> layout(const HTMLDocument& document, float width,
                                            const ImageInfoProvider& images);
};

}  // namespace host
