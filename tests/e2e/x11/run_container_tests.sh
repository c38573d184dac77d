#!/usr/bin/env bash
# Container mode with the real engine: `qorva call --wait-loaded` hosts the control in a
# GTK window under Xvfb, its WebKitGTK browser loads an editor page from a local file, and
# the calls reach the page's script. `qorva open` is driven with xdotool for the right
# click and the keys, checked on screenshots.
# Usage: run_container_tests.sh QORVA [SCREENSHOT_DIR]. Exits 77 (skipped) without Xvfb,
# xdotool or ImageMagick.
set -uo pipefail

qorva=${1:?path of the qorva command}
shots=${2:-}
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
skip() { echo "SKIPPED: $*"; exit 77; }
command -v Xvfb >/dev/null || skip "Xvfb is not installed"
command -v xdotool >/dev/null || skip "xdotool is not installed"
command -v import >/dev/null || skip "ImageMagick is not installed"

work=$(mktemp -d)
xvfb= open_pid=
cleanup() {
  [ -n "$open_pid" ] && kill "$open_pid" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
source "$here/../start_xvfb.sh"
export TMPDIR=$work

failures=0
check() {  # name, got, want
  if [ "$2" = "$3" ]; then echo "ok: $1"; else echo "FAIL: $1: got [$2] want [$3]"; failures=$((failures + 1)); fi
}

sample=file://$root/samples/editor
pages=file://$root/tests/data/browser
container=(--param hasContainer=1 --param width=640 --param height=480)

# --- Calls against the sample page, one display for all of them
start_xvfb "$work" 1024x768x24 || { echo "FAIL: Xvfb did not start"; exit 1; }

out=$("$qorva" call "${container[@]}" --param qorvaEditorInitURL="$sample" \
  QORVAGetMethod getHtml -- \
  --wait-loaded 30 QORVAGetMethod getReady -- \
  QORVASetMethod join $'a\r\nb' -- \
  QORVASetMethod2 join $'a\rb' $'\n' -- \
  QORVASetMethod3 join $'x\r\n' $'\r\r\n' 'z' -- \
  QORVASetMethod setHtml '<b>bold</b>' -- \
  QORVAGetMethod getHtml -- \
  QORVAGetMethod getLength -- \
  QORVAGetMethod getNothing -- \
  QORVAGetMethod getExternal -- \
  QORVAGetMethod getDispatched -- \
  QORVAGetMethod '' -- \
  QORVASetMethod '' 'value' -- \
  QORVAGetMethod getDispatched -- \
  QORVAGetMethod getSize -- \
  width 500 -- \
  QORVAGetMethod getSize -- \
  height 300 -- \
  QORVAGetMethod getSize 2>"$work/err")
rc=$?
check "sample page: exit status" "$rc" "0"
check "sample page: the event fires once" "$(grep -c '^QORVA_Event_Loaded$' "$work/err")" "1"
mapfile -t lines <<<"$out"
check "before the page has loaded, a method answers empty" "${lines[0]}" ""
check "the boolean true comes back empty" "${lines[1]}" ""
check "CR LF is removed" "${lines[2]}" "2:ab"
check "a lone CR stays, a lone LF goes" "${lines[3]}" "3:a%0Db|0:"
# CR CR LF: the CR LF pair becomes LF, which goes; the first CR stays.
check "three values, in order" "${lines[4]}" "1:x|1:%0D|1:z"
check "set the editor's HTML" "${lines[5]}" "ok"
check "get the editor's HTML" "${lines[6]}" "<b>bold</b>"
check "a number comes back as its decimal text" "${lines[7]}" "4"
check "undefined comes back empty" "${lines[8]}" ""
check "window.external: QOR names read Wibble, others fail, a call gives nothing" \
  "${lines[9]}" "Wibble,Wibble,error,error,undefined"
check "dispatcher calls so far" "${lines[10]}" "10"
check "an empty function name answers empty" "${lines[11]}|${lines[12]}" "|"
check "an empty function name makes no call" "${lines[13]}" "11"
check "the browser fills the control" "${lines[14]}" "640x480"
check "a new width resizes the browser" "${lines[15]}" "500x480"
check "a new height resizes the browser" "${lines[16]}" "500x300"

# A letter-case difference in the completed URL still starts the poll: the engine
# reports the scheme in lower case.
upper=FILE://${sample#file://}
"$qorva" call "${container[@]}" --param qorvaEditorInitURL="$upper" \
  --wait-loaded 30 QORVAGetMethod getReady >/dev/null 2>"$work/err"
check "URL differing in letter case: the event fires" "$?:$(grep -c QORVA_Event_Loaded "$work/err")" "0:1"

# Pages that never answer the text TRUE: the wait runs out, exit status 3, no call made.
for page in "about:blank" "$pages/lower_true" "$pages/boolean_true"; do
  out=$("$qorva" call "${container[@]}" --param qorvaEditorInitURL="$page" \
    --wait-loaded 2 QORVAGetMethod polls 2>"$work/err")
  rc=$?
  check "$page: no event within the wait" "$rc:$(grep -c '^QORVA_Event_Loaded$' "$work/err"):$out" "3:0:"
done
# The poll did run meanwhile, ten times a second.
polls=$("$qorva" call "${container[@]}" --param qorvaEditorInitURL="$pages/lower_true" \
  QORVAGetMethod polls -- --wait-loaded 1 QORVAGetMethod polls 2>/dev/null)
check "lower-case true: nothing is called before the wait" "$polls" ""

# Assigning the editor URL while running navigates again, and the event fires again.
out=$("$qorva" call "${container[@]}" --param qorvaEditorInitURL="$sample" \
  --wait-loaded 30 qorvaEditorInitURL "$pages/second" -- \
  --wait-loaded 30 QORVAGetMethod which 2>"$work/err")
check "navigating again fires the event again" "$?:$(grep -c QORVA_Event_Loaded "$work/err"):$out" \
  "0:2:second:which"

# Guard B outside container mode: message 16, and no call.
out=$("$qorva" call --param hasContainer=0 QORVAGetMethod getHtml 2>"$work/err")
check "guard B outside container mode" "$out" ""
grep -q "Container 모드에서만 사용할 수 있는 메소드입니다." "$work/err" && echo "ok: guard B message" ||
  { echo "FAIL: guard B message"; failures=$((failures + 1)); }

# Without a display the command says so.
out=$(DISPLAY= "$qorva" call "${container[@]}" --param qorvaEditorInitURL="$sample" \
  --wait-loaded 5 QORVAGetMethod getHtml 2>&1)
check "no display: exit status 1" "$?" "1"
[[ $out == *"no display could be opened"* ]] && echo "ok: no display: said so" ||
  { echo "FAIL: no display: [$out]"; failures=$((failures + 1)); }
kill "$xvfb"
xvfb=

# --- A person at the window: right click and typing, on a display of its own
start_xvfb "$work" 800x600x24 || { echo "FAIL: Xvfb did not start"; exit 1; }
"$qorva" open --param width=640 --param height=480 "$sample" 2>"$work/open.err" &
open_pid=$!
window=$(timeout 30 xdotool search --sync --name '^qorvaeditor$' | head -1)
[ -n "$window" ] || { echo "FAIL: the container window did not appear"; exit 1; }
for _ in $(seq 300); do
  grep -q QORVA_Event_Loaded "$work/open.err" && break
  sleep 0.1
done
check "open: the event fires" "$(grep -c QORVA_Event_Loaded "$work/open.err")" "1"

shot() { import -window root "$1" 2>/dev/null; }
# The colour at x,y of a screenshot, as r,g,b.
pixel() { convert "$1" -format "%[fx:int(255*p{$2,$3}.r)],%[fx:int(255*p{$2,$3}.g)],%[fx:int(255*p{$2,$3}.b)]" info:; }
# The share of pixels in a region that are not white, in percent.
ink() { convert "$1" -crop "$2" +repage -colorspace gray -threshold 90% -negate -format "%[fx:int(100*mean+0.5)]" info:; }
# Waits until a screenshot shows the page painted (its toolbar's blue at the top left).
for _ in $(seq 100); do
  shot "$work/before.png"
  [ "$(pixel "$work/before.png" 20 10)" = "43,87,151" ] && break
  sleep 0.1
done
check "the page is painted: its toolbar" "$(pixel "$work/before.png" 20 10)" "43,87,151"
check "no border: the page starts at the window's corner" "$(pixel "$work/before.png" 0 0)" "43,87,151"
check "the editor area is white" "$(pixel "$work/before.png" 320 300)" "255,255,255"

# A right click must open no menu: for a second and a half every screenshot stays the
# same as before it where a menu would open, below and right of the click (away from the
# editor's blinking caret).
menu_area=240x200+300+250
convert "$work/before.png" -crop "$menu_area" +repage "$work/before-menu.png"
xdotool mousemove --window "$window" 300 250 click 3
same=1
for _ in $(seq 15); do
  shot "$work/after.png"
  convert "$work/after.png" -crop "$menu_area" +repage "$work/after-menu.png"
  [ "$(compare -metric AE "$work/before-menu.png" "$work/after-menu.png" null: 2>&1)" = "0" ] ||
    { same=0; break; }
  sleep 0.1
done
check "a right click shows no menu" "$same" "1"

# Keys reach the page: typed letters appear in the editor.
# Without a window manager the window takes the focus only when given it.
xdotool windowfocus --sync "$window" 2>/dev/null
xdotool mousemove --window "$window" 300 250 click 1
xdotool type --delay 20 "WWWWWWWWWW"
for _ in $(seq 50); do
  shot "$work/typed.png"
  [ "$(ink "$work/typed.png" 200x30+0+30)" -gt 5 ] && break
  sleep 0.1
done
check "typed keys reach the page" "$(( $(ink "$work/typed.png" 200x30+0+30) > 5 ))" "1"
check "before typing the line was empty" "$(ink "$work/before.png" 200x30+0+30)" "0"
if [ -n "$shots" ]; then cp "$work/before.png" "$work/typed.png" "$shots/"; fi

kill "$open_pid"
wait "$open_pid" 2>/dev/null
open_pid=

[ $failures -eq 0 ] && echo "all container checks passed" || echo "$failures check(s) failed"
exit $((failures > 0))
