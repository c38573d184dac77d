#!/usr/bin/env bash
# Checks the resources of both installers with Debian's python3-pefile.
# Usage: run_installer_resources.sh WIN64_BUILD_DIR WIN32_BUILD_DIR. Exits 77 (skipped)
# without pefile or the builds.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
win64=${1:?x86_64 build folder}
win32=${2:?i686 build folder}
files=("$win64/src/win32/setup/qorvaSetup64.exe" "$win64/src/win32/activex/qorvaeditor.ocx"
       "$win32/src/win32/setup/qorvaSetup.exe" "$win32/src/win32/activex/qorvaeditor.ocx")
for f in "${files[@]}"; do
  [ -f "$f" ] || { echo "SKIPPED: no $f (run scripts/build-windows.sh first)"; exit 77; }
done
# The Debian package installs for the system's interpreter, which may not be first on PATH.
for python in python3 /usr/bin/python3; do
  if "$python" -c 'import pefile' 2>/dev/null; then
    exec "$python" "$here/check_installer_resources.py" "${files[@]}"
  fi
done
echo "SKIPPED: python3-pefile is not installed"
exit 77
