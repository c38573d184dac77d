#!/usr/bin/env bash
# The control as a page meets it, on wine64 under Xvfb: self-registration, the registry
# entries, a JScript run through cscript, the guards' message boxes and unregistration.
# Usage: run_wine_tests.sh WINDOWS_BUILD_DIR. Exits 77 (skipped) without wine or the build.
set -uo pipefail

build=${1:?windows build folder}
here=$(cd "$(dirname "$0")" && pwd)
ocx=$build/src/win32/activex/qorvaeditor.ocx
watcher=$build/tests/e2e/wine/msgbox_watcher.exe
host=$build/tests/e2e/wine/host_test.exe
fill=$build/tests/e2e/wine/clipboard_fill.exe
browser_host=$build/tests/e2e/wine/browser_host_test.exe

source "$here/wine_env.sh"
need_tool wine wine64
need_tool Xvfb
need_file "$ocx" "$watcher"
start_wine
cp "$ocx" "$watcher" "$host" "$fill" "$browser_host" "$here"/*.js "$drive/"

clsid='{31BA59EE-F36B-4B03-B62E-E3099BB57FD8}'
libid='{F600CD44-1E2C-44FA-9D2B-D1468B37ED4E}'
scripting='{7DD95801-9882-11CF-9FA9-00AA006C42C4}'
initializing='{7DD95802-9882-11CF-9FA9-00AA006C42C4}'
feature='HKCU\Software\Microsoft\Internet Explorer\Main\FeatureControl\FEATURE_LOCALMACHINE_LOCKDOWN'

for round in 1 2; do
  wine regsvr32 /s 'C:\qorvaeditor.ocx'
  rc=$?
  [ $rc -eq 0 ] && ok "register, round $round" || fail "regsvr32 round $round exited $rc"
done

[ "$(reg_default "HKCR\\QORVAEDITOR.qorvaeditorCtrl.1\\CLSID")" = "$clsid" ] && ok "program id" || fail "program id"
[ "$(reg_default "HKCR\\CLSID\\$clsid")" = "qorvaeditor Control" ] && ok "type name" || fail "type name"
[ "$(reg_default "HKCR\\CLSID\\$clsid\\InprocServer32")" = 'C:\qorvaeditor.ocx' ] && ok "server path" || fail "server path"
[ "$(reg_value "HKCR\\CLSID\\$clsid\\InprocServer32" ThreadingModel)" = "Apartment" ] && ok "threading model" || fail "threading model"
[ "$(reg_default "HKCR\\CLSID\\$clsid\\MiscStatus\\1")" = "131473" ] && ok "misc status" || fail "misc status"
[ "$(reg_default "HKCR\\CLSID\\$clsid\\TypeLib")" = "$libid" ] && ok "type library id" || fail "type library id"
key_exists "HKCR\\TypeLib\\$libid\\1.0" && ok "type library registered" || fail "type library registered"
key_exists "HKCR\\CLSID\\$clsid\\Implemented Categories\\$scripting" && ok "safe for scripting" || fail "safe for scripting"
key_exists "HKCR\\CLSID\\$clsid\\Implemented Categories\\$initializing" && ok "safe for initialising" || fail "safe for initialising"
[ "$(reg_default 'HKCR\QORVAEDITOR.qorvaeditorPropPage.1\CLSID')" = '{31E53C26-A478-4D2F-A2D3-82A3079BA581}' ] && ok "property page" || fail "property page"
[ "$(reg_value "$feature" iexplore.exe)" = "0x0" ] && ok "lockdown feature value" || fail "lockdown feature value"

# Runs a Windows command line with a watcher that reads and dismisses the message boxes;
# the boxes shown end up in $boxes, the command's output in $output, its status in $rc.
run_watched() {
  start_watcher
  timeout 120 wine "$@" > "$work/output.txt" 2>&1
  rc=$?
  output=$(tr -d '\r' < "$work/output.txt")
  stop_watcher
  [ -n "$output" ] && echo "$output"
}
guard_a='Container 모드에서는 사용할 수 없는 메소드입니다.'
guard_b='Container 모드에서만 사용할 수 있는 메소드입니다.'

run_watched cscript //nologo 'C:\control_basics.js'
[ $rc -eq 0 ] && ok "page script checks" || fail "page script exited $rc"
expected="[QORVA Editor] $guard_a"$'\n'"[QORVA Editor] $guard_b"
[ "$boxes" = "$expected" ] && ok "message boxes of the guards" || fail "message boxes were: [$boxes]"

run_watched 'C:\host_test.exe'
[ $rc -eq 0 ] && ok "hosting: safety, persistence, dispatch, events" || fail "host test exited $rc"
[ "$boxes" = "[Host Title] $guard_a" ] && ok "caption from the page's parameters" || fail "host boxes were: [$boxes]"

# The embedded browser's host answers, and a container-mode control whose browser cannot
# be created: the browser's module is disabled for this run.
out=$(WINEDLLOVERRIDES="mscoree,mshtml,ieframe,shdocvw=" timeout 120 wine 'C:\browser_host_test.exe' 2>&1)
rc=$?
out=${out//$'\r'/}
[ "$rc" -eq 0 ] && ok "browser host: handler and external object tables, no browser, no event" ||
  fail "browser host test: $out"
# With the browser's module but without an HTML engine, the browser is created and
# activated in its child window, and no page ever loads.
out=$(timeout 120 wine 'C:\browser_host_test.exe' present 2>&1)
rc=$?
out=${out//$'\r'/}
[ "$rc" -eq 0 ] && ok "browser host: the browser in its QORVIE child, no page, no event" ||
  fail "browser host test with the browser: $out"

# The paste methods against the Windows clipboard.
printf 'Version:0.9\r\nStartHTML:0000000000\r\n<html><body><!--StartFragment--><b>bold</b><!--EndFragment--></body></html>' > "$drive/page.html"
for mode in text bitmap html; do
  case $mode in
    text) wine 'C:\clipboard_fill.exe' text 'a  <b>' ;;
    bitmap) wine 'C:\clipboard_fill.exe' bitmap 64 32 ;;
    html) wine 'C:\clipboard_fill.exe' html 'C:\page.html' ;;
  esac
  timeout 120 wine cscript //nologo 'C:\paste_checks.js' "$mode" > "$work/paste.txt" 2>&1
  rc=$?
  tr -d '\r' < "$work/paste.txt"
  [ $rc -eq 0 ] && ok "paste of $mode" || fail "paste of $mode exited $rc"
done

# Files, MIME and the WinINet upload, against PHP's server on the loopback Wine shares.
if command -v php >/dev/null && command -v python3 >/dev/null; then
  port=$((20000 + RANDOM % 20000))
  mkdir -p "$work/store"
  QORVA_UPLOAD_STORE=$work/store php -S "127.0.0.1:$port" -t "$here/../../data/transfer/upload_page" \
    >/dev/null 2>&1 &
  cleanup_pids+=($!)
  # A noisy 300 by 200 picture: larger than one upload chunk.
  python3 - "$work/picture.png" <<'PY'
import os, struct, sys, zlib
def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
rows = b"".join(b"\0" + os.urandom(300 * 3) for _ in range(200))
open(sys.argv[1], "wb").write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 300, 200, 8, 2, 0, 0, 0))
                              + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))
PY
  base64 "$work/picture.png" > "$drive/picture.b64"
  # Windows keeps this value; the prefix lacks it, since mshtml, which writes it, is disabled.
  wine reg add 'HKCR\.png' /v 'Content Type' /d image/png /f >/dev/null 2>&1
  for _ in $(seq 50); do
    curl -s -o /dev/null "http://127.0.0.1:$port/upload.php?answer=empty" && break
    sleep 0.1
  done
  timeout 120 wine cscript //nologo 'C:\transfer_checks.js' "http://127.0.0.1:$port/upload.php" 'C:\picture.b64' \
    > "$work/transfer.txt" 2>&1
  rc=$?
  tr -d '\r' < "$work/transfer.txt"
  [ $rc -eq 0 ] && ok "files, MIME and upload" || fail "transfer checks exited $rc"
  # The last upload that reached the server is the picture's, not the refused file's.
  cmp -s "$work/store/file1" "$work/picture.png" && ok "uploaded bytes intact" || fail "uploaded bytes differ"
else
  fail "php and python3 are needed for the transfer checks (scripts/install-deps.sh --all)"
fi

wine regsvr32 /u /s 'C:\qorvaeditor.ocx'
rc=$?
[ $rc -eq 0 ] && ok "unregister" || fail "regsvr32 /u exited $rc"
key_exists "HKCR\\CLSID\\$clsid" && fail "class still registered" || ok "class removed"
key_exists "HKCR\\QORVAEDITOR.qorvaeditorCtrl.1" && fail "program id still registered" || ok "program id removed"
[ "$(reg_value "$feature" iexplore.exe)" = "0x0" ] && ok "feature value stays" || fail "feature value gone"
key_exists "HKCR\\Component Categories\\$scripting" && ok "categories stay" || fail "categories gone"

finish
