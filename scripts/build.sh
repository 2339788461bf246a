#!/usr/bin/env bash
# Configures and builds one CMake preset (release, debug or asan), optionally only some targets.
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-release}
shift || true
cmake --preset "$preset" >/dev/null
if (($#)); then
  cmake --build --preset "$preset" --target "$@"
else
  cmake --build --preset "$preset"
fi
