// Follows a link just far enough to learn where it leads: a redirection is
// reported with its target and the connection ends there; an answer that
// is no redirection is reported with its bytes, MIME type and encoding.
//
// The checker keeps itself alive until its connection ends one way or the
// other (the fetch runs in the background; every callback comes on the
// main thread). Its delegate is not retained: one that goes away before
// the end calls cancel() or setDelegate(nullptr).
#pragma once

#include <string>

#include "host/core/Error.h"
#include "host/core/Object.h"
#include "host/net/HTTP.h"

class RedirectChecker;

class RedirectCheckerDelegate {
public:
    enum : unsigned { kDidFail = 1 };
    virtual ~RedirectCheckerDelegate() = default;
    // Which optional methods this delegate answers (only the failure is).
    virtual unsigned redirectCheckerDelegateMethods() const { return kDidFail; }
    virtual void checkerDetectedRedirectionTo(RedirectChecker* checker, const std::string& url) = 0;
    virtual void checkerDidFinishWithData(RedirectChecker* checker, const std::string& data) = 0;
    virtual void checkerDidFailWithError(RedirectChecker*, host::Error*) {}
};

class RedirectChecker : public host::Object {
public:
    // Answers bigger than this count as failures.
    static constexpr size_t kMaxAnswerBytes = size_t(4) << 20;

    // Starts the check at once.
    bool initWithURL(const std::string& url, const std::string& userAgent, RedirectCheckerDelegate* delegate);

    RedirectCheckerDelegate* delegate() const { return _delegate; }
    void setDelegate(RedirectCheckerDelegate* d) { _delegate = d; }
    // Nothing more reaches the delegate.
    void cancel() { _delegate = nullptr; }

    const std::string& url() const { return url_; }
    const std::string& receivedData() const { return receivedData_; }
    const std::string& mimeType() const { return mimeType_; }
    const std::string& textEncodingName() const { return textEncodingName_; }

private:
    void connectionEnded(const host::HTTPResponse& response);

    RedirectCheckerDelegate* _delegate = nullptr;
    std::string url_;
    std::string receivedData_;
    std::string mimeType_;
    std::string textEncodingName_;
};

// Splits a Content-Type value into its MIME type (lower case) and the
// name of its charset parameter ("" when none).
void parseContentType(const std::string& contentType, std::string* mimeType, std::string* textEncodingName);
