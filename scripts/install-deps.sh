#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Nobrelt need, if any are missing.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libpng-dev nlohmann-json3-dev
  qt6-base-dev qt6-translations-l10n fonts-wqy-microhei
  binutils-mingw-w64-x86-64 binutils-mingw-w64-i686 icoutils imagemagick
  clang-14 libclang-rt-14-dev
  time hyperfine python3
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
