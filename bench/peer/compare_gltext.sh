#!/bin/sh
# bench/peer/compare_gltext.sh -- CPU time per rendered frame: tockwheel on its offscreen back end against
# xscreensaver's gltext hack on Xvfb, at the same screen sizes, in one run on one machine.
#
#   bench/peer/compare_gltext.sh [BUILD_DIR]           BUILD_DIR defaults to build
#   SIZES="640x480 1024x768 1600x1200" WARMUP_S=2 WINDOW_S=10 PASSES=600 RUNS=3
#
# Peer: gltext -root -text '%I:%M:%S %p' -delay 0 -fps on an Xvfb screen of the size, with frame_counter.c
# preloaded: it counts eglSwapBuffers calls and reads the hack's CPU time (all threads, so llvmpipe's too)
# and Xvfb's over WINDOW_S seconds after WARMUP_S seconds of warm-up, then ends the hack.
# Saver: the default settings in the 32-bit mode of the size, run for a short and a long pass count under
# /usr/bin/time; the difference of the CPU times over the difference of the passes is the cost of one
# rendered frame without start-up (frameSkip is 0, so every pass renders). The best of RUNS runs counts.
# Prints a Markdown table.
set -eu
cd "$(dirname "$0")/../.."
BUILD=${1:-build}
SIZES=${SIZES:-"640x480 1024x768 1600x1200"}
WARMUP_S=${WARMUP_S:-2}
WINDOW_S=${WINDOW_S:-10}
PASSES=${PASSES:-600}
RUNS=${RUNS:-3}
SHORT_PASSES=30
GLTEXT=/usr/libexec/xscreensaver/gltext
FONT=/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf

for program in "$BUILD/saver/tockwheel" "$BUILD/bench/peer/bench_peer_settings"; do
  [ -x "$program" ] || { echo "$program is missing: build it first (ninja -C $BUILD tockwheel bench_peer_settings)" >&2; exit 2; }
done
if [ ! -x "$GLTEXT" ]; then
  SUDO=; [ "$(id -u)" = 0 ] || SUDO=sudo
  $SUDO apt-get install -y --no-install-recommends xscreensaver-gl xscreensaver-data >&2
fi

WORK_NAME=peer . bench/peer/work_dir.sh
cc -O2 -shared -fPIC -o "$WORK/frame_counter.so" bench/peer/frame_counter.c -ldl

# The peer at one size: "frames own_cpu_s xserver_cpu_s".
measure_peer() {
  rm -f "$WORK/display"
  Xvfb -displayfd 3 -screen 0 "${1}x24" -nolisten tcp 3>"$WORK/display" 2>"$WORK/xvfb.log" &
  XVFB_PID=$!
  tries=0
  while [ ! -s "$WORK/display" ] && [ $tries -lt 100 ]; do sleep 0.1; tries=$((tries + 1)); done
  rm -f "$WORK/report"
  DISPLAY=":$(cat "$WORK/display")" PEER_WARMUP_S=$WARMUP_S PEER_WINDOW_S=$WINDOW_S PEER_XSERVER_PID=$XVFB_PID \
    PEER_REPORT="$WORK/report" LD_PRELOAD="$WORK/frame_counter.so" \
    timeout $((WARMUP_S + WINDOW_S + 30)) "$GLTEXT" -root -text '%I:%M:%S %p' -delay 0 -fps >/dev/null 2>&1 || true
  kill "$XVFB_PID" 2>/dev/null || true
  wait "$XVFB_PID" 2>/dev/null || true
  XVFB_PID=
  [ -s "$WORK/report" ] || { echo "gltext reported nothing at $1" >&2; exit 1; }
  awk '{ print $2, $6 + $8, $10 }' "$WORK/report"
}

# The saver for a pass count at one size: "user+sys wall", the best of RUNS.
measure_saver() {
  best=
  run=0
  while [ $run -lt "$RUNS" ]; do
    status=0
    WINDIR="$WORK/windows" TOCKWHEEL_DISPLAY=offscreen TOCKWHEEL_SCREEN="$1" TOCKWHEEL_PASSES="$2" \
      TOCKWHEEL_TIME=2024-03-05T15:30:07 DISPLAY= WAYLAND_DISPLAY= \
      /usr/bin/time -f '%U %S %e' -o "$WORK/time" "$BUILD/saver/tockwheel" /s 2>/dev/null || status=$?
    [ "$status" = 4 ] || { echo "tockwheel ended with $status at $1, not at its pass limit" >&2; exit 1; }
    # time puts "Command exited with non-zero status 4" before its own line.
    this=$(tail -n 1 "$WORK/time" | awk '{ printf "%.3f %.3f", $1 + $2, $3 }')
    best=$(printf '%s\n%s\n' "$best" "$this" | awk 'NF { if (!seen || $1 < cpu) { cpu = $1; wall = $2; seen = 1 } }
                                                     END { print cpu, wall }')
    run=$((run + 1))
  done
  echo "$best"
}

mkdir -p "$WORK/windows/Orvask" "$WORK/windows/fonts"
cp "$FONT" "$WORK/windows/fonts/Arial.ttf"

echo "| screen | gltext frames/s | gltext CPU ms/frame | + Xvfb ms/frame | tockwheel CPU ms/frame | tockwheel wall ms/frame | ratio (tockwheel / gltext own) |"
echo "| --- | --- | --- | --- | --- | --- | --- |"
for size in $SIZES; do
  "$BUILD/bench/peer/bench_peer_settings" "$WORK/windows/Orvask/Tockwheel.ini" "$size"
  peer=$(measure_peer "$size")
  short=$(measure_saver "$size" $SHORT_PASSES)
  long=$(measure_saver "$size" $((SHORT_PASSES + PASSES)))
  echo "$size $peer $short $long" | awk -v window="$WINDOW_S" -v passes="$PASSES" '{
    frames = $2; peer = 1000 * $3 / frames; xserver = 1000 * $4 / frames
    saver = 1000 * ($7 - $5) / passes; wall = 1000 * ($8 - $6) / passes
    printf "| %s | %.1f | %.2f | %.2f | %.2f | %.2f | %.2f |\n", $1, frames / window, peer, xserver, saver, wall, saver / peer }'
done
