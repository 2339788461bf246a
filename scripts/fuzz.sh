#!/usr/bin/env bash
# Builds the libFuzzer targets (the fuzz preset) and runs each for SECONDS, one after the other,
# on a copy of its corpus; prints per target the executions, the coverage and any crash file.
#   bash scripts/fuzz.sh SECONDS [TARGET...]      (all targets when none is named)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

if (($# < 1)) || ! [[ $1 =~ ^[0-9]+$ ]]; then
  echo "usage: bash scripts/fuzz.sh SECONDS [TARGET...]" >&2
  exit 2
fi
seconds=$1
shift
all=(FuzzCreateBC FuzzFilterCreateBC FuzzFormText FuzzFormBinary FuzzFormConvert FuzzBmp FuzzCsv
  FuzzLines FuzzFontFileCache FuzzFormLayout FuzzPackageInfo FuzzCommandData)
targets=("$@")
((${#targets[@]})) || targets=("${all[@]}")

# All live bitmaps together hold at most 256 MiB (MaxBitmapBytes), so the largest legitimate
# input renders one bitmap of that size, however many barcodes it holds. Measured under
# AddressSanitizer, such renders one after the other peak at about 340 MB of resident memory:
# the bitmap, ASan's shadow of it (an eighth), the freed memory that ASan keeps in quarantine
# (capped at 64 MB below) and the process itself; over minutes of fuzzing, what ASan's allocator
# keeps of the churning glyph and text caches adds about 100 MB more. 640 MB lets that pass and
# fails any input that holds a second bitmap of the bound beside the first (537 MB, 67 MB of
# shadow and the process's own 80 MB or so). libFuzzer also refuses any single allocation above
# it. Every input must also finish within a second (-timeout=1).
rss_limit_mb=${LUMIVEX_FUZZ_RSS_MB:-640}
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=64:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

bash scripts/install-deps.sh
bash scripts/build.sh fuzz lumivex_fuzzers

status=0
for t in "${targets[@]}"; do
  exe=$root/build/fuzz/fuzz/$t
  if [[ ! -x $exe ]]; then
    echo "$t: no such target (known: ${all[*]})" >&2
    status=2
    continue
  fi
  # Runs grow a copy of the corpus, so the repository stays as it is.
  corpus=$root/build/fuzz-corpus/$t
  work=$root/build/fuzz-work/$t
  artifacts=$root/build/fuzz-artifacts/$t
  mkdir -p "$corpus" "$work" "$artifacts"
  if [[ -d fuzz/corpus/$t ]]; then
    cp -n fuzz/corpus/$t/* "$corpus"/ 2>/dev/null || true
  fi
  rm -f "$work"/fuzz-*.log
  # One job, one worker: the machine's two cores are shared. The job writes fuzz-0.log in the
  # working directory, where anything a form file names (a CSV or database file) is looked for.
  (cd "$work" && "$exe" -jobs=1 -workers=1 -max_total_time="$seconds" -timeout=1 \
    -rss_limit_mb="$rss_limit_mb" -artifact_prefix="$artifacts/" -print_final_stats=1 \
    "$corpus" >/dev/null 2>&1) || true
  log=$work/fuzz-0.log
  runs=$(grep -oE 'Done [0-9]+ runs' "$log" | tail -1 | grep -oE '[0-9]+' || true)
  [[ -n $runs ]] || runs=$(grep -oE '^stat::number_of_executed_units: *[0-9]+' "$log" | grep -oE '[0-9]+$' | tail -1 || true)
  cov=$(grep -oE 'cov: [0-9]+' "$log" | tail -1 | grep -oE '[0-9]+' || true)
  crash=$(grep -oE "(Test unit|artifact) written to [^ ]+" "$log" | tail -1 | awk '{print $NF}' || true)
  printf '%-20s executions %-10s cov %-6s %s\n' "$t" "${runs:-?}" "${cov:-?}" \
    "${crash:+crash file $crash}"
  if [[ -n $crash ]] || [[ -z $runs ]]; then
    status=1
    grep -E 'ERROR|SUMMARY|==[0-9]+==' "$log" | head -5 || true
  fi
done
exit $status
