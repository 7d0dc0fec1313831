// SPDX-License-Identifier: MIT
// The E-EDID 1.3 base block: checksum, decoder with the search for the first
// CEA-861 extension (directly or through the extension block maps), report,
// and encoder; and the sink decode, which reads EDID 1.4 too and takes the
// CEA block where a sink puts it.
#include <edid/cta.h>
#include <edid/edid.h>
#include <stdio.h>
#include <string.h>

#include "bits.h"
#include "cta_report.h"
#include "cea.h"
#include "format.h"
#include "sink_layout.h"

using namespace edid_bits;
using namespace edid_format;

namespace {

// Base block byte offsets.
constexpr unsigned OFF_HEADER = 0, HEADER_SIZE = 8;
constexpr unsigned OFF_VENDOR = 8; // big-endian word of three 5-bit letters
constexpr unsigned OFF_PRODUCT = 10;
constexpr unsigned OFF_SERIAL = 12;
constexpr unsigned OFF_WEEK = 16;
constexpr unsigned OFF_YEAR = 17; // year - 1990
constexpr unsigned OFF_VERSION = 18, OFF_REVISION = 19;
constexpr unsigned OFF_VIDEO_INPUT = 20;
constexpr unsigned OFF_MAX_H_CM = 21, OFF_MAX_V_CM = 22;
constexpr unsigned OFF_GAMMA = 23;
constexpr unsigned OFF_FEATURES = 24;
constexpr unsigned OFF_CHROMA_LOW_RG = 25, OFF_CHROMA_LOW_BW = 26;
constexpr unsigned OFF_CHROMA_HIGH = 27; // red x, red y, ... white y
constexpr unsigned OFF_ESTABLISHED = 35; // bytes 35 to 37
constexpr unsigned OFF_STD_TIMINGS = 38;
constexpr unsigned OFF_DESCRIPTORS = 54;
constexpr unsigned OFF_EXTENSIONS = 126;
constexpr unsigned OFF_CHECKSUM = 127;

constexpr int YEAR_BASE = 1990;
constexpr int LETTER_BASE = 64; // 5-bit letter code 1 is 'A'

// Extension block maps: block 1 maps blocks 2 to 127, block 128 maps 129 to 254.
constexpr unsigned FIRST_EXTENSION = 1;
constexpr uint8_t BLOCK_MAP_TAG = 0xF0;
constexpr unsigned FIRST_MAP = 1, SECOND_MAP = 128;
constexpr unsigned MAP_FIRST_ENTRY = 1, MAP_LAST_ENTRY = 126;
constexpr unsigned SECOND_MAP_MIN_EXTENSIONS = 128;
constexpr unsigned LAST_MAPPED_BLOCK = SECOND_MAP + MAP_LAST_ENTRY;

// How a decode reads the dump: as edid_decode does (EDID 1.3, the CEA block
// where the extension count and the maps say, a zero data block header
// ending the collection), or as real sinks lay it out (edid_decode_sink:
// EDID 1.4 too, the first CEA block among the blocks announced, empty data
// blocks passed over).
enum class Reading { EDID_13, SINK };

// A dump of known length: block n is there when it lies wholly inside it.
struct Dump {
    const uint8_t *bytes;
    size_t length;

