#!/bin/sh
# Regenerates the application's images (src/resources/images) from tools/imagegen.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TMPDIR:-/tmp}/tarsa-imagegen
cmake -S "$root/tools/imagegen" -B "$build" -G Ninja >/dev/null
ninja -C "$build" >/dev/null
QT_QPA_PLATFORM=offscreen "$build/imagegen" "$root/src/resources/images"
