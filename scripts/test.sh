#!/usr/bin/env bash
# Builds Quorvane with warnings and sanitizers (preset dev) and runs every test.
set -euo pipefail
src="$(cd "$(dirname "$0")/.." && pwd)"
"$src/scripts/install-deps.sh"
cmake --preset dev -S "$src"
cmake --build "$src/build/dev" -j"$(nproc)"
cd "$src/build/dev"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j"$(nproc)" "$@"
