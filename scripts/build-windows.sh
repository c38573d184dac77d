#!/usr/bin/env bash
# Cross-builds with mingw-w64 for 64-bit Windows.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --preset mingw-x86_64 >/dev/null
cmake --build build/mingw-x86_64 -j "$(nproc)"
