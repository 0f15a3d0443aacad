#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12, configures, and builds the targets
# named on its command line (all of them when none is named).
# Safe to run again: apt-get skips what is there and the build is incremental.
# OMBRIX_JOBS, else CMAKE_BUILD_PARALLEL_LEVEL, limits the build's parallel jobs (default:
# one per processor).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${OMBRIX_BUILD_DIR:-$here/build}

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-serialport-dev qt6-svg-dev
  qt6-speech-dev qt6-declarative-dev qt6-speech-flite-plugin qt6-image-formats-plugins
  qt6-translations-l10n
  socat xvfb xauth openssl desktop-file-utils appstream groff-base
  pulseaudio pulseaudio-utils
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

jobs=${OMBRIX_JOBS:-${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}}
targets=()
[ $# -eq 0 ] || targets=(--target "$@")

cmake -S "$here" -B "$build" -G Ninja ${OMBRIX_CMAKE_ARGS:-}
cmake --build "$build" --parallel "$jobs" "${targets[@]}"
