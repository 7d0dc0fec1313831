// SPDX-License-Identifier: MIT
#include "json_fields.h"

#include <ctype.h>
#include <math.h>
#include <stdio.h>
#include <string.h>

namespace json_fields {

namespace {

constexpr char HEX_DIGITS[] = "0123456789abcdef";
constexpr size_t QUOTE_MAX = 40; // characters of a value quoted in a refusal

int hex_digit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

double round_to(double value, int decimals)
{
    const double scale = pow(10.0, decimals);
    return round(value * scale) / scale;
}

std::string list_of(Names names)
{
    std::string s;
    for (uint32_t i = 0; i < names.count; ++i)
        if (names.names[i]) s += std::string(s.empty() ? "" : ", ") + names.names[i];
    return s;
}

} // namespace

bool whole_number(const Json &value, uint32_t *out)
{
    if (value.is_number_unsigned()) {
        const uint64_t n = value.get<uint64_t>();
        if (n > UINT32_MAX) return false;
        *out = uint32_t(n);
        return true;
    }
    if (value.is_number_integer()) return false; // negative
    if (value.is_number_float()) {
        const double d = value.get<double>();
        if (!(d >= 0 && d <= double(UINT32_MAX)) || d != floor(d)) return false;
        *out = uint32_t(d);
        return true;
    }
    return false;
}

std::string hex_of(const uint8_t *bytes, size_t size)
{
    std::string s(2 * size, '0');
    for (size_t i = 0; i < size; ++i) {
        s[2 * i] = HEX_DIGITS[bytes[i] >> 4];
        s[2 * i + 1] = HEX_DIGITS[bytes[i] & 15];
    }
    return s;
}

bool bytes_of_hex(const std::string &text, std::vector<uint8_t> *bytes)
{
    if (text.size() % 2) return false;
    bytes->clear();
    for (size_t i = 0; i < text.size(); i += 2) {
        const int hi = hex_digit(text[i]), lo = hex_digit(text[i + 1]);
        if (hi < 0 || lo < 0) return false;
        bytes->push_back(uint8_t(hi << 4 | lo));
    }
    return true;
}

std::string text_of_bytes(const char *text, size_t size)
{
    std::string s;
    for (size_t i = 0; i < size && text[i]; ++i) {
        const uint8_t c = uint8_t(text[i]);
        if (c < 0x80) {
            s += char(c);
        } else {
            s += char(0xC0 | c >> 6);
            s += char(0x80 | (c & 0x3F));
        }
    }
    return s;
}

bool bytes_of_text(const std::string &utf8, std::string *bytes)
{
    // The parser has checked the UTF-8: a lead byte C2 or C3 is a code point
    // up to U+00FF, any other lead byte one above it.
    bytes->clear();
    for (size_t i = 0; i < utf8.size(); ++i) {
        const uint8_t c = uint8_t(utf8[i]);
        if (c < 0x80) {
            *bytes += char(c);
        } else if ((c == 0xC2 || c == 0xC3) && i + 1 < utf8.size()) {
            *bytes += char((c & 3) << 6 | (uint8_t(utf8[++i]) & 0x3F));
        } else {
            return false;
        }
    }
    return true;
}

std::string pointer(const std::string &path, std::string_view key)
{
    std::string s = path + "/";
    for (char c : key) {
        if (c == '~')
            s += "~0";
        else if (c == '/')
            s += "~1";
        else
            s += c;
    }
    return s;
}

std::string pointer(const std::string &path, size_t index)
{
    return path + "/" + std::to_string(index);
}

std::string quoted(const Json &value)
{
    std::string s = value.dump(-1, ' ', false, Json::error_handler_t::replace);
    if (s.size() > QUOTE_MAX) s = s.substr(0, QUOTE_MAX - 3) + "...";
    return s;
}

bool same(const Json &a, const Json &b, const std::string &path, std::string *where,
          const Json **in_a, const Json **in_b)
{
    auto differ = [&](const std::string &at, const Json *value_b, const Json *value_a = nullptr) {
        if (where) *where = at;
        if (in_a) *in_a = value_a;
        if (in_b) *in_b = value_b;
        return false;
    };
    if (a.is_number() && b.is_number()) {
        if (a.is_number_float() || b.is_number_float())
            return a.get<double>() == b.get<double>() || differ(path, &b, &a);
        const bool a_negative = !a.is_number_unsigned() && a.get<int64_t>() < 0;
        const bool b_negative = !b.is_number_unsigned() && b.get<int64_t>() < 0;
        if (a_negative || b_negative)
            return (a_negative && b_negative && a.get<int64_t>() == b.get<int64_t>()) ||
                   differ(path, &b, &a);
        return a.get<uint64_t>() == b.get<uint64_t>() || differ(path, &b, &a);
    }
    if (a.type() != b.type()) return differ(path, &b, &a);
    if (a.is_array()) {
        const size_t n = a.size() < b.size() ? a.size() : b.size();
        for (size_t i = 0; i < n; ++i)
            if (!same(a[i], b[i], pointer(path, i), where, in_a, in_b)) return false;
        if (a.size() != b.size())
            return differ(pointer(path, n), n < b.size() ? &b[n] : nullptr,
                          n < a.size() ? &a[n] : nullptr);
        return true;
    }
    if (a.is_object()) {
        for (auto it = a.begin(); it != a.end(); ++it) {
            const auto other = b.find(it.key());
            if (other == b.end()) return differ(pointer(path, it.key()), nullptr, &it.value());
            if (!same(it.value(), *other, pointer(path, it.key()), where, in_a, in_b)) return false;
        }
        for (auto it = b.begin(); it != b.end(); ++it)
            if (!a.contains(it.key())) return differ(pointer(path, it.key()), &it.value());
        return true;
    }
    return a == b || differ(path, &b, &a);
}

// ---- FieldOut ---------------------------------------------------------

void FieldOut::scaled(const char *key, uint32_t value, double unit, int decimals)
{
    const double v = round_to(value * unit, decimals);
    if (decimals == 0)
        object_[key] = uint64_t(v);
    else
        object_[key] = v;
}

void FieldOut::name(const char *key, uint32_t value, Names names)
{
    if (value < names.count && names.names[value])
        object_[key] = names.names[value];
    else
        object_[key] = value;
}

void FieldOut::names(const char *key, uint32_t mask, Names names)
{
    Json list = Json::array();
    for (uint32_t bit = 0; bit < names.count; ++bit)
        if (mask >> bit & 1) list.push_back(names.names[bit]);
    object_[key] = list;
}

void FieldOut::numbers(const char *key, uint32_t mask, const double *numbers, uint32_t count)
{
    Json list = Json::array();
    for (uint32_t bit = 0; bit < count; ++bit) {
        if (!(mask >> bit & 1)) continue;
        if (numbers[bit] == floor(numbers[bit]))
            list.push_back(uint64_t(numbers[bit]));
        else
            list.push_back(numbers[bit]);
    }
    object_[key] = list;
}

void FieldOut::oui(const char *key, uint32_t value)
{
    const uint8_t bytes[3] = {uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value)};
    std::string s = hex_of(bytes, 3);
    for (char &c : s) c = char(toupper(c));
    object_[key] = s.substr(0, 2) + "-" + s.substr(2, 2) + "-" + s.substr(4, 2);
}

