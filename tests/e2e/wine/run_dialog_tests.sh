#!/usr/bin/env bash
# The image dialogs as a page meets them, on wine64 under Xvfb, driven from outside with
# keys and clicks as a person would: the skinned image property dialog (its pictures served
# by PHP's built-in server), the image property sheet and the image type sheet. Screenshots
# are checked at a few pixels and kept in SCREENSHOT_DIR when given. A watcher reads and
# dismisses the message boxes.
# Usage: run_dialog_tests.sh WINDOWS_BUILD_DIR. Exits 77 (skipped) without the tools or the build.
set -uo pipefail

build=${1:?windows build folder}
here=$(cd "$(dirname "$0")" && pwd)
ocx=$build/src/win32/activex/qorvaeditor.ocx
helpers=$build/tests/e2e/wine

source "$here/wine_env.sh"
need_tool wine
need_tool Xvfb
need_tool xdotool
need_tool php
need_tool convert ImageMagick
need_tool import ImageMagick
need_tool display ImageMagick
need_file "$ocx" "$helpers/msgbox_watcher.exe" "$helpers/method_host.exe" "$helpers/clipboard_fill.exe"
start_wine
cp "$ocx" "$helpers/msgbox_watcher.exe" "$helpers/method_host.exe" "$helpers/clipboard_fill.exe" \
  "$here/dialog_checks.js" "$drive/"
wine regsvr32 /s 'C:\qorvaeditor.ocx' || fail "regsvr32"
# Pictures for the dialogs to open.
convert -size 300x200 xc:'#336699' "$drive/photo.png"
convert -size 200x100 xc:'#993366' "$drive/wide.png"

# --- Without a resource URL the skin pictures cannot be fetched.
start_watcher
timeout 120 wine cscript //nologo 'C:\dialog_checks.js' fetch > "$work/output.txt" 2>&1
rc=$?
stop_watcher
output=$(tr -d '\r' < "$work/output.txt")
echo "$output"
[ $rc -eq 0 ] && ok "the page script ran" || fail "cscript exited $rc"
[ "$output" = $'call1=[]\ncall2=[]' ] && ok "a failed skin fetch returns an empty string" \
  || fail "the calls returned: $output"
message='[QORVA Editor] QORVA Plug-In의 리소스에 접근 할 수 없습니다.'$'\n''관리자에게 문의하세요.'
[ "$boxes" = "$message"$'\n'"$message" ] && ok "the resource message, and again on the next call" \
  || fail "message boxes were: [$boxes]"

# --- Helpers for driving a dialog.
# Waits up to 60 s for a shown window of exactly WxH pixels and prints its X window.
wait_sized() {
  local deadline=$((SECONDS + 60)) id
  while [ $SECONDS -lt $deadline ]; do
    for id in $(xdo search --onlyvisible --name '.*' 2>/dev/null); do
      xdo getwindowgeometry "$id" 2>/dev/null | grep -q "Geometry: $1\$" && { echo "$id"; return 0; }
    done
    sleep 0.2
  done
  return 1
}
# Waits up to 10 s for a window to be destroyed: until then it may hold the keyboard.
wait_gone() {
  local deadline=$((SECONDS + 10))
  while [ $SECONDS -lt $deadline ] && xdo getwindowname "$1" >/dev/null 2>&1; do sleep 0.1; done
  sleep 0.3
}
# Sets wx, wy to the window's place on the screen.
place_of() {
  eval "$(xdo getwindowgeometry --shell "$1" | tr 'A-Z' 'a-z' | grep -E '^(x|y)=')"
  wx=$x wy=$y
}
click() { xdo mousemove $((wx + $1)) $((wy + $2)) click 1; sleep 0.4; }
double_click() { xdo mousemove $((wx + $1)) $((wy + $2)) click --repeat 2 --delay 80 1; sleep 0.4; }
# Clicks into an edit and replaces its text by typing, as a person would.
retype() {
  click "$1" "$2"
  xdo key End shift+Home BackSpace
  xdo type --delay 30 "$3"
  sleep 0.4
}
shot() {
  import -window root "$work/$1.png" || fail "screenshot $1"
  [ -n "${SCREENSHOT_DIR:-}" ] && mkdir -p "$SCREENSHOT_DIR" && cp "$work/$1.png" "$SCREENSHOT_DIR/"
}
pixel() {  # screenshot x y -> "r g b"
  convert "$work/$1.png" -format "%[fx:int(255*r+.5)] %[fx:int(255*g+.5)] %[fx:int(255*b+.5)]" \
    -crop "1x1+$2+$3" info:
}
near() {  # "r g b" "r g b": every channel within 4
  local a=($1) b=($2) i
  for i in 0 1 2; do
    [ $((a[i] - b[i])) -le 4 ] && [ $((b[i] - a[i])) -le 4 ] || return 1
  done
}
brighter() {  # "r g b" "r g b": every channel of the first above the second's
  local a=($1) b=($2)
  [ "${a[0]}" -gt "${b[0]}" ] && [ "${a[1]}" -gt "${b[1]}" ] && [ "${a[2]}" -gt "${b[2]}" ]
}

