#!/usr/bin/env bash
# Installs what is missing, cross-builds the Windows control (64- and 32-bit), builds the
# native and the sanitizer configurations, and runs every test in both (the native run
# includes the control's tests under wine64); then runs the controls-on-threads test under
# ThreadSanitizer and builds the release configuration, whose -O3 brings out warnings the
# others do not. Every configuration treats warnings as errors.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh --all
jobs=$(nproc)
bash scripts/build-windows.sh
for preset in native asan; do
  echo "== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build "build/$preset" -j "$jobs"
  ctest --test-dir "build/$preset" --output-on-failure -j "$jobs" --timeout 600
done
# clang's ThreadSanitizer: GCC 12's runtime stops on a CHECK in its own allocator here.
echo "== tsan (the controls-on-threads test)"
cmake --preset tsan >/dev/null
cmake --build build/tsan -j "$jobs" --target control_tests
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" build/tsan/tests/control_tests --gtest_filter='Threads.*'
echo "== release (build only)"
cmake --preset release >/dev/null
cmake --build build/release -j "$jobs"
