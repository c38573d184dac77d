#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job: a short tour of the `qorva`
# command on the files in samples/. A word-processor clipboard capture is cleaned; the
# cleaned HTML and its pictures become one multipart/related message; the message is
# decoded back and what it gives is compared with what went in.
# --keep leaves the tour's files in place and says where they are.
# The helpers set the variables their first argument names, which shellcheck cannot follow.
# shellcheck disable=SC2154
set -euo pipefail
cd "$(dirname "$0")/.."

keep=0
case "${1:-}" in
  "") ;;
  --keep) keep=1 ;;
  *) echo "usage: bash scripts/run-main.sh [--keep]" >&2; exit 2 ;;
esac

bash scripts/install-deps.sh
cmake --preset native >/dev/null
cmake --build build/native --target qorva

qorva=$PWD/build/native/src/qorva
samples=$PWD/samples
params=$samples/editor-page.params
# The capture's pictures: the name the word processor gives each in its clipboard folder,
# and the sample it is made from.
clip_names=(clip_image001.png clip_image002.jpg)
clip_samples=(chart.png photo.jpg)

# The control puts its working folder under TMPDIR: a folder of the tour's own keeps /tmp
# clean and goes when the tour ends.
tour=$(mktemp -d "${TMPDIR:-/tmp}/qorva-tour.XXXXXX")
if [ "$keep" = 1 ]; then
  fate="kept"
else
  fate="removed at the end"
  trap 'rm -rf "$tour"' EXIT
fi
export TMPDIR=$tour
# Lengths and offsets count bytes.
export LC_ALL=C

