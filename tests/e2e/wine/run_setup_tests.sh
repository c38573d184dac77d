#!/usr/bin/env bash
# The 64-bit installer on wine64 under its own Xvfb, used as a person would: keys and
# clicks through the wizard, message boxes read by the watcher, a screenshot of each page.
# Then the unattended mode with its exit statuses.
# Usage: run_setup_tests.sh WINDOWS_BUILD_DIR [SCREENSHOT_DIR]; the screenshots are kept in
# SCREENSHOT_DIR when given. Exits 77 (skipped) without wine, Xvfb, xdotool, ImageMagick or
# the build.
set -uo pipefail

build=${1:?windows build folder}
shots=${2:-}
here=$(cd "$(dirname "$0")" && pwd)
setup=$build/src/win32/setup/qorvaSetup64.exe
ocx=$build/src/win32/activex/qorvaeditor.ocx
watcher=$build/tests/e2e/wine/msgbox_watcher.exe
probe_exe=$build/tests/e2e/wine/window_probe.exe

source "$here/wine_env.sh"
need_tool wine wine64
need_tool Xvfb
need_tool xdotool
need_tool convert ImageMagick
need_tool import ImageMagick
need_file "$setup" "$ocx" "$watcher" "$probe_exe"

# A Korean locale, as the installer's users have: Wine then links a Korean font into the
# dialog font, without which the wizard's texts draw as empty boxes.
export LANG=ko_KR.UTF-8
start_wine
installed=$drive/windows/system32/qorvaeditor.ocx
cp "$setup" "$watcher" "$probe_exe" "$here/setup_checks.js" "$drive/"

clsid='{31BA59EE-F36B-4B03-B62E-E3099BB57FD8}'
server_path() { reg_default "HKCR\\CLSID\\$clsid\\InprocServer32"; }
registered_here() { [ "$(server_path | tr 'A-Z' 'a-z')" = 'c:\windows\system32\qorvaeditor.ocx' ]; }
unregistered() { ! key_exists "HKCR\\CLSID\\$clsid"; }
same_as_built() { cmp -s "$installed" "$ocx"; }
absent() { [ ! -e "$installed" ]; }
page_script_creates_it() {  # [refused]: the control is created but answers nothing
  timeout 120 wine cscript //nologo 'C:\setup_checks.js' "$@" >"$work/js.txt" 2>&1
  local rc=$?
  tr -d '\r' <"$work/js.txt"
  [ $rc -eq 0 ]
}

