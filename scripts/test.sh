#!/usr/bin/env bash
# Builds KD4Tool and runs the whole test suite; then builds, installs and runs the Debian package,
# fuzzes each harness for 30 seconds and soaks the sanitizer build for two minutes. Every test runs
# in a loopback-only network.
# Usage: scripts/test.sh [--quick | --full]
#   --quick  only the build and its suite
#   --full   also builds the suite with AddressSanitizer and UndefinedBehaviorSanitizer and runs it
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
mode=${1:-}

"$root/scripts/setup-deps.sh" --fuzz

echo "== checking the formatting"
(cd "$root" && find . -path './build*' -prune -o \( -name '*.cpp' -o -name '*.h' \) -print0 \
  | xargs -0 clang-format --dry-run --Werror)
echo "== checking the include graph"
"$root/scripts/check-layers.sh"

# Four tests at a time: they spend their time waiting on the simulator's clocks, not computing.
run_suite() {
  local dir=$1; shift
  echo "== building $(basename "$dir")"
  "$root/scripts/build.sh" "$dir" -DKD4_WERROR=ON "$@"
  echo "== testing $(basename "$dir")"
  (cd "$dir" && "$root/scripts/loopback-only.sh" ctest --output-on-failure --timeout 300 -j4)
}

# The package is made from this very build, so it carries Debian's hardening flags too.
run_suite "$root/build" -DKD4_SANITIZE= -DKD4_HARDEN=ON
[ "$mode" = "--quick" ] && exit 0

echo "== Debian package: check, install and run"
"$root/scripts/package.sh" --build-dir "$root/build" --install-and-run
echo "== fuzzing, 30 seconds a harness"
"$root/scripts/fuzz.sh" --seconds 30
echo "== soak, two minutes"
"$root/scripts/soak.sh" --minutes 2
if [ "$mode" = "--full" ]; then
  run_suite "$root/build-sanitize" -DKD4_SANITIZE=address,undefined -DKD4_BUILD_BENCH=OFF
fi
