// SPDX-License-Identifier: MIT
// json_write.cpp - the JSON form of an EDID: each piece decoded by the
// library, its record's fields written by json_records.h, and "bytes"
// added to a piece whose fields, encoded again by the library, do not give
// back its bytes (reserved bits set, lengths the record cannot hold, kinds
// without typed fields, bytes laid out where the format puts none).
#include <stdio.h>
#include <string.h>

#include <edid/cta.h>
#include <edid/cta_layout.h>

#include "json_cta_records.h"
#include "json_fields.h"

using json_fields::FieldOut;
using json_fields::hex_of;

namespace {

constexpr uint8_t STANDARD_HEADER[8] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};
constexpr size_t SCRATCH = 1 + CEA_MAX_PAYLOAD + 1; // a data block and a byte a decoder may read

// The descriptor types by name; other tags are "other" with their "tag".
const char *descriptor_type(uint32_t type)
{
    switch (type) {
    case EDID_DESC_TIMING: return "detailed_timing";
    case EDID_DESC_EMPTY: return "empty";
    case EDID_DESC_STD_TIMINGS: return "standard_timings";
    case EDID_DESC_WHITE_POINT: return "white_points";
    case EDID_DESC_NAME: return "monitor_name";
    case EDID_DESC_RANGE_LIMITS: return "range_limits";
    case EDID_DESC_TEXT: return "text";
    case EDID_DESC_SERIAL: return "serial";
    default: return "other";
    }
}

// The piece's bytes when its fields encoded again give other bytes.
void keep_bytes_unless(Json &j, const uint8_t *bytes, size_t size, const uint8_t *encoded,
                       size_t encoded_size)
{
    if (encoded_size != size || memcmp(bytes, encoded, size) != 0) j["bytes"] = hex_of(bytes, size);
}

// A range limits descriptor: bytes 0 to 2 zero and tag 0xFD, whatever
// byte 4 holds.
bool is_range_limits(const uint8_t *slot)
{
    return slot[0] == 0 && slot[1] == 0 && slot[2] == 0 && slot[3] == EDID_DESC_RANGE_LIMITS;
}

// The base block decoded as edid_decode_sink reads it, whatever its
// checksum: EDID_DECODE_OK or EDID_DECODE_BAD_VERSION.
int decode_base(const uint8_t *block, EdidInfo *info)
{
    uint8_t copy[EDID_BLOCK_SIZE];
    memcpy(copy, block, sizeof copy);
    copy[EDID_OFFSET_CHECKSUM] = 0;
    copy[EDID_OFFSET_CHECKSUM] = uint8_t(0 - edid_checksum(copy));
    memset(info, 0, sizeof *info);
    return edid_decode_sink(copy, sizeof copy, info);
}

// Standard timings up to the last one used.
Json standard_timings(const EdidStandardTiming *timings, unsigned count)
{
    Json list = Json::array();
    unsigned used = 0;
    for (unsigned i = 0; i < count; ++i)
        if (timings[i].raw_code != EDID_STD_TIMING_EMPTY) used = i + 1;
    for (unsigned i = 0; i < used; ++i) list.push_back(json_pieces::standard_timing(timings[i]));
    return list;
}

// The JSON of a descriptor slot's bytes, decoded into d.
Json descriptor_fields(EdidDescriptor &d, const uint8_t *bytes)
{
    Json j = Json::object();
    j["type"] = descriptor_type(d.type);
    FieldOut out(j);
    switch (d.type) {
    case EDID_DESC_TIMING: json_records::visit_detailed_timing(out, d.body.timing); break;
    case EDID_DESC_EMPTY: break;
    case EDID_DESC_STD_TIMINGS:
        j["timings"] = standard_timings(d.body.std_timings, EDID_DESC_STD_TIMING_COUNT);
        break;
    case EDID_DESC_WHITE_POINT:
        out.list("white_points", EDID_DESC_WHITE_POINT_COUNT, EDID_DESC_WHITE_POINT_COUNT,
                 [&d](FieldOut &e, uint32_t i) {
                     json_records::visit_white_point(e, d.body.white_points[i]);
                 });
        break;
    case EDID_DESC_NAME:
    case EDID_DESC_TEXT:
    case EDID_DESC_SERIAL: out.text("text", d.body.text, sizeof d.body.text); break;
    case EDID_DESC_RANGE_LIMITS: {
        json_records::RangeLimitsExtras x = json_records::range_limits_extras(bytes);
        json_records::visit_range_limits(out, d.body.range_limits, x);
        break;
    }
    default:
        j["tag"] = d.type;
        out.hex("data", d.body.raw, EDID_TEXT_SIZE, EDID_TEXT_SIZE);
        break;
    }
    return j;
}

