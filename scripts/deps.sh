#!/usr/bin/env bash
# Installs the Debian packages that building, testing and running need, when
# any of them is missing. Safe to run again: it does nothing then.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools qt6-charts-dev libqt6opengl6-dev libgl-dev fonts-dejavu-core
  xvfb xauth
  qt6-gtk-platformtheme
  openbox xdotool x11-utils imagemagick xclip
  libsystemd-dev dbus-daemon libmicrohttpd-dev
  desktop-file-utils appstream dpkg-dev file man-db
  systemd prometheus
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
