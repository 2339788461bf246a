#!/bin/sh
# Builds bench_render, bench_batch and bench_png in the release preset and runs them, then prints each
# CreateBC case as a multiple of the memset (and, for the turns, the memcpy) measured in the same
# run, and the batch's throughput as a multiple of encoding and writing the same PNG files alone.
# LUMIVEX_BUILD_DIR picks another, already configured build directory. Extra arguments go to the
# benchmark programs (for instance --benchmark_filter=Rotate90).
set -eu

root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
if [ -n "${LUMIVEX_BUILD_DIR:-}" ]; then
    build=$LUMIVEX_BUILD_DIR
    cmake --build "$build" --target bench_render bench_batch bench_png -j 2
else
    build=$root/build/release
    [ -f "$build/CMakeCache.txt" ] || cmake --preset release
    cmake --build --preset release --target bench_render bench_batch bench_png -j 2
fi

json=$(mktemp)
batch_json=$(mktemp)
trap 'rm -f "$json" "$batch_json"' EXIT
# Google Benchmark 1.7 takes the minimum time as plain seconds (1.8 also accepts "0.2s").
"$build/bench/bench_render" --benchmark_min_time=0.2 \
    --benchmark_out="$json" --benchmark_out_format=json "$@"

python3 - "$json" <<'PY'
import json, sys

UNIT = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}
# The multiple of the memset that each case should stay within.
AIMS = {"bcNoRotate": 3.0, "bcRotate90": 1.5, "bcRotate180": 4.0, "bcRotate270": 1.5}
# With the text printed (BM_CreateBCText), the same string every time or a different one.
for turn, aim in (("bcNoRotate", 2.0), ("bcRotate90", 2.5), ("bcRotate180", 2.0),
                  ("bcRotate270", 2.5)):
    AIMS[turn + "_changing"] = aim
    AIMS[turn + "_same"] = aim

# A filter that names none of this program's cases leaves its output empty.
try:
    with open(sys.argv[1]) as f:
        runs = json.load(f)["benchmarks"]
except ValueError:
    runs = []
# CPU time: the machine is shared, and wall time would charge others' work to us.
ns = {r["name"]: r["cpu_time"] * UNIT[r.get("time_unit", "ns")]
      for r in runs if r.get("run_type", "iteration") == "iteration"}
memset, memcpy = ns.get("BM_Memset"), ns.get("BM_Memcpy")
if not memset:
    print("no BM_Memset in this run: the renders are not compared with it")

print()
print(f"{'case':<36}{'ns':>10}{'x memset':>10}{'aim':>7}{'x memcpy':>10}")
missed = 0
for name, t in ns.items():
    if not memset or not name.startswith(("BM_CreateBC/", "BM_CreateBCText/")):
        continue
    rotate = name.split("/", 1)[1]
    ratio = t / memset
    aim = AIMS.get(rotate)
    verdict = "" if aim is None else ("ok" if ratio <= aim else "MISSED")
    missed += verdict == "MISSED"
    copy = f"{t / memcpy:10.1f}" if memcpy and rotate != "bcNoRotate" else f"{'':>10}"
    print(f"{name:<36}{t:10.0f}{ratio:10.1f}{'' if aim is None else f'{aim:.0f}x':>7}{copy}  {verdict}")
# The text's share: each render with the text beside the same render without it.
TEXT_AIM = 1.5
print(f"\n{'text on / text off':<26}{'off ns':>10}{'on ns':>10}{'ratio':>8}{'aim':>7}")
for name, t in ns.items():
    if not name.startswith("BM_Text/") or not name.endswith("/text:1"):
        continue
    off = ns.get(name[:-1] + "0")
    if not off:
        continue
    ratio = t / off
    verdict = "ok" if ratio < TEXT_AIM else "MISSED"
    missed += verdict == "MISSED"
    print(f"{name[8:-7]:<26}{off:10.0f}{t:10.0f}{ratio:8.2f}{TEXT_AIM:6.1f}x  {verdict}")
print((f"\nmemset {memset:.0f} ns" if memset else "\n")
      + (f", memcpy {memcpy:.0f} ns" if memcpy else "") + f"; {missed} aim(s) missed")
PY

# The batch: records per second into PNG files, and the same files encoded and written alone.
"$build/bench/bench_batch" --benchmark_min_time=1 \
    --benchmark_out="$batch_json" --benchmark_out_format=json "$@"

python3 - "$batch_json" <<'PY'
import json, sys

AIM = 1.5
# As above, a filter may leave this output empty.
try:
    with open(sys.argv[1]) as f:
        runs = [r for r in json.load(f)["benchmarks"]
                if r.get("run_type", "iteration") == "iteration"]
except ValueError:
    runs = []
by = {r["name"]: r for r in runs}
batch, encode = by.get("BM_Batch"), by.get("BM_EncodeAndWrite")
if not batch or not encode:
    print("\nbatch: not measured in this run")
    sys.exit(0)
print(f"\n{'batch':<26}{'records/s':>12}{'ratio cpu':>11}{'ratio wall':>12}{'aim':>7}")
for name, r in (("encode + write alone", encode), ("batch", batch)):
    print(f"{name:<26}{r['items_per_second']:12.0f}")
# CPU time, as above; wall time beside it, since a file system may also make the writer wait.
cpu = batch["cpu_time"] / encode["cpu_time"]
wall = batch["real_time"] / encode["real_time"]
verdict = "ok" if cpu <= AIM else "MISSED"
print(f"{'batch / encode + write':<26}{'':>12}{cpu:11.2f}{wall:12.2f}{AIM:6.1f}x  {verdict}")
PY

# PNG output: the one-call writer and the former row-by-row one, each beside a memset of the
# same bitmap, and a thousand labels written into files by either.
png_json=$(mktemp)
"$build/bench/bench_png" --benchmark_min_time=0.2 \
    --benchmark_out="$png_json" --benchmark_out_format=json "$@"
python3 - "$png_json" <<'PY'
import json, sys
try:
    with open(sys.argv[1]) as f:
        runs = [r for r in json.load(f)["benchmarks"] if r.get("run_type", "iteration") == "iteration"]
except ValueError:
    runs = []
UNIT = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}
ns = {r["name"]: r["cpu_time"] * UNIT[r.get("time_unit", "ns")] for r in runs}
print(f"\n{'label':<8}{'one-call x memset':>19}{'row-by-row x memset':>21}{'speed-up':>10}")
for i in range(5):
    m, new, old = ns.get(f"BM_Memset/{i}"), ns.get(f"BM_Png/{i}/0"), ns.get(f"BM_Png/{i}/1")
    if m and new and old:
        print(f"{i:<8}{new / m:19.1f}{old / m:21.1f}{old / new:10.2f}")
new, old = ns.get("BM_Files/0"), ns.get("BM_Files/1")
if new and old:
    print(f"files: {new / 1e3 / 1000:.1f} us a record one-call, {old / 1e3 / 1000:.1f} us row-by-row")
PY
rm -f "$png_json"
