#!/usr/bin/env bash
# CI stages after `make test`: the unit and integration tests under AddressSanitizer with
# UndefinedBehaviorSanitizer, the threaded tests under ThreadSanitizer, and every fuzz target for
# a bounded time. Each stage has its own build folder; stages can be picked by name:
#   bash tools/ci-sanitizers.sh [asan] [tsan] [fuzz]
set -euo pipefail
cd "$(dirname "$0")/.."

jobs=$(nproc)
fuzz_seconds=${FUZZ_SECONDS:-30}
stages=("$@")
[ ${#stages[@]} -gt 0 ] || stages=(asan tsan fuzz)

# The tests that run threads of their own: the manager link, the command catalogue, the client
# against the simulator, the controller's poll, port status and parts, and the controller through link
# faults (about 40 s under ThreadSanitizer).
threaded='^(tst_trxmclient|tst_catalogue|tst_simconversation|tst_simfaults|tst_controllerports|tst_controllerfaults|tst_controllerparts)$'
threaded_targets=(tst_trxmclient tst_catalogue tst_simconversation tst_simfaults tst_controllerports
  tst_controllerfaults tst_controllerparts)

stage_time() {
  echo "== $1 took $(($(date +%s) - $2)) s"
}

run_asan() {
  local t0
  t0=$(date +%s)
  cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARSA_SANITIZE=address,undefined >/dev/null
  cmake --build build-asan -j "$jobs"
  # Each test sets ASAN_OPTIONS=detect_leaks=0 itself (Qt's plugins and its global caches are
  # never freed at exit); errors still stop the test.
  (cd build-asan && QT_QPA_PLATFORM=offscreen \
    UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --output-on-failure -j "$jobs" -E '^tst_package')
  stage_time "address,undefined" "$t0"
}

run_tsan() {
  local t0
  t0=$(date +%s)
  cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARSA_SANITIZE=thread >/dev/null
  cmake --build build-tsan -j "$jobs" --target "${threaded_targets[@]}"
  # The suppression files (Qt's own hand-overs only) come with each test's environment.
  (cd build-tsan && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$jobs" -R "$threaded")
  stage_time "thread" "$t0"
}

run_fuzz() {
  local t0
  t0=$(date +%s)
  CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTARSA_BUILD_TESTS=OFF -DTARSA_FUZZ=ON >/dev/null
  cmake --build build-fuzz -j "$jobs" --target fuzzers
  bash tools/run-fuzz.sh build-fuzz "$fuzz_seconds"
  stage_time "fuzz" "$t0"
}

for stage in "${stages[@]}"; do
  case "$stage" in
  asan) run_asan ;;
  tsan) run_tsan ;;
  fuzz) run_fuzz ;;
  *)
    echo "unknown stage: $stage" >&2
    exit 2
    ;;
  esac
done
