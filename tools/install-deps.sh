#!/bin/sh
# tools/install-deps.sh -- installs every Debian package the build, the tests and the saver need.
# Safe to run again: when everything is there already it does nothing.
set -eu
PACKAGES="build-essential cmake ninja-build pkg-config
  libgl1-mesa-dev libglu1-mesa-dev libegl-dev libegl-mesa0 libgl1-mesa-dri
  libsdl2-dev libxrandr-dev libfreetype-dev libfltk1.3-dev libpng-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  fonts-liberation2 xvfb xauth xdotool x11-utils x11-xserver-utils
  xserver-xorg-core xserver-xorg-video-dummy man-db
  dpkg-dev file xscreensaver sway wtype grim xwayland
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine wine64"

missing=""
for package in $PACKAGES; do
    status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
    case "$status" in *"ok installed"*) ;; *) missing="$missing $package" ;; esac
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
echo "Installing:$missing"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
# shellcheck disable=SC2086
$SUDO apt-get install -y -qq --no-install-recommends $missing >/dev/null
