// SPDX-License-Identifier: MIT
// json_fields.h - the machinery under the JSON form: a record's fields are
// listed once (json_records.h) and read in both directions, by FieldOut,
// which writes them into a JSON object, and by FieldIn, which reads them
// back from one, checking each value's type and refusing keys it does not
// know.  Also the hex, text and JSON Pointer helpers, the comparison of
// JSON values, and the JSON of each piece of an EDID (json_write.cpp) that
// the reader (json_read.cpp) checks what it writes against.
#ifndef EDID_TOOLS_JSON_FIELDS_H
#define EDID_TOOLS_JSON_FIELDS_H

#include <stddef.h>
#include <stdint.h>

#include <initializer_list>
#include <limits>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include <edid/edid.h>

#include "json_form.h"

namespace json_fields {

// A refusal: the JSON Pointer of the value and what is wrong with it.
struct Refusal {
    std::string path, reason;
    bool refused() const { return !reason.empty(); }
    // Keeps the first refusal only.
    void set(const std::string &at, const std::string &why)
    {
        if (!refused()) path = at, reason = why.empty() ? "refused" : why;
    }
};

// The names of a field's values, or of a mask's bits, by number.
struct Names {
    const char *const *names;
    uint32_t count;
};
template <size_t N>
constexpr Names names_of(const char *const (&names)[N])
{
    return Names{names, uint32_t(N)};
}

std::string hex_of(const uint8_t *bytes, size_t size);
// Hex digit pairs, nothing else; false otherwise.
bool bytes_of_hex(const std::string &text, std::vector<uint8_t> *bytes);
// Text bytes as JSON text: each byte is the code point of its value
// (ISO 8859-1), so any byte round-trips.
std::string text_of_bytes(const char *text, size_t size);
// The inverse: false for a code point above U+00FF.
bool bytes_of_text(const std::string &utf8, std::string *bytes);

// A whole number from 0 to 2^32 - 1, or false.
bool whole_number(const Json &value, uint32_t *out);

// JSON Pointer of a member or an element below path.
std::string pointer(const std::string &path, std::string_view key);
std::string pointer(const std::string &path, size_t index);
// A value as the refusal lines quote it: JSON text, cut short.
std::string quoted(const Json &value);

// Whether two JSON values are the same, objects whatever their key order,
// numbers by value.  Where they are not, *where receives the pointer below
// path of the first difference, *in_a and *in_b what each holds there
// (null: the member or element is absent).
bool same(const Json &a, const Json &b, const std::string &path = "", std::string *where = nullptr,
          const Json **in_a = nullptr, const Json **in_b = nullptr);

// Writes fields into a JSON object.
class FieldOut {
  public:
    static constexpr bool reading = false, schema = false;
    // The range of the field's type, for the schema (JSON_FIELD).
    void limit(int64_t, uint64_t) {}
    explicit FieldOut(Json &object) : object_(object) {}
    void number(const char *key, uint32_t value) { object_[key] = value; }
    void flag(const char *key, uint32_t value) { object_[key] = value != 0; }
    // value x unit, rounded to decimals (an integer for 0).
    void scaled(const char *key, uint32_t value, double unit, int decimals);
    void name(const char *key, uint32_t value, Names names);
    // value + offset.
    void offset_number(const char *key, uint32_t value, int offset)
    {
        object_[key] = value + offset;
    }
    // A signed field (int8_t...), carried in a uint32_t as JSON_FIELD does.
    void signed_number(const char *key, uint32_t value) { object_[key] = int32_t(value); }
    // The same, left out when 0 (false, empty): fields of a variant the
    // record leaves 0, bytes kept only when there are any.
    void opt_number(const char *key, uint32_t value)
    {
        if (value) number(key, value);
    }
    void opt_flag(const char *key, uint32_t value)
    {
        if (value) flag(key, value);
    }
    void opt_hex(const char *key, const uint8_t *bytes, uint32_t size, uint32_t capacity)
    {
        if (size) hex(key, bytes, size, capacity);
    }
    // An HDMI physical address as "1.0.0.0", one hex digit a nibble.
    void address(const char *key, uint32_t value);
    // The names that name_of gives the bits set among the first count.
    void names_of_bits(const char *key, uint32_t mask, uint32_t count,
                       const char *(*name_of)(uint32_t));
    // A code by the name that name_of gives it, as a number from count on.
    void named(const char *key, uint32_t value, uint32_t count, const char *(*name_of)(uint32_t))
    {
        if (value < count)
            object_[key] = name_of(value);
        else
            number(key, value);
    }
    // The fields f writes, when present is set: a part of a record that a
    // short block leaves out.
    template <class F>
    void part(const char *, uint32_t present, F &&f)
    {
        if (present) f();
    }
    // Bytes counted by another field, left out when there are none.
    void counted_hex(const char *key, uint32_t size, const uint8_t *bytes, uint32_t capacity)
    {
        opt_hex(key, bytes, size, capacity);
    }
    // The names of the bits set, bit 0 first.
    void names(const char *key, uint32_t mask, Names names);
    // The numbers of the bits set, bit 0 first.
    void numbers(const char *key, uint32_t mask, const double *numbers, uint32_t count);
    void hex(const char *key, const uint8_t *bytes, uint32_t size, uint32_t capacity);
    void text(const char *key, const char *text, size_t capacity);
    // An IEEE OUI as "00-0C-03", most significant byte first.
    void oui(const char *key, uint32_t value);
    // A member object, or a list of count member objects, each filled by
    // f(FieldOut &, index).
    template <class F>
    void object(const char *key, F &&f)
    {
        Json member = Json::object();
        FieldOut out(member);
        f(out);
        object_[key] = std::move(member);
    }
    template <class F>
    void list(const char *key, uint32_t count, uint32_t capacity, F &&f)
    {
        Json member = Json::array();
        for (uint32_t i = 0; i < count && i < capacity; ++i) {
            Json element = Json::object();
            FieldOut out(element);
            f(out, i);
            member.push_back(std::move(element));
        }
        object_[key] = std::move(member);
    }
    // A list of count numbers.
    template <class T>
    void array(const char *key, uint32_t count, uint32_t capacity, const T *items)
    {
        Json list = Json::array();
        for (uint32_t i = 0; i < count && i < capacity; ++i) list.push_back(uint64_t(items[i]));
        object_[key] = std::move(list);
    }
    Json &object() { return object_; }

