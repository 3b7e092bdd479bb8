#!/usr/bin/env bash
# Builds KD4Tool and runs the benchmarks in a loopback-only network.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup-deps.sh"
"$root/scripts/build.sh" "$root/build"
export QT_QPA_PLATFORM=offscreen KD4TOOL_CAMERA_ADDRESS=127.0.0.1:9 KD4TOOL_UPDATE_URL=http://127.0.0.1:9/
"$root/scripts/loopback-only.sh" "$root/build/bench/bench_camera"
"$root/scripts/loopback-only.sh" "$root/build/bench/bench_liveview"