Json cta_block(const uint8_t *block, const CeaExtension &decoded)
{
    Json j = Json::object();
    j["tag"] = block[0];
    j["revision"] = CEA_REVISION;
    CeaExtension caps = decoded;
    FieldOut out(j);
    json_records::visit_cta_capabilities(out, caps);

    static CeaLayout layout;
    cea_decode_layout(block, &layout);
    uint8_t collection[EDID_BLOCK_SIZE],
        timings[size_t(CEA_MAX_DETAILED_TIMINGS) * EDID_DESCRIPTOR_SIZE];
    uint32_t collection_size = 0;
    Json blocks = Json::array(), dtds = Json::array();
    for (uint32_t i = 0; i < layout.block_count; ++i) {
        const CeaSpan s = layout.blocks[i];
        blocks.push_back(json_pieces::data_block(block + s.offset, s.size));
        if (collection_size + s.size <= sizeof collection)
            memcpy(collection + collection_size, block + s.offset, s.size);
        collection_size += s.size;
    }
    for (uint32_t i = 0; i < layout.timing_count; ++i) {
        dtds.push_back(json_pieces::detailed_timing(block + layout.timings[i]));
        memcpy(timings + EDID_DESCRIPTOR_SIZE * i, block + layout.timings[i], EDID_DESCRIPTOR_SIZE);
    }
    j["data_blocks"] = blocks;
    j["detailed_timings"] = dtds;
    if (layout.padding.size) {
        Json padding = Json::object();
        padding["offset"] = layout.padding.offset;
        padding["bytes"] = hex_of(block + layout.padding.offset, layout.padding.size);
        j["padding"] = padding;
    }

    // The block as its pieces lay it out again; else its bytes.
    CeaExtension header = decoded;
    header.data_block_count = 0;
    header.detailed_timing_count = 0;
    uint8_t encoded[EDID_BLOCK_SIZE];
    cea_encode(&header, encoded);
    const bool laid_out =
        cea_encode_layout(collection, collection_size, timings, layout.timing_count,
                          block + layout.padding.offset, layout.padding.offset, layout.padding.size,
                          encoded) == 0;
    if (!laid_out || memcmp(encoded, block, EDID_OFFSET_CHECKSUM) != 0)
        j["bytes"] = hex_of(block, EDID_BLOCK_SIZE);
    return j;
}

} // namespace

Json json_pieces::standard_timing(const EdidStandardTiming &t)
{
    if (t.raw_code == EDID_STD_TIMING_EMPTY) return Json();
    const json_records::StandardAspect &a = json_records::STANDARD_ASPECTS[t.aspect & 3];
    char text[48];
    snprintf(text, sizeof text, "%ux%u@%u %s", unsigned(t.h_active),
             unsigned(t.h_active * a.height / a.width), unsigned(t.refresh), a.name);
    return text;
}

Json json_pieces::detailed_timing(const uint8_t *bytes)
{
    EdidDetailedTiming t;
    edid_decode_detailed_timing(bytes, &t);
    Json j = Json::object();
    FieldOut out(j);
    json_records::visit_detailed_timing(out, t);
    uint8_t encoded[EDID_DESCRIPTOR_SIZE];
    edid_encode_detailed_timing(&t, encoded);
    keep_bytes_unless(j, bytes, EDID_DESCRIPTOR_SIZE, encoded, sizeof encoded);
    return j;
}

