// SPDX-License-Identifier: MIT
// device_edid.cpp - the device's own CEA-861 data blocks, and the default
// and repeater EDID builders.
//
// Both builders start from the same record (start_record: header, identity,
// fixed base fields, monitor name, basic audio) and end with the same data
// blocks (append_device_blocks); in between the default builder fills the
// device's fixed picture fields and the repeater copies the sink's.
#include <edid/device_edid.h>
#include <string.h>

#include <algorithm>

#include "edid/format.h"

namespace {

constexpr uint8_t edid_header[8] = {0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00};

enum : uint32_t {
    VENDOR_ID_LETTERS = 3,
    VIDEO_INPUT_DIGITAL = 0x80, // byte 20 bit 7
    FEATURES = 0x0A,            // byte 24: RGB colour display (bits 4..3 = 01),
                                // preferred timing mode (bit 1)
    PICTURE_SLOTS = 3,          // descriptors [0] to [2]: timings, range limits
    RANGE_LIMITS_SLOT = 2,
    NAME_SLOT = 3
};

// The device's picture fields when no sink is known: an 80 cm x 45 cm
// screen, gamma 2.2 and the colour primaries below, in 10-bit fixed point
// (value / 1024).
enum : uint32_t {
    DEFAULT_H_SIZE_CM = 80,
    DEFAULT_V_SIZE_CM = 45,
    DEFAULT_GAMMA = 2253 // 2.2 x 1024 rounded; the encoder writes byte 120
};

// HDMI physical address A.B.C.D: four 4-bit fields in two payload bytes,
// hi = A << 4 | B, lo = C << 4 | D.
enum : uint8_t {
    ADDRESS_FIELD_BITS = 4,
    ADDRESS_FIELD_MASK = 0x0F,
    ADDRESS_NO_ROOM = 0xFF, // F.F.F.F: no input address one level deeper
    HDMI_SUPPORTS_AI = 0x80 // HDMI vendor-specific block, payload byte 2 bit 7
};

struct PhysicalAddress {
    uint8_t hi;
    uint8_t lo;
};

// Short audio descriptors: channel counts (count minus one) and maximum
// bit rates.
enum : uint8_t { CHANNELS_2 = 1, CHANNELS_6 = 5 };
enum : uint32_t { DTS_MAX_KBPS = 1408, AC3_MAX_KBPS = 640 };

struct DeviceAudioFormat {
    uint8_t format;
    uint8_t channels;
    uint32_t max_kbps; // coded formats only
};

// The audio block's descriptors in wire order: the 6-channel coded formats,
// linear PCM, then the 2-channel coded formats.
constexpr DeviceAudioFormat device_audio[] = {
    {CEA_AUDIO_DTS, CHANNELS_6, DTS_MAX_KBPS}, {CEA_AUDIO_AC3, CHANNELS_6, AC3_MAX_KBPS},
    {CEA_AUDIO_LPCM, CHANNELS_2, 0},           {CEA_AUDIO_DTS, CHANNELS_2, DTS_MAX_KBPS},
    {CEA_AUDIO_AC3, CHANNELS_2, AC3_MAX_KBPS},
};
static_assert(sizeof device_audio / sizeof device_audio[0] <= CEA_MAX_AUDIO_DESCRIPTORS);

// THX vendor-specific block: OUI 00-12-FA, then version bytes around the
// letters "THX".
constexpr uint32_t OUI_THX = 0x0012FA;
constexpr uint8_t thx_payload[] = {0x00, 0x01, 'T', 'H', 'X', 0x10, 0x03};
static_assert(sizeof thx_payload <= CEA_MAX_VENDOR_PAYLOAD);

uint32_t device_block_count()
{
    return cea_thx_block_enabled ? DEVICE_BLOCKS_WITH_THX : DEVICE_BLOCKS;
}

// ---------------------------------------------------------------------
// The device's own data blocks
// ---------------------------------------------------------------------

// The next free data block slot, cleared.  Callers leave room for it.
CeaDataBlock *next_block(CeaExtension *cea)
{
    CeaDataBlock *block = &cea->data_blocks[cea->data_block_count++];
    memset(block, 0, sizeof *block);
    return block;
}

void set_hdmi_block(CeaDataBlock *block, PhysicalAddress address)
{
    block->tag = CEA_TAG_VENDOR;
    CeaVendorBlock *vendor = &block->body.vendor;
    vendor->oui = CEA_OUI_HDMI;
    vendor->size = 3;
    vendor->payload[0] = address.hi;
    vendor->payload[1] = address.lo;
    vendor->payload[2] = HDMI_SUPPORTS_AI;
}

// Front left/right, LFE, front centre, rear left/right, front left/right
// of centre.
void set_speaker_block(CeaDataBlock *block)
{
    block->tag = CEA_TAG_SPEAKER;
    CeaSpeakerAllocation *spk = &block->body.speakers;
    spk->fl_fr = 1;
    spk->lfe = 1;
    spk->fc = 1;
    spk->rl_rr = 1;
    spk->flc_frc = 1;
}

// Every format at 32, 44.1 and 48 kHz; linear PCM at 16, 20 and 24 bits,
// the coded formats with their maximum bit rate.
void set_audio_block(CeaDataBlock *block)
{
    block->tag = CEA_TAG_AUDIO;
    CeaAudioBlock *audio = &block->body.audio;
    for (const DeviceAudioFormat &f : device_audio) {
        CeaShortAudioDescriptor *d = &audio->descriptors[audio->count++];
        d->format = f.format;
        d->channels = f.channels;
        d->rate_48 = 1;
        d->rate_44 = 1;
        d->rate_32 = 1;
        if (f.format == CEA_AUDIO_LPCM) {
            d->depth_24 = 1;
            d->depth_20 = 1;
            d->depth_16 = 1;
        } else {
            d->max_bitrate = f.max_kbps / CEA_AUDIO_BITRATE_UNIT_KBPS;
        }
    }
}

void set_thx_block(CeaDataBlock *block)
{
    block->tag = CEA_TAG_VENDOR;
    CeaVendorBlock *vendor = &block->body.vendor;
    vendor->oui = OUI_THX;
    vendor->size = sizeof thx_payload;
    memcpy(vendor->payload, thx_payload, sizeof thx_payload);
}

// Stores the device's blocks after the ones cea already holds; the caller
// leaves device_block_count() slots free.
void append_device_blocks(CeaExtension *cea, PhysicalAddress address)
{
    set_hdmi_block(next_block(cea), address);
    set_speaker_block(next_block(cea));
    set_audio_block(next_block(cea));
    if (cea_thx_block_enabled) set_thx_block(next_block(cea));
}

// ---------------------------------------------------------------------
// Physical addresses
// ---------------------------------------------------------------------

// The address of input port (low 4 bits) one level below upstream: the
// port number goes into the first zero field; a field in the high half of
// a byte clears the low half.  Port 0 keeps the upstream address.
PhysicalAddress address_below(PhysicalAddress upstream, uint32_t port)
{
    uint8_t n = port & DEVICE_PORT_MASK;
    if (n == 0) return upstream;
    uint8_t a = upstream.hi >> ADDRESS_FIELD_BITS;
    uint8_t b = upstream.hi & ADDRESS_FIELD_MASK;
    uint8_t c = upstream.lo >> ADDRESS_FIELD_BITS;
    uint8_t d = upstream.lo & ADDRESS_FIELD_MASK;
    PhysicalAddress result = upstream;
    if (a == 0) {
        result.hi = uint8_t(n << ADDRESS_FIELD_BITS);
    } else if (b == 0) {
        result.hi = upstream.hi | n;
    } else if (c == 0) {
        result.lo = uint8_t(n << ADDRESS_FIELD_BITS);
    } else if (d == 0) {
        result.lo = upstream.lo | n;
    } else {
        result = PhysicalAddress{ADDRESS_NO_ROOM, ADDRESS_NO_ROOM};
    }
    return result;
}

// The sink's own address: the first two payload bytes of its last HDMI
// vendor-specific block, as many of them as the block holds; 0.0.0.0 when
// it has none.
PhysicalAddress sink_address(const EdidInfo *sink)
{
    PhysicalAddress address = {0, 0};
    if (!sink->has_cea) return address;
    uint32_t count = std::min<uint32_t>(sink->cea.data_block_count, CEA_MAX_DATA_BLOCKS);
    for (uint32_t i = 0; i < count; ++i) {
        const CeaDataBlock *block = &sink->cea.data_blocks[i];
        if (block->tag != CEA_TAG_VENDOR || block->body.vendor.oui != CEA_OUI_HDMI) continue;
        const CeaVendorBlock *vendor = &block->body.vendor;
        address.hi = vendor->size > 0 ? vendor->payload[0] : 0;
        address.lo = vendor->size > 1 ? vendor->payload[1] : 0;
    }
    return address;
}

// ---------------------------------------------------------------------
// Base block
// ---------------------------------------------------------------------

// What both EDIDs share: a cleared record with the header, the device's
// identity, EDID 1.3 with a digital input and the fixed feature bits, empty
// picture descriptor slots, the monitor name in the last slot, and a CEA
// extension announcing basic audio.
void start_record(EdidInfo *out)
{
    memset(out, 0, sizeof *out);
    memcpy(out->header, edid_header, sizeof out->header);
    for (uint32_t i = 0; i < VENDOR_ID_LETTERS && device_vendor_id[i] != '\0'; ++i)
        out->vendor_id[i] = device_vendor_id[i];
    out->product_code = device_product_code;
    out->serial_number = device_serial_number;
    out->week = device_week;
    out->year = device_year;
    out->version = EDID_VERSION;
    out->revision = EDID_REVISION;
    out->video_input = VIDEO_INPUT_DIGITAL;
    out->features = FEATURES;
    for (uint32_t i = 0; i < PICTURE_SLOTS; ++i) out->descriptors[i].type = EDID_DESC_EMPTY;
    EdidDescriptor *name = &out->descriptors[NAME_SLOT];
    name->type = EDID_DESC_NAME;
    // text holds the wire form (name, 0x0A, blanks); its 14th byte stays NUL.
    edid_encode_text(device_name, reinterpret_cast<uint8_t *>(name->body.text));
    out->has_cea = 1;
    out->cea.basic_audio = 1;
}

// The sink's seventeen established timing flags, through their wire bytes;
// manufacturer_mask is not taken.
void copy_established_timings(const EdidInfo *sink, EdidInfo *out)
{
    uint8_t bytes[edid_format::ESTABLISHED_BYTES];
    edid_format::established_to_bytes(sink, bytes);
    edid_format::established_from_bytes(bytes, out);
    out->manufacturer_mask = 0;
}

// The sink's detailed timings, first three in order (its preferred timing
// stays first), then its first range limits in the third slot.
void copy_picture_descriptors(const EdidInfo *sink, EdidInfo *out)
{
    uint32_t slot = 0;
    for (uint32_t i = 0; i < EDID_DESCRIPTORS && slot < PICTURE_SLOTS; ++i) {
        if (sink->descriptors[i].type == EDID_DESC_TIMING)
            out->descriptors[slot++] = sink->descriptors[i];
    }
    for (uint32_t i = 0; i < EDID_DESCRIPTORS; ++i) {
        if (sink->descriptors[i].type == EDID_DESC_RANGE_LIMITS) {
            out->descriptors[RANGE_LIMITS_SLOT] = sink->descriptors[i];
            break;
        }
    }
}

// ---------------------------------------------------------------------
// CEA extension of the repeater
// ---------------------------------------------------------------------

// The sink's video data blocks in order, as many as leave room for the
// device's blocks; its capability flags and CEA detailed timings.
void copy_sink_video(const CeaExtension *sink, CeaExtension *out)
{
    out->underscan = sink->underscan;
    out->ycbcr_444 = sink->ycbcr_444;
    out->ycbcr_422 = sink->ycbcr_422;
    out->native_modes = sink->native_modes;
    uint32_t room = CEA_MAX_DATA_BLOCKS - device_block_count();
    uint32_t count = std::min<uint32_t>(sink->data_block_count, CEA_MAX_DATA_BLOCKS);
    for (uint32_t i = 0; i < count && out->data_block_count < room; ++i) {
        if (sink->data_blocks[i].tag == CEA_TAG_VIDEO)
            out->data_blocks[out->data_block_count++] = sink->data_blocks[i];
    }
    out->detailed_timing_count =
        std::min<uint32_t>(sink->detailed_timing_count, CEA_MAX_DETAILED_TIMINGS);
    memcpy(out->detailed_timings, sink->detailed_timings,
           out->detailed_timing_count * sizeof out->detailed_timings[0]);
}

} // namespace

