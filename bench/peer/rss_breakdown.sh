#!/bin/sh
# bench/peer/rss_breakdown.sh -- where the saver's peak resident memory lies, against gltext's, mapping by
# mapping, and when each program reaches its peak.
#
#   bench/peer/rss_breakdown.sh [BUILD_DIR]     SIZE=1024x768 SECONDS_EACH=8 ROWS="host-defaults ..."
#
# One Xvfb screen of SIZE at 24 bits. gltext (`-root`) and then each saver row of bench/peer/host_run.sh
# (host-defaults, host-mode81, own-defaults, own-mode81) run SECONDS_EACH seconds; every 0.1 s the
# program's VmHWM (peak RSS) is sampled from /proc, and at the end /proc/PID/smaps is read. Prints, per
# row, the seconds after start at which the peak was first within 1 % of its final value, then the
# resident kilobytes per mapping (heap and anonymous memory, shared memory, each file) for gltext and the
# saver where they differ by 32 KB or more, and the sums of the mappings only one of the two has.
set -eu
cd "$(dirname "$0")/../.."
BUILD=${1:-build}
SIZE=${SIZE:-1024x768}
SECONDS_EACH=${SECONDS_EACH:-8}
ROWS=${ROWS:-"host-defaults host-mode81 own-defaults own-mode81"}
GLTEXT=/usr/libexec/xscreensaver/gltext
FONT=/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf
for program in "$BUILD/saver/tockwheel" "$BUILD/bench/peer/bench_peer_settings" "$GLTEXT"; do
  [ -x "$program" ] || { echo "$program is missing (bench/peer/host_run.sh installs gltext)" >&2; exit 2; }
done

WORK_NAME=rss . bench/peer/work_dir.sh

windows defaults
windows mode81 1024x768

# sample NAME COMMAND...: NAME.hwm gets "seconds peak_kb" lines, NAME.smaps the mappings at the end.
sample() {
  name=$1; shift
  "$@" >/dev/null 2>&1 &
  pid=$!
  ticks=0
  while [ $ticks -lt $((SECONDS_EACH * 10)) ]; do
    awk -v t=$ticks '/^VmHWM:/ { print t / 10, $2 }' "/proc/$pid/status" >> "$WORK/$name.hwm" 2>/dev/null || true
    sleep 0.1
    ticks=$((ticks + 1))
  done
  cat "/proc/$pid/smaps" > "$WORK/$name.smaps" 2>/dev/null || true
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
}

# Resident kilobytes per mapping: "name kb", heap and anonymous memory together, shared memory together.
by_mapping() {
  awk '/^[0-9a-f]+-[0-9a-f]+ / { n = (NF >= 6) ? $6 : "[anon]"
                                 if (n == "[heap]" || n == "[anon]" || n == "[stack]") n = "(heap+anonymous)"
                                 else if (n ~ /^\/SYSV/) n = "(shared-memory)"
                                 next }
       /^Rss:/ { kb[n] += $2 }
       END { for (n in kb) print n, kb[n] }' "$1" | sort
}

peak_time() {   # the first sample within 1 % of the final peak
  awk '{ t[NR] = $1; k[NR] = $2 } END { for (i = 1; i <= NR; ++i) if (k[i] >= 0.99 * k[NR]) { printf "%s s (%d KB)", t[i], k[NR]; exit } }' "$1"
}

Xvfb -displayfd 3 -screen 0 "${SIZE}x24" -nolisten tcp -noreset 3>"$WORK/display" 2>"$WORK/xvfb.log" &
XVFB_PID=$!
tries=0
while [ ! -s "$WORK/display" ] && [ $tries -lt 100 ]; do sleep 0.1; tries=$((tries + 1)); done
export DISPLAY=":$(cat "$WORK/display")"

sample gltext "$GLTEXT" -root -text '%I:%M:%S %p'
by_mapping "$WORK/gltext.smaps" > "$WORK/gltext.by"
for row in $ROWS; do
  case $row in
    host-*) WINDIR="$WORK/${row#host-}" TOCKWHEEL_DISPLAY=window sample "$row" "$BUILD/saver/tockwheel" /s -root ;;
    own-*) WINDIR="$WORK/${row#own-}" TOCKWHEEL_DISPLAY=window sample "$row" "$BUILD/saver/tockwheel" /s ;;
    *) echo "unknown row $row" >&2; exit 2 ;;
  esac
  by_mapping "$WORK/$row.smaps" > "$WORK/$row.by"
  echo
  echo "## $SIZE, $row: peak reached at $(peak_time "$WORK/$row.hwm"); gltext at $(peak_time "$WORK/gltext.hwm")"
  echo
  echo "| mapping | gltext KB | tockwheel KB | difference KB |"
  echo "| --- | --- | --- | --- |"
  join -a 1 -a 2 -e 0 -o 0,1.2,2.2 "$WORK/gltext.by" "$WORK/$row.by" | awk '
    { d = $3 - $2; g += $2; s += $3
      if ($2 == 0) only_s += $3; if ($3 == 0) only_g += $2
      if (d >= 32 || d <= -32) { n = $1; sub(/.*\//, "", n); printf "| %s | %d | %d | %+d |\n", n, $2, $3, d | sorted } }
    BEGIN { sorted = "sort -t \"|\" -k5 -n" }
    END { close(sorted)
          printf "| mappings only tockwheel has | | %d | %+d |\n", only_s, only_s
          printf "| mappings only gltext has | %d | | %+d |\n", only_g, -only_g
          printf "| **all** | %d | %d | %+d |\n", g, s, s - g }'
done
