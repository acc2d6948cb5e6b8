#!/usr/bin/env python3
"""Times `batch --no-lunar-day` of one or two programs on the same input, in turns.

The machine's speed drifts with its neighbours, so two programs are compared by
running them alternately; best and median wall and CPU (user + system) of each.

  scripts/batch_speed.py [--jobs N] [--runs R] [--input FILE] [--workdir DIR] PROGRAM...

The input defaults to 100,000 random lines (tests/batch/make_random_input.py 100000 7);
the working directory to build/work.
"""
import argparse
import os
import resource
import subprocess
import sys
import tempfile
import time

here = os.path.dirname(os.path.abspath(__file__))
root = os.path.dirname(here)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument('--jobs', default='2')
    ap.add_argument('--runs', type=int, default=6)
    ap.add_argument('--input')
    ap.add_argument('--workdir', default=os.path.join(root, 'build', 'work'))
    ap.add_argument('programs', nargs='+')
    a = ap.parse_args()
    tmp = tempfile.mkdtemp(prefix='kvspeed')
    inp = a.input
    if not inp:
        inp = os.path.join(tmp, 'in.txt')
        with open(inp, 'w') as f:
            subprocess.run([sys.executable, os.path.join(root, 'tests/batch/make_random_input.py'),
                            '100000', '7'], stdout=f, check=True)
    with open(inp) as f:
        lines = sum(1 for _ in f)
    outputs = {}
    times = {p: [] for p in a.programs}
    for r in range(a.runs):
        order = a.programs if r % 2 == 0 else list(reversed(a.programs))
        for prog in order:
            out = os.path.join(tmp, 'out%d' % a.programs.index(prog))
            if os.path.exists(out):
                os.unlink(out)  # truncating a large file is not the program's time
            with open(inp) as fi, open(out, 'w') as fo:
                r0 = resource.getrusage(resource.RUSAGE_CHILDREN)
                t0 = time.perf_counter()
                subprocess.run([os.path.abspath(prog), 'batch', '--no-lunar-day', '--jobs', a.jobs],
                               stdin=fi, stdout=fo, stderr=subprocess.DEVNULL, cwd=a.workdir)
                t1 = time.perf_counter()
                r1 = resource.getrusage(resource.RUSAGE_CHILDREN)
            cpu = r1.ru_utime - r0.ru_utime + r1.ru_stime - r0.ru_stime
            times[prog].append((t1 - t0, cpu))
            with open(out, 'rb') as f:
                outputs[prog] = f.read()
    first = outputs[a.programs[0]]
    for prog in a.programs:
        wall = sorted(t[0] for t in times[prog])
        cpu = sorted(t[1] for t in times[prog])
        same = 'output same' if outputs[prog] == first else 'OUTPUT DIFFERS'
        print('%s --jobs %s: wall best %.3f s median %.3f s, CPU best %.3f s median %.3f s, '
              '%d charts a second at best, %s' % (prog, a.jobs, wall[0], wall[len(wall) // 2], cpu[0],
                                                   cpu[len(cpu) // 2], lines / wall[0], same))


if __name__ == '__main__':
    main()
