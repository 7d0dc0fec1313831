// SPDX-License-Identifier: MIT
// fuzz_from_json - any bytes as the JSON form of an EDID (edid_build
// --from-json).  They are refused with one line (the place and the
// reason), or they give bytes whose JSON form (edid_dump --json), printed
// and parsed again, reads back to the same bytes.
#include "fuzz/fuzz_util.h"

#include "json_form.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    Json form;
    std::string error;
    std::vector<uint8_t> edid;
    if (!json_form_parse(reinterpret_cast<const char *>(data), size, &form, &error) ||
        !json_form_to_edid(form, &edid, &error)) {
        FUZZ_CHECK(!error.empty() && error.find('\n') == std::string::npos); // one line
        return 0;
    }
    FUZZ_CHECK(edid.size() >= EDID_BLOCK_SIZE && edid.size() % EDID_BLOCK_SIZE == 0);

    Json again;
    FUZZ_CHECK(json_form_of_edid(edid.data(), edid.size(), &again, &error));
    const std::string text = json_form_text(again);
    Json parsed;
    FUZZ_CHECK(json_form_parse(text.data(), text.size(), &parsed, &error));
    std::vector<uint8_t> back;
    if (!json_form_to_edid(parsed, &back, &error)) {
        fprintf(stderr, "%s\n%s\n", error.c_str(), text.c_str());
        abort();
    }
    FUZZ_CHECK(back == edid);
    return 0;
}
