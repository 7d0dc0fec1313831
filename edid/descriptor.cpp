// SPDX-License-Identifier: MIT
// Descriptor slots: the four 18-byte slots of the base block (bytes 54, 72,
// 90 and 108).  A slot holds a display descriptor (00 00 00 tag 00 and a
// 13-byte body), the empty-slot marker (18 bytes of 0x01) or, failing both,
// a detailed timing.
#include "bits.h"
#include <edid/edid.h>

#include <stdio.h>
#include <string.h>

using namespace edid_bits;

namespace {

constexpr unsigned DESC_TAG = 3;    // byte 3 of a display descriptor
constexpr unsigned DESC_BODY = 5;   // bytes 5 to 17
constexpr unsigned DESC_PREFIX = 5; // bytes 0 to 4 tell the slot's form
constexpr unsigned WHITE_POINT_SIZE = 5;
constexpr uint8_t EMPTY_FILL = 0x01;          // empty slot, and unused body bytes
constexpr uint8_t TEXT_END = 0x0A;            // ends a text shorter than 13 bytes
constexpr uint8_t TEXT_PAD = 0x20;            // pads a text after its 0x0A
constexpr unsigned PIXEL_CLOCK_STEP_MHZ = 10; // range limits byte 9 unit

// Bytes 0, 1, 2 and 4 zero (byte 3 is the tag): one test, not four branches.
bool is_display_descriptor(const uint8_t *b)
{
    return (b[0] | b[1] | b[2] | b[4]) == 0;
}

bool is_empty_slot(const uint8_t *b)
{
    for (unsigned i = 0; i < DESC_PREFIX; ++i)
        if (b[i] != EMPTY_FILL) return false;
    return true;
}

} // namespace

// ---- Range limits (tag 0xFD), body bytes 5 to 9 --------------------------

void edid_decode_range_limits(const uint8_t *b, EdidRangeLimits *r)
{
    r->min_v_hz = b[0];
    r->max_v_hz = b[1];
    r->min_h_khz = b[2];
    r->max_h_khz = b[3];
    r->max_pixel_clock_mhz = b[4] * PIXEL_CLOCK_STEP_MHZ;
}

void edid_encode_range_limits(const EdidRangeLimits *r, uint8_t *out)
{
    out[0] = uint8_t(r->min_v_hz);
    out[1] = uint8_t(r->max_v_hz);
    out[2] = uint8_t(r->min_h_khz);
    out[3] = uint8_t(r->max_h_khz);
    out[4] = uint8_t(r->max_pixel_clock_mhz / PIXEL_CLOCK_STEP_MHZ);
    out[5] = 0x00; // no secondary timing formula
    out[6] = TEXT_END;
    memset(out + 7, TEXT_PAD, EDID_TEXT_SIZE - 7);
}

void edid_print_range_limits(const EdidRangeLimits *r)
{
    printf("Minimum vertical frequency: %u Hz\n", unsigned(r->min_v_hz));
    printf("Maximum vertical frequency: %u Hz\n", unsigned(r->max_v_hz));
    printf("Minimum horizontal frequency: %u kHz\n", unsigned(r->min_h_khz));
    printf("Maximum horizontal frequency: %u kHz\n", unsigned(r->max_h_khz));
    printf("Maximum pixel clock frequency: %u MHz\n", unsigned(r->max_pixel_clock_mhz));
}

// ---- White points (tag 0xFB), two 5-byte entries --------------------------
//   w0 index; w1 bits 3..2 x low, 1..0 y low; w2 x high; w3 y high; w4 gamma

void edid_decode_white_point(const uint8_t *w, EdidWhitePoint *p)
{
    p->index = w[0];
    p->x = get_bits(w[1], 3, 2) | uint32_t(w[2]) << 2;
    p->y = get_bits(w[1], 1, 0) | uint32_t(w[3]) << 2;
    p->gamma = gamma_from_byte(w[4]);
}

void edid_encode_white_point(const EdidWhitePoint *p, uint8_t *w)
{
    w[0] = uint8_t(p->index);
    w[1] = put_bits(p->x, 3, 2) | put_bits(p->y, 1, 0);
    w[2] = uint8_t(p->x >> 2);
    w[3] = uint8_t(p->y >> 2);
    w[4] = gamma_to_byte(p->gamma);
}

void edid_print_white_point(const EdidWhitePoint *p)
{
    printf("Additional whitepoint: Index: %u whiteX: %u.%03u whiteY: %u.%03u gamma: %u.%03u\n",
           unsigned(p->index), fixed_int(p->x), fixed_milli(p->x), fixed_int(p->y),
           fixed_milli(p->y), fixed_int(p->gamma), fixed_milli(p->gamma));
}

// ---- Text (tags 0xFC, 0xFE, 0xFF), 13 body bytes ---------------------------

void edid_decode_text(const uint8_t *b, char *text)
{
    unsigned n = 0;
    while (n < EDID_TEXT_SIZE && b[n] != TEXT_END) {
        text[n] = char(b[n]);
        ++n;
    }
    text[n] = '\0';
}

