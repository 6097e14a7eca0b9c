#!/usr/bin/env bash
# usage: tst_package.sh BUILD_DIR CPACK VERSION [QT_MAJOR]
# Builds the Debian package from BUILD_DIR, unpacks it into a temporary root with dpkg -x, then
# starts the unpacked simulator on a free port and the unpacked client offscreen against it, in
# a private data and runtime folder, from outside the source tree. Passes when the package holds
# what a desktop needs, its Depends were computed, the client logs its start, connects, loads the
# schedules and keeps running, and both stop cleanly.
set -euo pipefail
build=$(cd "$1" && pwd)
cpack=$2
version=$3
qt=${4:-5}

for tool in dpkg dpkg-deb dpkg-shlibdeps file; do
  if ! command -v "$tool" >/dev/null; then
    echo "SKIP: $tool is missing (tools/install-deps.sh installs it)"
    exit 77
  fi
done

work=$(mktemp -d "${TMPDIR:-/tmp}/tarsa-pkgtest.XXXXXX")
root="$work/root"
data="$work/data"
appdata="$data/Orvane/QMX-MRL1"
log="$appdata/Logs/Tarsa.log"
sim_pid=""
client_pid=""

cleanup() {
  for p in $client_pid $sim_pid; do kill -KILL "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

show() {
  if [ -s "$1" ]; then
    echo "--- $1"
    "${2:-tail}" -n 40 "$1"
  fi
}

fail() {
  echo "FAIL: $*" >&2
  show "$work/cpack.log"
  show "$work/sim.out"
  show "$work/sim.log"
  show "$work/client.out"
  show "$log"
  for dump in "$appdata"/*.dmp; do show "$dump" head; done
  exit 1
}

# Polls CONDITION (a shell command) every 0.2 s for up to SECONDS; fails early when the process
# PID (if given) has ended.
wait_for() {
  local seconds=$1 pid=$2 what=$3
  shift 3
  local i
  for ((i = 0; i < seconds * 5; i++)); do
    if "$@"; then return 0; fi
    if [ -n "$pid" ] && ! kill -0 "$pid" 2>/dev/null; then fail "$what: the process ended"; fi
    sleep 0.2
  done
  fail "$what: not within $seconds s"
}

"$cpack" --config "$build/CPackConfig.cmake" -G DEB -B "$work/pkg" >"$work/cpack.log" 2>&1 || fail "cpack"
debs=("$work"/pkg/*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then fail "cpack made no single .deb"; fi
deb=${debs[0]}
dpkg-deb -I "$deb"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = tarsa ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', not $version"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Section)" ] || fail "no Section"
depends=$(field Depends)
if [ "$qt" = 6 ]; then
  qtlibs="libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libqt6xml6"
else
  qtlibs="libqt5core5a libqt5gui5 libqt5widgets5 libqt5network5 libqt5xml5"
fi
for lib in libc6 libstdc++6 $qtlibs; do
  [[ ",$depends" == *[\ ,]"$lib"\ * ]] || fail "Depends lacks $lib: $depends"
done

dpkg -x "$deb" "$root"
for f in usr/bin/tarsa usr/bin/trxm-sim; do
  [ -x "$root/$f" ] || fail "$f is not in the package"
done
desktop="$root/usr/share/applications/tarsa.desktop"
[ -f "$desktop" ] || fail "no desktop file"
for line in 'Name=Tarsa' 'Exec=tarsa' 'Icon=tarsa' 'Type=Application'; do
  grep -qx "$line" "$desktop" || fail "desktop file lacks $line"
done
grep -q '^Categories=.*AudioVideo;.*Video;' "$desktop" || fail "desktop file categories"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" || fail "desktop-file-validate"
fi
file "$root/usr/share/icons/hicolor/256x256/apps/tarsa.png" | grep -q 'PNG image data, 256 x 256' ||
  fail "no 256 px PNG icon"
grep -q '<svg' "$root/usr/share/icons/hicolor/scalable/apps/tarsa.svg" || fail "no SVG icon"
scenario="$root/usr/share/tarsa/scenarios/demo.json"
[ -f "$scenario" ] || fail "no demo scenario"

# Run from an empty folder so that nothing is found beside the source or build tree.
cd "$work"
"$root/usr/bin/trxm-sim" --help >"$work/sim-help.out" 2>&1 || fail "trxm-sim --help failed"
for opt in --port --scenario --listen --state; do
  grep -q -- "$opt" "$work/sim-help.out" || fail "trxm-sim --help does not list $opt"
done

"$root/usr/bin/trxm-sim" --port 0 --scenario "$scenario" --log "$work/sim.log" >"$work/sim.out" 2>&1 &
sim_pid=$!
sim_port() { sed -n 's/^listening on .*:\([0-9][0-9]*\)$/\1/p' "$work/sim.out"; }
has_port() { [ -n "$(sim_port)" ]; }
wait_for 60 "$sim_pid" "simulator start" has_port

mkdir -p "$appdata" "$work/run"
chmod 700 "$work/run"
printf '<Setting ver="1.0"><m_trxmIp value="127.0.0.1"/><m_trxmPort value="%s"/></Setting>\n' "$(sim_port)" \
  >"$appdata/Settings.xml"

# The client defines no options: --help and --version must not stop it from starting.
env QT_QPA_PLATFORM=offscreen XDG_DATA_HOME="$data" XDG_RUNTIME_DIR="$work/run" \
  "$root/usr/bin/tarsa" --help --version >"$work/client.out" 2>&1 &
client_pid=$!

logged() { [ -f "$log" ] && grep -qF "$1" "$log"; }
started() { logged "INFO <MRL> Started, Version: $version"; }
connected() { grep -q 'Client 127\.0\.0\.1:[0-9]* connected' "$work/sim.log"; }
loading() { logged 'INFO <TRXMClient> Get Schedules'; }
wait_for 60 "$client_pid" "client start line in Tarsa.log" started
wait_for 60 "$client_pid" "client connection in the simulator log" connected
wait_for 60 "$client_pid" "client schedule request" loading

# The schedule list arrives as a push and the main window is built from it; give that time.
sleep 5
kill -0 "$client_pid" 2>/dev/null || fail "the client ended after loading the schedules"
kill -0 "$sim_pid" 2>/dev/null || fail "the simulator ended"
if grep -q -i -E '^usage:|unknown option' "$work/client.out"; then fail "the client read its arguments"; fi

kill -TERM "$client_pid"
wait "$client_pid" || true
client_pid=""
kill -TERM "$sim_pid"
sim_rc=0
wait "$sim_pid" || sim_rc=$?
sim_pid=""
[ "$sim_rc" -eq 0 ] || fail "the simulator exited with $sim_rc on SIGTERM"
dumps=("$appdata"/*.dmp)
[ ! -e "${dumps[0]}" ] || fail "the client wrote a crash dump"
echo "PASS: $(basename "$deb") installs and runs"
