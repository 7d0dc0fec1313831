#!/usr/bin/env python3
"""Mutation check: plants each fault of mutants.txt in a scratch copy of the
source tree, rebuilds incrementally and runs ctest.  A mutant is KILLED when
the suite fails, SURVIVED when it passes, INVALID when it does not compile,
N/A when its snippet is not found exactly once (update it after a move).

  python3 tests/mutation/run.py [--only ID,...] [--asan] [--jobs 2]
                                [--workdir DIR] [--timeout 20] [--check]

The working tree is only read; everything is written under --workdir
(default build-mutation/ at the top of the tree): src/ (the scratch copy),
plain/ (RelWithDebInfo build) and asan/ (ASan+UBSan build, for --asan,
which runs the survivors of the plain suite again).
"""
import argparse, filecmp, os, re, shutil, subprocess, sys, time
from pathlib import Path

HERE = Path(__file__).resolve().parent
SAN = '-O1 -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer'
BUILDS = {
    'plain': ['-DCMAKE_BUILD_TYPE=RelWithDebInfo'],
    'asan': ['-DCMAKE_BUILD_TYPE=Debug', f'-DCMAKE_C_FLAGS={SAN}', f'-DCMAKE_CXX_FLAGS={SAN}',
             '-DCMAKE_EXE_LINKER_FLAGS=-fsanitize=address,undefined',
             '-DCMAKE_SHARED_LINKER_FLAGS=-fsanitize=address,undefined'],
}
SAN_ENV = {'ASAN_OPTIONS': ('detect_leaks=1:detect_stack_use_after_return=1:'
                            'strict_string_checks=1:check_initialization_order=1'),
           'UBSAN_OPTIONS': 'print_stacktrace=1:halt_on_error=1'}


def parse_mutants(path):
    mutants, cur = [], {}
    for line in path.read_text().splitlines() + ['']:
        if line.startswith('#'):
            continue
        if not line.strip():
            if cur:
                mutants.append(cur)
            cur = {}
            continue
        key, _, value = line.partition(':')
        cur[key.strip()] = value.strip()
    for m in mutants:
        missing = {'id', 'file', 'desc'} - m.keys()
        if missing or ('find' in m) == ('regex' in m):
            sys.exit(f'mutants: bad entry {m.get("id", m)}: needs id, file, desc and find or regex')
        m.setdefault('replace', '')
    ids = [m['id'] for m in mutants]
    if len(ids) != len(set(ids)):
        sys.exit('mutants: duplicate ids')
    return mutants


def sync_tree(root, dest, workdir):
    """Copies root into dest, rewriting only files that differ, so the build
    directories see unchanged timestamps on unchanged files."""
    def skip(p):
        return p.name == '.git' or p == workdir or (p.parent == root and p.name.startswith('build'))
    seen = set()
    for dirpath, dirnames, filenames in os.walk(root):
        d = Path(dirpath)
        dirnames[:] = [n for n in dirnames if not skip(d / n)]
        for name in filenames:
            rel = (d / name).relative_to(root)
            seen.add(rel)
            target = dest / rel
            if not target.exists() or not filecmp.cmp(d / name, target, shallow=False):
                target.parent.mkdir(parents=True, exist_ok=True)
                shutil.copyfile(d / name, target)
    for dirpath, _, filenames in os.walk(dest):
        for name in filenames:
            p = Path(dirpath) / name
            if p.relative_to(dest) not in seen:
                p.unlink()


def locate(src, rel):
    """The mutant's file, or the only file of that name if it has moved."""
    if (src / rel).is_file():
        return src / rel, ''
    hits = [p for p in src.rglob(Path(rel).name)
            if p.is_file() and not p.relative_to(src).parts[0].startswith(('build', '.git'))]
    if len(hits) == 1:
        return hits[0], f'(moved: {hits[0].relative_to(src)})'
    return None, f'{rel}: not found' if not hits else f'{rel}: {len(hits)} files of that name'


def mutate(text, m):
    """The mutated text, or None and a reason."""
    if 'find' in m:
        n = text.count(m['find'])
        return (text.replace(m['find'], m['replace']), '') if n == 1 else (None, f'find matches {n}x')
    n = len(re.findall(m['regex'], text))
    return (re.sub(m['regex'], m['replace'], text), '') if n == 1 else (None, f'regex matches {n}x')


def run(cmd, log, timeout=None, env=None):
    with open(log, 'w') as out:
        try:
            return subprocess.run(cmd, stdout=out, stderr=subprocess.STDOUT, timeout=timeout,
                                  env=dict(os.environ, **(env or {}))).returncode
        except subprocess.TimeoutExpired:
            return 'timeout'


