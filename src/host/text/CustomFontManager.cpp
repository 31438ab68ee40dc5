#include "host/text/CustomFontManager.h"

#include <algorithm>
#include <filesystem>

#include "host/core/Bundle.h"
#include "host/core/Path.h"
#include "host/text/FontFace.h"
#include "host/text/TextRenderer.h"

namespace host {

namespace {
std::mutex gSharedLock;
Ref<CustomFontManager> gShared;

bool sameIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

bool isFontFileName(const std::string& name) {
    const std::string extension = path::extension(name);
    return sameIgnoringCase(extension, "ttf") || sameIgnoringCase(extension, "otf");
}

bool isRegularStyle(const std::string& style) {
    return style.empty() || sameIgnoringCase(style, "Regular") || sameIgnoringCase(style, "Roman") ||
           sameIgnoringCase(style, "Book") || sameIgnoringCase(style, "Normal");
}

// The font files directly inside `directory`, sorted by name.
std::vector<std::string> fontFilesIn(const std::string& directory) {
    namespace fs = std::filesystem;
    std::vector<std::string> files;
    std::error_code error;
    fs::directory_iterator it(directory, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (isFontFileName(name) && !it->is_directory(error)) files.push_back(name);
    }
    std::sort(files.begin(), files.end());
    return files;
}
}  // namespace

CustomFontManager* CustomFontManager::sharedManager() {
    std::lock_guard<std::mutex> guard(gSharedLock);
    if (!gShared) gShared = Ref<CustomFontManager>::adopt(createOwned<CustomFontManager>([](CustomFontManager* m) {
                      return m->init();
                  }));
    return gShared.get();
}

void CustomFontManager::purgeSharedManager() {
    std::lock_guard<std::mutex> guard(gSharedLock);
    gShared = nullptr;
}

std::string CustomFontManager::fontsDirectory() {
    return path::appendingComponent(Bundle::main().resourcePath(), "fonts");
}

bool CustomFontManager::init() { return initWithDirectory(fontsDirectory()); }

bool CustomFontManager::initWithDirectory(const std::string& directory) {
    entries_.clear();
    for (const std::string& fileName : fontFilesIn(directory)) {
        Entry entry;
        entry.file = FontFile{path::appendingComponent(directory, fileName), 0};
        FontFileInfo info;
        if (!FontFaceCache::shared().describe(entry.file.path, &info)) continue;
        entry.fileName = fileName;
        entry.stem = path::deletingExtension(fileName);
        entry.family = info.family;
        entry.style = info.style;
        entry.postscriptName = info.postscriptName;
        entries_.push_back(std::move(entry));
    }
    return true;
}

const CustomFontManager::Entry* CustomFontManager::find(const std::string& name) const {
    if (name.empty()) return nullptr;
    for (const Entry& e : entries_)
        if (sameIgnoringCase(name, e.fileName) || sameIgnoringCase(name, e.stem) ||
            sameIgnoringCase(name, e.postscriptName))
            return &e;
    const Entry* anyStyle = nullptr;
    for (const Entry& e : entries_) {
        if (!sameIgnoringCase(name, e.family)) continue;
        if (isRegularStyle(e.style)) return &e;
        if (!anyStyle) anyStyle = &e;
    }
    return anyStyle;
}

Ref<Font> CustomFontManager::fontWithName(const std::string& name, float pointSize) const {
    const Entry* entry = find(name);
    if (!entry) return nullptr;
    return Font::fontWithFile(entry->file, pointSize, Font::Kind::Custom, name);
}

CGSize CustomFontManager::sizeOfString(const std::string& text, const Font& font) const {
    return font.sizeOfString(text);
}

void CustomFontManager::drawString(const std::string& text, CGRect rect, const Font& font, int lineBreakMode,
                                   int alignment, const CoverageBitmap& target) const {
    drawText(font, text, rect, lineBreakMode, alignment, target);
}

std::vector<std::string> CustomFontManager::familyNames() const {
    std::vector<std::string> names;
    for (const Entry& e : entries_) names.push_back(e.family);
    return names;
}

}  // namespace host
