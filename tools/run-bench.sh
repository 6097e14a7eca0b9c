#!/usr/bin/env bash
# Runs every benchmark executable of the bench build; each prints its own ratios. A benchmark that
# fails is reported and the others still run; the exit status says whether any failed.
set -uo pipefail
build=${1:-build-bench}
found=0
failed=()
for b in "$build"/bench/bench_*; do
  # Only the executables: the build also leaves bench_*_autogen folders here.
  [ -f "$b" ] && [ -x "$b" ] || continue
  found=1
  echo "== $(basename "$b")"
  QT_QPA_PLATFORM=offscreen "$b" || failed+=("$(basename "$b")")
done
[ "$found" = 1 ] || echo "No benchmarks built yet."
if [ "${#failed[@]}" -gt 0 ]; then
  echo "Failed: ${failed[*]}"
  exit 1
fi
