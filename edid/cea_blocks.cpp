// SPDX-License-Identifier: MIT
// cea_blocks.cpp - CEA-861 video (tag 2), vendor-specific (tag 3) and
// speaker allocation (tag 4) data blocks.
//
// Video: one short video descriptor per payload byte, bit 7 native, bits
//   6..0 the video identification code (VIC).
// Vendor-specific: payload bytes 0..2 the 24-bit IEEE OUI, least
//   significant byte first, then length - 3 opaque bytes.
// Speaker allocation: payload byte 0 bit 0 FL/FR, 1 LFE, 2 FC, 3 RL/RR,
//   4 RC, 5 FLC/FRC, 6 RLC/RRC, bit 7 reserved; bytes 1 and 2 reserved;
//   length 3.
#include <edid/edid.h>

#include <stdio.h>
#include <string.h>

#include "bits.h"

using edid_bits::get_bits;
using edid_bits::min_u32;
using edid_bits::put_bits;

namespace {

constexpr unsigned OUI_SIZE = 3;        // vendor block: bytes of the IEEE OUI
constexpr unsigned SPEAKER_PAYLOAD = 3; // speaker allocation block: payload length

} // namespace

// Video data block.

void cea_decode_video_block(const uint8_t *header, CeaVideoBlock *video)
{
    const uint32_t count = get_bits(header[0], 4, 0);
    video->count = count;
    for (uint32_t i = 0; i < count; ++i) {
        uint8_t svd = header[1 + i];
        video->descriptors[i].native = get_bits(svd, 7, 7);
        video->descriptors[i].vic = get_bits(svd, 6, 0);
    }
}

void cea_encode_video_block(const CeaVideoBlock *video, uint8_t *header)
{
    uint32_t count = min_u32(video->count, CEA_MAX_VIDEO_DESCRIPTORS);
    header[0] = uint8_t(header[0] | put_bits(count, 4, 0));
    for (uint32_t i = 0; i < count; ++i) {
        header[1 + i] = uint8_t(put_bits(video->descriptors[i].native, 7, 7) |
                                put_bits(video->descriptors[i].vic, 6, 0));
    }
}

void cea_print_video_block(const CeaVideoBlock *video)
{
    uint32_t count = min_u32(video->count, CEA_MAX_VIDEO_DESCRIPTORS);
    printf("Supported video modes (* native): ");
    for (uint32_t i = 0; i < count; ++i) {
        if (video->descriptors[i].native) printf("*");
        printf("%02X ", unsigned(video->descriptors[i].vic));
    }
    putchar('\n');
}

// Vendor-specific data block.  A block shorter than its OUI (length 0 to
// 2) takes the OUI bytes it holds, the missing ones as 0, and no payload:
// nothing past the block's own length is read.

void cea_decode_vendor_block(const uint8_t *header, CeaVendorBlock *vendor)
{
    uint32_t length = get_bits(header[0], 4, 0);
    uint32_t oui = 0;
    for (uint32_t i = 0; i < OUI_SIZE && i < length; ++i) oui |= uint32_t(header[1 + i]) << (8 * i);
    vendor->oui = oui;
    vendor->size = 0;
    if (length > OUI_SIZE) {
        vendor->size = length - OUI_SIZE;
        memcpy(vendor->payload, header + 1 + OUI_SIZE, vendor->size);
    }
}

void cea_encode_vendor_block(const CeaVendorBlock *vendor, uint8_t *header)
{
    uint32_t size = min_u32(vendor->size, CEA_MAX_VENDOR_PAYLOAD);
    header[0] = uint8_t(header[0] | put_bits(size + OUI_SIZE, 4, 0));
    for (uint32_t i = 0; i < OUI_SIZE; ++i) header[1 + i] = uint8_t(vendor->oui >> (8 * i));
    memcpy(header + 1 + OUI_SIZE, vendor->payload, size);
}

void cea_print_vendor_block(const CeaVendorBlock *vendor)
{
    uint32_t size = min_u32(vendor->size, CEA_MAX_VENDOR_PAYLOAD);
    printf("Vendor specific block: IEEE Id: %u\t Size: %u\n", unsigned(vendor->oui),
           unsigned(vendor->size));
    printf("   Raw data: ");
    for (uint32_t i = 0; i < size; ++i) printf("%02X ", unsigned(vendor->payload[i]));
    putchar('\n');
}

// Speaker allocation data block.  The decoder reads payload byte 0 whatever
// the header's length; the encoder always writes the full length of 3.

void cea_decode_speaker_allocation(const uint8_t *header, CeaSpeakerAllocation *spk)
{
    uint8_t flags = header[1];
    spk->fl_fr = get_bits(flags, 0, 0);
    spk->lfe = get_bits(flags, 1, 1);
    spk->fc = get_bits(flags, 2, 2);
    spk->rl_rr = get_bits(flags, 3, 3);
    spk->rc = get_bits(flags, 4, 4);
    spk->flc_frc = get_bits(flags, 5, 5);
    spk->rlc_rrc = get_bits(flags, 6, 6);
}

void cea_encode_speaker_allocation(const CeaSpeakerAllocation *spk, uint8_t *header)
{
    header[0] = uint8_t(header[0] | put_bits(SPEAKER_PAYLOAD, 4, 0));
    header[1] =
        uint8_t(put_bits(spk->fl_fr, 0, 0) | put_bits(spk->lfe, 1, 1) | put_bits(spk->fc, 2, 2) |
                put_bits(spk->rl_rr, 3, 3) | put_bits(spk->rc, 4, 4) |
                put_bits(spk->flc_frc, 5, 5) | put_bits(spk->rlc_rrc, 6, 6));
    header[2] = 0;
    header[3] = 0;
}

void cea_print_speaker_allocation(const CeaSpeakerAllocation *spk)
{
    printf("Speaker configuration: ");
    if (spk->fl_fr) printf("FL/FR ");
    if (spk->lfe) printf("LFE ");
    if (spk->fc) printf("FC ");
    if (spk->rl_rr) printf("RL/RR ");
    if (spk->rc) printf("RC ");
    if (spk->flc_frc) printf("FLC/FRC ");
    if (spk->rlc_rrc) printf("RLC/RRC");
    putchar('\n');
}
