#!/usr/bin/env bash
# Soak test: the program (built with AddressSanitizer and UndefinedBehaviorSanitizer: the
# instrumented clang build the fuzz harnesses use, in build-fuzz/) runs under
# Xvfb against kd4-camsim for N minutes, in a loopback-only network, while a scripted user keeps
# connecting and changing settings and this script keeps injecting random faults into the camera's
# messages and frames. It samples the program's memory and ends with one report line.
# Fails on a crash, a sanitizer or leak report, a hang (the close not done within 15 s) or memory
# growth above 5 MB.
# Usage: scripts/soak.sh [--minutes N] [--seed S] [--no-build]
#   KD4_SOAK_BUILD_DIR names the build folder (default build-fuzz/); --no-build uses it as it is
#   (any build with -DKD4_SANITIZE=address,undefined serves as well).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${KD4_SOAK_BUILD_DIR:-"$root/build-fuzz"}

if [ "${KD4_SOAK_INSIDE:-}" != 1 ]; then
  if [[ " $* " != *" --no-build "* ]]; then
    "$root/scripts/setup-deps.sh" --fuzz
    KD4_INSTRUMENTED=1 KD4_BUILD_TARGETS="kd4tool kd4-camsim kd4-soak" "$root/scripts/build.sh" "$bin" >/dev/null
  fi
  export KD4_SOAK_INSIDE=1
  exec "$root/scripts/loopback-only.sh" "$0" "$@"
fi

minutes=30
seed=$RANDOM
while [ $# -gt 0 ]; do
  case "$1" in
    --minutes) minutes=$2; shift 2 ;;
    --seed) seed=$2; shift 2 ;;
    --no-build) shift ;;
    *) echo "soak.sh: unknown argument $1" >&2; exit 2 ;;
  esac
done
RANDOM=$seed

work=$(mktemp -d)
cleanup() {
  [ -n "${app_pid:-}" ] && kill -9 "$app_pid" 2>/dev/null || true
  [ -n "${sim_pid:-}" ] && kill "$sim_pid" 2>/dev/null || true
  [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

"$bin/tools/camsim/kd4-camsim" --port 0 --bind 127.0.0.1 --fps 15 --poll-cap 2 >"$work/camsim.log" 2>&1 &
sim_pid=$!
for _ in $(seq 1 100); do
  port=$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$work/camsim.log" | head -n 1)
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "${port:-}" ] || { echo "soak.sh: the camera simulator did not start" >&2; exit 1; }
sim="http://127.0.0.1:$port/sim"

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1400x900x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
sleep 1

mkdir -m 700 "$work/runtime" "$work/home"
export DISPLAY=$display XDG_RUNTIME_DIR="$work/runtime" HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" \
  XDG_DATA_HOME="$work/home/data" KD4TOOL_LOCK_DIR="$work" \
  KD4TOOL_CAMERA_ADDRESS="127.0.0.1:$port" KD4TOOL_UPDATE_URL="http://127.0.0.1:9/" \
  KD4TOOL_AUTOACCEPT_DIALOGS=1 \
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:quarantine_size_mb=64 \
  LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:fast_unwind_on_malloc=0:print_suppressions=0" \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
"$bin/tests/soak/kd4-soak" --seed "$seed" >"$work/app.out" 2>"$work/app.err" &
app_pid=$!

rss() { awk '/^VmRSS/ {print $2}' "/proc/$app_pid/status" 2>/dev/null || echo 0; }
post() { curl -s -m 5 -d "$2" "$sim/$1" >/dev/null || true; }
median() { sort -n | awk '{a[NR]=$1} END {print (NR ? a[int((NR+1)/2)] : 0)}'; }

# One random fault or camera event.
inject() {
  local ids=(3 2 259 260 4097 257)
  local id=${ids[RANDOM % ${#ids[@]}]}
  case $((RANDOM % 14)) in
    0) post fault "{\"msg_id\":$id,\"kind\":\"rval\",\"rval\":-4,\"count\":1}" ;;
    1) post fault "{\"msg_id\":$id,\"kind\":\"rval\",\"rval\":-14,\"count\":1}" ;;
    2) post fault "{\"msg_id\":$id,\"kind\":\"delay\",\"delay_ms\":6000,\"count\":1}" ;;
    3) post fault "{\"msg_id\":$id,\"kind\":\"http\",\"status\":500,\"count\":1}" ;;
    4) post fault "{\"msg_id\":$id,\"kind\":\"broken_json\",\"count\":1}" ;;
    5) post fault "{\"msg_id\":$id,\"kind\":\"drop\",\"count\":1}" ;;
    6) post frames "{\"fault\":\"$(shuf -n1 -e not_found broken truncated stall chunked delay)\",\"stall_after\":500,\"stall_ms\":1500,\"chunks\":4,\"chunk_pause_ms\":50,\"delay_ms\":300,\"count\":$((1 + RANDOM % 5))}" ;;
    7) post record/start '' ;;
    8) post record/stop '' ;;
    9) post setting "{\"key\":\"video_resolution\",\"value\":\"$(shuf -n1 -e '1920x1080 30P 16:9' '848x480 240P 16:9' '1280x720 60P 16:9')\"}" ;;
    10) post battery "{\"level\":$((RANDOM % 101))}" ;;
    11) post ac "{\"connected\":$( ((RANDOM % 2)) && echo true || echo false)}" ;;
    12) post notify "{\"type\":\"$(shuf -n1 -e starting_video_record video_record_complete power_off)\",\"param\":\"\"}" ;;
    13) post fault/clear '' ;;
  esac
}

