// One property-list value: the dictionaries, arrays and scalars that come
// from resource plists and the user defaults. Read and written through
// libplist (XML or binary in, XML out).
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <type_traits>
#include <variant>
#include <vector>

namespace host {

class PlistValue {
public:
    enum class Type { None, Dictionary, Array, String, Integer, Real, Boolean, Data, Date };

    using Dictionary = std::map<std::string, PlistValue>;
    using Array = std::vector<PlistValue>;
    using Data = std::vector<uint8_t>;
    // Seconds since 2001-01-01 00:00:00 UTC, the platform's reference date.
    // The XML form keeps whole seconds only.
    struct Date {
        double seconds = 0.0;
        bool operator==(const Date& o) const { return seconds == o.seconds; }
    };

    // Inputs larger than this are refused rather than parsed.
    static constexpr size_t kMaxInputBytes = size_t(64) << 20;

    PlistValue() = default;
    PlistValue(Dictionary d) : v_(std::move(d)) {}          // NOLINT: implicit by design
    PlistValue(Array a) : v_(std::move(a)) {}               // NOLINT
    PlistValue(std::string s) : v_(std::move(s)) {}         // NOLINT
    PlistValue(const char* s) : v_(std::string(s ? s : "")) {}  // NOLINT
    PlistValue(bool b) : v_(b) {}                           // NOLINT
    PlistValue(double d) : v_(d) {}                         // NOLINT
    PlistValue(float f) : v_(double(f)) {}                  // NOLINT
    template <class T, std::enable_if_t<std::is_integral_v<T> && !std::is_same_v<T, bool>, int> = 0>
    PlistValue(T i) : v_(int64_t(i)) {}                     // NOLINT
    PlistValue(Data d) : v_(std::move(d)) {}                // NOLINT
    PlistValue(Date d) : v_(d) {}                           // NOLINT
    static PlistValue date(double secondsSince2001) { return PlistValue(Date{secondsSince2001}); }

    Type type() const { return Type(v_.index()); }
    bool isNone() const { return type() == Type::None; }
    bool isDictionary() const { return type() == Type::Dictionary; }
    bool isArray() const { return type() == Type::Array; }
    bool isString() const { return type() == Type::String; }
    bool isInteger() const { return type() == Type::Integer; }
    bool isReal() const { return type() == Type::Real; }
    bool isBoolean() const { return type() == Type::Boolean; }
    bool isNumber() const { return isInteger() || isReal() || isBoolean(); }
    bool isData() const { return type() == Type::Data; }
    bool isDate() const { return type() == Type::Date; }

    // Conversions in the platform's manner: numbers convert between each
    // other, strings are read as numbers ("12", "3.5"), and booleans accept
    // "YES", "true", "1" and any non-zero number. Anything else gives `def`.
    int64_t asInt(int64_t def = 0) const;
    double asDouble(double def = 0.0) const;
    bool asBool(bool def = false) const;
    // Strings as they are; integers and reals in decimal; otherwise `def`.
    std::string asString(const std::string& def = std::string()) const;

    // Direct access; nullptr when the value is of another type.
    const Dictionary* dictionary() const { return std::get_if<Dictionary>(&v_); }
    Dictionary* dictionary() { return std::get_if<Dictionary>(&v_); }
    const Array* array() const { return std::get_if<Array>(&v_); }
    Array* array() { return std::get_if<Array>(&v_); }
    const std::string* string() const { return std::get_if<std::string>(&v_); }
    const Data* data() const { return std::get_if<Data>(&v_); }
    // Seconds since 2001 for a date, else `def`.
    double dateSeconds(double def = 0.0) const;

    // Number of entries of a dictionary or array, 0 otherwise.
    size_t size() const;
    // Dictionary lookup; a shared none value when missing or not a dictionary.
    const PlistValue& operator[](const std::string& key) const;
    // Array element; the shared none value when out of range.
    const PlistValue& operator[](size_t index) const;
    bool contains(const std::string& key) const;

    static const PlistValue& none();

    bool operator==(const PlistValue& o) const { return v_ == o.v_; }
    bool operator!=(const PlistValue& o) const { return !(v_ == o.v_); }

    // Parses an XML or binary property list. Malformed, empty or oversized
    // input gives none and one log line "plist: <reason>".
    static PlistValue fromBytes(const void* bytes, size_t length);
    static PlistValue fromBytes(const std::string& bytes) { return fromBytes(bytes.data(), bytes.size()); }
    static PlistValue fromFile(const std::string& path);
    // As fromBytes, but instead of logging puts the reason in *error
    // (left empty on success).
    static PlistValue parse(const void* bytes, size_t length, std::string* error);
    // Reads and parses a whole file; a read failure is reported as for
    // parse. Only regular files of at most `maxBytes` (and never more than
    // kMaxInputBytes) are read: a directory, a FIFO or a device is refused
    // at once.
    static PlistValue parseFile(const std::string& path, std::string* error, size_t maxBytes = kMaxInputBytes);

    // The XML form. Empty for none (nothing to write); none entries inside
    // containers are left out.
    std::string toXml() const;

private:
    std::variant<std::monostate, Dictionary, Array, std::string, int64_t, double, bool, Data, Date> v_;
};

}  // namespace host
