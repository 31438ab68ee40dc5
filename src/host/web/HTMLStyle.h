// How the elements of a page look: what each tag, its presentational
// attributes (align, bgcolor, <font color size face>, margins of <body>)
// and a small part of inline style (colours, font weight, style, size and
// family, text alignment and decoration, margins, display: none) do to the
// text and to the block around it. Sizes are points.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "host/graphics/Color.h"
#include "host/web/HTMLDocument.h"

namespace host {

// How an element takes part in layout.
enum class HTMLDisplay { Inline, Block, ListItem, TableCell, LineBreak, Image, Rule, Hidden };

// What text looks like where it is.
struct HTMLTextStyle {
    static constexpr float kDefaultSize = 16;
    static constexpr float kMinSize = 4;
    static constexpr float kMaxSize = 200;

    std::string family = "Times";  // a list, as written: "Arial, Helvetica, sans-serif"
    float size = kDefaultSize;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool monospace = false;
    bool preformatted = false;
    Color color = Color::blackColor();
    int alignment = 0;  // TextAlignment
    int link = -1;      // the page's link the text belongs to
};

// The box a block element puts around its content.
struct HTMLBlockBox {
    float marginTop = 0, marginBottom = 0, marginLeft = 0, marginRight = 0;
    Color background = Color::clearColor();
};

class HTMLStyle {
public:
    // The colour of links.
    static constexpr Color kLinkColor{0, 0, 238.0f / 255, 1};

    static HTMLDisplay displayOf(const HTMLNode& element);
    // What the element does to the style of the text inside it.
    static void applyElement(const HTMLNode& element, HTMLTextStyle& style);
    // The block box of a block element; `style` is the element's own text
    // style (after applyElement), `listDepth` how many lists enclose it.
    static HTMLBlockBox blockBox(const HTMLNode& element, const HTMLTextStyle& style, int listDepth);

    // "#rgb", "#rrggbb", "rrggbb", "rgb(r, g, b)", "rgba(r, g, b, a)" or a
    // colour name; false for anything else.
    static bool parseColor(const std::string& text, Color* color);
    // The declarations of a style attribute, names lower-case, in order.
    static std::vector<std::pair<std::string, std::string>> declarations(const std::string& css);
    // A CSS length ("12px", "1.5em", "10pt", "0") in points; false for
    // anything else (percentages included).
    static bool parseLength(const std::string& text, float fontSize, float* points);
};

}  // namespace host
