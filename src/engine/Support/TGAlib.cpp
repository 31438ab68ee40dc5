#include "engine/Support/TGAlib.h"

#include <cstdlib>
#include <cstring>

#include "host/core/Log.h"
#include "host/core/SafeFileReader.h"

namespace {

constexpr unsigned char kTopLeftOrigin = 0x20;

bool readByte(FILE* f, unsigned char* v) { return std::fread(v, 1, 1, f) == 1; }

bool readLittleEndian16(FILE* f, unsigned short* v) {
    unsigned char b[2];
    if (std::fread(b, 1, 2, f) != 2) return false;
    *v = static_cast<unsigned short>(b[0] | b[1] << 8);
    return true;
}

bool skip(FILE* f, long count) { return count == 0 || std::fseek(f, count, SEEK_CUR) == 0; }

size_t bytesPerPixel(const tImageTGA* info) { return info->pixelDepth / 8u; }

size_t pixelCount(const tImageTGA* info) { return size_t(info->width) * size_t(info->height); }

// BGR(A) on disk to RGB(A).
void swapRedAndBlue(unsigned char* pixel) {
    const unsigned char t = pixel[0];
    pixel[0] = pixel[2];
    pixel[2] = t;
}

}  // namespace

bool tgaLoadHeader(FILE* file, tImageTGA* info) {
    unsigned char idLength, colorMapType, colorMapEntrySize, descriptor;
    unsigned short colorMapOrigin, colorMapLength, xOrigin, yOrigin, width, height;
    if (!readByte(file, &idLength) || !readByte(file, &colorMapType) || !readByte(file, &info->type) ||
        !readLittleEndian16(file, &colorMapOrigin) || !readLittleEndian16(file, &colorMapLength) ||
        !readByte(file, &colorMapEntrySize) || !readLittleEndian16(file, &xOrigin) ||
        !readLittleEndian16(file, &yOrigin) || !readLittleEndian16(file, &width) ||
        !readLittleEndian16(file, &height) || !readByte(file, &info->pixelDepth) || !readByte(file, &descriptor))
        return false;
    // Sizes above 32767 do not fit the record and come out negative,
    // which the loader refuses.
    info->width = static_cast<short>(width);
    info->height = static_cast<short>(height);
    info->flipped = (descriptor & kTopLeftOrigin) ? 1 : 0;
    // The pixels follow the image ID and any colour map.
    const long colorMapBytes = colorMapType ? long(colorMapLength) * ((colorMapEntrySize + 7) / 8) : 0;
    return skip(file, long(idLength) + colorMapBytes);
}

bool tgaLoadImageData(FILE* file, tImageTGA* info) {
    const size_t bpp = bytesPerPixel(info), total = pixelCount(info) * bpp;
    if (std::fread(info->imageData, 1, total, file) != total) return false;
    if (bpp >= 3)
        for (size_t i = 0; i < total; i += bpp) swapRedAndBlue(info->imageData + i);
    return true;
}

bool tgaLoadRLEImageData(FILE* file, tImageTGA* info) {
    const size_t bpp = bytesPerPixel(info), total = pixelCount(info);
    unsigned char pixel[4] = {0, 0, 0, 0};
    unsigned runLeft = 0;
    bool repeating = false;
    for (size_t i = 0; i < total; ++i) {
        bool readPixel = true;
        if (runLeft > 0) {
            --runLeft;
            readPixel = !repeating;
        } else {
            unsigned char count;
            if (!readByte(file, &count)) return false;  // the data end before the image does
            repeating = (count & 0x80) != 0;
            runLeft = repeating ? count - 128u : count;
        }
        if (readPixel) {
            if (std::fread(pixel, 1, bpp, file) != bpp) return false;
            if (bpp >= 3) swapRedAndBlue(pixel);
        }
        std::memcpy(info->imageData + i * bpp, pixel, bpp);
    }
    return true;
}

void tgaFlipImage(tImageTGA* info) {
    const size_t rowSize = size_t(info->width) * bytesPerPixel(info);
    auto* row = static_cast<unsigned char*>(std::malloc(rowSize));
    if (!row) return;
    for (int y = 0; y < info->height / 2; ++y) {
        unsigned char* top = info->imageData + size_t(y) * rowSize;
        unsigned char* bottom = info->imageData + size_t(info->height - 1 - y) * rowSize;
        std::memcpy(row, top, rowSize);
        std::memcpy(top, bottom, rowSize);
        std::memcpy(bottom, row, rowSize);
    }
    std::free(row);
    info->flipped = 0;
}

tImageTGA* tgaLoad(const char* path) {
    auto* info = static_cast<tImageTGA*>(std::calloc(1, sizeof(tImageTGA)));
    if (!info) return nullptr;
    host::SafeFileReader reader(path ? path : "", kTGAMaxFileBytes);
    host::SafeFileReader::Stream stream = reader.releaseAsStream();
    if (!stream) {
        host::log("TGA: %s", reader.error().c_str());
        info->status = TGA_ERROR_FILE_OPEN;
        return info;
    }
    FILE* file = stream.get();
    auto fail = [&](int status, const char* why) {
        host::log("TGA: cannot load %s: %s", path, why);
        info->status = status;
        return info;
    };
    if (!tgaLoadHeader(file, info)) return fail(TGA_ERROR_READING_FILE, "the header is truncated");
    if (info->type == 1) return fail(TGA_ERROR_INDEXED_COLOR, "colour-mapped images are not supported");
    if (info->type != 2 && info->type != 3 && info->type != 10)
        return fail(TGA_ERROR_UNSUPPORTED, "unsupported image type");
    if (info->pixelDepth == 0 || info->pixelDepth > 32 || info->pixelDepth % 8 != 0)
        return fail(TGA_ERROR_UNSUPPORTED, "unsupported pixel depth");
    if (info->width <= 0 || info->height <= 0) return fail(TGA_ERROR_UNSUPPORTED, "bad image size");
    if (pixelCount(info) * bytesPerPixel(info) > kTGAMaxImageBytes)
        return fail(TGA_ERROR_MEMORY, "the image is too large");
    // Zeroed, so nothing uninitialised is ever handed out.
    info->imageData = static_cast<unsigned char*>(std::calloc(pixelCount(info), bytesPerPixel(info)));
    if (!info->imageData) return fail(TGA_ERROR_MEMORY, "out of memory");
    const bool loaded = info->type == 10 ? tgaLoadRLEImageData(file, info) : tgaLoadImageData(file, info);
    if (!loaded) return fail(TGA_ERROR_READING_FILE, "the pixel data are truncated");
    stream.reset();
    info->status = TGA_OK;
    if (info->flipped) {
        tgaFlipImage(info);
        if (info->flipped) info->status = TGA_ERROR_MEMORY;
    }
    return info;
}

void tgaDestroy(tImageTGA* info) {
    if (!info) return;
    std::free(info->imageData);
    std::free(info);
}
