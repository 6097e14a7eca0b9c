#!/bin/sh
# Renders packaging/icons/tarsa.svg to the 256 px PNG that the package and the client's
# resources use. Run it after editing the SVG and commit both files.
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TMPDIR:-/tmp}/tarsa-iconrender
cmake -S "$root/packaging/iconrender" -B "$build" -G Ninja >/dev/null
ninja -C "$build" >/dev/null
QT_QPA_PLATFORM=offscreen "$build/iconrender" "$root/packaging/icons/tarsa.svg" "$root/packaging/icons/tarsa.png" 256
