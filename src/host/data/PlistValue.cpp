#include "host/data/PlistValue.h"

#include <plist/plist.h>

#include <cerrno>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>
#include <algorithm>

#include "host/core/Log.h"
#include "host/core/SafeFileReader.h"

namespace host {

namespace {

// Containers nested deeper than this are treated as malformed, so a hostile
// file cannot exhaust the stack while being converted.
constexpr int kMaxDepth = 256;
// A binary plist may refer to one object many times; the parser copies it
// each time, so the expanded tree is bounded too.
constexpr uint64_t kMaxNodes = uint64_t(1) << 22;

struct PlistFree {
    void operator()(plist_t p) const { if (p) plist_free(p); }
};
using PlistPtr = std::unique_ptr<void, PlistFree>;

int64_t clampToInt(double d) {
    if (std::isnan(d)) return 0;
    if (d >= 9.2233720368547758e18) return std::numeric_limits<int64_t>::max();
    if (d <= -9.2233720368547758e18) return std::numeric_limits<int64_t>::min();
    return int64_t(d);
}

// The platform's boolValue on strings: leading whitespace, signs and zeros
// are skipped, then Y, y, T, t or a digit 1-9 means true.
bool stringIsTrue(const std::string& s) {
    size_t i = 0;
    while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
    while (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    while (i < s.size() && s[i] == '0') ++i;
    if (i >= s.size()) return false;
    char c = s[i];
    return c == 'Y' || c == 'y' || c == 'T' || c == 't' || (c >= '1' && c <= '9');
}

uint64_t readBigEndian(const uint8_t* p, size_t n) {
    uint64_t v = 0;
    for (size_t i = 0; i < n; ++i) v = (v << 8) | p[i];
    return v;
}

// Reads a marker's element count (strings, arrays, dictionaries): the low
// nibble, or when that is 0xF an integer object that follows.
bool readCount(const uint8_t* b, size_t end, uint64_t& pos, uint64_t& count) {
    count = b[pos - 1] & 0x0F;
    if (count != 0x0F) return true;
    if (pos >= end || (b[pos] & 0xF0) != 0x10) return false;
    size_t w = size_t(1) << (b[pos] & 0x0F);
    if (w > 8 || pos + 1 + w > end) return false;
    count = readBigEndian(b + pos + 1, w);
    pos += 1 + w;
    return true;
}

// libplist aborts on dictionary keys holding a NUL character (which only a
// binary plist can express) and recurses without limit into nested
// containers. Walk the object table first: refuse any string with a NUL in
// it, containers nested deeper than kMaxDepth, reference cycles, and tables
// that point outside the input.
bool binaryIsSafe(const uint8_t* b, size_t n, std::string& error) {
    if (n < 8 + 32) { error = "binary property list is truncated"; return false; }
    const uint8_t* t = b + n - 32;
    const size_t offSize = t[6];
    const size_t refSize = t[7];
    const uint64_t count = readBigEndian(t + 8, 8);
    const uint64_t top = readBigEndian(t + 16, 8);
    const uint64_t tableAt = readBigEndian(t + 24, 8);
    const size_t end = n - 32;
    if (offSize < 1 || offSize > 8 || refSize < 1 || refSize > 8 || tableAt >= end ||
        count > (end - tableAt) / offSize || top >= count) {
        error = "binary property list has a bad offset table";
        return false;
    }
    auto fail = [&](const char* why) { error = std::string("binary property list ") + why; return false; };

    // Where each container's references start and how many there are.
    std::vector<uint64_t> refsAt(count, 0), refs(count, 0);
    for (uint64_t i = 0; i < count; ++i) {
        uint64_t at = readBigEndian(b + tableAt + i * offSize, offSize);
        if (at >= end) return fail("has an object outside the data");
        const uint8_t kind = b[at] >> 4;
        uint64_t pos = at + 1, len = 0;
        if (kind == 0x5 || kind == 0x6) {          // ASCII and UTF-16 strings
            if (!readCount(b, end, pos, len)) return fail("has a bad length");
            const uint64_t unit = kind == 0x5 ? 1 : 2;
            if (len > (end - pos) / unit) return fail("has a string outside the data");
            for (uint64_t k = 0; k < len; ++k) {
                bool zero = unit == 1 ? b[pos + k] == 0 : (b[pos + 2 * k] == 0 && b[pos + 2 * k + 1] == 0);
                if (zero) return fail("has a string containing NUL");
            }
        } else if (kind == 0xA || kind == 0xC || kind == 0xD) {  // array, set, dictionary
            if (!readCount(b, end, pos, len)) return fail("has a bad length");
            if (kind == 0xD) {
                if (len > (uint64_t(1) << 62)) return fail("has a bad length");
                len *= 2;
            }
            if (len > (end - pos) / refSize) return fail("has a container outside the data");
            refsAt[i] = pos;
            refs[i] = len;
        }
    }

    // Depth-first from the top object; the stack never grows past kMaxDepth.
    std::vector<uint8_t> state(count, 0);      // 0 new, 1 on the path, 2 done
    std::vector<uint32_t> height(count, 0);
    // Objects referred to twice are copied by the parser, so count the
    // nodes the tree will really have, saturating at the limit.
    std::vector<uint64_t> nodes(count, 1);
    auto addNodes = [&](uint64_t parent, uint64_t n) {
        nodes[parent] = std::min<uint64_t>(nodes[parent] + n, kMaxNodes + 1);
    };
    struct Frame { uint64_t obj; uint64_t next; };
    std::vector<Frame> stack;
    stack.push_back({top, 0});
    state[top] = 1;
    while (!stack.empty()) {
        Frame& f = stack.back();
        if (f.next == refs[f.obj]) {
            const uint64_t done = f.obj;
            state[done] = 2;
            uint32_t h = height[done];
            stack.pop_back();
            if (!stack.empty()) {
                uint64_t parent = stack.back().obj;
                height[parent] = std::max(height[parent], h + 1);
                addNodes(parent, nodes[done]);
            }
            continue;
        }
        uint64_t child = readBigEndian(b + refsAt[f.obj] + f.next * refSize, refSize);
        ++f.next;
        if (child >= count) return fail("refers to a missing object");
        if (state[child] == 1) return fail("contains a reference cycle");
        if (state[child] == 2) {
            if (stack.size() + height[child] > size_t(kMaxDepth)) return fail("is nested too deeply");
            height[f.obj] = std::max(height[f.obj], height[child] + 1);
            addNodes(f.obj, nodes[child]);
            continue;
        }
        if (stack.size() >= size_t(kMaxDepth)) return fail("is nested too deeply");
        state[child] = 1;
        stack.push_back({child, 0});
    }
    if (nodes[top] > kMaxNodes) return fail("expands to too many objects");
    return true;
}

// The XML parser recurses once per open container; count the nesting of
// <array> and <dict> first. Tags inside comments are counted too, which can
// only make this stricter.
bool xmlNestingIsSafe(const char* x, size_t n, std::string& error) {
    int depth = 0;
    for (size_t i = 0; i + 1 < n; ++i) {
        if (x[i] != '<') continue;
        size_t j = i + 1;
        const bool closing = x[j] == '/';
        if (closing) ++j;
        size_t nameLen = 0;
        if (n - j >= 5 && std::memcmp(x + j, "array", 5) == 0) nameLen = 5;
        else if (n - j >= 4 && std::memcmp(x + j, "dict", 4) == 0) nameLen = 4;
        if (!nameLen) continue;
        j += nameLen;
        if (j < n && x[j] != '>' && x[j] != '/' && !std::isspace(static_cast<unsigned char>(x[j]))) continue;
        size_t close = j;
        while (close < n && x[close] != '>') ++close;
        const bool empty = close > j && x[close - 1] == '/';
        if (closing) { if (depth > 0) --depth; }
        else if (!empty && ++depth > kMaxDepth) { error = "nested too deeply"; return false; }
        i = close;
    }
    return true;
}

bool fromNode(plist_t node, int depth, PlistValue& out, std::string& error) {
    if (depth > kMaxDepth) { error = "nested too deeply"; return false; }
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN: {
        uint8_t b = 0;
        plist_get_bool_val(node, &b);
        out = PlistValue(b != 0);
        return true;
    }
    case PLIST_UINT: {
        // libplist keeps signed integers in the same 64 bits.
        uint64_t u = 0;
        plist_get_uint_val(node, &u);
        out = PlistValue(int64_t(u));
        return true;
    }
    case PLIST_REAL: {
        double d = 0;
        plist_get_real_val(node, &d);
        out = PlistValue(d);
        return true;
    }
    case PLIST_STRING:
    case PLIST_KEY: {
        uint64_t len = 0;
        const char* p = plist_get_string_ptr(node, &len);
        out = PlistValue(std::string(p ? p : "", p ? size_t(len) : 0));
        return true;
    }
    case PLIST_DATA: {
        uint64_t len = 0;
        const char* p = plist_get_data_ptr(node, &len);
        PlistValue::Data d;
        if (p && len) d.assign(reinterpret_cast<const uint8_t*>(p), reinterpret_cast<const uint8_t*>(p) + len);
        out = PlistValue(std::move(d));
        return true;
    }
    case PLIST_DATE: {
        int32_t sec = 0, usec = 0;
        plist_get_date_val(node, &sec, &usec);
        out = PlistValue::date(double(sec) + double(usec) / 1e6);
        return true;
    }
    case PLIST_UID: {
        uint64_t u = 0;
        plist_get_uid_val(node, &u);
        out = PlistValue(int64_t(u));
        return true;
    }
    case PLIST_ARRAY: {
        PlistValue::Array a;
        uint32_t n = plist_array_get_size(node);
        a.reserve(n);
        for (uint32_t i = 0; i < n; ++i) {
            plist_t item = plist_array_get_item(node, i);
            if (!item) continue;
            PlistValue v;
            if (!fromNode(item, depth + 1, v, error)) return false;
            a.push_back(std::move(v));
        }
        out = PlistValue(std::move(a));
        return true;
    }
    case PLIST_DICT: {
        PlistValue::Dictionary d;
        plist_dict_iter it = nullptr;
        plist_dict_new_iter(node, &it);
        if (!it) { out = PlistValue(std::move(d)); return true; }
        bool ok = true;
        for (;;) {
            char* key = nullptr;
            plist_t val = nullptr;
            plist_dict_next_item(node, it, &key, &val);
            if (!val) { std::free(key); break; }
            PlistValue v;
            if (!fromNode(val, depth + 1, v, error)) { std::free(key); ok = false; break; }
            d[key ? key : ""] = std::move(v);
            std::free(key);
        }
        std::free(it);
        if (!ok) return false;
        out = PlistValue(std::move(d));
        return true;
    }
    default:
        error = "unsupported node type";
        return false;
    }
}

plist_t toNode(const PlistValue& v) {
    switch (v.type()) {
    case PlistValue::Type::None: return nullptr;
    case PlistValue::Type::Dictionary: {
        plist_t d = plist_new_dict();
        for (const auto& [k, item] : *v.dictionary()) {
            if (plist_t n = toNode(item)) plist_dict_set_item(d, k.c_str(), n);
        }
        return d;
    }
    case PlistValue::Type::Array: {
        plist_t a = plist_new_array();
        for (const auto& item : *v.array()) {
            if (plist_t n = toNode(item)) plist_array_append_item(a, n);
        }
        return a;
    }
    case PlistValue::Type::String: {
        // libplist takes C strings; anything after an embedded NUL is lost.
        return plist_new_string(v.string()->c_str());
    }
    case PlistValue::Type::Integer: return plist_new_uint(uint64_t(v.asInt()));
    case PlistValue::Type::Real: return plist_new_real(v.asDouble());
    case PlistValue::Type::Boolean: return plist_new_bool(v.asBool() ? 1 : 0);
    case PlistValue::Type::Data: {
        const auto& d = *v.data();
        return plist_new_data(reinterpret_cast<const char*>(d.data()), d.size());
    }
    case PlistValue::Type::Date: {
        double s = v.dateSeconds();
        double whole = std::floor(s);
        if (!(whole > -2147483648.0 && whole < 2147483647.0)) whole = whole > 0 ? 2147483646.0 : -2147483647.0;
        int32_t usec = int32_t(std::lround((s - whole) * 1e6));
        int32_t sec = int32_t(whole);
        if (usec >= 1000000) { ++sec; usec -= 1000000; }
        if (usec < 0) usec = 0;
        return plist_new_date(sec, usec);
    }
    }
    return nullptr;
}

}  // namespace

const PlistValue& PlistValue::none() {
    static const PlistValue kNone;
    return kNone;
}

int64_t PlistValue::asInt(int64_t def) const {
    switch (type()) {
    case Type::Integer: return std::get<int64_t>(v_);
    case Type::Real: return clampToInt(std::get<double>(v_));
    case Type::Boolean: return std::get<bool>(v_) ? 1 : 0;
    case Type::String: {
        const std::string& s = std::get<std::string>(v_);
        errno = 0;
        char* end = nullptr;
        long long r = std::strtoll(s.c_str(), &end, 10);
        if (end == s.c_str()) return def;
        if (*end == '.' || *end == 'e' || *end == 'E') return clampToInt(std::strtod(s.c_str(), nullptr));
        return int64_t(r);
    }
    default: return def;
    }
}

double PlistValue::asDouble(double def) const {
    switch (type()) {
    case Type::Integer: return double(std::get<int64_t>(v_));
    case Type::Real: return std::get<double>(v_);
    case Type::Boolean: return std::get<bool>(v_) ? 1.0 : 0.0;
    case Type::String: {
        const std::string& s = std::get<std::string>(v_);
        char* end = nullptr;
        double r = std::strtod(s.c_str(), &end);
        return end == s.c_str() ? def : r;
    }
    default: return def;
    }
}

bool PlistValue::asBool(bool def) const {
    switch (type()) {
    case Type::Boolean: return std::get<bool>(v_);
    case Type::Integer: return std::get<int64_t>(v_) != 0;
    case Type::Real: return std::get<double>(v_) != 0.0;
    case Type::String: return stringIsTrue(std::get<std::string>(v_));
    default: return def;
    }
}

std::string PlistValue::asString(const std::string& def) const {
    switch (type()) {
    case Type::String: return std::get<std::string>(v_);
    case Type::Integer: return std::to_string(std::get<int64_t>(v_));
    case Type::Real: {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.17g", std::get<double>(v_));
        return buf;
    }
    default: return def;
    }
}

double PlistValue::dateSeconds(double def) const {
    const Date* d = std::get_if<Date>(&v_);
    return d ? d->seconds : def;
}

size_t PlistValue::size() const {
    if (const Dictionary* d = dictionary()) return d->size();
    if (const Array* a = array()) return a->size();
    return 0;
}

const PlistValue& PlistValue::operator[](const std::string& key) const {
    const Dictionary* d = dictionary();
    if (!d) return none();
    auto it = d->find(key);
    return it == d->end() ? none() : it->second;
}

const PlistValue& PlistValue::operator[](size_t index) const {
    const Array* a = array();
    if (!a || index >= a->size()) return none();
    return (*a)[index];
}

bool PlistValue::contains(const std::string& key) const {
    const Dictionary* d = dictionary();
    return d && d->count(key) != 0;
}

PlistValue PlistValue::parse(const void* bytes, size_t length, std::string* error) {
    std::string reason;
    PlistValue out;
    if (!bytes || length == 0) {
        reason = "empty input";
    } else if (length > kMaxInputBytes) {
        reason = "input of " + std::to_string(length) + " bytes is larger than 64 MiB";
    } else {
        const auto* b = static_cast<const uint8_t*>(bytes);
        const bool binary = length >= 8 && std::memcmp(b, "bplist00", 8) == 0;
        plist_t root = nullptr;
        if (binary && !binaryIsSafe(b, length, reason)) {
            if (error) *error = reason;
            return out;
        }
        if (!binary && !xmlNestingIsSafe(static_cast<const char*>(bytes), length, reason)) {
            if (error) *error = reason;
            return out;
        }
        plist_from_memory(static_cast<const char*>(bytes), uint32_t(length), &root);
        PlistPtr holder(root);
        if (!root) {
            reason = "not a valid XML or binary property list";
        } else if (!fromNode(root, 0, out, reason)) {
            out = PlistValue();
        }
    }
    if (error) *error = reason;
    return out;
}

PlistValue PlistValue::parseFile(const std::string& path, std::string* error, size_t maxBytes) {
    std::string reason;
    PlistValue out;
    std::string bytes;
    if (SafeFileReader::readFile(path, std::min(maxBytes, kMaxInputBytes), bytes, &reason))
        out = parse(bytes.data(), bytes.size(), &reason);
    if (error) *error = reason;
    return out;
}

PlistValue PlistValue::fromBytes(const void* bytes, size_t length) {
    std::string reason;
    PlistValue v = parse(bytes, length, &reason);
    if (!reason.empty()) log("plist: %s", reason.c_str());
    return v;
}

PlistValue PlistValue::fromFile(const std::string& path) {
    std::string reason;
    PlistValue v = parseFile(path, &reason);
    if (!reason.empty()) log("plist: %s", reason.c_str());
    return v;
}

std::string PlistValue::toXml() const {
    PlistPtr root(toNode(*this));
    if (!root) return std::string();
    char* xml = nullptr;
    uint32_t len = 0;
    plist_to_xml(root.get(), &xml, &len);
    std::string out;
    if (xml) {
        out.assign(xml, len);
        plist_to_xml_free(xml);
    }
    return out;
}

}  // namespace host
