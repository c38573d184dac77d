#!/usr/bin/env bash
# Cross-builds the control, the tools and the test helpers with mingw-w64, for 64-bit
# (build/mingw-x86_64) and 32-bit (build/mingw-i686) Windows.
set -euo pipefail
cd "$(dirname "$0")/.."

for preset in mingw-x86_64 mingw-i686; do
  echo "== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build "build/$preset" -j "$(nproc)"
done
