#!/usr/bin/env bash
# Builds the libFuzzer harnesses of fuzz/ with clang, AddressSanitizer and UndefinedBehaviorSanitizer
# (folder build-fuzz/), runs each one for a while on a working corpus that starts from the seeds in
# fuzz/corpus/<harness>/ (the seeds themselves are never written), then runs every input kept in
# fuzz/regressions/<harness>/ once. Everything runs in a loopback-only network. Prints one line per
# harness and exits non-zero on any finding: crash, sanitizer report, leak, time-out or memory limit.
#
# Usage: scripts/fuzz.sh [--seconds N] [--runs N] [--only a,b] [--jobs N]
#   --seconds N   fuzzing time per harness (default 30)
#   --runs N      stop each harness after N executions instead (no time limit)
#   --only a,b    only these harnesses
#   --jobs N      harnesses fuzzed at the same time (default 2, at most the number of cores)
# Findings land in build-fuzz/fuzz-run/<harness>/artifacts/; a log per harness beside them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir=${KD4_FUZZ_BUILD_DIR:-"$root/build-fuzz"}
seconds=30
runs=""
jobs=2
harnesses=(camera_reply all_settings notify_list update_xml network_xml live_frame)

while [ $# -gt 0 ]; do
  case "$1" in
    --seconds) seconds=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --only) IFS=, read -r -a harnesses <<<"$2"; shift 2 ;;
    --jobs) jobs=$2; shift 2 ;;
    *) echo "fuzz: unknown argument $1" >&2; exit 2 ;;
  esac
done
[ "$jobs" -gt "$(nproc)" ] && jobs=$(nproc)
[ "$jobs" -lt 1 ] && jobs=1

declare -A dict=([camera_reply]=json [all_settings]=json [notify_list]=json
  [update_xml]=xml [network_xml]=xml [live_frame]=image)
for h in "${harnesses[@]}"; do
  [ -n "${dict[$h]:-}" ] || { echo "fuzz: no harness named $h" >&2; exit 2; }
done

"$root/scripts/setup-deps.sh" --fuzz

echo "== building the fuzz harnesses in $(basename "$dir")"
KD4_INSTRUMENTED=1 KD4_BUILD_TARGETS=kd4_fuzzers "$root/scripts/build.sh" "$dir" >/dev/null

# Fast unwinding on malloc: the full unwinder the test suite uses for Qt's leak reports makes the
# harnesses seven times slower, and a leak found here is replayed from its input anyway.
export ASAN_OPTIONS="abort_on_error=0:detect_leaks=1:symbolize=1"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export ASAN_SYMBOLIZER_PATH=${ASAN_SYMBOLIZER_PATH:-$(command -v llvm-symbolizer-14 || command -v llvm-symbolizer || true)}
export QT_QPA_PLATFORM=offscreen
export KD4TOOL_CAMERA_ADDRESS=127.0.0.1:9 KD4TOOL_UPDATE_URL=http://127.0.0.1:9/
common=(-rss_limit_mb=2048 -timeout=25 -print_final_stats=1)

# Fuzzes one harness; its log and findings stay in its own folder.
fuzz_one() {
  local h=$1 work="$dir/fuzz-run/$1"
  rm -rf "$work/artifacts"
  mkdir -p "$work/corpus" "$work/artifacts"
  local limit=(-max_total_time="$seconds")
  [ -n "$runs" ] && limit=(-runs="$runs")
  local rc=0
  "$root/scripts/loopback-only.sh" "$dir/fuzz/fuzz_$h" "${common[@]}" "${limit[@]}" \
    -dict="$root/fuzz/${dict[$h]}.dict" -artifact_prefix="$work/artifacts/" \
    "$work/corpus" "$root/fuzz/corpus/$h" >"$work/fuzz.log" 2>&1 || rc=$?
  echo "$rc" >"$work/fuzz.rc"
}

# Runs every kept regression input of one harness once.
replay_one() {
  local h=$1 work="$dir/fuzz-run/$1" inputs=()
  if [ -d "$root/fuzz/regressions/$h" ]; then
    mapfile -t inputs < <(find "$root/fuzz/regressions/$h" -type f | sort)
  fi
  echo "${#inputs[@]}" >"$work/replay.count"
  if [ ${#inputs[@]} -eq 0 ]; then echo 0 >"$work/replay.rc"; return; fi
  local rc=0
  "$root/scripts/loopback-only.sh" "$dir/fuzz/fuzz_$h" "${common[@]}" \
    -artifact_prefix="$work/artifacts/replay-" "${inputs[@]}" >"$work/replay.log" 2>&1 || rc=$?
  echo "$rc" >"$work/replay.rc"
}

how="${seconds} s each"
[ -n "$runs" ] && how="$runs runs each"
echo "== fuzzing ${#harnesses[@]} harnesses, $how, $jobs at a time"
running=0
for h in "${harnesses[@]}"; do
  fuzz_one "$h" &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then wait -n || true; running=$((running - 1)); fi
done
wait || true
for h in "${harnesses[@]}"; do replay_one "$h"; done

failed=0
for h in "${harnesses[@]}"; do
  work="$dir/fuzz-run/$h"
  rc=$(cat "$work/fuzz.rc")
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$work/fuzz.log" | tail -1)
  status=$(grep -E '^#[0-9]+' "$work/fuzz.log" | grep -E 'cov: ' | tail -1 || true)
  cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$status")
  ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$status")
  # libFuzzer also keeps inputs that took over 10 s: on a loaded machine that is no finding by
  # itself (a real hang passes the 25 s limit and ends the run), so they are only counted.
  findings=$(find "$work/artifacts" -type f ! -name 'slow-unit-*' | wc -l)
  slow=$(find "$work/artifacts" -type f -name 'slow-unit-*' | wc -l)
  replay_rc=$(cat "$work/replay.rc")
  verdict=ok
  if [ "$rc" -ne 0 ] || [ "$replay_rc" -ne 0 ] || [ "$findings" -ne 0 ]; then
    verdict=FAILED
    failed=1
    [ "$findings" -eq 0 ] && findings=1
  fi
  printf 'fuzz: %-13s %s  executions %s  cov %s  ft %s  findings %s  slow inputs %s  regressions %s (exit %s)\n' \
    "$h" "$verdict" "${execs:-?}" "${cov:-?}" "${ft:-?}" "$findings" "$slow" "$(cat "$work/replay.count")" "$replay_rc"
done
if [ "$failed" -ne 0 ]; then
  echo "fuzz: findings; see the logs and artifacts under $dir/fuzz-run/" >&2
  for h in "${harnesses[@]}"; do
    work="$dir/fuzz-run/$h"
    if [ "$(cat "$work/fuzz.rc")" -ne 0 ] || [ "$(cat "$work/replay.rc")" -ne 0 ]; then
      echo "---- $h" >&2
      grep -E -A12 'ERROR: |runtime error|invariant broken|SUMMARY' "$work/fuzz.log" "$work/replay.log" 2>/dev/null | head -40 >&2 || true
    fi
  done
  exit 1
fi
