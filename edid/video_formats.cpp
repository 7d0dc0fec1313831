// SPDX-License-Identifier: MIT
// video_formats.cpp - the frame timings of the CTA-861 video identification
// codes (with their syncs) and of the established timings, and of a
// detailed timing; a VIC as a detailed timing.
#include "video_formats.h"

#include "bits.h"
#include "format.h"

namespace edid_video {

namespace {

// 16 bytes a row, in flash on the 32-bit target: the clock (at most 5.94
// GHz), the scan and the sync polarities share a word, the porches and
// syncs another.  The widths hold every format of the table; a value that
// overflows one is a compile error (-Woverflow).
struct FormatRow {
    uint32_t pixel_khz : 23;
    uint32_t interlaced : 1;
    uint32_t hsync_positive : 1;
    uint32_t vsync_positive : 1;
    uint16_t h_active, v_active, h_total, v_total;
    uint32_t h_front : 12, h_sync : 9, v_front : 5, v_sync : 6;
};
static_assert(sizeof(FormatRow) == 16);

// CTA-861 VICs 1 to 127, then 193 to 219, a row each: pixel clock in kHz;
// interlaced; horizontal and vertical sync positive; active pixels and
// lines; total pixels and lines (of the frame, both fields of an interlaced
// format); horizontal front porch and sync width in pixels; vertical front
// porch and sync width in lines (of a field when interlaced: when the frame
// has an odd number of lines, the odd field's front porch and the even
// field's back porch are half a line longer than the row's whole lines).
// Pixel-repeated formats (VICs 6 to 15, 21 to 30, 35 to 38, 44, 45, 50 to
// 59) are given as sent, with their repeated pixels, as a detailed timing
// states them.
constexpr FormatRow VICS[] = {
    {25175, 0, 0, 0, 640, 480, 800, 525, 16, 96, 10, 2},         // 1: 640x480p
    {27000, 0, 0, 0, 720, 480, 858, 525, 16, 62, 9, 6},          // 2: 720x480p
    {27000, 0, 0, 0, 720, 480, 858, 525, 16, 62, 9, 6},          // 3: 720x480p
    {74250, 0, 1, 1, 1280, 720, 1650, 750, 110, 40, 5, 5},       // 4: 1280x720p
    {74250, 1, 1, 1, 1920, 1080, 2200, 1125, 88, 44, 2, 5},      // 5: 1920x1080i
    {27000, 1, 0, 0, 1440, 480, 1716, 525, 38, 124, 4, 3},       // 6: 1440x480i
    {27000, 1, 0, 0, 1440, 480, 1716, 525, 38, 124, 4, 3},       // 7: 1440x480i
    {27000, 0, 0, 0, 1440, 240, 1716, 262, 38, 124, 4, 3},       // 8: 1440x240p
    {27000, 0, 0, 0, 1440, 240, 1716, 262, 38, 124, 4, 3},       // 9: 1440x240p
    {54000, 1, 0, 0, 2880, 480, 3432, 525, 76, 248, 4, 3},       // 10: 2880x480i
    {54000, 1, 0, 0, 2880, 480, 3432, 525, 76, 248, 4, 3},       // 11: 2880x480i
    {54000, 0, 0, 0, 2880, 240, 3432, 262, 76, 248, 4, 3},       // 12: 2880x240p
    {54000, 0, 0, 0, 2880, 240, 3432, 262, 76, 248, 4, 3},       // 13: 2880x240p
    {54000, 0, 0, 0, 1440, 480, 1716, 525, 32, 124, 9, 6},       // 14: 1440x480p
    {54000, 0, 0, 0, 1440, 480, 1716, 525, 32, 124, 9, 6},       // 15: 1440x480p
    {148500, 0, 1, 1, 1920, 1080, 2200, 1125, 88, 44, 4, 5},     // 16: 1920x1080p
    {27000, 0, 0, 0, 720, 576, 864, 625, 12, 64, 5, 5},          // 17: 720x576p
    {27000, 0, 0, 0, 720, 576, 864, 625, 12, 64, 5, 5},          // 18: 720x576p
    {74250, 0, 1, 1, 1280, 720, 1980, 750, 440, 40, 5, 5},       // 19: 1280x720p
    {74250, 1, 1, 1, 1920, 1080, 2640, 1125, 528, 44, 2, 5},     // 20: 1920x1080i
    {27000, 1, 0, 0, 1440, 576, 1728, 625, 24, 126, 2, 3},       // 21: 1440x576i
    {27000, 1, 0, 0, 1440, 576, 1728, 625, 24, 126, 2, 3},       // 22: 1440x576i
    {27000, 0, 0, 0, 1440, 288, 1728, 312, 24, 126, 2, 3},       // 23: 1440x288p
    {27000, 0, 0, 0, 1440, 288, 1728, 312, 24, 126, 2, 3},       // 24: 1440x288p
    {54000, 1, 0, 0, 2880, 576, 3456, 625, 48, 252, 2, 3},       // 25: 2880x576i
    {54000, 1, 0, 0, 2880, 576, 3456, 625, 48, 252, 2, 3},       // 26: 2880x576i
    {54000, 0, 0, 0, 2880, 288, 3456, 312, 48, 252, 2, 3},       // 27: 2880x288p
    {54000, 0, 0, 0, 2880, 288, 3456, 312, 48, 252, 2, 3},       // 28: 2880x288p
    {54000, 0, 0, 0, 1440, 576, 1728, 625, 24, 128, 5, 5},       // 29: 1440x576p
    {54000, 0, 0, 0, 1440, 576, 1728, 625, 24, 128, 5, 5},       // 30: 1440x576p
    {148500, 0, 1, 1, 1920, 1080, 2640, 1125, 528, 44, 4, 5},    // 31: 1920x1080p
    {74250, 0, 1, 1, 1920, 1080, 2750, 1125, 638, 44, 4, 5},     // 32: 1920x1080p
    {74250, 0, 1, 1, 1920, 1080, 2640, 1125, 528, 44, 4, 5},     // 33: 1920x1080p
    {74250, 0, 1, 1, 1920, 1080, 2200, 1125, 88, 44, 4, 5},      // 34: 1920x1080p
    {108000, 0, 0, 0, 2880, 480, 3432, 525, 64, 248, 9, 6},      // 35: 2880x480p
    {108000, 0, 0, 0, 2880, 480, 3432, 525, 64, 248, 9, 6},      // 36: 2880x480p
    {108000, 0, 0, 0, 2880, 576, 3456, 625, 48, 256, 5, 5},      // 37: 2880x576p
    {108000, 0, 0, 0, 2880, 576, 3456, 625, 48, 256, 5, 5},      // 38: 2880x576p
    {72000, 1, 1, 0, 1920, 1080, 2304, 1250, 32, 168, 23, 5},    // 39: 1920x1080i
    {148500, 1, 1, 1, 1920, 1080, 2640, 1125, 528, 44, 2, 5},    // 40: 1920x1080i
    {148500, 0, 1, 1, 1280, 720, 1980, 750, 440, 40, 5, 5},      // 41: 1280x720p
    {54000, 0, 0, 0, 720, 576, 864, 625, 12, 64, 5, 5},          // 42: 720x576p
    {54000, 0, 0, 0, 720, 576, 864, 625, 12, 64, 5, 5},          // 43: 720x576p
    {54000, 1, 0, 0, 1440, 576, 1728, 625, 24, 126, 2, 3},       // 44: 1440x576i
    {54000, 1, 0, 0, 1440, 576, 1728, 625, 24, 126, 2, 3},       // 45: 1440x576i
    {148500, 1, 1, 1, 1920, 1080, 2200, 1125, 88, 44, 2, 5},     // 46: 1920x1080i
    {148500, 0, 1, 1, 1280, 720, 1650, 750, 110, 40, 5, 5},      // 47: 1280x720p
    {54000, 0, 0, 0, 720, 480, 858, 525, 16, 62, 9, 6},          // 48: 720x480p
    {54000, 0, 0, 0, 720, 480, 858, 525, 16, 62, 9, 6},          // 49: 720x480p
    {54000, 1, 0, 0, 1440, 480, 1716, 525, 38, 124, 4, 3},       // 50: 1440x480i
    {54000, 1, 0, 0, 1440, 480, 1716, 525, 38, 124, 4, 3},       // 51: 1440x480i
    {108000, 0, 0, 0, 720, 576, 864, 625, 12, 64, 5, 5},         // 52: 720x576p
    {108000, 0, 0, 0, 720, 576, 864, 625, 12, 64, 5, 5},         // 53: 720x576p
    {108000, 1, 0, 0, 1440, 576, 1728, 625, 24, 126, 2, 3},      // 54: 1440x576i
    {108000, 1, 0, 0, 1440, 576, 1728, 625, 24, 126, 2, 3},      // 55: 1440x576i
    {108000, 0, 0, 0, 720, 480, 858, 525, 16, 62, 9, 6},         // 56: 720x480p
    {108000, 0, 0, 0, 720, 480, 858, 525, 16, 62, 9, 6},         // 57: 720x480p
    {108000, 1, 0, 0, 1440, 480, 1716, 525, 38, 124, 4, 3},      // 58: 1440x480i
    {108000, 1, 0, 0, 1440, 480, 1716, 525, 38, 124, 4, 3},      // 59: 1440x480i
    {59400, 0, 1, 1, 1280, 720, 3300, 750, 1760, 40, 5, 5},      // 60: 1280x720p
    {74250, 0, 1, 1, 1280, 720, 3960, 750, 2420, 40, 5, 5},      // 61: 1280x720p
    {74250, 0, 1, 1, 1280, 720, 3300, 750, 1760, 40, 5, 5},      // 62: 1280x720p
    {297000, 0, 1, 1, 1920, 1080, 2200, 1125, 88, 44, 4, 5},     // 63: 1920x1080p
    {297000, 0, 1, 1, 1920, 1080, 2640, 1125, 528, 44, 4, 5},    // 64: 1920x1080p
    {59400, 0, 1, 1, 1280, 720, 3300, 750, 1760, 40, 5, 5},      // 65: 1280x720p
    {74250, 0, 1, 1, 1280, 720, 3960, 750, 2420, 40, 5, 5},      // 66: 1280x720p
    {74250, 0, 1, 1, 1280, 720, 3300, 750, 1760, 40, 5, 5},      // 67: 1280x720p
    {74250, 0, 1, 1, 1280, 720, 1980, 750, 440, 40, 5, 5},       // 68: 1280x720p
    {74250, 0, 1, 1, 1280, 720, 1650, 750, 110, 40, 5, 5},       // 69: 1280x720p
    {148500, 0, 1, 1, 1280, 720, 1980, 750, 440, 40, 5, 5},      // 70: 1280x720p
    {148500, 0, 1, 1, 1280, 720, 1650, 750, 110, 40, 5, 5},      // 71: 1280x720p
    {74250, 0, 1, 1, 1920, 1080, 2750, 1125, 638, 44, 4, 5},     // 72: 1920x1080p
    {74250, 0, 1, 1, 1920, 1080, 2640, 1125, 528, 44, 4, 5},     // 73: 1920x1080p
    {74250, 0, 1, 1, 1920, 1080, 2200, 1125, 88, 44, 4, 5},      // 74: 1920x1080p
    {148500, 0, 1, 1, 1920, 1080, 2640, 1125, 528, 44, 4, 5},    // 75: 1920x1080p
    {148500, 0, 1, 1, 1920, 1080, 2200, 1125, 88, 44, 4, 5},     // 76: 1920x1080p
    {297000, 0, 1, 1, 1920, 1080, 2640, 1125, 528, 44, 4, 5},    // 77: 1920x1080p
    {297000, 0, 1, 1, 1920, 1080, 2200, 1125, 88, 44, 4, 5},     // 78: 1920x1080p
    {59400, 0, 1, 1, 1680, 720, 3300, 750, 1360, 40, 5, 5},      // 79: 1680x720p
    {59400, 0, 1, 1, 1680, 720, 3168, 750, 1228, 40, 5, 5},      // 80: 1680x720p
    {59400, 0, 1, 1, 1680, 720, 2640, 750, 700, 40, 5, 5},       // 81: 1680x720p
    {82500, 0, 1, 1, 1680, 720, 2200, 750, 260, 40, 5, 5},       // 82: 1680x720p
    {99000, 0, 1, 1, 1680, 720, 2200, 750, 260, 40, 5, 5},       // 83: 1680x720p
    {165000, 0, 1, 1, 1680, 720, 2000, 825, 60, 40, 5, 5},       // 84: 1680x720p
    {198000, 0, 1, 1, 1680, 720, 2000, 825, 60, 40, 5, 5},       // 85: 1680x720p
    {99000, 0, 1, 1, 2560, 1080, 3750, 1100, 998, 44, 4, 5},     // 86: 2560x1080p
    {90000, 0, 1, 1, 2560, 1080, 3200, 1125, 448, 44, 4, 5},     // 87: 2560x1080p
    {118800, 0, 1, 1, 2560, 1080, 3520, 1125, 768, 44, 4, 5},    // 88: 2560x1080p
    {185625, 0, 1, 1, 2560, 1080, 3300, 1125, 548, 44, 4, 5},    // 89: 2560x1080p
    {198000, 0, 1, 1, 2560, 1080, 3000, 1100, 248, 44, 4, 5},    // 90: 2560x1080p
    {371250, 0, 1, 1, 2560, 1080, 2970, 1250, 218, 44, 4, 5},    // 91: 2560x1080p
    {495000, 0, 1, 1, 2560, 1080, 3300, 1250, 548, 44, 4, 5},    // 92: 2560x1080p
    {297000, 0, 1, 1, 3840, 2160, 5500, 2250, 1276, 88, 8, 10},  // 93: 3840x2160p
    {297000, 0, 1, 1, 3840, 2160, 5280, 2250, 1056, 88, 8, 10},  // 94: 3840x2160p
    {297000, 0, 1, 1, 3840, 2160, 4400, 2250, 176, 88, 8, 10},   // 95: 3840x2160p
    {594000, 0, 1, 1, 3840, 2160, 5280, 2250, 1056, 88, 8, 10},  // 96: 3840x2160p
    {594000, 0, 1, 1, 3840, 2160, 4400, 2250, 176, 88, 8, 10},   // 97: 3840x2160p
    {297000, 0, 1, 1, 4096, 2160, 5500, 2250, 1020, 88, 8, 10},  // 98: 4096x2160p
    {297000, 0, 1, 1, 4096, 2160, 5280, 2250, 968, 88, 8, 10},   // 99: 4096x2160p
    {297000, 0, 1, 1, 4096, 2160, 4400, 2250, 88, 88, 8, 10},    // 100: 4096x2160p
    {594000, 0, 1, 1, 4096, 2160, 5280, 2250, 968, 88, 8, 10},   // 101: 4096x2160p
    {594000, 0, 1, 1, 4096, 2160, 4400, 2250, 88, 88, 8, 10},    // 102: 4096x2160p
    {297000, 0, 1, 1, 3840, 2160, 5500, 2250, 1276, 88, 8, 10},  // 103: 3840x2160p
    {297000, 0, 1, 1, 3840, 2160, 5280, 2250, 1056, 88, 8, 10},  // 104: 3840x2160p
    {297000, 0, 1, 1, 3840, 2160, 4400, 2250, 176, 88, 8, 10},   // 105: 3840x2160p
    {594000, 0, 1, 1, 3840, 2160, 5280, 2250, 1056, 88, 8, 10},  // 106: 3840x2160p
    {594000, 0, 1, 1, 3840, 2160, 4400, 2250, 176, 88, 8, 10},   // 107: 3840x2160p
    {90000, 0, 1, 1, 1280, 720, 2500, 750, 960, 40, 5, 5},       // 108: 1280x720p
    {90000, 0, 1, 1, 1280, 720, 2500, 750, 960, 40, 5, 5},       // 109: 1280x720p
    {99000, 0, 1, 1, 1680, 720, 2750, 750, 810, 40, 5, 5},       // 110: 1680x720p
    {148500, 0, 1, 1, 1920, 1080, 2750, 1125, 638, 44, 4, 5},    // 111: 1920x1080p
    {148500, 0, 1, 1, 1920, 1080, 2750, 1125, 638, 44, 4, 5},    // 112: 1920x1080p
    {198000, 0, 1, 1, 2560, 1080, 3750, 1100, 998, 44, 4, 5},    // 113: 2560x1080p
    {594000, 0, 1, 1, 3840, 2160, 5500, 2250, 1276, 88, 8, 10},  // 114: 3840x2160p
    {594000, 0, 1, 1, 4096, 2160, 5500, 2250, 1020, 88, 8, 10},  // 115: 4096x2160p
    {594000, 0, 1, 1, 3840, 2160, 5500, 2250, 1276, 88, 8, 10},  // 116: 3840x2160p
    {1188000, 0, 1, 1, 3840, 2160, 5280, 2250, 1056, 88, 8, 10}, // 117: 3840x2160p
    {1188000, 0, 1, 1, 3840, 2160, 4400, 2250, 176, 88, 8, 10},  // 118: 3840x2160p
    {1188000, 0, 1, 1, 3840, 2160, 5280, 2250, 1056, 88, 8, 10}, // 119: 3840x2160p
    {1188000, 0, 1, 1, 3840, 2160, 4400, 2250, 176, 88, 8, 10},  // 120: 3840x2160p
    {396000, 0, 1, 1, 5120, 2160, 7500, 2200, 1996, 88, 8, 10},  // 121: 5120x2160p
    {396000, 0, 1, 1, 5120, 2160, 7200, 2200, 1696, 88, 8, 10},  // 122: 5120x2160p
    {396000, 0, 1, 1, 5120, 2160, 6000, 2200, 664, 88, 8, 10},   // 123: 5120x2160p
    {742500, 0, 1, 1, 5120, 2160, 6250, 2475, 746, 88, 8, 10},   // 124: 5120x2160p
    {742500, 0, 1, 1, 5120, 2160, 6600, 2250, 1096, 88, 8, 10},  // 125: 5120x2160p
    {742500, 0, 1, 1, 5120, 2160, 5500, 2250, 164, 88, 8, 10},   // 126: 5120x2160p
    {1485000, 0, 1, 1, 5120, 2160, 6600, 2250, 1096, 88, 8, 10}, // 127: 5120x2160p
    // 193 to 219, after the reserved codes 128 to 192
    {1485000, 0, 1, 1, 5120, 2160, 5500, 2250, 164, 88, 8, 10},      // 193: 5120x2160p
    {1188000, 0, 1, 1, 7680, 4320, 11000, 4500, 2552, 176, 16, 20},  // 194: 7680x4320p
    {1188000, 0, 1, 1, 7680, 4320, 10800, 4400, 2352, 176, 16, 20},  // 195: 7680x4320p
    {1188000, 0, 1, 1, 7680, 4320, 9000, 4400, 552, 176, 16, 20},    // 196: 7680x4320p
    {2376000, 0, 1, 1, 7680, 4320, 11000, 4500, 2552, 176, 16, 20},  // 197: 7680x4320p
    {2376000, 0, 1, 1, 7680, 4320, 10800, 4400, 2352, 176, 16, 20},  // 198: 7680x4320p
    {2376000, 0, 1, 1, 7680, 4320, 9000, 4400, 552, 176, 16, 20},    // 199: 7680x4320p
    {4752000, 0, 1, 1, 7680, 4320, 10560, 4500, 2112, 176, 16, 20},  // 200: 7680x4320p
    {4752000, 0, 1, 1, 7680, 4320, 8800, 4500, 352, 176, 16, 20},    // 201: 7680x4320p
    {1188000, 0, 1, 1, 7680, 4320, 11000, 4500, 2552, 176, 16, 20},  // 202: 7680x4320p
    {1188000, 0, 1, 1, 7680, 4320, 10800, 4400, 2352, 176, 16, 20},  // 203: 7680x4320p
    {1188000, 0, 1, 1, 7680, 4320, 9000, 4400, 552, 176, 16, 20},    // 204: 7680x4320p
    {2376000, 0, 1, 1, 7680, 4320, 11000, 4500, 2552, 176, 16, 20},  // 205: 7680x4320p
    {2376000, 0, 1, 1, 7680, 4320, 10800, 4400, 2352, 176, 16, 20},  // 206: 7680x4320p
    {2376000, 0, 1, 1, 7680, 4320, 9000, 4400, 552, 176, 16, 20},    // 207: 7680x4320p
    {4752000, 0, 1, 1, 7680, 4320, 10560, 4500, 2112, 176, 16, 20},  // 208: 7680x4320p
    {4752000, 0, 1, 1, 7680, 4320, 8800, 4500, 352, 176, 16, 20},    // 209: 7680x4320p
    {1485000, 0, 1, 1, 10240, 4320, 12500, 4950, 1492, 176, 16, 20}, // 210: 10240x4320p
    {1485000, 0, 1, 1, 10240, 4320, 13500, 4400, 2492, 176, 16, 20}, // 211: 10240x4320p
    {1485000, 0, 1, 1, 10240, 4320, 11000, 4500, 288, 176, 16, 20},  // 212: 10240x4320p
    {2970000, 0, 1, 1, 10240, 4320, 12500, 4950, 1492, 176, 16, 20}, // 213: 10240x4320p
    {2970000, 0, 1, 1, 10240, 4320, 13500, 4400, 2492, 176, 16, 20}, // 214: 10240x4320p
    {2970000, 0, 1, 1, 10240, 4320, 11000, 4500, 288, 176, 16, 20},  // 215: 10240x4320p
    {5940000, 0, 1, 1, 10240, 4320, 13200, 4500, 2192, 176, 16, 20}, // 216: 10240x4320p
    {5940000, 0, 1, 1, 10240, 4320, 11000, 4500, 288, 176, 16, 20},  // 217: 10240x4320p
    {1188000, 0, 1, 1, 4096, 2160, 5280, 2250, 800, 88, 8, 10},      // 218: 4096x2160p
    {1188000, 0, 1, 1, 4096, 2160, 4400, 2250, 88, 88, 8, 10},       // 219: 4096x2160p
};
constexpr uint32_t LAST_LOW_VIC = 127, FIRST_HIGH_VIC = 193, LAST_HIGH_VIC = 219;
static_assert(sizeof VICS / sizeof VICS[0] == LAST_LOW_VIC + LAST_HIGH_VIC - FIRST_HIGH_VIC + 1);

// The VESA modes of the established timings, in report order.
constexpr VideoFormat ESTABLISHED[] = {
#define EDID_ESTABLISHED_FRAME(flag, byte, bit, mode, khz, h_active, v_active, h_total, v_total,   \
                               interlaced)                                                         \
    {khz, h_active, v_active, h_total, v_total, interlaced},
    EDID_ESTABLISHED_TIMINGS(EDID_ESTABLISHED_FRAME)
#undef EDID_ESTABLISHED_FRAME
};
static_assert(sizeof ESTABLISHED / sizeof ESTABLISHED[0] == edid_format::ESTABLISHED_COUNT);

// The widest values of a detailed timing's fields: 16-bit clock, 12-bit
// active and blank sizes, 10-bit horizontal sync offset.  The table's
// widths keep the other sync fields within theirs.
constexpr uint32_t DTD_MAX_CLOCK = 0xFFFF, DTD_MAX_SIZE = 0xFFF, DTD_MAX_H_SYNC = 0x3FF;
constexpr uint32_t KHZ_PER_DTD_CLOCK = 10;

// The row of VIC 1-127 or 193-219; null for the reserved codes.
const FormatRow *vic_row(uint32_t vic)
{
    if (vic >= 1 && vic <= LAST_LOW_VIC) return &VICS[vic - 1];
    if (vic >= FIRST_HIGH_VIC && vic <= LAST_HIGH_VIC)
        return &VICS[LAST_LOW_VIC + vic - FIRST_HIGH_VIC];
    return nullptr;
}

} // namespace

