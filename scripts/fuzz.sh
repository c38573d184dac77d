#!/usr/bin/env bash
# Runs one fuzzing campaign: builds TARGET (a tests/fuzz/*_fuzz.cpp name without .cpp) with
# clang, libFuzzer, AddressSanitizer and UBSan over instrumented libraries in build/fuzz,
# fuzzes for SECONDS starting from its corpus, then merges the inputs that add coverage
# back into tests/fuzz/corpus/TARGET. A finding is left as crash-* in
# build/fuzz/findings/TARGET and the script exits non-zero. RUNS, when given, ends the
# campaign after that many executions if it comes first.
# Usage: scripts/fuzz.sh TARGET SECONDS [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
target=${1:?fuzz target, for example mime_parse_fuzz}
seconds=${2:?seconds to fuzz}
runs=${3:--1}
corpus=tests/fuzz/corpus/$target
[ -f "tests/fuzz/$target.cpp" ] || { echo "no tests/fuzz/$target.cpp" >&2; exit 2; }

cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DQORVA_LIBFUZZER=ON -DQORVA_BENCH=OFF \
  >/dev/null
cmake --build build/fuzz -j "$(nproc)" --target "$target"

work=build/fuzz/campaign/$target
findings=build/fuzz/findings/$target
rm -rf "$work"
mkdir -p "$work" "$findings" "$corpus"
cp "$corpus"/* "$work"/ 2>/dev/null || true
status=0
(cd "$findings" && "$OLDPWD/build/fuzz/tests/fuzz/$target" -max_total_time="$seconds" -runs="$runs" -print_final_stats=1 \
  "$OLDPWD/$work") 2>&1 | tee "build/fuzz/$target.log" | grep -E "^#[0-9]+.*(NEW|pulse|DONE)|stat::|ERROR|SUMMARY" | tail -8 \
  || true
grep -q "SUMMARY\|ERROR: libFuzzer" "build/fuzz/$target.log" && status=1
# The committed corpus gains the campaign's inputs that add coverage to it, and no others.
build/fuzz/tests/fuzz/"$target" -merge=1 "$corpus" "$work" >/dev/null 2>&1 || true
echo "$target: corpus $(ls "$corpus" | wc -l) inputs; log build/fuzz/$target.log"
exit $status
