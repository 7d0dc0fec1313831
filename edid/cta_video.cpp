// SPDX-License-Identifier: MIT
// cta_video.cpp - CTA-861 data blocks that list video formats: short video
// descriptors (video data block, tag 2; YCbCr 4:2:0 video data block,
// extended tag 0x0E), the YCbCr 4:2:0 capability map (0x0F), video format
// preference (0x0D), native video resolution (0x08), InfoFrame (0x20), and
// DisplayID type VII (0x22), VIII (0x23) and X (0x2A) timings.
//
// Payload layouts, after the extended tag where there is one:
//   video, 4:2:0 video  one short video descriptor (SVD) a byte
//   4:2:0 map           bit i of byte i / 8 (bit 0 first): SVD i of the video blocks
//   format preference   one short video reference (SVR) a byte
//   native resolution   0 SVR; 1 bit 7 size in mm (else 0.1 mm), bit 0 size
//                       valid; 2-3 width, 4-5 height
//   InfoFrame           0 bits 7..5 further bytes n; 1 VSIFs; n bytes; then
//                       short descriptors: header (bits 7..5 length, 4..0
//                       type), OUI for type 1, length payload bytes
//   DisplayID VII       0 header; 1-20 detailed timing: 0-2 clock kHz - 1,
//                       3 bit 7 4:2:0, 6..5 stereo, 4 interlaced, 3..0
//                       aspect; then h active, h blank, h front porch (bit
//                       15 sync +), h sync, v active, v blank, v front porch
//                       (bit 15 sync +), v sync: 16 bits each, value - 1
//   DisplayID VIII      0 header: 7..6 code type, 5 4:2:0, 3 two-byte codes;
//                       then the codes
//   DisplayID X         0 header: 6..4 bytes beyond 6 a descriptor; then
//                       descriptors: 0 bits 2..0 formula, 3 early vsync, 4
//                       VR_HB, 6..5 stereo, 7 4:2:0; 1-2 h active - 1; 3-4 v
//                       active - 1; 5 refresh - 1; 6 bits 1..0 refresh
//                       bits 9..8, 4..2 h blank delta, 7..5 extra v blank
#include <edid/cta_video.h>

#include <stdio.h>
#include <string.h>

#include "bits.h"
#include "cta_codec.h"
#include "video_formats.h"

using edid_bits::get_bits;
using edid_bits::get_le16;
using edid_bits::min_u32;
using edid_bits::put_bits;
using namespace edid_cta_codec;

