#!/usr/bin/env bash
# Builds the release preset and runs every benchmark; prints the medians and the start-up time.
set -euo pipefail
src="$(cd "$(dirname "$0")/.." && pwd)"
cmake --preset release -S "$src" >/dev/null
cmake --build "$src/build/release" -j"$(nproc)" --target bench_storage bench_archive bench_insight quorvane mkquorvane
b="$src/build/release"
for x in bench_storage bench_archive bench_insight; do
  "$b/bench/$x" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true 2>/dev/null | grep -E "median|Benchmark"
done
work=$(mktemp -d)
(cd "$work" && "$b/mkquorvane" Perquorvane >/dev/null)
echo "start-up, offscreen:"
for i in 1 2 3 4 5; do
  (cd "$work" && QT_QPA_PLATFORM=offscreen QUORVANE_STARTUP_PROBE=1 "$b/quorvane" 2>/dev/null)
done
if command -v Xvfb >/dev/null; then
  # The same on an X server, as on a lab computer.
  Xvfb :87 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  sleep 1
  echo "start-up, X server:"
  for i in 1 2 3 4 5; do
    (cd "$work" && DISPLAY=:87 QT_QPA_PLATFORM=xcb QUORVANE_STARTUP_PROBE=1 "$b/quorvane" 2>/dev/null)
  done
  kill "$xvfb"
fi
rm -rf "$work"
