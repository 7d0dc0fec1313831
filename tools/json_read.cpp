// SPDX-License-Identifier: MIT
// json_read.cpp - the bytes of a JSON form.  Each piece (the base block, a
// descriptor, an extension block, a data block, a detailed timing) is
// written by one rule:
//   - a piece with "bytes" is written from its bytes when it holds no
//     other key that says what it is than the keys that name it ("kind",
//     "oui", "tag"), or when its keys are exactly those that its bytes
//     read as (nothing was edited);
//   - otherwise its keys are read into the library's record and encoded by
//     the library, and the bytes written are read back: a key whose value
//     they do not give back (out of its field's range, a derived value
//     that does not match) is refused, with its JSON Pointer.
// Checksums are computed, except where a piece's "checksum" gives the byte.
#include <stdio.h>
#include <string.h>

#include <edid/cta.h>
#include <edid/cta_layout.h>

#include "json_cta_records.h"
#include "json_fields.h"

using json_fields::FieldIn;
using json_fields::pointer;
using json_fields::quoted;
using json_fields::Refusal;

namespace {

constexpr uint32_t MAX_EXTENSIONS = 255;            // byte 126
constexpr uint32_t HEADER_SIZE = 8;                 // base block bytes 0 to 7
constexpr uint32_t MAX_BLOCK = 1 + CEA_MAX_PAYLOAD; // a data block's header and payload
// A display descriptor tag without a type name; "other" gives its "tag".
constexpr uint32_t OTHER_DESCRIPTOR = 0x02;
constexpr uint8_t STANDARD_HEADER[HEADER_SIZE] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};

// A piece without the keys that only say how it is written.
Json content(const Json &j)
{
    Json c = j;
    if (c.is_object())
        for (const char *key : json_pieces::CONTROL_KEYS) c.erase(key);
    return c;
}

bool zero_value(const Json &j)
{
    return j.is_null() || (j.is_boolean() && !j.get<bool>()) ||
           (j.is_number() && j.get<double>() == 0) || (j.is_string() && j.empty()) ||
           ((j.is_array() || j.is_object()) && j.empty());
}

// Members that want leaves out and that got holds with their zero value:
// a key left out reads as zero.
void drop_left_out_zeros(const Json &want, Json &got)
{
    if (want.is_object() && got.is_object()) {
        for (auto it = got.begin(); it != got.end();) {
            if (!want.contains(it.key()) && zero_value(it.value())) {
                it = got.erase(it);
            } else {
                if (want.contains(it.key())) drop_left_out_zeros(want[it.key()], it.value());
                ++it;
            }
        }
    } else if (want.is_array() && got.is_array()) {
        for (size_t i = 0; i < want.size() && i < got.size(); ++i)
            drop_left_out_zeros(want[i], got[i]);
    }
}

// Whether a piece written reads back as the input says; else the first key
// that it does not give back is refused.
bool check_written(const Json &input, const Json &written, const std::string &path, Refusal *r)
{
    const Json want = content(input);
    Json got = content(written);
    drop_left_out_zeros(want, got);
    std::string where;
    const Json *in_want = nullptr, *in_got = nullptr;
    if (json_fields::same(want, got, path, &where, &in_want, &in_got)) return true;
    if (!in_want)
        r->set(where, "missing (the bytes written hold " + quoted(*in_got) + ")");
    else if (!in_got)
        r->set(where, quoted(*in_want) + " cannot be written (the bytes written do not hold it)");
    else
        r->set(where,
               quoted(*in_want) + " cannot be written: the bytes read back as " + quoted(*in_got));
    return false;
}

enum class Take { BYTES, TYPED, REFUSED };