void FieldOut::address(const char *key, uint32_t value)
{
    char text[8];
    snprintf(text, sizeof text, "%x.%x.%x.%x", unsigned(value >> 12 & 15),
             unsigned(value >> 8 & 15), unsigned(value >> 4 & 15), unsigned(value & 15));
    object_[key] = text;
}

void FieldOut::names_of_bits(const char *key, uint32_t mask, uint32_t count,
                             const char *(*name_of)(uint32_t))
{
    Json list = Json::array();
    for (uint32_t bit = 0; bit < count; ++bit)
        if (mask >> bit & 1) list.push_back(name_of(bit));
    object_[key] = list;
}

void FieldOut::hex(const char *key, const uint8_t *bytes, uint32_t size, uint32_t capacity)
{
    object_[key] = hex_of(bytes, size < capacity ? size : capacity);
}

void FieldOut::text(const char *key, const char *text, size_t capacity)
{
    object_[key] = text_of_bytes(text, strnlen(text, capacity));
}

// ---- FieldIn ----------------------------------------------------------

FieldIn::FieldIn(const Json &object, std::string path, Refusal *refusal)
    : object_(object), path_(std::move(path)), refusal_(refusal)
{
    if (!object_.is_object()) refusal_->set(path_, "not an object");
}

void FieldIn::refuse(const char *key, const std::string &reason)
{
    refusal_->set(key ? pointer(path_, key) : path_, reason);
}

