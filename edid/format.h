// SPDX-License-Identifier: MIT
// format.h - tables of the EDID formats that several source files share:
// the established timings of the base block, read by the decoder, the
// encoder, the report and the repeater builder; what byte 2 of a short
// audio descriptor holds, read by the audio block codec and the device's
// audio side.  Private to the library;
// the public constants are in <edid/edid.h>.
#ifndef EDID_FORMAT_H
#define EDID_FORMAT_H

#include <edid/edid.h>
#include <stdint.h>

#include "bits.h"

// Established timings, base block bytes 35 to 37, in report order: the
// record's flag, the byte (0 = byte 35), the bit, the mode as the report
// names it, and the mode's frame: pixel clock in kHz, active pixels and
// lines, total pixels and lines (both fields of an interlaced mode), and
// whether it is interlaced.  Byte 37 bits 6..0 are manufacturer_mask.
#define EDID_ESTABLISHED_TIMINGS(X)                                                                \
    X(est_720x400_70, 0, 7, "720x400@70", 28322, 720, 400, 900, 449, 0)                            \
    X(est_720x400_88, 0, 6, "720x400@88", 35500, 720, 400, 900, 449, 0)                            \
    X(est_640x480_60, 0, 5, "640x480@60", 25175, 640, 480, 800, 525, 0)                            \
    X(est_640x480_67, 0, 4, "640x480@67", 30240, 640, 480, 864, 525, 0)                            \
    X(est_640x480_72, 0, 3, "640x480@72", 31500, 640, 480, 832, 520, 0)                            \
    X(est_640x480_75, 0, 2, "640x480@75", 31500, 640, 480, 840, 500, 0)                            \
    X(est_800x600_56, 0, 1, "800x600@56", 36000, 800, 600, 1024, 625, 0)                           \
    X(est_800x600_60, 0, 0, "800x600@60", 40000, 800, 600, 1056, 628, 0)                           \
    X(est_800x600_72, 1, 7, "800x600@72", 50000, 800, 600, 1040, 666, 0)                           \
    X(est_800x600_75, 1, 6, "800x600@75", 49500, 800, 600, 1056, 625, 0)                           \
    X(est_832x624_75, 1, 5, "832x624@75", 57284, 832, 624, 1152, 667, 0)                           \
    X(est_1024x768_87i, 1, 4, "1024x768@87i", 44900, 1024, 768, 1264, 817, 1)                      \
    X(est_1024x768_60, 1, 3, "1024x768@60", 65000, 1024, 768, 1344, 806, 0)                        \
    X(est_1024x768_70, 1, 2, "1024x768@70", 75000, 1024, 768, 1328, 806, 0)                        \
    X(est_1024x768_75, 1, 1, "1024x768@75", 78750, 1024, 768, 1312, 800, 0)                        \
    X(est_1280x1024_75, 1, 0, "1280x1024@75", 135000, 1280, 1024, 1688, 1066, 0)                   \
    X(est_1152x870_75, 2, 7, "1152x870@75", 100000, 1152, 870, 1456, 915, 0)

namespace edid_format {

constexpr unsigned ESTABLISHED_BYTES = 3;
constexpr unsigned MANUFACTURER_TIMING_BITS = 7; // byte 37 bits 6..0

// The established timings in report order: byte, bit and report line.
struct EstablishedTiming {
    unsigned byte, bit;
    const char *line;
};

// One table for the whole library (inline), not a copy in each file that reads it.
inline constexpr EstablishedTiming ESTABLISHED_TIMINGS[] = {
#define EDID_REPORT_LINE(flag, byte, bit, mode, ...) {byte, bit, "   " mode},
    EDID_ESTABLISHED_TIMINGS(EDID_REPORT_LINE)
#undef EDID_REPORT_LINE
};
constexpr unsigned ESTABLISHED_COUNT = sizeof ESTABLISHED_TIMINGS / sizeof ESTABLISHED_TIMINGS[0];
// Every bit of bytes 35 to 37 but the manufacturer's names one timing.
static_assert(ESTABLISHED_COUNT == ESTABLISHED_BYTES * 8 - MANUFACTURER_TIMING_BITS);

// Whether established timing i (report order) is set in bytes 35 to 37.
constexpr bool established_set(const uint8_t *bytes, unsigned i)
{
    return edid_bits::get_bits(bytes[ESTABLISHED_TIMINGS[i].byte], ESTABLISHED_TIMINGS[i].bit,
                               ESTABLISHED_TIMINGS[i].bit) != 0;
}

// Bytes 35 to 37 -> the 17 flags and manufacturer_mask.
inline void established_from_bytes(const uint8_t *bytes, EdidInfo *info)
{
    const uint8_t b[ESTABLISHED_BYTES] = {bytes[0], bytes[1], bytes[2]};
#define EDID_FLAG_FROM_BIT(flag, byte, bit, ...)                                                   \
    info->flag = edid_bits::get_bits(b[byte], bit, bit);
    EDID_ESTABLISHED_TIMINGS(EDID_FLAG_FROM_BIT)
#undef EDID_FLAG_FROM_BIT
    info->manufacturer_mask = edid_bits::get_bits(b[2], 6, 0);
}

// The 17 flags and manufacturer_mask -> bytes 35 to 37.
inline void established_to_bytes(const EdidInfo *info, uint8_t *bytes)
{
    uint8_t b[ESTABLISHED_BYTES] = {0, 0, uint8_t(info->manufacturer_mask)};
#define EDID_FLAG_TO_BIT(flag, byte, bit, ...) b[byte] |= edid_bits::put_bits(info->flag, bit, bit);
    EDID_ESTABLISHED_TIMINGS(EDID_FLAG_TO_BIT)
#undef EDID_FLAG_TO_BIT
    bytes[0] = b[0];
    bytes[1] = b[1];
    bytes[2] = b[2];
}

// What byte 2 of a short audio descriptor holds for an audio format code:
// linear PCM the sample sizes; 9 to 13 an options byte of the format's
// own; 14 the profile in bits 2..0; the others (0, 2 to 8, 15) the maximum
// bit rate in units of 8 kbps.
enum Byte2Kind { BYTE2_DEPTHS, BYTE2_OPTIONS, BYTE2_PROFILE, BYTE2_BITRATE };

constexpr Byte2Kind byte2_kind(uint32_t format)
{
    switch (format) {
    case CEA_AUDIO_LPCM: return BYTE2_DEPTHS;
    case CEA_AUDIO_DSD:
    case CEA_AUDIO_EAC3:
    case CEA_AUDIO_DTS_HD:
    case CEA_AUDIO_MLP:
    case CEA_AUDIO_DST: return BYTE2_OPTIONS;
    case CEA_AUDIO_WMA_PRO: return BYTE2_PROFILE;
    default: return BYTE2_BITRATE;
    }
}

} // namespace edid_format

#endif
