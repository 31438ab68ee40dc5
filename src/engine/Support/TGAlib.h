// A reader for uncompressed and run-length encoded true-colour and
// greyscale TGA images (types 2, 3 and 10), as tile maps use them.
#pragma once

#include <cstdio>

// sImageTGA status codes.
enum {
    TGA_OK = 0,
    TGA_ERROR_FILE_OPEN = 1,
    TGA_ERROR_READING_FILE = 2,
    TGA_ERROR_INDEXED_COLOR = 3,
    TGA_ERROR_MEMORY = 4,
    TGA_ERROR_UNSUPPORTED = 5,
};

// A loaded image; release it with tgaDestroy. imageData holds the rows
// bottom-up, pixelDepth / 8 bytes a pixel, colour pixels in R, G, B(, A)
// order.
struct sImageTGA {
    int status;
    unsigned char type, pixelDepth;
    short width, height;
    unsigned char* imageData;
    int flipped;
};
typedef sImageTGA tImageTGA;

// Images larger than this many bytes are refused.
constexpr unsigned long kTGAMaxImageBytes = 64ul << 20;
// Files larger than this are not read: the largest image run-length coded
// at its worst (a count byte per pixel), with room for header and footer.
constexpr unsigned long kTGAMaxFileBytes = 2 * kTGAMaxImageBytes + (64ul << 10);

// The steps of tgaLoad. The header step leaves the file at the pixels.
bool tgaLoadHeader(FILE* file, tImageTGA* info);
bool tgaLoadImageData(FILE* file, tImageTGA* info);
bool tgaLoadRLEImageData(FILE* file, tImageTGA* info);
// Turns a top-down image bottom-up and clears `flipped`.
void tgaFlipImage(tImageTGA* info);

// The record (check its status), or null if the record itself cannot be
// allocated.
tImageTGA* tgaLoad(const char* path);
void tgaDestroy(tImageTGA* info);
