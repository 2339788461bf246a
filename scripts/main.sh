#!/usr/bin/env bash
# Set-up, release build, and the main job on its embedded default: a sample set of barcodes.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh release lumivex
exec build/release/tools/lumivex/lumivex samples -o out/samples
