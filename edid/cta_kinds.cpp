// SPDX-License-Identifier: MIT
// cta_kinds.cpp - the kind of a CTA-861 data block, from its tag and then
// its extended tag (payload byte 0 of tag 7) or its OUI (payload bytes 0-2
// of tag 3, least significant byte first), and the kinds' names.
#include <edid/cta.h>

#include <string.h>

#include "bits.h"
#include "cta_codec.h"

using edid_bits::get_bits;
using edid_cta_codec::OUI_SIZE;

namespace {

// Each kind's JSON name and report title, in the order of the enum.
struct KindNames {
    const char *name, *title;
};
constexpr KindNames KIND_NAMES[] = {
    {"unknown", "data block"},
    {"audio", "audio data block"},
    {"video", "video data block"},
    {"speaker_allocation", "speaker allocation data block"},
    {"vesa_display_transfer", "VESA display transfer characteristic data block"},
    {"hdmi", "HDMI vendor-specific data block"},
    {"hdmi_forum", "HDMI Forum vendor-specific data block"},
    {"amd", "AMD vendor-specific data block"},
    {"vendor", "vendor-specific data block"},
    {"video_capability", "video capability data block"},
    {"vendor_video", "vendor-specific video data block"},
    {"vesa_display_device", "VESA display device data block"},
    {"vesa_video_timing", "VESA video timing block extension"},
    {"colorimetry", "colorimetry data block"},
    {"hdr_static_metadata", "HDR static metadata data block"},
    {"hdr_dynamic_metadata", "HDR dynamic metadata data block"},
    {"native_video_resolution", "native video resolution data block"},
    {"video_format_preference", "video format preference data block"},
    {"ycbcr420_video", "YCbCr 4:2:0 video data block"},
    {"ycbcr420_capability_map", "YCbCr 4:2:0 capability map data block"},
    {"vendor_audio", "vendor-specific audio data block"},
    {"hdmi_audio", "HDMI audio data block"},
    {"room_configuration", "room configuration data block"},
    {"speaker_location", "speaker location data block"},
    {"infoframe", "InfoFrame data block"},
    {"displayid_timing_vii", "DisplayID type VII timing data block"},
    {"displayid_timing_viii", "DisplayID type VIII timing data block"},
    {"displayid_timing_x", "DisplayID type X timing data block"},
    {"hdmi_forum_eeodb", "HDMI Forum EDID extension override data block"},
    {"hdmi_forum_sink_capability", "HDMI Forum sink capability data block"},
};
static_assert(sizeof KIND_NAMES / sizeof KIND_NAMES[0] == CEA_KINDS);

uint32_t extended_kind(uint8_t ext)
{
    switch (ext) {
    case CEA_EXT_VIDEO_CAPABILITY: return CEA_KIND_VIDEO_CAPABILITY;
    case CEA_EXT_VENDOR_VIDEO: return CEA_KIND_VENDOR_VIDEO;
    case CEA_EXT_VESA_DISPLAY_DEVICE: return CEA_KIND_VESA_DISPLAY_DEVICE;
    case CEA_EXT_VESA_VIDEO_TIMING: return CEA_KIND_VESA_VIDEO_TIMING;
    case CEA_EXT_COLORIMETRY: return CEA_KIND_COLORIMETRY;
    case CEA_EXT_HDR_STATIC_METADATA: return CEA_KIND_HDR_STATIC_METADATA;
    case CEA_EXT_HDR_DYNAMIC_METADATA: return CEA_KIND_HDR_DYNAMIC_METADATA;
    case CEA_EXT_NATIVE_VIDEO_RESOLUTION: return CEA_KIND_NATIVE_VIDEO_RESOLUTION;
    case CEA_EXT_VIDEO_FORMAT_PREFERENCE: return CEA_KIND_VIDEO_FORMAT_PREFERENCE;
    case CEA_EXT_YCBCR420_VIDEO: return CEA_KIND_YCBCR420_VIDEO;
    case CEA_EXT_YCBCR420_CAPABILITY_MAP: return CEA_KIND_YCBCR420_CAPABILITY_MAP;
    case CEA_EXT_VENDOR_AUDIO: return CEA_KIND_VENDOR_AUDIO;
    case CEA_EXT_HDMI_AUDIO: return CEA_KIND_HDMI_AUDIO;
    case CEA_EXT_ROOM_CONFIGURATION: return CEA_KIND_ROOM_CONFIGURATION;
    case CEA_EXT_SPEAKER_LOCATION: return CEA_KIND_SPEAKER_LOCATION;
    case CEA_EXT_INFOFRAME: return CEA_KIND_INFOFRAME;
    case CEA_EXT_DISPLAYID_TIMING_VII: return CEA_KIND_DISPLAYID_TIMING_VII;
    case CEA_EXT_DISPLAYID_TIMING_VIII: return CEA_KIND_DISPLAYID_TIMING_VIII;
    case CEA_EXT_DISPLAYID_TIMING_X: return CEA_KIND_DISPLAYID_TIMING_X;
    case CEA_EXT_HDMI_FORUM_OVERRIDE: return CEA_KIND_HDMI_FORUM_EEODB;
    case CEA_EXT_HDMI_FORUM_SINK_CAPABILITY: return CEA_KIND_HDMI_FORUM_SINK_CAPABILITY;
    default: return CEA_KIND_UNKNOWN;
    }
}

uint32_t vendor_kind(uint32_t oui)
{
    switch (oui) {
    case CEA_OUI_HDMI: return CEA_KIND_HDMI;
    case CEA_OUI_HDMI_FORUM: return CEA_KIND_HDMI_FORUM;
    case CEA_OUI_AMD: return CEA_KIND_AMD;
    default: return CEA_KIND_VENDOR;
    }
}

} // namespace

uint32_t cea_block_kind(const uint8_t *header)
{
    const uint32_t length = get_bits(header[0], 4, 0);
    switch (get_bits(header[0], 7, 5)) {
    case CEA_TAG_AUDIO: return CEA_KIND_AUDIO;
    case CEA_TAG_VIDEO: return CEA_KIND_VIDEO;
    case CEA_TAG_SPEAKER: return CEA_KIND_SPEAKER_ALLOCATION;
    case CEA_TAG_VESA_DTC: return CEA_KIND_VESA_DISPLAY_TRANSFER;
    case CEA_TAG_VENDOR:
        if (length < OUI_SIZE) return uint32_t(CEA_KIND_UNKNOWN);
        return vendor_kind(edid_cta_codec::le24_at(edid_cta_codec::payload_of(header), 0));
    case CEA_TAG_EXTENDED:
        return length == 0 ? uint32_t(CEA_KIND_UNKNOWN) : extended_kind(header[1]);
    default: return CEA_KIND_UNKNOWN;
    }
}

const char *cea_kind_name(uint32_t kind)
{
    return KIND_NAMES[kind < CEA_KINDS ? kind : uint32_t(CEA_KIND_UNKNOWN)].name;
}

const char *cea_kind_title(uint32_t kind)
{
    return KIND_NAMES[kind < CEA_KINDS ? kind : uint32_t(CEA_KIND_UNKNOWN)].title;
}

uint32_t cea_kind_of_name(const char *name)
{
    for (uint32_t k = 0; k < CEA_KINDS; ++k)
        if (strcmp(KIND_NAMES[k].name, name) == 0) return k;
    return CEA_KINDS;
}
