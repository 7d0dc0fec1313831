// SPDX-License-Identifier: MIT
// left_out.cpp - what the video-keeping repeater left out of a sink's
// EDID, as lines for people ("left out CEA detailed timing 1920x1080i:
// repeats VIC 5"), and the sink's extension blocks that the device's EDID
// does not carry.
#include <edid/cta.h>
#include <edid/device_edid.h>
#include <stdarg.h>
#include <stdio.h>

#include "device/device.h"
#include "edid/format.h"
#include "edid/sink_layout.h"

namespace {

constexpr uint8_t BLOCK_MAP_TAG = 0xF0;
constexpr unsigned OFF_EXTENSIONS = 126;

// Display descriptor tags that EDID 1.4 defines and EDID 1.3 does not name.
enum : uint32_t { DESC_ESTABLISHED_III = 0xF7, DESC_CVT = 0xF8, DESC_COLOUR_MANAGEMENT = 0xF9 };

// The established timings' modes, in the order of their bits.
constexpr const char *ESTABLISHED_MODES[] = {
#define EDID_MODE_NAME(flag, byte, bit, mode, ...) mode,
    EDID_ESTABLISHED_TIMINGS(EDID_MODE_NAME)
#undef EDID_MODE_NAME
};

// A line assembled from pieces into line[0 .. size-1], NUL-ended, as far
// as it fits; length counts the whole line.
struct Line {
    char *text;
    uint32_t size;
    uint32_t length;

    void add(const char *format, ...) __attribute__((format(printf, 2, 3)))
    {
        va_list args;
        va_start(args, format);
        const uint32_t at = length < size ? length : size;
        const int n = vsnprintf(text + at, size - at, format, args);
        va_end(args);
        if (n > 0) length += uint32_t(n);
    }
};

// A data block by its kind; vendor blocks with their OUI, unknown kinds by
// their tag or extended tag.
void add_block(Line &l, const CeaDataBlock &b)
{
    switch (const uint32_t kind = edid_device::block_kind(b)) {
    case CEA_KIND_HDMI:
    case CEA_KIND_HDMI_FORUM:
    case CEA_KIND_AMD:
    case CEA_KIND_VENDOR:
        l.add("vendor-specific data block (OUI %02X-%02X-%02X)",
              unsigned(b.body.vendor.oui >> 16 & 0xFF), unsigned(b.body.vendor.oui >> 8 & 0xFF),
              unsigned(b.body.vendor.oui & 0xFF));
        return;
    case CEA_KIND_UNKNOWN:
        if (b.tag == CEA_TAG_EXTENDED) // 65535: not even the extended tag
            l.add("data block of extended tag %u",
                  b.body.raw.size ? unsigned(b.body.raw.bytes[0]) : 0xFFFFu);
        else
            l.add("data block of tag %u", unsigned(b.tag));
        return;
    default: l.add("%s", cea_kind_title(kind)); return;
    }
}

const char *descriptor_name(uint32_t type)
{
    switch (type) {
    case EDID_DESC_NAME: return "monitor name descriptor";
    case EDID_DESC_SERIAL: return "serial number descriptor";
    case EDID_DESC_TEXT: return "text descriptor";
    case EDID_DESC_RANGE_LIMITS: return "second range limits descriptor";
    case EDID_DESC_STD_TIMINGS: return "standard timings descriptor";
    case EDID_DESC_WHITE_POINT: return "white point descriptor";
    case DESC_ESTABLISHED_III: return "established timings III descriptor";
    case DESC_CVT: return "CVT timing codes descriptor";
    case DESC_COLOUR_MANAGEMENT: return "colour management descriptor";
    default: return "display descriptor";
    }
}

void add_timing(Line &l, const EdidDetailedTiming &t)
{
    l.add(" %ux%u%s", unsigned(t.h_active), unsigned(t.v_active * (t.interlaced ? 2 : 1)),
          t.interlaced ? "i" : "");
}

const char *reason(unsigned why)
{
    switch (why) {
    case EDID_BECAUSE_REPLACED: return "replaced by the device's";
    case EDID_BECAUSE_AUDIO: return "describes audio, which the device renders";
    case EDID_BECAUSE_ONE_EXTENSION: return "the device's EDID has one extension";
    case EDID_BECAUSE_UNKNOWN: return "not known to hold true below the device";
    case EDID_BECAUSE_DUPLICATE: return "a second block of its kind";
    case EDID_BECAUSE_NO_SLOT: return "no base block slot left";
    case EDID_BECAUSE_NO_SPACE: return "no space left in the CEA block";
    case EDID_BECAUSE_REPEATS_VIC: return "repeats VIC";
    case EDID_BECAUSE_REPEATS_TIMING: return "repeats a base block detailed timing";
    case EDID_BECAUSE_ABOVE_LIMIT: return "above the device's link limits";
    case EDID_BECAUSE_INDEXES_CHANGED: return "numbers video codes that were left out";
    case EDID_BECAUSE_LATENCY_UNKNOWN:
        return "the device's or the television's latency is not known";
    default: return "left out";
    }
}

} // namespace