namespace {

// Short video descriptor bytes: 128-192 native (VIC 1-64 after bit 7).
constexpr uint32_t SVD_NATIVE = 0x80;
constexpr uint32_t SVD_NATIVE_LAST = 192;
constexpr uint32_t NATIVE_VIC_LAST = 64;

// Short video reference bytes.
constexpr uint32_t SVR_VIC_LOW_LAST = 127, SVR_DTD_LAST = 144, SVR_DISPLAYID_LAST = 160,
                   SVR_RID_LAST = 175, SVR_VIC_HIGH_FIRST = 193, SVR_VIC_HIGH_LAST = 253,
                   SVR_TYPE_VIII = 254;
// Base code of each CEA_SVR_* kind, in the enum's order.
constexpr uint8_t SVR_BASE[] = {0, 128, 144, 160, 254, 0};
constexpr uint32_t SVR_KINDS = sizeof SVR_BASE;
static_assert(SVR_KINDS == CEA_SVR_RESERVED + 1);

// Frame rate codes 1-15 of SVRs 161-175.
constexpr uint16_t RID_RATES_HZ[] = {24,  25,  30,  48,  50,  60,  100, 120,
                                     144, 200, 240, 300, 360, 400, 480};
constexpr uint32_t RID_RATE_CODES = sizeof RID_RATES_HZ / sizeof RID_RATES_HZ[0];

// InfoFrame data block.
constexpr uint32_t INFOFRAME_HEADER = 2; // processing descriptor: length byte, VSIFs

// DisplayID timings.
constexpr uint32_t TYPE_VIII_WIDE = 2; // bytes of a two-byte code
constexpr uint32_t TYPE_X_LONG = CEA_DISPLAYID_X_SIZE + 1;
constexpr uint32_t FRONT_PORCH_BITS = 0x7FFF, SYNC_POSITIVE = 0x8000;

// Native video resolution: byte 1 and the image size after it.
constexpr uint32_t NVR_FLAGS = 1, NVR_SIZE = 2, NVR_END = 6;

// ---- Helpers of the printers ----

// A rate in millihertz as hertz rounded to hundredths: "60", "59.94", "23.98".
void print_rate(uint32_t millihz)
{
    const uint32_t hundredths = (millihz + 5) / 10;
    const unsigned whole = hundredths / 100, frac = hundredths % 100;
    if (frac == 0)
        printf("%u Hz", whole);
    else if (frac % 10 == 0)
        printf("%u.%u Hz", whole, frac / 10);
    else
        printf("%u.%02u Hz", whole, frac);
}

// "VIC 97, 3840x2160p 60 Hz" or "VIC 220, reserved"; separator between the
// code and its format.
void print_vic(uint32_t vic, const char *separator)
{
    CeaVicFormat f;
    printf("VIC %u%s", unsigned(vic), separator);
    if (!cea_vic_format(vic, &f)) {
        printf("reserved");
        return;
    }
    printf("%ux%u%c ", unsigned(f.h_active), unsigned(f.v_active), f.interlaced ? 'i' : 'p');
    print_rate(f.field_rate_millihz);
}

const char *const STEREO_NAMES[] = {"none", "stereo", "stereo on user action"};
const char *const ASPECT_NAMES[] = {"1:1",   "5:4",   "4:3",     "15:9",          "16:9",
                                    "16:10", "64:27", "256:135", "from the sizes"};

// ---- Short video descriptors ----

void decode_svds(const Reader &r, CeaVideoDataBlock *video)
{
    memset(video, 0, sizeof *video);
    video->count = min_u32(r.size, CEA_MAX_VIDEO_DESCRIPTORS);
    for (uint32_t i = 0; i < video->count; ++i) cea_decode_svd(r.bytes[i], &video->svds[i]);
}

void put_svds(const CeaVideoDataBlock *video, Writer *w)
{
    const uint32_t count = min_u32(video->count, CEA_MAX_VIDEO_DESCRIPTORS);
    for (uint32_t i = 0; i < count; ++i) put(w, cea_encode_svd(&video->svds[i]));
}

void print_svds(const CeaVideoDataBlock *video)
{
    const uint32_t count = min_u32(video->count, CEA_MAX_VIDEO_DESCRIPTORS);
    for (uint32_t i = 0; i < count; ++i) {
        const CeaSvd svd = video->svds[i];
        if (svd.vic == 0) {
            printf("   Short video descriptor: reserved (%u)\n", unsigned(cea_encode_svd(&svd)));
            continue;
        }
        printf("   ");
        print_vic(svd.vic, ": ");
        puts(svd.native ? ", native" : "");
    }
}

// ---- Short video references ----

CeaSvr svr_of(uint8_t byte)
{
    const uint32_t b = byte;
    if ((b >= 1 && b <= SVR_VIC_LOW_LAST) || (b >= SVR_VIC_HIGH_FIRST && b <= SVR_VIC_HIGH_LAST))
        return {CEA_SVR_VIC, byte};
    if (b > SVR_BASE[CEA_SVR_DETAILED_TIMING] && b <= SVR_DTD_LAST)
        return {CEA_SVR_DETAILED_TIMING, uint8_t(b - SVR_BASE[CEA_SVR_DETAILED_TIMING])};
    if (b > SVR_DTD_LAST && b <= SVR_DISPLAYID_LAST)
        return {CEA_SVR_DISPLAYID_TIMING, uint8_t(b - SVR_BASE[CEA_SVR_DISPLAYID_TIMING])};
    if (b > SVR_DISPLAYID_LAST && b <= SVR_RID_LAST)
        return {CEA_SVR_RID_RATE, uint8_t(b - SVR_BASE[CEA_SVR_RID_RATE])};
    if (b == SVR_TYPE_VIII) return {CEA_SVR_TYPE_VIII, 0};
    return {CEA_SVR_RESERVED, byte};
}

uint8_t svr_byte(CeaSvr svr)
{
    const uint32_t base = svr.kind < SVR_KINDS ? SVR_BASE[svr.kind] : 0;
    return uint8_t(base + svr.number);
}

void print_svr(CeaSvr svr)
{
    switch (svr.kind) {
    case CEA_SVR_VIC: print_vic(svr.number, ", "); break;
    case CEA_SVR_DETAILED_TIMING: printf("detailed timing %u", unsigned(svr.number)); break;
    case CEA_SVR_DISPLAYID_TIMING:
        printf("DisplayID type VII or X timing %u", unsigned(svr.number));
        break;
    case CEA_SVR_RID_RATE:
        printf("resolution of the video format data block at %u Hz",
               unsigned(cea_rid_rate_hz(svr.number)));
        break;
    case CEA_SVR_TYPE_VIII: printf("first DisplayID type VIII timing code"); break;
    default: printf("reserved (%u)", unsigned(svr_byte(svr))); break;
    }
}

// ---- DisplayID timings ----

void decode_detailed_timing(const uint8_t *b, CeaDisplayIdDetailedTiming *t)
{
    t->pixel_clock_khz = (uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16) + 1;
    t->ycbcr420 = uint8_t(get_bits(b[3], 7, 7));
    t->stereo_3d = uint8_t(get_bits(b[3], 6, 5));
    t->interlaced = uint8_t(get_bits(b[3], 4, 4));
    t->aspect_ratio = uint8_t(get_bits(b[3], 3, 0));
    t->h_active = get_le16(b + 4) + 1;
    t->h_blank = get_le16(b + 6) + 1;
    t->h_front_porch = (get_le16(b + 8) & FRONT_PORCH_BITS) + 1;
    t->hsync_positive = uint8_t(get_bits(b[9], 7, 7));
    t->h_sync_width = get_le16(b + 10) + 1;
    t->v_active = get_le16(b + 12) + 1;
    t->v_blank = get_le16(b + 14) + 1;
    t->v_front_porch = (get_le16(b + 16) & FRONT_PORCH_BITS) + 1;
    t->vsync_positive = uint8_t(get_bits(b[17], 7, 7));
    t->v_sync_width = get_le16(b + 18) + 1;
}

void put_detailed_timing(const CeaDisplayIdDetailedTiming *t, Writer *w)
{
    const uint32_t clock = t->pixel_clock_khz - 1;
    put(w, clock & 0xFF);
    put(w, clock >> 8 & 0xFF);
    put(w, clock >> 16 & 0xFF);
    put(w, put_bits(t->ycbcr420, 7, 7) | put_bits(t->stereo_3d, 6, 5) |
               put_bits(t->interlaced, 4, 4) | put_bits(t->aspect_ratio, 3, 0));
    put_le16(w, t->h_active - 1);
    put_le16(w, t->h_blank - 1);
    put_le16(w,
             ((t->h_front_porch - 1) & FRONT_PORCH_BITS) | (t->hsync_positive ? SYNC_POSITIVE : 0));
    put_le16(w, t->h_sync_width - 1);
    put_le16(w, t->v_active - 1);
    put_le16(w, t->v_blank - 1);
    put_le16(w,
             ((t->v_front_porch - 1) & FRONT_PORCH_BITS) | (t->vsync_positive ? SYNC_POSITIVE : 0));
    put_le16(w, t->v_sync_width - 1);
}

// Frame rate (field rate when interlaced) of a clock and totals, millihertz.
uint32_t rate_millihz(uint64_t clock_khz, uint64_t h_total, uint64_t v_total, bool interlaced)
{
    const uint64_t total = h_total * v_total;
    if (total == 0) return 0;
    const uint64_t rate = clock_khz * 1000000u / total * (interlaced ? 2 : 1);
    return rate > UINT32_MAX ? UINT32_MAX : uint32_t(rate);
}

void print_detailed_timing(const CeaDisplayIdDetailedTiming *t)
{
    const uint64_t h_total = uint64_t(t->h_active) + t->h_blank;
    const uint64_t v_total = uint64_t(t->v_active) + t->v_blank;
    printf("   Timing: %ux%u%c ", unsigned(t->h_active), unsigned(t->v_active),
           t->interlaced ? 'i' : 'p');
    print_rate(rate_millihz(t->pixel_clock_khz, h_total, v_total, t->interlaced));
    printf(", pixel clock %u.%03u MHz\n", unsigned(t->pixel_clock_khz / 1000),
           unsigned(t->pixel_clock_khz % 1000));
    printf("   Aspect ratio: ");
    print_name(t->aspect_ratio, ASPECT_NAMES, sizeof ASPECT_NAMES / sizeof ASPECT_NAMES[0]);
    printf("\n   Horizontal: front porch %u, sync %u %s, blank %u\n", unsigned(t->h_front_porch),
           unsigned(t->h_sync_width), t->hsync_positive ? "positive" : "negative",
           unsigned(t->h_blank));
    printf("   Vertical: front porch %u, sync %u %s, blank %u\n", unsigned(t->v_front_porch),
           unsigned(t->v_sync_width), t->vsync_positive ? "positive" : "negative",
           unsigned(t->v_blank));
    printf("   Stereo: ");
    print_name(t->stereo_3d, STEREO_NAMES, sizeof STEREO_NAMES / sizeof STEREO_NAMES[0]);
    putchar('\n');
    if (t->ycbcr420) puts("   YCbCr 4:2:0: also");
}

const char *const FORMULA_NAMES[] = {"CVT", "CVT-RB", "CVT-RB2", "CVT-RB3"};
constexpr uint32_t CVT_RB2 = 2, CVT_RB3 = 3;

void decode_formula_timing(const uint8_t *b, uint32_t size, CeaDisplayIdFormulaTiming *t)
{
    t->formula = uint8_t(get_bits(b[0], 2, 0));
    t->early_vsync = uint8_t(get_bits(b[0], 3, 3));
    t->vr_hb = uint8_t(get_bits(b[0], 4, 4));
    t->stereo_3d = uint8_t(get_bits(b[0], 6, 5));
    t->ycbcr420 = uint8_t(get_bits(b[0], 7, 7));
    t->h_active = get_le16(b + 1) + 1;
    t->v_active = get_le16(b + 3) + 1;
    uint32_t refresh = b[5];
    if (size == TYPE_X_LONG) {
        refresh |= get_bits(b[6], 1, 0) << 8;
        t->hblank_delta = uint8_t(get_bits(b[6], 4, 2));
        t->vblank_extra = uint8_t(get_bits(b[6], 7, 5));
    }
    t->refresh_hz = uint16_t(refresh + 1);
}

void put_formula_timing(const CeaDisplayIdFormulaTiming *t, uint32_t size, Writer *w)
{
    const uint32_t refresh = t->refresh_hz - 1u;
    put(w, put_bits(t->formula, 2, 0) | put_bits(t->early_vsync, 3, 3) | put_bits(t->vr_hb, 4, 4) |
               put_bits(t->stereo_3d, 6, 5) | put_bits(t->ycbcr420, 7, 7));
    put_le16(w, t->h_active - 1);
    put_le16(w, t->v_active - 1);
    put(w, refresh & 0xFF);
    if (size == TYPE_X_LONG)
        put(w, put_bits(refresh >> 8, 1, 0) | put_bits(t->hblank_delta, 4, 2) |
                   put_bits(t->vblank_extra, 7, 5));
}

void print_formula_timing(uint32_t n, const CeaDisplayIdFormulaTiming *t)
{
    printf("   Timing %u: %ux%u %u Hz, ", unsigned(n), unsigned(t->h_active), unsigned(t->v_active),
           unsigned(t->refresh_hz));
    print_name(t->formula, FORMULA_NAMES, sizeof FORMULA_NAMES / sizeof FORMULA_NAMES[0]);
    if (t->vr_hb && t->formula == CVT_RB2) printf(", video-optimized (also 1000/1001)");
    if (t->vr_hb && t->formula == CVT_RB3) printf(", horizontal blank 160");
    if (t->vr_hb && t->formula != CVT_RB2 && t->formula != CVT_RB3) printf(", VR_HB");
    if (t->early_vsync) printf(", early vsync");
    if (t->hblank_delta) printf(", horizontal blank delta %u", unsigned(t->hblank_delta));
    if (t->vblank_extra) printf(", extra vertical blank %u", unsigned(t->vblank_extra));
    if (t->stereo_3d) {
        printf(", stereo ");
        print_name(t->stereo_3d, STEREO_NAMES, sizeof STEREO_NAMES / sizeof STEREO_NAMES[0]);
    }
    if (t->ycbcr420) printf(", YCbCr 4:2:0 also");
    putchar('\n');
}

} // namespace

