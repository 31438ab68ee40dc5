#include "adnetworks/MeridianEncoding.h"

#include <openssl/evp.h>

#include <cctype>
#include <memory>
#include <vector>

#include "adnetworks/MeridianSettings.h"
#include "host/core/Log.h"
#include "host/net/WebStrings.h"

namespace {

const char kHexDigits[] = "0123456789ABCDEF";

bool isUnreserved(unsigned char c) {
    return std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~';
}

struct EncodeContextDeleter {
    void operator()(EVP_ENCODE_CTX* c) const { EVP_ENCODE_CTX_free(c); }
};
struct DigestContextDeleter {
    void operator()(EVP_MD_CTX* c) const { EVP_MD_CTX_free(c); }
};

// The path without its last component, as a directory that ends in no "/".
std::string parentDirectory(std::string path) {
    while (!path.empty() && path.back() == '/') path.pop_back();
    const size_t slash = path.rfind('/');
    path = slash == std::string::npos ? std::string() : path.substr(0, slash);
    while (!path.empty() && path.back() == '/') path.pop_back();
    return path;
}

}  // namespace

std::string stringByUrlEncoding(const std::string& s) {
    std::string out;
    out.reserve(s.size() * 3);
    for (unsigned char c : s) {
        if (isUnreserved(c)) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHexDigits[c >> 4];
            out += kHexDigits[c & 15];
        }
    }
    return out;
}

std::string md5(const std::string& s) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    std::unique_ptr<EVP_MD_CTX, DigestContextDeleter> ctx(EVP_MD_CTX_new());
    if (!ctx || EVP_DigestInit_ex(ctx.get(), EVP_md5(), nullptr) != 1 ||
        EVP_DigestUpdate(ctx.get(), s.data(), s.size()) != 1 || EVP_DigestFinal_ex(ctx.get(), digest, &length) != 1) {
        host::log("Meridian: MD5 digest unavailable");
        return std::string();
    }
    std::string hex;
    for (unsigned int i = 0; i < length; ++i) {
        hex += kHexDigits[digest[i] >> 4];
        hex += kHexDigits[digest[i] & 15];
    }
    return hex;
}

std::string base64EncodedString(const std::string& data) {
    std::vector<unsigned char> out(4 * ((data.size() + 2) / 3) + 1);
    const int n = EVP_EncodeBlock(out.data(), reinterpret_cast<const unsigned char*>(data.data()),
                                  static_cast<int>(data.size()));
    return std::string(reinterpret_cast<const char*>(out.data()), n > 0 ? size_t(n) : 0);
}

std::optional<std::string> dataFromBase64String(const std::string& text) {
    std::unique_ptr<EVP_ENCODE_CTX, EncodeContextDeleter> ctx(EVP_ENCODE_CTX_new());
    if (!ctx) return std::nullopt;
    // The streaming decoder checks the padding and skips line breaks
    // (the one-shot block decoder counts padding as data).
    std::vector<unsigned char> out(3 * (text.size() / 4) + 3);
    int written = 0, last = 0;
    EVP_DecodeInit(ctx.get());
    if (EVP_DecodeUpdate(ctx.get(), out.data(), &written, reinterpret_cast<const unsigned char*>(text.data()),
                         static_cast<int>(text.size())) < 0 ||
        EVP_DecodeFinal(ctx.get(), out.data() + written, &last) < 0)
        return std::nullopt;
    // Text whose length is not a multiple of four is malformed too; the
    // decoder would keep those characters pending and say nothing.
    size_t significant = 0;
    for (unsigned char c : text)
        if (!std::isspace(c)) ++significant;
    if (significant % 4 != 0) return std::nullopt;
    return std::string(reinterpret_cast<const char*>(out.data()), size_t(written + last));
}

URLComponents parseURLComponents(const std::string& url) {
    URLComponents parts;
    const size_t colon = url.find(':');
    if (colon == std::string::npos || colon == 0) return parts;
    for (size_t i = 0; i < colon; ++i) {
        const unsigned char c = static_cast<unsigned char>(url[i]);
        if (!(std::isalnum(c) || c == '+' || c == '-' || c == '.')) return parts;  // a relative reference
    }
    parts.scheme = host::lowerTrimmed(url.substr(0, colon));
    size_t rest = colon + 1;
    if (url.compare(rest, 2, "//") == 0) {
        const size_t start = rest + 2;
        const size_t end = url.find_first_of("/?#", start);
        std::string authority = url.substr(start, end == std::string::npos ? std::string::npos : end - start);
        const size_t at = authority.rfind('@');
        if (at != std::string::npos) authority.erase(0, at + 1);
        const size_t bracket = authority.find(']');
        const size_t portColon = authority.find(':', bracket == std::string::npos ? 0 : bracket);
        if (portColon != std::string::npos) {
            parts.port = authority.substr(portColon + 1);
            authority.erase(portColon);
        }
        parts.host = authority;
        rest = end == std::string::npos ? url.size() : end;
    }
    const size_t pathEnd = url.find_first_of("?#", rest);
    parts.path = url.substr(rest, pathEnd == std::string::npos ? std::string::npos : pathEnd - rest);
    return parts;
}

bool isDeviceSupported(const std::string& url) {
    const URLComponents parts = parseURLComponents(url);
    if (parts.scheme == "tel" || parts.scheme == "sms" || parts.scheme == "mailto") return true;
    return parts.scheme == "http" && MeridianSettings::shared().isDeviceHandledHost(parts.host);
}

std::string directoryBaseURL(const std::string& url) {
    const URLComponents parts = parseURLComponents(url);
    // The port stays: without it a page from a server on another port
    // would resolve its relative links against the wrong server.
    std::string base = parts.scheme + "://" + parts.host;
    if (!parts.port.empty()) base += ":" + parts.port;
    return base + parentDirectory(parts.path) + "/";
}
