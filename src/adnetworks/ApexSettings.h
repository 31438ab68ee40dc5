// Where the Apex client asks for banners: the base URL given with
// --apex-server (an http or https URL), or none. With none, every banner
// attempt fails on the next main-loop turn, as with no network.
//
// Set once at launch and read on the main thread.
#pragma once

#include <string>

class ApexSettings {
public:
    static ApexSettings& shared();

    // A trailing '/' is dropped so that paths can be appended; "" clears.
    void setServerURL(const std::string& url);
    const std::string& serverURL() const { return serverURL_; }
    bool hasServer() const { return !serverURL_.empty(); }

private:
    std::string serverURL_;
};