# The helpers stay inside the shell: a process per figure would cost more than the tour.
now_us() { printf -v "$1" %s "${EPOCHREALTIME//[!0-9]/}"; }
elapsed_ms() { printf -v "$1" %d $(((${EPOCHREALTIME//[!0-9]/} - $2) / 1000)); }
slurp() { IFS= read -r -d '' "$1" <"$2" || true; }
# How often the text $2 occurs in $3, into the variable $1.
count() {
  local rest=${3//"$2"/}
  printf -v "$1" %d $(((${#3} - ${#rest}) / ${#2}))
}
# The values of the src attributes of $2, in order, into the array $1.
sources_of() {
  local -n list=$1
  local rest=$2 pattern='src="([^"]*)"'
  list=()
  while [[ $rest =~ $pattern ]]; do
    list+=("${BASH_REMATCH[1]}")
    rest=${rest#*"${BASH_REMATCH[0]}"}
  done
}
# Gives the clipboard header's offsets (also kept in `offsets`) to the text that follows
# it. The fields keep their ten digits, so the header's length, and with it every offset,
# stays as it is.
declare -A offsets
set_clipboard_offsets() {
  local -n capture=$1
  local start='<!--StartFragment-->' before field value pattern
  before=${capture%%'<html'*}
  offsets=([StartHTML]=${#before} [EndHTML]=${#capture})
  before=${capture%%"$start"*}
  offsets[StartFragment]=$((${#before} + ${#start}))
  before=${capture%%'<!--EndFragment-->'*}
  offsets[EndFragment]=${#before}
  for field in "${!offsets[@]}"; do
    printf -v value '%s:%010d' "$field" "${offsets[$field]}"
    pattern="$field:[0-9]+"
    if [[ $capture =~ $pattern ]]; then capture=${capture/"${BASH_REMATCH[0]}"/$value}; fi
  done
}

now_us tour_start
version=$("$qorva" call --params "$params" getQorvaPluginVersion)
echo
echo "qorvaeditor $version: a tour of the qorva command on samples/"
echo "(control parameters from samples/editor-page.params; files in $tour, $fate)"

echo
echo "== 1. Paste clean-up: a word-processor clipboard capture"
# The word processor leaves the pictures of a copy in a clipboard folder and links them
# from the HTML by file URL; the template's placeholder stands for that folder.
clipboard=$tour/clipboard
mkdir "$clipboard"
for i in "${!clip_names[@]}"; do cp "$samples/${clip_samples[$i]}" "$clipboard/${clip_names[$i]}"; done
slurp capture_text "$samples/word-capture.template.html"
capture_text=${capture_text//@CLIPBOARD_FOLDER@/$clipboard}
set_clipboard_offsets capture_text
printf %s "$capture_text" >"$tour/capture.html"
fragment=${capture_text#*'<!--StartFragment-->'}
fragment=${fragment%%'<!--EndFragment-->'*}
echo "capture   samples/word-capture.template.html -> capture.html, ${#capture_text} bytes"
echo "          clipboard \"HTML Format\" ${capture_text%%$'\r'*}: HTML at bytes" \
  "${offsets[StartHTML]}-${offsets[EndHTML]}, fragment at ${offsets[StartFragment]}-${offsets[EndFragment]}"
echo "          pictures in clipboard/: ${clip_names[*]}"

now_us start
"$qorva" clean "$tour/capture.html" --type >"$tour/cleaned.html" 2>"$tour/type.txt"
elapsed_ms clean_ms "$start"
slurp cleaned_text "$tour/cleaned.html"
# The type code is the last line on standard error.
slurp source_type "$tour/type.txt"
source_type=${source_type%$'\n'}
source_type=${source_type##*$'\n'}
[ "$source_type" = 1 ] && source_name="word processor" || source_name="not the word processor"
sources_of cleaned_sources "$cleaned_text"
count vml_before '<v:shape ' "$fragment"
count vml_after '<v:shape ' "$cleaned_text"
count if_before '[if ' "$fragment"
count if_after '[if ' "$cleaned_text"
count mso_before 'class=Mso' "$fragment"
count mso_after 'class=Mso' "$cleaned_text"
echo "clean     qorva clean capture.html -> cleaned.html, ${#cleaned_text} bytes," \
  "source type $source_type ($source_name)"
echo "          kept the fragment only; in it, VML drawings $vml_before -> $vml_after," \
  "conditional comments $if_before -> $if_after,"
echo "          office style classes $mso_before -> $mso_after (the others became style attributes)"
echo "          ${#cleaned_sources[@]} pictures, still linked from the clipboard folder:"
for src in "${cleaned_sources[@]}"; do echo "            ${src#"file:///$tour/"}"; done

echo
echo "== 2. MIME: the cleaned HTML and its pictures as one multipart/related message, and back"
# A page registers each picture the message is to carry, then encodes.
register=()
for src in "${cleaned_sources[@]}"; do register+=(mimeAddEncodingFile "$src" 0 --); done
now_us start
"$qorva" call --params "$params" --param mimeCharset=utf-8 "${register[@]}" \
  --out "$tour/message.mht" QorvaEncodeMime @"$tour/cleaned.html" 0
elapsed_ms encode_ms "$start"
parts=()
content_ids=0
while IFS= read -r line; do
  line=${line%$'\r'}
  case $line in
    "Content-Type: "*) type=${line#Content-Type: } && parts+=("${type%%;*}") ;;
    "Content-ID: "*) content_ids=$((content_ids + 1)) ;;
  esac
done <"$tour/message.mht"
slurp message_text "$tour/message.mht"
echo "encode    QorvaEncodeMime cleaned.html + ${#cleaned_sources[@]} pictures -> message.mht," \
  "${#message_text} bytes"
part_list=""
part_count=0
for type in "${parts[@]:1}"; do
  part_list+="${part_list:+, }$type"
  part_count=$((part_count + 1))
done
echo "          ${parts[0]:-no message} of $part_count parts: $part_list;" \
  "$content_ids in base64 with a Content-ID"

now_us start
"$qorva" call --params "$params" --out "$tour/decoded.html" QorvaDecodeMime @"$tour/message.mht"
elapsed_ms decode_ms "$start"
slurp decoded_text "$tour/decoded.html"
sources_of decoded_sources "$decoded_text"
echo "decode    QorvaDecodeMime message.mht -> decoded.html, ${#decoded_text} bytes," \
  "${#decoded_sources[@]} pictures in the working folder:"
# Each decoded picture against the sample it was made from, byte for byte; the HTML
# against the cleaned HTML once its links point back at the clipboard folder.
identical=0
relinked=$decoded_text
for i in "${!clip_names[@]}"; do
  sample=samples/${clip_samples[$i]}
  file=${decoded_sources[$i]:-}
  file=${file#file:///}
  if [ -n "$file" ] && cmp -s "$sample" "$file"; then
    identical=$((identical + 1))
    verdict="identical to $sample"
  else
    verdict="DIFFERS from $sample"
    [ -n "$file" ] || verdict="missing: $sample has no counterpart"
  fi
  shown=${file#"$tour/"}
  printf '            %-28s %s\n' "${shown:-(no file)}" "$verdict"
  if [ -n "$file" ]; then relinked=${relinked//"${decoded_sources[$i]}"/"${cleaned_sources[$i]}"}; fi
done
[ "$relinked" = "$cleaned_text" ] && html_verdict="identical to" || html_verdict="DIFFERS from"
echo "          HTML: $html_verdict cleaned.html, the picture links aside"

echo
echo "== 3. Container mode: the sample editor page in the control's embedded browser"
# A display of the user's, or Xvfb's when there is none.
container_verdict="not run"
container_ms=-
xvfb=
if [ -z "${DISPLAY:-}" ] && command -v Xvfb >/dev/null; then
  source scripts/../tests/e2e/start_xvfb.sh
  start_xvfb "$tour" 1024x768x24 && trap 'kill "$xvfb" 2>/dev/null; [ "$keep" = 1 ] || rm -rf "$tour"' EXIT
fi
if [ -n "${DISPLAY:-}" ]; then
  now_us start
  container_out=$("$qorva" call --params "$params" --param hasContainer=1 \
    --param qorvaEditorInitURL="file://$samples/editor" --param width=800 --param height=600 \
    --wait-loaded 30 QORVASetMethod setHtml @"$tour/cleaned.html" -- \
    QORVAGetMethod getHtml 2>"$tour/container.err")
  container_rc=$?
  elapsed_ms container_ms "$start"
  mapfile -t container_lines <<<"$container_out"
  edited=${container_lines[*]:1}
  echo "page      samples/editor/pages/editor_container.html on display $DISPLAY, exit status $container_rc"
  grep -q '^QORVA_Event_Loaded$' "$tour/container.err" && echo "          QORVA_Event_Loaded fired"
  echo "          setHtml with cleaned.html answered '${container_lines[0]:-}';" \
    "getHtml gave ${#edited} characters back"
  if [ "$container_rc" = 0 ] && [ "${container_lines[0]:-}" = ok ] && [ ${#edited} -gt 0 ]; then
    container_verdict="passed"
  else
    container_verdict="FAILED"
  fi
else
  echo "page      skipped: no display, and no Xvfb to start one"
fi

echo
echo "== 4. Figures"
mapfile -t picture_sizes < <(cd "$samples" && stat -c %s "${clip_samples[@]}")
picture_bytes=0
for s in "${picture_sizes[@]}"; do picture_bytes=$((picture_bytes + s)); done
printf '  %-7s %-50s %7s\n' step "bytes in -> bytes out" time \
  clean "${#capture_text} capture -> ${#cleaned_text} HTML" "$clean_ms ms" \
  encode "${#cleaned_text} HTML + $picture_bytes pictures -> ${#message_text} message" "$encode_ms ms" \
  decode "${#message_text} message -> ${#decoded_text} HTML + ${#decoded_sources[@]} pictures" \
  "$decode_ms ms" \
  container "page loaded, cleaned HTML set and read back" "$container_ms ms"
elapsed_ms tour_ms "$tour_start"
echo "  the tour as a whole, five qorva runs included: $tour_ms ms"
echo
echo "files compared: $identical of ${#clip_names[@]} pictures identical after the round trip," \
  "HTML $html_verdict the cleaned HTML; container mode $container_verdict"
[ "$identical" = "${#clip_names[@]}" ] && [ "$html_verdict" = "identical to" ] &&
  [ "$container_verdict" != "FAILED" ]