// VICs.

int cea_vic_format(uint32_t vic, CeaVicFormat *format)
{
    edid_video::VideoFormat f;
    if (!edid_video::vic_format(vic, &f)) return 0;
    format->h_active = f.h_active;
    format->v_active = f.v_active;
    format->interlaced = f.interlaced;
    format->field_rate_millihz = edid_video::field_rate_millihz(f);
    format->pixel_clock_khz = f.pixel_khz;
    return 1;
}

// Short video descriptors.

void cea_decode_svd(uint8_t byte, CeaSvd *svd)
{
    if (byte >= SVD_NATIVE && byte <= SVD_NATIVE_LAST)
        *svd = {uint8_t(byte - SVD_NATIVE), 1};
    else
        *svd = {byte, 0};
}

uint8_t cea_encode_svd(const CeaSvd *svd)
{
    if (svd->native && svd->vic <= NATIVE_VIC_LAST) return uint8_t(SVD_NATIVE | svd->vic);
    return svd->vic;
}

// Video data block.

void cea_decode_video_data_block(const uint8_t *header, CeaVideoDataBlock *video)
{
    decode_svds(payload_of(header), video);
}

uint32_t cea_encode_video_data_block(const CeaVideoDataBlock *video, uint8_t *header)
{
    Writer w{};
    put_svds(video, &w);
    return finish(w, CEA_TAG_VIDEO, header);
}

