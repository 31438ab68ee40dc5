// Bitmap-font descriptions shipped with a game or made by generator tools:
// the text format's parser, and the lookups a label makes afterwards.
#include <string>

#include "FuzzTarget.h"
#include "engine/CCBMFontConfiguration.h"
#include "host/core/Object.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    host::AutoreleasePool pool;
    const std::string text(reinterpret_cast<const char*>(data), size);
    CCBMFontConfiguration* font = CCBMFontConfiguration::configurationWithContents(text, "fuzz/font.fnt");
    if (!font) return 0;
    // Every definition and a kerning lookup are read, as a label would.
    long sum = font->commonHeight() + long(font->kerningAmount('A', 'V'));
    for (uint32_t c = 0; c < kCCBMFontMaxChars + 2; ++c) sum += font->definitionFor(c).xAdvance;
    volatile long sink = sum + long(font->description().size());
    (void)sink;
    return 0;
}
