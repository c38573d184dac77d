#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need; does nothing when they
# are all present.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  libgtest-dev libgmock-dev libbenchmark-dev
  libx11-dev
  clang
  # The lint's formatting and static-analysis checks.
  clang-format clang-tidy
  libcurl4-openssl-dev
  libjpeg62-turbo-dev libpng-dev libgif-dev libtiff-dev
)
# The system's content-type table, read by the MIME encoder on Linux.
packages+=(media-types)
# The embedded browser of container mode on Linux.
packages+=(libwebkit2gtk-4.1-dev)
if [ "${1:-}" = "--all" ]; then
  # The Windows builds, and wine64 under Xvfb for the control's tests.
  packages+=(g++-mingw-w64-x86-64 g++-mingw-w64-i686 mingw-w64-tools libwine-dev
             wine wine64 fonts-wine xvfb xclip)
  # Dialogs and the installer's wizard driven by keys and clicks, their screenshots, a
  # Korean font for their texts, and the installer's resources read from the built programs.
  packages+=(xdotool imagemagick fonts-nanum python3-pefile)
  # Real peers of the transfer tests and the upload benchmark.
  packages+=(php-cli python3 curl time)
  # The image benchmark compares with ImageMagick.
  packages+=(imagemagick)
  # The photo editor's capture test reads its pictures, and its benchmark compares, with Pillow.
  packages+=(python3-pil)
  # The MIME peers (Python's email package, headless Chromium) and the GMime benchmark.
  packages+=(python3 chromium libgmime-3.0-dev)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
