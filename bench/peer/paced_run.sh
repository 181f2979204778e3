#!/bin/sh
# bench/peer/paced_run.sh -- what a screen saver costs the machine while it runs: CPU share of one core and
# peak resident memory over a fixed time, tockwheel on its window back end (paced to 60 Hz) against
# xscreensaver's gltext at its own default rate, both on one Xvfb screen of the given size, in one run.
#
#   bench/peer/paced_run.sh [BUILD_DIR]     SIZE=1024x768 SECONDS_EACH=20 RUNS=2 CSV=FILE (optional)
#
# Each program runs SECONDS_EACH seconds under /usr/bin/time and is then ended with SIGTERM (the saver
# ends cleanly on it; gltext is killed by it). CPU counts every thread of the process, llvmpipe's too,
# and, in its own column, what the X server spent meanwhile (from /proc), since every presented frame
# is also copied by the server. The programs take turns, RUNS rounds; each one's round with the lower
# CPU (own + X server) counts. Rows:
#   gltext      at its default rate;
#   floor       bench_gl_floor, an OpenGL window of the screen's size that only clears and swaps at
#               60 Hz, which no OpenGL program on this driver can undercut;
#   defaults    the saver with no settings file (640 x 480 at 16 bits, reduced and stretched over the
#               screen: what a new user gets);
#   mode 81     1024 x 768 at 32 bits, the screen's own size on a 1024 x 768 screen, stretched on others;
#   largest     the largest 32-bit mode of the table the screen holds, when it is not 1024 x 768.
# Prints a Markdown table; with CSV set, also one line per row: size,row,seconds,cpu_s,xserver_s,peak_kb.
set -eu
cd "$(dirname "$0")/../.."
BUILD=${1:-build}
SIZE=${SIZE:-1024x768}
SECONDS_EACH=${SECONDS_EACH:-20}
RUNS=${RUNS:-2}
CSV=${CSV:-}
GLTEXT=/usr/libexec/xscreensaver/gltext
FONT=/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf
TICKS=$(getconf CLK_TCK)

for program in "$BUILD/saver/tockwheel" "$BUILD/bench/peer/bench_peer_settings" "$BUILD/bench/peer/bench_gl_floor" \
               "$GLTEXT" /usr/bin/time; do
  [ -x "$program" ] || { echo "$program is missing" >&2; exit 2; }
done

# The largest of the table's resolutions that fits the screen, by pixels.
WIDTH=${SIZE%x*}
HEIGHT=${SIZE#*x}
LARGEST=$(for r in 320x200 320x240 320x400 320x480 400x300 512x384 640x350 640x400 640x480 800x600 1024x768 \
                   1152x864 1280x960 1280x1024 1600x1200; do echo "$r"; done |
          awk -F x -v w="$WIDTH" -v h="$HEIGHT" '$1 <= w && $2 <= h && $1 * $2 > best { best = $1 * $2; r = $0 }
                                                   END { print r }')

WORK_NAME=paced . bench/peer/work_dir.sh

windows defaults
windows mode81 1024x768
ROWS="gltext floor defaults mode81"
if [ "$LARGEST" != 1024x768 ]; then windows largest "$LARGEST"; ROWS="$ROWS largest"; fi

Xvfb -displayfd 3 -screen 0 "${SIZE}x24" -nolisten tcp 3>"$WORK/display" 2>"$WORK/xvfb.log" &
XVFB_PID=$!
tries=0
while [ ! -s "$WORK/display" ] && [ $tries -lt 100 ]; do sleep 0.1; tries=$((tries + 1)); done
export DISPLAY=":$(cat "$WORK/display")"

xserver_ticks() { awk '{ print $14 + $15 }' "/proc/$XVFB_PID/stat"; }

# One timed run: "cpu_s xserver_cpu_s peak_kb".
timed() {
  before=$(xserver_ticks)
  /usr/bin/time -f '%U %S %M' -o "$WORK/time" timeout -s TERM "$SECONDS_EACH" "$@" >/dev/null 2>&1 || true
  sleep 0.5   # the server finishes the last frames and the clean-up it was sent
  after=$(xserver_ticks)
  tail -n 1 "$WORK/time" | awk -v x=$((after - before)) -v t="$TICKS" '{ printf "%.2f %.2f %d\n", $1 + $2, x / t, $3 }'
}

run_row() {
  case $1 in
    gltext) timed "$GLTEXT" -root -text '%I:%M:%S %p' ;;
    floor) timed "$BUILD/bench/peer/bench_gl_floor" $((SECONDS_EACH + 5)) ;;
    *) WINDIR="$WORK/$1" TOCKWHEEL_DISPLAY=window timed "$BUILD/saver/tockwheel" /s ;;
  esac
}

run=0
while [ $run -lt "$RUNS" ]; do
  for row in $ROWS; do echo "$row $(run_row "$row")" >> "$WORK/rounds"; done
  run=$((run + 1))
done
# Each row's round with the least CPU, own and X server's together.
awk '{ t = $2 + $3; if (!($1 in best) || t < best[$1]) { best[$1] = t; line[$1] = $0 } }
     END { for (r in line) print line[r] }' "$WORK/rounds" > "$WORK/best"
[ -z "$CSV" ] || awk -v size="$SIZE" -v s="$SECONDS_EACH" '{ printf "%s,%s,%s,%s,%s,%s\n", size, $1, s, $2, $3, $4 }' "$WORK/best" >> "$CSV"

echo "| $SIZE, $SECONDS_EACH s each, best of $RUNS | own CPU (cores) | X server | together | / gltext + X | / floor + X | peak RSS MB | / gltext | above floor / gltext's |"
echo "| --- | --- | --- | --- | --- | --- | --- | --- | --- |"
for row in $ROWS; do grep "^$row " "$WORK/best"; done | awk -v s="$SECONDS_EACH" -v largest="$LARGEST" '
  BEGIN {
    name["gltext"] = "gltext at its default rate"
    name["floor"] = "floor: a window that only clears and swaps at 60 Hz"
    name["defaults"] = "tockwheel, no settings file (640 x 480, 16-bit, stretched)"
    name["mode81"] = "tockwheel, mode 81 (1024 x 768, 32-bit)"
    name["largest"] = "tockwheel, largest mode the screen holds (" largest ", 32-bit)"
  }
  { row[NR] = $1; cpu[$1] = $2 / s; x[$1] = $3 / s; rss[$1] = $4 / 1024 }
  END {
    g = cpu["gltext"] + x["gltext"]; f = cpu["floor"] + x["floor"]
    for (i = 1; i <= NR; ++i) {
      r = row[i]; t = cpu[r] + x[r]
      above = (rss["gltext"] > rss["floor"]) ? (rss[r] - rss["floor"]) / (rss["gltext"] - rss["floor"]) : 0
      printf "| %s | %.3f | %.3f | %.3f | %.2f | %.2f | %.1f | %.2f | %.2f |\n", name[r], cpu[r], x[r], t, t / g, t / f,
             rss[r], rss[r] / rss["gltext"], above
    }
  }'