extern "C" void edid_build_default(EdidInfo *out, uint32_t port)
{
    start_record(out);
    out->max_h_size_cm = DEFAULT_H_SIZE_CM;
    out->max_v_size_cm = DEFAULT_V_SIZE_CM;
    out->gamma = DEFAULT_GAMMA;
    out->red_x = 640;   // 0.625
    out->red_y = 348;   // 0.340
    out->green_x = 286; // 0.279
    out->green_y = 609; // 0.595
    out->blue_x = 158;  // 0.154
    out->blue_y = 71;   // 0.069
    out->white_x = 289; // 0.282
    out->white_y = 305; // 0.298
    out->est_640x480_60 = 1;
    for (EdidStandardTiming &t : out->standard_timings) t.raw_code = EDID_STD_TIMING_EMPTY;
    out->cea.ycbcr_444 = 1;
    out->cea.ycbcr_422 = 1;
    append_device_blocks(&out->cea, address_below(PhysicalAddress{0, 0}, port));
}

extern "C" void edid_build_repeater(const EdidInfo *sink, EdidInfo *out, uint32_t port)
{
    start_record(out);
    out->max_h_size_cm = sink->max_h_size_cm;
    out->max_v_size_cm = sink->max_v_size_cm;
    out->gamma = sink->gamma;
    out->red_x = sink->red_x;
    out->red_y = sink->red_y;
    out->green_x = sink->green_x;
    out->green_y = sink->green_y;
    out->blue_x = sink->blue_x;
    out->blue_y = sink->blue_y;
    out->white_x = sink->white_x;
    out->white_y = sink->white_y;
    copy_established_timings(sink, out);
    out->est_640x480_60 = 1; // every HDMI source can fall back to it
    memcpy(out->standard_timings, sink->standard_timings, sizeof out->standard_timings);
    copy_picture_descriptors(sink, out);
    if (sink->has_cea) copy_sink_video(&sink->cea, &out->cea);
    append_device_blocks(&out->cea, address_below(sink_address(sink), port));
}
