#!/bin/bash
# tools/perf.sh -- every figure of docs/performance.md from one command: builds what it measures, runs
# the benchmarks, the saver's cost curves, start-up time, peak memory, the installer against cp and the
# peer comparison, and draws the plots. Results go to docs/perf/ (text, CSV and PNG).
#
#   tools/perf.sh                      BUILD=build RUNS=2 PEER=1 (0 skips the peer comparison)
#
# The curves run the real program: the configuration dialog (scripted) sets the mode, star amount or
# speed and presses Apply; the saver then runs SHORT and LONG passes on the offscreen back end with the
# time frozen, under /usr/bin/time. (LONG - SHORT) passes divide the difference of the times, so the
# start-up is taken out: wall and CPU (every thread, llvmpipe's too) per pass. The best of RUNS counts.
set -eu
cd "$(dirname "$0")/.."
ROOT=$(pwd)
BUILD=${BUILD:-build}
RUNS=${RUNS:-2}
PEER=${PEER:-1}
SHORT=${SHORT:-60}
LONG=${LONG:-660}
OUT="$ROOT/docs/perf"
FONT=/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf
SUDO=; [ "$(id -u)" = 0 ] || SUDO=sudo

need_package() {
    dpkg -s "$1" >/dev/null 2>&1 && return 0
    $SUDO apt-get install -y -qq --no-install-recommends "$1" ||
        { $SUDO apt-get update -qq && $SUDO apt-get install -y -qq --no-install-recommends "$1"; }
}
tools/install-deps.sh
need_package python3-matplotlib
need_package time

cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" --target tockwheel setup disk prompt_bitmaps bench_saver_stars bench_saver_frame \
    bench_text bench_display bench_setup_copy bench_peer_settings bench_gl_floor
mkdir -p "$OUT"
WORK=$(mktemp -d /tmp/tockwheel-perf-XXXXXX)
trap 'rm -rf "$WORK"' EXIT INT TERM

# ---- The machine ------------------------------------------------------------------------------------
{
    echo "date: $(date -u '+%Y-%m-%d %H:%M UTC')"
    echo "cpu: $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) cores"
    echo "memory: $(free -g | awk '/^Mem:/ {print $2}') GiB"
    echo "kernel: $(uname -r)"
    echo "mesa: $(dpkg-query -W -f '${Version}' libgl1-mesa-dri 2>/dev/null) (llvmpipe, offscreen EGL)"
    echo "compiler: $(c++ --version | head -n 1), RelWithDebInfo (-O2)"
    echo "load average at start: $(cut -d' ' -f1-3 /proc/loadavg)"
} | tee "$OUT/machine.txt"

# ---- The benchmarks already in bench/ ----------------------------------------------------------------
B="$BUILD/bench"
"$B/saver/bench_saver_stars" > "$OUT/bench-saver-stars.txt"
: > "$OUT/bench-saver-frame.txt"
for args in "--screen=640x480 --stars=700" "--screen=1024x768 --stars=700" "--screen=1600x1200 --stars=700" \
            "--screen=1024x768 --stars=32764"; do
    echo "== $args" >> "$OUT/bench-saver-frame.txt"
    "$B/saver/bench_saver_frame" $args >> "$OUT/bench-saver-frame.txt"
done
"$B/text/bench_text" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true > "$OUT/bench-text.txt"
"$B/display/bench_display" > "$OUT/bench-display.txt"
"$B/setup/bench_setup_copy" > "$OUT/bench-setup.txt"

