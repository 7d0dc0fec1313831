// SPDX-License-Identifier: MIT
// hdmi_block.h - the fields of the HDMI vendor-specific data block (OUI
// 00-0C-03) and of the HDMI Forum capability blocks (the vendor-specific
// block of OUI C4-5D-D8 and the sink capability data block, extended tag
// 0x79), as offsets into their payloads and as a decode of the HDMI
// block's optional fields.  Private to the library: the device builders
// read these blocks with it (device/classify.cpp).
#ifndef EDID_HDMI_BLOCK_H
#define EDID_HDMI_BLOCK_H

#include <edid/edid.h>
#include <stdint.h>

namespace edid_hdmi {

// HDMI block payload, after the OUI.
constexpr unsigned ADDRESS = 0;   // bytes 0-1: physical address A.B.C.D
constexpr unsigned FLAGS = 2;     // Supports_AI, deep colour, DVI dual link
constexpr unsigned TMDS = 3;      // maximum TMDS clock in units of 5 MHz
constexpr unsigned FIELDS = 4;    // latency and video presence, content types
constexpr unsigned LATENCIES = 5; // first optional field
constexpr uint8_t SUPPORTS_AI = 0x80, DEEP_COLOUR = 0x78;
constexpr uint8_t LATENCY_PRESENT = 0x80, I_LATENCY_PRESENT = 0x40, VIDEO_PRESENT = 0x20;
constexpr uint8_t CONTENT_TYPES = 0x0F;
constexpr uint8_t VIDEO_3D_BITS = 0xE0; // video byte 0: 3D_present, 3D_Multi_present
constexpr uint32_t TMDS_STEP_KHZ = 5000;

// Latency fields: 0 unknown, 1 + ms / 2 up to 251 (500 ms), 255 not sent.
constexpr uint8_t LATENCY_UNKNOWN = 0, LATENCY_MAX = 251;

// The optional fields of an HDMI block, as far as its size holds them.
struct Fields {
    uint32_t size;            // payload bytes, within the record
    const uint8_t *latency;   // video and audio latency, or null
    const uint8_t *i_latency; // the interlaced pair, or null
    const uint8_t *video;     // image size and 3D byte, lengths byte; or null
    uint32_t vic_count;       // HDMI VICs from video + 2
    uint32_t bytes_3d;        // 3D fields after them
};

Fields fields(const CeaVendorBlock &block);

// A latency field that states a time: 1 + ms / 2 up to 251.
bool latency_known(const uint8_t *field);

// The VIC of an HDMI VIC's format (HDMI VICs 1 to 4 name the formats of
// VICs 95, 94, 93 and 98), or 0.
uint32_t hdmi_vic_as_vic(uint8_t hdmi_vic);

// HDMI Forum capability fields: the payload of the vendor-specific block
// after its OUI, or of the sink capability data block after its extended
// tag and two reserved bytes; the same layout in both.
constexpr unsigned FORUM_SCDB_FIELDS = 3; // raw payload offset of the fields
constexpr unsigned FORUM_TMDS = 1;        // maximum TMDS character rate / 5 MHz; 0: 340 MHz at most
constexpr unsigned FORUM_FRL = 3;         // bits 7..4: Max_FRL_Rate
constexpr unsigned FORUM_DSC_FRL = 8;     // bits 7..4: DSC_Max_FRL_Rate

struct ForumFields {
    const uint8_t *bytes; // null: the block holds no HDMI Forum fields
    uint32_t size;
};

// The HDMI Forum fields of a block of either kind; {null, 0} for any other.
ForumFields forum_fields(const CeaDataBlock &block);

} // namespace edid_hdmi

#endif