# --- The skinned look, its pictures from a local server, as an object element loads it.
port=$((20000 + RANDOM % 20000))
php -S "127.0.0.1:$port" -t "$here/../../../samples/server" >"$work/php.log" 2>&1 &
cleanup_pids+=($!)
for _ in $(seq 50); do
  curl -sf -o /dev/null "http://127.0.0.1:$port/res/ko/i_bg.png" && break
  sleep 0.1
done
timeout 120 wine 'C:\method_host.exe' 'C:\skinned.txt' "resourceUrl=http://127.0.0.1:$port/res/skin.dat" \
  -- showImageProperty 'file:///C:/photo.png' 300 200 '' Left '' '' 'my title' 'my alt' '' '' '' &
host=$!
if dialog=$(wait_sized 421x531); then
  ok "the skinned dialog opens at 421 x 531"
  focus_window "$dialog"
  place_of "$dialog"
  sleep 1
  shot skinned-open
  # The background's header band, and the cancel button at rest.
  [ "$(pixel skinned-open $((wx + 200)) $((wy + 15)))" = "54 92 150" ] \
    && ok "the background picture fills the dialog" || fail "header pixel $(pixel skinned-open $((wx + 200)) $((wy + 15)))"
  resting=$(pixel skinned-open $((wx + 360)) $((wy + 505)))
  xdo mousemove $((wx + 360)) $((wy + 505))
  sleep 1
  shot skinned-hover
  hovering=$(pixel skinned-hover $((wx + 360)) $((wy + 505)))
  brighter "$hovering" "$resting" && ok "the hover face is lighter ($hovering over $resting)" \
    || fail "hover face $hovering, resting $resting"
  # Browse picks a 200 x 100 picture: its size and ratio replace the given ones.
  click 369 64
  if open=$(wait_window Open 30); then
    focus_window "$open"
    xdo type --delay 30 'C:\wide.png'
    xdo key Return
    wait_gone "$open"
  else
    fail "browse opened no Open dialog"
  fi
  focus_window "$dialog"
  # A double click on the switch turns it off and on again, so the ratio still holds.
  double_click 265 220
  retype 140 190 60
  shot skinned-typed
  click 303 512
  wait $host
  result=$(cat "$drive/skinned.txt")
  echo "skinned=[$result]"
  [[ $result == '<img style="width:60px; height:30px" title="my title" alt="my alt" border="" align="Left" src="file:///C:/users/'*'/qorvaTemp/'*'.png" />' ]] \
    && ok "confirm returns the element for a copy of the browsed picture, its ratio kept" \
    || fail "the skinned dialog returned [$result]"
else
  fail "the skinned dialog did not open"
  kill $host 2>/dev/null
