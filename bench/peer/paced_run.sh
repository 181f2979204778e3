#!/bin/sh
# bench/peer/paced_run.sh -- what a screen saver costs the machine while it runs: CPU share of one core and
# peak resident memory over a fixed time, tockwheel on its window back end (paced to 60 Hz) against
# xscreensaver's gltext at its own default rate, both on one Xvfb screen of the same size, in one run.
#
#   bench/peer/paced_run.sh [BUILD_DIR]          SIZE=1024x768 SECONDS_EACH=20 RUNS=2
#
# Each program runs SECONDS_EACH seconds under /usr/bin/time and is then ended with SIGTERM (the saver
# ends cleanly on it; gltext is killed by it). CPU counts every thread of the process, llvmpipe's too,
# not the X server's. The run with the lower CPU of RUNS counts. The saver runs twice: in the 32-bit mode
# of the screen's size (the same pixels as the peer), and with no settings file at all (640 x 480 at 16
# bits, reduced and stretched over the screen: what a new user gets). A last row is the floor under both:
# bench_gl_floor, an OpenGL window of the screen's size that only clears and swaps at 60 Hz, which no
# OpenGL program on this driver can undercut. Prints a Markdown table.
set -eu
cd "$(dirname "$0")/../.."
BUILD=${1:-build}
SIZE=${SIZE:-1024x768}
SECONDS_EACH=${SECONDS_EACH:-20}
RUNS=${RUNS:-2}
GLTEXT=/usr/libexec/xscreensaver/gltext
FONT=/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf

for program in "$BUILD/saver/tockwheel" "$BUILD/bench/peer/bench_peer_settings" "$BUILD/bench/peer/bench_gl_floor" \
               "$GLTEXT" /usr/bin/time; do
  [ -x "$program" ] || { echo "$program is missing" >&2; exit 2; }
done

WORK=$(mktemp -d /tmp/tockwheel-paced-XXXXXX)
XVFB_PID=
cleanup() { [ -z "$XVFB_PID" ] || kill "$XVFB_PID" 2>/dev/null || true; rm -rf "$WORK"; }
trap cleanup EXIT INT TERM

for windows in "$WORK/windows" "$WORK/defaults"; do
  mkdir -p "$windows/Orvask" "$windows/fonts"
  cp "$FONT" "$windows/fonts/Arial.ttf"
  cp "$BUILD/tools/prompt/pass.pag" "$BUILD/tools/prompt/pass2x.pag" "$windows/Orvask/"
done
"$BUILD/bench/peer/bench_peer_settings" "$WORK/windows/Orvask/Tockwheel.ini" "$SIZE"

Xvfb -displayfd 3 -screen 0 "${SIZE}x24" -nolisten tcp 3>"$WORK/display" 2>"$WORK/xvfb.log" &
XVFB_PID=$!
tries=0
while [ ! -s "$WORK/display" ] && [ $tries -lt 100 ]; do sleep 0.1; tries=$((tries + 1)); done
export DISPLAY=":$(cat "$WORK/display")"

# One timed run: "cpu_s peak_kb".
timed() {
  /usr/bin/time -f '%U %S %M' -o "$WORK/time" timeout -s TERM "$SECONDS_EACH" "$@" >/dev/null 2>&1 || true
  tail -n 1 "$WORK/time" | awk '{ printf "%.2f %d\n", $1 + $2, $3 }'
}
best() {   # best COMMAND...: the run with the least CPU of RUNS
  run=0
  while [ $run -lt "$RUNS" ]; do timed "$@"; run=$((run + 1)); done | sort -n | head -n 1
}

peer=$(best "$GLTEXT" -root -text '%I:%M:%S %p')
saver=$(WINDIR="$WORK/windows" TOCKWHEEL_DISPLAY=window best "$BUILD/saver/tockwheel" /s)
defaults=$(WINDIR="$WORK/defaults" TOCKWHEEL_DISPLAY=window best "$BUILD/saver/tockwheel" /s)
floor=$("$BUILD/bench/peer/bench_gl_floor" "$SECONDS_EACH")

echo "| $SIZE, $SECONDS_EACH s each | CPU s | share of one core | peak RSS MB |"
echo "| --- | --- | --- | --- |"
echo "gltext $peer" "tockwheel $saver" "floor $floor" "defaults $defaults" | awk -v s="$SECONDS_EACH" '{
  printf "| gltext at its default rate | %.2f | %.2f | %.1f |\n", $2, $2 / s, $3 / 1024
  printf "| tockwheel, paced to 60 Hz, 32-bit page of the screen'"'"'s size | %.2f | %.2f | %.1f |\n", $5, $5 / s, $6 / 1024
  printf "| tockwheel, paced to 60 Hz, no settings file (640 x 480, 16-bit, stretched) | %.2f | %.2f | %.1f |\n", $11, $11 / s, $12 / 1024
  printf "| floor: a window that only clears and swaps at 60 Hz | %.2f | %.2f | %.1f |\n", $8, $8 / s, $9 / 1024
  printf "| ratio (tockwheel / gltext) | | %.2f | %.2f |\n", $5 / $2, $6 / $3
  printf "| ratio (floor / gltext) | | %.2f | %.2f |\n", $8 / $2, $9 / $3 }'