Json json_pieces::descriptor(const uint8_t *base, unsigned slot)
{
    static EdidInfo info;
    const uint8_t *bytes = base + EDID_OFFSET_DESCRIPTORS + EDID_DESCRIPTOR_SIZE * slot;
    if (decode_base(base, &info) != EDID_DECODE_OK) {
        // Not read as EDID 1.3 or 1.4: the slot alone.
        memset(&info, 0, sizeof info);
        edid_decode_descriptor(bytes, &info.descriptors[slot]);
    }
    EdidDescriptor &d = info.descriptors[slot];
    if (is_range_limits(bytes)) {
        // Rate offsets in byte 4 make edid.h read the slot as a timing.
        uint8_t copy[EDID_DESCRIPTOR_SIZE];
        memcpy(copy, bytes, sizeof copy);
        copy[json_records::RATE_OFFSETS_AT] = 0;
        edid_decode_descriptor(copy, &d);
    }
    Json j = descriptor_fields(d, bytes);
    uint8_t encoded[EDID_DESCRIPTOR_SIZE];
    edid_encode_descriptor(&d, encoded);
    if (d.type == EDID_DESC_RANGE_LIMITS)
        json_records::put_range_limits_extras(json_records::range_limits_extras(bytes), encoded);
    keep_bytes_unless(j, bytes, EDID_DESCRIPTOR_SIZE, encoded, sizeof encoded);
    return j;
}

Json json_pieces::data_block(const uint8_t *bytes, uint32_t size)
{
    // A copy with room behind it, whatever the block's length.
    uint8_t local[SCRATCH] = {}, encoded[SCRATCH] = {};
    memcpy(local, bytes, size < SCRATCH ? size : SCRATCH);
    const uint32_t kind = cea_block_kind(local);
    Json j = Json::object();
    j["kind"] = cea_kind_name(kind);
    FieldOut out(j);
    if (kind == CEA_KIND_HDMI || kind == CEA_KIND_HDMI_FORUM || kind == CEA_KIND_AMD) {
        static CeaVendorBlock vendor;
        cea_decode_vendor_block(local, &vendor);
        out.oui("oui", vendor.oui);
    }
    // The keys written, read back as the reader reads them: the bytes they
    // give are the block's own, or the block keeps its bytes.
    uint32_t written = 0;
    const bool typed =
        json_cta_records::with_kind(kind, [&](auto &record, auto decode, auto encode, auto visit) {
            decode(local, &record);
            visit(out, record);
            static std::remove_reference_t<decltype(record)> read;
            memset(&read, 0, sizeof read);
            json_fields::Refusal refusal;
            json_fields::FieldIn in(j, "", &refusal);
            visit(in, read);
            written = refusal.refused() ? 0 : encode(&read, encoded);
            return true;
        });
    if (!typed) {
        j["bytes"] = hex_of(bytes, size);
        return j;
    }
    keep_bytes_unless(j, bytes, size, encoded, written);
    return j;
}

Json json_pieces::extension(const uint8_t *block)
{
    static CeaExtension cea;
    Json j;
    if (cea_decode(block, &cea) == 0) {
        j = cta_block(block, cea);
    } else {
        j = Json::object();
        j["tag"] = block[0];
        j["bytes"] = hex_of(block, EDID_BLOCK_SIZE);
    }
    if (edid_checksum(block) != 0) j["checksum"] = block[EDID_OFFSET_CHECKSUM];
    return j;
}

