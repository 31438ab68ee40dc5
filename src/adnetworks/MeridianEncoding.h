// Small helpers of the Meridian client: escaping request values, the MD5
// device key, Base64 for the embedded close image, the parts of a URL and
// which links the device handles itself.
#pragma once

#include <optional>
#include <string>

// Percent-escapes (upper-case hex, of the UTF-8 bytes) every character but
// the unreserved ones: letters, digits and "-._~". That is what the URL
// escaper escapes anyway plus each of "!*'();:@&=+$,/?%#[]".
std::string stringByUrlEncoding(const std::string& s);

// The MD5 digest of the bytes, as 32 upper-case hexadecimal digits.
std::string md5(const std::string& s);

// Standard alphabet, padded, one line.
std::string base64EncodedString(const std::string& data);
// Standard alphabet; line breaks are skipped. Nothing for malformed text.
std::optional<std::string> dataFromBase64String(const std::string& text);

// The parts of an absolute URL the client needs. The scheme is lower-cased;
// the host keeps its text (brackets of an IPv6 address too) without the
// port; the path runs up to the query or fragment.
struct URLComponents {
    std::string scheme;
    std::string host;
    std::string port;  // "" when none is given
    std::string path;
};
URLComponents parseURLComponents(const std::string& url);

// "tel", "sms" and "mailto" links, and http links to one of the configured
// device-handled hosts (MeridianSettings).
bool isDeviceSupported(const std::string& url);

// The base URL of a page's directory: scheme, host (and port) and the path
// without its last component, ending in one "/".
std::string directoryBaseURL(const std::string& url);
