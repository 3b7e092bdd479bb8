#!/usr/bin/env bash
# Runs a command as a program runs on a desktop with a screen reader: on its own X server, with a
# session bus and the accessibility bus (AT-SPI) that Orca uses. Everything it starts ends with it.
# Usage: on-access-bus.sh COMMAND [ARGS...]
set -euo pipefail

if [ "${KD4_ON_ACCESS_BUS:-}" != 1 ]; then
  # -noreset: the accessibility bus's address is a property of the root window, which a server
  # reset (when its last client leaves) would clear.
  export KD4_ON_ACCESS_BUS=1
  exec xvfb-run -a -s "-screen 0 1400x900x24 -nolisten tcp -noreset" dbus-run-session -- "$0" "$@"
fi

launcher=/usr/libexec/at-spi-bus-launcher
if [ ! -x "$launcher" ] || [ ! -x /usr/bin/python3 ] || ! /usr/bin/python3 -c 'import gi; gi.require_version("Atspi", "2.0")' 2>/dev/null; then
  echo "on-access-bus: at-spi2-core and python3-pyatspi are needed (scripts/setup-deps.sh installs them)" >&2
  exit 1
fi
"$launcher" --launch-immediately 2>/dev/null &
launcher_pid=$!
trap 'kill "$launcher_pid" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  if xprop -root AT_SPI_BUS 2>/dev/null | grep -q unix:; then break; fi
  sleep 0.1
done
export QT_QPA_PLATFORM=xcb
"$@"