# ---- The saver's cost curves ------------------------------------------------------------------------
FRESH="$WORK/windows"
prepare() {   # prepare SCREEN DIALOG-LINE...: a fresh Windows directory with the dialog's settings applied
    rm -rf "$FRESH"
    mkdir -p "$FRESH/Orvask" "$FRESH/fonts"
    cp "$FONT" "$FRESH/fonts/Arial.ttf"
    local screen=$1
    shift
    printf '%s\n' "$@" "click 113" "click 110" > "$WORK/dialog.txt"
    WINDIR="$FRESH" TOCKWHEEL_DISPLAY=offscreen TOCKWHEEL_SCREEN="$screen" TOCKWHEEL_UI="script:$WORK/dialog.txt" \
        TOCKWHEEL_UI_LOG="$WORK/ui.log" DISPLAY= WAYLAND_DISPLAY= "$BUILD/saver/tockwheel" /c || true
}
run_saver() {   # run_saver SCREEN PASSES [time format]: prints the time line
    local status=0
    WINDIR="$FRESH" TOCKWHEEL_DISPLAY=offscreen TOCKWHEEL_SCREEN="$1" TOCKWHEEL_PASSES="$2" \
        TOCKWHEEL_TIME=2024-03-05T15:30:07 DISPLAY= WAYLAND_DISPLAY= \
        /usr/bin/time -f "${3:-%e %U %S %M}" -o "$WORK/time" "$BUILD/saver/tockwheel" /s 2>/dev/null || status=$?
    [ "$status" = 4 ] || { echo "tockwheel ended with $status, not at its pass limit" >&2; exit 1; }
    tail -n 1 "$WORK/time"
}
per_pass() {   # per_pass SCREEN: "wall_ms cpu_ms" per pass, best of RUNS
    local best= run
    for ((run = 0; run < RUNS; ++run)); do
        local s l
        s=$(run_saver "$1" "$SHORT")
        l=$(run_saver "$1" "$LONG")
        best=$(printf '%s\n%s %s\n' "$best" "$s" "$l" | awk -v n=$((LONG - SHORT)) '
            NF == 2 { w = $1; c = $2; seen = 1; next }
            NF == 8 { tw = ($5 - $1) * 1000 / n; tc = ($6 + $7 - $2 - $3) * 1000 / n
                      if (!seen || tw < w) { w = tw; c = tc; seen = 1 } }
            END { printf "%.3f %.3f\n", w, c }')
    done
    echo "$best"
}
mode_line() { echo "select 150 $1 x $2 SVGA 64k color  3 Pages  DDRAW16.DRV"; }

echo "curve,x,wall_ms,cpu_ms" > "$OUT/curves.csv"
for size in 640x480 800x600 1024x768 1280x1024 1600x1200; do
    prepare 1600x1200 "$(mode_line "${size%x*}" "${size#*x}")"
    echo "resolution,$size,$(per_pass 1600x1200 | tr ' ' ',')" | tee -a "$OUT/curves.csv"
done
for stars in 0 700 2000 4000 8000 16000 24000 32764; do
    if [ "$stars" = 0 ]; then prepare 1024x768 "$(mode_line 1024 768)" "click 500"
    else prepare 1024x768 "$(mode_line 1024 768)" "type 505 $stars"; fi
    echo "stars,$stars,$(per_pass 1024x768 | tr ' ' ',')" | tee -a "$OUT/curves.csv"
done
for skip in 0 1 2 3 5 10 15 20; do
    prepare 1024x768 "$(mode_line 1024 768)" "scroll 190 thumb $skip"
    echo "frameskip,$skip,$(per_pass 1024x768 | tr ' ' ',')" | tee -a "$OUT/curves.csv"
done

# ---- Start-up to the first presented page, and peak memory -------------------------------------------
prepare 1024x768
{
    echo "run,wall_s,max_rss_kb"
    for ((run = 0; run < 5; ++run)); do
        echo "first-page,$(run_saver 1024x768 1 '%e %M' | tr ' ' ',')"
    done
    echo "defaults-600-passes,$(run_saver 1024x768 600 '%e %M' | tr ' ' ',')"
    prepare 1024x768 "$(mode_line 1024 768)" "type 505 32764" "click 600"
    echo "32764-stars-wireframe-600-passes,$(run_saver 1024x768 600 '%e %M' | tr ' ' ',')"
    mkdir -p "$WORK/installed"
    printf 'answer ok\ntype 102 %s\nclick 1\nanswer ok\nanswer ok\n' "$WORK/installed" > "$WORK/answers.txt"
    (cd "$BUILD/disk" && TOCKWHEEL_UI="script:$WORK/answers.txt" TOCKWHEEL_UI_LOG=/dev/null DISPLAY= \
        /usr/bin/time -f '%e %M' -o "$WORK/time" ./setup)
    echo "setup-install,$(tail -n 1 "$WORK/time" | tr ' ' ',')"
} | tee "$OUT/startup-memory.csv"

# ---- The peer ----------------------------------------------------------------------------------------
if [ "$PEER" = 1 ] && [ -x bench/peer/compare_gltext.sh ]; then
    bench/peer/compare_gltext.sh "$BUILD" | tee "$OUT/peer.md"
    rm -f "$OUT/peer-paced.csv"
    : > "$OUT/peer-paced.md"
    for size in 1920x1080 1024x768; do
        SIZE=$size CSV="$OUT/peer-paced.csv" bench/peer/paced_run.sh "$BUILD" | tee -a "$OUT/peer-paced.md"
        echo >> "$OUT/peer-paced.md"
    done
fi

# ---- Plots -------------------------------------------------------------------------------------------
# Debian's own Python, where python3-matplotlib lives (a python3 of pyenv or a venv may come first).
/usr/bin/python3 - "$OUT" <<'EOF'
import csv, os, sys
import matplotlib
matplotlib.use("Agg")
import matplotlib.pyplot as plt

out = sys.argv[1]
rows = list(csv.DictReader(open(os.path.join(out, "curves.csv"))))
machine = open(os.path.join(out, "machine.txt")).read().splitlines()
subtitle = next((l[5:] for l in machine if l.startswith("cpu: ")), "")

def plot(curve, xlabel, name, title, xvalue=float):
    pts = [r for r in rows if r["curve"] == curve]
    if not pts:
        return
    xs = [xvalue(r["x"]) for r in pts]
    fig, ax = plt.subplots(figsize=(6.4, 4.0), dpi=100)
    ax.plot(xs, [float(r["wall_ms"]) for r in pts], "o-", label="wall")
    ax.plot(xs, [float(r["cpu_ms"]) for r in pts], "s--", label="CPU, every thread")
    ax.set_xlabel(xlabel)
    ax.set_ylabel("ms per main-loop pass")
    ax.set_title(title + "\n" + subtitle, fontsize=9)
    ax.set_ylim(bottom=0)
    ax.grid(alpha=0.3)
    ax.legend()
    fig.tight_layout()
    fig.savefig(os.path.join(out, name))
    plt.close(fig)

def pixels(size):
    w, h = size.split("x")
    return int(w) * int(h) / 1e6

plot("resolution", "screen (million pixels; 640x480 to 1600x1200)", "cost-resolution.png",
     "Saver pass cost against resolution (defaults, 16-bit)", pixels)
plot("stars", "stars over the four layers", "cost-stars.png", "Saver pass cost against star amount (1024x768)")
plot("frameskip", "frameSkip (passes between rendered frames)", "cost-frameskip.png",
     "Saver pass cost against frameSkip (1024x768)")

# The paced run: share of one core, the program's own and the X server's, per screen (peer-paced.csv:
# size,row,seconds,cpu_s,xserver_s,peak_kb).
paced = os.path.join(out, "peer-paced.csv")
if os.path.exists(paced):
    runs = [l.strip().split(",") for l in open(paced) if l.strip()]
    sizes = list(dict.fromkeys(r[0] for r in runs))
    order = ["gltext", "floor", "defaults", "mode81", "largest"]
    names = {"gltext": "gltext", "floor": "floor", "defaults": "tockwheel\ndefaults",
             "mode81": "tockwheel\nmode 81", "largest": "tockwheel\nlargest mode"}
    fig, axes = plt.subplots(1, len(sizes), figsize=(6.4 * len(sizes), 4.0), dpi=100, squeeze=False)
    for ax, size in zip(axes[0], sizes):
        rows = {r[1]: r for r in runs if r[0] == size}
        keys = [k for k in order if k in rows]
        own = [float(rows[k][3]) / float(rows[k][2]) for k in keys]
        xs = [float(rows[k][4]) / float(rows[k][2]) for k in keys]
        ax.bar(range(len(keys)), own, label="program, every thread")
        ax.bar(range(len(keys)), xs, bottom=own, label="X server")
        ax.set_xticks(range(len(keys)))
        ax.set_xticklabels([names[k] for k in keys], fontsize=8)
        ax.set_ylabel("share of one core, paced to 60 Hz")
        ax.set_title("Paced run on a %s screen\n%s" % (size, subtitle), fontsize=9)
        ax.grid(alpha=0.3, axis="y")
        ax.legend(fontsize=8)
    fig.tight_layout()
    fig.savefig(os.path.join(out, "peer-paced.png"))
    plt.close(fig)

EOF
/usr/bin/python3 tools/plot_soak.py "$OUT"
echo "Results in $OUT"
