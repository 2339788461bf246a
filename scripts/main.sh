#!/usr/bin/env bash
# Set-up, release build, and the main job on its embedded default: the sample product catalogue
# (examples/catalogue.sql, loaded into a fresh SQLite file) rendered into a folder of labels.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh release lumivex

# Built from the text every time, so the database always matches the file under version control.
db=build/catalogue.db
rm -f "$db"
sqlite3 "$db" < examples/catalogue.sql

build/release/tools/lumivex/lumivex batch --db "$db" \
  --sql "SELECT sku, ean FROM products ORDER BY sku" \
  --field ean --name-field sku -b ean13 --scale 2 --height 80 -o out/labels --force
echo "Labels: $(pwd)/out/labels (one PNG per product, named by its SKU)"
