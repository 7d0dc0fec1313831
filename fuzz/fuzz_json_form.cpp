// SPDX-License-Identifier: MIT
// fuzz_json_form - any bytes as an EDID dump, through its JSON form and
// back (edid_dump --json, edid_build --from-json): a dump whose base block
// is EDID 1.3 or 1.4 has a form, and the form's bytes are every block that
// byte 126 announces and the dump holds, byte for byte, whatever the blocks
// hold.  Nothing is lost.
#include "fuzz/fuzz_util.h"

#include "json_form.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // Whole blocks only, as edid_dump reads them (it pads the last one).
    uint8_t *dump = fuzz_dump(data, size);
    const size_t length = size / EDID_BLOCK_SIZE * EDID_BLOCK_SIZE;
    Json form;
    std::string error;
    if (!json_form_of_edid(dump, length, &form, &error)) {
        FUZZ_CHECK(length < EDID_BLOCK_SIZE || !(dump[18] == 1 && (dump[19] == 3 || dump[19] == 4)));
        free(dump);
        return 0;
    }
    const size_t announced = dump[EDID_OFFSET_EXTENSION_COUNT];
    const size_t held = length / EDID_BLOCK_SIZE - 1;
    const size_t expected = EDID_BLOCK_SIZE * (1 + (announced < held ? announced : held));
    std::vector<uint8_t> edid;
    if (!json_form_to_edid(form, &edid, &error)) {
        fprintf(stderr, "%s\n%s\n", error.c_str(), json_form_text(form).c_str());
        abort();
    }
    FUZZ_CHECK(edid.size() == expected && memcmp(edid.data(), dump, expected) == 0);
    free(dump);
    return 0;
}
