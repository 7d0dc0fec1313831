// SPDX-License-Identifier: MIT
// cta_report.cpp - the readable report of a CEA block's data blocks: each
// block named by its kind (cta_kinds.cpp) and shown through its kind's
// typed decoder and printer (cta_hdmi, cta_colour, cta_video, cta_audio),
// or as its payload bytes for the kinds that have none.
#include <edid/cta.h>
#include <edid/cta_audio.h>
#include <edid/cta_colour.h>
#include <edid/cta_hdmi.h>
#include <edid/cta_video.h>

#include <stdio.h>
#include <string.h>

#include "bits.h"
#include "cea.h"
#include "cta_codec.h"
#include "cta_report.h"

using edid_bits::get_bits;
using edid_bits::min_u32;
using edid_cta_codec::OUI_SIZE;

namespace {

// Decodes a block into a record of its kind and prints it.  Apart, so that
// each kind's record takes stack only while it is printed.
template <class R>
__attribute__((noinline)) void show(const uint8_t *header, void (*decode)(const uint8_t *, R *),
                                    void (*print)(const R *))
{
    R record;
    memset(&record, 0, sizeof record);
    decode(header, &record);
    print(&record);
}

// The payload of a kind without a typed decoder, after its OUI or
// extended tag.
void print_bytes(const uint8_t *header, uint32_t skip)
{
    const uint32_t length = get_bits(header[0], 4, 0);
    printf("   Payload:");
    for (uint32_t i = skip; i < length; ++i) printf(" %02X", unsigned(header[1 + i]));
    puts(length > skip ? "" : " none");
}

void print_heading(const uint8_t *header, uint32_t number, uint32_t kind)
{
    const uint32_t length = get_bits(header[0], 4, 0);
    printf("Data block %u: ", unsigned(number));
    if (kind != CEA_KIND_UNKNOWN) {
        printf("%s", cea_kind_title(kind));
    } else if (get_bits(header[0], 7, 5) == CEA_TAG_EXTENDED && length > 0) {
        printf("unknown data block, extended tag 0x%02X", unsigned(header[1]));
    } else {
        printf("unknown data block, tag %u", unsigned(get_bits(header[0], 7, 5)));
    }
    switch (kind) {
    case CEA_KIND_HDMI:
    case CEA_KIND_HDMI_FORUM:
    case CEA_KIND_AMD:
    case CEA_KIND_VENDOR:
        printf(", OUI ");
        edid_cta_codec::print_oui(edid_cta_codec::le24_at(edid_cta_codec::payload_of(header), 0));
        break;
    default: break;
    }
    putchar('\n');
}

// The short video descriptors of the block's video data blocks that a
// 4:2:0 capability map marks, as VICs with their formats.
__attribute__((noinline)) void print_ycbcr420_marked(const uint8_t *header, const uint8_t *block)
{
    CeaYcbcr420CapabilityMap map;
    memset(&map, 0, sizeof map);
    cea_decode_ycbcr420_capability_map(header, &map);
    CeaVideoDataBlock marked, video;
    memset(&marked, 0, sizeof marked);
    uint32_t index = 0;
    edid_cea::Walk walk = edid_cea::walk(block, edid_cea::ZeroHeader::EMPTY_BLOCK);
    for (uint32_t at, span; edid_cea::next(&walk, &at, &span);) {
        if (cea_block_kind(block + at) != CEA_KIND_VIDEO) continue;
        cea_decode_video_data_block(block + at, &video);
        for (uint32_t i = 0; i < video.count; ++i, ++index) {
            if (!cea_ycbcr420_capable(&map, index) || marked.count == CEA_MAX_VIDEO_DESCRIPTORS)
                continue;
            marked.svds[marked.count] = video.svds[i];
            marked.svds[marked.count++].native = 0;
        }
    }
    puts("   Formats also taken in YCbCr 4:2:0:");
    cea_print_video_data_block(&marked);
}

} // namespace

