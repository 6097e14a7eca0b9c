#!/usr/bin/env bash
# Long run of the real client against trxm-sim on a compressed clock: the simulator drops the link
# every few minutes and adds, changes and removes schedules all the time. The client's resident
# memory, thread count and open file descriptors are sampled into a CSV; the run fails when any of
# them ends more than 10 % above its level after the first minute, or when either program dies.
#   bash tools/soak.sh [build-dir]
# Environment: SOAK_SECONDS (3600), SOAK_SAMPLE_SECONDS (10), SOAK_DROP_MS (180000),
# SOAK_CHURN_MS (2000), SOAK_TIME_SCALE (20), SOAK_LIMIT_PERCENT (10), SOAK_DIR (results folder).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
seconds=${SOAK_SECONDS:-3600}
sample=${SOAK_SAMPLE_SECONDS:-10}
drop_ms=${SOAK_DROP_MS:-180000}
churn_ms=${SOAK_CHURN_MS:-2000}
scale=${SOAK_TIME_SCALE:-20}
limit=${SOAK_LIMIT_PERCENT:-10}
client="$build/src/app/tarsa"
sim="$build/sim/trxm-sim"
scenario="sim/scenarios/demo.json"

for exe in "$client" "$sim"; do
  if [ ! -x "$exe" ]; then
    echo "soak: $exe is missing; build first (make soak builds it)" >&2
    exit 2
  fi
done
for n in "$seconds" "$sample" "$drop_ms" "$churn_ms" "$limit"; do
  case "$n" in
  '' | *[!0-9]*)
    echo "soak: \"$n\" is not a whole number" >&2
    exit 2
    ;;
  esac
done
if [ "$seconds" -lt 120 ]; then
  echo "soak: SOAK_SECONDS must be at least 120 (the first minute is the baseline)" >&2
  exit 2
fi

out=${SOAK_DIR:-"$build/soak-$(date +%Y%m%d-%H%M%S)"}
mkdir -p "$out/data/Orvane/QMX-MRL1" "$out/runtime"
out=$(cd "$out" && pwd)
chmod 700 "$out/runtime"
csv="$out/samples.csv"

pids=()
cleanup() { for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done; }
trap cleanup EXIT

"$sim" --port 0 --scenario "$scenario" --state "$out/state.json" --time-scale "$scale" \
  --drop-link-after "$drop_ms" --churn "$churn_ms" --log "$out/trxm-sim.log" > "$out/trxm-sim.out" &
sim_pid=$!
pids+=("$sim_pid")
port=""
for _ in $(seq 100); do
  port=$(sed -n 's/^listening on .*:\([0-9][0-9]*\)$/\1/p' "$out/trxm-sim.out")
  [ -n "$port" ] && break
  kill -0 "$sim_pid" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$port" ]; then
  echo "soak: trxm-sim did not start; see $out/trxm-sim.log" >&2
  exit 1
fi

printf '<Setting ver="1.0"><m_trxmIp value="127.0.0.1"/><m_trxmPort value="%s"/></Setting>\n' "$port" \
  > "$out/data/Orvane/QMX-MRL1/Settings.xml"
XDG_DATA_HOME="$out/data" XDG_RUNTIME_DIR="$out/runtime" QT_QPA_PLATFORM=offscreen \
  "$client" > "$out/tarsa.out" 2>&1 &
client_pid=$!
pids+=("$client_pid")
echo "soak: ${seconds} s, client pid $client_pid, trxm-sim on port $port (x$scale clock, link dropped" \
  "every $((drop_ms / 1000)) s, schedule churn every ${churn_ms} ms); results in $out"

echo "seconds,rss_kb,threads,fds" > "$csv"
start=$(date +%s)
status=0
while :; do
  now=$(date +%s)
  elapsed=$((now - start))
  if ! kill -0 "$client_pid" 2>/dev/null; then
    echo "soak: the client ended after $elapsed s; see $out/tarsa.out" >&2
    status=1
    break
  fi
  if ! kill -0 "$sim_pid" 2>/dev/null; then
    echo "soak: trxm-sim ended after $elapsed s; see $out/trxm-sim.log" >&2
    status=1
    break
  fi
  rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$client_pid/status" 2>/dev/null || true)
  threads=$(awk '/^Threads:/ {print $2}' "/proc/$client_pid/status" 2>/dev/null || true)
  fds=$(find "/proc/$client_pid/fd" -mindepth 1 -maxdepth 1 2>/dev/null | wc -l)
  [ -n "$rss" ] && [ -n "$threads" ] && echo "$elapsed,$rss,$threads,$fds" >> "$csv"
  [ "$elapsed" -ge "$seconds" ] && break
  sleep "$(( sample < seconds - elapsed ? sample : seconds - elapsed ))"
done

drops=$(grep -c 'Closing the link' "$out/trxm-sim.log" || true)
connects=$(grep -cE 'INFO <TRXMSim> Client [^ ]+ connected' "$out/trxm-sim.log" || true)
echo "soak: $(($(wc -l < "$csv") - 1)) samples in $csv; $drops links dropped, $connects connections made"
[ "$status" -eq 0 ] || exit "$status"

# Baseline: the median of the three samples from the first minute on; end: the median of the last
# three. A median keeps one sample taken in the middle of a reconnect (a socket thread being
# replaced) from deciding the result either way.
awk -F, -v limit="$limit" '
  function median(a, b, c) { return a < b ? (b < c ? b : (a < c ? c : a)) : (a < c ? a : (b < c ? c : b)) }
  NR == 1 { next }
  { t[n] = $1; v[n, 1] = $2; v[n, 2] = $3; v[n, 3] = $4; n++ }
  END {
    if (n < 6) { print "soak: too few samples"; exit 1 }
    b = -1
    for (i = 0; i < n; i++) if (t[i] >= 60) { b = i; break }
    if (b < 0 || b + 2 >= n - 3) { print "soak: the run was too short for a baseline and an end"; exit 1 }
    split("resident memory (kB),threads,open fds", name, ",")
    fail = 0
    printf "%-22s %12s %12s %8s\n", "", "after 1 min", "at the end", "ratio"
    for (k = 1; k <= 3; k++) {
      base = median(v[b, k], v[b + 1, k], v[b + 2, k])
      last = median(v[n - 3, k], v[n - 2, k], v[n - 1, k])
      ratio = base > 0 ? last / base : 0
      flag = ratio > 1 + limit / 100 ? "  GREW" : ""
      if (flag != "") fail = 1
      printf "%-22s %12d %12d %8.3f%s\n", name[k], base, last, ratio, flag
    }
    if (fail) { printf "soak: FAILED: grew more than %d %%\n", limit; exit 1 }
    printf "soak: passed (limit +%d %%)\n", limit
  }' "$csv"
