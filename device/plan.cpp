// SPDX-License-Identifier: MIT
// plan.cpp - the bookkeeping of the video-keeping repeater's plan: output
// blocks put in place and taken out with where they came from and their
// rank, and the items left out.
#include "device/plan.h"

#include <string.h>

namespace edid_device {

void leave_out(Plan &p, uint8_t what, uint8_t why, uint32_t index, uint32_t code)
{
    if (p.left_out->count < EDID_LEFT_OUT_MAX)
        p.left_out->items[p.left_out->count] = {what, why, uint8_t(index), uint8_t(code)};
    ++p.left_out->count;
}

namespace {

// Moves the n blocks from position k on, with their side table, to position to.
void shift(Plan &p, uint32_t k, uint32_t n, uint32_t to)
{
    CeaExtension &cea = p.out->cea;
    memmove(&cea.data_blocks[to], &cea.data_blocks[k], n * sizeof cea.data_blocks[0]);
    memmove(&p.source[to], &p.source[k], n);
    memmove(&p.rank[to], &p.rank[k], n);
}

} // namespace

void insert(Plan &p, uint32_t k, const CeaDataBlock &b, uint8_t source, uint8_t rank)
{
    CeaExtension &cea = p.out->cea;
    if (cea.data_block_count == CEA_MAX_DATA_BLOCKS) return;
    shift(p, k, cea.data_block_count - k, k + 1);
    cea.data_blocks[k] = b;
    p.source[k] = source;
    p.rank[k] = rank;
    ++cea.data_block_count;
}

void remove_block(Plan &p, uint32_t k)
{
    CeaExtension &cea = p.out->cea;
    shift(p, k + 1, cea.data_block_count - k - 1, k);
    --cea.data_block_count;
}

CeaDataBlock *open_device_slots(Plan &p, uint32_t k, uint32_t n)
{
    CeaExtension &cea = p.out->cea;
    shift(p, k, cea.data_block_count - k, k + n);
    memset(&cea.data_blocks[k], 0, n * sizeof cea.data_blocks[0]);
    memset(&p.source[k], FROM_DEVICE, n);
    memset(&p.rank[k], RANK_DEVICE, n);
    cea.data_block_count += n;
    return &cea.data_blocks[k];
}

uint8_t extended_tag(const CeaDataBlock &b)
{
    return b.body.raw.size > 0 ? b.body.raw.bytes[0] : 0xFF;
}

bool is_vendor(const CeaDataBlock &b, uint32_t oui)
{
    return b.tag == CEA_TAG_VENDOR && b.body.vendor.oui == oui;
}

bool is_extended(const CeaDataBlock &b, uint8_t ext)
{
    return b.tag == CEA_TAG_EXTENDED && extended_tag(b) == ext;
}

} // namespace edid_device
