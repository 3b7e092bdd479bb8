#!/usr/bin/env bash
# Installs the Debian packages KD4Tool needs to build, test and run.
# Safe to run again: it only installs what is missing.
# Usage: scripts/setup-deps.sh [--fuzz]    (--fuzz adds clang and libFuzzer for scripts/fuzz.sh)
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qtbase5-dev qttools5-dev qttools5-dev-tools
  libcurl4-openssl-dev libcurl4 libjpeg-dev picojson-dev libcpp-httplib-dev libssl-dev
  xvfb xauth x11-utils fonts-ipafont-gothic fonts-dejavu-core
  dbus at-spi2-core python3-pyatspi
  iproute2 util-linux curl clang-format
  dpkg-dev file lintian desktop-file-utils appstream xdg-utils
  ffmpeg
  chromium
)
if [ "${1:-}" = "--fuzz" ]; then
  # clang with its sanitizer and libFuzzer runtimes; llvm-symbolizer for readable reports.
  packages+=(clang-14 libclang-rt-14-dev libfuzzer-14-dev llvm-14)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "setup-deps: all packages present"
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "setup-deps: installing ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
