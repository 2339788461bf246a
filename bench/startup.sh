#!/usr/bin/env bash
# One `lumivex render` with text against one `zint` run of the same data: the median wall time of
# RUNS runs each, alternating, and the ratio ours / zint's; with valgrind, the instructions of one
# run of each (callgrind). The font cache lives in a directory of its own, filled by one run
# first: the figures are those of a run whose face is known, as every run after the first is.
# Usage: bench/startup.sh [LUMIVEX] [RUNS]
set -euo pipefail
LUMIVEX=$(realpath "${1:-build/release/tools/lumivex/lumivex}")
RUNS=${2:-21}
command -v zint >/dev/null || { echo "startup.sh: zint is not installed (apt-get install zint); skipped"; exit 0; }
base=/tmp
[[ -d /dev/shm && -w /dev/shm ]] && base=/dev/shm
W=$(mktemp -d "$base/lumivex-startup-XXXXXX")
trap 'rm -rf "$W"' EXIT
export XDG_CACHE_HOME=$W/cache
data=LX-1007919
ours=("$LUMIVEX" render -b code128 -d "$data" -o "$W/l.png")
theirs=(zint -b 20 -d "$data" -o "$W/z.png")
"${ours[@]}"

# Microseconds of one run, timed by the shell itself so that no timing program is counted.
run() {
  local t0=$EPOCHREALTIME
  "$@" >/dev/null 2>&1
  local t1=$EPOCHREALTIME
  echo $(((${t1/./} - ${t0/./})))
}
: > "$W/l.txt"; : > "$W/z.txt"
for ((i = 0; i < RUNS; ++i)); do
  run "${ours[@]}" >> "$W/l.txt"
  run "${theirs[@]}" >> "$W/z.txt"
done
median() { sort -n "$1" | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
l=$(median "$W/l.txt"); z=$(median "$W/z.txt")
echo "load: $(uptime | sed 's/.*load average: //')"
awk -v l="$l" -v z="$z" -v n="$RUNS" 'BEGIN {
  printf "median of %d: lumivex %.2f ms, zint %.2f ms, ratio %.2f\n", n, l / 1000, z / 1000, l / z }'
if command -v valgrind >/dev/null; then
  ir() { valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null |
    awk '/Collected/ { print $4 }'; }
  li=$(ir "${ours[@]}"); zi=$(ir "${theirs[@]}")
  awk -v l="$li" -v z="$zi" 'BEGIN {
    printf "instructions: lumivex %.2f M, zint %.2f M, ratio %.2f\n", l / 1e6, z / 1e6, l / z }'
fi