    const uint8_t *block(unsigned n) const
    {
        size_t end = (size_t(n) + 1) * EDID_BLOCK_SIZE;
        return end <= length ? bytes + size_t(n) * EDID_BLOCK_SIZE : nullptr;
    }
};

// Block number of the first map entry with the CEA tag that designates a
// block up to last_block, or 0 for none.
unsigned find_cea_in_map(const uint8_t *map, unsigned first_block, unsigned last_block)
{
    for (unsigned i = MAP_FIRST_ENTRY; i <= MAP_LAST_ENTRY && first_block + i <= last_block; ++i)
        if (map[i] == CEA_EXTENSION_TAG) return first_block + i;
    return 0;
}

// The first of blocks 1 to last whose tag byte is the CEA tag, or null.
const uint8_t *first_cea_block(const Dump &dump, unsigned last)
{
    for (unsigned n = FIRST_EXTENSION; n <= last; ++n) {
        const uint8_t *block = dump.block(n);
        if (!block) return nullptr; // the later blocks lie past the dump too
        if (block[0] == CEA_EXTENSION_TAG) return block;
    }
    return nullptr;
}

// The block that the extension count and the maps designate for the CEA
// extension, or null.  Only the first map entry with the CEA tag is tried.
// A sink decode looks only at the blocks that byte 126 announces, and
// takes the first of them with the CEA tag when block 1 is not a valid map.
const uint8_t *designated_cea_block(const Dump &dump, unsigned extensions, Reading reading)
{
    const bool sink = reading == Reading::SINK;
    if (extensions == 0) return nullptr;
    if (extensions == 1 && !sink) return dump.block(FIRST_EXTENSION);
    const uint8_t *map = dump.block(FIRST_MAP);
    if (!map || map[0] != BLOCK_MAP_TAG || edid_checksum(map) != 0)
        return sink ? first_cea_block(dump, extensions) : nullptr;
    const unsigned last = sink ? extensions : LAST_MAPPED_BLOCK;
    if (unsigned n = find_cea_in_map(map, FIRST_MAP, last)) return dump.block(n);
    if (extensions < SECOND_MAP_MIN_EXTENSIONS) return nullptr;
    // The second map's tag and checksum are not examined.
    map = dump.block(SECOND_MAP);
    if (!map) return nullptr;
    if (unsigned n = find_cea_in_map(map, SECOND_MAP, last)) return dump.block(n);
    return nullptr;
}

// The CEA block: the designated one when the CEA decoder reads it (its tag
// and revision), else none.  A map entry that points at a DisplayID block,
// or a CEA block of another revision, gives no CEA block, to the decode and
// to the device's audio search alike.
const uint8_t *find_cea_block(const Dump &dump, unsigned extensions, Reading reading)
{
    const uint8_t *block = designated_cea_block(dump, extensions, reading);
    return block && edid_cea::is_cea_block(block) ? block : nullptr;
}

uint32_t chroma(const uint8_t *b, unsigned index)
{
    // Low bits: byte 25 (red, green) or 26 (blue, white), two per coordinate
    // from bit 7 down, in the order of the high bytes.
    const uint8_t low = b[index < 4 ? OFF_CHROMA_LOW_RG : OFF_CHROMA_LOW_BW];
    const unsigned shift = 6 - 2 * (index % 4);
    return uint32_t(b[OFF_CHROMA_HIGH + index]) << 2 | get_bits(low, shift + 1, shift);
}

// EDID 1.4 range limits, descriptor byte 4: bits 1..0 say whether 255 is
// added to the maximum (x1) and minimum (11) vertical rate, bits 3..2 the
// same for the horizontal rate.  EDID 1.3 states rates up to 255 only: a
// rate with an offset is held as 255.
constexpr unsigned OFF_RANGE_OFFSETS = 4;
constexpr uint32_t EDID_13_MAX_RATE = 255;

void convert_range_offsets(uint8_t offsets, EdidRangeLimits *r)
{
    if (get_bits(offsets, 1, 1)) r->max_v_hz = EDID_13_MAX_RATE;
    if (get_bits(offsets, 1, 0) == 3) r->min_v_hz = EDID_13_MAX_RATE;
    if (get_bits(offsets, 3, 3)) r->max_h_khz = EDID_13_MAX_RATE;
    if (get_bits(offsets, 3, 2) == 3) r->min_h_khz = EDID_13_MAX_RATE;
}

constexpr int EDID_REVISION_14 = 4;

// The base block's checksum and version: EDID 1.3, or 1.4 too for a sink.
int check_base_block(const uint8_t *b, Reading reading)
{
    if (!b || edid_checksum(b) != 0) return EDID_DECODE_BAD_CHECKSUM;
    const bool is_14 = reading == Reading::SINK && b[OFF_VERSION] == EDID_VERSION &&
                       b[OFF_REVISION] == EDID_REVISION_14;
    if (!is_14 && (b[OFF_VERSION] != EDID_VERSION || b[OFF_REVISION] != EDID_REVISION))
        return EDID_DECODE_BAD_VERSION;
    return EDID_DECODE_OK;
}

int decode(const Dump &dump, EdidInfo *info, Reading reading = Reading::EDID_13)
{
    const uint8_t *b = dump.block(0);
    const int status = check_base_block(b, reading);
    if (status != EDID_DECODE_OK) return status;
    const bool is_14 = b[OFF_REVISION] == EDID_REVISION_14;

    memcpy(info->header, b + OFF_HEADER, HEADER_SIZE);
    info->vendor_id[0] = char(get_bits(b[OFF_VENDOR], 6, 2) + LETTER_BASE);
    info->vendor_id[1] = char(
        (get_bits(b[OFF_VENDOR], 1, 0) << 3 | get_bits(b[OFF_VENDOR + 1], 7, 5)) + LETTER_BASE);
    info->vendor_id[2] = char(get_bits(b[OFF_VENDOR + 1], 4, 0) + LETTER_BASE);
    info->vendor_id[3] = '\0';
    info->product_code = get_le16(b + OFF_PRODUCT);
    info->serial_number = get_le32(b + OFF_SERIAL);
    info->week = b[OFF_WEEK];
    info->year = b[OFF_YEAR] + YEAR_BASE;
    info->version = b[OFF_VERSION];
    info->revision = b[OFF_REVISION];
    info->video_input = b[OFF_VIDEO_INPUT];
    info->max_h_size_cm = b[OFF_MAX_H_CM];
    info->max_v_size_cm = b[OFF_MAX_V_CM];
    info->gamma = gamma_from_byte(b[OFF_GAMMA]);
    info->features = b[OFF_FEATURES];
    info->red_x = chroma(b, 0);
    info->red_y = chroma(b, 1);
    info->green_x = chroma(b, 2);
    info->green_y = chroma(b, 3);
    info->blue_x = chroma(b, 4);
    info->blue_y = chroma(b, 5);
    info->white_x = chroma(b, 6);
    info->white_y = chroma(b, 7);

    established_from_bytes(b + OFF_ESTABLISHED, info);

    for (unsigned k = 0; k < EDID_STD_TIMINGS; ++k)
        edid_decode_standard_timing(b + OFF_STD_TIMINGS + EDID_STD_TIMING_SIZE * k,
                                    &info->standard_timings[k]);
    for (unsigned k = 0; k < EDID_DESCRIPTORS; ++k)
        edid_decode_descriptor(b + OFF_DESCRIPTORS + EDID_DESCRIPTOR_SIZE * k,
                               &info->descriptors[k]);

    for (unsigned k = 0; is_14 && k < EDID_DESCRIPTORS; ++k) {
        // A range limits descriptor with rate offsets has a non-zero byte 4,
        // which EDID 1.3 reads as a detailed timing.
        const uint8_t *slot = b + OFF_DESCRIPTORS + EDID_DESCRIPTOR_SIZE * k;
        if (slot[0] || slot[1] || slot[2] || slot[3] != EDID_DESC_RANGE_LIMITS) continue;
        uint8_t limits[EDID_DESCRIPTOR_SIZE];
        memcpy(limits, slot, sizeof limits);
        limits[OFF_RANGE_OFFSETS] = 0;
        edid_decode_descriptor(limits, &info->descriptors[k]);
        convert_range_offsets(slot[OFF_RANGE_OFFSETS], &info->descriptors[k].body.range_limits);
    }

    const uint8_t *cea = find_cea_block(dump, b[OFF_EXTENSIONS], reading);
    const edid_cea::ZeroHeader zero_header = reading == Reading::SINK
                                                 ? edid_cea::ZeroHeader::EMPTY_BLOCK
                                                 : edid_cea::ZeroHeader::ENDS_COLLECTION;
    info->has_cea = cea && edid_cea::decode(cea, &info->cea, zero_header) >= 0;
    return EDID_DECODE_OK;
}

void put_chroma(uint32_t value, unsigned index, uint8_t *b)
{
    const unsigned shift = 6 - 2 * (index % 4);
    b[OFF_CHROMA_HIGH + index] = uint8_t(value >> 2);
    b[index < 4 ? OFF_CHROMA_LOW_RG : OFF_CHROMA_LOW_BW] |= put_bits(value, shift + 1, shift);
}

} // namespace

