// Fetches a page's images in the background over host::HTTP and decodes
// them, a few at a time, within fixed limits: at most kMaxImages images a
// page, kHTTPMaxImageBytes each, and no image whose pixels (read from its
// header before decoding) exceed kMaxImagePixels or would take the page
// past kMaxPagePixels. Images that fail are logged (the first few of a
// page) and marked failed.
//
// Main thread only; each image is fetched and decoded on a thread of its
// own. Answers for an earlier page, or arriving after the loader is gone,
// are dropped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/core/Ref.h"
#include "host/graphics/Image.h"
#include "host/net/HTTP.h"

namespace host {

class WebImageLoader {
public:
    static constexpr size_t kMaxImages = 200;
    static constexpr size_t kMaxInFlight = 4;
    static constexpr uint64_t kMaxImagePixels = uint64_t(2048) * 2048;
    static constexpr uint64_t kMaxPagePixels = uint64_t(16) << 20;
    // Failures logged one by one for a page; the rest in one line.
    static constexpr int kLoggedFailures = 5;

    enum class State { None, Waiting, Loading, Loaded, Failed };

    // `changed(slot)` follows each image that arrives or fails; `idle()`
    // follows the end of the last fetch.
    WebImageLoader(std::function<void(size_t slot)> changed, std::function<void()> idle);
    ~WebImageLoader();
    WebImageLoader(const WebImageLoader&) = delete;
    WebImageLoader& operator=(const WebImageLoader&) = delete;

    // A new page of `slots` images: everything before is forgotten.
    void reset(size_t slots);
    // Queues a fetch of the slot's image (http and https only).
    void fetch(size_t slot, const std::string& url);
    // An image the page already has.
    void setImage(size_t slot, Image* image);
    // Drops every fetch not finished; their images count as failed.
    void cancel();

    bool isLoading() const { return inFlight_ > 0 || !queue_.empty(); }
    State state(size_t slot) const { return slot < slots_.size() ? slots_[slot].state : State::None; }
    Image* image(size_t slot) const { return slot < slots_.size() ? slots_[slot].image.get() : nullptr; }

    // The size a PNG or JPEG says it has, read from its header; false
    // when the bytes are neither.
    static bool imageDimensions(const std::string& bytes, uint32_t* width, uint32_t* height);

private:
    struct Slot {
        State state = State::None;
        Ref<Image> image;
    };
    struct Token {
        WebImageLoader* loader;
    };

    // What a fetch thread hands back: the answer, the size its header
    // gives, and the image when the answer passed the checks a thread can
    // make alone (the page's pixel budget is the main thread's).
    struct Fetched {
        HTTPResponse response;
        bool sized = false;
        uint32_t width = 0, height = 0;
        Ref<Image> image;
    };

    void startFetches();
    // On the fetch thread.
    static void decode(Fetched& fetched);
    void arrived(size_t slot, const std::string& url, const Fetched& fetched);
    void fail(size_t slot, const std::string& url, const std::string& why);

    std::function<void(size_t)> changed_;
    std::function<void()> idle_;
    std::vector<Slot> slots_;
    std::deque<std::pair<size_t, std::string>> queue_;
    size_t inFlight_ = 0;
    uint64_t pixels_ = 0;  // decoded so far for the page
    int failures_ = 0;
    bool refusedMore_ = false;
    unsigned long generation_ = 0;
    std::shared_ptr<Token> token_;
};

}  // namespace host
