#include "host/net/HTTP.h"

#include <curl/curl.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <strings.h>
#include <thread>

#include "host/core/Log.h"
#include "host/core/Object.h"
#include "host/core/RunLoop.h"

namespace host {

namespace {

std::atomic<long> gConnectTimeoutMs{10000};
std::atomic<long> gTotalTimeoutMs{30000};

void initialiseCurlOnce() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool isWebURL(const std::string& url) {
    return strncasecmp(url.c_str(), "http://", 7) == 0 || strncasecmp(url.c_str(), "https://", 8) == 0;
}

struct Transfer {
    HTTPResponse* response;
    size_t maxBytes;
    bool overflowed = false;
};

size_t onBody(char* data, size_t size, size_t count, void* user) {
    auto* t = static_cast<Transfer*>(user);
    const size_t n = size * count;
    if (t->response->body.size() + n > t->maxBytes) {
        t->overflowed = true;
        return 0;  // aborts the transfer
    }
    t->response->body.append(data, n);
    return n;
}

size_t onHeader(char* data, size_t size, size_t count, void* user) {
    auto* t = static_cast<Transfer*>(user);
    const size_t n = size * count;
    std::string line(data, n);
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    // A new status line starts the headers of the next answer (redirects).
    if (line.compare(0, 5, "HTTP/") == 0) {
        t->response->headers.clear();
        return n;
    }
    const size_t colon = line.find(':');
    if (colon == std::string::npos) return n;
    size_t valueStart = colon + 1;
    while (valueStart < line.size() && line[valueStart] == ' ') ++valueStart;
    t->response->headers.emplace_back(line.substr(0, colon), line.substr(valueStart));
    return n;
}

struct CurlDeleter {
    void operator()(CURL* c) const { curl_easy_cleanup(c); }
};
struct SlistDeleter {
    void operator()(curl_slist* l) const { curl_slist_free_all(l); }
};

// Neither the request nor any redirect may leave http and https (file://,
// say). False when the library refuses the setting.
bool restrictToWebProtocols(CURL* c) {
#if LIBCURL_VERSION_NUM >= 0x075500  // 7.85: protocols named in a string
    return curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK &&
           curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") == CURLE_OK;
#else
    return curl_easy_setopt(c, CURLOPT_PROTOCOLS, long(CURLPROTO_HTTP | CURLPROTO_HTTPS)) == CURLE_OK &&
           curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS, long(CURLPROTO_HTTP | CURLPROTO_HTTPS)) == CURLE_OK;
#endif
}

}  // namespace

std::string HTTPResponse::header(const std::string& name) const {
    for (const auto& h : headers)
        if (strcasecmp(h.first.c_str(), name.c_str()) == 0) return h.second;
    return "";
}

void HTTP::setTimeouts(long connectMs, long totalMs) {
    gConnectTimeoutMs = connectMs;
    gTotalTimeoutMs = totalMs;
}

HTTPResponse HTTP::get(const HTTPRequest& request) {
    HTTPResponse response;
    if (!isWebURL(request.url)) {
        response.error = "not an http or https URL";
        return response;
    }
    initialiseCurlOnce();
    std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (!curl) {
        response.error = "cannot start a transfer";
        return response;
    }
    Transfer transfer{&response, request.maxBytes};
    std::unique_ptr<curl_slist, SlistDeleter> headers;
    for (const auto& h : request.headers) {
        const std::string line = h.first + ": " + h.second;
        curl_slist* grown = curl_slist_append(headers.get(), line.c_str());
        if (grown) {
            headers.release();
            headers.reset(grown);
        }
    }
    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, request.url.c_str());
    if (!restrictToWebProtocols(c)) {
        log("http: cannot restrict %s to http and https; not fetching it", request.url.c_str());
        response.error = "cannot restrict the protocols";
        return response;
    }
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, request.followRedirects ? 1L : 0L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, 10L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, gConnectTimeoutMs.load());
    curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, gTotalTimeoutMs.load());
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);  // time-outs without signals: safe on threads
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(c, CURLOPT_ACCEPT_ENCODING, "");
    if (!request.userAgent.empty()) curl_easy_setopt(c, CURLOPT_USERAGENT, request.userAgent.c_str());
    if (headers) curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(c, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(c, CURLOPT_HEADERDATA, &transfer);

    const CURLcode result = curl_easy_perform(c);
    curl_easy_getinfo(c, CURLINFO_RESPONSE_CODE, &response.status);
    if (!request.followRedirects) {
        char* location = nullptr;
        if (curl_easy_getinfo(c, CURLINFO_REDIRECT_URL, &location) == CURLE_OK && location)
            response.redirectLocation = location;
    }
    if (transfer.overflowed) {
        response.error = "answer larger than " + std::to_string(request.maxBytes) + " bytes";
        response.body.clear();
    } else if (result != CURLE_OK) {
        response.error = curl_easy_strerror(result);
        response.body.clear();
    } else {
        response.completed = true;
    }
    return response;
}

void HTTP::getAsync(HTTPRequest request, std::function<void(HTTPResponse)> done) {
    std::thread([request = std::move(request), done = std::move(done)]() mutable {
        AutoreleasePool pool;
        auto response = std::make_shared<HTTPResponse>(get(request));
        RunLoop::main().performOnMainThread([response, done] { done(std::move(*response)); }, false);
    }).detach();
}

PlistValue HTTP::downloadDictionary(const std::string& url) {
    HTTPRequest request;
    request.url = url;
    request.maxBytes = kHTTPMaxPropertyListBytes;
    const HTTPResponse response = get(request);
    if (!response.ok()) {
        log("http: %s: %s", url.c_str(),
            response.completed ? ("status " + std::to_string(response.status)).c_str() : response.error.c_str());
        return PlistValue();
    }
    std::string error;
    PlistValue value = PlistValue::parse(response.body.data(), response.body.size(), &error);
    if (!value.isDictionary()) {
        log("http: %s: %s", url.c_str(), value.isNone() ? error.c_str() : "not a dictionary");
        return PlistValue();
    }
    return value;
}

void HTTP::downloadDictionaryAsync(const std::string& url, std::function<void(PlistValue)> done) {
    std::thread([url, done = std::move(done)]() mutable {
        AutoreleasePool pool;
        auto value = std::make_shared<PlistValue>(downloadDictionary(url));
        RunLoop::main().performOnMainThread([value, done] { done(std::move(*value)); }, false);
    }).detach();
}

}  // namespace host
