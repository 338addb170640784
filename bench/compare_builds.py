#!/usr/bin/env python3
"""Whole processes of two converter builds, taking turns with cp in every round.

    bench/compare_builds.py OLD NEW [ROUNDS]

OLD and NEW are brevikon-rtf binaries; the document is the 32 MiB realistic one that
bench/whole_process.sh generates (run that first). Prints the median of each command and its
ratio to cp. Each process is started straight from here, so no shell and no timing process
is counted. The order of the commands is shuffled in every round: in a fixed order the new
build always ran right after the old one had written the same output, and took over the pages
that file freed. One binary against itself came out 4 % apart that way, and a change that
measured 10 % faster in fixed rounds measured the same in shuffled ones.
"""
import os
import random
import statistics
import subprocess
import sys
import time

FORMS = ["rtf", "text", "html", "report"]


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    old, new = (os.path.abspath(path) for path in sys.argv[1:3])
    rounds = int(sys.argv[3]) if len(sys.argv) > 3 else 25
    os.chdir(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "build", "bench"))
    document = "realistic-32m.doc"
    if not os.path.exists(document):
        sys.exit("no build/bench/realistic-32m.doc: run bench/whole_process.sh first")
    commands = {"cp": ["cp", document, "out.copy"]}
    for form in FORMS:
        for name, binary in (("old", old), ("new", new)):
            commands[f"{name} {form}"] = [binary, "--to", form, "-o", f"out.{form}", document]
    times = {name: [] for name in commands}
    names = list(commands)
    shuffle = random.Random(437).shuffle
    for _ in range(rounds):
        shuffle(names)
        for name in names:
            command = commands[name]
            start = time.perf_counter()
            subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
            times[name].append((time.perf_counter() - start) * 1000)
    cp = statistics.median(times["cp"])
    print(f"cp {cp:.1f} ms (median of {rounds})")
    for form in FORMS:
        before, after = (statistics.median(times[f"{n} {form}"]) for n in ("old", "new"))
        print(f"--to {form:7s} old {before:6.1f} ms ({before / cp:.2f} x)"
              f"  new {after:6.1f} ms ({after / cp:.2f} x)")


if __name__ == "__main__":
    main()