bool vic_format(uint32_t vic, VideoFormat *format)
{
    const FormatRow *r = vic_row(vic);
    if (!r) return false;
    *format = VideoFormat{r->pixel_khz, r->h_active, r->v_active,
                          r->h_total,   r->v_total,  uint8_t(r->interlaced)};
    return true;
}

bool vic_sync(uint32_t vic, VideoSync *sync)
{
    const FormatRow *r = vic_row(vic);
    if (!r) return false;
    *sync = VideoSync{uint16_t(r->h_front), uint16_t(r->h_sync),        uint8_t(r->v_front),
                      uint8_t(r->v_sync),   uint8_t(r->hsync_positive), uint8_t(r->vsync_positive)};
    return true;
}

bool vic_detailed_timing(uint32_t vic, EdidDetailedTiming *timing)
{
    const FormatRow *r = vic_row(vic);
    // A descriptor states one field of an interlaced format, and a receiver
    // takes each field to be half a line longer than its active and blank
    // lines: a frame of an odd number of lines, whose half line the blank
    // leaves out.  A frame of an even number (VIC 39) cannot be stated.
    if (!r || (r->interlaced && r->v_total % 2 == 0)) return false;
    const uint32_t fields = r->interlaced ? 2 : 1;
    const uint32_t clock = (r->pixel_khz + KHZ_PER_DTD_CLOCK / 2) / KHZ_PER_DTD_CLOCK;
    const uint32_t h_blank = r->h_total - r->h_active;
    const uint32_t v_active = r->v_active / fields;
    const uint32_t v_blank = (r->v_total - r->v_active) / fields;
    if (clock > DTD_MAX_CLOCK || r->h_active > DTD_MAX_SIZE || h_blank > DTD_MAX_SIZE ||
        v_active > DTD_MAX_SIZE || v_blank > DTD_MAX_SIZE || r->h_front > DTD_MAX_H_SYNC)
        return false;
    *timing = EdidDetailedTiming{.pixel_clock = clock,
                                 .h_active = r->h_active,
                                 .h_blank = h_blank,
                                 .v_active = v_active,
                                 .v_blank = v_blank,
                                 .h_sync_offset = r->h_front,
                                 .h_sync_width = r->h_sync,
                                 .v_sync_offset = r->v_front,
                                 .v_sync_width = r->v_sync,
                                 .h_image_mm = 0, // no image size, no borders
                                 .v_image_mm = 0,
                                 .h_border = 0,
                                 .v_border = 0,
                                 .interlaced = r->interlaced,
                                 .stereo = 0,
                                 .digital_sync = 1,
                                 .separate_sync = 1,
                                 .vsync_positive = r->vsync_positive,
                                 .hsync_positive = r->hsync_positive};
    return true;
}

