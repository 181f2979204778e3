#!/bin/sh
# tools/test-windows.sh -- builds the Windows programs and their tests (tools/build-windows.sh --tests),
# checks that both programs are GUI programs needing only DLLs every Windows has, and runs the Windows
# test programs under Wine on a Wine prefix and an Xvfb of their own. The whole-program checks under
# Wine are the Linux build's test_windows_runs (tools/test.sh runs them).
set -eu
cd "$(dirname "$0")/.."
ROOT=$(pwd)
tools/build-windows.sh --tests

# ---- The programs (saver and installer): PE GUI programs importing only system DLLs ----------------------------------------------
ALLOWED="kernel32.dll user32.dll gdi32.dll opengl32.dll glu32.dll comctl32.dll msvcrt.dll advapi32.dll"
for program in build-windows/i686/tockwheel.scr build-windows/i686/setup/setup.exe \
               build-windows/x86_64/tockwheel.scr build-windows/x86_64/setup/setup.exe; do
    arch=$(echo "$program" | cut -d/ -f2)
    kind=$(file -b "$program")
    case "$arch:$kind" in
        i686:"PE32 executable (GUI) Intel 80386"*|x86_64:"PE32+ executable (GUI) x86-64"*) ;;
        *) echo "test-windows: $program is not the expected GUI program: $kind" >&2; exit 1 ;;
    esac
    imports=$($arch-w64-mingw32-objdump -p "$program" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
    for dll in $imports; do
        case " $ALLOWED " in *" $dll "*) ;; *) echo "test-windows: $program imports $dll" >&2; exit 1 ;; esac
    done
    echo "$program: $kind; imports:" $imports
done

# ---- The test programs under Wine --------------------------------------------------------------------------
WINEPREFIX=$(mktemp -d /tmp/tockwheel-wine.XXXXXX)
XVFB_PID=""
cleanup() {
    WINEPREFIX="$WINEPREFIX" wineserver -k 2>/dev/null || true
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
    rm -rf "$WINEPREFIX"
}
trap cleanup EXIT INT TERM
# A display number far from the usual ones, as the Linux tests pick theirs; -noreset keeps it up.
while :; do
    n=$(( $(od -An -N2 -tu2 /dev/urandom) % 400 + 600 ))
    [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ] && break
done
Xvfb ":$n" -screen 0 1024x768x24 -noreset -nolisten tcp >/dev/null 2>&1 &
XVFB_PID=$!
# One more RandR mode, 800 x 600, so that Wine lists a display mode besides the desktop's and the
# Windows display test sees a mode change and its end.
sleep 1
DISPLAY=":$n" xrandr --newmode 800x600 40.00 800 840 968 1056 600 601 605 628 >/dev/null 2>&1 &&
    DISPLAY=":$n" xrandr --addmode screen 800x600 >/dev/null 2>&1 || echo "test-windows: no RandR modes added"
export DISPLAY=":$n" WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
start=$(date +%s)
wineboot -i >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
echo "Wine prefix booted in $(( $(date +%s) - start )) s"
(cd build-windows/x86_64 && ctest --output-on-failure)
if [ -e /usr/lib/wine/i386-windows/kernel32.dll ]; then
    (cd build-windows/i686 && ctest --output-on-failure)
else
    echo "wine32 is not installed: the i686 test programs are built, not run"
fi
cd "$ROOT"
