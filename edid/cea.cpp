// SPDX-License-Identifier: MIT
// cea.cpp - the CEA-861 timing extension block, revision 3: block decoder,
// report and encoder, the data block dispatchers, and the codec of data
// blocks whose tag the library does not interpret (raw blocks).
//
// Block layout (128 bytes):
//   0      extension tag 0x02
//   1      revision 3
//   2      d: offset of the first detailed timing, end of the data blocks
//   3      bit 7 underscan, 6 basic audio, 5 YCbCr 4:4:4, 4 YCbCr 4:2:2,
//          bits 3..0 number of native detailed formats
//   4..d-1 data block collection: header (tag bits 7..5, length 4..0),
//          then the payload
//   d..    18-byte detailed timings, then zero padding
//   127    checksum
#include <edid/edid.h>

#include <stdio.h>
#include <string.h>

#include "bits.h"
#include "cea.h"

using edid_bits::get_bits;
using edid_bits::min_u32;
using edid_bits::put_bits;

namespace {

// CEA block byte offsets.
constexpr unsigned OFF_TAG = 0, OFF_REVISION = 1;
constexpr unsigned OFF_DTD = 2; // d
constexpr unsigned OFF_CAPS = 3;
constexpr unsigned OFF_COLLECTION = 4; // first data block header
constexpr unsigned OFF_CHECKSUM = EDID_BLOCK_SIZE - 1;
// A detailed timing must end before the checksum: last start 109.
constexpr unsigned LAST_DTD_START = OFF_CHECKSUM - EDID_DESCRIPTOR_SIZE;
// cea_encode: a data block must end by byte 126, before the checksum.
constexpr unsigned LAST_BLOCK_BYTE = OFF_CHECKSUM - 1;

// Bytes a data block occupies: its header and the length in bits 4..0.
constexpr uint32_t block_span(uint8_t header)
{
    return 1 + get_bits(header, 4, 0);
}

// Three zero bytes at a timing start end the timings.
bool dtd_end_mark(const uint8_t *bytes)
{
    return (bytes[0] | bytes[1] | bytes[2]) == 0;
}

// Data block collection: the blocks that the walk yields, into the first
// of the 61 slots.
uint32_t decode_collection(const uint8_t *block, CeaDataBlock *blocks,
                           edid_cea::ZeroHeader zero_header)
{
    edid_cea::Walk walk = edid_cea::walk(block, zero_header);
    uint32_t count = 0, offset, span;
    while (count < CEA_MAX_DATA_BLOCKS && edid_cea::next(&walk, &offset, &span)) {
        if (offset == OFF_CHECKSUM && get_bits(block[offset], 7, 5) == CEA_TAG_SPEAKER) {
            // A speaker allocation block of length 0 in the last byte: its
            // decoder reads one payload byte whatever the length, and that
            // byte would lie past the block.  Decode it from {header, 0}.
            const uint8_t local[2] = {block[offset], 0};
            cea_decode_data_block(local, &blocks[count]);
        } else {
            cea_decode_data_block(&block[offset], &blocks[count]);
        }
        count++;
    }
    return count;
}

// Detailed timings from the offsets that timing_offsets finds.
uint32_t decode_timings(const uint8_t *block, EdidDetailedTiming *timings)
{
    uint8_t offsets[CEA_MAX_DETAILED_TIMINGS];
    const uint32_t count = edid_cea::timing_offsets(block, offsets);
    for (uint32_t i = 0; i < count; ++i) edid_decode_detailed_timing(&block[offsets[i]], &timings[i]);
    return count;
}

} // namespace

bool edid_cea::is_cea_block(const uint8_t *block)
{
    return block[OFF_TAG] == CEA_EXTENSION_TAG && block[OFF_REVISION] == CEA_REVISION;
}

int edid_cea::decode(const uint8_t *block, CeaExtension *cea, ZeroHeader zero_header)
{
    if (!is_cea_block(block)) return CEA_DECODE_NOT_CEA;
    uint8_t caps = block[OFF_CAPS];
    cea->underscan = get_bits(caps, 7, 7);
    cea->basic_audio = get_bits(caps, 6, 6);
    cea->ycbcr_444 = get_bits(caps, 5, 5);
    cea->ycbcr_422 = get_bits(caps, 4, 4);
    cea->native_modes = get_bits(caps, 3, 0);
    cea->data_block_count = decode_collection(block, cea->data_blocks, zero_header);
    cea->detailed_timing_count = decode_timings(block, cea->detailed_timings);
    return 0;
}

