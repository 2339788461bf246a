#!/usr/bin/env bash
# Set-up, then every test in the release build and in the AddressSanitizer + UBSan build.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
status=0
for preset in release asan; do
  echo "== $preset =="
  bash scripts/build.sh "$preset"
  ctest --preset "$preset" -j2 || status=1
done
exit $status