// The bytes rule: BYTES with *bytes filled, TYPED when the piece's typed
// keys are to be encoded, REFUSED.  json_of gives the JSON of bytes, null
// for bytes that are no such piece; names are the keys that name a piece.
template <class F>
Take take_bytes(const Json &j, const std::string &path, size_t min_size, size_t max_size,
                std::initializer_list<const char *> names, F &&json_of, std::vector<uint8_t> *bytes,
                Refusal *r)
{
    const auto it = j.find("bytes");
    if (it == j.end()) return Take::TYPED;
    const std::string at = pointer(path, "bytes");
    if (!it->is_string() || !json_fields::bytes_of_hex(it->get_ref<const std::string &>(), bytes)) {
        r->set(at, "not hex digit pairs");
        return Take::REFUSED;
    }
    if (bytes->size() < min_size || bytes->size() > max_size) {
        r->set(at, std::to_string(bytes->size()) + " bytes, not " + std::to_string(min_size) +
                       (max_size == min_size ? "" : " to " + std::to_string(max_size)));
        return Take::REFUSED;
    }
    const Json read = json_of(*bytes);
    if (read.is_null()) {
        r->set(at, "not bytes of this piece");
        return Take::REFUSED;
    }
    bool named_only = true;
    for (auto m = j.begin(); m != j.end(); ++m) {
        bool is_name = false;
        for (const char *n : names) is_name |= m.key() == n;
        for (const char *n : json_pieces::CONTROL_KEYS) is_name |= m.key() == n;
        named_only &= is_name;
    }
    if (named_only) {
        for (const char *n : names) {
            const auto m = j.find(n);
            if (m == j.end()) continue;
            const auto want = read.find(n);
            if (want == read.end() || !json_fields::same(*m, *want)) {
                r->set(pointer(path, n), quoted(*m) + ", but the bytes are " +
                                             (want == read.end() ? "none" : quoted(*want)));
                return Take::REFUSED;
            }
        }
        return Take::BYTES;
    }
    return json_fields::same(content(j), content(read)) ? Take::BYTES : Take::TYPED;
}

// "checksum": the byte 127 to write instead of the checksum.
bool set_checksum(const Json &j, const std::string &path, uint8_t *block, Refusal *r)
{
    block[EDID_OFFSET_CHECKSUM] = 0;
    block[EDID_OFFSET_CHECKSUM] = uint8_t(0 - edid_checksum(block));
    const auto it = j.find("checksum");
    if (it == j.end()) return true;
    if (!it->is_number_unsigned() || it->get<uint64_t>() > 255) {
        r->set(pointer(path, "checksum"), "not a byte 0 to 255");
        return false;
    }
    block[EDID_OFFSET_CHECKSUM] = uint8_t(it->get<uint64_t>());
    return true;
}

// ---- Detailed timings, standard timings, descriptors ------------------

bool timing_bytes(const Json &j, const std::string &path, uint8_t *out, Refusal *r)
{
    std::vector<uint8_t> b;
    switch (take_bytes(
        j, path, EDID_DESCRIPTOR_SIZE, EDID_DESCRIPTOR_SIZE, {},
        [](const std::vector<uint8_t> &v) { return json_pieces::detailed_timing(v.data()); }, &b,
        r)) {
    case Take::REFUSED: return false;
    case Take::BYTES: memcpy(out, b.data(), EDID_DESCRIPTOR_SIZE); return true;
    case Take::TYPED: break;
    }
    EdidDetailedTiming t;
    memset(&t, 0, sizeof t);
    FieldIn in(j, path, r);
    json_records::visit_detailed_timing(in, t);
    in.finish({"bytes"});
    if (in.refused()) return false;
    edid_encode_detailed_timing(&t, out);
    return check_written(j, json_pieces::detailed_timing(out), path, r);
}

// A standard timing "1920x1080@60 16:9", or null for the unused entry.
bool standard_timing(const Json &j, const std::string &path, EdidStandardTiming *t, Refusal *r)
{
    uint8_t wire[EDID_STD_TIMING_SIZE] = {0x01, 0x01};
    if (!j.is_null()) {
        unsigned h = 0, v = 0, rate = 0;
        char aspect[8] = "", tail = 0;
        const std::string s = j.is_string() ? j.get<std::string>() : "";
        int n = sscanf(s.c_str(), "%ux%u@%u %7s%c", &h, &v, &rate, aspect, &tail);
        EdidStandardTiming w;
        memset(&w, 0, sizeof w);
        constexpr uint32_t ASPECTS = 4;
        w.aspect = ASPECTS;
        for (uint32_t a = 0; a < ASPECTS; ++a)
            if (strcmp(aspect, json_records::STANDARD_ASPECTS[a].name) == 0) w.aspect = a;
        if (n != 4 || w.aspect == ASPECTS) {
            r->set(path, "not a standard timing as \"1920x1080@60 16:9\", nor null");
            return false;
        }
        w.h_active = h;
        w.refresh = rate;
        edid_encode_standard_timing(&w, wire, 0);
    }
    edid_decode_standard_timing(wire, t);
    return true;
}