extern "C" {

uint32_t edid_left_out_line(const EdidInfo *sink, const EdidLeftOutItem *item, char *text,
                            uint32_t size)
{
    Line l = {text, size, 0};
    if (size) text[0] = '\0';
    const uint32_t at = item->index;
    l.add("left out ");
    switch (item->what) {
    case EDID_LEFT_OUT_DATA_BLOCK:
        if (at < CEA_MAX_DATA_BLOCKS) add_block(l, sink->cea.data_blocks[at]);
        l.add(" #%u", unsigned(at) + 1);
        break;
    case EDID_LEFT_OUT_DESCRIPTOR:
        l.add("%s", descriptor_name(sink->descriptors[at % EDID_DESCRIPTORS].type));
        break;
    case EDID_LEFT_OUT_BASE_TIMING:
        l.add("base block detailed timing");
        add_timing(l, sink->descriptors[at % EDID_DESCRIPTORS].body.timing);
        break;
    case EDID_LEFT_OUT_CEA_TIMING:
        l.add("CEA detailed timing");
        add_timing(l, sink->cea.detailed_timings[at % CEA_MAX_DETAILED_TIMINGS]);
        break;
    case EDID_LEFT_OUT_VIDEO_CODE: l.add("VIC %u", unsigned(item->code)); break;
    case EDID_LEFT_OUT_HDMI_VIC: l.add("HDMI VIC %u", unsigned(item->code)); break;
    case EDID_LEFT_OUT_HDMI_3D: l.add("3D fields of the HDMI block"); break;
    case EDID_LEFT_OUT_LATENCY: l.add("latency fields of the HDMI block"); break;
    case EDID_LEFT_OUT_STANDARD_TIMING: {
        const EdidStandardTiming &t = sink->standard_timings[at % EDID_STD_TIMINGS];
        l.add("standard timing %ux%u@%u", unsigned(t.h_active), unsigned(t.v_active),
              unsigned(t.refresh));
        break;
    }
    case EDID_LEFT_OUT_ESTABLISHED_TIMING:
        if (at < edid_format::ESTABLISHED_COUNT)
            l.add("established timing %s", ESTABLISHED_MODES[at]);
        break;
    case EDID_LEFT_OUT_EXTENSION:
        l.add("extension block %u (tag 0x%02X)", unsigned(at), unsigned(item->code));
        break;
    }
    l.add(": %s", reason(item->why));
    if (item->why == EDID_BECAUSE_REPEATS_VIC) l.add(" %u", unsigned(item->code));
    return l.length;
}

void edid_print_left_out(const EdidInfo *sink, const EdidLeftOut *left_out)
{
    const uint32_t count = left_out->count < uint32_t(EDID_LEFT_OUT_MAX)
                               ? left_out->count
                               : uint32_t(EDID_LEFT_OUT_MAX);
    char line[EDID_LEFT_OUT_LINE];
    for (uint32_t i = 0; i < count; ++i) {
        edid_left_out_line(sink, &left_out->items[i], line, sizeof line);
        puts(line);
    }
    if (left_out->count > count)
        printf("left out %u more items\n", unsigned(left_out->count - count));
}

void edid_left_out_extensions(const uint8_t *dump, size_t length, EdidLeftOut *left_out)
{
    if (length < EDID_BLOCK_SIZE) return;
    const uint8_t *cea = edid_sink::find_cea_block(dump, length);
    const size_t blocks = length / EDID_BLOCK_SIZE;
    for (size_t n = 1; n <= dump[OFF_EXTENSIONS] && n < blocks; ++n) {
        const uint8_t *block = dump + n * EDID_BLOCK_SIZE;
        if (block == cea || block[0] == BLOCK_MAP_TAG) continue;
        if (left_out->count < EDID_LEFT_OUT_MAX)
            left_out->items[left_out->count] = {EDID_LEFT_OUT_EXTENSION, EDID_BECAUSE_ONE_EXTENSION,
                                                uint8_t(n), block[0]};
        ++left_out->count;
    }
}
}
