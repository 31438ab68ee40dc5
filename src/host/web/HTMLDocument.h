// A page's markup as a tree of elements and text, built the tolerant way:
// end tags close the nearest open element of their name (and whatever was
// left open inside it), an end tag nothing matches is ignored, a new
// paragraph, list item, table row or cell closes the one before it, and
// the head ends where content starts.
//
// Whatever the input, the tree stays bounded: elements nested deeper than
// kMaxDepth are not made (their text goes to the deepest element), and
// the page is cut off after kMaxNodes nodes or kMaxTextBytes of text.
// Each cut is logged once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "host/web/HTMLTokenizer.h"

namespace host {

struct HTMLNode {
    enum class Kind { Document, Element, Text };
    Kind kind = Kind::Element;
    std::string name;  // elements: the lower-case tag name
    std::string text;  // text nodes: the characters, references decoded
    std::vector<HTMLAttribute> attributes;
    std::vector<uint32_t> children;
    uint32_t parent = 0;
    int imageSlot = -1;  // an <img>: its place among the page's images

    bool isElement(const char* tag) const { return kind == Kind::Element && name == tag; }
    // The value of an attribute (lower-case name), or nullptr.
    const std::string* attribute(const char* attributeName) const;
};

class HTMLDocument {
public:
    static constexpr size_t kMaxDepth = 256;
    static constexpr size_t kMaxNodes = 50000;
    static constexpr size_t kMaxTextBytes = size_t(1) << 20;
    // Image sizes written in the markup are cut to this many points.
    static constexpr float kMaxImageSide = 4096;

    // Markup in UTF-8.
    static std::unique_ptr<HTMLDocument> parse(const std::string& markup);
    // Plain text, shown as preformatted text.
    static std::unique_ptr<HTMLDocument> plainText(const std::string& text);
    // A page of one image (slot 0), for image content.
    static std::unique_ptr<HTMLDocument> imageDocument();

    const HTMLNode& root() const { return nodes_[0]; }
    const HTMLNode& node(uint32_t index) const { return nodes_[index]; }
    size_t nodeCount() const { return nodes_.size(); }
    // The <img> elements by image slot.
    const std::vector<uint32_t>& images() const { return images_; }
    // The first element of that name, or nullptr.
    const HTMLNode* firstElement(const char* tag) const;
    const std::string& title() const { return title_; }
    // The href of the page's first <base>, or "".
    const std::string& baseHref() const { return baseHref_; }
    // Whether something was cut off or ignored to keep within the limits.
    bool wasCut() const { return cut_; }

private:
    friend class HTMLTreeBuilder;
    HTMLDocument();

    std::vector<HTMLNode> nodes_;
    std::vector<uint32_t> images_;
    std::string title_;
    std::string baseHref_;
    bool cut_ = false;
};

}  // namespace host
