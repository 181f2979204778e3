#!/bin/sh
# tools/install-deps.sh -- installs every Debian package the build, the tests and the saver need.
# Safe to run again: apt-get skips what is already there.
set -eu
if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends \
    build-essential cmake ninja-build pkg-config \
    libgl1-mesa-dev libglu1-mesa-dev libegl-dev libegl-mesa0 libgl1-mesa-dri \
    libsdl2-dev libfreetype-dev libfltk1.3-dev libpng-dev \
    libgtest-dev libgmock-dev googletest libbenchmark-dev \
    fonts-liberation2 xvfb xauth xdotool x11-utils x11-xserver-utils \
    >/dev/null