const Json *FieldIn::member(const char *key)
{
    if (refused()) return nullptr;
    const auto it = object_.find(key);
    if (it == object_.end()) return nullptr;
    read_.push_back(it.key());
    return &*it;
}

void FieldIn::number(const char *key, uint32_t &value)
{
    const Json *j = member(key);
    if (!j) return;
    if (!whole_number(*j, &value)) refuse(key, "not a whole number from 0 to 4294967295");
}

void FieldIn::flag(const char *key, uint32_t &value)
{
    const Json *j = member(key);
    if (!j) return;
    if (!j->is_boolean()) return refuse(key, "not true or false");
    value = j->get<bool>() ? 1 : 0;
}

void FieldIn::scaled(const char *key, uint32_t &value, double unit, int decimals)
{
    (void)decimals;
    const Json *j = member(key);
    if (!j) return;
    const double v = j->is_number() ? j->get<double>() / unit : -1;
    if (!(v >= 0 && v <= double(UINT32_MAX))) return refuse(key, "not a number in range");
    value = uint32_t(lround(v));
}

void FieldIn::name(const char *key, uint32_t &value, Names names)
{
    const Json *j = member(key);
    if (!j) return;
    if (whole_number(*j, &value)) return; // a value without a name is written as a number
    if (j->is_string()) {
        const std::string &s = j->get_ref<const std::string &>();
        for (uint32_t i = 0; i < names.count; ++i) {
            if (names.names[i] && s == names.names[i]) {
                value = i;
                return;
            }
        }
    }
    refuse(key, "not one of " + list_of(names));
}

void FieldIn::names(const char *key, uint32_t &mask, Names names)
{
    bits_of_list(
        key, mask, names.count, "not a list of names",
        [&](const Json &e, uint32_t i) {
            return names.names[i] && e.is_string() &&
                   e.get_ref<const std::string &>() == names.names[i];
        },
        [&] { return list_of(names); });
}

void FieldIn::offset_number(const char *key, uint32_t &value, int offset)
{
    const Json *j = member(key);
    if (!j) return;
    uint32_t n = 0;
    if (!whole_number(*j, &n) || int64_t(n) < offset)
        return refuse(key, "not a whole number from " + std::to_string(offset));
    value = uint32_t(int64_t(n) - offset);
}

void FieldIn::numbers(const char *key, uint32_t &mask, const double *numbers, uint32_t count)
{
    bits_of_list(
        key, mask, count, "not a list of numbers",
        [&](const Json &e, uint32_t i) { return e.is_number() && e.get<double>() == numbers[i]; },
        [&] {
            std::string list;
            for (uint32_t i = 0; i < count; ++i)
                list += (i ? ", " : "") + (numbers[i] == floor(numbers[i])
                                               ? std::to_string(uint64_t(numbers[i]))
                                               : Json(numbers[i]).dump());
            return list;
        });
}

void FieldIn::oui(const char *key, uint32_t &value)
{
    const Json *j = member(key);
    if (!j) return;
    std::vector<uint8_t> b;
    const std::string s = j->is_string() ? j->get<std::string>() : std::string();
    if (s.size() != 8 || s[2] != '-' || s[5] != '-' ||
        !bytes_of_hex(s.substr(0, 2) + s.substr(3, 2) + s.substr(6, 2), &b))
        return refuse(key, "not an OUI written as 00-0C-03");
    value = uint32_t(b[0]) << 16 | uint32_t(b[1]) << 8 | b[2];
}

