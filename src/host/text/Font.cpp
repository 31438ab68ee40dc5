#include "host/text/Font.h"

#include <cmath>
#include <cstdio>
#include <limits>

#include "host/core/Log.h"
#include "host/text/FontFace.h"
#include "host/text/FontMatcher.h"
#include "host/text/TextLayout.h"

namespace host {

namespace {
const char* const kInterfaceFont = "Helvetica";
const char* const kBoldInterfaceFont = "Helvetica-Bold";

bool usableSize(float size) { return std::isfinite(size) && size > 0 && size <= Font::kMaxSize; }
}  // namespace

Ref<Font> Font::systemFont(const std::string& name, float size) {
    if (!usableSize(size)) return nullptr;
    std::optional<FontFile> file = FontMatcher::shared().matchSystemFont(name);
    if (!file) return nullptr;
    return fontWithFile(*file, size, Kind::System, name);
}

Ref<Font> Font::systemFontOfSize(float size) { return systemFont(kInterfaceFont, size); }

Ref<Font> Font::boldSystemFont(float size) { return systemFont(kBoldInterfaceFont, size); }

Ref<Font> Font::fontWithFile(const FontFile& file, float size, Kind kind, const std::string& name) {
    if (!usableSize(size)) {
        log("fonts: %s cannot be drawn at size %g", name.c_str(), double(size));
        return nullptr;
    }
    std::shared_ptr<FontFace> face;
    {
        auto guard = FontFaceCache::shared().lock();
        face = FontFaceCache::shared().face(file, size);
    }
    if (!face) return nullptr;
    Ref<Font> font = Ref<Font>::adopt(new Font);
    font->face_ = std::move(face);
    font->kind_ = kind;
    font->name_ = name;
    font->size_ = size;
    return font;
}

const FontFile& Font::file() const { return face_->file(); }
const std::string& Font::familyName() const { return face_->familyName(); }
const std::string& Font::styleName() const { return face_->styleName(); }
float Font::ascender() const { return face_->ascender(); }
float Font::descender() const { return face_->descender(); }
float Font::lineHeight() const { return face_->lineHeight(); }

CGSize Font::sizeOfString(const std::string& text) const {
    const float unbounded = std::numeric_limits<float>::infinity();
    const TextLayout layout(*this, text, CGSize{unbounded, unbounded}, kTextLineBreakModeClip, kTextAlignmentLeft);
    const CGSize used = layout.usedSize();
    return CGSize{std::ceil(used.width), std::ceil(used.height)};
}

std::string Font::description() const {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.1f", double(size_));
    return "<" + className() + " = " + addressString(this) + " | Name = " + name_ + ", Family = " + familyName() +
           ", Size = " + buf + ">";
}

}  // namespace host
