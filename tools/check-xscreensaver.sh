#!/bin/sh
# tools/check-xscreensaver.sh -- runs Tockwheel under the real xscreensaver daemon on a private Xvfb:
# activates the host, takes a picture of the screen, unblanks, and checks that the saver's process is gone.
# xscreensaver launches no display mode as root, so as root the check runs as the user "xstest" (made here).
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
cp "$PROGRAM" "$WORK/bin/tockwheel"
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
export HOME=$WORK/home DISPLAY=:\$(( 300 + \$\$ % 600 )) WINDIR=$WORK/home/windows PATH=$WORK/bin:\$PATH
mkdir -p \$WINDIR/Orvask \$WINDIR/fonts
cp /usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf \$WINDIR/fonts/Arial.ttf
Xvfb \$DISPLAY -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 & X=\$!
sleep 1
printf 'mode: one\nselected: 0\ntimeout: 0:10:00\nlock: False\nsplash: False\nprograms: "Tockwheel" tockwheel /s -root \\\\n\n' > \$HOME/.xscreensaver
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
PY
echo "picture of the blanked screen: $SHOT"
rm -rf "$WORK"
