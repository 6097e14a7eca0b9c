#!/usr/bin/env bash
# Installs the Debian packages that the build, the tests and the demo need, but only
# those that are missing, so a prepared machine pays nothing. Never prompts.
# TARSA_QT=6 adds what the Qt 6 build needs (Qt 5 stays: the image tools and the default build use it).
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config ccache
  qtbase5-dev qtbase5-dev-tools libqt5xml5 libqt5network5 libqt5dbus5 libqt5widgets5 libqt5svg5-dev
  libbenchmark-dev
  clang libclang-rt-14-dev
  xvfb xauth x11-apps imagemagick fonts-dejavu-core
  dpkg-dev file
)
if [ "${TARSA_QT:-5}" = 6 ]; then
  packages+=(qt6-base-dev qt6-base-dev-tools qt6-svg-dev)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "tools/install-deps.sh: these Debian packages are missing: ${missing[*]}" >&2
  echo "Run as root (sudo make ...) or install them with:" >&2
  echo "  sudo apt-get install -y --no-install-recommends ${missing[*]}" >&2
  exit 1
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