void cea_print_video_data_block(const CeaVideoDataBlock *video)
{
    print_svds(video);
}

// YCbCr 4:2:0 video data block.

void cea_decode_ycbcr420_video(const uint8_t *header, CeaVideoDataBlock *video)
{
    decode_svds(extended_payload_of(header), video);
}

uint32_t cea_encode_ycbcr420_video(const CeaVideoDataBlock *video, uint8_t *header)
{
    Writer w = extended_writer(CEA_EXT_YCBCR420_VIDEO);
    put_svds(video, &w);
    return finish(w, CEA_TAG_EXTENDED, header);
}

void cea_print_ycbcr420_video(const CeaVideoDataBlock *video)
{
    print_svds(video);
}

// YCbCr 4:2:0 capability map.

void cea_decode_ycbcr420_capability_map(const uint8_t *header, CeaYcbcr420CapabilityMap *map)
{
    const Reader r = extended_payload_of(header);
    memset(map, 0, sizeof *map);
    map->size = min_u32(r.size, CEA_MAX_EXT_ITEMS);
    memcpy(map->map, r.bytes, map->size);
}

uint32_t cea_encode_ycbcr420_capability_map(const CeaYcbcr420CapabilityMap *map, uint8_t *header)
{
    Writer w = extended_writer(CEA_EXT_YCBCR420_CAPABILITY_MAP);
    put_trailing(&w, map->map, map->size, CEA_MAX_EXT_ITEMS);
    return finish(w, CEA_TAG_EXTENDED, header);
}

