#!/usr/bin/env bash
# Printing and saving as a page meets them, on wine64 under Xvfb: a host document records
# the print commands while the page-setup values are checked around the control's life,
# and the common save dialog is answered from outside as a person would (type a name,
# press Enter; or press Escape).
# Usage: run_output_tests.sh WINDOWS_BUILD_DIR. Exits 77 (skipped) without wine, xdotool or
# the build. QORVA_SCREENSHOTS=DIR keeps the screenshots taken.
set -uo pipefail

build=${1:?windows build folder}
here=$(cd "$(dirname "$0")" && pwd)
ocx=$build/src/win32/activex/qorvaeditor.ocx
host=$build/tests/e2e/wine/print_host.exe

source "$here/wine_env.sh"
for tool in wine Xvfb xdotool import; do
  need_tool $tool
done
need_file "$ocx" "$host"
start_wine
cp "$ocx" "$host" "$here/save_checks.js" "$here/size_checks.js" "$drive/"
mkdir -p "$drive/out"
wine regsvr32 /s 'C:\qorvaeditor.ocx' || fail "regsvr32"

page_setup='HKCU\Software\Microsoft\Internet Explorer\PageSetup'
wine reg add "$page_setup" /v header /d 'User header &p' /f >/dev/null 2>&1
wine reg add "$page_setup" /v footer /d 'User footer &d' /f >/dev/null 2>&1
timeout 120 wine 'C:\print_host.exe' 'User header &p' 'User footer &d' > "$work/print.txt" 2>&1
rc=$?
tr -d '\r' < "$work/print.txt"
[ $rc -eq 0 ] && ok "print commands and the page setup during the control's life" \
  || fail "print host exited $rc"
header=$(reg_value "$page_setup" header)
footer=$(reg_value "$page_setup" footer)
[ "$header" = 'User header &p' ] && [ "$footer" = 'User footer &d' ] \
  && ok "the user's page setup after the host ended" || fail "page setup after: $header / $footer"

# With the administrator's list of pages, the host document's address decides: a listed
# page drives the control, any other gets its failure values and changes nothing.
policy='HKLM\Software\Policies\QORVA\qorvaeditor'
wine reg add "$policy" /v AllowedOrigins /d 'https://editor.example;https://*.intranet.example' /f >/dev/null 2>&1
for page in 'https://editor.example/page.html allowed' 'https://a.intranet.example:443/x allowed' \
  'https://evil.example/page.html refused' 'http://editor.example/page.html refused'; do
  set -- $page
  timeout 120 wine 'C:\print_host.exe' site "$1" "$2" > "$work/site.txt" 2>&1
  rc=$?
  tr -d '\r' < "$work/site.txt"
  [ $rc -eq 0 ] && ok "a page at $1 is $2" || fail "a page at $1: print host exited $rc"
done
wine reg delete "$policy" /f >/dev/null 2>&1

pixel() {  # png x y -> "r,g,b"
  convert "$1" -format '%[fx:int(255*p{'"$2,$3"'}.r)],%[fx:int(255*p{'"$2,$3"'}.g)],%[fx:int(255*p{'"$2,$3"'}.b)]' info:
}

# Screenshots the screen into $work/$2.png once the dialog $1 has painted its buttons
# (Wine shows the frame first and fills it in a moment later): the pixel inside its
# bottom-right button is no longer black. Kept in QORVA_SCREENSHOTS when that is set.
screenshot_painted() {
  local x y w h
  eval "$(xdotool getwindowgeometry --shell "$1" | tr 'A-Z' 'a-z' | grep -E '^(x|y|width|height)=')"
  for _ in $(seq 100); do
    import -window root "$work/$2.png" 2>/dev/null
    if [ "$(pixel "$work/$2.png" $((x + width - 50)) $((y + height - 25)))" != "0,0,0" ]; then
      [ -n "${QORVA_SCREENSHOTS:-}" ] && mkdir -p "$QORVA_SCREENSHOTS" && cp "$work/$2.png" "$QORVA_SCREENSHOTS/"
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# Calls doSaveHTML through cscript and answers the save dialog with the keys given.
# The control's answer ends up in $result.
save_with() {
  local charset=$1 shot=$2
  shift 2
  timeout 120 wine cscript //nologo 'C:\save_checks.js' page "$charset" > "$work/save.txt" 2>&1 &
  local script=$!
  local dialog
  if dialog=$(wait_window 'Save As'); then
    focus_window "$dialog"
    screenshot_painted "$dialog" "$shot" || fail "the save dialog was not painted in time"
    "$@"
  else
    fail "no save dialog appeared"
  fi
  wait $script
  result=$(tr -d '\r' < "$work/save.txt" | sed -n 's/^result=\[\(.*\)\]$/\1/p')
}

type_path() {
  xdotool key ctrl+a
  xdotool type --delay 20 'C:\out\page'
  xdotool key Return
}
save_with UTF-8 save-dialog type_path
[ "$result" = 'C:\out\page.htm' ] && ok "the chosen name gets .htm and its path comes back" \
  || fail "doSaveHTML returned [$result]"
printf '\xef\xbb\xbf<p>a</p>\r\n<p>b</p>\r\nc\rd' > "$work/expected.htm"
cmp -s "$drive/out/page.htm" "$work/expected.htm" && ok "the file's bytes: the mark, CR LF, a lone CR" \
  || fail "the saved file differs: $(od -c "$drive/out/page.htm" 2>&1 | head -3)"

rm -f "$drive/out/page.htm"
save_with euc-kr save-dialog-cancel xdotool key Escape
[ -z "$result" ] && grep -q '^result=\[\]' <(tr -d '\r' < "$work/save.txt") \
  && ok "cancelling returns an empty string" || fail "after cancelling: [$(cat "$work/save.txt")]"
[ ! -e "$drive/out/page.htm" ] && ok "cancelling writes nothing" || fail "a file was written"

# Sizes through the Windows path rules: a file URL with an escape, a plain path, a text
# file and a missing one.
convert -size 640x480 xc:navy "$drive/out/my pic.png"
echo 'just text' > "$drive/out/notes.txt"
timeout 120 wine cscript //nologo 'C:\size_checks.js' 'file:///C:/out/my%20pic.png' \
  'C:\out\my pic.png' 'C:\out\notes.txt' 'C:\out\missing.png' > "$work/size.txt" 2>&1
sizes=$(tr -d '\r' < "$work/size.txt" | tr '\n' ' ')
[ "$sizes" = '[640^480] [640^480] [] [] ' ] && ok "image sizes from a file URL and a path" \
  || fail "image sizes were: $sizes"

finish
