#!/usr/bin/env bash
# The arrows between the layers, checked on the sources: each folder includes only its own
# headers and those of the layers it stands on, never another folder's detail/ headers, and the
# engine's test binary carries no SQLite.
#   check-includes.sh SOURCE_DIR [ENGINE_TEST_BINARY]
set -euo pipefail
root=$1
declare -A allowed=(
  [host/sysutils]="host/sysutils"
  [host/classes]="host/classes host/sysutils"
  [host/graphics]="host/graphics host/classes host/sysutils"
  [host/controls]="host/controls host/graphics host/classes host/sysutils"
  [host/dialogs]="host/dialogs host/controls host/graphics host/classes host/sysutils"
  [host/designer]="host/designer host/dialogs host/controls host/graphics host/classes host/sysutils"
  [host/db]="host/db host/classes host/sysutils"
  [engine]="engine host/graphics host/sysutils"
  [components]="components engine host/controls host/db host/graphics host/classes host/sysutils"
  [preview]="preview host/controls host/graphics host/classes host/sysutils"
)
status=0
for folder in "${!allowed[@]}"; do
  while IFS= read -r line; do
    file=${line%%:*}
    inc=$(sed -E 's/.*#include "([^"]+)".*/\1/' <<<"${line#*:}")
    ok=0
    for a in ${allowed[$folder]}; do
      if [[ $inc == "$a"/* ]]; then
        # A detail/ header belongs to its own folder alone.
        if [[ $inc == */detail/* && $a != "$folder" ]]; then
          break
        fi
        ok=1
        break
      fi
    done
    if ((!ok)); then
      echo "$file includes \"$inc\", which $folder does not stand on" >&2
      status=1
    fi
  done < <(cd "$root" && grep -rHE '^#include "' "$folder" --include='*.h' --include='*.cpp' | sed -E 's/:[0-9]*:?/:/' || true)
done
if (($# > 1)) && ldd "$2" | grep -q sqlite; then
  echo "$2 links SQLite" >&2
  status=1
fi
exit $status
