// SPDX-License-Identifier: MIT
// Detailed timing descriptors: the 18-byte description of one video mode,
// in base block descriptor slots and after a CEA block's data blocks.
// Values wider than a byte keep their low bits in their own byte and their
// high bits in the shared bytes 4, 7, 11 and 14.
#include "bits.h"
#include <edid/edid.h>

#include <stdio.h>

using namespace edid_bits;

namespace {

// Byte 17: the scan and sync flags.  Bit 0 is not carried.
constexpr unsigned FLAG_INTERLACED = 7;
constexpr unsigned FLAG_STEREO_HI = 6, FLAG_STEREO_LO = 5;
constexpr unsigned FLAG_DIGITAL_SYNC = 4;
constexpr unsigned FLAG_SEPARATE_SYNC = 3;
constexpr unsigned FLAG_VSYNC_POSITIVE = 2;
constexpr unsigned FLAG_HSYNC_POSITIVE = 1;

constexpr const char *STEREO_WORDS[4] = {"Normal ", "Type1 ", "Type2 ", "Type3 "};

} // namespace

void edid_decode_detailed_timing(const uint8_t *b, EdidDetailedTiming *t)
{
    t->pixel_clock = get_le16(b);
    t->h_active = b[2] | get_bits(b[4], 7, 4) << 8;
    t->h_blank = b[3] | get_bits(b[4], 3, 0) << 8;
    t->v_active = b[5] | get_bits(b[7], 7, 4) << 8;
    t->v_blank = b[6] | get_bits(b[7], 3, 0) << 8;
    t->h_sync_offset = b[8] | get_bits(b[11], 7, 6) << 8;
    t->h_sync_width = b[9] | get_bits(b[11], 5, 4) << 8;
    t->v_sync_offset = get_bits(b[10], 7, 4) | get_bits(b[11], 3, 2) << 4;
    t->v_sync_width = get_bits(b[10], 3, 0) | get_bits(b[11], 1, 0) << 4;
    t->h_image_mm = b[12] | get_bits(b[14], 7, 4) << 8;
    t->v_image_mm = b[13] | get_bits(b[14], 3, 0) << 8;
    t->h_border = b[15];
    t->v_border = b[16];
    // Byte 17 is read once: the record may alias the wire bytes, and the six
    // bit fields then merge into one store of their byte.
    const uint8_t flags = b[17];
    t->interlaced = get_bits(flags, FLAG_INTERLACED, FLAG_INTERLACED);
    t->stereo = get_bits(flags, FLAG_STEREO_HI, FLAG_STEREO_LO);
    t->digital_sync = get_bits(flags, FLAG_DIGITAL_SYNC, FLAG_DIGITAL_SYNC);
    t->separate_sync = get_bits(flags, FLAG_SEPARATE_SYNC, FLAG_SEPARATE_SYNC);
    t->vsync_positive = get_bits(flags, FLAG_VSYNC_POSITIVE, FLAG_VSYNC_POSITIVE);
    t->hsync_positive = get_bits(flags, FLAG_HSYNC_POSITIVE, FLAG_HSYNC_POSITIVE);
}

void edid_encode_detailed_timing(const EdidDetailedTiming *t, uint8_t *b)
{
    put_le16(t->pixel_clock, b);
    b[2] = uint8_t(t->h_active);
    b[3] = uint8_t(t->h_blank);
    b[4] = put_bits(t->h_active >> 8, 7, 4) | put_bits(t->h_blank >> 8, 3, 0);
    b[5] = uint8_t(t->v_active);
    b[6] = uint8_t(t->v_blank);
    b[7] = put_bits(t->v_active >> 8, 7, 4) | put_bits(t->v_blank >> 8, 3, 0);
    b[8] = uint8_t(t->h_sync_offset);
    b[9] = uint8_t(t->h_sync_width);
    b[10] = put_bits(t->v_sync_offset, 7, 4) | put_bits(t->v_sync_width, 3, 0);
    b[11] = put_bits(t->h_sync_offset >> 8, 7, 6) | put_bits(t->h_sync_width >> 8, 5, 4) |
            put_bits(t->v_sync_offset >> 4, 3, 2) | put_bits(t->v_sync_width >> 4, 1, 0);
    b[12] = uint8_t(t->h_image_mm);
    b[13] = uint8_t(t->v_image_mm);
    b[14] = put_bits(t->h_image_mm >> 8, 7, 4) | put_bits(t->v_image_mm >> 8, 3, 0);
    b[15] = uint8_t(t->h_border);
    b[16] = uint8_t(t->v_border);
    b[17] = put_bits(t->interlaced, FLAG_INTERLACED, FLAG_INTERLACED) |
            put_bits(t->stereo, FLAG_STEREO_HI, FLAG_STEREO_LO) |
            put_bits(t->digital_sync, FLAG_DIGITAL_SYNC, FLAG_DIGITAL_SYNC) |
            put_bits(t->separate_sync, FLAG_SEPARATE_SYNC, FLAG_SEPARATE_SYNC) |
            put_bits(t->vsync_positive, FLAG_VSYNC_POSITIVE, FLAG_VSYNC_POSITIVE) |
            put_bits(t->hsync_positive, FLAG_HSYNC_POSITIVE, FLAG_HSYNC_POSITIVE);
}

void edid_print_detailed_timing(const EdidDetailedTiming *t)
{
    printf("Pixel clock: %u.%03u MHz\n", unsigned(t->pixel_clock / 100),
           unsigned(t->pixel_clock % 100 * 10));
    printf("Horizontal active: %d\tBlank: %d\n", int(t->h_active), int(t->h_blank));
    printf("Vertical active: %d\tBlank: %d\n", int(t->v_active), int(t->v_blank));
    printf("Horizontal sync offset: %d\tWidth: %d\n", int(t->h_sync_offset), int(t->h_sync_width));
    printf("Vertical sync offset: %d\tWidth: %d\n", int(t->v_sync_offset), int(t->v_sync_width));
    printf("Image size: %dmm X %dmm\n", int(t->h_image_mm), int(t->v_image_mm));
    printf("Horizontal border: %d\tVertical: %d\n", int(t->h_border), int(t->v_border));
    printf("Flags: ");
    printf(t->interlaced ? "Interlaced " : "Progressive ");
    printf("%s", STEREO_WORDS[t->stereo]);
    if (t->digital_sync) printf("Digital_sync ");
    if (t->separate_sync) printf("Separate_sync ");
    printf(t->vsync_positive ? "V+ " : "V- ");
    puts(t->hsync_positive ? "H+" : "H-");
}