// Detailed timings from offset d (none for d = 0) up to the last start
// that ends before the checksum, until three zero bytes; at most 6.
uint32_t edid_cea::timing_offsets(const uint8_t *block, uint8_t *offsets)
{
    const uint32_t d = block[OFF_DTD];
    uint32_t count = 0;
    if (d == 0) return 0;
    for (uint32_t offset = d; offset <= LAST_DTD_START && count < CEA_MAX_DETAILED_TIMINGS;
         offset += EDID_DESCRIPTOR_SIZE) {
        if (dtd_end_mark(&block[offset])) break;
        offsets[count++] = uint8_t(offset);
    }
    return count;
}

// Read as EMPTY_BLOCK, a zero header is a block of tag 0 and length 0,
// passed over and not kept (ONE_BYTE_BLOCK yields it, span 1), as long as d is an offset inside the block (5
// to 127).  For d of 0 to 3, and of 128 and above, the walk runs to the end
// of the block, where the zero padding and the checksum byte would be read
// as blocks, so a zero header still ends it there.
edid_cea::Walk edid_cea::walk(const uint8_t *block, ZeroHeader zero_header)
{
    const uint32_t d = block[OFF_DTD];
    const uint32_t limit = d < OFF_COLLECTION ? uint32_t(EDID_BLOCK_SIZE) : d;
    const bool pass_empty =
        zero_header != ZeroHeader::ENDS_COLLECTION && d > OFF_COLLECTION && d < EDID_BLOCK_SIZE;
    return Walk{block, OFF_COLLECTION, limit, pass_empty,
                pass_empty && zero_header == ZeroHeader::ONE_BYTE_BLOCK};
}

bool edid_cea::next(Walk *w, uint32_t *at, uint32_t *span)
{
    while (w->block && w->at < w->limit && w->at < EDID_BLOCK_SIZE) {
        if (w->block[w->at] == 0 && !w->yield_empty) {
            if (!w->pass_empty) break;
            ++w->at;
            continue;
        }
        const uint32_t s = block_span(w->block[w->at]);
        if (w->at + s > EDID_BLOCK_SIZE) break;
        *at = w->at;
        *span = s;
        w->at += s;
        return true;
    }
    w->block = nullptr;
    return false;
}

int cea_decode(const uint8_t *block, CeaExtension *cea)
{
    return edid_cea::decode(block, cea, edid_cea::ZeroHeader::ENDS_COLLECTION);
}

void edid_cea::print_heading(const CeaExtension *cea)
{
    puts("CEA Timing extension:");
    printf("   Capabilities: ");
    if (cea->underscan) printf("underscan ");
    if (cea->basic_audio) printf("basic_audio ");
    if (cea->ycbcr_444) printf("YCbCr_4:4:4 ");
    if (cea->ycbcr_422) printf("YCbCr_4:2:2");
    putchar('\n');
    printf("   Native modes: %u\tData blocks: %u\tDetailed timings: %u\n",
           unsigned(cea->native_modes), unsigned(cea->data_block_count),
           unsigned(cea->detailed_timing_count));
}

void cea_print(const CeaExtension *cea)
{
    uint32_t blocks = min_u32(cea->data_block_count, CEA_MAX_DATA_BLOCKS);
    uint32_t timings = min_u32(cea->detailed_timing_count, CEA_MAX_DETAILED_TIMINGS);
    edid_cea::print_heading(cea);
    for (uint32_t i = 0; i < blocks; ++i) cea_print_data_block(&cea->data_blocks[i]);
    for (uint32_t i = 0; i < timings; ++i) edid_print_detailed_timing(&cea->detailed_timings[i]);
}

void cea_encode(const CeaExtension *cea, uint8_t *out)
{
    uint32_t blocks = min_u32(cea->data_block_count, CEA_MAX_DATA_BLOCKS);
    uint32_t timings = min_u32(cea->detailed_timing_count, CEA_MAX_DETAILED_TIMINGS);
    memset(out, 0, EDID_BLOCK_SIZE);
    out[OFF_TAG] = CEA_EXTENSION_TAG;
    out[OFF_REVISION] = CEA_REVISION;
    out[OFF_CAPS] = uint8_t(put_bits(cea->underscan, 7, 7) | put_bits(cea->basic_audio, 6, 6) |
                            put_bits(cea->ycbcr_444, 5, 5) | put_bits(cea->ycbcr_422, 4, 4) |
                            put_bits(cea->native_modes, 3, 0));

    // Each block is encoded into a scratch area first, so its length is
    // known before it is placed: the collection ends before the first
    // block that would not end by byte 126, and never holds a partial one.
    uint32_t offset = OFF_COLLECTION;
    for (uint32_t i = 0; i < blocks; ++i) {
        uint8_t scratch[1 + CEA_MAX_PAYLOAD];
        cea_encode_data_block(&cea->data_blocks[i], scratch);
        uint32_t span = block_span(scratch[0]);
        if (offset + span - 1 > LAST_BLOCK_BYTE) break;
        memcpy(&out[offset], scratch, span);
        offset += span;
    }
    if (blocks == 0 && timings == 0) offset = 0; // an empty block: neither data blocks nor timings
    out[OFF_DTD] = uint8_t(offset);

    for (uint32_t i = 0; i < timings && offset <= LAST_DTD_START; ++i) {
        edid_encode_detailed_timing(&cea->detailed_timings[i], &out[offset]);
        offset += EDID_DESCRIPTOR_SIZE;
    }

    // Byte 127 is still 0 here: nothing above writes past byte 126.
    out[OFF_CHECKSUM] = uint8_t(0 - edid_checksum(out));
}

