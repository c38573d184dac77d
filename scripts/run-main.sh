#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job: the `qorva` command creating a
# control from the sample page's parameters and calling it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-deps.sh
cmake --preset native >/dev/null
cmake --build build/native --target qorva

qorva=build/native/src/qorva
"$qorva" call --params samples/editor-page.params getQorvaPluginVersion \
  -- toSavePathUrl -- saveFolderNameRule -- getHTMLFormatFromType