fi

# --- The two sheets, from page script.
wine 'C:\clipboard_fill.exe' bitmap 300 200 || fail "clipboard_fill"
timeout 120 wine cscript //nologo 'C:\dialog_checks.js' sheets > "$work/sheets.txt" 2>&1 &
script=$!
if sheet=$(wait_window '이미지 속성'); then
  ok "the image property sheet opens with its caption"
  focus_window "$sheet"
  place_of "$sheet"
  sleep 1
  shot sheet-open
  xdo key Return  # swallowed on the page
  sleep 0.5
  wait_window '이미지 속성' 2 >/dev/null && ok "Enter does not close the sheet" || fail "Enter closed the sheet"
  # OK sits where Cancel would be, Cancel where Help would be.
  eval "$(xdo getwindowgeometry --shell "$sheet" | tr 'A-Z' 'a-z' | grep -E '^(width|height)=')"
  click $((width - 147)) $((height - 19))
else
  fail "the image property sheet did not open"
fi
if typesheet=$(wait_window '이미지 종류 선택'); then
  ok "the image type sheet opens with its caption"
  focus_window "$typesheet"
  place_of "$typesheet"
  sleep 1
  shot type-open
  click 102 161  # " 90"
  click 112 95   # " PNG"
  shot type-turned
  eval "$(xdo getwindowgeometry --shell "$typesheet" | tr 'A-Z' 'a-z' | grep -E '^(width|height)=')"
  click $((width - 147)) $((height - 19))
else
  fail "the image type sheet did not open"
fi
wait $script
sheets=$(tr -d '\r' < "$work/sheets.txt")
echo "$sheets"
expected_sheet='sheet=[<a  target="self" href="http://example.com/">'$'\n''<img style="width:300px; height:200px" title="a &quot;quoted&quot; title" border="" src="file:///C:/users/'
[[ $sheets == "$expected_sheet"*'/qorvaTemp/'*'.png" />'$'\n''</a>]'* ]] \
  && ok "the sheet's OK returns the linked element" || fail "the sheet returned: $sheets"
