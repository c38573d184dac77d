#!/usr/bin/env bash
# Every speed figure of the paste path, the MIME methods and the text conversions, each
# printed beside its peer (measured in the same run) and its target. Builds the release
# preset's benchmarks first.
#   bash bench/run-all.sh [--quick]
# The machine may be shared: absolute figures drift with its load, so the ratios against
# the peers of the same run are what to compare. Process figures are the best of several
# runs (wall clock) and that run's CPU time (user + system).
set -uo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=$root/build/release
runs=5
[ "${1:-}" = "--quick" ] && runs=2

cmake --preset release >/dev/null || exit 1
nice cmake --build "$build" -j2 --target qorva paste_capture paste_bench paste_bench_large_blocks \
  utf8_bench mime_vs_gmime mime_vs_gmime_large_blocks >/dev/null || exit 1
bench=$build/bench
qorva=$build/src/qorva

work=$(mktemp -d)
xvfb=
owner=
cleanup() {
  [ -n "$owner" ] && kill "$owner" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
export TMPDIR=$work

line() { printf '%-46s %-30s %-40s %s\n' "$@"; }
header() { echo; echo "== $*"; line "figure" "ours" "peer" "target"; }

# best_of N CMD...: the fastest of N runs as "wall user+sys peakKB", the command's output
# going to $work/out.
best_of() {
  local n=$1 best=
  shift
  for _ in $(seq "$n"); do
    /usr/bin/time -f '%e %U %S %M' -o "$work/time" "$@" >"$work/out" 2>/dev/null
    read -r wall user sys peak <"$work/time"
    if [ -z "$best" ] || awk -v a="$wall" -v b="${best%% *}" 'BEGIN{exit !(a<b)}'; then
      best="$wall $(awk -v u="$user" -v s="$sys" 'BEGIN{printf "%.2f", u+s}') $peak"
    fi
  done
  echo "$best"
}

# --- the whole command on the 10 MB capture
"$bench/paste_capture" 10 "$work/capture.html" || exit 1
read -r wall cpu peak < <(best_of "$runs" "$qorva" clean "$work/capture.html")
out_bytes=$(stat -c %s "$work/out")
read -r pwall pcpu ppeak < <(best_of "$runs" iconv -f UTF-8 -t UTF-16LE "$work/capture.html")
read -r lwall lcpu lpeak < <(best_of "$runs" "$qorva" list)
header "qorva clean, 10 MB capture ($(stat -c %s "$work/capture.html") bytes in, $out_bytes out)"
line "whole process, wall (s)" "$wall (cpu $cpu)" "iconv to UTF-16: $pwall (cpu $pcpu)" "<= 0.3"
line "of which start-up (qorva list), wall (s)" "$lwall (cpu $lcpu)" "" ""
line "peak resident memory (MB)" "$(awk -v k="$peak" 'BEGIN{printf "%.1f", k/1024}')" \
  "iconv: $(awk -v k="$ppeak" 'BEGIN{printf "%.1f", k/1024}')" \
  "<= 4 x output = $(awk -v b="$out_bytes" 'BEGIN{printf "%.1f", 4*b/1048576}')"
line "peak / output" "$(awk -v k="$peak" -v b="$out_bytes" 'BEGIN{printf "%.2f", k*1024/b}')" "" "<= 4"
line "start-up resident memory (MB)" "$(awk -v k="$lpeak" 'BEGIN{printf "%.1f", k/1024}')" "" ""

# --- the benchmarks
report() {  # binary, filter: runs it and leaves its JSON report in $work/report.json
  "$bench/$1" --benchmark_filter="$2" --benchmark_format=json >"$work/report.json" 2>"$work/errors" ||
    { echo "$1 failed:"; cat "$work/errors"; }
}
header "clean-up alone (paste_bench ExcelProduction)"
report paste_bench 'ExcelProduction|FreshMemory' && python3 "$root/bench/figures.py" paste "$work/report.json" "default allocation"
report paste_bench_large_blocks 'ExcelProduction|FreshMemory' &&
  python3 "$root/bench/figures.py" paste "$work/report.json" "huge pages"
# glibc keeps a freed block for reuse below a threshold that follows the blocks freed, up
# to 32 MB: at 1 MB every iteration reuses warm memory, at 50 MB (a 280 MB result) every
# one waits for the kernel to clear fresh pages. A fixed threshold gives every size fresh
# memory, as one paste in a new process has, so that the sizes compare like with like.
MALLOC_MMAP_THRESHOLD_=131072 MALLOC_TRIM_THRESHOLD_=131072 report paste_bench 'ExcelProduction|FreshMemory' &&
  python3 "$root/bench/figures.py" paste "$work/report.json" "fresh memory"

header "UTF-8 <-> UTF-16, 10 MB mostly-ASCII HTML (MB/s of UTF-8)"
report utf8_bench . && python3 "$root/bench/figures.py" utf8 "$work/report.json"

header "MIME codecs beside GMime (8 MiB), methods on the 20 x 1 MiB image page"
report mime_vs_gmime . && python3 "$root/bench/figures.py" codecs "$work/report.json" &&
  python3 "$root/bench/figures.py" methods "$work/report.json" "default"
report mime_vs_gmime_large_blocks Mime &&
  python3 "$root/bench/figures.py" methods "$work/report.json" "huge pages"

# --- getPasteHtml from the X11 clipboard
header "getPasteHtml of the 10 MB capture from the X11 clipboard"
if command -v Xvfb >/dev/null && command -v xclip >/dev/null; then
  source "$root/tests/e2e/start_xvfb.sh"
  if start_xvfb "$work" 640x480x24; then
    # xclip stays in the foreground (-quiet), so that it is ended by its own id.
    xclip -quiet -selection clipboard -t text/html -i "$work/capture.html" >/dev/null 2>&1 &
    owner=$!
    sleep 0.5
    read -r wall cpu peak < <(best_of "$runs" "$qorva" call getPasteHtml)
    pasted=$(stat -c %s "$work/out")
    read -r pwall pcpu ppeak < <(best_of "$runs" xclip -o -selection clipboard -t text/html)
    line "qorva call getPasteHtml, wall (s)" "$wall (cpu $cpu)" "xclip -o: $pwall (cpu $pcpu)" "<= 0.5"
    line "  its output (bytes)" "$pasted" "" ""
  else
    echo "Xvfb did not start: skipped"
  fi
else
  echo "Xvfb or xclip missing: skipped"
fi
