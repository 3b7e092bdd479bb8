#!/usr/bin/env bash
# Builds the Debian package kd4tool_<version>_<arch>.deb (in build-package/), checks its desktop
# entry, AppStream data and the package itself (lintian: no errors), and prints its path.
# Usage: scripts/package.sh [--install-and-run]
#   --install-and-run  then installs the package with apt and runs the installed /usr/bin/kd4tool
#                      against the camera simulator (offscreen, loopback only): it must connect,
#                      fetch frames and close its session.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dir="$root/build-package"
install_and_run=0
[ "${1:-}" = "--install-and-run" ] && install_and_run=1

"$root/scripts/setup-deps.sh"

# Debian's hardening flags, as a Debian build would use them.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Release -DKD4_BUILD_TESTS=OFF -DKD4_BUILD_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build "$dir" -j"$(nproc)"
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
  # The simulator comes from the development build; the package does not carry it.
  "$root/scripts/build.sh" "$root/build" >/dev/null
  KD4_BUILD_DIR="$root/build" "$root/scripts/run.sh" --program /usr/bin/kd4tool --offscreen --check --seconds 8
fi
