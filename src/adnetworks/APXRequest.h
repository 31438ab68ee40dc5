// One banner request of the Apex network and the network's protocol: how
// a request goes over HTTP and what an answer comes to.
//
//   GET <server>/banner?unit=<percent-escaped ad unit id>
//   User-Agent: Apex/1.0 (<device model>)
//   X-Apex-Test-Devices: <test device names, comma-separated>   (when any)
//
// A 200 answer whose body is a PNG or JPEG image (at most
// kHTTPMaxImageBytes) is an advert; its X-Click-URL header, when it holds
// an http or https URL, is where a tap on the advert leads. Anything else
// is a failure with an error of domain "Apex" (codes below).
// docs/advert-protocols.md describes the protocol for server writers.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/core/Error.h"
#include "host/core/Object.h"
#include "host/core/Ref.h"
#include "host/graphics/Image.h"
#include "host/net/HTTP.h"

constexpr const char* kAPXErrorDomain = "Apex";

enum APXErrorCode : long {
    kAPXErrorNoServer = 1,      // "No Apex server is configured"
    kAPXErrorNoAdUnit = 2,      // "No ad unit ID is set"
    kAPXErrorNetwork = 3,       // "The Apex server cannot be reached: <reason>"
    kAPXErrorServerStatus = 4,  // "The Apex server answered with status <status>"
    kAPXErrorNotAnImage = 5,    // "The Apex answer is not a PNG or JPEG image"
    kAPXErrorBadImage = 6,      // "The Apex advert image cannot be decoded"
};

// What one answer comes to: an advert (its image and link) or an error.
struct APXAnswer {
    host::Ref<host::Image> image;
    std::string clickURL;  // "" when the answer names no usable link
    host::Ref<host::Error> error;
    bool isAdvert() const { return image.get() != nullptr; }
};

class APXRequest : public host::Object {
public:
    bool init() { return true; }
    // An empty request, autoreleased.
    static APXRequest* request();

    // Device names the server treats as test devices (test adverts, no
    // billing). Names that cannot travel in the header (empty, with a
    // comma or a control character) are dropped with a log line.
    void setTestDevices(const std::vector<std::string>& devices);
    const std::vector<std::string>& testDevices() const { return testDevices_; }

    // The HTTP request for one banner of `adUnitID` from the server whose
    // base URL is `serverURL`.
    host::HTTPRequest httpRequest(const std::string& serverURL, const std::string& adUnitID) const;

    // Fetches one banner on a new background thread, the image decoded
    // there too so that a large advert never holds up a frame; `done`
    // runs on the main thread with the answer.
    void fetchBanner(const std::string& serverURL, const std::string& adUnitID,
                     std::function<void(const APXAnswer&)> done) const;

    // "Apex/1.0 (<device model>)".
    static std::string userAgent();
    // Reads a finished transfer, on any thread (the answer holds its own
    // references).
    static APXAnswer answerFromResponse(const host::HTTPResponse& response);
    // An error of the Apex domain, autoreleased.
    static host::Error* error(APXErrorCode code, const std::string& description);

private:
    std::vector<std::string> testDevices_;
};