void cea_print_typed_block(const uint8_t *header, uint32_t number)
{
    const uint32_t kind = cea_block_kind(header);
    print_heading(header, number, kind);
    switch (kind) {
    case CEA_KIND_AUDIO: show(header, cea_decode_audio_data_block, cea_print_audio_data_block); break;
    case CEA_KIND_VIDEO: show(header, cea_decode_video_data_block, cea_print_video_data_block); break;
    case CEA_KIND_SPEAKER_ALLOCATION:
        show(header, cea_decode_speaker_allocation_data_block,
             cea_print_speaker_allocation_data_block);
        break;
    case CEA_KIND_HDMI: show(header, cea_decode_hdmi_block, cea_print_hdmi_block); break;
    case CEA_KIND_HDMI_FORUM:
        show(header, cea_decode_hdmi_forum_block, cea_print_hdmi_forum_block);
        break;
    case CEA_KIND_AMD: show(header, cea_decode_amd_block, cea_print_amd_block); break;
    case CEA_KIND_VIDEO_CAPABILITY:
        show(header, cea_decode_video_capability, cea_print_video_capability);
        break;
    case CEA_KIND_VENDOR_VIDEO: show(header, cea_decode_vendor_video, cea_print_vendor_video); break;
    case CEA_KIND_COLORIMETRY: show(header, cea_decode_colorimetry, cea_print_colorimetry); break;
    case CEA_KIND_HDR_STATIC_METADATA:
        show(header, cea_decode_hdr_static_metadata, cea_print_hdr_static_metadata);
        break;
    case CEA_KIND_HDR_DYNAMIC_METADATA:
        show(header, cea_decode_hdr_dynamic_metadata, cea_print_hdr_dynamic_metadata);
        break;
    case CEA_KIND_NATIVE_VIDEO_RESOLUTION:
        show(header, cea_decode_native_video_resolution, cea_print_native_video_resolution);
        break;
    case CEA_KIND_VIDEO_FORMAT_PREFERENCE:
        show(header, cea_decode_video_format_preference, cea_print_video_format_preference);
        break;
    case CEA_KIND_YCBCR420_VIDEO: show(header, cea_decode_ycbcr420_video, cea_print_ycbcr420_video); break;
    case CEA_KIND_YCBCR420_CAPABILITY_MAP:
        show(header, cea_decode_ycbcr420_capability_map, cea_print_ycbcr420_capability_map);
        break;
    case CEA_KIND_VENDOR_AUDIO: show(header, cea_decode_vendor_audio, cea_print_vendor_audio); break;
    case CEA_KIND_HDMI_AUDIO: show(header, cea_decode_hdmi_audio, cea_print_hdmi_audio); break;
    case CEA_KIND_ROOM_CONFIGURATION:
        show(header, cea_decode_room_configuration, cea_print_room_configuration);
        break;
    case CEA_KIND_SPEAKER_LOCATION:
        show(header, cea_decode_speaker_location, cea_print_speaker_location);
        break;
    case CEA_KIND_INFOFRAME: show(header, cea_decode_infoframe, cea_print_infoframe); break;
    case CEA_KIND_DISPLAYID_TIMING_VII:
        show(header, cea_decode_displayid_timing_vii, cea_print_displayid_timing_vii);
        break;
    case CEA_KIND_DISPLAYID_TIMING_VIII:
        show(header, cea_decode_displayid_timing_viii, cea_print_displayid_timing_viii);
        break;
    case CEA_KIND_DISPLAYID_TIMING_X:
        show(header, cea_decode_displayid_timing_x, cea_print_displayid_timing_x);
        break;
    case CEA_KIND_HDMI_FORUM_EEODB: show(header, cea_decode_edid_override, cea_print_edid_override); break;
    case CEA_KIND_HDMI_FORUM_SINK_CAPABILITY:
        show(header, cea_decode_hdmi_forum_sink_capability, cea_print_hdmi_forum_sink_capability);
        break;
    case CEA_KIND_VENDOR: print_bytes(header, OUI_SIZE); break;
    case CEA_KIND_VESA_DISPLAY_TRANSFER: print_bytes(header, 0); break;
    case CEA_KIND_VESA_DISPLAY_DEVICE:
    case CEA_KIND_VESA_VIDEO_TIMING: print_bytes(header, 1); break;
    default: print_bytes(header, get_bits(header[0], 7, 5) == CEA_TAG_EXTENDED ? 1 : 0); break;
    }
}

void edid_cta_report::print_cea(const CeaExtension *cea, const uint8_t *block)
{
    const uint32_t timings = min_u32(cea->detailed_timing_count, CEA_MAX_DETAILED_TIMINGS);
    edid_cea::print_heading(cea);
    if (block) {
        edid_cea::Walk walk = edid_cea::walk(block, edid_cea::ZeroHeader::EMPTY_BLOCK);
        uint32_t number = 0;
        for (uint32_t at, span;
             number < CEA_MAX_DATA_BLOCKS && edid_cea::next(&walk, &at, &span);) {
            cea_print_typed_block(block + at, ++number);
            if (cea_block_kind(block + at) == CEA_KIND_YCBCR420_CAPABILITY_MAP)
                print_ycbcr420_marked(block + at, block);
        }
    }
    for (uint32_t i = 0; i < timings; ++i) edid_print_detailed_timing(&cea->detailed_timings[i]);
}