bool standard_timings(const Json *list, const std::string &path, EdidStandardTiming *t,
                      uint32_t count, Refusal *r)
{
    for (uint32_t i = 0; i < count; ++i) t[i].raw_code = EDID_STD_TIMING_EMPTY;
    if (!list) return true;
    if (!list->is_array() || list->size() > count) {
        r->set(path, "not a list of at most " + std::to_string(count) + " standard timings");
        return false;
    }
    for (size_t i = 0; i < list->size(); ++i)
        if (!standard_timing((*list)[i], pointer(path, i), &t[i], r)) return false;
    return true;
}

uint32_t descriptor_type(const std::string &name)
{
    static const struct {
        const char *name;
        uint32_t type;
    } types[] = {{"detailed_timing", EDID_DESC_TIMING},
                 {"empty", EDID_DESC_EMPTY},
                 {"standard_timings", EDID_DESC_STD_TIMINGS},
                 {"white_points", EDID_DESC_WHITE_POINT},
                 {"monitor_name", EDID_DESC_NAME},
                 {"range_limits", EDID_DESC_RANGE_LIMITS},
                 {"text", EDID_DESC_TEXT},
                 {"serial", EDID_DESC_SERIAL}};
    for (const auto &t : types)
        if (name == t.name) return t.type;
    return name == "other" ? OTHER_DESCRIPTOR : UINT32_MAX;
}

// Descriptor slot of a base block: base holds the block it is written in,
// whose version tells how the slot reads.
bool descriptor_bytes(const Json &j, const std::string &path, uint8_t *base, unsigned slot,
                      Refusal *r)
{
    uint8_t *out = base + EDID_OFFSET_DESCRIPTORS + EDID_DESCRIPTOR_SIZE * slot;
    std::vector<uint8_t> b;
    const auto read_in_base = [base, slot, out](const std::vector<uint8_t> &v) {
        uint8_t copy[EDID_BLOCK_SIZE];
        memcpy(copy, base, sizeof copy);
        memcpy(copy + (out - base), v.data(), EDID_DESCRIPTOR_SIZE);
        return json_pieces::descriptor(copy, slot);
    };
    switch (take_bytes(j, path, EDID_DESCRIPTOR_SIZE, EDID_DESCRIPTOR_SIZE, {"type"}, read_in_base,
                       &b, r)) {
    case Take::REFUSED: return false;
    case Take::BYTES: memcpy(out, b.data(), EDID_DESCRIPTOR_SIZE); return true;
    case Take::TYPED: break;
    }
    FieldIn in(j, path, r);
    const Json *type = in.member("type");
    uint32_t code =
        type && type->is_string() ? descriptor_type(type->get<std::string>()) : UINT32_MAX;
    if (code == UINT32_MAX) {
        r->set(pointer(path, "type"), "not a descriptor type (detailed_timing, monitor_name, "
                                      "serial, text, range_limits, standard_timings, "
                                      "white_points, empty, other)");
        return false;
    }
    static EdidDescriptor d;
    memset(&d, 0, sizeof d);
    d.type = code;
    json_records::RangeLimitsExtras extras = {};
    uint32_t size = 0;
    switch (code) {
    case EDID_DESC_TIMING: json_records::visit_detailed_timing(in, d.body.timing); break;
    case EDID_DESC_EMPTY: break;
    case EDID_DESC_STD_TIMINGS:
        if (!standard_timings(in.member("timings"), pointer(path, "timings"), d.body.std_timings,
                              EDID_DESC_STD_TIMING_COUNT, r))
            return false;
        break;
    case EDID_DESC_WHITE_POINT:
        in.list("white_points", size, EDID_DESC_WHITE_POINT_COUNT, [](FieldIn &e, uint32_t i) {
            json_records::visit_white_point(e, d.body.white_points[i]);
        });
        break;
    case EDID_DESC_NAME:
    case EDID_DESC_TEXT:
    case EDID_DESC_SERIAL: in.text("text", d.body.text, sizeof d.body.text); break;
    case EDID_DESC_RANGE_LIMITS:
        json_records::visit_range_limits(in, d.body.range_limits, extras);
        if (extras.data_size != 0 && extras.data_size != json_records::FORMULA_DATA_SIZE)
            in.refuse("formula_data", "not 7 bytes (descriptor bytes 11 to 17)");
        break;
    default:
        JSON_FIELD(in, number, "tag", d.type);
        in.hex("data", d.body.raw, size, EDID_TEXT_SIZE);
        break;
    }
    in.finish({"bytes"});
    if (in.refused()) return false;
    edid_encode_descriptor(&d, out);
    if (code == EDID_DESC_RANGE_LIMITS) json_records::put_range_limits_extras(extras, out);
    return check_written(j, json_pieces::descriptor(base, slot), path, r);
}

