#!/usr/bin/env bash
# Builds KD4Tool and runs the benchmarks in a loopback-only network.
#   scripts/bench.sh                           the micro-benchmarks (bench_camera, bench_liveview)
#   scripts/bench.sh live [--memory-seconds N] [--only fps|cpu|launch|memory]
#                                               the live picture against the bare fetch-and-decode
#                                               loop, under Xvfb: one table, PASS/MISS per goal
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${KD4_BUILD_DIR:-"$root/build"}
"$root/scripts/setup-deps.sh"
if [ "${1:-}" = "live" ]; then
  shift
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  nice cmake --build "$build" --target kd4tool kd4-camsim bench_live -j"$(nproc)"
  export KD4TOOL_CAMERA_ADDRESS=127.0.0.1:9 KD4TOOL_UPDATE_URL=http://127.0.0.1:9/
  exec "$root/scripts/loopback-only.sh" xvfb-run -a -s "-screen 0 1400x900x24" \
    "$build/bench/bench_live" run "$build" "$@"
fi
"$root/scripts/build.sh" "$build"
export QT_QPA_PLATFORM=offscreen KD4TOOL_CAMERA_ADDRESS=127.0.0.1:9 KD4TOOL_UPDATE_URL=http://127.0.0.1:9/
"$root/scripts/loopback-only.sh" "$build/bench/bench_camera"
"$root/scripts/loopback-only.sh" "$build/bench/bench_liveview"
