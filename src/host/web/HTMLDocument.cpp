#include "host/web/HTMLDocument.h"

#include <cstdlib>
#include <initializer_list>
#include <string_view>

#include "host/core/Log.h"
#include "host/net/WebStrings.h"

namespace host {

namespace {

constexpr size_t kMaxTitleBytes = 1024;

bool isVoidElement(const std::string& name) {
    return isOneOf(name, {"area", "base", "basefont", "bgsound", "br", "col", "embed", "hr", "img", "input",
                          "keygen", "link", "meta", "param", "source", "track", "wbr", "frame"});
}

bool isHeading(const std::string& name) {
    return name.size() == 2 && name[0] == 'h' && name[1] >= '1' && name[1] <= '6';
}

// Start tags that end an open paragraph.
bool closesParagraph(const std::string& name) {
    return isHeading(name) ||
           isOneOf(name, {"address", "article", "aside", "blockquote", "center", "details", "dialog", "dir", "div",
                          "dl", "dd", "dt", "fieldset", "figcaption", "figure", "footer", "form", "header", "hr",
                          "li", "listing", "main", "menu", "nav", "ol", "p", "pre", "section", "summary", "table",
                          "ul", "xmp"});
}

// Elements an implied end does not reach past.
bool isScopeBoundary(const std::string& name) {
    return isOneOf(name, {"html", "body", "table", "td", "th", "tr", "caption", "button", "object", "applet",
                          "marquee", "select"});
}

bool belongsInHead(const std::string& name) {
    return isOneOf(name, {"title", "meta", "link", "style", "script", "base", "noscript", "template"});
}

bool isWhitespace(const std::string& s) {
    for (char c : s)
        if (c != ' ' && c != '\t' && c != '\n' && c != '\r' && c != '\f') return false;
    return true;
}

// The length of `s` cut to at most `n` bytes without splitting a character.
size_t utf8Prefix(const std::string& s, size_t n) {
    if (n >= s.size()) return s.size();
    while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
    return n;
}

}  // namespace

const std::string* HTMLNode::attribute(const char* attributeName) const {
    for (const HTMLAttribute& a : attributes)
        if (a.name == attributeName) return &a.value;
    return nullptr;
}

// Builds the tree from the tokens, keeping the stack of open elements.
class HTMLTreeBuilder {
public:
    explicit HTMLTreeBuilder(HTMLDocument& document) : doc_(document) { open_.push_back(0); }

    void build(const std::string& markup) {
        HTMLTokenizer tokenizer(markup);
        HTMLToken token;
        while (!stopped_ && tokenizer.next(&token)) {
            switch (token.type) {
                case HTMLToken::Type::Text: text(token.text); break;
                case HTMLToken::Type::StartTag: startTag(token); break;
                case HTMLToken::Type::EndTag: endTag(token.name); break;
            }
        }
        finish();
    }

private:
    HTMLNode& node(uint32_t i) { return doc_.nodes_[i]; }
    uint32_t current() const { return open_.back(); }
    const std::string& nameAt(size_t stackIndex) { return node(open_[stackIndex]).name; }

    // Appends a node under the current element; false once the page is full.
    bool append(HTMLNode&& n, uint32_t* index) {
        if (doc_.nodes_.size() >= HTMLDocument::kMaxNodes) {
            stop(nodesCut_);
            return false;
        }
        n.parent = current();
        *index = uint32_t(doc_.nodes_.size());
        doc_.nodes_.push_back(std::move(n));
        node(current()).children.push_back(*index);
        return true;
    }

    void stop(bool& flag) {
        flag = true;
        stopped_ = true;
        doc_.cut_ = true;
    }

    // The innermost open element of that name above any scope boundary
    // (or anywhere, with `throughBoundaries`); 0 when there is none.
    size_t findOpen(const char* name, bool throughBoundaries,
                    std::initializer_list<std::string_view> stops = {}) {
        for (size_t i = open_.size(); i-- > 1;) {
            const std::string& n = nameAt(i);
            if (n == name) return i;
            if (!throughBoundaries && (isScopeBoundary(n) || isOneOf(n, stops))) return 0;
        }
        return 0;
    }
    void popTo(size_t stackIndex) {
        if (stackIndex > 0 && stackIndex < open_.size()) open_.resize(stackIndex);
    }
    void closeOpen(const char* name, std::initializer_list<std::string_view> stops = {}) {
        popTo(findOpen(name, false, stops));
    }

    void text(std::string& s) {
        const std::string& inside = node(current()).name;
        if (inside == "script" || inside == "style" || inside == "iframe" || inside == "noembed")
            return;  // never shown
        if (inside == "title") {
            if (doc_.title_.size() < kMaxTitleBytes) doc_.title_.append(s, 0, utf8Prefix(s, kMaxTitleBytes));
            return;
        }
        if (inside == "head") {
            if (isWhitespace(s)) return;
            popTo(findOpen("head", true));  // content ends the head
        }
        if (textBytes_ + s.size() > HTMLDocument::kMaxTextBytes) {
            s.resize(utf8Prefix(s, HTMLDocument::kMaxTextBytes - textBytes_));
            textCut_ = true;
        }
        textBytes_ += s.size();
        if (!s.empty()) {
            HTMLNode& parent = node(current());
            if (!parent.children.empty() && node(parent.children.back()).kind == HTMLNode::Kind::Text) {
                node(parent.children.back()).text += s;
            } else {
                HTMLNode t;
                t.kind = HTMLNode::Kind::Text;
                t.text = std::move(s);
                uint32_t index;
                append(std::move(t), &index);
            }
        }
        if (textCut_) stop(textCut_);
    }