# Waits up to 60 seconds for the wizard's window to be titled $1. The wizard keeps its one
# X window from page to page; its name is read as the window manager would, in UTF-8,
# which a search by name does not match for text outside ASCII.
wait_page() {
  local deadline=$((SECONDS + 60))
  while [ $SECONDS -lt $deadline ]; do
    [ "$(xdo getwindowname "$window" 2>/dev/null)" = "$1" ] && return 0
    sleep 0.2
  done
  return 1
}
# The wizard's controls as the probe sees them, in $work/probe.txt.
probe() { wine 'C:\window_probe.exe' 2>/dev/null | tr -d '\r' >"$work/probe.txt"; }
has() { grep -qF -- "$1" "$work/probe.txt"; }
control() {  # id -> the probe's line for that control
  awk -v id="id=$1" '$2 == id' "$work/probe.txt"
}
enabled() { control "$1" | grep -q " enabled=$2 "; }  # id, 0 or 1
checked() { control "$1" | grep -q " checked=$2 "; }
no_control() { [ -z "$(control "$1")" ]; }
text_is() { [ "$(control "$1" | sed 's/^[^"]*//')" = "\"$2\"" ]; }
centre() { control "$1" | sed -n 's/.* at=\([0-9-]*\),\([0-9-]*\) .*/\1 \2/p'; }
size() { control "$1" | sed -n 's/.* size=\([0-9]*\),\([0-9]*\) .*/\1 \2/p'; }
click() {  # window, control id: a click in the middle of the control
  probe
  local at
  at=$(centre "$2")
  [ -n "$at" ] || { fail "no control $2 to click"; return 1; }
  # shellcheck disable=SC2086
  xdo mousemove --window "$1" $at click 1
}
keys() {  # window, keys...
  local window=$1
  shift
  focus_window "$window" && xdo key "$@"
}

# --- Screenshots: the page looks like a dialog and shows its text.
pixel() { convert "$1" -format "%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]" -crop "1x1+$2+$3" info:; }
dark_pixels() {  # file x y w h -> pixels darker than mid grey
  convert "$1" -crop "${4}x${5}+${2}+${3}" +repage -colorspace Gray -threshold 50% \
    -format '%[fx:round((1-mean)*w*h)]' info:
}
screenshot() {  # window, name, then the ids of controls whose text must show
  local file=$work/$2.png id at x y
  import -window "$1" "$file" || { fail "screenshot of $2"; return; }
  [ -n "$shots" ] && mkdir -p "$shots" && cp "$file" "$shots/"
  read -r r g b < <(pixel "$file" 2 2)
  if [ "$r" -ge 200 ] && [ "$r" = "$g" ] && [ "$g" = "$b" ]; then
    ok "$2 page: a light grey dialog face ($r,$g,$b)"
  else
    fail "$2 page: the face at 2,2 is ($r,$g,$b)"
  fi
  for id in "${@:3}"; do
    read -r x y < <(centre "$id")
    read -r w h < <(size "$id")
    local n
    n=$(dark_pixels "$file" $((x - w / 2)) $((y - h / 2)) "$w" "$h")
    [ "${n:-0}" -ge 15 ] && ok "$2 page: control $id drawn ($n dark pixels)" ||
      fail "$2 page: control $id shows no text (${n:-?} dark pixels at $x,$y)"
  done
}

# Waits until the watcher has seen $1 boxes.
wait_boxes() {
  local deadline=$((SECONDS + 60))
  until [ "$(grep -c . "$drive/boxes.txt" 2>/dev/null)" -ge "$1" ] || [ $SECONDS -ge $deadline ]; do
    sleep 0.1
  done
}
start_wizard() {
  start_watcher 600
  wine 'C:\qorvaSetup64.exe' >/dev/null 2>&1 &
  setup_pid=$!
  window=$(wait_window Start) || { fail "the wizard did not show its start page"; return 1; }
}
finish_wizard() {  # clicks Finish; the program ends with status 0
  click "$window" 12325
  local deadline=$((SECONDS + 30))
  while kill -0 "$setup_pid" 2>/dev/null && [ $SECONDS -lt $deadline ]; do sleep 0.1; done
  if kill -0 "$setup_pid" 2>/dev/null; then
    fail "the wizard did not end on Finish"
  else
    wait "$setup_pid"
    check "the wizard ends with status 0" [ $? -eq 0 ]
  fi
  stop_watcher
}
# Next on the setup page; the step's message box comes, then the completion page.
next_step() {
  local before
  before=$(grep -c . "$drive/boxes.txt" 2>/dev/null)
  click "$window" 12324
  wait_boxes $((before + 1))
  wait_page '완료' || fail "no completion page after the step"
}

# --- Install through the wizard, looking at every page.
if start_wizard; then
  probe
  check "start page: title, no system menu" has 'window "Start" sysmenu=0'
  check "start page: Back disabled" enabled 12323 0
  check "start page: Next enabled" enabled 12324 1
  check "start page: Cancel enabled" enabled 2 1
  check "start page: no Help button" no_control 9
  check "start page: its text" has '"설치/제거를 시작합니다."'
  screenshot "$window" start -1
  keys "$window" Return
  wait_page Install/Uninstall || fail "Return did not lead to the setup page"
  probe
  check "setup page: title" has 'window "Install/Uninstall" sysmenu=0'
  check "setup page: install checked" checked 1000 1
  check "setup page: uninstall not checked" checked 1001 0
  check "setup page: the install radio button's text" text_is 1000 "설치"
  check "setup page: the uninstall radio button's text" text_is 1001 "제거"
  check "setup page: its text" has '"QORVA Editor를 설치/제거합니다."'
  check "setup page: Back enabled" has 'id=12323 enabled=1'
  screenshot "$window" setup -1 1000 1001
  next_step
  probe
  check "completion page: title, no system menu" has 'window "완료" sysmenu=0'
  check "completion page: Cancel disabled" enabled 2 0
  check "completion page: Finish enabled" enabled 12325 1
  check "completion page: Back enabled" enabled 12323 1
  check "completion page: its text" has '"설치/제거를 완료했습니다."'
  screenshot "$window" completion -1
  # Disabled Cancel is drawn grey: nothing in it as dark as the Finish button's text.
  read -r cx cy < <(centre 2)
  check "completion page: Cancel drawn disabled" [ "$(dark_pixels "$work/completion.png" $((cx - 30)) $((cy - 6)) 60 12)" -eq 0 ]
  finish_wizard
  check "install: its message box" [ "$boxes" = "[설치 성공] 설치에 성공했습니다." ]
  check "install: the file in system32 is the built control" same_as_built
  check "install: the class points at it" registered_here
  check "install: page script creates the control" page_script_creates_it
fi

# --- Uninstall, Back, install, Back, uninstall: the step runs each time with the radio
# buttons of that moment.
if start_wizard; then
  keys "$window" Return
  wait_page Install/Uninstall || fail "no setup page"
  keys "$window" Down  # the arrow moves the choice to uninstall
  probe
  check "the Down arrow checks uninstall" checked 1001 1
  next_step
  check "uninstall: the file is gone" absent
  check "uninstall: the class is gone" unregistered
  click "$window" 12323
  wait_page Install/Uninstall || fail "Back did not return to the setup page"
  probe
  check "back on the setup page: uninstall still checked" checked 1001 1
  check "back on the setup page: Cancel enabled again" enabled 2 1
  click "$window" 1000
  next_step
  check "install after Back: the file is back" same_as_built
  check "install after Back: registered" registered_here
  click "$window" 12323
  wait_page Install/Uninstall || fail "Back did not return to the setup page"
  click "$window" 1001
  next_step
  finish_wizard
  expected=$'[제거 성공] 제거에 성공했습니다.\n[설치 성공] 설치에 성공했습니다.\n[제거 성공] 제거에 성공했습니다.'
  check "uninstall, install, uninstall: their message boxes" [ "$boxes" = "$expected" ]
  check "uninstalled again: the file is gone" absent
  check "uninstalled again: the class is gone" unregistered
fi

# --- Uninstall with nothing installed.
if start_wizard; then
  keys "$window" Return
  wait_page Install/Uninstall || fail "no setup page"
  click "$window" 1001
  next_step
  finish_wizard
  check "uninstall of nothing: module not found" [ "$boxes" = "[제거 오류] qorvaeditor 모듈을 찾지 못했습니다." ]
fi

# --- Unattended, with the exit status and the message on standard error.
silent() {
  timeout 120 wine 'C:\qorvaSetup64.exe' "$@" >/dev/null 2>"$work/stderr.txt"
  rc=$?
  said=$(tr -d '\r' <"$work/stderr.txt")
}
silent /S
check "/S: status 0 and the message" [ "$rc:$said" = "0:설치에 성공했습니다." ]
check "/S: the built control in system32" same_as_built
check "/S: registered" registered_here
check "/S: page script creates the control" page_script_creates_it
silent /S
check "/S again: status 0" [ $rc -eq 0 ]
check "/S again: the built control in system32" same_as_built
# The list of pages goes into the machine's policy; a script with no page is then refused.
policy='HKLM\Software\Policies\QORVA\qorvaeditor'
origins='https://editor.example;https://*.intranet.example:8443'
silent /S "/ORIGINS=$origins"
check "/S /ORIGINS: status 0 and the message" [ "$rc:$said" = "0:설치에 성공했습니다." ]
check "/S /ORIGINS: the list in the machine's policy" [ "$(reg_value "$policy" AllowedOrigins)" = "$origins" ]
check "/S /ORIGINS: page script no longer drives the control" page_script_creates_it refused
silent /S /ORIGINS=editor.example
check "/S /ORIGINS with an unreadable list: a usage error, status 1" [ $rc -eq 1 ]
check "/S /ORIGINS with an unreadable list: the policy stays" [ "$(reg_value "$policy" AllowedOrigins)" = "$origins" ]
wine reg delete "$policy" /f >/dev/null 2>&1
check "without the policy page script drives the control again" page_script_creates_it
silent /S /U
check "/S /U: status 0 and the message" [ "$rc:$said" = "0:제거에 성공했습니다." ]
check "/S /U: the file is gone" absent
check "/S /U: the class is gone" unregistered
silent /s /u
check "/S /U with nothing installed: status 5 and the message" \
  [ "$rc:$said" = "5:qorvaeditor 모듈을 찾지 못했습니다." ]
silent /U
check "/U alone: a usage error, status 1" [ $rc -eq 1 ]
check "/U alone: the usage on standard error" grep -q '/S /U' "$work/stderr.txt"
check "nothing installed by the usage error" absent

finish
