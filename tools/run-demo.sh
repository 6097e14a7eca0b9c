#!/usr/bin/env bash
# Runs the client against the bundled manager simulator on a free port. The client reads its
# settings from a demo data folder under the build directory, never from the user's own. With
# no display, runs both under Xvfb, saves a screenshot of the screen and prints its path
# instead of waiting for a person.
set -euo pipefail
build=${1:-build}
client="$build/src/app/tarsa"
sim="$build/sim/trxm-sim"
scenario="sim/scenarios/demo.json"

for exe in "$client" "$sim"; do
  if [ ! -x "$exe" ]; then
    echo "run-demo: $exe is missing; build first (make run builds it)" >&2
    exit 1
  fi
done

data="$(cd "$build" && pwd)/demo-data"
mkdir -p "$data/Orvane/QMX-MRL1"
export XDG_DATA_HOME="$data"

pids=()
# Last started first, each waited for: the client ends in order (settings written, "Exit."
# logged) while its display and its manager are still there.
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[i]}" 2>/dev/null || true
    wait "${pids[i]}" 2>/dev/null || true
  done
}
trap cleanup EXIT

out="$data/trxm-sim.out"
: > "$out"
# No state file: each run starts from the scenario, so its schedules sit around the current time.
"$sim" --port 0 --scenario "$scenario" --log "$data/trxm-sim.log" > "$out" &
pids+=($!)
port=""
for _ in $(seq 50); do
  port=$(sed -n 's/^listening on .*:\([0-9][0-9]*\)$/\1/p' "$out")
  [ -n "$port" ] && break
  if ! kill -0 "${pids[0]}" 2>/dev/null; then
    echo "run-demo: trxm-sim did not start; see $data/trxm-sim.log" >&2
    exit 1
  fi
  sleep 0.1
done
if [ -z "$port" ]; then
  echo "run-demo: trxm-sim printed no port" >&2
  exit 1
fi
echo "trxm-sim listening on 127.0.0.1:$port (log: $data/trxm-sim.log)"

# Point the client at the simulator: keep an existing demo settings file, only the address changes.
settings="$data/Orvane/QMX-MRL1/Settings.xml"
if [ -f "$settings" ] && grep -q '<m_trxmPort ' "$settings" && grep -q '<m_trxmIp ' "$settings"; then
  sed -i -e 's|<m_trxmIp [^>]*/>|<m_trxmIp value="127.0.0.1"/>|' \
         -e "s|<m_trxmPort [^>]*/>|<m_trxmPort value=\"$port\"/>|" "$settings"
else
  printf '<Setting ver="1.0"><m_trxmIp value="127.0.0.1"/><m_trxmPort value="%s"/></Setting>\n' "$port" > "$settings"
fi

if [ -n "${DISPLAY:-}" ]; then
  "$client"
  exit $?
fi

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1600x900x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
sleep 1
# A runtime folder of its own, so that the single-instance lock of a client already running for
# this user (another demo, a test) does not turn the demo away without a window.
runtime="$data/runtime"
mkdir -p -m 700 "$runtime"
log="$data/Orvane/QMX-MRL1/Logs/Tarsa.log"
seen=$( (cat "$log" 2>/dev/null || true) | wc -l)
DISPLAY=$display XDG_RUNTIME_DIR="$runtime" "$client" &
client_pid=$!
pids+=($client_pid)
# On a busy machine start-up takes longer than the pause below: wait until the schedules are
# asked for (the last step of start-up), at most a minute.
for _ in $(seq 600); do
  tail -n +"$((seen + 1))" "$log" 2>/dev/null | grep -q "Get Schedules" && break
  if ! kill -0 "$client_pid" 2>/dev/null; then
    echo "run-demo: the client ended early; see $log" >&2
    exit 1
  fi
  sleep 0.1
done
sleep "${TARSA_DEMO_SECONDS:-6}"
shot="$(cd "$build" && pwd)/tarsa-screenshot.png"
DISPLAY=$display import -window root "$shot"
echo "No display: the client ran under Xvfb; screenshot saved to $shot"
