#!/usr/bin/env bash
# Runs the client against the bundled manager simulator. With no display, runs both under
# Xvfb, saves a screenshot of the screen and prints its path instead of waiting for a person.
set -euo pipefail
build=${1:-build}
client="$build/src/app/tarsa"
sim="$build/sim/trxm-sim"
scenario="sim/scenarios/demo.json"

pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; }
trap cleanup EXIT

if [ -x "$sim" ]; then
  "$sim" --port 51000 ${scenario:+--scenario "$scenario"} &
  pids+=($!)
  sleep 0.5
fi

if [ -n "${DISPLAY:-}" ]; then
  "$client"
  exit $?
fi

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1600x900x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
sleep 1
DISPLAY=$display "$client" &
pids+=($!)
sleep "${TARSA_DEMO_SECONDS:-6}"
shot="$(pwd)/$build/tarsa-screenshot.png"
DISPLAY=$display import -window root "$shot"
echo "No display: the client ran under Xvfb; screenshot saved to $shot"
