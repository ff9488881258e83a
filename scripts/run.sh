#!/usr/bin/env bash
# Builds Quorvane (release), prepares Perquorvane/ in the current directory when needed
# (never overwriting results) and starts the program.
set -euo pipefail
src="$(cd "$(dirname "$0")/.." && pwd)"
"$src/scripts/install-deps.sh"
cmake --preset release -S "$src" >/dev/null
cmake --build "$src/build/release" -j"$(nproc)" --target quorvane mkquorvane mkassets
bin="$src/build/release"
"$bin/mkquorvane" Perquorvane
[ -f Perquorvane/itafis3.bmp ] && [ -f Perquorvane/itareg2.bmp ] && [ -f Perquorvane/formavvio3.jpg ] \
  || "$bin/mkassets" Perquorvane
exec "$bin/quorvane"