[[ $sheets == *$'\n''type=[<img style="width:200px; height:300px;" border="0" src="file:///C:\users\'*'.png" alt="'*'.png">]' ]] \
  && ok "the type sheet's choices save a turned PNG" || fail "the type sheet returned: $sheets"

# --- The photo editor, over a screen of a known pattern: orange with a blue block.
convert -size 1024x768 xc:'#ff8000' -fill '#0040ff' -draw 'rectangle 0,0 199,99' "$work/screen.png"
display -window root "$work/screen.png" 2>/dev/null
timeout 180 wine 'C:\method_host.exe' 'C:\editor.txt' -- setScreenCapture 0 &
host=$!
if editor=$(wait_sized 900x680); then
  focus_window "$editor"
  place_of "$editor"
  [ "$wx,$wy" = "62,44" ] && ok "the editor opens centred, 900 x 680" || fail "the editor is at $wx,$wy"
  sleep 1
  shot editor-open
  band=$(pixel editor-open $((wx + 150)) $((wy + 5)))
  [ "$band" = "54 92 150" ] && [ "$(pixel editor-open $((wx + 300)) $((wy + 675)))" = "54 92 150" ] \
    && ok "the top and bottom bands" || fail "band pixel $band"
  [ "$(pixel editor-open $((wx + 650)) $((wy + 24)))" = "220 30 30" ] && ok "the red swatch in its place" \
    || fail "swatch pixel $(pixel editor-open $((wx + 650)) $((wy + 24)))"
  # Undo is greyed (its blue body through the grey matrix); resize keeps its colour.
  undo=($(pixel editor-open $((wx + 196)) $((wy + 19))))
  [ "${undo[0]}" = "${undo[1]}" ] && [ "${undo[1]}" = "${undo[2]}" ] && [ "${undo[0]}" -ge 102 ] \
    && [ "${undo[0]}" -le 104 ] && ok "a disabled tool shows its grey face (${undo[*]})" \
    || fail "undo pixel ${undo[*]}"
  [ "$(pixel editor-open $((wx + 243)) $((wy + 45)))" = "58 110 190" ] && ok "an active tool keeps its face" \
    || fail "resize pixel $(pixel editor-open $((wx + 243)) $((wy + 45)))"
  click 422 29  # whole screen: the editor steps aside and comes back with the capture
  # The capture at the canvas's top left: the blue block, then orange beyond it (it went
  # through a JPEG file, so give or take a few).
  captured=
  for _ in $(seq 30); do
    sleep 0.5
    shot editor-captured
    near "$(pixel editor-captured $((wx + 11)) $((wy + 90)))" "0 64 255" \
      && near "$(pixel editor-captured $((wx + 400)) $((wy + 300)))" "255 128 0" \
      && [ "$(pixel editor-captured $((wx + 150)) $((wy + 5)))" = "54 92 150" ] && captured=1 && break
  done
  [ -n "$captured" ] && ok "the whole-screen capture shows on the canvas" \
    || fail "canvas pixels after the capture"
  focus_window "$editor"
  click 228 53  # crop: disabled, nothing happens
  click 296 53  # rotate right
  # The resize dialog over the editor: 768 x 1024 kept in proportion, 384 wide is 512 high.
  click 251 53
  if resize=$(wait_sized 172x215 20); then
    focus_window "$resize"
    editor_x=$wx editor_y=$wy
    place_of "$resize"
    sleep 0.5
    shot resize-open
    [ "$(pixel resize-open $((wx + 80)) $((wy + 10)))" = "54 92 150" ] \
      && [ "$(pixel resize-open $((wx + 30)) $((wy + 190)))" = "58 110 190" ] \
      && ok "the resize dialog draws its background and buttons" || fail "resize dialog pixels"
    retype 100 62 384
    shot resize-typed
    click 61 194  # apply
    wait_gone "$resize"
    wx=$editor_x wy=$editor_y
    focus_window "$editor"
  else
    fail "the resize dialog did not open"
  fi
  click 829 46  # insert
  if box=$(wait_window 'QORVA Editor' 20); then
    focus_window "$box"
    xdo key n  # No: the editor stays
    wait_gone "$box"
    wait_sized 900x680 >/dev/null && focus_window "$editor" && ok "No to the insert question keeps the editor open" \
      || fail "the editor went with No"
    xdo key Return  # Enter returns the last insert's element
  else
    fail "insert asked no question"
  fi
  wait $host
  result=$(cat "$drive/editor.txt")
  echo "editor=[$result]"
  [[ $result == '<img style="width:384px; height:512px" src="file:///C:\users\'*'\qorvaTemp\'*'.jpg" />' ]] \
    && ok "insert gives the turned and resized capture's element" || fail "the editor returned [$result]"
  jpeg=${result#*qorvaTemp\\}
  jpeg=$drive/users/$(whoami)/Temp/qorvaTemp/${jpeg%%\"*}
  # Turned right, the blue block is now at the top right.
  if [ -f "$jpeg" ]; then
    [ "$(identify -format '%w %h' "$jpeg")" = "384 512" ] && ok "the JPEG is 384 x 512" \
      || fail "the JPEG is $(identify -format '%w %h' "$jpeg")"
    corner=($(convert "$jpeg" -format "%[fx:int(255*r+.5)] %[fx:int(255*g+.5)] %[fx:int(255*b+.5)]" -crop 1x1+380+5 info:))
    [ "${corner[2]}" -gt 200 ] && [ "${corner[0]}" -lt 60 ] && ok "the JPEG shows the pattern turned" \
      || fail "the JPEG's top right corner is ${corner[*]}"
  else
    fail "no JPEG at $jpeg"
  fi
else
  fail "the photo editor did not open"
  kill $host 2>/dev/null
fi

finish