void cea_print_ycbcr420_capability_map(const CeaYcbcr420CapabilityMap *map)
{
    const uint32_t size = min_u32(map->size, CEA_MAX_EXT_ITEMS);
    if (size == 0) {
        puts("   Short video descriptors: all");
        return;
    }
    printf("   Short video descriptors:");
    bool any = false;
    for (uint32_t i = 0; i < size * 8; ++i) {
        if (!cea_ycbcr420_capable(map, i)) continue;
        printf(" %u", unsigned(i + 1));
        any = true;
    }
    puts(any ? "" : " none");
}

int cea_ycbcr420_capable(const CeaYcbcr420CapabilityMap *map, uint32_t svd_index)
{
    const uint32_t size = min_u32(map->size, CEA_MAX_EXT_ITEMS);
    if (size == 0) return 1;
    if (svd_index / 8 >= size) return 0;
    return int(get_bits(map->map[svd_index / 8], svd_index % 8, svd_index % 8));
}

// Short video references.

const char *cea_svr_kind_name(uint32_t kind)
{
    switch (kind) {
    case CEA_SVR_VIC: return "vic";
    case CEA_SVR_DETAILED_TIMING: return "detailed_timing";
    case CEA_SVR_DISPLAYID_TIMING: return "displayid_timing";
    case CEA_SVR_RID_RATE: return "rid_rate";
    case CEA_SVR_TYPE_VIII: return "displayid_type_viii";
    default: return "reserved";
    }
}

uint32_t cea_rid_rate_hz(uint32_t code)
{
    return code >= 1 && code <= RID_RATE_CODES ? RID_RATES_HZ[code - 1] : 0;
}

// Video format preference data block.

void cea_decode_video_format_preference(const uint8_t *header, CeaVideoFormatPreference *pref)
{
    const Reader r = extended_payload_of(header);
    memset(pref, 0, sizeof *pref);
    pref->count = min_u32(r.size, CEA_MAX_EXT_ITEMS);
    for (uint32_t i = 0; i < pref->count; ++i) pref->svrs[i] = svr_of(r.bytes[i]);
}

uint32_t cea_encode_video_format_preference(const CeaVideoFormatPreference *pref, uint8_t *header)
{
    Writer w = extended_writer(CEA_EXT_VIDEO_FORMAT_PREFERENCE);
    const uint32_t count = min_u32(pref->count, CEA_MAX_EXT_ITEMS);
    for (uint32_t i = 0; i < count; ++i) put(&w, svr_byte(pref->svrs[i]));
    return finish(w, CEA_TAG_EXTENDED, header);
}

void cea_print_video_format_preference(const CeaVideoFormatPreference *pref)
{
    const uint32_t count = min_u32(pref->count, CEA_MAX_EXT_ITEMS);
    for (uint32_t i = 0; i < count; ++i) {
        printf("   Preference %u: ", unsigned(i + 1));
        print_svr(pref->svrs[i]);
        putchar('\n');
    }
}

