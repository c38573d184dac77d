#!/usr/bin/env bash
# The photo editor's captures from a real X display: a window over the whole screen shows
# a known picture (blue with a red block), `qorva call setScreenCapture` captures the
# whole screen, turns it right and inserts it; the element names a JPEG in the working
# folder that shows the picture turned, and the clipboard holds the capture. Then a
# smaller green window holds the focus and the browser capture takes just that window.
# Usage: run_screen_capture_tests.sh QORVA COLOUR_WINDOW (the x11_colour_window helper).
# Exits 77 (skipped) without Xvfb, xclip or a Python with Pillow.
set -uo pipefail

qorva=${1:?path of the qorva command}
helper=${2:?path of the x11_colour_window helper}
skip() { echo "SKIPPED: $*"; exit 77; }
command -v Xvfb >/dev/null || skip "Xvfb is not installed"
command -v xclip >/dev/null || skip "xclip is not installed"
python=
for candidate in python3 /usr/bin/python3; do
  if "$candidate" -c 'import PIL' 2>/dev/null; then python=$candidate; break; fi
done
[ -n "$python" ] || skip "no Python with Pillow"

work=$(mktemp -d)
xvfb=
windows=()
cleanup() {
  for window in "${windows[@]}"; do kill "$window" 2>/dev/null; done
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
source "$(dirname "$0")/../start_xvfb.sh"
start_xvfb "$work" 640x480x24 || { echo "FAIL: Xvfb did not start"; exit 1; }
export TMPDIR=$work

failures=0
pass() { echo "ok: $1"; }
fail() { echo "FAIL: $1"; failures=$((failures + 1)); }

# Pixels of a picture file: "W H" then "R G B" of each point asked for.
pixels() {  # file, x,y...
  "$python" - "$@" <<'PY'
import sys
from PIL import Image
image = Image.open(sys.argv[1]).convert("RGB")
print(*image.size)
for point in sys.argv[2:]:
    x, y = map(int, point.split(","))
    print(*image.getpixel((x, y)))
PY
}
# Whether "R G B" is within 40 of the colour named.
near() {  # "R G B", R, G, B
  read -r r g b <<<"$1"
  local d
  for d in $((r - $2)) $((g - $3)) $((b - $4)); do
    [ "${d#-}" -le 40 ] || return 1
  done
}

# Shows a window of the helper and waits until it is on the screen.
show() {  # name, helper arguments...
  local name=$1
  shift
  "$helper" "$@" >"$work/$name.ready" &
  windows+=($!)
  for _ in $(seq 100); do
    grep -q ready "$work/$name.ready" 2>/dev/null && return 0
    sleep 0.05
  done
  return 1
}

show screen 0,0,640,480,0000c8 40,30,160,100,dc0000 --over ||
  { echo "FAIL: the screen's window did not show"; exit 1; }

html=$("$qorva" call --answer capture-full --answer rotate-right --answer insert --answer yes \
  setScreenCapture 0 2>"$work/err")
pattern='^<img style="width:480px; height:640px" src="file:///([^"]+\.jpg)" />$'
if [[ "$html" =~ $pattern ]]; then
  pass "whole screen turned: the element has the turned size"
  jpeg=${BASH_REMATCH[1]}
  [[ "$jpeg" == "$work/qorvaTemp/"* ]] && pass "the JPEG is in the working folder" ||
    fail "the JPEG is not in the working folder: $jpeg"
  # The red block at x 40..199, y 30..129 of 480 rows turns to x 350..449, y 40..199.
  mapfile -t got < <(pixels "$jpeg" 400,120 100,400 400,300 5,5)
  [ "${got[0]}" = "480 640" ] && pass "the JPEG is 480 by 640" || fail "the JPEG's size: ${got[0]}"
  near "${got[1]}" 220 0 0 && pass "the red block turned to the top right" ||
    fail "at (400, 120): ${got[1]}, not red"
  near "${got[2]}" 0 0 200 && near "${got[3]}" 0 0 200 && near "${got[4]}" 0 0 200 &&
    pass "the rest is the blue screen" || fail "blue expected: ${got[*]:2}"
else
  fail "whole screen: [$html] $(cat "$work/err")"
fi

# The capture stays on the clipboard, unturned.
if xclip -selection clipboard -t TARGETS -o 2>/dev/null | grep -qx image/png &&
   xclip -selection clipboard -t image/png -o >"$work/clip.png" 2>/dev/null; then
  mapfile -t got < <(pixels "$work/clip.png" 100,80 400,300)
  [ "${got[0]}" = "640 480" ] && near "${got[1]}" 220 0 0 && near "${got[2]}" 0 0 200 &&
    pass "the clipboard holds the capture" || fail "the clipboard's picture: ${got[*]}"
else
  fail "the clipboard holds no picture"
fi

# A green window of another program, focused: the browser capture is that window alone.
if show browser 300,200,120,90,00b400 --focus; then
  html=$("$qorva" call --answer capture-browser --answer mirror-lr --answer insert \
    --answer yes setScreenCapture 0 2>"$work/err")
  pattern='^<img style="width:120px; height:90px" src="file:///([^"]+\.jpg)" />$'
  if [[ "$html" =~ $pattern ]]; then
    mapfile -t got < <(pixels "${BASH_REMATCH[1]}" 60,45)
    near "${got[1]}" 0 180 0 && pass "the browser capture is the focused window" ||
      fail "the window capture's colour: ${got[1]}"
  else
    fail "browser capture: [$html] $(cat "$work/err")"
  fi
else
  fail "the focused window did not show"
fi

# No to the insert question keeps the editor open; Escape then closes it with nothing.
html=$("$qorva" call --answer capture-full --answer insert --answer no --answer cancel \
  setScreenCapture 0 2>"$work/err")
[ -z "$html" ] && grep -q '삽입 하시겠습니까' "$work/err" && pass "No keeps the editor; Escape gives nothing" ||
  fail "No then Escape: [$html] $(cat "$work/err")"

echo "$failures failure(s)"
[ $failures -eq 0 ]