// ---- Data blocks, extension blocks ------------------------------------

bool data_block_bytes(const Json &given, const std::string &path, std::vector<uint8_t> *out,
                      Refusal *r)
{
    Json j = given;
    json_cta_records::canonical_names(j);
    const auto read = [](const std::vector<uint8_t> &v) {
        // The header's length must be the bytes that follow it.
        if (size_t(1 + (v[0] & CEA_MAX_PAYLOAD)) != v.size()) return Json();
        return json_pieces::data_block(v.data(), uint32_t(v.size()));
    };
    switch (take_bytes(j, path, 1, MAX_BLOCK, {"kind", "oui"}, read, out, r)) {
    case Take::REFUSED: return false;
    case Take::BYTES: return true;
    case Take::TYPED: break;
    }
    FieldIn in(j, path, r);
    const Json *name = in.member("kind");
    const uint32_t kind = name && name->is_string()
                              ? cea_kind_of_name(name->get<std::string>().c_str())
                              : uint32_t(CEA_KINDS);
    if (kind == CEA_KINDS) {
        r->set(pointer(path, "kind"), "not a kind of data block");
        return false;
    }
    uint8_t wire[MAX_BLOCK + 1] = {};
    uint32_t written = 0;
    const bool typed =
        json_cta_records::with_kind(kind, [&](auto &record, auto, auto encode, auto visit) {
            visit(in, record);
            in.member("oui"); // names the block: it must read back as written
            in.finish({"bytes"});
            if (!in.refused()) written = encode(&record, wire);
            return true;
        });
    if (!typed) {
        r->set(path, std::string("a block of kind ") + cea_kind_name(kind) +
                         " needs its \"bytes\" (it has no typed fields)");
        return false;
    }
    if (in.refused()) return false;
    if (written == 0) {
        r->set(path, "needs more than the 31 payload bytes of a data block");
        return false;
    }
    out->assign(wire, wire + written);
    return check_written(j, json_pieces::data_block(out->data(), uint32_t(out->size())), path, r);
}

bool cta_block_bytes(const Json &j, const std::string &path, uint8_t *out, Refusal *r)
{
    FieldIn in(j, path, r);
    static CeaExtension cea;
    memset(&cea, 0, sizeof cea);
    in.member("tag");
    in.member("revision");
    json_records::visit_cta_capabilities(in, cea);
    cea_encode(&cea, out);

    // The pieces, each written by its own rule.
    std::vector<uint8_t> collection, timings, padding;
    Json expected = j; // what the block must read back as: the pieces as written
    const Json *blocks = in.member("data_blocks");
    if (blocks && !blocks->is_array()) in.refuse("data_blocks", "not a list");
    for (size_t i = 0; blocks && blocks->is_array() && i < blocks->size() && !in.refused(); ++i) {
        std::vector<uint8_t> b;
        const std::string at = pointer(pointer(path, "data_blocks"), i);
        if (!data_block_bytes((*blocks)[i], at, &b, r)) return false;
        expected["data_blocks"][i] = json_pieces::data_block(b.data(), uint32_t(b.size()));
        collection.insert(collection.end(), b.begin(), b.end());
    }
    const Json *dtds = in.member("detailed_timings");
    if (dtds && !dtds->is_array()) in.refuse("detailed_timings", "not a list");
    for (size_t i = 0; dtds && dtds->is_array() && i < dtds->size() && !in.refused(); ++i) {
        uint8_t t[EDID_DESCRIPTOR_SIZE];
        if (!timing_bytes((*dtds)[i], pointer(pointer(path, "detailed_timings"), i), t, r))
            return false;
        expected["detailed_timings"][i] = json_pieces::detailed_timing(t);
        timings.insert(timings.end(), t, t + sizeof t);
    }
    uint32_t padding_offset = 0, padding_size = 0;
    uint8_t padding_bytes[EDID_BLOCK_SIZE];
    in.object("padding", [&](FieldIn &p) {
        p.number("offset", padding_offset);
        p.hex("bytes", padding_bytes, padding_size, EDID_BLOCK_SIZE);
    });
    in.finish({"bytes", "checksum"});
    if (in.refused()) return false;
    const uint32_t timing_count = uint32_t(timings.size() / EDID_DESCRIPTOR_SIZE);
    if (timing_count > CEA_MAX_DETAILED_TIMINGS ||
        cea_encode_layout(collection.data(), uint32_t(collection.size()), timings.data(),
                          timing_count, padding_bytes, padding_offset, padding_size, out) != 0) {
        r->set(path, "does not fit its 128 bytes: " + std::to_string(collection.size()) +
                         " bytes of data blocks and " + std::to_string(timing_count) +
                         " detailed timings" +
                         (padding_size ? ", padding at " + std::to_string(padding_offset) : ""));
        return false;
    }
    if (!set_checksum(j, path, out, r)) return false;
    return check_written(expected, json_pieces::extension(out), path, r);
}