// Native video resolution data block.

void cea_decode_native_video_resolution(const uint8_t *header, CeaNativeVideoResolution *nvr)
{
    const Reader r = extended_payload_of(header);
    memset(nvr, 0, sizeof *nvr);
    nvr->native = svr_of(byte_at(r, 0));
    uint32_t end = min_u32(r.size, NVR_FLAGS);
    if (r.size > NVR_FLAGS) {
        nvr->has_flags = 1;
        nvr->image_size_in_mm = uint8_t(get_bits(r.bytes[NVR_FLAGS], 7, 7));
        nvr->image_size_valid = uint8_t(get_bits(r.bytes[NVR_FLAGS], 0, 0));
        end = NVR_SIZE;
    }
    if (r.size >= NVR_END) {
        nvr->has_image_size = 1;
        nvr->image_width = uint16_t(get_le16(r.bytes + NVR_SIZE));
        nvr->image_height = uint16_t(get_le16(r.bytes + NVR_SIZE + 2));
        end = NVR_END;
    }
    nvr->trailing_size = keep_trailing(r, end, nvr->trailing);
}

uint32_t cea_encode_native_video_resolution(const CeaNativeVideoResolution *nvr, uint8_t *header)
{
    Writer w = extended_writer(CEA_EXT_NATIVE_VIDEO_RESOLUTION);
    put(&w, svr_byte(nvr->native));
    if (nvr->has_flags || nvr->has_image_size)
        put(&w, put_bits(nvr->image_size_in_mm, 7, 7) | put_bits(nvr->image_size_valid, 0, 0));
    if (nvr->has_image_size) {
        put_le16(&w, nvr->image_width);
        put_le16(&w, nvr->image_height);
    }
    put_trailing(&w, nvr->trailing, nvr->trailing_size);
    return finish(w, CEA_TAG_EXTENDED, header);
}

void cea_print_native_video_resolution(const CeaNativeVideoResolution *nvr)
{
    printf("   Native format: ");
    print_svr(nvr->native);
    putchar('\n');
    if (nvr->image_size_valid && nvr->has_image_size) {
        if (nvr->image_size_in_mm)
            printf("   Image size: %ux%u mm\n", unsigned(nvr->image_width),
                   unsigned(nvr->image_height));
        else
            printf("   Image size: %u.%ux%u.%u mm\n", unsigned(nvr->image_width / 10),
                   unsigned(nvr->image_width % 10), unsigned(nvr->image_height / 10),
                   unsigned(nvr->image_height % 10));
    } else if (nvr->has_flags) {
        puts("   Image size: not given");
    }
    print_trailing(nvr->trailing, nvr->trailing_size);
}

// InfoFrame data block.

void cea_decode_infoframe(const uint8_t *header, CeaInfoFrameBlock *info)
{
    const Reader r = extended_payload_of(header);
    memset(info, 0, sizeof *info);
    info->processing_size = uint8_t(get_bits(byte_at(r, 0), 7, 5));
    info->max_vsifs = byte_at(r, 1);
    for (uint32_t i = 0; i < info->processing_size; ++i)
        info->processing[i] = byte_at(r, INFOFRAME_HEADER + i);
    uint32_t at = INFOFRAME_HEADER + info->processing_size;
    while (at < r.size && info->count < CEA_MAX_INFOFRAME_DESCRIPTORS) {
        const uint8_t h = r.bytes[at];
        const uint32_t type = get_bits(h, 4, 0), length = get_bits(h, 7, 5);
        const uint32_t oui = type == CEA_INFOFRAME_VENDOR ? OUI_SIZE : 0;
        if (at + 1 + oui + length > r.size) break; // cut short: kept as trailing bytes
        CeaShortInfoFrame *d = &info->descriptors[info->count++];
        d->payload_size = uint8_t(length);
        d->type = uint8_t(type);
        if (oui) d->oui = le24_at(r, at + 1);
        memcpy(d->payload, r.bytes + at + 1 + oui, length);
        at += 1 + oui + length;
    }
    info->trailing_size = keep_trailing(r, at, info->trailing);
}

