#!/bin/sh
# tools/check-xscreensaver.sh -- runs Tockwheel under the real xscreensaver daemon on a private Xvfb, as a
# new user would have it: installed with `cmake --install` into a prefix of its own, the user's home empty
# (no Windows directory: the data come from the installed tree), the display mode added to ~/.xscreensaver
# by tockwheel-add-to-xscreensaver. Activates the host, takes a picture of the screen, unblanks, and checks
# that the saver's process is gone. xscreensaver launches no display mode as root, so as root the check runs
# as the user "xstest" (made here).
# Usage: tools/check-xscreensaver.sh [SCREENSHOT.png]      (needs: xscreensaver, Xvfb, python3)
set -eu
cd "$(dirname "$0")/.."
ROOT=$(pwd)
SHOT=${1:-$ROOT/xscreensaver-check.png}
PROGRAM=$ROOT/build/saver/tockwheel
[ -x "$PROGRAM" ] || { echo "build the saver first (tools/run.sh or cmake --build build)"; exit 1; }
command -v xscreensaver >/dev/null || apt-get install -y -qq xscreensaver >/dev/null

WORK=$(mktemp -d /tmp/tockwheel-xs-XXXXXX)
chmod 755 "$WORK"
mkdir -p "$WORK/bin" "$WORK/home"
cmake --install build --prefix "$WORK/prefix" >/dev/null
cc -O2 -o "$WORK/bin/grab" -x c - -lX11 <<'C'
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <stdio.h>
int main(int argc, char** argv) {
    Display* d = XOpenDisplay(0); if (!d || argc < 2) return 1;
    Window r = DefaultRootWindow(d); XWindowAttributes a; XGetWindowAttributes(d, r, &a);
    XImage* i = XGetImage(d, r, 0, 0, a.width, a.height, AllPlanes, ZPixmap);
    FILE* f = fopen(argv[1], "wb"); fprintf(f, "P6\n%d %d\n255\n", a.width, a.height);
    for (int y = 0; y < a.height; y++) for (int x = 0; x < a.width; x++) {
        unsigned long p = XGetPixel(i, x, y); fputc((p >> 16) & 255, f); fputc((p >> 8) & 255, f); fputc(p & 255, f); }
    fclose(f); return 0; }
C
cat > "$WORK/check.sh" <<SH
#!/bin/sh
export HOME=$WORK/home DISPLAY=:\$(( 300 + \$\$ % 600 )) PATH=$WORK/prefix/bin:$WORK/bin:\$PATH
unset WINDIR XDG_DATA_HOME
Xvfb \$DISPLAY -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 & X=\$!
sleep 1
tockwheel-add-to-xscreensaver >/dev/null
# Tockwheel alone: its place in the list (counted from 0) as the one mode.
SELECTED=\$(awk '/^programs:/ { on = 1; next } on && /tockwheel/ { print n; exit } on { n++ }' \$HOME/.xscreensaver)
printf 'mode: one\nselected: %s\ntimeout: 0:10:00\nlock: False\nsplash: False\n' \$SELECTED >> \$HOME/.xscreensaver
xscreensaver -no-splash > \$HOME/xscreensaver.log 2>&1 &
sleep 3
xscreensaver-command -activate >/dev/null
sleep 8
PID=\$(pgrep -u \$(id -u) -x tockwheel || true)
grab $WORK/home/screen.ppm
xscreensaver-command -deactivate >/dev/null
sleep 3
xscreensaver-command -exit >/dev/null 2>&1 || true
kill \$X
[ -n "\$PID" ] || { echo "FAIL: the host did not start tockwheel"; exit 1; }
if kill -0 \$PID 2>/dev/null; then echo "FAIL: tockwheel still runs after unblanking"; exit 1; fi
echo "ok: xscreensaver ran tockwheel (pid \$PID) and it ended when the host unblanked"
SH
chmod 755 "$WORK/check.sh"
if [ "$(id -u)" -eq 0 ]; then
    id xstest >/dev/null 2>&1 || useradd -M -d "$WORK/home" xstest
    chown -R xstest "$WORK/home"
    runuser -u xstest -- "$WORK/check.sh"
else
    "$WORK/check.sh"
fi
python3 - "$WORK/home/screen.ppm" "$SHOT" <<'PY'
import struct, sys, zlib
data = open(sys.argv[1], 'rb').read()
header, rest = data.split(b'\n', 1); size, rest = rest.split(b'\n', 1); _, pixels = rest.split(b'\n', 1)
w, h = map(int, size.split())
raw = b''.join(b'\0' + pixels[y * w * 3:(y + 1) * w * 3] for y in range(h))
chunk = lambda t, b: struct.pack('>I', len(b)) + t + b + struct.pack('>I', zlib.crc32(t + b) & 0xffffffff)
open(sys.argv[2], 'wb').write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 2, 0, 0, 0))
                              + chunk(b'IDAT', zlib.compress(raw, 6)) + chunk(b'IEND', b''))
lit = sum(1 for i in range(0, w * h * 3, 3) if pixels[i] | pixels[i + 1] | pixels[i + 2])
print("picture of the blanked screen: %s (%.1f%% of its pixels lit)" % (sys.argv[2], 100.0 * lit / (w * h)))
# The clock alone lights several percent of the screen; a black screen means the saver drew nothing.
sys.exit(0 if lit > w * h // 100 else "FAIL: the blanked screen is black")
PY
rm -rf "$WORK"
