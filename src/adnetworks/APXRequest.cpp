#include "adnetworks/APXRequest.h"

#include <strings.h>

#include <cstring>
#include <memory>
#include <thread>

#include "adnetworks/MeridianEncoding.h"
#include "host/core/Device.h"
#include "host/core/Log.h"
#include "host/core/RunLoop.h"

namespace {

constexpr const char* kBannerPath = "/banner";
constexpr const char* kTestDevicesHeader = "X-Apex-Test-Devices";
constexpr const char* kClickURLHeader = "X-Click-URL";
// Longer links are not something an advert needs; they are refused.
constexpr size_t kMaxClickURLLength = 4096;

bool hasControlCharacter(const std::string& s) {
    for (unsigned char c : s)
        if (c < 0x20 || c == 0x7F) return true;
    return false;
}

bool startsWith(const std::string& s, const unsigned char* magic, size_t n) {
    return s.size() >= n && std::memcmp(s.data(), magic, n) == 0;
}

bool looksLikeImage(const std::string& body) {
    static const unsigned char kPNG[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    static const unsigned char kJPEG[] = {0xFF, 0xD8, 0xFF};
    return startsWith(body, kPNG, sizeof kPNG) || startsWith(body, kJPEG, sizeof kJPEG);
}

// The click URL the answer names, if it is a web link a tap may open.
std::string usableClickURL(const std::string& value) {
    if (value.empty()) return "";
    const bool web = strncasecmp(value.c_str(), "http://", 7) == 0 || strncasecmp(value.c_str(), "https://", 8) == 0;
    if (!web || value.size() > kMaxClickURLLength || hasControlCharacter(value) ||
        value.find(' ') != std::string::npos) {
        host::log("apex: ignoring the advert's click URL (not a usable http or https link)");
        return "";
    }
    return value;
}

}  // namespace

APXRequest* APXRequest::request() { return host::create<APXRequest>(); }

void APXRequest::setTestDevices(const std::vector<std::string>& devices) {
    testDevices_.clear();
    for (const std::string& d : devices) {
        if (d.empty() || d.find(',') != std::string::npos || hasControlCharacter(d)) {
            host::log("apex: dropping a test device name that cannot be sent");
            continue;
        }
        testDevices_.push_back(d);
    }
}

std::string APXRequest::userAgent() { return "Apex/1.0 (" + host::Device::current().model() + ")"; }

host::HTTPRequest APXRequest::httpRequest(const std::string& serverURL, const std::string& adUnitID) const {
    host::HTTPRequest r;
    r.url = serverURL + kBannerPath + "?unit=" + stringByUrlEncoding(adUnitID);
    r.userAgent = userAgent();
    r.maxBytes = host::kHTTPMaxImageBytes;
    if (!testDevices_.empty()) {
        std::string list;
        for (const std::string& d : testDevices_) list += (list.empty() ? "" : ",") + d;
        r.headers.emplace_back(kTestDevicesHeader, list);
    }
    return r;
}

void APXRequest::fetchBanner(const std::string& serverURL, const std::string& adUnitID,
                             std::function<void(const APXAnswer&)> done) const {
    std::thread([request = httpRequest(serverURL, adUnitID), done = std::move(done)] {
        host::AutoreleasePool pool;
        auto answer = std::make_shared<APXAnswer>(answerFromResponse(host::HTTP::get(request)));
        host::RunLoop::main().performOnMainThread([answer, done] { done(*answer); }, false);
    }).detach();
}

host::Error* APXRequest::error(APXErrorCode code, const std::string& description) {
    return host::Error::errorWithDomain(kAPXErrorDomain, code, description);
}

APXAnswer APXRequest::answerFromResponse(const host::HTTPResponse& response) {
    APXAnswer answer;
    if (!response.completed) {
        answer.error = error(kAPXErrorNetwork, "The Apex server cannot be reached: " + response.error);
    } else if (response.status != 200) {
        answer.error =
            error(kAPXErrorServerStatus, "The Apex server answered with status " + std::to_string(response.status));
    } else if (!looksLikeImage(response.body)) {
        answer.error = error(kAPXErrorNotAnImage, "The Apex answer is not a PNG or JPEG image");
    } else if (host::Image* image = host::Image::imageWithData(response.body.data(), response.body.size())) {
        answer.image = image;
        answer.clickURL = usableClickURL(response.header(kClickURLHeader));
    } else {
        answer.error = error(kAPXErrorBadImage, "The Apex advert image cannot be decoded");
    }
    return answer;
}
