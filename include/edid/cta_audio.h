/* SPDX-License-Identifier: MIT
 *
 * cta_audio.h - typed codecs of the CTA-861 data blocks that describe
 * audio: short audio descriptors of every format (the audio data block),
 * the speaker allocation with all its speakers, vendor-specific audio
 * (Dolby's decoded), the HDMI audio data block, room configuration and
 * speaker location; and the names of audio formats and speakers.
 *
 * The codecs follow the calling shape of cta.h and the conventions stated
 * at the top of cta_video.h: decoders fill the whole record and never read
 * past the payload; encoders return the bytes written or 0 (nothing
 * written) when the fields need more than 31 payload bytes; printers write
 * "Name: value" lines indented by three blanks.  A well-formed block (its
 * reserved bits 0) encodes from its record to the same bytes; bytes past
 * the last whole structure are kept as trailing bytes and written back;
 * reserved bits inside a field's byte are written as 0, but for those of a
 * short audio descriptor's byte 2, which its options field keeps.
 */
#ifndef EDID_CTA_AUDIO_H
#define EDID_CTA_AUDIO_H

#include <stdint.h>

#include <edid/cta.h>
#include <edid/edid.h>

#ifdef __cplusplus
extern "C" {
#endif

enum {
    CEA_SAD_SIZE = 3,                  /* a short audio descriptor */
    CEA_MAX_3D_AUDIO_DESCRIPTORS = 7,  /* HDMI audio: three bits of count */
    CEA_MAX_MS_SADS = 9,               /* HDMI audio: multi-stream SADs in 28 bytes */
    CEA_MAX_SPEAKER_LOCATIONS = 15,    /* 2-byte descriptors in 30 bytes */
    CEA_MAX_VENDOR_AUDIO_PAYLOAD = 27, /* after the extended tag and OUI */
    CEA_SPEAKER_LSD_RSD = 1 << 20      /* byte 2 bit 4: surround direct, as HDMI uses it */
};

/* ------------------------------------------------------------------ */
/* Names                                                                */
/* ------------------------------------------------------------------ */

/* The name of an audio format code (CEA_AUDIO_*) and, for format 15, of
 * its type (CEA_AUDIO_EXT_*; ext_type is ignored for other formats):
 * "lpcm", "ac-3", "mpeg-1", "mp3", "mpeg-2", "aac-lc", "dts", "atrac",
 * "one-bit-audio", "e-ac-3", "dts-hd", "mat", "dst", "wma-pro";
 * "mpeg-4-he-aac", "mpeg-4-he-aac-v2", "mpeg-4-aac-lc", "dra",
 * "mpeg-4-he-aac-mpeg-surround", "mpeg-4-aac-lc-mpeg-surround",
 * "mpeg-h-3d-audio", "ac-4", "lpcm-3d", "auro-cx", "mpeg-d-usac";
 * "reserved" for format 0, types 0-3, 9 and 16-31, and any value beyond. */
const char *cea_audio_format_name(uint32_t format, uint32_t ext_type);

/* Sampling rate bit 0-6 of byte 1 (CEA_AUDIO_RATE_32 is bit 0) in hertz:
 * 32000, 44100, 48000, 88200, 96000, 176400, 192000; 0 for any other. */
uint32_t cea_audio_rate_hz(uint32_t bit);

/* The name of speaker mask bit 0-20 (CEA_SPEAKER_*, CEA_SPEAKER_LSD_RSD):
 * "FL/FR", "LFE1", "FC", "BL/BR" (RL/RR of 2007), "BC", "FLc/FRc",
 * "RLC/RRC", "FLw/FRw", "TpFL/TpFR", "TpC", "TpFC", "LS/RS", "LFE2",
 * "TpBC", "SiL/SiR", "TpSiL/TpSiR", "TpBL/TpBR", "BtFC", "BtFL/BtFR",
 * "TpLS/TpRS", "LSd/RSd"; "reserved" from bit 21 on. */
const char *cea_speaker_name(uint32_t bit);

/* The name of a speaker location's speaker ID 0-27: "FL", "FR", "FC",
 * "LFE1", "BL", "BR", "FLC", "FRC", "BC", "LFE2", "SiL", "SiR", "TpFL",
 * "TpFR", "TpFC", "TpC", "TpBL", "TpBR", "TpSiL", "TpSiR", "TpBC", "BtFC",
 * "BtFL", "BtFR", "FLW", "FRW", "LS", "RS"; "reserved" from 28 on. */
const char *cea_speaker_id_name(uint32_t id);

/* ------------------------------------------------------------------ */
/* Short audio descriptors and the audio data block (tag 1)             */
/* ------------------------------------------------------------------ */

/* A short audio descriptor of any format.  Byte 2 means what the format
 * (and for format 15 its type) makes it mean; the fields of the others are
 * 0.  The encoder writes byte 2 from the fields of the descriptor's format
 * and type and from options.  Byte 0 bit 7 and byte 1 bit 7 are reserved
 * (but in L-PCM 3D audio) and written as 0. */
typedef struct {
    uint8_t format;              /* byte 0 bits 6..3: CEA_AUDIO_*, 0 reserved */
    uint8_t channels;            /* byte 0 bits 2..0 plus one; L-PCM 3D audio adds byte 0
                                    bit 7 (8) and byte 1 bit 7 (16), up to 32; 0 for
                                    MPEG-H 3D audio, AC-4 and Auro-Cx, which state none */
    uint8_t mpeg_h_level;        /* MPEG-H 3D audio: byte 0 bits 2..0, 0 unspecified, 1-5,
                                    6-7 reserved */
    uint8_t rates;               /* byte 1 bits 6..0: CEA_AUDIO_RATE_* */
    uint8_t ext_type;            /* format 15: byte 2 bits 7..3, CEA_AUDIO_EXT_*; else 0 */
    uint8_t sample_sizes;        /* L-PCM, L-PCM 3D audio: byte 2 bits 2..0, CEA_AUDIO_DEPTH_* */
    uint16_t max_bitrate_kbps;   /* formats 2 to 8: byte 2 in units of 8 kbit/s */
    uint8_t joint_object_coding; /* E-AC-3: byte 2 bit 0 (Dolby Atmos) */
    uint8_t joint_object_coding_acmod28; /* E-AC-3: byte 2 bit 1, JOC with ACMOD 28 */
    uint8_t mat_pcm;                     /* MAT: byte 2 bit 0: object audio and channel-based PCM
                                            besides Dolby TrueHD (0: TrueHD only) */
    uint8_t mat_hash_not_required;       /* MAT: byte 2 bit 1, with mat_pcm */
    uint8_t wma_pro_profile;             /* WMA Pro: byte 2 bits 2..0 */
    uint8_t frame_length_1024;           /* AAC types 4, 5, 6, 8, 10: byte 2 bit 2 */
    uint8_t frame_length_960;            /* the same types: byte 2 bit 1 */
    uint8_t aac_22_2;                    /* MPEG-4 AAC LC: byte 2 bit 0, 22.2 channels (system H) */
    uint8_t mps_explicit;                /* types 8 and 10: byte 2 bit 0, MPEG Surround signalled
                                            implicitly and explicitly (0: implicitly only) */
    uint8_t mpeg_h_low_complexity; /* MPEG-H 3D audio: byte 2 bit 0, the low complexity profile */
    /* The bits of byte 2 that no field above names, as they are, so that
     * byte 2 comes back whole: the format's own value for format 0,
     * one-bit audio, DTS-HD and DST (all of byte 2) and for AC-4, Auro-Cx
     * and reserved types (bits 2..0); bits left reserved by the other
     * formats (L-PCM and WMA Pro bits 7..3, E-AC-3 and MAT bits 7..2,
     * MPEG-H bits 2..1...), 0 in a well-formed descriptor. */
    uint8_t options;
} CeaSad;

/* Decodes and encodes one 3-byte short audio descriptor. */
void cea_decode_sad(const uint8_t *bytes, CeaSad *sad);
/* Byte 2 alone into a record whose format (and, for format 15, ext_type)
 * is set: the fields that byte 2 carries for them, and options with the
 * bits no field names, as cea_decode_sad reads them (for format 15 the
 * type stays the record's: only bits 2..0 count).  The other fields are
 * left as they are. */
void cea_decode_sad_byte2(uint8_t byte2, CeaSad *sad);
void cea_encode_sad(const CeaSad *sad, uint8_t *bytes);
/* One line: "   name: 8 channels, 32 44.1 48 kHz, ...". */
void cea_print_sad(const CeaSad *sad);

typedef struct {
    uint32_t count; /* 0 to 10 */
    CeaSad sads[CEA_MAX_AUDIO_DESCRIPTORS];
    uint32_t trailing_size; /* 1 or 2 bytes that make no whole descriptor */
    uint8_t trailing[CEA_SAD_SIZE - 1];
} CeaAudioDataBlock;

/* Named _data_block apart from the 2007-era cea_decode_audio_block of
 * edid.h. */
void cea_decode_audio_data_block(const uint8_t *header, CeaAudioDataBlock *audio);
uint32_t cea_encode_audio_data_block(const CeaAudioDataBlock *audio, uint8_t *header);
void cea_print_audio_data_block(const CeaAudioDataBlock *audio);

/* ------------------------------------------------------------------ */
/* Speaker allocation (tag 4)                                           */
/* ------------------------------------------------------------------ */

/* Three payload bytes as one mask.  A block of fewer bytes decodes the
 * missing ones as 0 and is written with three. */
typedef struct {
    uint32_t speakers;      /* bytes 0-2, byte 0 bit 0 first: CEA_SPEAKER_*; bits 21-23
                               reserved, kept as they are */
    uint32_t trailing_size; /* bytes after the third */
    uint8_t trailing[CEA_MAX_PAYLOAD];
} CeaSpeakerAllocationDataBlock;

/* Named _data_block apart from cea_decode_speaker_allocation of edid.h,
 * whose record holds byte 0 alone. */
void cea_decode_speaker_allocation_data_block(const uint8_t *header,
                                              CeaSpeakerAllocationDataBlock *spk);
uint32_t cea_encode_speaker_allocation_data_block(const CeaSpeakerAllocationDataBlock *spk,
                                                  uint8_t *header);
void cea_print_speaker_allocation_data_block(const CeaSpeakerAllocationDataBlock *spk);

/* ------------------------------------------------------------------ */
/* Vendor-specific audio (extended tag 0x11)                            */
/* ------------------------------------------------------------------ */

/* Payload after the extended tag: the OUI (least significant byte first),
 * then the vendor's bytes.  Dolby's (CEA_OUI_DOLBY) first two bytes are
 * decoded when the block holds both; every other byte after the OUI is
 * kept in payload.  A block shorter than its OUI takes the OUI bytes that
 * are there (the others 0) and is written with all three. */
typedef struct {
    uint32_t oui;                     /* bytes 0-2 */
    uint8_t has_dolby_fields;         /* the fields below were decoded / are written */
    uint8_t dolby_version;            /* byte 3 bits 2..0 plus one */
    uint8_t dolby_center_zone;        /* byte 3 bit 4: center speaker zone present */
    uint8_t dolby_surround_zone;      /* byte 3 bit 5 */
    uint8_t dolby_height_zone;        /* byte 3 bit 6 */
    uint8_t dolby_headphone_only;     /* byte 3 bit 7: headphone playback only */
    uint8_t dolby_mat_pcm_48khz_only; /* byte 4 bit 0: MAT decoded to PCM at 48 kHz only,
                                         no Dolby TrueHD */
    uint32_t payload_size;            /* vendor bytes not decoded above, 0 to 27 */
    uint8_t payload[CEA_MAX_VENDOR_AUDIO_PAYLOAD];
} CeaVendorAudio;

void cea_decode_vendor_audio(const uint8_t *header, CeaVendorAudio *vendor);
uint32_t cea_encode_vendor_audio(const CeaVendorAudio *vendor, uint8_t *header);
void cea_print_vendor_audio(const CeaVendorAudio *vendor);

/* ------------------------------------------------------------------ */
/* HDMI audio data block (extended tag 0x12)                            */
/* ------------------------------------------------------------------ */

/* An HDMI 3D audio descriptor, 4 bytes. */
typedef struct {
    uint8_t format;   /* byte 0 bits 3..0: CEA_AUDIO_* */
    uint8_t channels; /* byte 1 bits 4..0 plus one, 1 to 32 */
    uint8_t rates;    /* byte 2 bits 6..0: CEA_AUDIO_RATE_* */
    uint8_t detail;   /* byte 3: L-PCM sample sizes (CEA_AUDIO_DEPTH_*), else the format's value */
} CeaHdmi3dAudioDescriptor;

/* Payload after the extended tag: byte 0 bits 1..0 the stream count minus
 * one and bit 2 non-mixed multi-stream audio; byte 1 bits 2..0 the number
 * of 3D audio descriptors; when that is not 0, the descriptors and the
 * 4-byte 3D speaker allocation (bytes 0-2 the mask, byte 3 bits 7..4 the
 * channel allocation type); then short audio descriptors of multi-stream
 * audio.  A block that states 3D descriptors but does not hold them and
 * the speaker allocation whole keeps every byte after byte 1 as trailing
 * bytes (has_3d 0); the encoder writes byte 1 from count_3d either way,
 * and the descriptors and speaker allocation only with has_3d. */
typedef struct {
    uint8_t max_streams;  /* byte 0 bits 1..0 plus one */
    uint8_t ms_non_mixed; /* byte 0 bit 2 */
    uint8_t count_3d;     /* byte 1 bits 2..0: 3D audio descriptors, 0 to 7 */
    uint8_t has_3d;       /* the descriptors and speaker allocation were decoded / are
                             written */
    CeaHdmi3dAudioDescriptor descriptors_3d[CEA_MAX_3D_AUDIO_DESCRIPTORS];
    uint32_t speakers_3d;            /* 3D speaker allocation bytes 0-2: CEA_SPEAKER_* */
    uint8_t channel_allocation_type; /* its byte 3 bits 7..4: 1 10.2, 2 22.2, 3 30.2 channels,
                                        others reserved */
    uint32_t ms_count;               /* multi-stream short audio descriptors, 0 to 9 */
    CeaSad ms_sads[CEA_MAX_MS_SADS];
    uint32_t trailing_size;
    uint8_t trailing[CEA_MAX_PAYLOAD];
} CeaHdmiAudio;

void cea_decode_hdmi_audio(const uint8_t *header, CeaHdmiAudio *audio);
uint32_t cea_encode_hdmi_audio(const CeaHdmiAudio *audio, uint8_t *header);
void cea_print_hdmi_audio(const CeaHdmiAudio *audio);

/* ------------------------------------------------------------------ */
/* Room configuration (extended tag 0x13)                               */
/* ------------------------------------------------------------------ */

/* Payload after the extended tag: byte 0 flags and speaker count, bytes
 * 1-3 the speakers present, bytes 4-6 the room's size, bytes 7-9 the
 * display's place.  Places are signed, in 64ths of the room's size on that
 * axis (-128 to 127: -2.0 to 1.98). */
typedef struct {
    uint8_t display;           /* byte 0 bit 7: bytes 7-9 give the display's place */
    uint8_t speaker_count;     /* byte 0 bits 4..0 plus one when bit 6 is set, else 0 */
    uint8_t sld;               /* byte 0 bit 5: a speaker location data block describes
                                  the speakers */
    uint32_t speakers;         /* bytes 1-3: CEA_SPEAKER_* present */
    uint8_t has_room_size;     /* the block holds bytes 4-6 */
    uint8_t x_max_dm;          /* byte 4: decimetres */
    uint8_t y_max_dm;          /* byte 5 */
    uint8_t z_max_dm;          /* byte 6 */
    uint8_t has_display_place; /* the block holds bytes 7-9 */
    int8_t display_x_64ths;    /* byte 7 */
    int8_t display_y_64ths;    /* byte 8 */
    int8_t display_z_64ths;    /* byte 9 */
    uint32_t trailing_size;    /* bytes after the last whole group */
    uint8_t trailing[CEA_MAX_PAYLOAD];
} CeaRoomConfiguration;

void cea_decode_room_configuration(const uint8_t *header, CeaRoomConfiguration *room);
uint32_t cea_encode_room_configuration(const CeaRoomConfiguration *room, uint8_t *header);
void cea_print_room_configuration(const CeaRoomConfiguration *room);

/* ------------------------------------------------------------------ */
/* Speaker location (extended tag 0x14)                                 */
/* ------------------------------------------------------------------ */

/* A speaker location descriptor: 2 bytes, 5 with coordinates. */
typedef struct {
    uint8_t channel;         /* byte 0 bits 4..0: channel index */
    uint8_t active;          /* byte 0 bit 5 */
    uint8_t has_coordinates; /* byte 0 bit 6: bytes 2-4 follow */
    uint8_t speaker_id;      /* byte 1 bits 4..0: see cea_speaker_id_name */
    int8_t x_64ths;          /* byte 2: 64ths of the room's x_max_dm */
    int8_t y_64ths;          /* byte 3 */
    int8_t z_64ths;          /* byte 4 */
} CeaSpeakerLocationDescriptor;

typedef struct {
    uint32_t count; /* 0 to 15 */
    CeaSpeakerLocationDescriptor descriptors[CEA_MAX_SPEAKER_LOCATIONS];
    uint32_t trailing_size; /* a descriptor cut short by the block's end */
    uint8_t trailing[CEA_MAX_PAYLOAD];
} CeaSpeakerLocation;

void cea_decode_speaker_location(const uint8_t *header, CeaSpeakerLocation *loc);
uint32_t cea_encode_speaker_location(const CeaSpeakerLocation *loc, uint8_t *header);
void cea_print_speaker_location(const CeaSpeakerLocation *loc);

#ifdef __cplusplus
}
#endif

#endif /* EDID_CTA_AUDIO_H */
