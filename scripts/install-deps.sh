#!/usr/bin/env bash
# Installs with apt-get the Debian 12 packages Quorvane needs to build, run and test.
# Packages already present are left alone; nothing is done when all are there.
set -euo pipefail
packages=(
  build-essential cmake ccache pkg-config
  # libqt6opengl6-dev: the CMake files of Qt Charts need Qt OpenGL's, which qt6-charts-dev does not pull in.
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev libqt6sql6-sqlite libgl1-mesa-dev qt6-translations-l10n libsodium-dev libsqlite3-dev
  # liblcms2-dev: colour differences for the asset tool's checks of the maps' colours.
  liblcms2-dev
  fonts-liberation fonts-opendyslexic libbenchmark-dev
  # The results on a server: Qt's PostgreSQL driver, and a private cluster for the tests.
  # postgresql-contrib: auth_delay, which slows every wrong password at the server.
  # openssl: the test cluster's certificate for its TLS connections.
  libqt6sql6-psql postgresql postgresql-contrib openssl
  # The "Ascolta" buttons: Qt TextToSpeech through speech-dispatcher with an Italian espeak-ng voice.
  # qt6-declarative-dev: the CMake files of Qt TextToSpeech need Qt QmlIntegration's, which qt6-speech-dev does not pull in.
  qt6-speech-dev qt6-declarative-dev qt6-speech-speechd-plugin speech-dispatcher speech-dispatcher-espeak-ng
  xvfb xdotool x11-utils imagemagick python3
  cups printer-driver-cups-pdf poppler-utils
  # The accessibility audit: the AT-SPI bus and registry, its Python client, a private D-Bus session.
  at-spi2-core python3-pyatspi dbus-x11
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
