#!/usr/bin/env bash
# Installs what is missing, builds the native and the sanitizer configurations, and runs
# every test in both.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh --all
jobs=$(nproc)
for preset in native asan; do
  echo "== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build "build/$preset" -j "$jobs"
  ctest --test-dir "build/$preset" --output-on-failure -j "$jobs" --timeout 600
done
