#include "host/display/WindowIcon.h"

#include <SDL2/SDL.h>

#include <vector>

#include "host/core/Log.h"
#include "host/display/Display.h"
#include "host/graphics/Image.h"

namespace host {

bool setWindowIcon(const std::string& pngPath) {
    SDL_Window* window = Display::shared().window();
    if (!window) return false;
    AutoreleasePool pool;
    // The image loader logs what was wrong with the file.
    Image* image = Image::imageWithContentsOfFile(pngPath);
    if (!image) return false;
    // Straight RGBA, whatever the file held.
    const uint32_t w = image->width(), h = image->height();
    const int channels = image->channels();
    const std::vector<uint8_t>& src = image->pixels();
    std::vector<uint8_t> rgba(size_t(w) * h * 4);
    for (size_t i = 0; i < size_t(w) * h; ++i) {
        const uint8_t* p = &src[i * static_cast<size_t>(channels)];
        uint8_t* q = &rgba[i * 4];
        if (channels >= 3) {
            q[0] = p[0], q[1] = p[1], q[2] = p[2];
            q[3] = channels == 4 ? p[3] : 255;
        } else {
            q[0] = q[1] = q[2] = 255;
            q[3] = p[0];
        }
    }
    SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(rgba.data(), static_cast<int>(w), static_cast<int>(h),
                                                              32, static_cast<int>(w * 4), SDL_PIXELFORMAT_RGBA32);
    if (!surface) {
        log("window icon: %s", SDL_GetError());
        return false;
    }
    SDL_SetWindowIcon(window, surface);
    SDL_FreeSurface(surface);
    return true;
}

}  // namespace host