VideoFormat established_format(unsigned index)
{
    return index < edid_format::ESTABLISHED_COUNT ? ESTABLISHED[index] : VideoFormat{};
}

VideoFormat detailed_timing_format(const EdidDetailedTiming &t)
{
    // An interlaced detailed timing states one field: a frame has twice its
    // active lines and twice its total lines plus one.
    const uint32_t lines = t.interlaced ? 2 : 1;
    return VideoFormat{t.pixel_clock * KHZ_PER_DTD_CLOCK,
                       uint16_t(t.h_active),
                       uint16_t(t.v_active * lines),
                       uint16_t(t.h_active + t.h_blank),
                       uint16_t((t.v_active + t.v_blank) * lines + (t.interlaced ? 1 : 0)),
                       uint8_t(t.interlaced)};
}

bool same_format(const VideoFormat &a, const VideoFormat &b)
{
    const uint32_t high = a.pixel_khz > b.pixel_khz ? a.pixel_khz : b.pixel_khz;
    const uint32_t low = a.pixel_khz > b.pixel_khz ? b.pixel_khz : a.pixel_khz;
    return a.h_active == b.h_active && a.v_active == b.v_active && a.h_total == b.h_total &&
           a.v_total == b.v_total && a.interlaced == b.interlaced &&
           high - low <= high / 200;
}

// In 32-bit arithmetic, with no 64-bit division on the 32-bit target: the
// line rate rounded down to the hertz, the field rate from it.
uint32_t line_rate_hz(const VideoFormat &f)
{
    if (f.h_total == 0) return 0;
    return f.pixel_khz / f.h_total * 1000 + f.pixel_khz % f.h_total * 1000 / f.h_total;
}

uint32_t field_rate_millihz(const VideoFormat &f)
{
    return f.v_total ? line_rate_hz(f) * 1000 / f.v_total * (f.interlaced ? 2 : 1) : 0;
}

} // namespace edid_video
