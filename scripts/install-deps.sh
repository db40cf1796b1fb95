#!/usr/bin/env bash
# Installs every Debian package the project needs to build, run and test. Idempotent: packages
# already present are not fetched again.
set -euo pipefail

PACKAGES=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6 libgl-dev
  qt6-webengine-dev libqt6webenginecore6-bin
  libemf2svg-dev libpng-dev libjpeg-dev zlib1g-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-liberation2 fonts-dejavu-core fonts-dancingscript fonts-sil-andika python3 python3-fonttools
  libsdl2-dev libpugixml-dev espeak-ng
  libhunspell-dev hunspell-de-de
  clang libclang-rt-14-dev
  xvfb xauth
  desktop-file-utils appstream
  qt6-translations-l10n help2man
  poppler-utils
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all packages present"
  exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get -o DPkg::Lock::Timeout=600 update
$SUDO apt-get -o DPkg::Lock::Timeout=600 install -y --no-install-recommends "${missing[@]}"
