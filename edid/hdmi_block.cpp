// SPDX-License-Identifier: MIT
// hdmi_block.cpp - the optional fields of the HDMI vendor-specific data
// block and the HDMI Forum capability fields (hdmi_block.h).
//
// HDMI block payload after the OUI: address (2 bytes), flags, maximum TMDS
// clock, then, when byte 4 says so: video and audio latency, interlaced
// video and audio latency, and the HDMI video fields (image size and 3D
// presence, the lengths of the HDMI VICs and of the 3D fields, the HDMI
// VICs, the 3D fields).
#include "hdmi_block.h"

#include <edid/cta_hdmi.h>

#include "bits.h"

using edid_bits::get_bits;
using edid_bits::min_u32;

namespace edid_hdmi {

Fields fields(const CeaVendorBlock &b)
{
    Fields f = {min_u32(b.size, CEA_MAX_VENDOR_PAYLOAD), nullptr, nullptr, nullptr, 0, 0};
    if (f.size <= FIELDS) return f;
    const uint8_t flags = b.payload[FIELDS];
    uint32_t at = LATENCIES;
    if (flags & LATENCY_PRESENT && at + 2 <= f.size) {
        f.latency = b.payload + at;
        at += 2;
        if (flags & I_LATENCY_PRESENT && at + 2 <= f.size) {
            f.i_latency = b.payload + at;
            at += 2;
        }
    }
    if (flags & VIDEO_PRESENT && at + 2 <= f.size) {
        f.video = b.payload + at;
        const uint32_t room = f.size - at - 2;
        f.vic_count = min_u32(get_bits(f.video[1], 7, 5), room);
        const uint32_t len_3d = get_bits(f.video[1], 4, 0);
        f.bytes_3d = f.vic_count + len_3d <= room ? len_3d : 0;
    }
    return f;
}

bool latency_known(const uint8_t *field)
{
    return field && *field != LATENCY_UNKNOWN && *field <= LATENCY_MAX;
}

uint32_t hdmi_vic_as_vic(uint8_t hdmi_vic)
{
    return cea_hdmi_vic_as_vic(hdmi_vic);
}

ForumFields forum_fields(const CeaDataBlock &b)
{
    if (b.tag == CEA_TAG_VENDOR && b.body.vendor.oui == CEA_OUI_HDMI_FORUM)
        return {b.body.vendor.payload, min_u32(b.body.vendor.size, CEA_MAX_VENDOR_PAYLOAD)};
    const CeaRawBlock &raw = b.body.raw;
    const uint32_t size = min_u32(raw.size, CEA_MAX_PAYLOAD);
    if (b.tag == CEA_TAG_EXTENDED && size >= FORUM_SCDB_FIELDS &&
        raw.bytes[0] == CEA_EXT_HDMI_FORUM_SINK_CAPABILITY)
        return {raw.bytes + FORUM_SCDB_FIELDS, size - FORUM_SCDB_FIELDS};
    return {nullptr, 0};
}

} // namespace edid_hdmi
