#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the libFuzzer targets (preset "fuzz", build-fuzz/) and runs each for
# SECONDS seconds (default 60), seeded with the EDIDs of tests/data/*.hex
# and tests/data/real/*.bin, copied to build-fuzz/fuzz/seeds/; each target
# writes new inputs to its corpus build-fuzz/fuzz/corpus/TARGET only.
# Fails on the first crash, leak, sanitizer report or broken check, and
# prints the reproducer bytes.
#   fuzz/run.sh [SECONDS]
set -euo pipefail

seconds=${1:-60}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=$root/build-fuzz
work=$build/fuzz
cd "$root"

cmake --workflow --preset fuzz

# Seeds: every test EDID as a binary dump, and the second block of every
# dump that has one as a CEA block seed.
seeds=$work/seeds
rm -rf "$seeds"
mkdir -p "$seeds/edid" "$seeds/cea"
shopt -s nullglob
for hex in tests/data/*.hex; do
    name=$(basename "$hex" .hex)
    bin=$seeds/edid/$name.bin
    if ! ASAN_OPTIONS=detect_leaks=0 "$build/bin/hex2bin" "$hex" "$bin" 2>/dev/null; then
        rm -f "$bin"    # deliberately malformed hex text: not a seed
        continue
    fi
    if [ "$(stat -c %s "$bin")" -ge 256 ]; then
        dd if="$bin" of="$seeds/cea/$name.bin" bs=128 skip=1 count=1 status=none
    fi
done
# The real sinks' EDIDs, as they are.
for bin in tests/data/real/*.bin; do
    cp "$bin" "$seeds/edid/"
    dd if="$bin" of="$seeds/cea/$(basename "$bin")" bs=128 skip=1 count=1 status=none
done
# The device profiles shipped and tested.
mkdir -p "$seeds/profile"
cp profiles/*.toml tests/data/profiles/*.toml "$seeds/profile/"
# The JSON forms of the real sinks and the goldens (with nlohmann/json only).
mkdir -p "$seeds/json"
if [ -x "$build/bin/fuzz_from_json" ]; then
    for bin in tests/data/real/*.bin; do
        ASAN_OPTIONS=detect_leaks=0 "$build/bin/edid_dump" --json "$bin" \
            > "$seeds/json/$(basename "$bin" .bin).json"
    done
    cp tests/data/json_*.json "$seeds/json/"
fi
echo "fuzz seeds: $(ls "$seeds/edid" | wc -l) dumps, $(ls "$seeds/cea" | wc -l) CEA blocks, $(ls "$seeds/profile" | wc -l) profiles, $(ls "$seeds/json" | wc -l) JSON forms"

# Red zones wide enough that a read up to 255 bytes past a 128-byte block
# lands in one, whatever the allocator placed next to it.
export ASAN_OPTIONS=redzone=256:detect_leaks=1:detect_stack_use_after_return=1:strict_string_checks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1

run() {   # target seed-dir max-len [dictionary]
    local target=$1 seed_dir=$2 max_len=$3 dict=${4:-edid.dict}
    local corpus=$work/corpus/$target artifacts=$work/artifacts/$target
    local log=$work/$target.log
    rm -rf "$artifacts"
    mkdir -p "$corpus" "$artifacts"
    echo "== $target: ${seconds}s"
    local status=0
    "$build/bin/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -max_len="$max_len" -dict="$root/fuzz/$dict" -print_final_stats=1 \
        -artifact_prefix="$artifacts/" "$corpus" "$seed_dir" >"$log" 2>&1 || status=$?
    grep -E '^(#[0-9]+ +DONE|stat::number_of_executed_units|stat::peak_rss_mb|INFO: Loaded|Done [0-9]+ runs)' "$log" || true
    if [ "$status" -ne 0 ]; then
        echo "!! $target failed (status $status); log $log"
        tail -n 60 "$log"
        local crash
        for crash in "$artifacts"/*; do
            echo "-- reproducer $crash ($(stat -c %s "$crash") bytes):"
            od -An -tx1 -v "$crash"
        done
        exit 1
    fi
}

run fuzz_edid_decode "$seeds/edid" 33024
run fuzz_cea "$seeds/cea" 128
run fuzz_edid_roundtrip "$seeds/edid" 33024
run fuzz_device_video "$seeds/edid" 33024
run fuzz_cta_blocks "$seeds/cea" 128
targets=5
if [ -x "$build/bin/fuzz_profile" ]; then   # built with toml++ only
    run fuzz_profile "$seeds/profile" 4096 profile.dict
    targets=$((targets + 1))
fi
if [ -x "$build/bin/fuzz_from_json" ]; then   # built with nlohmann/json only
    run fuzz_from_json "$seeds/json" 65536 json.dict
    run fuzz_json_form "$seeds/edid" 33024
    targets=$((targets + 2))
fi
echo "fuzz: $targets targets, ${seconds}s each, no crash"
