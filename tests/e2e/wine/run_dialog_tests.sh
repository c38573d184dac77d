#!/usr/bin/env bash
# The image dialogs as a page meets them, on wine64 under Xvfb. A watcher reads and
# dismisses the message boxes.
# Usage: run_dialog_tests.sh WINDOWS_BUILD_DIR. Exits 77 (skipped) without wine or the build.
set -uo pipefail

build=${1:?windows build folder}
here=$(cd "$(dirname "$0")" && pwd)
ocx=$build/src/win32/activex/qorvaeditor.ocx
watcher=$build/tests/e2e/wine/msgbox_watcher.exe

skip() { echo "SKIPPED: $*"; exit 77; }
for tool in wine Xvfb; do
  command -v $tool >/dev/null || skip "$tool is not installed"
done
[ -f "$ocx" ] || skip "no $ocx (run scripts/build-windows.sh first)"
[ -f "$watcher" ] || skip "no $watcher"

work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset http_proxy https_proxy
xvfb=
cleanup() {
  wineserver -k >/dev/null 2>&1
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
source "$here/../start_xvfb.sh"
start_xvfb "$work" 1024x768x24 || { echo "FAIL: Xvfb did not start"; exit 1; }

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
ok() { echo "ok: $*"; }

wine wineboot -i >/dev/null 2>&1 || skip "wineboot failed"
drive=$WINEPREFIX/drive_c
cp "$ocx" "$watcher" "$here/dialog_checks.js" "$drive/"
wine regsvr32 /s 'C:\qorvaeditor.ocx' || fail "regsvr32"

rm -f "$drive/boxes.txt" "$drive/stop"
wine 'C:\msgbox_watcher.exe' 'C:\boxes.txt' 'C:\stop' 90 &
watcher_pid=$!
timeout 120 wine cscript //nologo 'C:\dialog_checks.js' > "$work/output.txt" 2>&1
rc=$?
touch "$drive/stop"
wait $watcher_pid
output=$(tr -d '\r' < "$work/output.txt")
boxes=$(tr -d '\r' < "$drive/boxes.txt" 2>/dev/null)
echo "$output"

[ $rc -eq 0 ] && ok "the page script ran" || fail "cscript exited $rc"
[ "$output" = $'call1=[]\ncall2=[]' ] && ok "a failed skin fetch returns an empty string" \
  || fail "the calls returned: $output"
message='[QORVA Editor] QORVA Plug-In의 리소스에 접근 할 수 없습니다.'$'\n''관리자에게 문의하세요.'
[ "$boxes" = "$message"$'\n'"$message" ] && ok "the resource message, and again on the next call" \
  || fail "message boxes were: [$boxes]"

echo "$failures failure(s)"
[ $failures -eq 0 ]
