#!/usr/bin/env bash
# Drives a program's modal form on a real X server, as a person would: starts the program,
# waits for its window by title, takes a screenshot of the whole screen, then clicks at a point
# of the window's client area with the X pointer (or presses a key in it) and checks the exit
# code the program ends with. Runs under its own Xvfb (xvfb-run -a) unless --display is given.
#
#   x11-drive.sh --title TITLE (--click X,Y | --key KEYSYM) --expect CODE
#                [--size WxH] [--expect-pixel X,Y,RRGGBB] [--screenshot FILE.png]
#                [--timeout SECONDS] [--display] -- PROGRAM [ARG...]
#
#   --title         the window's whole title (no pattern)
#   --click X,Y     a left click at client point X,Y
#   --key KEYSYM    a key pressed with the window focused (xdotool's names: Escape, Return, alt+o)
#   --expect CODE   the exit code the program must end with
#   --size WxH      the client size the window must have
#   --expect-pixel  the colour the screenshot must show at client point X,Y (waits for the paint)
#   --screenshot    where the PNG of the screen goes, taken before the click
#   --display       use the X server in DISPLAY rather than a fresh Xvfb
#
# For example, the preview of the command line, whose Okay button ends it with 0:
#   x11-drive.sh --title "Okanda SW - Barcode" --size 232x205 --click 184,189 --expect 0 \
#     --screenshot preview.png -- lumivex preview
# Exit: 0 when every check held, 1 when one failed, 2 for a usage error, 77 when the X tools
# are missing (CTest's SKIP_RETURN_CODE).
set -euo pipefail

usage() {
  sed -n '7,10p' "$0" >&2
  exit 2
}

title= click= key= expect= size= pixel= shot= timeout=20 use_display=0
args=("$@")
while (($#)); do
  case $1 in
  --title) title=$2; shift 2 ;;
  --click) click=$2; shift 2 ;;
  --key) key=$2; shift 2 ;;
  --expect) expect=$2; shift 2 ;;
  --size) size=$2; shift 2 ;;
  --expect-pixel) pixel=$2; shift 2 ;;
  --screenshot) shot=$2; shift 2 ;;
  --timeout) timeout=$2; shift 2 ;;
  --display) use_display=1; shift ;;
  --) shift; break ;;
  *) usage ;;
  esac
done
(($#)) && [[ -n $title && -n $expect ]] || usage
[[ -n $click || -n $key ]] || usage
[[ $click =~ ^([0-9]+,[0-9]+)?$ && $expect =~ ^[0-9]+$ ]] || usage

need=(xdotool xwd xwdtopnm pnmtopng pamcut pnmtoplainpnm)
((use_display)) || need+=(xvfb-run xauth)
for tool in "${need[@]}"; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is not installed (scripts/install-deps.sh installs it)"
    exit 77
  fi
done

if ((!use_display)); then
  # Again inside a fresh server, with the same arguments and --display.
  exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" bash "$0" --display "${args[@]}"
fi

fail() {
  echo "FAIL: $*" >&2
  [[ -s $log ]] && sed 's/^/  program: /' "$log" >&2
  exit 1
}

log=$(mktemp)
work=$(mktemp -d)
pid=
trap '[[ -n $pid ]] && kill "$pid" 2>/dev/null; rm -rf "$log" "$work"' EXIT

"$@" >"$log" 2>&1 &
pid=$!

# The whole title, with whatever is special to xdotool's pattern escaped.
pattern="^$(sed -E 's/[][\.*^$()+?{}|]/\\&/g' <<<"$title")\$"
id=$(timeout "$timeout" xdotool search --sync --onlyvisible --name "$pattern" | head -1) ||
  fail "no window titled \"$title\" within ${timeout}s"
eval "$(xdotool getwindowgeometry --shell "$id")" # X Y WIDTH HEIGHT of the client area
echo "window $id \"$title\" at $X,$Y, ${WIDTH}x$HEIGHT"
if [[ -n $size && $size != "${WIDTH}x$HEIGHT" ]]; then
  fail "the window is ${WIDTH}x$HEIGHT, not $size"
fi

screenshot() { # -> $work/screen.pnm
  xwd -root -silent | xwdtopnm 2>/dev/null >"$work/screen.pnm"
}
colour_at() { # SCREEN_X SCREEN_Y -> rrggbb
  # Plain PNM: magic, size, maximum value, then the samples (xwdtopnm may give 16 bits).
  pamcut -left "$1" -top "$2" -width 1 -height 1 "$work/screen.pnm" | pnmtoplainpnm |
    awk '{ for (i = 1; i <= NF; ++i) w[n++] = $i }
         END { for (i = 0; i < 3; ++i) printf "%02x", int(w[4 + i] * 255 / w[3] + 0.5); print "" }'
}

# The window is mapped before it is painted: with a colour to look for, wait until it shows.
screenshot
if [[ -n $pixel ]]; then
  IFS=, read -r px py want <<<"$pixel"
  want=${want,,}
  got=$(colour_at $((X + px)) $((Y + py)))
  for ((i = 0; i < 10 * timeout; ++i)); do
    [[ $got == "$want" ]] && break
    sleep 0.1
    screenshot
    got=$(colour_at $((X + px)) $((Y + py)))
  done
  [[ $got == "$want" ]] || fail "the screen shows #$got at client $px,$py, not #$want"
else
  sleep 0.5
  screenshot
fi
if [[ -n $shot ]]; then
  mkdir -p "$(dirname "$shot")"
  pnmtopng <"$work/screen.pnm" >"$shot" 2>/dev/null
  echo "screenshot: $shot"
fi

if [[ -n $click ]]; then
  IFS=, read -r cx cy <<<"$click"
  xdotool mousemove --sync $((X + cx)) $((Y + cy)) click 1
else
  # The pointer in the window as well: with no window manager, focus may follow it.
  xdotool mousemove --sync $((X + 5)) $((Y + 5))
  xdotool windowfocus --sync "$id" 2>/dev/null || true
  xdotool key --clearmodifiers "$key"
fi

for ((i = 0; i < 10 * timeout; ++i)); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the program is still running ${timeout}s after the ${click:+click}${key:+key}"
code=0
wait "$pid" || code=$?
pid=
[[ $code == "$expect" ]] || fail "the program exited with $code, not $expect"
echo "exit code $code, as expected"
