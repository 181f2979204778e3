#!/bin/sh
# bench/peer/host_run.sh -- what the saver costs run the way xscreensaver runs it (`tockwheel /s -root`:
# drawing into the X root window as into a host's window) and run on its own (`tockwheel /s`, full
# screen), against xscreensaver's gltext clock (`gltext -root`), side by side on one Xvfb screen per size.
#
#   bench/peer/host_run.sh [BUILD_DIR]     SIZES="1920x1080 1024x768" SECONDS_EACH=15 RUNS=2 CSV=FILE
#                                          BEFORE=PROGRAM (an older tockwheel, for before-and-after rows)
#
# Rows per size: gltext at its default rate; the saver with no settings file (640 x 480, 16-bit: what a
# new user gets) and in mode 81 (1024 x 768, 32-bit), each under the host (-root) and on its own.
# Each program runs SECONDS_EACH seconds under /usr/bin/time and is then ended with SIGTERM. CPU is
# user + system time of every thread of the program (llvmpipe's too), plus, in its own column, what the
# X server spent meanwhile (from /proc); peak RSS from /usr/bin/time. The programs take turns, RUNS
# rounds, and each row's round with the least CPU (own + X server) counts. Prints a Markdown table per
# size; with CSV set, also one line per row: size,row,seconds,cpu_s,xserver_s,peak_kb. With BEFORE set,
# that program runs the two host rows too, in the same turns.
set -eu
cd "$(dirname "$0")/../.."
BUILD=${1:-build}
SIZES=${SIZES:-"1920x1080 1024x768"}
SECONDS_EACH=${SECONDS_EACH:-15}
RUNS=${RUNS:-2}
CSV=${CSV:-}
GLTEXT=/usr/libexec/xscreensaver/gltext
FONT=/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf
TICKS=$(getconf CLK_TCK)

if [ ! -x "$GLTEXT" ]; then
  SUDO=; [ "$(id -u)" = 0 ] || SUDO=sudo
  $SUDO apt-get install -y --no-install-recommends xscreensaver-gl xscreensaver-data >&2
fi
for program in "$BUILD/saver/tockwheel" "$BUILD/bench/peer/bench_peer_settings" "$GLTEXT" /usr/bin/time; do
  [ -x "$program" ] || { echo "$program is missing" >&2; exit 2; }
done

WORK_NAME=host . bench/peer/work_dir.sh

windows defaults
windows mode81 1024x768
ROWS="gltext host-defaults host-mode81 own-defaults own-mode81"
BEFORE=${BEFORE:-}
[ -z "$BEFORE" ] || ROWS="$ROWS before-defaults before-mode81"

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
    host-*) WINDIR="$WORK/${1#host-}" TOCKWHEEL_DISPLAY=window timed "$BUILD/saver/tockwheel" /s -root ;;
    own-*) WINDIR="$WORK/${1#own-}" TOCKWHEEL_DISPLAY=window timed "$BUILD/saver/tockwheel" /s ;;
    before-*) WINDIR="$WORK/${1#before-}" TOCKWHEEL_DISPLAY=window timed "$BEFORE" /s -root ;;
  esac
}

for size in $SIZES; do
  rm -f "$WORK/display" "$WORK/rounds"
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset 3>"$WORK/display" 2>"$WORK/xvfb.log" &
  XVFB_PID=$!
  tries=0
  while [ ! -s "$WORK/display" ] && [ $tries -lt 100 ]; do sleep 0.1; tries=$((tries + 1)); done
  export DISPLAY=":$(cat "$WORK/display")"
  run=0
  while [ $run -lt "$RUNS" ]; do
    for row in $ROWS; do echo "$row $(run_row "$row") $(cut -d ' ' -f 1-3 /proc/loadavg)" >> "$WORK/rounds"; done
    run=$((run + 1))
  done
  kill "$XVFB_PID" 2>/dev/null || true
  wait "$XVFB_PID" 2>/dev/null || true
  XVFB_PID=
  awk '{ t = $2 + $3; if (!($1 in best) || t < best[$1]) { best[$1] = t; line[$1] = $0 } }
       END { for (r in line) print line[r] }' "$WORK/rounds" > "$WORK/best"
  [ -z "$CSV" ] || awk -v size="$size" -v s="$SECONDS_EACH" '{ printf "%s,%s,%s,%s,%s,%s\n", size, $1, s, $2, $3, $4 }' "$WORK/best" >> "$CSV"
  echo
  echo "| $size, $SECONDS_EACH s each, best of $RUNS | own CPU s | X server s | together s | / gltext | peak RSS MB | / gltext | load avg at the start |"
  echo "| --- | --- | --- | --- | --- | --- | --- | --- |"
  for row in $ROWS; do grep "^$row " "$WORK/best"; done | awk '
    BEGIN {
      name["gltext"] = "gltext -root"
      name["host-defaults"] = "tockwheel /s -root, no settings file (640 x 480, 16-bit)"
      name["host-mode81"] = "tockwheel /s -root, mode 81 (1024 x 768, 32-bit)"
      name["own-defaults"] = "tockwheel /s, no settings file"
      name["own-mode81"] = "tockwheel /s, mode 81"
      name["before-defaults"] = "before: tockwheel /s -root, no settings file"
      name["before-mode81"] = "before: tockwheel /s -root, mode 81"
    }
    { row[NR] = $1; cpu[$1] = $2; x[$1] = $3; rss[$1] = $4 / 1024; load[$1] = $5 }
    END {
      g = cpu["gltext"] + x["gltext"]
      for (i = 1; i <= NR; ++i) {
        r = row[i]; t = cpu[r] + x[r]
        printf "| %s | %.2f | %.2f | %.2f | %.2f | %.1f | %.2f | %s |\n", name[r], cpu[r], x[r], t, t / g, rss[r],
               rss[r] / rss["gltext"], load[r]
      }
    }'
done