    // The ends a start tag implies, as browsers read them.
    void impliedEnds(const std::string& name) {
        if (!belongsInHead(name) && findOpen("head", true)) popTo(findOpen("head", true));
        if (closesParagraph(name)) closeOpen("p", {"address", "article", "aside", "blockquote", "center", "div",
                                                   "dl", "fieldset", "form", "li", "ol", "ul", "section", "pre"});
        if (isHeading(name) && isHeading(node(current()).name)) open_.pop_back();
        if (name == "li") closeOpen("li", {"ul", "ol", "menu", "dir"});
        if (name == "dt" || name == "dd") {
            closeOpen("dt", {"dl"});
            closeOpen("dd", {"dl"});
        }
        if (name == "td" || name == "th" || name == "tr") {
            popTo(findOpen("td", false, {"tr"}));
            popTo(findOpen("th", false, {"tr"}));
        }
        if (name == "tr") closeOpen("tr");
        if (name == "option" || name == "optgroup") closeOpen("option");
        if (name == "a") closeOpen("a");
    }

    void startTag(HTMLToken& t) {
        const std::string& name = t.name;
        if ((name == "html" || name == "body") && findOpen(name.c_str(), true)) return;  // one of each
        impliedEnds(name);
        noteImageSize(t);
        const bool isVoid = isVoidElement(name);
        if (!isVoid && open_.size() > HTMLDocument::kMaxDepth) {
            depthCut_ = true;
            doc_.cut_ = true;
            return;
        }
        HTMLNode e;
        e.name = name;
        e.attributes = std::move(t.attributes);
        if (name == "base" && doc_.baseHref_.empty())
            if (const std::string* href = e.attribute("href")) doc_.baseHref_ = *href;
        const bool isImage = name == "img";
        uint32_t index;
        if (!append(std::move(e), &index)) return;
        if (isImage) {
            node(index).imageSlot = int(doc_.images_.size());
            doc_.images_.push_back(index);
        }
        if (!isVoid && !t.selfClosing) open_.push_back(index);
    }

    void endTag(const std::string& name) {
        if (name == "br") {
            HTMLToken br;
            br.type = HTMLToken::Type::StartTag;
            br.name = "br";
            startTag(br);
            return;
        }
        if (name == "html" || name == "body") return;  // content after them still goes into the body
        if (name == "p" && !findOpen("p", false)) {
            // A stray </p> still separates paragraphs.
            HTMLToken p;
            p.type = HTMLToken::Type::StartTag;
            p.name = "p";
            p.selfClosing = true;
            startTag(p);
            return;
        }
        popTo(findOpen(name.c_str(), true));
    }

    // Sizes above the limit are cut when the page is laid out; said once here.
    void noteImageSize(const HTMLToken& t) {
        if (t.name != "img" || sizeCut_) return;
        for (const HTMLAttribute& a : t.attributes)
            if ((a.name == "width" || a.name == "height") && std::atof(a.value.c_str()) > HTMLDocument::kMaxImageSide) {
                sizeCut_ = true;
                log("web view: image sizes above %g points are cut to %g", double(HTMLDocument::kMaxImageSide),
                    double(HTMLDocument::kMaxImageSide));
            }
    }

    void finish() {
        // The title as one line.
        std::string title;
        bool space = false;
        for (char c : doc_.title_) {
            const bool isSpace = c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
            if (isSpace) {
                space = !title.empty();
                continue;
            }
            if (space) title.push_back(' ');
            space = false;
            title.push_back(c);
        }
        doc_.title_ = std::move(title);
        if (depthCut_)
            log("web view: markup nested deeper than %zu levels; the deeper tags are ignored", HTMLDocument::kMaxDepth);
        if (nodesCut_) log("web view: page cut off after %zu nodes", HTMLDocument::kMaxNodes);
        if (textCut_) log("web view: page cut off after %zu bytes of text", HTMLDocument::kMaxTextBytes);
    }

    HTMLDocument& doc_;
    std::vector<uint32_t> open_;  // the open elements, the document first
    size_t textBytes_ = 0;
    bool stopped_ = false;
    bool depthCut_ = false, nodesCut_ = false, textCut_ = false, sizeCut_ = false;
};

HTMLDocument::HTMLDocument() {
    HTMLNode root;
    root.kind = HTMLNode::Kind::Document;
    nodes_.push_back(std::move(root));
}

std::unique_ptr<HTMLDocument> HTMLDocument::parse(const std::string& markup) {
    std::unique_ptr<HTMLDocument> doc(new HTMLDocument);
    HTMLTreeBuilder(*doc).build(markup);
    return doc;
}

std::unique_ptr<HTMLDocument> HTMLDocument::plainText(const std::string& text) {
    std::unique_ptr<HTMLDocument> doc(new HTMLDocument);
    HTMLNode pre;
    pre.name = "pre";
    doc->nodes_[0].children.push_back(1);
    doc->nodes_.push_back(std::move(pre));
    HTMLNode t;
    t.kind = HTMLNode::Kind::Text;
    t.parent = 1;
    t.text = text.substr(0, utf8Prefix(text, kMaxTextBytes));
    if (t.text.size() < text.size()) {
        doc->cut_ = true;
        log("web view: page cut off after %zu bytes of text", kMaxTextBytes);
    }
    doc->nodes_[1].children.push_back(2);
    doc->nodes_.push_back(std::move(t));
    return doc;
}

std::unique_ptr<HTMLDocument> HTMLDocument::imageDocument() {
    // As browsers show an image by itself: no margins around it.
    return parse("<body marginwidth=0 marginheight=0><img></body>");
}

const HTMLNode* HTMLDocument::firstElement(const char* tag) const {
    for (const HTMLNode& n : nodes_)
        if (n.isElement(tag)) return &n;
    return nullptr;
}

}  // namespace host
