// HTTP for the advert and promotion code, on libcurl.
//
// Only http and https URLs are fetched. Every request has a connection
// and a total time-out and a cap on the answer's size: an answer that runs
// over the cap is cut off and counts as a failure. TLS certificates are
// verified.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "host/data/PlistValue.h"

namespace host {

struct HTTPRequest {
    std::string url;
    std::vector<std::pair<std::string, std::string>> headers;
    std::string userAgent;
    bool followRedirects = true;
    size_t maxBytes = size_t(1) << 20;
};

struct HTTPResponse {
    bool completed = false;  // an answer arrived whole (any status)
    long status = 0;
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    std::string error;             // why it did not complete
    std::string redirectLocation;  // where a redirect would go, if not followed

    bool ok() const { return completed && status >= 200 && status < 300; }
    // The first header of that name, compared without case; "" if none.
    std::string header(const std::string& name) const;
};

// Size caps by kind of answer.
constexpr size_t kHTTPMaxPropertyListBytes = size_t(1) << 20;
constexpr size_t kHTTPMaxImageBytes = size_t(4) << 20;

class HTTP {
public:
    // Blocking; call it from a background thread.
    static HTTPResponse get(const HTTPRequest& request);
    // On a new background thread; `done` runs on the main thread.
    static void getAsync(HTTPRequest request, std::function<void(HTTPResponse)> done);

    // A property list whose top level is a dictionary, or none on any
    // failure (one log line says which).
    static PlistValue downloadDictionary(const std::string& url);
    static void downloadDictionaryAsync(const std::string& url, std::function<void(PlistValue)> done);

    // Time-outs in milliseconds: 10 s to connect and 30 s in all by default.
    static void setTimeouts(long connectMs, long totalMs);
};

}  // namespace host
