#!/usr/bin/env bash
# lumivex batch against zint --batch: the same data lines into PNG files on a tmpfs (/dev/shm
# where there is one, else /tmp; LUMIVEX_BENCH_DIR picks another), with and without
# text, runs alternating; prints records/s of each, the ratio ours / zint's and peak memory.
# Usage: bench/zint.sh [LUMIVEX] [RECORDS] [ROUNDS]
set -euo pipefail
LUMIVEX=${1:-build/release/tools/lumivex/lumivex}
N=${2:-10000}
ROUNDS=${3:-5}
command -v zint >/dev/null || { echo "zint.sh: zint is not installed (apt-get install zint); skipped"; exit 0; }
[[ -x /usr/bin/time ]] || { echo "zint.sh: /usr/bin/time is missing (apt-get install time)"; exit 1; }
LUMIVEX=$(realpath "$LUMIVEX")
# On disk the file system's cost drowns both programs' own.
base=${LUMIVEX_BENCH_DIR:-/tmp}
[[ -z ${LUMIVEX_BENCH_DIR:-} && -d /dev/shm && -w /dev/shm ]] && base=/dev/shm
df -h "$base" | tail -1 | awk -v d="$base" '{print "on " d ": " $1}'
W=$(mktemp -d "$base/lumivex-zint-XXXXXX")
trap 'rm -rf "$W"' EXIT
cd "$W"
echo code > data.csv
for ((i = 1; i <= N; ++i)); do echo "LX-$((1000000 + i * 7919))"; done > data.txt
cat data.txt >> data.csv

# "name seconds KB" for one run into an empty out/.
run() {
  local name=$1; shift
  rm -rf out && mkdir out
  /usr/bin/time -f "%e %M" -o t.txt "$@" >/dev/null 2>&1
  echo "$name $(cat t.txt)"
}

for text in text notext; do
  # Our quiet zone of ten modules and images of one size (printed below). Without text, one
  # pixel a module: zint's and our files are then pixel-identical. zint leaves its text out below
  # two pixels a module, so with text both draw two, and our height takes in zint's text line.
  if [[ $text == notext ]]; then
    zflag=(--scale=0.5 --whitesp=10 --notext); lflag=(--notext)
  else
    zflag=(--scale=1 --whitesp=10); lflag=(--scale 2 --height 116)
  fi
  : > r.txt
  for ((r = 0; r < ROUNDS; ++r)); do
    run zint zint -b 20 --batch -i data.txt -o 'out/~~~~~.png' "${zflag[@]}" >> r.txt
    run jobs1 "$LUMIVEX" batch --csv data.csv --field code -b code128 -o out --jobs 1 "${lflag[@]}" >> r.txt
    run jobsN "$LUMIVEX" batch --csv data.csv --field code -b code128 -o out "${lflag[@]}" >> r.txt
  done
  # The image sizes, for the record: the same data should give images of one size.
  zint -b 20 -d "LX-1007919" -o z.png "${zflag[@]}"
  "$LUMIVEX" render -b code128 -d "LX-1007919" -o l.png "${lflag[@]}"
  echo "== $text ($N records, $ROUNDS rounds; sizes: zint $(file -b z.png | cut -d, -f2), lumivex $(file -b l.png | cut -d, -f2))"
  awk -v n="$N" '{ t[$1] += $2; m[$1] = $3 > m[$1] ? $3 : m[$1] }
    END { for (k in t) printf "%-6s %8.0f records/s  ratio to zint %.2f  peak %d KB\n", k, n * ROUNDS_ / t[k], t["zint"] / t[k], m[k] }' ROUNDS_="$ROUNDS" r.txt | sort
done