  private:
    Json &object_;
};

// Reads fields from a JSON object.  A key that is absent leaves the field 0
// (empty, false): the reader's check of what it wrote tells whether that
// is the field's value.  The first wrong value is refused, and the calls
// after it read nothing.
class FieldIn {
  public:
    static constexpr bool reading = true, schema = false;
    void limit(int64_t, uint64_t) {}
    FieldIn(const Json &object, std::string path, Refusal *refusal);
    void number(const char *key, uint32_t &value);
    void flag(const char *key, uint32_t &value);
    void scaled(const char *key, uint32_t &value, double unit, int decimals);
    void name(const char *key, uint32_t &value, Names names);
    void offset_number(const char *key, uint32_t &value, int offset);
    void signed_number(const char *key, uint32_t &value);
    void opt_number(const char *key, uint32_t &value) { number(key, value); }
    void opt_flag(const char *key, uint32_t &value) { flag(key, value); }
    void opt_hex(const char *key, uint8_t *bytes, uint32_t &size, uint32_t capacity)
    {
        hex(key, bytes, size, capacity);
    }
    void address(const char *key, uint32_t &value);
    void names_of_bits(const char *key, uint32_t &mask, uint32_t count,
                       const char *(*name_of)(uint32_t));
    void named(const char *key, uint32_t &value, uint32_t count, const char *(*name_of)(uint32_t));
    // The fields f reads; present is set when any of them is there.
    template <class F>
    void part(const char *, uint32_t &present, F &&f)
    {
        const size_t before = read_.size();
        f();
        present = read_.size() > before ? 1 : 0;
    }
    void counted_hex(const char *key, uint32_t &size, uint8_t *bytes, uint32_t capacity)
    {
        hex(key, bytes, size, capacity);
    }
    void names(const char *key, uint32_t &mask, Names names);
    void numbers(const char *key, uint32_t &mask, const double *numbers, uint32_t count);
    void hex(const char *key, uint8_t *bytes, uint32_t &size, uint32_t capacity);
    void text(const char *key, char *text, size_t capacity);
    void oui(const char *key, uint32_t &value);
    // A member object read by f(FieldIn &); a list of at most capacity
    // member objects, each read by f(FieldIn &, index), its length in count.
    template <class F>
    void object(const char *key, F &&f)
    {
        const Json *j = member(key);
        if (!j) return;
        FieldIn in(*j, pointer(path_, key), refusal_);
        f(in);
        in.finish();
    }
    template <class F>
    void list(const char *key, uint32_t &count, uint32_t capacity, F &&f)
    {
        const Json *j = member(key);
        if (!j) return;
        if (!j->is_array()) return refuse(key, "not a list");
        if (j->size() > capacity)
            return refuse(key, std::to_string(j->size()) + " entries, more than the " +
                                   std::to_string(capacity) + " it holds");
        count = uint32_t(j->size());
        for (uint32_t i = 0; i < count && !refused(); ++i) {
            FieldIn in((*j)[i], pointer(pointer(path_, key), i), refusal_);
            f(in, i);
            in.finish();
        }
    }
    template <class T>
    void array(const char *key, uint32_t &count, uint32_t capacity, T *items)
    {
        const Json *j = member(key);
        if (!j) return;
        if (!j->is_array()) return refuse(key, "not a list of numbers");
        if (j->size() > capacity)
            return refuse(key, std::to_string(j->size()) + " entries, more than the " +
                                   std::to_string(capacity) + " it holds");
        for (uint32_t i = 0; i < j->size(); ++i) {
            uint32_t n = 0;
            if (!whole_number((*j)[i], &n))
                return refusal_->set(pointer(pointer(path_, key), i), "not a whole number");
            items[i] = T(n);
        }
        count = uint32_t(j->size());
    }
    // The member key, marked as read; null when absent or after a refusal.
    const Json *member(const char *key);
    // Refuses the first member that no call read and that is not in also.
    void finish(std::initializer_list<std::string_view> also = {});
    bool refused() const { return refusal_->refused(); }
    void refuse(const char *key, const std::string &reason);
    const std::string &path() const { return path_; }

