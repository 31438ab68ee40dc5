#include "host/web/WebImageLoader.h"

#include <algorithm>
#include <thread>

#include "host/core/Log.h"
#include "host/core/Object.h"
#include "host/core/RunLoop.h"
#include "host/net/WebURL.h"

namespace host {

namespace {

uint32_t bigEndian32(const unsigned char* p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}
uint32_t bigEndian16(const unsigned char* p) { return (uint32_t(p[0]) << 8) | uint32_t(p[1]); }

}  // namespace

bool WebImageLoader::imageDimensions(const std::string& bytes, uint32_t* width, uint32_t* height) {
    const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t n = bytes.size();
    static const unsigned char kPNG[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (n >= 24 && std::equal(kPNG, kPNG + 8, b) && bytes.compare(12, 4, "IHDR") == 0) {
        *width = bigEndian32(b + 16);
        *height = bigEndian32(b + 20);
        return true;
    }
    if (n < 4 || b[0] != 0xFF || b[1] != 0xD8) return false;
    // JPEG: walk the segments to the first frame header.
    size_t i = 2;
    while (i + 4 <= n) {
        if (b[i] != 0xFF) return false;
        const unsigned char marker = b[i + 1];
        if (marker == 0xFF) {  // fill byte
            ++i;
            continue;
        }
        if (marker == 0xD8 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            i += 2;
            continue;
        }
        if (marker == 0xD9 || marker == 0xDA) return false;  // image data before any frame header
        const uint32_t length = bigEndian16(b + i + 2);
        const bool isFrame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (isFrame) {
            if (i + 9 > n) return false;
            *height = bigEndian16(b + i + 5);
            *width = bigEndian16(b + i + 7);
            return true;
        }
        if (length < 2) return false;
        i += 2 + length;
    }
    return false;
}

WebImageLoader::WebImageLoader(std::function<void(size_t)> changed, std::function<void()> idle)
    : changed_(std::move(changed)), idle_(std::move(idle)), token_(std::make_shared<Token>(Token{this})) {}

WebImageLoader::~WebImageLoader() = default;

void WebImageLoader::reset(size_t slots) {
    ++generation_;
    queue_.clear();
    inFlight_ = 0;
    pixels_ = 0;
    failures_ = 0;
    refusedMore_ = false;
    slots_.assign(slots, Slot{});
}

void WebImageLoader::cancel() {
    ++generation_;
    inFlight_ = 0;
    queue_.clear();
    for (Slot& s : slots_)
        if (s.state == State::Waiting || s.state == State::Loading) s.state = State::Failed;
}

void WebImageLoader::setImage(size_t slot, Image* image) {
    if (slot >= slots_.size()) return;
    slots_[slot].image = image;
    slots_[slot].state = image ? State::Loaded : State::Failed;
}

void WebImageLoader::fetch(size_t slot, const std::string& url) {
    if (slot >= slots_.size()) return;
    if (slot >= kMaxImages) {
        slots_[slot].state = State::Failed;
        if (!refusedMore_)
            log("web view: the page has more than %zu images; the others are not fetched", kMaxImages);
        refusedMore_ = true;
        return;
    }
    if (!WebURL::isWebURL(url)) {
        fail(slot, url, "not an http or https URL");
        return;
    }
    slots_[slot].state = State::Waiting;
    queue_.emplace_back(slot, url);
    startFetches();
}

void WebImageLoader::startFetches() {
    while (inFlight_ < kMaxInFlight && !queue_.empty()) {
        auto [slot, url] = std::move(queue_.front());
        queue_.pop_front();
        slots_[slot].state = State::Loading;
        ++inFlight_;
        HTTPRequest request;
        request.url = url;
        request.maxBytes = kHTTPMaxImageBytes;
        std::weak_ptr<Token> weak = token_;
        const unsigned long generation = generation_;
        // Fetched and decoded on a thread of its own, so that a page full
        // of pictures never stalls the main thread's frames.
        std::thread([request = std::move(request), weak, generation, slot = slot, url = url] {
            auto fetched = std::make_shared<Fetched>();
            {
                AutoreleasePool pool;  // the Ref keeps the image past its drain
                fetched->response = HTTP::get(request);
                decode(*fetched);
            }
            RunLoop::main().performOnMainThread(
                [fetched, weak, generation, slot, url] {
                    std::shared_ptr<Token> token = weak.lock();
                    if (!token || token->loader->generation_ != generation) return;
                    token->loader->arrived(slot, url, *fetched);
                },
                false);
        }).detach();
    }
}

void WebImageLoader::decode(Fetched& fetched) {
    if (!fetched.response.ok()) return;
    fetched.sized = imageDimensions(fetched.response.body, &fetched.width, &fetched.height);
    if (!fetched.sized || uint64_t(fetched.width) * fetched.height > kMaxImagePixels) return;
    fetched.image = Image::imageWithData(fetched.response.body.data(), fetched.response.body.size());
    fetched.response.body = std::string();  // the pixels are what is kept
}

void WebImageLoader::arrived(size_t slot, const std::string& url, const Fetched& fetched) {
    --inFlight_;
    const unsigned long generation = generation_;
    const HTTPResponse& response = fetched.response;
    const uint64_t pixels = uint64_t(fetched.width) * fetched.height;
    if (!response.ok()) {
        fail(slot, url, response.completed ? "status " + std::to_string(response.status) : response.error);
    } else if (!fetched.sized) {
        fail(slot, url, "not a PNG or JPEG image");
    } else if (pixels > kMaxImagePixels) {
        fail(slot, url, std::to_string(fetched.width) + " x " + std::to_string(fetched.height) + " pixels is too large");
    } else if (pixels_ + pixels > kMaxPagePixels) {
        fail(slot, url, "the page's images would take too much memory");
    } else if (fetched.image) {
        pixels_ += uint64_t(fetched.image->width()) * fetched.image->height();
        slots_[slot].image = fetched.image;
        slots_[slot].state = State::Loaded;
    } else {
        slots_[slot].state = State::Failed;  // the decoder said why
    }
    if (changed_) changed_(slot);
    if (generation != generation_) return;  // the page changed meanwhile
    startFetches();
    if (!isLoading() && idle_) idle_();
}

void WebImageLoader::fail(size_t slot, const std::string& url, const std::string& why) {
    slots_[slot].state = State::Failed;
    ++failures_;
    if (failures_ <= kLoggedFailures) log("web view: image %s: %s", url.c_str(), why.c_str());
    else if (failures_ == kLoggedFailures + 1) log("web view: more of the page's images failed");
}

}  // namespace host
