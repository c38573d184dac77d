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

finish