void cea_decode_data_block(const uint8_t *header, CeaDataBlock *block)
{
    block->tag = uint8_t(get_bits(header[0], 7, 5));
    switch (block->tag) {
    case CEA_TAG_AUDIO: cea_decode_audio_block(header, &block->body.audio); break;
    case CEA_TAG_VIDEO: cea_decode_video_block(header, &block->body.video); break;
    case CEA_TAG_VENDOR: cea_decode_vendor_block(header, &block->body.vendor); break;
    case CEA_TAG_SPEAKER: cea_decode_speaker_allocation(header, &block->body.speakers); break;
    default: cea_decode_raw_block(header, &block->body.raw); break;
    }
}

void cea_encode_data_block(const CeaDataBlock *block, uint8_t *header)
{
    // A block kept whole (CEA_TAG_WHOLE | tag) has the header tag of its
    // low bits and is written as a raw block: its payload as it stands.
    header[0] = put_bits(block->tag, 7, 5);
    switch (block->tag) {
    case CEA_TAG_AUDIO: cea_encode_audio_block(&block->body.audio, header); break;
    case CEA_TAG_VIDEO: cea_encode_video_block(&block->body.video, header); break;
    case CEA_TAG_VENDOR: cea_encode_vendor_block(&block->body.vendor, header); break;
    case CEA_TAG_SPEAKER: cea_encode_speaker_allocation(&block->body.speakers, header); break;
    default: cea_encode_raw_block(&block->body.raw, header); break;
    }
}

namespace {

// The heading line of a block and its body's report.
void print_block(const CeaDataBlock *block)
{
    printf("Datablock: %u ", unsigned(block->tag));
    switch (block->tag) {
    case CEA_TAG_AUDIO:
        puts("Audio data block");
        cea_print_audio_block(&block->body.audio);
        break;
    case CEA_TAG_VIDEO:
        puts("Video data block");
        cea_print_video_block(&block->body.video);
        break;
    case CEA_TAG_VENDOR:
        puts("Vendor specific data block");
        cea_print_vendor_block(&block->body.vendor);
        break;
    case CEA_TAG_SPEAKER:
        puts("Speaker configuration data block");
        cea_print_speaker_allocation(&block->body.speakers);
        break;
    default:
        puts("Unknown data block");
        cea_print_raw_block(&block->body.raw);
        break;
    }
}

// A block kept whole prints as its bytes decode.  Apart, so that the record
// it decodes into takes stack only for such a block.
__attribute__((noinline)) void print_whole_block(const CeaDataBlock *block)
{
    uint8_t wire[1 + CEA_MAX_PAYLOAD + 1] = {};
    cea_encode_data_block(block, wire);
    CeaDataBlock decoded;
    memset(&decoded, 0, sizeof decoded);
    cea_decode_data_block(wire, &decoded);
    print_block(&decoded);
}

} // namespace

void cea_print_data_block(const CeaDataBlock *block)
{
    if (block->tag & CEA_TAG_WHOLE)
        print_whole_block(block);
    else
        print_block(block);
}

// Raw block: the payload kept as it stood on the wire.

void cea_decode_raw_block(const uint8_t *header, CeaRawBlock *raw)
{
    raw->size = get_bits(header[0], 4, 0);
    memcpy(raw->bytes, header + 1, raw->size);
}

void cea_encode_raw_block(const CeaRawBlock *raw, uint8_t *header)
{
    uint32_t size = min_u32(raw->size, CEA_MAX_PAYLOAD);
    header[0] = uint8_t(header[0] | put_bits(size, 4, 0));
    memcpy(header + 1, raw->bytes, size);
}

void cea_print_raw_block(const CeaRawBlock *raw)
{
    uint32_t size = min_u32(raw->size, CEA_MAX_PAYLOAD);
    printf("   Size: %u\n", unsigned(raw->size));
    printf("   Raw data: ");
    for (uint32_t i = 0; i < size; ++i) printf("%02X ", unsigned(raw->bytes[i]));
    putchar('\n');
}
