#!/usr/bin/env bash
# Runs every libFuzzer target for a bounded time from its seed corpus.
set -euo pipefail
build=${1:-build-fuzz}
seconds=${2:-60}
found=0
for f in "$build"/fuzz/fuzz_*; do
  # Only the fuzzer binaries: not CMake's helper folders or files that share the prefix.
  [ -f "$f" ] && [ -x "$f" ] || continue
  found=1
  name=$(basename "$f")
  corpus="fuzz/corpus/${name#fuzz_}"
  work=$(mktemp -d)
  [ -d "$corpus" ] && cp -r "$corpus"/. "$work"/ 2>/dev/null || true
  echo "== $name for ${seconds}s"
  "$f" -max_total_time="$seconds" -print_final_stats=1 "$work"
  rm -rf "$work"
done
[ "$found" = 1 ] || echo "No fuzz targets built yet."
