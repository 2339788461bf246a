#!/usr/bin/env bash
# The form designer on a real X server, driven as a person drives it, with a screenshot of each
# window it shows:
#   designer.png  the main window: the palette, a form with a TBarcode and a TBarcodeBmp, the
#                 object inspector
#   preview.png   the preview form, opened by a double-click on the TBarcodeBmp's icon; its
#                 barcode must decode to the bitmap component's number
#   about.png     the About box, opened by a double-click on the TBarcode
# then Esc closes the preview, Enter the About box, and Ctrl+Q the designer, which must exit 0.
# The components are found on the screen as a person finds them: the icon of the one non-visual
# component by its colours, the control by its place on the form relative to that icon.
#
#   x11-designer.sh DESIGNER DECODE_PNG OUT_DIR
#
# Exit: 0 when every step held, 1 when one failed, 77 when the X tools are missing.
# LUMIVEX_X11_TRACE=1 traces the steps (bash -x).
set -euo pipefail

(($# == 3)) || { sed -n "14p" "$0" >&2; exit 2; }
designer=$1 decode=$2 out=$3

for tool in xdotool xwd xwdtopnm pnmtopng pnmtoplainpnm xvfb-run xauth; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is not installed (scripts/install-deps.sh installs it)"
    exit 77
  fi
done
if [[ -z ${LUMIVEX_X11_INNER:-} ]]; then
  export LUMIVEX_X11_INNER=1
  exec xvfb-run -a -s "-screen 0 1280x800x24 -nolisten tcp" bash ${LUMIVEX_X11_TRACE:+-x} "$0" "$@"
fi

work=$(mktemp -d)
log=$work/designer.log
pid=
trap '[[ -n $pid ]] && kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  sed 's/^/  designer: /' "$log" >&2
  exit 1
}
mkdir -p "$out"

# The form: the control at 16,16 (200 x 80), the bitmap component's icon at 240,16.
cat >"$work/Label.dfm" <<'EOF'
object LabelForm: TForm
  Left = 0
  Top = 0
  Caption = 'Label'
  ClientHeight = 160
  ClientWidth = 320
  object Barcode1: TBarcode
    Left = 16
    Top = 16
    Width = 200
    Height = 80
    BarcodeText = 'LUMIVEX'
  end
  object BarcodeBmp1: TBarcodeBmp
    BarcodeText = '400638133393'
    BarcodeType = bcEAN13
    Left = 240
    Top = 16
  end
end
EOF

HOME=$work "$designer" "$work/Label.dfm" >"$log" 2>&1 &
pid=$!

window() { # PATTERN -> the id of the visible window whose title matches, or nothing
  timeout 20 xdotool search --sync --onlyvisible --name "$1" 2>/dev/null | head -1 || true
}
key() { # ID KEYS: with the pointer in the window, as with no window manager focus follows it
  eval "$(xdotool getwindowgeometry --shell "$1")"
  xdotool mousemove --sync $((X + 10)) $((Y + 10))
  xdotool windowfocus --sync "$1" 2>/dev/null || true
  xdotool key --clearmodifiers "$2"
}
shoot() { # ID FILE.png: the window as it shows on the screen
  sleep 0.5 # mapped is not yet painted
  xwd -id "$1" -silent | xwdtopnm 2>/dev/null | pnmtopng >"$2" 2>/dev/null
  echo "screenshot: $2"
}
closed() { # ID: waits until the window is gone
  for ((i = 0; i < 100; ++i)); do
    xdotool getwindowname "$1" >/dev/null 2>&1 || return 0
    sleep 0.1
  done
  fail "window $1 is still open"
}

main=$(window "^LabelForm .* - Lumivex Designer$")
[[ -n $main ]] || fail "no designer window within 20s"
shoot "$main" "$out/designer.png"
eval "$(xdotool getwindowgeometry --shell "$main")" # X Y of the window
mx=$X my=$Y

# The icon tile's fill colour (236, 232, 216) lowest in the window is the form's one icon; the
# palette's icons stand above it. Its fill starts a pixel inside the tile.
read -r ix iy < <(xwd -id "$main" -silent | xwdtopnm 2>/dev/null | pnmtoplainpnm | awk '
  NR == 2 { w = $1 } NR == 3 { max = $1 }
  NR > 3 { for (i = 1; i <= NF; ++i) v[n++] = int($i * 255 / max + 0.5) }
  END {
    for (p = 0; 3 * p < n; ++p)
      if (v[3 * p] == 236 && v[3 * p + 1] == 232 && v[3 * p + 2] == 216) { y = int(p / w); if (y > low) low = y }
    top = low; left = w
    for (p = 0; 3 * p < n; ++p)
      if (v[3 * p] == 236 && v[3 * p + 1] == 232 && v[3 * p + 2] == 216) {
        y = int(p / w); x = p % w
        if (y > low - 27) { if (y < top) top = y; if (x < left) left = x }
      }
    if (low) print left - 1, top - 1
  }')
[[ -n ${ix:-} ]] || fail "no component icon on the form surface"
# The form's origin on the screen, from the icon's place on the form.
ox=$((mx + ix - 240)) oy=$((my + iy - 16))
echo "form surface at $ox,$oy"

double_click() {
  xdotool mousemove --sync "$1" "$2" click --repeat 2 --delay 60 1
}

double_click $((ox + 240 + 14)) $((oy + 16 + 20))
preview=$(window "^Okanda SW - Barcode$")
[[ -n $preview ]] || fail "no preview window after a double-click on the TBarcodeBmp"
shoot "$preview" "$out/preview.png"
read=$("$decode" "$out/preview.png") || fail "the preview's barcode does not decode"
[[ $read == 4006381333931 ]] || fail "the preview shows $read, not 4006381333931"
echo "preview decodes: $read"
key "$preview" Escape
closed "$preview"

double_click $((ox + 16 + 100)) $((oy + 16 + 40))
about=$(window "^Information$")
[[ -n $about ]] || fail "no About box after a double-click on the TBarcode"
shoot "$about" "$out/about.png"
key "$about" Return
closed "$about"

# Back in the main window, as a person clicks into it after a dialog (here an empty spot of the
# inspector), then Ctrl+Q.
xdotool mousemove --sync $((mx + 100)) $((my + 560)) click 1
key "$main" ctrl+q
for ((i = 0; i < 100; ++i)); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the designer is still running after Ctrl+Q"
code=0
wait "$pid" || code=$?
pid=
[[ $code == 0 ]] || fail "the designer exited with $code"
echo "the designer closed with 0"
