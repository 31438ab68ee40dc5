// Links from adverts and pages: resolution against a base, the parts the
// banner reads, and Base64 text. The input is "base\nreference".
#include <string>

#include "FuzzTarget.h"
#include "adnetworks/MeridianEncoding.h"
#include "host/net/WebURL.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t newline = input.find('\n');
    const std::string base = input.substr(0, newline);
    const std::string reference = newline == std::string::npos ? std::string() : input.substr(newline + 1);
    (void)host::WebURL::resolve(base, reference);
    (void)host::WebURL::scheme(reference);
    (void)parseURLComponents(input);
    (void)isDeviceSupported(reference);
    (void)dataFromBase64String(input);
    (void)stringByUrlEncoding(input);
    return 0;
}
