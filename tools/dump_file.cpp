// SPDX-License-Identifier: MIT
#include "tools/dump_file.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>

#include "tools/hex_text.h"

DumpFileResult dump_file_read(const char *path, DumpFile *file)
{
    FILE *stream = fopen(path, "rb");
    if (!stream) return DUMP_FILE_UNREADABLE;
    size_t length = fread(file->bytes, 1, sizeof file->bytes, stream);
    bool longer = length == sizeof file->bytes && fgetc(stream) != EOF;
    bool failed = ferror(stream) != 0;
    int error = errno;
    fclose(stream);
    if (failed) {
        errno = error;
        return DUMP_FILE_UNREADABLE;
    }
    if (longer) return DUMP_FILE_TOO_LONG;

    file->length = length;
    if (memchr(file->bytes, '\0', length)) return DUMP_FILE_OK;
    // Hex text decodes in place: each byte is written behind the two digits
    // it comes from.
    long count = hex_text_decode(reinterpret_cast<const char *>(file->bytes), length, file->bytes,
                                 sizeof file->bytes);
    if (count < 0) return DUMP_FILE_NOT_EDID;
    file->length = size_t(count);
    return DUMP_FILE_OK;
}
