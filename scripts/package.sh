#!/usr/bin/env bash
# Builds the Debian package kd4tool_<version>_<arch>.deb (in build-package/), checks its desktop
# entry, AppStream data and the package itself (lintian: no errors), and prints its path.
# Usage: scripts/package.sh [--build-dir DIR] [--install-and-run]
#   --build-dir DIR    packages that build folder (configured with -DKD4_HARDEN=ON) as it stands
#                      instead of making a build of its own
#   --install-and-run  then installs the package with apt and runs the installed /usr/bin/kd4tool
#                      against the camera simulator (offscreen, loopback only): it must connect,
#                      fetch frames and close its session.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir="$root/build-package"
own_build=1
install_and_run=0
while [ $# -gt 0 ]; do
  case "$1" in
    --build-dir) dir=$(cd "$2" && pwd); own_build=0; shift 2 ;;
    --install-and-run) install_and_run=1; shift ;;
    *) echo "package.sh: unknown argument $1" >&2; exit 2 ;;
  esac
done

"$root/scripts/setup-deps.sh"

if [ "$own_build" -eq 1 ]; then
  "$root/scripts/build.sh" "$dir" -DCMAKE_BUILD_TYPE=Release -DKD4_HARDEN=ON -DKD4_BUILD_TESTS=OFF -DKD4_BUILD_BENCH=OFF
fi
rm -f "$dir"/kd4tool_*.deb
(cd "$dir" && cpack -G DEB >/dev/null)
deb=$(ls "$dir"/kd4tool_*.deb)

desktop-file-validate "$dir/packaging/com.tavik.kd4tool.desktop"
appstreamcli validate --no-net "$dir/packaging/com.tavik.kd4tool.metainfo.xml"
# lintian warns that it runs as root; that is not about the package.
lintian --fail-on error "$deb" 2>&1 | grep -v 'running with root privileges' || true
lintian --fail-on error "$deb" >/dev/null 2>&1
echo "package: $deb"

if [ "$install_and_run" -eq 1 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "$deb" >/dev/null
  echo "installed: $(dpkg-query -W -f='${Package} ${Version}' kd4tool)"
  # The simulator comes from a development build; the package does not carry it.
  sim_dir=$dir
  if [ "$own_build" -eq 1 ]; then
    sim_dir=$root/build
    KD4_BUILD_TARGETS=kd4-camsim "$root/scripts/build.sh" "$sim_dir" >/dev/null
  fi
  KD4_BUILD_DIR="$sim_dir" "$root/scripts/run.sh" --program /usr/bin/kd4tool --offscreen --check --seconds 8
fi