bool json_pieces::base_block(const uint8_t *block, Json *base, std::string *version)
{
    static EdidInfo info;
    if (decode_base(block, &info) != EDID_DECODE_OK) return false;
    *version = std::to_string(info.version) + "." + std::to_string(info.revision);
    Json j = Json::object();
    if (memcmp(info.header, STANDARD_HEADER, sizeof STANDARD_HEADER) != 0)
        j["header"] = hex_of(info.header, sizeof info.header);
    FieldOut out(j);
    json_records::visit_base_block(out, info);
    j["standard_timings"] = standard_timings(info.standard_timings, EDID_STD_TIMINGS);
    Json descriptors = Json::array();
    for (unsigned k = 0; k < EDID_DESCRIPTORS; ++k) descriptors.push_back(descriptor(block, k));
    j["descriptors"] = descriptors;

    // The block encoded again, the descriptor slots as they are.
    uint8_t encoded[2 * EDID_BLOCK_SIZE];
    info.has_cea = 0;
    edid_encode(&info, encoded);
    memcpy(encoded + EDID_OFFSET_DESCRIPTORS, block + EDID_OFFSET_DESCRIPTORS,
           EDID_DESCRIPTORS * EDID_DESCRIPTOR_SIZE);
    if (memcmp(encoded, block, EDID_OFFSET_EXTENSION_COUNT) != 0)
        j["bytes"] = hex_of(block, EDID_BLOCK_SIZE);
    if (edid_checksum(block) != 0) j["checksum"] = block[EDID_OFFSET_CHECKSUM];
    *base = std::move(j);
    return true;
}

namespace {

constexpr size_t TEXT_COLUMNS = 100;

// A value on one line: ", " and ": " between members, as people write it.
std::string one_line(const Json &j)
{
    std::string s;
    if (j.is_object()) {
        for (auto it = j.begin(); it != j.end(); ++it)
            s += (s.empty() ? "{" : ", ") + Json(it.key()).dump() + ": " + one_line(it.value());
        return s.empty() ? "{}" : s + "}";
    }
    if (j.is_array()) {
        for (const Json &e : j) s += (s.empty() ? "[" : ", ") + one_line(e);
        return s.empty() ? "[]" : s + "]";
    }
    return j.dump();
}

// value after "indent" blanks and a prefix ("key": ) already written.
void append_text(const Json &j, size_t indent, size_t prefix, std::string *out)
{
    const std::string line = one_line(j);
    if (!j.is_structured() || j.empty() || indent + prefix + line.size() <= TEXT_COLUMNS) {
        *out += line;
        return;
    }
    const std::string inner(indent + 2, ' ');
    *out += j.is_object() ? "{\n" : "[\n";
    size_t n = 0;
    for (auto it = j.begin(); it != j.end(); ++it, ++n) {
        *out += inner;
        size_t key = 0;
        if (j.is_object()) {
            const std::string name = Json(it.key()).dump() + ": ";
            *out += name;
            key = name.size();
        }
        append_text(it.value(), indent + 2, key, out);
        *out += n + 1 < j.size() ? ",\n" : "\n";
    }
    *out += std::string(indent, ' ') + (j.is_object() ? "}" : "]");
}

} // namespace

std::string json_form_text(const Json &form)
{
    std::string text;
    append_text(form, 0, 0, &text);
    return text + "\n";
}

bool json_form_of_edid(const uint8_t *dump, size_t length, Json *form, std::string *error)
{
    if (length < EDID_BLOCK_SIZE) {
        *error = "shorter than one 128-byte EDID block";
        return false;
    }
    Json base;
    std::string version;
    if (!json_pieces::base_block(dump, &base, &version)) {
        *error = "not EDID 1.3 or 1.4";
        return false;
    }
    const size_t announced = dump[EDID_OFFSET_EXTENSION_COUNT];
    const size_t held = length / EDID_BLOCK_SIZE - 1;
    const size_t count = announced < held ? announced : held;
    if (count != announced) base["extension_count"] = announced;
    Json extensions = Json::array();
    for (size_t n = 1; n <= count; ++n)
        extensions.push_back(json_pieces::extension(dump + EDID_BLOCK_SIZE * n));
    Json j = Json::object();
    j["version"] = version;
    j["base"] = std::move(base);
    j["extensions"] = std::move(extensions);
    *form = std::move(j);
    return true;
}