void FieldIn::signed_number(const char *key, uint32_t &value)
{
    const Json *j = member(key);
    if (!j) return;
    if (!j->is_number_integer() || j->get<int64_t>() < INT32_MIN || j->get<int64_t>() > INT32_MAX ||
        (j->is_number_unsigned() && j->get<uint64_t>() > uint64_t(INT32_MAX)))
        return refuse(key, "not a whole number from -2147483648 to 2147483647");
    value = uint32_t(int32_t(j->get<int64_t>()));
}

void FieldIn::address(const char *key, uint32_t &value)
{
    const Json *j = member(key);
    if (!j) return;
    const std::string s = j->is_string() ? j->get<std::string>() : "";
    std::vector<uint8_t> nibbles;
    // "1.0.4.b": four hex digits with dots between.
    if (s.size() != 7 || s[1] != '.' || s[3] != '.' || s[5] != '.' ||
        !bytes_of_hex(std::string("0") + s[0] + "0" + s[2] + "0" + s[4] + "0" + s[6], &nibbles))
        return refuse(key, "not a physical address as \"1.0.0.0\" (hex digits)");
    value = uint32_t(nibbles[0]) << 12 | nibbles[1] << 8 | nibbles[2] << 4 | nibbles[3];
}

void FieldIn::names_of_bits(const char *key, uint32_t &mask, uint32_t count,
                            const char *(*name_of)(uint32_t))
{
    bits_of_list(
        key, mask, count, "not a list of names",
        [&](const Json &e, uint32_t i) {
            return e.is_string() && e.get_ref<const std::string &>() == name_of(i);
        },
        [&] {
            std::string list;
            for (uint32_t i = 0; i < count; ++i) list += (i ? ", " : "") + std::string(name_of(i));
            return list;
        });
}

void FieldIn::named(const char *key, uint32_t &value, uint32_t count,
                    const char *(*name_of)(uint32_t))
{
    const Json *j = member(key);
    if (!j) return;
    if (whole_number(*j, &value) && value >= count) return;
    for (uint32_t i = 0; j->is_string() && i < count; ++i) {
        if (j->get_ref<const std::string &>() == name_of(i)) {
            value = i;
            return;
        }
    }
    std::string list;
    for (uint32_t i = 0; i < count; ++i) list += (i ? ", " : "") + std::string(name_of(i));
    refuse(key, "not one of " + list + ", nor a number from " + std::to_string(count));
}

void FieldIn::hex(const char *key, uint8_t *bytes, uint32_t &size, uint32_t capacity)
{
    const Json *j = member(key);
    if (!j) return;
    std::vector<uint8_t> b;
    if (!j->is_string() || !bytes_of_hex(j->get_ref<const std::string &>(), &b))
        return refuse(key, "not hex digit pairs");
    if (b.size() > capacity)
        return refuse(key, std::to_string(b.size()) + " bytes, more than the " +
                               std::to_string(capacity) + " the field holds");
    if (!b.empty()) memcpy(bytes, b.data(), b.size());
    size = uint32_t(b.size());
}

void FieldIn::text(const char *key, char *text, size_t capacity)
{
    const Json *j = member(key);
    if (!j) return;
    std::string bytes;
    if (!j->is_string()) return refuse(key, "not a string");
    if (!bytes_of_text(j->get_ref<const std::string &>(), &bytes))
        return refuse(key, "a character above U+00FF (the text is bytes, ISO 8859-1)");
    if (bytes.size() >= capacity || bytes.find('\0') != std::string::npos)
        return refuse(key, "longer than " + std::to_string(capacity - 1) + " characters");
    memcpy(text, bytes.c_str(), bytes.size() + 1);
}

void FieldIn::finish(std::initializer_list<std::string_view> also)
{
    if (refused()) return;
    for (auto it = object_.begin(); it != object_.end(); ++it) {
        bool known = false;
        for (std::string_view k : read_) known |= k == it.key();
        for (std::string_view k : also) known |= k == it.key();
        if (!known) return refuse(it.key().c_str(), "unknown key");
    }
}

} // namespace json_fields
