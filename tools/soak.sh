#!/bin/bash
# tools/soak.sh -- one long saver run on the offscreen back end: resident memory sampled every few
# seconds, wall time stamped every MARK passes (a snapshot written at that pass), OpenGL errors checked
# after every presented page.
#
#   tools/soak.sh PASSES OUTDIR [DIALOG-LINE...]
#
# Each DIALOG-LINE is played in the configuration dialog before the run ("type 505 32764", "click 600"),
# then Apply and Ok are pressed; with none the saver runs on its defaults. Environment: BUILD (default build),
# MARK (default 50000), SAMPLE_S (default 5), TOCKWHEEL_SCREEN (default 1024x768).
# Passes 1,000, 2,000, PASSES-2,000 and PASSES-1,000 are stamped too, so an early thousand passes (after
# start-up) can be compared with the last whole thousand.
# Writes OUTDIR/rss.csv (seconds,VmRSS kB,CPU seconds used so far), OUTDIR/marks.csv (pass,seconds),
# OUTDIR/stderr.txt,
# OUTDIR/summary.txt and the snapshots; exits non-zero when the run did not end at its pass limit or
# reported an OpenGL error.
set -eu
cd "$(dirname "$0")/.."
ROOT=$(pwd)
PASSES=${1:?passes}
OUT=${2:?output folder}
shift 2
BUILD=${BUILD:-build}
MARK=${MARK:-50000}
SAMPLE_S=${SAMPLE_S:-5}
PROGRAM="$ROOT/$BUILD/saver/tockwheel"
FONT=/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf

mkdir -p "$OUT"
OUT=$(cd "$OUT" && pwd)
WIN="$OUT/windows"
rm -rf "$WIN"
mkdir -p "$WIN/Orvask" "$WIN/fonts"
cp "$FONT" "$WIN/fonts/Arial.ttf"
cp "$ROOT/$BUILD/tools/prompt/pass.pag" "$ROOT/$BUILD/tools/prompt/pass2x.pag" "$WIN/Orvask/"

export WINDIR="$WIN" TOCKWHEEL_DISPLAY=offscreen TOCKWHEEL_UI_LOG="$OUT/ui.log" DISPLAY= WAYLAND_DISPLAY=
export TOCKWHEEL_SCREEN=${TOCKWHEEL_SCREEN:-1024x768}
if [ $# -gt 0 ]; then
    printf "%s\n" "$@" "click 113" "click 110" > "$OUT/dialog.txt"
    # The configuration run ends with status 1 whatever was chosen; the settings file tells.
    TOCKWHEEL_UI="script:$OUT/dialog.txt" "$PROGRAM" /c || true
    [ -f "$WIN/Orvask/Tockwheel.ini" ] || { echo "the dialog wrote no settings" >&2; exit 1; }
fi

mark_passes() {
    { echo 1000; echo 2000; seq "$MARK" "$MARK" "$((PASSES - 1))"; echo "$((PASSES - 2000))"; echo "$((PASSES - 1000))"; } | sort -n -u |
        awk -v n="$PASSES" '$1 > 0 && $1 < n'
}
mark_passes | awk -v out="$OUT" '{print "at " $1 " snapshot " out "/mark-" $1 ".png"}' > "$OUT/events.txt"

start=$(date +%s.%N)
TOCKWHEEL_GL_CHECK=1 TOCKWHEEL_PASSES="$PASSES" TOCKWHEEL_EVENTS="$OUT/events.txt" \
    TOCKWHEEL_SNAPSHOT="$OUT/last.png" "$PROGRAM" /s 2> "$OUT/stderr.txt" &
pid=$!
TICKS=$(getconf CLK_TCK)
echo "seconds,vmrss_kb,cpu_s" > "$OUT/rss.csv"
while kill -0 "$pid" 2> /dev/null; do
    rss=$(awk '/^VmRSS/ {print $2}' "/proc/$pid/status" 2> /dev/null || true)
    # Fields 14 and 15 of stat are user and system time; the command name before them has no spaces here.
    cpu=$(awk -v t="$TICKS" '{printf "%.2f", ($14 + $15) / t}' "/proc/$pid/stat" 2> /dev/null || true)
    [ -n "$rss" ] && echo "$(echo "$(date +%s.%N) - $start" | bc),$rss,$cpu" >> "$OUT/rss.csv"
    sleep "$SAMPLE_S"
done
status=0
wait "$pid" || status=$?
end=$(date +%s.%N)

echo "pass,seconds" > "$OUT/marks.csv"
for pass in $(mark_passes); do
    f="$OUT/mark-$pass.png"
    [ -f "$f" ] && echo "$pass,$(echo "$(stat -c %.Y "$f") - $start" | bc)" >> "$OUT/marks.csv"
done
errors=$(grep -c '^OpenGL error' "$OUT/stderr.txt" || true)
{
    echo "passes $PASSES, exit status $status (4: ended at its pass limit)"
    echo "wall seconds $(echo "$end - $start" | bc)"
    echo "rss first/last/max kB $(awk -F, 'NR==2 {f=$2} NR>1 {l=$2; if ($2>m) m=$2} END {print f"/"l"/"m}' "$OUT/rss.csv")"
    echo "wall seconds for passes 1,000-2,000 / the last whole thousand $(awk -F, -v n="$PASSES" '
        {t[$1] = $2} END {printf "%.2f/%.2f", t[2000] - t[1000], t[n - 1000] - t[n - 2000]}' "$OUT/marks.csv")"
    echo "OpenGL errors $errors"
} | tee "$OUT/summary.txt"
# Keep the last snapshot and the marks' times; the mark pictures themselves are large.
find "$OUT" -name 'mark-*.png' ! -name "mark-1000.png" -delete
[ "$status" -eq 4 ] && [ "$errors" -eq 0 ]
