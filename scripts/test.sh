#!/usr/bin/env bash
# Builds KD4Tool and runs the whole test suite, first as the program ships, then again built with
# AddressSanitizer and UndefinedBehaviorSanitizer; then a short soak of the sanitizer build, a short
# fuzzing run of every harness, and the Debian package built, installed and run. Every test runs in
# a loopback-only network.
# Usage: scripts/test.sh [--quick]    (--quick: only the first build and its suite)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
quick=0
[ "${1:-}" = "--quick" ] && quick=1

"$root/scripts/setup-deps.sh"

echo "== checking the formatting"
(cd "$root" && find . -path './build*' -prune -o \( -name '*.cpp' -o -name '*.h' \) -print0 \
  | xargs -0 clang-format --dry-run --Werror)
echo "== checking the include graph"
"$root/scripts/check-layers.sh"

run_suite() {
  local dir=$1; shift
  echo "== building $(basename "$dir")"
  "$root/scripts/build.sh" "$dir" -DKD4_WERROR=ON "$@"
  echo "== testing $(basename "$dir")"
  (cd "$dir" && "$root/scripts/loopback-only.sh" ctest --output-on-failure --timeout 300)
}

run_suite "$root/build" -DKD4_SANITIZE=
if [ "$quick" -eq 0 ]; then
  run_suite "$root/build-sanitize" -DKD4_SANITIZE=address,undefined -DKD4_BUILD_BENCH=OFF
  echo "== soak, two minutes"
  KD4_SOAK_BUILD_DIR="$root/build-sanitize" "$root/scripts/soak.sh" --minutes 2 --no-build
  echo "== fuzzing, 30 seconds a harness"
  "$root/scripts/fuzz.sh" --seconds 30
  echo "== Debian package: build, check, install and run"
  "$root/scripts/package.sh" --install-and-run
fi
