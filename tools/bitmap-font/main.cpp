// make-bitmap-font FONT SIZE OUT [--characters TEXT]
//
// Writes OUT.fnt and OUT.png: the font's glyphs at SIZE pixels packed into
// one sheet, and their description with the font's kerning pairs, ready
// for CCLabelBMFont. Make a double-resolution variant with twice the size
// and OUT-hd.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "BitmapFontMaker.h"

namespace {

constexpr int kMinSize = 4, kMaxSize = 512;

void usage(FILE* to) {
    std::fprintf(to,
                 "usage: make-bitmap-font FONT SIZE OUT [--characters TEXT]\n"
                 "  FONT   a TrueType or OpenType font file\n"
                 "  SIZE   the em size in pixels (%d to %d)\n"
                 "  OUT    writes OUT.fnt and OUT.png\n"
                 "  --characters TEXT   the characters to include (UTF-8, up to U+07FF);\n"
                 "                      printable ASCII and Latin-1 by default\n",
                 kMinSize, kMaxSize);
}

}  // namespace

int main(int argc, char** argv) {
    bitmapfont::FontRequest request;
    int positional = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            usage(stdout);
            return 0;
        }
        if (arg == "--characters") {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "make-bitmap-font: --characters needs a value (see --help)\n");
                return 2;
            }
            request.characters = argv[++i];
            continue;
        }
        switch (positional++) {
            case 0: request.fontFile = arg; break;
            case 1: {
                char* end = nullptr;
                const long size = std::strtol(argv[i], &end, 10);
                if (end == argv[i] || *end != '\0' || size < kMinSize || size > kMaxSize) {
                    std::fprintf(stderr, "make-bitmap-font: SIZE must be a whole number from %d to %d, not '%s'\n",
                                 kMinSize, kMaxSize, argv[i]);
                    return 2;
                }
                request.pixelSize = int(size);
                break;
            }
            case 2: request.outPrefix = arg; break;
            default:
                std::fprintf(stderr, "make-bitmap-font: unexpected argument '%s' (see --help)\n", argv[i]);
                return 2;
        }
    }
    if (positional < 3) {
        usage(stderr);
        return 2;
    }

    bitmapfont::FontSummary summary;
    std::string error;
    if (!bitmapfont::makeBitmapFont(request, &summary, &error)) {
        std::fprintf(stderr, "make-bitmap-font: %s\n", error.c_str());
        return 1;
    }
    std::printf("make-bitmap-font: %s.fnt and %s.png: %d characters, %d kerning pairs, %d x %d sheet",
                request.outPrefix.c_str(), request.outPrefix.c_str(), summary.characters, summary.kerningPairs,
                summary.sheetWidth, summary.sheetHeight);
    if (summary.missing > 0) std::printf(" (%d characters are not in the font)", summary.missing);
    std::printf("\n");
    return 0;
}
