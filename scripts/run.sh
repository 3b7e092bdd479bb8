#!/usr/bin/env bash
# Builds KD4Tool and runs it against the bundled camera simulator, all on loopback.
# With a display the window appears and the run ends when you close it; without one the program
# runs under Xvfb for a while, a screenshot is saved and the program is asked to end (SIGTERM), which
# it does by closing its session with the camera first.
# Usage: scripts/run.sh [--seconds N] [--shot FILE.png] [--lang ja|en] [--program PATH] [--offscreen] [--check]
#   --program PATH  runs that kd4tool (an installed /usr/bin/kd4tool, say) instead of the build's
#   --offscreen     no window at all (Qt's offscreen platform) instead of a display or Xvfb
#   --check         fails unless the camera saw a session opened, frames fetched and the session closed
# KD4_BUILD_DIR names another build folder (default: build/).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bin=${KD4_BUILD_DIR:-"$root/build"}

if [ "${KD4_RUN_INSIDE:-}" != 1 ]; then
  "$root/scripts/setup-deps.sh"
  "$root/scripts/build.sh" "$bin"
  export KD4_RUN_INSIDE=1
  exec "$root/scripts/loopback-only.sh" "$0" "$@"
fi

seconds=10
shot="$bin/screenshots/kd4tool.png"
lang=""
program="$bin/app/kd4tool"
offscreen=0
check=0
while [ $# -gt 0 ]; do
  case "$1" in
    --seconds) seconds=$2; shift 2 ;;
    --shot) shot=$2; shift 2 ;;
    --lang) lang=$2; shift 2 ;;
    --program) program=$2; shift 2 ;;
    --offscreen) offscreen=1; shift ;;
    --check) check=1; shift ;;
    *) echo "run.sh: unknown argument $1" >&2; exit 2 ;;
  esac
done

workdir=$(mktemp -d)
cleanup() {
  [ -n "${sim_pid:-}" ] && kill "$sim_pid" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$workdir"
}
trap cleanup EXIT

# The simulator picks a free port and says which on its first line.
"$bin/tools/camsim/kd4-camsim" --port 0 --bind 127.0.0.1 >"$workdir/camsim.log" 2>&1 &
sim_pid=$!
for _ in $(seq 1 100); do
  port=$(sed -n 's/.*listening on 127\.0\.0\.1:\([0-9]*\).*/\1/p' "$workdir/camsim.log" | head -n 1)
  [ -n "$port" ] && break
  sleep 0.1
done
if [ -z "${port:-}" ]; then
  echo "run.sh: the camera simulator did not start" >&2
  cat "$workdir/camsim.log" >&2
  exit 1
fi
echo "camera simulator on 127.0.0.1:$port (control: http://127.0.0.1:$port/sim/state)"

export KD4TOOL_CAMERA_ADDRESS="127.0.0.1:$port"
export KD4TOOL_UPDATE_URL="http://127.0.0.1:$port/"
export KD4TOOL_LOCK_DIR="$workdir"
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  # Qt wants a private runtime folder and complains without one.
  mkdir -m 700 "$workdir/runtime"
  export XDG_RUNTIME_DIR="$workdir/runtime"
fi
case "$lang" in
  ja) export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 LANGUAGE=ja ;;
  en) export LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 LANGUAGE=en ;;
esac

# What the camera saw, read from the simulator's control channel once the program has ended.
report() {
  local log frames
  log=$(curl -s "http://127.0.0.1:$port/sim/log" || true)
  frames=$(curl -s "http://127.0.0.1:$port/sim/state" | sed -n 's/.*"frames_served":\([0-9]*\).*/\1/p')
  count() { grep -o "\"msg_id\":$1[,}]" <<<"$log" | wc -l; }
  echo "the camera saw: session opened $(count 257), settings read $(count 3), settings set $(count 2)," \
    "frames served ${frames:-?}, notification polls $(count 4097), session closed $(count 258)"
  if [ "$check" -eq 1 ] && { [ "$(count 257)" -lt 1 ] || [ "${frames:-0}" -lt 1 ] || [ "$(count 258)" -lt 1 ]; }; then
    echo "run.sh: the program did not connect, show frames and close its session" >&2
    return 1
  fi
}

if [ "$offscreen" -eq 1 ]; then
  QT_QPA_PLATFORM=offscreen "$program" & app=$!
  sleep "$seconds"
  kill "$app" 2>/dev/null || true
  status=0; wait "$app" || status=$?
  echo "ran offscreen for ${seconds}s; the program ended with status $status"
  if [ "$status" -ne 0 ] && [ "$check" -eq 1 ]; then
    report || true
    exit 1
  fi
elif [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  "$program"
else
  mkdir -p "$(dirname "$shot")"
  xvfb-run -a -s "-screen 0 1400x900x24" bash -c '
    "$1" & app=$!
    sleep "$2"
    "$3" screen "$4" 1218 620 || true
    kill "$app" 2>/dev/null; wait "$app" 2>/dev/null || true
  ' bash "$program" "$seconds" "$bin/tools/screenshot/kd4-screenshot" "$shot"
  echo "no display: ran under Xvfb for ${seconds}s; screenshot saved to $shot"
fi
report
