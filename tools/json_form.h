// SPDX-License-Identifier: MIT
// json_form.h - the JSON form of an EDID (docs/json.md): every block that
// byte 126 announces, with the typed fields of the library's records, and
// "bytes" where those fields do not give the bytes back; and the bytes of
// such a form again, edited or not.  Read and written with nlohmann/json in
// the tools only; the EDID formats themselves are decoded and encoded by
// the library.
//
// nlohmann/json is used without exceptions (the tools are built with
// -fno-exceptions, under which it aborts where it would throw): text is
// parsed with its non-throwing parser, and a SAX pass over text that does
// not parse finds the line and column; values are read only after their
// type is checked, never through a throwing accessor.
#ifndef EDID_TOOLS_JSON_FORM_H
#define EDID_TOOLS_JSON_FORM_H

#include <stddef.h>
#include <stdint.h>

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

// Objects keep their keys in the order they were written.
using Json = nlohmann::ordered_json;

// The JSON form of the EDID dump[0 .. length-1]: true, or false with one
// line in *error when its base block is not EDID 1.3 or 1.4 or the dump
// is shorter than one block.  Extension blocks that byte 126 announces
// but the dump does not hold whole are left out.
bool json_form_of_edid(const uint8_t *dump, size_t length, Json *form, std::string *error);

// The form as text: indented by two blanks, an object or list on one line
// where it fits in 100 columns; a newline at the end.
std::string json_form_text(const Json &form);

// Parses JSON text: true, or false with "line L, column C: reason".
bool json_form_parse(const char *text, size_t length, Json *form, std::string *error);

// The bytes of a JSON form, checksums included: true, or false with one
// line "/json/pointer: reason" in *error and nothing in *edid.
bool json_form_to_edid(const Json &form, std::vector<uint8_t> *edid, std::string *error);

#endif
