#include "host/graphics/Image.h"

// jpeglib.h needs FILE and size_t declared first.
#include <cstdio>
#include <jpeglib.h>
#include <png.h>

#include <csetjmp>
#include <cstring>
#include <iterator>
#include <new>

#include "host/core/Log.h"
#include "host/core/SafeFileReader.h"

namespace host {

namespace {

// ---- PNG -----------------------------------------------------------------

// libpng reports errors through these; the message is kept for the log
// line and control returns to the setjmp point of the caller.
struct PNGErrorState {
    char message[200] = "";
};

void pngError(png_structp png, png_const_charp message) {
    auto* state = static_cast<PNGErrorState*>(png_get_error_ptr(png));
    std::snprintf(state->message, sizeof state->message, "%s", message);
    png_longjmp(png, 1);
}

void pngIgnoreWarning(png_structp, png_const_charp) {}

struct PNGSource {
    const uint8_t* data;
    size_t size;
    size_t offset;
};

void pngReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
    auto* source = static_cast<PNGSource*>(png_get_io_ptr(png));
    if (source->size - source->offset < count) png_error(png, "truncated data");
    std::memcpy(out, source->data + source->offset, count);
    source->offset += count;
}

void pngWriteToVector(png_structp png, png_bytep data, png_size_t count) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    bool stored = true;
    try {
        out->insert(out->end(), data, data + count);
    } catch (const std::bad_alloc&) {
        stored = false;
    }
    // Never longjmp out of a catch block.
    if (!stored) png_error(png, "out of memory");
}

void pngFlushNothing(png_structp) {}

struct DecodedPixels {
    std::vector<uint8_t> pixels;
    std::vector<uint8_t*> rows;
    uint32_t width = 0, height = 0;
    int channels = 0;
    unsigned bitsPerComponent = 0;
};

// Only plain values live in this frame across setjmp; the containers
// belong to the caller, so a longjmp out of libpng skips no destructor.
bool readPNG(const uint8_t* bytes, size_t length, DecodedPixels* out, PNGErrorState* error) {
    PNGSource source{bytes, length, 0};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, error, pngError, pngIgnoreWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::snprintf(error->message, sizeof error->message, "out of memory");
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return false;
    }
    png_set_user_limits(png, Image::kMaxSide, Image::kMaxSide);
    png_set_read_fn(png, &source, pngReadFromMemory);
    png_read_info(png, info);

    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const int bitDepth = png_get_bit_depth(png, info);
    const int colorType = png_get_color_type(png, info);
    if (!imageSizeAcceptable(width, height)) png_error(png, "image too large");

    // Everything becomes 8-bit RGB or RGBA: a grey picture has a colour
    // space (grey), so it is not a mask.
    const bool transparentKey = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    if (colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (colorType == PNG_COLOR_TYPE_GRAY && bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (transparentKey) png_set_tRNS_to_alpha(png);
    if (bitDepth == 16) png_set_strip_16(png);
    if ((colorType & PNG_COLOR_MASK_COLOR) == 0) png_set_gray_to_rgb(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);

    const int channels = png_get_channels(png, info);
    if ((channels != 1 && channels != 3 && channels != 4) ||
        png_get_rowbytes(png, info) != size_t(width) * size_t(channels))
        png_error(png, "unsupported pixel layout");
    bool allocated = true;
    try {
        out->pixels.assign(size_t(width) * height * size_t(channels), 0);
        out->rows.resize(height);
    } catch (const std::bad_alloc&) {
        allocated = false;
    }
    if (!allocated) png_error(png, "out of memory");
    for (png_uint_32 y = 0; y < height; ++y) out->rows[y] = out->pixels.data() + size_t(y) * width * size_t(channels);
    png_read_image(png, out->rows.data());
    png_destroy_read_struct(&png, &info, nullptr);
    out->width = width;
    out->height = height;
    out->channels = channels;
    out->bitsPerComponent = unsigned(bitDepth);
    return true;
}

// ---- JPEG ----------------------------------------------------------------

struct JPEGErrorState {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    int warnings;
};

void jpegErrorExit(j_common_ptr cinfo) {
    auto* state = reinterpret_cast<JPEGErrorState*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, state->message);
    std::longjmp(state->jump, 1);
}

// Warnings mean corrupt or truncated data; the first one is kept.
void jpegEmitMessage(j_common_ptr cinfo, int level) {
    if (level >= 0) return;
    auto* state = reinterpret_cast<JPEGErrorState*>(cinfo->err);
    if (state->warnings++ == 0) (*cinfo->err->format_message)(cinfo, state->message);
}

void jpegOutputNothing(j_common_ptr) {}

void installJPEGErrorHandlers(JPEGErrorState* state) {
    jpeg_std_error(&state->manager);
    state->manager.error_exit = jpegErrorExit;
    state->manager.emit_message = jpegEmitMessage;
    state->manager.output_message = jpegOutputNothing;
    state->message[0] = '\0';
    state->warnings = 0;
}