bool extension_bytes(const Json &j, const std::string &path, uint8_t *out, Refusal *r)
{
    if (!j.is_object()) {
        r->set(path, "not an object");
        return false;
    }
    std::vector<uint8_t> b;
    switch (take_bytes(
        j, path, EDID_BLOCK_SIZE, EDID_BLOCK_SIZE, {"tag"},
        [](const std::vector<uint8_t> &v) { return json_pieces::extension(v.data()); }, &b, r)) {
    case Take::REFUSED: return false;
    case Take::BYTES: memcpy(out, b.data(), EDID_BLOCK_SIZE); return set_checksum(j, path, out, r);
    case Take::TYPED: break;
    }
    const auto tag = j.find("tag");
    if (tag == j.end() || !tag->is_number_unsigned() || tag->get<uint64_t>() != CEA_EXTENSION_TAG) {
        r->set(path, "needs its \"bytes\": only CTA-861 blocks (tag 2) have typed fields");
        return false;
    }
    return cta_block_bytes(j, path, out, r);
}

// ---- Base block -------------------------------------------------------

// "1.3" as bytes 18 and 19.
bool version_of(const Json *j, EdidInfo *e, Refusal *r)
{
    unsigned major = 0, minor = 0;
    char tail = 0;
    if (!j || !j->is_string() ||
        sscanf(j->get<std::string>().c_str(), "%3u.%3u%c", &major, &minor, &tail) != 2 ||
        major > 255 || minor > 255) {
        r->set("/version", "not an EDID version as \"1.3\"");
        return false;
    }
    e->version = int32_t(major);
    e->revision = int32_t(minor);
    return true;
}

bool base_bytes(const Json &form, const Json &j, uint32_t extensions, uint8_t *out, Refusal *r)
{
    const std::string path = "/base";
    const Json *version = form.contains("version") ? &form["version"] : nullptr;
    static EdidInfo e;
    memset(&e, 0, sizeof e);
    if (!version_of(version, &e, r)) return false;
    if (!j.is_object()) {
        r->set(path, "not an object");
        return false;
    }
    // The version belongs to the base block: it is compared with the rest.
    Json input = j;
    input["version"] = *version;
    const auto read = [](const std::vector<uint8_t> &v) {
        Json base;
        std::string ver;
        if (!json_pieces::base_block(v.data(), &base, &ver)) return Json();
        base["version"] = ver;
        return base;
    };
    std::vector<uint8_t> b;
    Take take = take_bytes(input, path, EDID_BLOCK_SIZE, EDID_BLOCK_SIZE, {"version"}, read, &b, r);
    if (take == Take::REFUSED) return false;
    if (take == Take::BYTES) {
        memcpy(out, b.data(), EDID_BLOCK_SIZE);
    } else {
        FieldIn in(j, path, r);
        uint32_t header_size = HEADER_SIZE;
        memcpy(e.header, STANDARD_HEADER, HEADER_SIZE);
        in.hex("header", e.header, header_size, HEADER_SIZE);
        if (header_size != HEADER_SIZE) in.refuse("header", "not 8 bytes");
        json_records::visit_base_block(in, e);
        if (!in.refused())
            standard_timings(in.member("standard_timings"), pointer(path, "standard_timings"),
                             e.standard_timings, EDID_STD_TIMINGS, r);
        const Json *descriptors = in.member("descriptors");
        if (!in.refused() &&
            (!descriptors || !descriptors->is_array() || descriptors->size() != EDID_DESCRIPTORS))
            in.refuse("descriptors", "not a list of 4 descriptors");
        in.member("extension_count");
        in.finish({"bytes", "checksum"});
        if (in.refused()) return false;
        e.has_cea = 0;
        uint8_t encoded[2 * EDID_BLOCK_SIZE];
        edid_encode(&e, encoded);
        memcpy(out, encoded, EDID_BLOCK_SIZE);
        Json expected = input;
        for (unsigned k = 0; k < EDID_DESCRIPTORS; ++k) {
            if (!descriptor_bytes((*descriptors)[k], pointer(pointer(path, "descriptors"), k), out,
                                  k, r))
                return false;
            expected["descriptors"][k] = json_pieces::descriptor(out, k);
        }
        Json written = read(std::vector<uint8_t>(out, out + EDID_BLOCK_SIZE));
        if (written.is_null()) {
            r->set("/version", "not EDID 1.3 or 1.4");
            return false;
        }
        if (!check_written(expected, written, path, r)) return false;
    }
    const auto count = j.find("extension_count");
    if (count != j.end()) {
        if (!count->is_number_unsigned() || count->get<uint64_t>() > MAX_EXTENSIONS) {
            r->set(pointer(path, "extension_count"), "not a count 0 to 255");
            return false;
        }
        extensions = uint32_t(count->get<uint64_t>());
    }
    out[EDID_OFFSET_EXTENSION_COUNT] = uint8_t(extensions);
    return set_checksum(j, path, out, r);
}

} // namespace

