#!/usr/bin/env bash
# Shared set-up of scripts/run and scripts/test: installs the Debian packages
# that are missing (as root, or through sudo) and configures and builds the
# program. Sourced, not run. Honours QM_BUILD_DIR (default: build).
set -euo pipefail

QM_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QM_BUILD_DIR=${QM_BUILD_DIR:-$QM_ROOT/build}

# ccache keys without the clone's own path, so a second clone of the same code
# (as CI makes for every run) compiles from the cache.
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$QM_ROOT}
export CCACHE_NOHASHDIR=${CCACHE_NOHASHDIR:-true}

qm_install_packages() {
  local missing=()
  local pkg
  for pkg in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$pkg")
    fi
  done
  if [ ${#missing[@]} -eq 0 ]; then
    return 0
  fi
  echo "Installiere fehlende Pakete: ${missing[*]}"
  local sudo=()
  if [ "$(id -u)" -ne 0 ]; then
    sudo=(sudo)
  fi
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

QM_BUILD_PACKAGES=(
  build-essential cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev libxkbcommon-dev
  libshp-dev libshp2 libzint-dev zlib1g-dev libcups2-dev fonts-liberation fonts-dejavu-core qt6-translations-l10n libqt6svg6
)

# qm_configure_and_build DIR [TARGET] -- CMAKE_ARGS...: configures DIR and
# builds TARGET (everything when no target is given).
qm_configure_and_build() {
  local dir=$1
  shift
  local target=()
  if [ $# -gt 0 ] && [ "$1" != "--" ]; then
    target=(--target "$1")
    shift
  fi
  [ "${1:-}" = "--" ] && shift
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$QM_ROOT" -B "$dir" -G Ninja "$@"
  else
    cmake "$dir" "$@" >/dev/null
  fi
  cmake --build "$dir" --parallel "$(nproc)" "${target[@]}"
}
