#include "adnetworks/RedirectChecker.h"

#include <cctype>

#include "host/core/Log.h"
#include "host/net/HTTP.h"
#include "host/net/WebStrings.h"

namespace {

std::string trimmed(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) --e;
    return s.substr(b, e - b);
}

}  // namespace

void parseContentType(const std::string& contentType, std::string* mimeType, std::string* textEncodingName) {
    const size_t semicolon = contentType.find(';');
    *mimeType = host::lowerTrimmed(contentType.substr(0, semicolon));
    textEncodingName->clear();
    size_t pos = semicolon;
    while (pos != std::string::npos) {
        const size_t next = contentType.find(';', pos + 1);
        const std::string param = trimmed(contentType.substr(pos + 1, next == std::string::npos ? next : next - pos - 1));
        const size_t eq = param.find('=');
        if (eq != std::string::npos && host::lowerTrimmed(param.substr(0, eq)) == "charset") {
            std::string value = trimmed(param.substr(eq + 1));
            if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
            *textEncodingName = host::lowerTrimmed(value);
        }
        pos = next;
    }
}

bool RedirectChecker::initWithURL(const std::string& url, const std::string& userAgent,
                                  RedirectCheckerDelegate* delegate) {
    url_ = url;
    _delegate = delegate;
    host::HTTPRequest request;
    request.url = url;
    if (!userAgent.empty()) request.headers = {{"User-Agent", userAgent}};
    // A redirection ends the check: it is reported, not followed.
    request.followRedirects = false;
    request.maxBytes = kMaxAnswerBytes;
    retain();  // the extra reference that keeps the checker alive until the end
    host::HTTP::getAsync(request, [this](host::HTTPResponse response) { connectionEnded(response); });
    return true;
}

void RedirectChecker::connectionEnded(const host::HTTPResponse& response) {
    const bool redirected = response.completed && response.status >= 300 && response.status < 400 &&
                            !response.redirectLocation.empty();
    if (redirected) {
        if (_delegate) _delegate->checkerDetectedRedirectionTo(this, response.redirectLocation);
    } else if (response.completed) {
        parseContentType(response.header("Content-Type"), &mimeType_, &textEncodingName_);
        receivedData_ = response.body;
        if (_delegate) _delegate->checkerDidFinishWithData(this, receivedData_);
    } else {
        host::log("Meridian: cannot check the link %s: %s", url_.c_str(), response.error.c_str());
        if (_delegate && (_delegate->redirectCheckerDelegateMethods() & RedirectCheckerDelegate::kDidFail))
            _delegate->checkerDidFailWithError(this, host::Error::errorWithDomain("Meridian", -1, response.error));
    }
    release();
}
