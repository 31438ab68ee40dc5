// Markup of text adverts and browser pages: tokenizer, tree, styles and
// layout at a banner's width, with every image still loading.
#include <string>

#include "FuzzTarget.h"
#include "host/core/Object.h"
#include "host/web/HTMLDocument.h"
#include "host/web/HTMLLayout.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    host::AutoreleasePool pool;
    auto document = host::HTMLDocument::parse(std::string(reinterpret_cast<const char*>(data), size));
    if (document)
        (void)host::HTMLLayout::layout(*document, 320, [](size_t) { return host::HTMLLayout::ImageInfo{}; });
    return 0;
}
