#!/usr/bin/env bash
# Installs with apt-get the Debian 12 packages Quorvane needs to build, run and test.
# Packages already present are left alone; nothing is done when all are there.
set -euo pipefail
packages=(
  build-essential cmake ccache pkg-config
  # libqt6opengl6-dev: the CMake files of Qt Charts need Qt OpenGL's, which qt6-charts-dev does not pull in.
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev libqt6sql6-sqlite libgl1-mesa-dev qt6-translations-l10n libsodium-dev
  fonts-liberation fonts-opendyslexic libbenchmark-dev
  xvfb xdotool x11-utils imagemagick python3
  cups printer-driver-cups-pdf poppler-utils
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
