// SPDX-License-Identifier: MIT
#include "dump_file.h"

#include <errno.h>
#include <string.h>

#include "hex_text.h"

FILE *dump_file_open(const char *path)
{
    return strcmp(path, "-") == 0 ? stdin : fopen(path, "rb");
}

DumpFileResult dump_file_load(FILE *stream, uint8_t *bytes, size_t capacity, size_t *length)
{
    // fread returns short only at the end of the stream or on an error, so
    // a pipe or a terminal is read through to its end.
    size_t count = fread(bytes, 1, capacity, stream);
    bool longer = count == capacity && fgetc(stream) != EOF;
    if (ferror(stream)) return DUMP_FILE_UNREADABLE;
    *length = count;
    return longer ? DUMP_FILE_TOO_LONG : DUMP_FILE_OK;
}

DumpFileResult dump_file_read(const char *path, DumpFile *file)
{
    FILE *stream = dump_file_open(path);
    if (!stream) return DUMP_FILE_UNREADABLE;
    size_t length = 0;
    DumpFileResult result = dump_file_load(stream, file->bytes, sizeof file->bytes, &length);
    int error = errno;
    if (stream != stdin) fclose(stream);
    errno = error;
    if (result != DUMP_FILE_OK) return result;

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
