#!/usr/bin/env bash
# The arrows between the layers, checked on the sources: each folder includes only its own
# headers and those of the layers it stands on, never another folder's detail/ headers; Qt is
# seen only by host/qt (never by its public headers), the designer and its tests, and the Qt
# widgetset's tests; and the engine's test binary carries no SQLite.
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
  [host/qt]="host/qt host/controls host/graphics host/classes host/sysutils"
  [engine]="engine host/graphics host/sysutils"
  [components]="components engine host/controls host/db host/graphics host/classes host/sysutils"
  [preview]="preview host/controls host/graphics host/classes host/sysutils"
  [design]="design preview components engine host/designer host/dialogs host/controls host/db host/graphics host/classes host/sysutils"
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
# A Qt header: <QWidget>, <QtWidgets/QWidget>, <qglobal.h>.
qt_include='^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"](Qt[A-Za-z0-9]*/|Q[A-Z][A-Za-z0-9]*[>"]|q[a-z0-9_]+\.h[>"])'
while IFS= read -r line; do
  file=${line%%:*}
  case $file in
  host/qt/detail/* | host/qt/*.cpp | tools/lumivex-designer/* | tests/ui/* | tests/designer-app/*) ;;
  host/qt/*)
    echo "$file includes Qt, which a public header of host/qt must not: ${line#*:}" >&2
    status=1
    ;;
  *)
    echo "$file includes Qt, which only host/qt, the designer, tests/ui and tests/designer-app may: ${line#*:}" >&2
    status=1
    ;;
  esac
done < <(cd "$root" && for d in host engine components tools tests bench fuzz examples; do
  [[ -d $d ]] && grep -rHE "$qt_include" "$d" --include='*.h' --include='*.hpp' \
    --include='*.cpp' --include='*.cc'
done | sed -E 's/:[0-9]*:?/:/' || true)
if (($# > 1)) && ldd "$2" | grep -q sqlite; then
  echo "$2 links SQLite" >&2
  status=1
fi
exit $status