uint8_t edid_checksum(const uint8_t *block)
{
    uint8_t sum = 0;
    for (unsigned i = 0; i < EDID_BLOCK_SIZE; ++i) sum = uint8_t(sum + block[i]);
    return sum;
}

int edid_decode(const uint8_t *dump, EdidInfo *info)
{
    return decode(Dump{dump, SIZE_MAX}, info);
}

int edid_decode_bounded(const uint8_t *dump, size_t length, EdidInfo *info)
{
    return decode(Dump{dump, length}, info);
}

int edid_decode_sink(const uint8_t *dump, size_t length, EdidInfo *info)
{
    return decode(Dump{dump, length}, info, Reading::SINK);
}

int edid_sink::check_base_block(const uint8_t *dump, size_t length)
{
    return ::check_base_block(Dump{dump, length}.block(0), Reading::SINK);
}

const uint8_t *edid_sink::find_cea_block(const uint8_t *dump, size_t length)
{
    const Dump d{dump, length};
    const uint8_t *base = d.block(0);
    return base ? ::find_cea_block(d, base[OFF_EXTENSIONS], Reading::SINK) : nullptr;
}

namespace {

// The report of the base block, up to the CEA block.
void print_base(const EdidInfo *info)
{
    const uint8_t *h = info->header;
    printf("Header: %02X%02X%02X%02X%02X%02X%02X%02X\n", h[0], h[1], h[2], h[3], h[4], h[5], h[6],
           h[7]);
    printf("Manufacturer: %.3s\tProduct: %d\n", info->vendor_id, int(info->product_code));
    printf("Serial number: %08X or %u\n", unsigned(info->serial_number),
           unsigned(info->serial_number));
    printf("Year: %d\tWeek: %d\n", int(info->year), int(info->week));
    printf("EDID version: %d.%d\n", int(info->version), int(info->revision));
    printf("Video input definition: %02X\n", unsigned(info->video_input));
    if (info->max_h_size_cm != 0 && info->max_v_size_cm != 0)
        printf("Max image size (horizontal X  vertical): %dcm X %dcm\n", int(info->max_h_size_cm),
               int(info->max_v_size_cm));
    printf("Display gamma: %u.%03u\n", fixed_int(info->gamma), fixed_milli(info->gamma));
    printf("Supported features: %02X\n", unsigned(info->features));
    printf("Chroma info: rx=%u.%03u\tgx=%u.%03u\tbx=%u.%03u\twx=%u.%03u\n", fixed_int(info->red_x),
           fixed_milli(info->red_x), fixed_int(info->green_x), fixed_milli(info->green_x),
           fixed_int(info->blue_x), fixed_milli(info->blue_x), fixed_int(info->white_x),
           fixed_milli(info->white_x));
    printf("             ry=%u.%03u\tgy=%u.%03u\tby=%u.%03u\twy=%u.%03u\n", fixed_int(info->red_y),
           fixed_milli(info->red_y), fixed_int(info->green_y), fixed_milli(info->green_y),
           fixed_int(info->blue_y), fixed_milli(info->blue_y), fixed_int(info->white_y),
           fixed_milli(info->white_y));

    puts("Established timings:");
    uint8_t est[ESTABLISHED_BYTES];
    established_to_bytes(info, est);
    for (unsigned i = 0; i < ESTABLISHED_COUNT; ++i)
        if (established_set(est, i)) puts(ESTABLISHED_TIMINGS[i].line);
    printf("Manufacturer's mask: %02X\n", unsigned(info->manufacturer_mask));

    for (const EdidStandardTiming &t : info->standard_timings) edid_print_standard_timing(&t);
    for (const EdidDescriptor &d : info->descriptors) edid_print_descriptor(&d);
}

} // namespace

