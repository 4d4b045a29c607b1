#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing need,
# and only those that are missing, so a second run costs a second. The
# packages named as arguments are wanted too (the checks in tools/ add theirs).
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libpulse-dev pulseaudio pulseaudio-utils
  libsqlcipher-dev
  libespeak-ng-dev espeak-ng-data
  fonts-unikurdweb fonts-noto-core
  xvfb xdotool
  x11-utils xclip sox
  libxcb1-dev libxcb-xfixes0-dev
  at-spi2-core python3-pyatspi dbus
  desktop-file-utils appstream
  clang libclang-rt-14-dev
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [ "$status" = installed ] || missing+=("$p")
done

[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