void edid_encode_text(const char *text, uint8_t *out)
{
    unsigned n = 0;
    while (n < EDID_TEXT_SIZE && text[n] != '\0') {
        out[n] = uint8_t(text[n]);
        ++n;
    }
    if (n < EDID_TEXT_SIZE) {
        out[n++] = TEXT_END;
        memset(out + n, TEXT_PAD, EDID_TEXT_SIZE - n);
    }
}

// ---- Descriptor slot -------------------------------------------------------

void edid_decode_descriptor(const uint8_t *b, EdidDescriptor *d)
{
    if (!is_display_descriptor(b)) {
        if (is_empty_slot(b)) {
            d->type = EDID_DESC_EMPTY;
        } else {
            d->type = EDID_DESC_TIMING;
            edid_decode_detailed_timing(b, &d->body.timing);
        }
        return;
    }
    const uint8_t *body = b + DESC_BODY;
    d->type = b[DESC_TAG];
    switch (d->type) {
    case EDID_DESC_TIMING:
        // Tag 0x00: all-zero padding in most EDIDs.  Taken as a timing from
        // all 18 bytes, so every field the report shows is decoded.
        edid_decode_detailed_timing(b, &d->body.timing);
        break;
    case EDID_DESC_EMPTY: break; // tag 0x01: an empty slot, like the 0x01 marker
    case EDID_DESC_STD_TIMINGS:
        for (unsigned i = 0; i < EDID_DESC_STD_TIMING_COUNT; ++i)
            edid_decode_standard_timing(body + EDID_STD_TIMING_SIZE * i, &d->body.std_timings[i]);
        break;
    case EDID_DESC_WHITE_POINT:
        for (unsigned i = 0; i < EDID_DESC_WHITE_POINT_COUNT; ++i)
            edid_decode_white_point(body + WHITE_POINT_SIZE * i, &d->body.white_points[i]);
        break;
    case EDID_DESC_NAME:
    case EDID_DESC_TEXT:
    case EDID_DESC_SERIAL: edid_decode_text(body, d->body.text); break;
    case EDID_DESC_RANGE_LIMITS: edid_decode_range_limits(body, &d->body.range_limits); break;
    default: memcpy(d->body.raw, body, EDID_TEXT_SIZE); break;
    }
}

void edid_encode_descriptor(const EdidDescriptor *d, uint8_t *out)
{
    if (d->type == EDID_DESC_EMPTY) {
        memset(out, EMPTY_FILL, EDID_DESCRIPTOR_SIZE);
        return;
    }
    if (d->type == EDID_DESC_TIMING) {
        edid_encode_detailed_timing(&d->body.timing, out);
        return;
    }
    uint8_t *body = out + DESC_BODY;
    memset(out, 0, DESC_BODY);
    out[DESC_TAG] = uint8_t(d->type);
    switch (d->type) {
    case EDID_DESC_STD_TIMINGS:
        body[EDID_TEXT_SIZE - 1] = EMPTY_FILL;
        for (unsigned i = 0; i < EDID_DESC_STD_TIMING_COUNT; ++i)
            edid_encode_standard_timing(&d->body.std_timings[i], body + EDID_STD_TIMING_SIZE * i,
                                        1);
        break;
    case EDID_DESC_WHITE_POINT:
        memset(body, EMPTY_FILL, EDID_TEXT_SIZE);
        for (unsigned i = 0; i < EDID_DESC_WHITE_POINT_COUNT; ++i)
            edid_encode_white_point(&d->body.white_points[i], body + WHITE_POINT_SIZE * i);
        break;
    case EDID_DESC_NAME:
    case EDID_DESC_TEXT:
    case EDID_DESC_SERIAL: edid_encode_text(d->body.text, body); break;
    case EDID_DESC_RANGE_LIMITS: edid_encode_range_limits(&d->body.range_limits, body); break;
    default: memcpy(body, d->body.raw, EDID_TEXT_SIZE); break;
    }
}

void edid_print_descriptor(const EdidDescriptor *d)
{
    switch (d->type) {
    case EDID_DESC_TIMING: edid_print_detailed_timing(&d->body.timing); break;
    case EDID_DESC_EMPTY: break;
    case EDID_DESC_STD_TIMINGS:
        for (unsigned i = 0; i < EDID_DESC_STD_TIMING_COUNT; ++i)
            edid_print_standard_timing(&d->body.std_timings[i]);
        break;
    case EDID_DESC_WHITE_POINT:
        for (unsigned i = 0; i < EDID_DESC_WHITE_POINT_COUNT; ++i)
            edid_print_white_point(&d->body.white_points[i]);
        break;
    // Text is printed with at most 13 characters: the decoder always ends it
    // with a NUL, a record filled by hand may not.
    case EDID_DESC_NAME: printf("Device name: %.*s\n", EDID_TEXT_SIZE, d->body.text); break;
    case EDID_DESC_TEXT: printf("Extra string: %.*s\n", EDID_TEXT_SIZE, d->body.text); break;
    case EDID_DESC_SERIAL: printf("Serial number: %.*s\n", EDID_TEXT_SIZE, d->body.text); break;
    case EDID_DESC_RANGE_LIMITS: edid_print_range_limits(&d->body.range_limits); break;
    default: printf("Unknown block of information, type=%u\n", unsigned(d->type)); break;
    }
}