end=$((SECONDS + minutes * 60))
warm=$((SECONDS + 60 < end ? SECONDS + 60 : end))
faults=0
early=()
late=()
crashed=0
next_sample=$SECONDS
while [ $SECONDS -lt $end ]; do
  if ! kill -0 "$app_pid" 2>/dev/null; then crashed=1; break; fi
  inject; faults=$((faults + 1))
  sleep "0.$((2 + RANDOM % 8))"
  if [ $SECONDS -ge "$next_sample" ] && [ $SECONDS -ge "$warm" ]; then
    if [ ${#early[@]} -lt 5 ]; then early+=("$(rss)"); else late+=("$(rss)"); late=("${late[@]: -5}"); fi
    next_sample=$((SECONDS + 10))
  fi
done

# Faults stop; the program gets a moment to settle, then it is asked to end like any program.
post fault/clear ''
post frames '{"fault":"none"}'
post record/stop ''
sleep 3
hang=0
if [ $crashed -eq 0 ]; then
  kill -TERM "$app_pid" 2>/dev/null || true
  for _ in $(seq 1 150); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$app_pid" 2>/dev/null; then hang=1; kill -ABRT "$app_pid" 2>/dev/null || true; sleep 2; fi
fi
status=0; wait "$app_pid" 2>/dev/null || status=$?
app_pid=

log=$(curl -s -m 10 "$sim/log" || true)
count() { grep -o "\"msg_id\":$1[,}]" <<<"$log" | wc -l; }
reports=$(grep -cE 'ERROR: (AddressSanitizer|LeakSanitizer)|runtime error:|SUMMARY: (Address|Leak|UndefinedBehavior)Sanitizer' "$work/app.err" || true)
frames=$(sed -n 's/.*frames shown \([0-9]*\).*/\1/p' "$work/app.out" | tail -n 1)
mem_start=$(printf '%s\n' "${early[@]:-0}" | median)
mem_end=$(printf '%s\n' "${late[@]:-${early[@]:-0}}" | median)
growth=$(( (mem_end - mem_start) / 1024 ))
[ $crashed -eq 0 ] && [ $hang -eq 0 ] && [ "$status" -ne 0 ] && [ "$reports" -eq 0 ] && crashed=1

echo "soak (seed $seed, $minutes min): faults injected $faults, sessions opened $(count 257), closed $(count 258)," \
  "frames shown ${frames:-0}, crashes $crashed, hangs $hang, sanitizer and leak reports $reports," \
  "memory $((mem_start / 1024)) MB at start, $((mem_end / 1024)) MB at end"
if [ $crashed -ne 0 ] || [ $hang -ne 0 ] || [ "$reports" -ne 0 ] || [ $growth -gt 5 ]; then
  echo "soak.sh: FAILED (exit status $status); the program's last words:" >&2
  tail -n 40 "$work/app.err" >&2
  exit 1
fi
