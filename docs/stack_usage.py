#!/usr/bin/env python3
# SPDX-License-Identifier: MIT
"""Worst-case stack depth of the library's entry points, from GCC's call
graph files (-fcallgraph-info=su, which also gives each function's frame).

    cmake -S . -B build-arm-stack --toolchain cmake/arm-linux-gnueabihf.cmake \
          -DCMAKE_BUILD_TYPE=RelWithDebInfo -DEDID_BUILD_TESTS=OFF \
          "-DCMAKE_CXX_FLAGS=-fstack-usage -fcallgraph-info=su"
    cmake --build build-arm-stack --target edid
    docs/stack_usage.py build-arm-stack edid_decode edid_print edid_encode

Prints, for each entry point, the deepest chain of library frames (bytes)
and the C library functions called along the way, whose own stack is the
platform's and is not counted.  Fails on a recursive or dynamic frame.
"""
import glob
import os
import re
import subprocess
import sys

node_re = re.compile(r'node: \{ title: "([^"]+)" label: "([^"]*)"')
edge_re = re.compile(r'edge: \{ sourcename: "([^"]+)" targetname: "([^"]+)"')
size_re = re.compile(r'\\n(\d+) bytes \((\w+)[^)]*\)')


def load(build_dir):
    frames, kinds, calls = {}, {}, {}
    for path in glob.glob(os.path.join(build_dir, '**', '*.ci'), recursive=True):
        if 'CompilerId' in path:
            continue
        text = open(path).read()
        for title, label in node_re.findall(text):
            m = size_re.search(label)
            if m:
                frames[title] = int(m.group(1))
                kinds[title] = m.group(2)
        for src, dst in edge_re.findall(text):
            calls.setdefault(src, set()).add(dst)
    return frames, kinds, calls


def deepest(fn, frames, kinds, calls, stack=()):
    """(bytes, chain, external calls reached) of the deepest path from fn."""
    if fn in stack:
        sys.exit(f'recursion: {" -> ".join(stack + (fn,))}')
    if fn not in frames:
        return 0, [], {fn}
    if kinds[fn] != 'static':
        sys.exit(f'{fn}: {kinds[fn]} frame')
    best, chain, external = 0, [], set()
    for callee in sorted(calls.get(fn, ())):
        depth, sub, ext = deepest(callee, frames, kinds, calls, stack + (fn,))
        external |= ext
        if depth > best or not chain:
            best, chain = depth, sub
    return frames[fn] + best, [(fn, frames[fn])] + chain, external


def readable(name):
    """Drops the file prefix of a local function and demangles it."""
    name = name.rsplit(':', 1)[-1]
    if name.startswith('_Z'):
        out = subprocess.run(['c++filt', name], capture_output=True, text=True)
        name = out.stdout.strip().replace('(anonymous namespace)::', '')
        name = name.split('(', 1)[0]
    return name


def main():
    build_dir, roots = sys.argv[1], sys.argv[2:]
    frames, kinds, calls = load(build_dir)
    for root in roots:
        total, chain, external = deepest(root, frames, kinds, calls)
        path = ' -> '.join(f'{readable(name)} {size}' for name, size in chain if name in frames)
        print(f'{root}: {total} bytes: {path}')
        print(f'    C library: {", ".join(sorted(external))}')


if __name__ == '__main__':
    main()
