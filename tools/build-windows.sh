#!/bin/sh
# tools/build-windows.sh -- the Windows programs, cross-built with Debian's mingw-w64 compilers.
#
# Installs what is missing (tools/install-deps.sh), builds FreeType for each target from Debian's own
# source package (static, no optional libraries), then the saver for i686 (the 32-bit program) and
# x86_64. The programs land in build-windows/<arch>/ inside the checkout:
#   build-windows/i686/tockwheel.scr     build-windows/x86_64/tockwheel.scr
# With --tests both builds also build the test programs that need no X11, SDL, FLTK, EGL or libpng;
# the x86_64 ones run under Wine through `ctest` (tools/test-windows.sh runs them). wine32 does not
# install on every Debian 12 machine, so the i686 ones are compiled, not run.
set -eu
cd "$(dirname "$0")/.."
ROOT=$(pwd)
OUT="$ROOT/build-windows"
JOBS=$(nproc 2>/dev/null || echo 2)
TESTS=OFF
[ "${1:-}" = "--tests" ] && TESTS=ON

tools/install-deps.sh

if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi

# ---- FreeType from Debian's source package ---------------------------------------------------------------
# apt-get source needs a deb-src entry; when none is configured, one is added for the suites the
# machine's deb entries name (same mirrors), and only then are the lists read again.
have_deb_src() {
    grep -rqs -e '^deb-src ' -e '^Types:.*deb-src' /etc/apt/sources.list /etc/apt/sources.list.d/ 2>/dev/null
}
add_deb_src() {
    list=/etc/apt/sources.list.d/tockwheel-deb-src.sources
    echo "No deb-src entry: adding $list"
    if ls /etc/apt/sources.list.d/*.sources >/dev/null 2>&1; then
        # deb822 stanzas: each "Types: deb" stanza again as "Types: deb-src".
        for sources in /etc/apt/sources.list.d/*.sources; do cat "$sources"; echo; done |
            awk 'BEGIN{RS=""; ORS="\n\n"} /(^|\n)Types:[ \t]*deb([ \t]|\n|$)/ {sub(/Types:[ \t]*deb/, "Types: deb-src"); print}' |
            $SUDO tee "$list" >/dev/null
    fi
    if [ -f /etc/apt/sources.list ]; then
        sed -n 's/^deb \(.*\)$/deb-src \1/p' /etc/apt/sources.list | $SUDO tee -a "$list.list" >/dev/null
        [ -s "$list.list" ] && $SUDO mv "$list.list" /etc/apt/sources.list.d/tockwheel-deb-src.list || $SUDO rm -f "$list.list"
    fi
    $SUDO apt-get update -qq
}

SRC="$OUT/src"
mkdir -p "$SRC"
FT_DIR=$(find "$SRC" -maxdepth 1 -type d -name 'freetype-*' | sort | tail -n 1)
if [ -z "$FT_DIR" ]; then
    have_deb_src || add_deb_src
    (cd "$SRC" && apt-get source -qq freetype >/dev/null 2>&1 || { $SUDO apt-get update -qq && apt-get source -qq freetype >/dev/null; })
    FT_DIR=$(find "$SRC" -maxdepth 1 -type d -name 'freetype-*' | sort | tail -n 1)
fi
[ -n "$FT_DIR" ] || { echo "build-windows: apt-get source freetype gave no source tree" >&2; exit 1; }

build_freetype() {   # $1: arch
    prefix="$OUT/$1/freetype"
    [ -f "$prefix/lib/libfreetype.a" ] && return 0
    echo "FreeType ($(basename "$FT_DIR")) for $1"
    cmake -S "$FT_DIR" -B "$OUT/$1/freetype-build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-$1.cmake" -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DBUILD_SHARED_LIBS=OFF -DFT_DISABLE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON \
        -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON >/dev/null
    cmake --build "$OUT/$1/freetype-build" -j "$JOBS" >/dev/null
    cmake --install "$OUT/$1/freetype-build" >/dev/null
}

# ---- The disk's prompt bitmaps, drawn here by the host's build of the tool (the same for both targets) ----
PROMPT="$OUT/prompt"
build_prompt_bitmaps() {
    [ -f "$PROMPT/pass.pag" ] && [ -f "$PROMPT/pass2x.pag" ] && [ "$PROMPT/pass.pag" -nt tools/make_prompt_bitmaps.cpp ] && return 0
    mkdir -p "$OUT/host" "$PROMPT"
    # shellcheck disable=SC2046
    c++ -std=c++17 -O2 -o "$OUT/host/make_prompt_bitmaps" tools/make_prompt_bitmaps.cpp \
        $(pkg-config --cflags --libs freetype2)
    "$OUT/host/make_prompt_bitmaps" /usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf "$PROMPT"
}

# ---- The programs -----------------------------------------------------------------------------------------
build_tockwheel() {   # $1: arch, $2: tests ON/OFF, $3: the emulator that runs its tests here ("": none)
    build_freetype "$1"
    emulator="-DCMAKE_CROSSCOMPILING_EMULATOR=$3"
    # shellcheck disable=SC2086
    cmake -S . -B "$OUT/$1" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-$1.cmake" \
        -DTOCKWHEEL_FREETYPE_PREFIX="$OUT/$1/freetype" -DTOCKWHEEL_TESTS="$2" -DTOCKWHEEL_BENCH=OFF \
        -DTOCKWHEEL_PROMPT_DIR="$PROMPT" \
        $emulator >/dev/null
    cmake --build "$OUT/$1" -j "$JOBS" >/dev/null
    file "$OUT/$1/tockwheel.scr" "$OUT/$1/setup/setup.exe"
    ls "$OUT/$1"/tockwheel-*-win*.zip
}

build_prompt_bitmaps

# 32-bit programs run under Wine only where wine32 is installed.
i686_emulator=""
[ -e /usr/lib/wine/i386-windows/kernel32.dll ] && i686_emulator=wine
build_tockwheel i686 "$TESTS" "$i686_emulator"
build_tockwheel x86_64 "$TESTS" wine
