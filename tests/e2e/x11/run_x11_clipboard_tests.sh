#!/usr/bin/env bash
# The paste from a real X11 clipboard: another program (xclip) owns the CLIPBOARD
# selection with HTML, text, a PNG picture or a file list, and `qorva call getPasteHtml`
# reads it. Usage: run_x11_clipboard_tests.sh QORVA. Exits 77 (skipped) without Xvfb or xclip.
set -uo pipefail

qorva=${1:?path of the qorva command}
skip() { echo "SKIPPED: $*"; exit 77; }
command -v Xvfb >/dev/null || skip "Xvfb is not installed"
command -v xclip >/dev/null || skip "xclip is not installed"

work=$(mktemp -d)
xvfb=
cleanup() {
  pkill -f "xclip -selection clipboard" -U "$(id -u)" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
source "$(dirname "$0")/../start_xvfb.sh"
start_xvfb "$work" 640x480x24 || { echo "FAIL: Xvfb did not start"; exit 1; }
export TMPDIR=$work

failures=0
check() {  # name, got, want
  if [ "$2" = "$3" ]; then echo "ok: $1"; else echo "FAIL: $1: got [$2] want [$3]"; failures=$((failures + 1)); fi
}
offer() {  # target, file: xclip owns the clipboard with that content
  xclip -selection clipboard -t "$1" -i "$2" >/dev/null 2>&1
  sleep 0.2
}

printf '<b>bold</b> and <i>more</i>' > "$work/page.html"
offer text/html "$work/page.html"
check "html" "$("$qorva" call getPasteHtml)" "<b>bold</b> and <i>more</i>"
check "html source type" "$("$qorva" call getPasteHtml -- getHTMLFormatFromType | tail -1)" "6"

# Three megabytes are more than one property holds: they come in an incremental transfer.
python3 -c "import sys; sys.stdout.write('<b>bold</b> and <i>more</i> ' * 110000)" >"$work/large.html"
offer text/html "$work/large.html"
"$qorva" call getPasteHtml >"$work/large.out"
printf '\n' >>"$work/large.html"  # the command ends its output with a line end
check "html of 3 MB, in pieces" "$(cmp -s "$work/large.html" "$work/large.out" && echo same)" "same"

printf 'a  <b>' > "$work/text.txt"
offer UTF8_STRING "$work/text.txt"
check "text" "$("$qorva" call getPasteHtml)" "a&nbsp;&nbsp;&lt;b&gt;"
check "no picture" "$("$qorva" call canPasteImageFromClipBoard)" "0"

# A small PNG made by the control itself from the in-memory clipboard's bitmap path.
python3 - "$work/pic.png" <<'PY'
import struct, sys, zlib
w, h = 40, 20
raw = b''.join(b'\x00' + b'\xc8\x1e\x1e' * w for _ in range(h))
def chunk(t, d): return struct.pack('>I', len(d)) + t + d + struct.pack('>I', zlib.crc32(t + d) & 0xffffffff)
png = b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 2, 0, 0, 0)) + chunk(b'IDAT', zlib.compress(raw)) + chunk(b'IEND', b'')
open(sys.argv[1], 'wb').write(png)
PY
offer image/png "$work/pic.png"
check "picture offered" "$("$qorva" call canPasteImageFromClipBoard)" "1"
tag=$("$qorva" call getPasteHtml)
if [[ "$tag" =~ ^\<img\ style=\"width:40px\;\ height:20px\;\"\ border=\"0\"\ src=\"([^\"]+\.jpg)\"\ alt=\"\"\>$ ]] && [ -s "${BASH_REMATCH[1]}" ]; then
  echo "ok: bitmap"
else
  echo "FAIL: bitmap: [$tag]"; failures=$((failures + 1))
fi

cp "$work/pic.png" "$work/my picture.png"
printf 'file://%s\r\n' "$(python3 -c 'import sys, urllib.parse; print(urllib.parse.quote(sys.argv[1]))' "$work/my picture.png")" > "$work/list.txt"
offer text/uri-list "$work/list.txt"
tag=$("$qorva" call getPasteHtml)
if [[ "$tag" =~ ^\<img\ style=\"width:40px\;\ height:20px\;\"\ border=\"0\"\ src=\"file:///.*qorvaTemp/[0-9a-f]{32}\.png\"\ alt=\"\"\>$ ]]; then
  echo "ok: file list"
else
  echo "FAIL: file list: [$tag]"; failures=$((failures + 1))
fi

echo "$failures failure(s)"
[ $failures -eq 0 ]
