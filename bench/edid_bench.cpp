// SPDX-License-Identifier: MIT
// Time per operation of libedid on a television's EDID: decode (base block
// alone, and base block with its CEA-861 extension), the report written to
// /dev/null, encode, and the device EDID builders.
//
// The TV EDID is the sample of the test data (EDID_BENCH_TV_HEX, hex text);
// the base-only dump is its first block with the extension count set to 0
// and the checksum recomputed.
#include <benchmark/benchmark.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "tools/dump_file.h"
#include <edid/device_edid.h>
#include <edid/edid.h>

namespace {

constexpr size_t EXTENSION_COUNT_BYTE = 126;
constexpr size_t CHECKSUM_BYTE = 127;

struct Samples {
    uint8_t tv[2 * EDID_BLOCK_SIZE];
    uint8_t base[EDID_BLOCK_SIZE];
    EdidInfo tv_info; // decoded tv, the input of print, encode and repeater
};

[[noreturn]] void give_up(const char *what)
{
    fprintf(stderr, "edid_bench: %s: %s\n", EDID_BENCH_TV_HEX, what);
    exit(1);
}

Samples load()
{
    static DumpFile dump;
    if (dump_file_read(EDID_BENCH_TV_HEX, &dump) != DUMP_FILE_OK) give_up("cannot read");
    if (dump.length < 2 * EDID_BLOCK_SIZE) give_up("not a base block and a CEA block");
    const uint8_t *bytes = dump.bytes;

    Samples s{};
    memcpy(s.tv, bytes, sizeof s.tv);
    memcpy(s.base, bytes, sizeof s.base);
    s.base[EXTENSION_COUNT_BYTE] = 0;
    s.base[CHECKSUM_BYTE] = 0;
    s.base[CHECKSUM_BYTE] = uint8_t(0x100 - edid_checksum(s.base));
    if (edid_decode_bounded(s.tv, sizeof s.tv, &s.tv_info) != 0 || !s.tv_info.has_cea)
        give_up("does not decode with a CEA extension");
    return s;
}

const Samples &samples()
{
    static const Samples s = load();
    return s;
}

void decode_base(benchmark::State &state)
{
    const Samples &s = samples();
    EdidInfo info;
    for (auto _ : state) {
        benchmark::DoNotOptimize(edid_decode(s.base, &info));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(decode_base);

void decode_tv(benchmark::State &state)
{
    const Samples &s = samples();
    EdidInfo info;
    for (auto _ : state) {
        benchmark::DoNotOptimize(edid_decode(s.tv, &info));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(decode_tv);

void decode_tv_bounded(benchmark::State &state)
{
    const Samples &s = samples();
    EdidInfo info;
    for (auto _ : state) {
        benchmark::DoNotOptimize(edid_decode_bounded(s.tv, sizeof s.tv, &info));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(decode_tv_bounded);

// The whole report through a fully buffered stdout on /dev/null, as when
// edid_dump writes to a file or a pipe.  The terminal is given back after.
void print_tv(benchmark::State &state)
{
    const Samples &s = samples();
    fflush(stdout);
    int terminal = dup(STDOUT_FILENO);
    if (terminal < 0 || !freopen("/dev/null", "w", stdout)) {
        state.SkipWithError("cannot send stdout to /dev/null");
        return;
    }
    for (auto _ : state) edid_print(&s.tv_info);
    fflush(stdout);
    dup2(terminal, fileno(stdout));
    close(terminal);
}
BENCHMARK(print_tv);

void encode_tv(benchmark::State &state)
{
    const Samples &s = samples();
    uint8_t out[2 * EDID_BLOCK_SIZE];
    for (auto _ : state) {
        benchmark::DoNotOptimize(edid_encode(&s.tv_info, out));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(encode_tv);

void build_default(benchmark::State &state)
{
    EdidInfo out;
    for (auto _ : state) {
        edid_build_default(&out, 2);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(build_default);

void build_repeater(benchmark::State &state)
{
    const Samples &s = samples();
    EdidInfo out;
    for (auto _ : state) {
        edid_build_repeater(&s.tv_info, &out, 2);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(build_repeater);

// edid_device_build below the same TV: the device as it is, and with the
// TV's own audio side (its audio, speaker and other audio blocks, taken
// from its bytes).
void device_build(benchmark::State &state)
{
    const Samples &s = samples();
    static EdidDevice device;
    edid_device_init(&device);
    if (state.range(0) &&
        edid_device_audio_from_edid(s.tv, sizeof s.tv, &device.audio) != EDID_DEVICE_OK)
        give_up("audio blocks not taken");
    EdidInfo out;
    EdidLeftOut left_out;
    for (auto _ : state) {
        edid_device_build(&device, &s.tv_info, 2, &out, &left_out);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(device_build)->ArgName("tv_audio")->Arg(0)->Arg(1);

} // namespace

BENCHMARK_MAIN();