class Build:
    def __init__(self, kind, src, workdir, args):
        self.kind, self.src, self.dir, self.args = kind, src, workdir / kind, args
        self.log = workdir / f'{kind}.log'
        self.env = SAN_ENV if kind == 'asan' else {}

    def configure(self):
        if run(['cmake', '-S', self.src, '-B', self.dir] + BUILDS[self.kind], self.log) != 0:
            sys.exit(f'{self.kind}: configure failed, see {self.log}')

    def build(self):
        return run(['cmake', '--build', self.dir, '-j', str(self.args.jobs)], self.log) == 0

    def test(self):
        """None when the suite passes, else the failing tests."""
        rc = run(['ctest', '--test-dir', self.dir, '-j', str(self.args.jobs), '--timeout',
                  str(self.args.timeout), '--stop-on-failure'], self.log, 1800, self.env)
        if rc == 0:
            return None
        text = self.log.read_text(errors='replace')
        failed = re.findall(r'^\s*\d+ - (\S+) \((.*?)\)', text, re.M)
        return ', '.join(f'{n} ({why})' for n, why in failed[:2]) or f'ctest status {rc}'

    def baseline(self):
        self.configure()
        if not self.build():
            sys.exit(f'{self.kind}: the unmutated tree does not build, see {self.log}')
        failed = self.test()
        if failed:
            sys.exit(f'{self.kind}: the suite fails without mutants: {failed}; see {self.log}')

    def try_mutant(self, m):
        """(status, detail) of one mutant; the file is restored afterwards."""
        path, note = locate(self.src, m['file'])
        if not path:
            return 'N/A', note
        original = path.read_bytes()
        mutated, why = mutate(original.decode(), m)
        if mutated is None:
            return 'N/A', why
        try:
            path.write_bytes(mutated.encode())
            if not self.build():
                return 'INVALID', ' '.join(['does not compile', note])
            failed = self.test()
            return ('KILLED', ' '.join([failed, note]).strip()) if failed else ('SURVIVED', note)
        finally:
            path.write_bytes(original)


def main():
    ap = argparse.ArgumentParser(description=__doc__.split('\n\n')[0])
    ap.add_argument('--only', help='comma-separated mutant ids')
    ap.add_argument('--asan', action='store_true', help='run survivors again in an ASan+UBSan build')
    ap.add_argument('--jobs', type=int, default=2, help='build and ctest parallelism (default 2)')
    ap.add_argument('--timeout', type=int, default=20, help='seconds per test (default 20)')
    ap.add_argument('--mutants', type=Path, default=HERE / 'mutants.txt')
    ap.add_argument('--source', type=Path, help='tree to test (default: the one holding this script)')
    ap.add_argument('--workdir', type=Path, help='scratch space (default SOURCE/build-mutation)')
    ap.add_argument('--check', action='store_true', help='only check that every mutant applies')
    args = ap.parse_args()
    start = time.time()

    root = (args.source or Path(subprocess.run(
        ['git', 'rev-parse', '--show-toplevel'], cwd=HERE, capture_output=True,
        text=True).stdout.strip() or HERE.parents[1])).resolve()
    workdir = (args.workdir or root / 'build-mutation').resolve()
    mutants = parse_mutants(args.mutants)
    if args.only:
        wanted = set(args.only.split(','))
        unknown = wanted - {m['id'] for m in mutants}
        if unknown:
            sys.exit(f'unknown mutant ids: {", ".join(sorted(unknown))}')
        mutants = [m for m in mutants if m['id'] in wanted]

    if args.check:
        bad = 0
        for m in mutants:
            path, note = locate(root, m['file'])
            why = mutate(path.read_text(), m)[1] if path else note
            bad += bool(why or not path)
            print(f'{m["id"]:36} {"N/A " + why if why or not path else ("ok " + note).strip()}')
        return 1 if bad else 0

    src = workdir / 'src'
    sync_tree(root, src, workdir)
    kinds = ['plain'] + (['asan'] if args.asan else [])
    results = {}   # kind -> id -> (status, detail)
    for kind in kinds:
        b = Build(kind, src, workdir, args)
        print(f'== {kind}: baseline build and suite', flush=True)
        b.baseline()
        todo = [m for m in mutants if kind == 'plain' or results['plain'][m['id']][0] == 'SURVIVED']
        results[kind] = {}
        for i, m in enumerate(todo, 1):
            t = time.time()
            status, detail = results[kind][m['id']] = b.try_mutant(m)
            print(f'[{kind} {i}/{len(todo)}] {m["id"]:36} {status:9} {time.time() - t:5.1f}s  {detail}',
                  flush=True)
        b.build()   # leave the build matching the restored sources

    print('\n%-36s %-24s %-9s %-9s %s' % ('mutant', 'file', 'plain', 'asan', 'description'))
    for m in mutants:
        status, detail = results['plain'][m['id']]
        asan, asan_detail = results.get('asan', {}).get(m['id'], ('', ''))
        print('%-36s %-24s %-9s %-9s %s' % (m['id'], m['file'], status, asan, m['desc']))
        for d in (detail, asan_detail):
            if d:
                print('%72s-> %s' % ('', d))
    for label, final in [('plain suite', results['plain']),
                         ('plain + asan', {**results['plain'], **results.get('asan', {})})]:
        if label == 'plain suite' or args.asan:
            n = lambda st: sum(1 for s, _ in final.values() if s == st)
            print(f'{label}: {n("KILLED")} killed / {n("SURVIVED")} survived / {n("INVALID")} invalid'
                  f' / {n("N/A")} n.a. (of {len(final)}); survivors: '
                  + (', '.join(i for i, (s, _) in final.items() if s == 'SURVIVED') or 'none'))
    print(f'total time: {time.time() - start:.0f}s')
    return 0


if __name__ == '__main__':
    sys.exit(main())