uint32_t cea_encode_infoframe(const CeaInfoFrameBlock *info, uint8_t *header)
{
    Writer w = extended_writer(CEA_EXT_INFOFRAME);
    const uint32_t processing = get_bits(info->processing_size, 2, 0);
    put(&w, put_bits(processing, 7, 5));
    put(&w, info->max_vsifs);
    put_bytes(&w, info->processing, processing);
    const uint32_t count = min_u32(info->count, CEA_MAX_INFOFRAME_DESCRIPTORS);
    for (uint32_t i = 0; i < count; ++i) {
        const CeaShortInfoFrame *d = &info->descriptors[i];
        const uint32_t length = get_bits(d->payload_size, 2, 0);
        put(&w, put_bits(length, 7, 5) | put_bits(d->type, 4, 0));
        if (get_bits(d->type, 4, 0) == CEA_INFOFRAME_VENDOR) put_le24(&w, d->oui);
        put_bytes(&w, d->payload, length);
    }
    put_trailing(&w, info->trailing, info->trailing_size);
    return finish(w, CEA_TAG_EXTENDED, header);
}

void cea_print_infoframe(const CeaInfoFrameBlock *info)
{
    static const char *const TYPE_NAMES[] = {
        nullptr, "vendor-specific", "AVI",      "source product description",
        "audio", "MPEG source",     "NTSC VBI", "dynamic range and mastering"};
    constexpr uint32_t TYPES = sizeof TYPE_NAMES / sizeof TYPE_NAMES[0];
    printf("   VSIFs at once: %u\n", unsigned(info->max_vsifs));
    print_hex("Processing descriptor bytes", info->processing,
              get_bits(info->processing_size, 2, 0));
    const uint32_t count = min_u32(info->count, CEA_MAX_INFOFRAME_DESCRIPTORS);
    for (uint32_t i = 0; i < count; ++i) {
        const CeaShortInfoFrame *d = &info->descriptors[i];
        printf("   InfoFrame: ");
        print_name(d->type, TYPE_NAMES, TYPES);
        if (d->type == CEA_INFOFRAME_VENDOR) {
            printf(", OUI ");
            print_oui(d->oui);
        }
        const uint32_t length = get_bits(d->payload_size, 2, 0);
        if (length) printf(", payload");
        for (uint32_t j = 0; j < length; ++j) printf(" %02X", unsigned(d->payload[j]));
        putchar('\n');
    }
    print_trailing(info->trailing, info->trailing_size);
}

// DisplayID type VII timing data block.

void cea_decode_displayid_timing_vii(const uint8_t *header, CeaDisplayIdTimingVii *t)
{
    const Reader r = extended_payload_of(header);
    memset(t, 0, sizeof *t);
    t->revision = uint8_t(get_bits(byte_at(r, 0), 2, 0));
    t->extra_bytes = uint8_t(get_bits(byte_at(r, 0), 6, 4));
    uint32_t end = min_u32(r.size, 1);
    if (r.size >= 1 + CEA_DISPLAYID_VII_SIZE) {
        t->has_timing = 1;
        decode_detailed_timing(r.bytes + 1, &t->timing);
        end = 1 + CEA_DISPLAYID_VII_SIZE;
    }
    t->trailing_size = keep_trailing(r, end, t->trailing);
}

uint32_t cea_encode_displayid_timing_vii(const CeaDisplayIdTimingVii *t, uint8_t *header)
{
    Writer w = extended_writer(CEA_EXT_DISPLAYID_TIMING_VII);
    put(&w, put_bits(t->revision, 2, 0) | put_bits(t->extra_bytes, 6, 4));
    if (t->has_timing) put_detailed_timing(&t->timing, &w);
    put_trailing(&w, t->trailing, t->trailing_size);
    return finish(w, CEA_TAG_EXTENDED, header);
}

void cea_print_displayid_timing_vii(const CeaDisplayIdTimingVii *t)
{
    printf("   Revision: %u\n", unsigned(t->revision));
    if (t->has_timing) print_detailed_timing(&t->timing);
    print_trailing(t->trailing, t->trailing_size);
}

// DisplayID type VIII timing data block.

void cea_decode_displayid_timing_viii(const uint8_t *header, CeaDisplayIdTimingViii *t)
{
    const Reader r = extended_payload_of(header);
    memset(t, 0, sizeof *t);
    t->revision = uint8_t(get_bits(byte_at(r, 0), 2, 0));
    t->two_byte_codes = uint8_t(get_bits(byte_at(r, 0), 3, 3));
    t->ycbcr420 = uint8_t(get_bits(byte_at(r, 0), 5, 5));
    t->code_type = uint8_t(get_bits(byte_at(r, 0), 7, 6));
    const uint32_t size = t->two_byte_codes ? TYPE_VIII_WIDE : 1;
    uint32_t at = 1;
    while (at + size <= r.size && t->count < CEA_MAX_TYPE_VIII_CODES) {
        t->codes[t->count++] =
            uint16_t(size == TYPE_VIII_WIDE ? get_le16(r.bytes + at) : r.bytes[at]);
        at += size;
    }
    t->trailing_size = keep_trailing(r, at, t->trailing, sizeof t->trailing);
}

