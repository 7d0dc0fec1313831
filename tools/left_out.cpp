// SPDX-License-Identifier: MIT
#include "tools/left_out.h"

#include "edid/format.h"

namespace {

const char *extended_block_name(unsigned ext)
{
    switch (ext) {
    case CEA_EXT_VIDEO_CAPABILITY: return "video capability data block";
    case CEA_EXT_VENDOR_VIDEO: return "vendor-specific video data block";
    case CEA_EXT_VESA_DISPLAY_DEVICE: return "VESA display device data block";
    case CEA_EXT_VESA_VIDEO_TIMING: return "VESA video timing block extension";
    case CEA_EXT_COLORIMETRY: return "colorimetry data block";
    case CEA_EXT_HDR_STATIC_METADATA: return "HDR static metadata data block";
    case CEA_EXT_HDR_DYNAMIC_METADATA: return "HDR dynamic metadata data block";
    case CEA_EXT_NATIVE_VIDEO_RESOLUTION: return "native video resolution data block";
    case CEA_EXT_VIDEO_FORMAT_PREFERENCE: return "video format preference data block";
    case CEA_EXT_YCBCR420_VIDEO: return "YCbCr 4:2:0 video data block";
    case CEA_EXT_YCBCR420_CAPABILITY_MAP: return "YCbCr 4:2:0 capability map data block";
    case CEA_EXT_VENDOR_AUDIO: return "vendor-specific audio data block";
    case CEA_EXT_HDMI_AUDIO: return "HDMI audio data block";
    case CEA_EXT_ROOM_CONFIGURATION: return "room configuration data block";
    case CEA_EXT_SPEAKER_LOCATION: return "speaker location data block";
    case CEA_EXT_INFOFRAME: return "InfoFrame data block";
    case CEA_EXT_DISPLAYID_TIMING_VII: return "DisplayID type VII timing data block";
    case CEA_EXT_DISPLAYID_TIMING_VIII: return "DisplayID type VIII timing data block";
    case CEA_EXT_DISPLAYID_TIMING_X: return "DisplayID type X timing data block";
    case CEA_EXT_HDMI_FORUM_OVERRIDE: return "HDMI Forum EDID extension override data block";
    case CEA_EXT_HDMI_FORUM_SINK_CAPABILITY: return "HDMI Forum sink capability data block";
    default: return nullptr;
    }
}

void print_block(FILE *s, const CeaDataBlock &b)
{
    switch (b.tag) {
    case CEA_TAG_AUDIO: fputs("audio data block", s); return;
    case CEA_TAG_VIDEO: fputs("video data block", s); return;
    case CEA_TAG_SPEAKER: fputs("speaker allocation data block", s); return;
    case CEA_TAG_VESA_DTC: fputs("VESA display transfer characteristic data block", s); return;
    case CEA_TAG_VENDOR:
        fprintf(s, "vendor-specific data block (OUI %02X-%02X-%02X)",
                unsigned(b.body.vendor.oui >> 16), unsigned(b.body.vendor.oui >> 8 & 0xFF),
                unsigned(b.body.vendor.oui & 0xFF));
        return;
    case CEA_TAG_EXTENDED: {
        const unsigned ext = b.body.raw.size ? b.body.raw.bytes[0] : 0xFFFF;
        const char *name = extended_block_name(ext);
        if (name)
            fputs(name, s);
        else
            fprintf(s, "data block of extended tag %u", ext);
        return;
    }
    default: fprintf(s, "data block of tag %u", unsigned(b.tag)); return;
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
    case 0xF7: return "established timings III descriptor";
    case 0xF8: return "CVT timing codes descriptor";
    case 0xF9: return "colour management descriptor";
    default: return "display descriptor";
    }
}

void print_timing(FILE *s, const EdidDetailedTiming &t)
{
    fprintf(s, " %ux%u%s", unsigned(t.h_active), unsigned(t.v_active * (t.interlaced ? 2 : 1)),
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

void left_out_print(FILE *s, const char *prefix, const EdidInfo *sink, const EdidLeftOut *left_out)
{
    const uint32_t count = left_out->count < uint32_t(EDID_LEFT_OUT_MAX)
                               ? left_out->count
                               : uint32_t(EDID_LEFT_OUT_MAX);
    for (uint32_t i = 0; i < count; ++i) {
        const EdidLeftOutItem &item = left_out->items[i];
        const uint32_t at = item.index;
        fprintf(s, "%sleft out ", prefix);
        switch (item.what) {
        case EDID_LEFT_OUT_DATA_BLOCK:
            if (at < CEA_MAX_DATA_BLOCKS) print_block(s, sink->cea.data_blocks[at]);
            break;
        case EDID_LEFT_OUT_DESCRIPTOR:
            fputs(descriptor_name(sink->descriptors[at % EDID_DESCRIPTORS].type), s);
            break;
        case EDID_LEFT_OUT_BASE_TIMING:
            fputs("base block detailed timing", s);
            print_timing(s, sink->descriptors[at % EDID_DESCRIPTORS].body.timing);
            break;
        case EDID_LEFT_OUT_CEA_TIMING:
            fputs("CEA detailed timing", s);
            print_timing(s, sink->cea.detailed_timings[at % CEA_MAX_DETAILED_TIMINGS]);
            break;
        case EDID_LEFT_OUT_VIDEO_CODE: fprintf(s, "VIC %u", unsigned(item.code)); break;
        case EDID_LEFT_OUT_HDMI_VIC: fprintf(s, "HDMI VIC %u", unsigned(item.code)); break;
        case EDID_LEFT_OUT_HDMI_3D: fputs("3D fields of the HDMI block", s); break;
        case EDID_LEFT_OUT_LATENCY: fputs("latency fields of the HDMI block", s); break;
        case EDID_LEFT_OUT_STANDARD_TIMING: {
            const EdidStandardTiming &t = sink->standard_timings[at % EDID_STD_TIMINGS];
            fprintf(s, "standard timing %ux%u@%u", unsigned(t.h_active), unsigned(t.v_active),
                    unsigned(t.refresh));
            break;
        }
        case EDID_LEFT_OUT_ESTABLISHED_TIMING:
            // The report line of the timing, without its indent.
            fprintf(s, "established timing %s",
                    edid_format::ESTABLISHED_TIMINGS[at % edid_format::ESTABLISHED_COUNT].line + 3);
            break;
        }
        fprintf(s, ": %s", reason(item.why));
        if (item.why == EDID_BECAUSE_REPEATS_VIC) fprintf(s, " %u", unsigned(item.code));
        fputc('\n', s);
    }
    if (left_out->count > count)
        fprintf(s, "%sleft out %u more items\n", prefix, unsigned(left_out->count - count));
}

void left_out_print_extensions(FILE *s, const char *prefix, const uint8_t *dump, size_t length)
{
    constexpr uint8_t BLOCK_MAP = 0xF0;
    const size_t blocks = length / EDID_BLOCK_SIZE;
    bool cea_seen = false;
    for (size_t n = 1; n <= dump[126] && n < blocks; ++n) {
        const uint8_t tag = dump[n * EDID_BLOCK_SIZE];
        if (tag == BLOCK_MAP || (tag == CEA_EXTENSION_TAG && !cea_seen)) {
            cea_seen |= tag == CEA_EXTENSION_TAG;
            continue;
        }
        fprintf(
            s, "%sleft out extension block %zu (tag 0x%02X): the device's EDID has one extension\n",
            prefix, n, unsigned(tag));
    }
}
