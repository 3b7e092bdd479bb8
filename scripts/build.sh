#!/usr/bin/env bash
# Configures and builds KD4Tool into a build folder (default: build/).
# Usage: scripts/build.sh [build-dir] [extra cmake arguments...]
#   KD4_BUILD_TARGETS="a b"  builds only these targets
#   KD4_INSTRUMENTED=1       clang 14 with AddressSanitizer, UndefinedBehaviorSanitizer and
#                            libFuzzer's coverage in every library: the build the fuzz harnesses
#                            and the soak share
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${1:-"$root/build"}
shift || true
flavour=()
if [ "${KD4_INSTRUMENTED:-}" = 1 ]; then
  flavour=(-DCMAKE_CXX_COMPILER=clang++-14 -DKD4_BUILD_FUZZ=ON -DKD4_BUILD_BENCH=OFF -DKD4_SANITIZE=)
fi
cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${flavour[@]}" "$@" >/dev/null
targets=()
for t in ${KD4_BUILD_TARGETS:-}; do targets+=(--target "$t"); done
cmake --build "$dir" -j"$(nproc)" "${targets[@]}"