uint32_t cea_encode_displayid_timing_viii(const CeaDisplayIdTimingViii *t, uint8_t *header)
{
    Writer w = extended_writer(CEA_EXT_DISPLAYID_TIMING_VIII);
    put(&w, put_bits(t->revision, 2, 0) | put_bits(t->two_byte_codes, 3, 3) |
                put_bits(t->ycbcr420, 5, 5) | put_bits(t->code_type, 7, 6));
    const uint32_t count = min_u32(t->count, CEA_MAX_TYPE_VIII_CODES);
    for (uint32_t i = 0; i < count; ++i) {
        if (get_bits(t->two_byte_codes, 0, 0))
            put_le16(&w, t->codes[i]);
        else
            put(&w, t->codes[i] & 0xFF);
    }
    put_trailing(&w, t->trailing, t->trailing_size, sizeof t->trailing);
    return finish(w, CEA_TAG_EXTENDED, header);
}

void cea_print_displayid_timing_viii(const CeaDisplayIdTimingViii *t)
{
    enum { DMT, VIC, HDMI_VIC };
    static const char *const CODE_TYPES[] = {"DMT ID", "VIC", "HDMI VIC"};
    printf("   Revision: %u\n   Code type: ", unsigned(t->revision));
    print_name(t->code_type, CODE_TYPES, sizeof CODE_TYPES / sizeof CODE_TYPES[0]);
    putchar('\n');
    if (t->ycbcr420) puts("   YCbCr 4:2:0: also");
    const uint32_t count = min_u32(t->count, CEA_MAX_TYPE_VIII_CODES);
    for (uint32_t i = 0; i < count; ++i) {
        printf("   ");
        switch (t->code_type) {
        case DMT: printf("DMT 0x%02X", unsigned(t->codes[i])); break;
        case VIC: print_vic(t->codes[i], ", "); break;
        case HDMI_VIC: printf("HDMI VIC %u", unsigned(t->codes[i])); break;
        default: printf("Code 0x%02X", unsigned(t->codes[i])); break;
        }
        putchar('\n');
    }
    print_trailing(t->trailing, t->trailing_size, sizeof t->trailing);
}

// DisplayID type X timing data block.

void cea_decode_displayid_timing_x(const uint8_t *header, CeaDisplayIdTimingX *t)
{
    const Reader r = extended_payload_of(header);
    memset(t, 0, sizeof *t);
    t->revision = uint8_t(get_bits(byte_at(r, 0), 2, 0));
    t->extra_bytes = uint8_t(get_bits(byte_at(r, 0), 6, 4));
    const uint32_t size = CEA_DISPLAYID_X_SIZE + t->extra_bytes;
    uint32_t at = min_u32(r.size, 1);
    while (size <= TYPE_X_LONG && at + size <= r.size && t->count < CEA_MAX_TYPE_X_TIMINGS) {
        decode_formula_timing(r.bytes + at, size, &t->timings[t->count++]);
        at += size;
    }
    t->trailing_size = keep_trailing(r, at, t->trailing);
}

uint32_t cea_encode_displayid_timing_x(const CeaDisplayIdTimingX *t, uint8_t *header)
{
    Writer w = extended_writer(CEA_EXT_DISPLAYID_TIMING_X);
    const uint32_t extra = get_bits(t->extra_bytes, 2, 0);
    put(&w, put_bits(t->revision, 2, 0) | put_bits(extra, 6, 4));
    const uint32_t size = CEA_DISPLAYID_X_SIZE + extra;
    const uint32_t count = size <= TYPE_X_LONG ? min_u32(t->count, CEA_MAX_TYPE_X_TIMINGS) : 0;
    for (uint32_t i = 0; i < count; ++i) put_formula_timing(&t->timings[i], size, &w);
    put_trailing(&w, t->trailing, t->trailing_size);
    return finish(w, CEA_TAG_EXTENDED, header);
}

void cea_print_displayid_timing_x(const CeaDisplayIdTimingX *t)
{
    printf("   Revision: %u\n", unsigned(t->revision));
    const uint32_t count = min_u32(t->count, CEA_MAX_TYPE_X_TIMINGS);
    for (uint32_t i = 0; i < count; ++i) print_formula_timing(i + 1, &t->timings[i]);
    print_trailing(t->trailing, t->trailing_size);
}