  private:
    // A list whose elements each name one of count bits (is(element, i):
    // the element names bit i): mask receives those bits.  An element that
    // names none is refused at its own pointer with "not one of " and
    // accepted(), the values that are.
    template <class Is, class Accepted>
    void bits_of_list(const char *key, uint32_t &mask, uint32_t count, const char *not_a_list,
                      Is is, Accepted accepted)
    {
        const Json *j = member(key);
        if (!j) return;
        if (!j->is_array()) return refuse(key, not_a_list);
        mask = 0;
        for (size_t k = 0; k < j->size(); ++k) {
            uint32_t bit = count;
            for (uint32_t i = 0; i < count; ++i)
                if (is((*j)[k], i)) bit = i;
            if (bit == count)
                return refusal_->set(pointer(pointer(path_, key), k), "not one of " + accepted());
            mask |= uint32_t(1) << bit;
        }
    }
    const Json &object_;
    std::string path_;
    Refusal *refusal_;
    std::vector<std::string_view> read_;
};

} // namespace json_fields

// The JSON of each piece of an EDID, as edid_dump --json writes it
// (json_write.cpp); the reader checks what it writes against them.
namespace json_pieces {

// Keys that say how to write a piece rather than what it holds: they are
// left out where pieces are compared.
inline constexpr const char *CONTROL_KEYS[] = {"bytes", "checksum", "extension_count"};

// An 18-byte detailed timing.
Json detailed_timing(const uint8_t *bytes);
// Descriptor slot 0 to 3 of a base block, as edid_decode_sink reads it in
// that block (whose checksum is not looked at).
Json descriptor(const uint8_t *base, unsigned slot);
// A data block: its header and payload, size bytes.
Json data_block(const uint8_t *bytes, uint32_t size);
// An extension block: a CEA-861 block of revision 3 with its data blocks
// and timings, any other as its bytes.
Json extension(const uint8_t *block);
// The base block (whose checksum is not looked at), its EDID version as
// "1.3", or false when it is not EDID 1.3 or 1.4.
bool base_block(const uint8_t *block, Json *base, std::string *version);
// A standard timing as "1920x1080@60 16:9", null for the unused 01 01.
Json standard_timing(const EdidStandardTiming &timing);

} // namespace json_pieces

// A field of a record listed for both directions: copied into a uint32_t,
// handed to the visitor's method, copied back (bit fields have no address);
// the range of its type told to the visitor first.
#define JSON_FIELD(v, method, key, lvalue, ...)                                                    \
    do {                                                                                           \
        using type_ = std::remove_cvref_t<decltype(lvalue)>;                                       \
        (v).limit(int64_t(std::numeric_limits<type_>::min()),                                      \
                  uint64_t(std::numeric_limits<type_>::max()));                                    \
        uint32_t field_ = uint32_t(lvalue);                                                        \
        (v).method(key, field_ __VA_OPT__(, ) __VA_ARGS__);                                        \
        lvalue = static_cast<std::remove_cvref_t<decltype(lvalue)>>(field_);                       \
    } while (0)
// The same, with the record's field name as the key.
#define JSON_NUMBER(v, r, field)     JSON_FIELD(v, number, #field, (r).field)
#define JSON_FLAG(v, r, field)       JSON_FIELD(v, flag, #field, (r).field)
#define JSON_SIGNED(v, r, field)     JSON_FIELD(v, signed_number, #field, (r).field)
#define JSON_OPT_NUMBER(v, r, field) JSON_FIELD(v, opt_number, #field, (r).field)
#define JSON_OPT_FLAG(v, r, field)   JSON_FIELD(v, opt_flag, #field, (r).field)
// A part of a record present when its flag is: JSON_PART(v, r, has_x, { ... }).
#define JSON_PART(v, r, flag, ...) JSON_FIELD(v, part, nullptr, (r).flag, [&] __VA_ARGS__)
// A list of member objects, its count in a field of any width.
#define JSON_LIST(v, key, count, capacity, f) JSON_FIELD(v, list, key, count, capacity, f)
// Bytes with their count in another field: "trailing", "payload"...
#define JSON_HEX(v, key, r, bytes, size)                                                           \
    JSON_FIELD(v, counted_hex, key, (r).size, (r).bytes, uint32_t(sizeof(r).bytes))

#endif
