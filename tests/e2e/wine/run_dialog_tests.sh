#!/usr/bin/env bash
# The image dialogs as a page meets them, on wine64 under Xvfb. A watcher reads and
# dismisses the message boxes.
# Usage: run_dialog_tests.sh WINDOWS_BUILD_DIR. Exits 77 (skipped) without wine or the build.
set -uo pipefail

build=${1:?windows build folder}
here=$(cd "$(dirname "$0")" && pwd)
ocx=$build/src/win32/activex/qorvaeditor.ocx
watcher=$build/tests/e2e/wine/msgbox_watcher.exe

source "$here/wine_env.sh"
need_tool wine
need_tool Xvfb
need_file "$ocx" "$watcher"
start_wine
cp "$ocx" "$watcher" "$here/dialog_checks.js" "$drive/"
wine regsvr32 /s 'C:\qorvaeditor.ocx' || fail "regsvr32"

start_watcher
timeout 120 wine cscript //nologo 'C:\dialog_checks.js' > "$work/output.txt" 2>&1
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

finish
