#!/usr/bin/env python3
"""Prints the benchmark ratios of one run and whether each meets its target.

Takes the JSON of knowledge_bench (the core) or of window_scale (the main window); each
ratio whose benchmarks are in the file is printed. Where a ratio was also timed with its
yardstick in the same iterations (the *Against* benchmarks), that one is checked."""
import json
import sys

results = json.load(open(sys.argv[1]))["benchmarks"]
runs = {b["name"]: b for b in results if b.get("run_type", "iteration") == "iteration"}


def find(name, lines):
    for key, value in runs.items():
        if key == f"{name}/{lines}" or key.startswith(f"{name}/{lines}/"):
            return value
    return None


def time(name, lines):
    run = find(name, lines)
    return run["real_time"] if run else None


def counter(name, lines, key):
    run = find(name, lines)
    return run.get(key) if run else None


checks = []


def ratio(label, numerator, denominator, sense, target):
    if numerator is not None and denominator:
        checks.append((label, numerator / denominator, sense, target))


def paired(label, lines, alternating, alone, yardstick, target):
    """The ratio timed in the same iterations where the run has it; otherwise the ratio
    of two benchmarks run one after the other."""
    value = counter(alternating, lines, "over_yardstick")
    if value is not None:
        ratio(f"{lines} lines: {label} (alternating)", value, 1, "<=", target)
    else:
        ratio(f"{lines} lines: {label}", time(alone, lines), yardstick, "<=", target)


for lines, literal_target in ((100000, 8), (400000, 20)):
    read = time("BM_ReadBytes", lines)
    decode = time("BM_ReadAndDecode", lines)
    load = time("BM_Load", lines)
    ratio(f"{lines} lines: literal insertion / load", time("BM_LiteralInsertionLoad", lines), load, ">=", literal_target)
    paired("first keystroke / reading and decoding", lines,
           "BM_FirstKeystrokeAgainstDecoding", "BM_FirstKeystroke", decode, 4)
    paired("letter again / reading and decoding", lines,
           "BM_LetterAgainAgainstDecoding", "BM_LetterAgain", decode, 2)
    paired("unchanged query / reading the bytes", lines,
           "BM_QueryUnchangedAgainstReading", "BM_QueryUnchangedFile", read, 3)
    ratio(f"{lines} lines: further keystroke / load", time("BM_FurtherKeystroke", lines), load, "<=", 0.1)
    ratio(f"{lines} lines: memory of a loaded list / file size",
          counter("BM_LoadedListMemory", lines, "list_bytes_per_file_byte"), 1, "<=", 5)
    ratio(f"{lines} lines: resident growth after first keystroke / file size",
          counter("BM_LoadedListMemory", lines, "resident_bytes_per_file_byte"), 1, "<=", 4)
    for percent in (1, 10, 50):
        ratio(f"{lines} lines, {percent} % stress-marked: order / ICU keys alone",
              counter("BM_StressMarkedAgainstIcuKeys", f"{lines}/{percent}", "order_over_icu_keys"),
              1, "<=", 1.1)

failed = False
for label, value, sense, target in checks:
    ok = value >= target if sense == ">=" else value <= target
    failed |= not ok
    print(f"{label:55s} {value:9.3f}  (target {sense} {target})  {'ok' if ok else 'MISSED'}")
sys.exit(1 if failed else 0)
