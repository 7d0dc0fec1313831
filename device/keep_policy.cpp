// SPDX-License-Identifier: MIT
// keep_policy.cpp - which of a sink's data blocks the video-keeping
// repeater keeps whole, which the device's own replace, which it leaves
// out, and what a kept one is worth when space runs out; and the device's
// video capability block for a sink that has none.
#include "device/plan.h"

#include <string.h>

namespace edid_device {

namespace {

// The device's video capability block: YCbCr and RGB quantization range
// selectable (the device passes the source's AVI InfoFrame on), IT and CE
// formats both over- and underscanned, as televisions show them.
constexpr uint8_t VCDB_QUANTIZATION_SELECTABLE = 0xC0, VCDB_IT_CE_BOTH_SCANS = 0x0F;
constexpr uint8_t DEVICE_VCDB[] = {CEA_EXT_VIDEO_CAPABILITY,
                                   VCDB_QUANTIZATION_SELECTABLE | VCDB_IT_CE_BOTH_SCANS};

} // namespace

uint8_t rank_of(const CeaDataBlock &b, uint8_t *why)
{
    *why = EDID_BECAUSE_UNKNOWN;
    switch (b.tag) {
    case CEA_TAG_VIDEO: return RANK_VIDEO;
    case CEA_TAG_AUDIO:
    case CEA_TAG_SPEAKER: *why = EDID_BECAUSE_REPLACED; return RANK_DROPPED;
    case CEA_TAG_VESA_DTC: return RANK_OTHER_VIDEO;
    case CEA_TAG_VENDOR:
        if (b.body.vendor.oui == CEA_OUI_HDMI) *why = EDID_BECAUSE_REPLACED;
        if (b.body.vendor.oui == CEA_OUI_HDMI_FORUM) return RANK_HDMI_FORUM;
        if (b.body.vendor.oui == CEA_OUI_AMD) return RANK_VENDOR_VIDEO;
        return RANK_DROPPED;
    case CEA_TAG_EXTENDED: break;
    default: return RANK_DROPPED;
    }
    const uint8_t ext = extended_tag(b);
    switch (ext) {
    case CEA_EXT_VIDEO_CAPABILITY: return RANK_VIDEO_CAPABILITY;
    case CEA_EXT_VENDOR_VIDEO: return RANK_VENDOR_SPECIFIC_VIDEO;
    case CEA_EXT_COLORIMETRY: return RANK_COLORIMETRY;
    case CEA_EXT_HDR_STATIC_METADATA: return RANK_HDR_STATIC;
    case CEA_EXT_VIDEO_FORMAT_PREFERENCE: return RANK_FORMAT_PREFERENCE;
    case CEA_EXT_YCBCR420_VIDEO:
    case CEA_EXT_YCBCR420_CAPABILITY_MAP: return RANK_YCBCR420;
    case CEA_EXT_HDMI_FORUM_SINK_CAPABILITY: return RANK_HDMI_FORUM;
    case CEA_EXT_INFOFRAME: return RANK_VENDOR_VIDEO;
    case CEA_EXT_DISPLAYID_TIMING_VII:
    case CEA_EXT_DISPLAYID_TIMING_VIII:
    case CEA_EXT_DISPLAYID_TIMING_X: return RANK_OTHER_VIDEO;
    case CEA_EXT_HDMI_FORUM_OVERRIDE: *why = EDID_BECAUSE_ONE_EXTENSION; return RANK_DROPPED;
    default: break;
    }
    if (ext < CEA_EXT_FIRST_AUDIO) return RANK_OTHER_VIDEO; // the video range
    if (ext <= CEA_EXT_LAST_AUDIO) *why = EDID_BECAUSE_AUDIO;
    return RANK_DROPPED;
}

CeaDataBlock device_video_capability()
{
    CeaDataBlock vcdb;
    memset(&vcdb, 0, sizeof vcdb);
    vcdb.tag = CEA_TAG_EXTENDED;
    vcdb.body.raw.size = sizeof DEVICE_VCDB;
    memcpy(vcdb.body.raw.bytes, DEVICE_VCDB, sizeof DEVICE_VCDB);
    return vcdb;
}

} // namespace edid_device