void edid_print(const EdidInfo *info)
{
    print_base(info);
    if (info->has_cea) cea_print(&info->cea);
}

void edid_print_typed(const EdidInfo *info, const uint8_t *cea_block)
{
    print_base(info);
    if (info->has_cea) edid_cta_report::print_cea(&info->cea, cea_block);
}

const uint8_t *edid_sink_cea_block(const uint8_t *dump, size_t length)
{
    return edid_sink::find_cea_block(dump, length);
}

int edid_encode(const EdidInfo *info, uint8_t *out)
{
    uint8_t *b = out;
    memset(b, 0x01, EDID_BLOCK_SIZE);
    memcpy(b + OFF_HEADER, info->header, HEADER_SIZE);

    const unsigned c1 = unsigned(info->vendor_id[0] - LETTER_BASE);
    const unsigned c2 = unsigned(info->vendor_id[1] - LETTER_BASE);
    const unsigned c3 = unsigned(info->vendor_id[2] - LETTER_BASE);
    b[OFF_VENDOR] = uint8_t(c1 << 2 | c2 >> 3);
    b[OFF_VENDOR + 1] = uint8_t(c2 << 5 | c3);

    put_le16(info->product_code, b + OFF_PRODUCT);
    put_le32(info->serial_number, b + OFF_SERIAL);
    b[OFF_WEEK] = uint8_t(info->week);
    b[OFF_YEAR] = uint8_t(info->year - YEAR_BASE);
    b[OFF_VERSION] = uint8_t(info->version);
    b[OFF_REVISION] = uint8_t(info->revision);
    b[OFF_VIDEO_INPUT] = uint8_t(info->video_input);
    b[OFF_MAX_H_CM] = uint8_t(info->max_h_size_cm);
    b[OFF_MAX_V_CM] = uint8_t(info->max_v_size_cm);
    b[OFF_GAMMA] = gamma_to_byte(info->gamma);
    b[OFF_FEATURES] = info->features;

    b[OFF_CHROMA_LOW_RG] = 0;
    b[OFF_CHROMA_LOW_BW] = 0;
    const uint32_t coords[8] = {info->red_x,  info->red_y,  info->green_x, info->green_y,
                                info->blue_x, info->blue_y, info->white_x, info->white_y};
    for (unsigned i = 0; i < 8; ++i) put_chroma(coords[i], i, b);

    established_to_bytes(info, b + OFF_ESTABLISHED);
    for (unsigned k = 0; k < EDID_STD_TIMINGS; ++k)
        edid_encode_standard_timing(&info->standard_timings[k],
                                    b + OFF_STD_TIMINGS + EDID_STD_TIMING_SIZE * k, 1);
    for (unsigned k = 0; k < EDID_DESCRIPTORS; ++k)
        edid_encode_descriptor(&info->descriptors[k],
                               b + OFF_DESCRIPTORS + EDID_DESCRIPTOR_SIZE * k);

    b[OFF_EXTENSIONS] = info->has_cea ? 1 : 0;
    if (info->has_cea) cea_encode(&info->cea, out + EDID_BLOCK_SIZE);
    b[OFF_CHECKSUM] = 0;
    b[OFF_CHECKSUM] = uint8_t(0 - edid_checksum(b));
    return 0;
}