bool json_form_to_edid(const Json &form, std::vector<uint8_t> *edid, std::string *error)
{
    Refusal r;
    FieldIn top(form, "", &r);
    const Json *base = top.member("base");
    top.member("version");
    const Json *extensions = top.member("extensions");
    top.finish();
    if (!r.refused() && !base) r.set("/base", "missing");
    if (!r.refused() &&
        (!extensions || !extensions->is_array() || extensions->size() > MAX_EXTENSIONS))
        r.set("/extensions", "not a list of at most 255 extension blocks");
    std::vector<uint8_t> bytes;
    if (!r.refused()) {
        const size_t count = extensions->size();
        bytes.assign((1 + count) * EDID_BLOCK_SIZE, 0);
        for (size_t i = 0; i < count && !r.refused(); ++i)
            extension_bytes((*extensions)[i], pointer("/extensions", i),
                            bytes.data() + (1 + i) * EDID_BLOCK_SIZE, &r);
        if (!r.refused()) base_bytes(form, *base, uint32_t(count), bytes.data(), &r);
    }
    if (r.refused()) {
        *error = (r.path.empty() ? "" : r.path + ": ") + r.reason;
        return false;
    }
    *edid = std::move(bytes);
    return true;
}

namespace {

// A SAX pass that only keeps where the text stops being JSON.
struct Locate : nlohmann::json_sax<Json> {
    std::string what;
    bool null() override { return true; }
    bool boolean(bool) override { return true; }
    bool number_integer(number_integer_t) override { return true; }
    bool number_unsigned(number_unsigned_t) override { return true; }
    bool number_float(number_float_t, const string_t &) override { return true; }
    bool string(string_t &) override { return true; }
    bool binary(binary_t &) override { return true; }
    bool start_object(std::size_t) override { return true; }
    bool key(string_t &) override { return true; }
    bool end_object() override { return true; }
    bool start_array(std::size_t) override { return true; }
    bool end_array() override { return true; }
    bool parse_error(std::size_t, const std::string &,
                     const nlohmann::detail::exception &e) override
    {
        what = e.what();
        return false;
    }
};

} // namespace

bool json_form_parse(const char *text, size_t length, Json *form, std::string *error)
{
    // Values nested deeper than the form's own are not kept: what reads
    // them (copies, comparisons) goes down one level at a time.
    constexpr int MAX_DEPTH = 16;
    bool too_deep = false;
    const auto keep = [&too_deep](int depth, nlohmann::detail::parse_event_t, Json &) {
        too_deep |= depth > MAX_DEPTH;
        return depth <= MAX_DEPTH;
    };
    Json j = Json::parse(text, text + length, keep, false);
    if (!j.is_discarded() && too_deep) {
        *error = "values nested deeper than " + std::to_string(MAX_DEPTH) +
                 " levels: not an EDID's form";
        return false;
    }
    if (!j.is_discarded()) {
        *form = std::move(j);
        return true;
    }
    // The parser's message reads "[json.exception.parse_error.101] parse
    // error at line L, column C: reason".
    Locate locate;
    Json::sax_parse(text, text + length, &locate);
    const size_t at = locate.what.find("line ");
    *error = at == std::string::npos ? "not JSON" : locate.what.substr(at);
    return false;
}