// CMYK rows (Adobe files store them inverted) to RGB.
void cmykToRGB(const uint8_t* cmyk, uint8_t* rgb, uint32_t count, bool inverted) {
    for (uint32_t i = 0; i < count; ++i, cmyk += 4, rgb += 3) {
        unsigned k = inverted ? cmyk[3] : 255u - cmyk[3];
        for (int c = 0; c < 3; ++c) {
            unsigned v = inverted ? cmyk[c] : 255u - cmyk[c];
            rgb[c] = uint8_t((v * k + 127) / 255);
        }
    }
}

// As readPNG: the containers are the caller's, the frame holds plain data.
bool readJPEG(const uint8_t* bytes, size_t length, DecodedPixels* out, JPEGErrorState* error,
              std::vector<uint8_t>* cmykRow) {
    jpeg_decompress_struct cinfo;
    cinfo.err = &error->manager;
    installJPEGErrorHandlers(error);
    if (setjmp(error->jump)) {
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, bytes, static_cast<unsigned long>(length));
    jpeg_read_header(&cinfo, TRUE);
    if (!imageSizeAcceptable(cinfo.image_width, cinfo.image_height)) {
        std::snprintf(error->message, sizeof error->message, "image too large");
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    // Grey pictures too come out as RGB: they are pictures, not masks.
    const int channels = 3;
    cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&cinfo);
    const uint32_t width = cinfo.output_width, height = cinfo.output_height;
    try {
        out->pixels.assign(size_t(width) * height * size_t(channels), 0);
        if (cmyk) cmykRow->resize(size_t(width) * 4);
    } catch (const std::bad_alloc&) {
        std::snprintf(error->message, sizeof error->message, "out of memory");
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    while (cinfo.output_scanline < height) {
        uint8_t* row = out->pixels.data() + size_t(cinfo.output_scanline) * width * size_t(channels);
        JSAMPROW target = cmyk ? cmykRow->data() : row;
        if (jpeg_read_scanlines(&cinfo, &target, 1) != 1) break;
        if (cmyk) cmykToRGB(cmykRow->data(), row, width, cinfo.saw_Adobe_marker);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    if (error->warnings > 0) return false;
    out->width = width;
    out->height = height;
    out->channels = channels;
    out->bitsPerComponent = 8;
    return true;
}

bool writeJPEG(const uint8_t* pixels, uint32_t width, uint32_t height, int channels, int quality,
               std::vector<uint8_t>* out, JPEGErrorState* error, std::vector<uint8_t>* rgbRow) {
    jpeg_compress_struct cinfo;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    cinfo.err = &error->manager;
    installJPEGErrorHandlers(error);
    if (setjmp(error->jump)) {
        jpeg_destroy_compress(&cinfo);
        std::free(buffer);
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = width;
    cinfo.image_height = height;
    cinfo.input_components = channels == 1 ? 1 : 3;
    cinfo.in_color_space = channels == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < height) {
        const uint8_t* row = pixels + size_t(cinfo.next_scanline) * width * size_t(channels);
        if (channels == 4) {  // JPEG has no alpha: keep the colour only
            for (uint32_t x = 0; x < width; ++x) std::memcpy(rgbRow->data() + x * 3, row + x * 4, 3);
            row = rgbRow->data();
        }
        JSAMPROW rowPointer = const_cast<JSAMPROW>(row);
        jpeg_write_scanlines(&cinfo, &rowPointer, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    bool ok = true;
    try {
        out->assign(buffer, buffer + size);
    } catch (const std::bad_alloc&) {
        ok = false;
    }
    std::free(buffer);
    return ok;
}

bool isPNG(const uint8_t* b, size_t n) { return n >= 8 && png_sig_cmp(b, 0, 8) == 0; }
bool isJPEG(const uint8_t* b, size_t n) { return n >= 3 && b[0] == 0xFF && b[1] == 0xD8 && b[2] == 0xFF; }

uint8_t premultiply(unsigned c, unsigned a) { return uint8_t((c * a + 127) / 255); }

}  // namespace

bool imageSizeAcceptable(uint64_t width, uint64_t height) {
    return width > 0 && height > 0 && width <= Image::kMaxSide && height <= Image::kMaxSide &&
           width * height <= Image::kMaxPixels;
}

bool encodePNG(const uint8_t* pixels, uint32_t width, uint32_t height, int channels, std::vector<uint8_t>* out) {
    const int colorType = channels == 4 ? PNG_COLOR_TYPE_RGBA : channels == 3 ? PNG_COLOR_TYPE_RGB
                                                                               : PNG_COLOR_TYPE_GRAY;
    PNGErrorState error;
    out->clear();
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &error, pngError, pngIgnoreWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        log("image: cannot encode PNG: %s", error.message[0] ? error.message : "out of memory");
        return false;
    }
    png_set_write_fn(png, out, pngWriteToVector, pngFlushNothing);
    png_set_IHDR(png, info, width, height, 8, colorType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (uint32_t y = 0; y < height; ++y)
        png_write_row(png, const_cast<png_bytep>(pixels + size_t(y) * width * size_t(channels)));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

Image* Image::imageWithContentsOfFile(const std::string& path) {
    return create<Image>([&](Image* i) { return i->initWithContentsOfFile(path); });
}

Image* Image::imageWithData(const void* bytes, size_t length) {
    return create<Image>([&](Image* i) { return i->initWithData(bytes, length); });
}

Image* Image::imageWithPixels(const void* pixels, uint32_t width, uint32_t height, int channels) {
    return create<Image>([&](Image* i) { return i->initWithPixels(pixels, width, height, channels); });
}

bool Image::initWithContentsOfFile(const std::string& path) {
    origin_ = path;
    std::vector<uint8_t> bytes;
    std::string error;
    if (!SafeFileReader::readFile(path, kMaxFileBytes, bytes, &error)) {
        log("image: %s", error.c_str());
        return false;
    }
    return initWithData(bytes.data(), bytes.size());
}

bool Image::initWithData(const void* bytes, size_t length) {
    if (origin_.empty()) origin_ = "image data";
    const auto* b = static_cast<const uint8_t*>(bytes);
    if (b && isPNG(b, length)) return decodePNG(b, length);
    if (b && isJPEG(b, length)) return decodeJPEG(b, length);
    log("image: %s is neither PNG nor JPEG", origin_.c_str());
    return false;
}

bool Image::initWithPixels(const void* pixels, uint32_t width, uint32_t height, int channels) {
    if (!pixels || (channels != 1 && channels != 3 && channels != 4) || !imageSizeAcceptable(width, height))
        return false;
    const auto* p = static_cast<const uint8_t*>(pixels);
    adopt(std::vector<uint8_t>(p, p + size_t(width) * height * size_t(channels)), width, height, channels, 8);
    return true;
}

bool Image::decodePNG(const uint8_t* bytes, size_t length) {
    DecodedPixels decoded;
    PNGErrorState error;
    if (!readPNG(bytes, length, &decoded, &error)) {
        log("image: cannot decode PNG %s: %s", origin_.c_str(), error.message);
        return false;
    }
    adopt(std::move(decoded.pixels), decoded.width, decoded.height, decoded.channels, decoded.bitsPerComponent);
    return true;
}

bool Image::decodeJPEG(const uint8_t* bytes, size_t length) {
    DecodedPixels decoded;
    JPEGErrorState error;
    std::vector<uint8_t> cmykRow;
    if (!readJPEG(bytes, length, &decoded, &error, &cmykRow)) {
        log("image: cannot decode JPEG %s: %s", origin_.c_str(), error.message);
        return false;
    }
    adopt(std::move(decoded.pixels), decoded.width, decoded.height, decoded.channels, decoded.bitsPerComponent);
    return true;
}

void Image::adopt(std::vector<uint8_t>&& pixels, uint32_t w, uint32_t h, int channels, unsigned bpc) {
    pixels_ = std::move(pixels);
    width_ = w;
    height_ = h;
    channels_ = channels;
    bitsPerComponent_ = bpc;
    alphaInfo_ = channels == 4 ? kAlphaLast : kAlphaNone;
}

void Image::drawInto(uint8_t* buffer, uint32_t bufferWidth, DrawMode mode) const {
    const size_t bytesPerPixel = mode == DrawMode::AlphaOnly ? 1 : 4;
    for (uint32_t y = 0; y < height_; ++y) {
        const uint8_t* src = pixels_.data() + size_t(y) * width_ * size_t(channels_);
        uint8_t* dst = buffer + size_t(y) * bufferWidth * bytesPerPixel;
        for (uint32_t x = 0; x < width_; ++x, src += channels_, dst += bytesPerPixel) {
            // A mask paints its coverage in black, the default fill colour.
            const unsigned a = channels_ == 4 ? src[3] : channels_ == 1 ? src[0] : 255u;
            const unsigned r = channels_ == 1 ? 0u : src[0];
            const unsigned g = channels_ == 1 ? 0u : src[1];
            const unsigned b = channels_ == 1 ? 0u : src[2];
            switch (mode) {
                case DrawMode::AlphaOnly: dst[0] = uint8_t(a); break;
                case DrawMode::RGBAPremultiplied:
                    dst[0] = premultiply(r, a);
                    dst[1] = premultiply(g, a);
                    dst[2] = premultiply(b, a);
                    dst[3] = uint8_t(a);
                    break;
                case DrawMode::RGBSkipAlpha:  // composited over the cleared (black) bitmap
                    dst[0] = premultiply(r, a);
                    dst[1] = premultiply(g, a);
                    dst[2] = premultiply(b, a);
                    dst[3] = 0xFF;
                    break;
            }
        }
    }
}

bool Image::PNGRepresentation(std::vector<uint8_t>* out) const {
    if (!hasBitmap()) return false;
    return encodePNG(pixels_.data(), width_, height_, channels_, out);
}

bool Image::JPEGRepresentation(int quality, std::vector<uint8_t>* out) const {
    if (!hasBitmap()) return false;
    JPEGErrorState error;
    std::vector<uint8_t> rgbRow(size_t(width_) * 3);
    if (!writeJPEG(pixels_.data(), width_, height_, channels_, quality, out, &error, &rgbRow)) {
        log("image: cannot encode JPEG: %s", error.message);
        return false;
    }
    return true;
}

}  // namespace host
