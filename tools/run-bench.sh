#!/usr/bin/env bash
# Runs every benchmark executable of the bench build; each prints its own ratios.
set -euo pipefail
build=${1:-build-bench}
found=0
for b in "$build"/bench/bench_*; do
  [ -x "$b" ] || continue
  found=1
  echo "== $(basename "$b")"
  QT_QPA_PLATFORM=offscreen "$b"
done
[ "$found" = 1 ] || echo "No benchmarks built yet."
