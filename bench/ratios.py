#!/usr/bin/env python3
"""Prints the benchmark ratios and whether each meets its target."""
import json
import sys

runs = {b["name"]: b["real_time"] for b in json.load(open(sys.argv[1]))["benchmarks"]}


def time(name, lines):
    for key, value in runs.items():
        if key.startswith(f"{name}/{lines}"):
            return value
    return None


checks = []
for lines, literal_target in ((100000, 8), (400000, 20)):
    load = time("BM_Load", lines)
    literal = time("BM_LiteralInsertionLoad", lines)
    read = time("BM_ReadBytes", lines)
    unchanged = time("BM_QueryUnchangedFile", lines)
    further = time("BM_FurtherKeystroke", lines)
    decode = time("BM_ReadAndDecode", lines)
    first = time("BM_FirstKeystroke", lines)
    again = time("BM_LetterAgain", lines)
    if None in (load, read, unchanged, further):
        continue
    if literal is not None:
        checks.append((f"{lines} lines: literal insertion / load", literal / load, ">=", literal_target))
    checks.append((f"{lines} lines: unchanged query / reading the bytes", unchanged / read, "<=", 3))
    checks.append((f"{lines} lines: further keystroke / load", further / load, "<=", 0.1))
    if None not in (decode, first, again):
        checks.append((f"{lines} lines: first keystroke / reading and decoding", first / decode, "<=", 6))
        checks.append((f"{lines} lines: letter again / reading and decoding", again / decode, "<=", 2))

failed = False
for label, ratio, sense, target in checks:
    ok = ratio >= target if sense == ">=" else ratio <= target
    failed |= not ok
    print(f"{label:55s} {ratio:9.3f}  (target {sense} {target})  {'ok' if ok else 'MISSED'}")
sys.exit(1 if failed else 0)
