#!/usr/bin/env python3
"""The inner loops of two or more benchmark builds, taking turns in every round.

    bench/compare_loops.py [--rounds N] [--core C] [--filter REGEX] BENCH...

Each BENCH is a brevikon_bench binary. In every round each of them runs every loop once, for
a short time, pinned to one core; the order of the binaries is shuffled per round. Prints,
per loop and document, each binary's best and median GB/s over the rounds, with the processor.

The best is the figure to hold against a target: on a shared machine a neighbour only ever
slows a run down. The median shows how much: when it lies far below the best, the machine was
busy, and only figures taken side by side in the same run compare. One binary measured 1.51
and 1.11 GB/s on two days; alone, neither figure says anything about a change.
"""
import argparse
import json
import os
import random
import statistics
import subprocess

LOOPS = {
    "BM_ConvertPiece": "RTF loop",
    "BM_TextExport": "text",
    "BM_HtmlExport": "HTML",
}
KINDS = {"0": ("realistic", 1.5), "1": ("attributes", None), "2": ("plain", 3.0)}


def processor():
    """The model name, with family and model: a virtual machine may show the name alone."""
    fields = {}
    try:
        with open("/proc/cpuinfo", encoding="utf-8") as info:
            for line in info:
                key, _, value = line.partition(":")
                fields.setdefault(key.strip(), value.strip())
    except OSError:
        pass
    name = fields.get("model name", "unknown processor")
    if "cpu family" in fields and "model" in fields:
        name += f" (family {fields['cpu family']}, model {fields['model']})"
    return name


def run_once(binary, pattern, core):
    """GB/s of every benchmark the pattern selects, from one short run."""
    command = [binary, f"--benchmark_filter={pattern}", "--benchmark_min_time=0.05",
               "--benchmark_format=json"]
    if core is not None:
        command = ["taskset", "-c", str(core)] + command
    result = subprocess.run(command, capture_output=True, text=True, check=True)
    return {b["name"]: b["bytes_per_second"] / 1e9 for b in json.loads(result.stdout)["benchmarks"]
            if b.get("run_type", "iteration") == "iteration" and "bytes_per_second" in b}


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--rounds", type=int, default=12)
    parser.add_argument("--core", type=int, default=1, help="the core to pin to; -1: none")
    parser.add_argument("--filter", default="(" + "|".join(LOOPS) + ")/[0-2]$")
    parser.add_argument("benches", nargs="+")
    options = parser.parse_args()
    benches = [os.path.abspath(path) for path in options.benches]
    core = None if options.core < 0 else options.core
    figures = {bench: {} for bench in benches}
    order = list(benches)
    shuffle = random.Random(437).shuffle
    for _ in range(options.rounds):
        shuffle(order)
        for bench in order:
            for name, speed in run_once(bench, options.filter, core).items():
                figures[bench].setdefault(name, []).append(speed)
    cpus = os.cpu_count()
    print(f"{processor()}, {cpus} cores; {options.rounds} rounds, core {options.core}")
    names = sorted({name for runs in figures.values() for name in runs})
    for name in names:
        loop, _, kind = name.partition("/")
        document, target = KINDS.get(kind, (kind, None))
        wanted = f" (target {target} GB/s)" if target and loop in LOOPS else ""
        print(f"{LOOPS.get(loop, loop)}, {document}{wanted}")
        for index, bench in enumerate(benches):
            runs = figures[bench].get(name, [])
            if runs:
                print(f"  {index + 1} {os.path.relpath(bench)}: best {max(runs):.2f}"
                      f"  median {statistics.median(runs):.2f} GB/s")


if __name__ == "__main__":
    main()
