#!/usr/bin/env bash
# The project's own rules: the portable core includes no platform header, and the code
# is formatted.
set -euo pipefail
cd "$(dirname "$0")/.."

core_dirs=(src/support src/control src/browser src/paste src/mime src/images src/transfer src/setup)
existing=()
for d in "${core_dirs[@]}"; do [ -d "$d" ] && existing+=("$d"); done
if grep -rnE '#\s*include\s*[<"](windows|winuser|wininet|gdiplus|ole2|oleauto|objbase|unistd|sys/|curl/|X11/|xcb/|dlfcn|pthread|iconv)' "${existing[@]}"; then
  echo "lint: the portable core includes a platform header" >&2
  exit 1
fi
if command -v clang-format >/dev/null; then
  files=$(git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp')
  if [ -n "$files" ] && ! clang-format --dry-run --Werror $files 2>/dev/null; then
    echo "lint: clang-format would change files (run: clang-format -i \$(git ls-files '*.cpp' '*.h'))" >&2
    exit 1
  fi
fi
echo "lint: ok"
