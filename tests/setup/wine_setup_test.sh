#!/bin/sh
# tests/setup/wine_setup_test.sh -- setup.exe under Wine on its own Xvfb and its own Wine prefix.
#
# tests/setup/wine_setup_test.sh WINDOWS_BUILD [LINUX_BUILD]
#   WINDOWS_BUILD: a Windows build folder (build-windows/x86_64) with its disk, disk-split and zip.
#   LINUX_BUILD:   the Linux build (default build/): its installer writes the install.log to compare with,
#                  and its screen_shot takes the pictures.
# Checks, each printed as "ok ..." or "FAIL ...": the zip holds the disk; a scripted install from the zip's
# disk folder puts every file into the prefix's Windows directory and writes install.log byte for byte as the
# Linux installer does; records that lead out of the Windows directory ("..", a drive, a stream, a Unix link
# inside the prefix) are refused with the destination or directory message and exit 1, nothing written
# outside; a real-window run answered with key presses ends with 0 and its progress dialog is photographed
# mid-copy (at the disk prompt of the split disk) with the bar blue and the text white inside it; the
# Windows version picks setup.xdt. Exit status 0 when every check passed; the pictures and logs stay in
# $TOCKWHEEL_WINE_OUT (default WINDOWS_BUILD/wine-setup).
set -u
WB=$(cd "${1:?usage: wine_setup_test.sh WINDOWS_BUILD [LINUX_BUILD]}" && pwd)
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
LB=$(cd "${2:-$ROOT/build}" 2>/dev/null && pwd || echo "")
OUT=${TOCKWHEEL_WINE_OUT:-$WB/wine-setup}
rm -rf "$OUT" && mkdir -p "$OUT"
TMP=$(mktemp -d /tmp/tockwheel-wine-setup.XXXXXX)
FAILED=0
XVFB_PID=""

ok() { echo "ok   $*"; }
fail() { echo "FAIL $*"; FAILED=1; }
cleanup() {
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null
    WINEPREFIX="$TMP/prefix" wineserver -k 2>/dev/null
    rm -rf "$TMP"
}
trap cleanup EXIT INT TERM

ZIP=$(ls "$WB"/tockwheel-*-win*.zip 2>/dev/null | head -n 1)
if [ -z "$ZIP" ]; then
    # Without the Windows build there is nothing to run, unless tools/test.sh asked for it.
    [ "${TOCKWHEEL_REQUIRE_WINDOWS:-0}" = 1 ] && { fail "no tockwheel-*-win*.zip in $WB"; exit 1; }
    echo "skipped: no tockwheel-*-win*.zip in $WB (tools/build-windows.sh makes it)"
    exit 77
fi

# ---- Our own X screen and Wine prefix ----
for try in 1 2 3 4 5 6 7 8; do
    N=$(( 300 + $(od -An -N2 -tu2 /dev/urandom) % 600 ))
    [ -e "/tmp/.X$N-lock" ] && continue
    Xvfb ":$N" -screen 0 1024x768x24 -noreset >"$TMP/xvfb.log" 2>&1 &
    XVFB_PID=$!
    sleep 1
    kill -0 "$XVFB_PID" 2>/dev/null && break
    XVFB_PID=""
done
[ -n "$XVFB_PID" ] || { fail "no free X display"; exit 1; }
export DISPLAY=":$N" WINEPREFIX="$TMP/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineboot -i >"$TMP/wineboot.log" 2>&1 || { fail "wineboot"; exit 1; }
WINDIR_UNIX="$WINEPREFIX/drive_c/windows"
# Windows has Arial in its fonts folder, which not even an administrator may replace; a fresh Wine prefix
# has none. Liberation Sans stands in for it, read-only, as Windows' own would be.
FONT=${TOCKWHEEL_FONT_FILE:-/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf}
SYSTEM_FONT=$(find "$WINDIR_UNIX" -maxdepth 1 -iname fonts | head -n 1)
[ -n "$SYSTEM_FONT" ] || SYSTEM_FONT="$WINDIR_UNIX/Fonts"
mkdir -p "$SYSTEM_FONT" && cp "$FONT" "$SYSTEM_FONT/arial.ttf" && chmod 0444 "$SYSTEM_FONT/arial.ttf"

# wine PROGRAM in FOLDER with the UI script; the exit status is the program's.
run_setup() {   # $1: disk folder, $2: script file ("" for real windows), $3: log name
    if [ -n "$2" ]; then
        (cd "$1" && TOCKWHEEL_UI="script:Z:$2" TOCKWHEEL_UI_LOG="Z:$OUT/$3.ui.log" \
            timeout 120 wine setup.exe >"$OUT/$3.out" 2>&1)
    else
        (cd "$1" && timeout 120 wine setup.exe >"$OUT/$3.out" 2>&1)
    fi
}

# ---- The zip holds the disk, with the true byte count ----
mkdir -p "$TMP/zip"
(cd "$TMP/zip" && cmake -E tar xf "$ZIP") || fail "unpacking $ZIP"
DISK="$TMP/zip"
missing=""
for f in setup.exe setup.xdt tockwheel.scr setup.wri support.txt pass.pag pass2x.pag readme.txt; do
    [ -f "$DISK/$f" ] || missing="$missing $f"
done
[ -z "$missing" ] && ok "the zip holds the disk ($(basename "$ZIP"))" || fail "the zip lacks:$missing"
[ ! -e "$DISK/fonts" ] && ok "the disk carries no font: Windows has its own" || fail "the disk carries a fonts folder"
total=0
for f in tockwheel.scr setup.wri support.txt pass.pag pass2x.pag; do
    total=$(( total + $(stat -c %s "$DISK/$f") ))
done
[ "$(sed -n 2p "$DISK/setup.xdt" | tr -d '\r')" = "$total" ] && ok "setup.xdt counts $total bytes" ||
    fail "setup.xdt's total is not $total"

# ---- A scripted install from the zip's disk folder ----
printf 'click 1\n' >"$TMP/accept.txt"
run_setup "$DISK" "$TMP/accept.txt" install
status=$?
[ "$status" -eq 0 ] && ok "scripted install ends with 0" || fail "scripted install ended with $status"
same=1
for pair in "tockwheel.scr:tockwheel.scr" "setup.wri:setup.wri" "support.txt:support.txt" \
            "pass.pag:orvask/pass.pag" "pass2x.pag:orvask/pass2x.pag"; do
    installed=$(find "$WINDIR_UNIX" -maxdepth 2 -ipath "$WINDIR_UNIX/${pair#*:}" | head -n 1)
    cmp -s "$DISK/${pair%%:*}" "${installed:-/nonexistent}" || { same=0; fail "not installed: ${pair#*:}"; }
done
[ "$same" -eq 1 ] && ok "every file landed in the prefix's Windows directory"
cmp -s "$FONT" "$SYSTEM_FONT/arial.ttf" && ok "Windows' own read-only Arial was left alone" ||
    fail "the system's Arial changed"
# The Linux installer's install.log for the same disk (its own program file name aside, nothing differs).
if [ -n "$LB" ] && [ -x "$LB/setup/setup" ]; then
    mkdir -p "$TMP/linux-disk" "$TMP/linux-windows"
    cp -r "$DISK"/. "$TMP/linux-disk/" && cp "$LB/setup/setup" "$TMP/linux-disk/"
    (cd "$TMP/linux-disk" && WINDIR="$TMP/linux-windows" TOCKWHEEL_UI="script:$TMP/accept.txt" \
        TOCKWHEEL_UI_LOG="$OUT/linux-install.ui.log" ./setup >"$OUT/linux-install.out" 2>&1)
    cp "$TMP/linux-windows/orvask/install.log" "$TMP/expected.log" 2>/dev/null
else
    printf '\001\000\000\000Tockwheel\000' >"$TMP/expected.log"
fi
cmp -s "$TMP/expected.log" "$WINDIR_UNIX/orvask/install.log" &&
    ok "install.log is byte for byte the Linux installer's ($(od -An -c "$WINDIR_UNIX/orvask/install.log" | tr -s ' '))" ||
    fail "install.log differs from the Linux installer's"
# A second install replaces every file (through the temporary and MoveFileExA) and counts the product once.
run_setup "$DISK" "$TMP/accept.txt" reinstall
status=$?
cmp -s "$TMP/expected.log" "$WINDIR_UNIX/orvask/install.log" && [ "$status" -eq 0 ] &&
    ! ls "$WINDIR_UNIX"/.setup-partial* >/dev/null 2>&1 && ok "a second install replaces the files, log unchanged" ||
    fail "second install: status $status or install.log changed or a temporary left"

# ---- The installed saver draws the clock and ends on a key ----
SHOT=""
[ -n "$LB" ] && [ -x "$LB/tests/ui/screen_shot" ] && SHOT="$LB/tests/ui/screen_shot"
# Share of the pixels of a PNG (8-bit RGB, as screen_shot writes it) that are not black, in percent.
lit_percent() {
    python3 - "$1" <<'PY'
import struct, sys, zlib
data = open(sys.argv[1], 'rb').read()
pos, idat, width, height = 8, b'', 0, 0
while pos < len(data):
    length, kind = struct.unpack('>I4s', data[pos:pos + 8])
    body = data[pos + 8:pos + 8 + length]
    if kind == b'IHDR': width, height = struct.unpack('>II', body[:8])
    if kind == b'IDAT': idat += body
    pos += 12 + length
raw, stride, prev, lit = zlib.decompress(idat), width * 3, bytearray(width * 3), 0
for y in range(height):
    kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
    for i in range(stride):
        a = line[i - 3] if i >= 3 else 0
        b, c = prev[i], prev[i - 3] if i >= 3 else 0
        if kind == 1: line[i] = (line[i] + a) & 255
        elif kind == 2: line[i] = (line[i] + b) & 255
        elif kind == 3: line[i] = (line[i] + (a + b) // 2) & 255
        elif kind == 4:
            p = a + b - c
            pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
            line[i] = (line[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
    lit += sum(1 for x in range(0, stride, 3) if line[x] | line[x + 1] | line[x + 2])
    prev = line
print(lit * 100 // (width * height))
PY
}
(cd "$WINDIR_UNIX" && timeout 60 wine 'C:\windows\tockwheel.scr' /s >"$OUT/saver.out" 2>&1; echo $? >"$TMP/saver.status") &
SAVER_PID=$!
sleep 5
lit=""
if [ -n "$SHOT" ] && "$SHOT" "$OUT/installed-saver.png" && command -v python3 >/dev/null; then
    lit=$(lit_percent "$OUT/installed-saver.png")
fi
xdotool key space
i=0
while kill -0 "$SAVER_PID" 2>/dev/null && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
wait "$SAVER_PID"
status=$(cat "$TMP/saver.status" 2>/dev/null || echo none)
[ "$status" = 0 ] && [ $i -lt 50 ] && ok "installed tockwheel.scr /s ends on a key with 0 ($((i * 100)) ms)" ||
    fail "installed tockwheel.scr /s: status $status after the key"
if [ -n "$lit" ]; then
    [ "$lit" -ge 1 ] && ok "installed tockwheel.scr /s drew: $lit% of the screen lit ($OUT/installed-saver.png)" ||
        fail "installed tockwheel.scr /s: the screen stayed black"
fi

# ---- Records that lead out of the Windows directory ----
# Load checks every record first: a refused one shows its message, closes the progress dialog and leaves the
# backdrop, which the script then closes (exit 0). A link that leads nowhere is only found when the file is
# opened (Wine does not show a dangling Unix link): that copy fails (exit 1). Nothing lands outside, and the
# planted file keeps its bytes.
mkdir -p "$TMP/outside"
printf 'planted' >"$TMP/planted.txt"
ln -s "$TMP/outside" "$WINDIR_UNIX/outlink"
ln -s "$TMP/planted.txt" "$WINDIR_UNIX/filelink"
ln -s "$TMP/outside/nowhere.txt" "$WINDIR_UNIX/danglink"
printf 'click 1\nclose main\n' >"$TMP/accept-close.txt"
refused() {   # $1: name, $2: the record lines, $3: the message expected in the log, $4: exit status
    d="$TMP/bad-$1"
    mkdir -p "$d" && cp "$DISK/setup.exe" "$DISK/pass.pag" "$d/"
    printf 'Evil\r\n100\r\n%b' "$2" >"$d/setup.xdt"
    script="$TMP/accept.txt"
    [ "$4" -eq 0 ] && script="$TMP/accept-close.txt"
    run_setup "$d" "$script" "refuse-$1"
    status=$?
    if [ "$status" -eq "$4" ] && grep -q "$3" "$OUT/refuse-$1.ui.log" && [ -z "$(ls -A "$TMP/outside")" ] &&
       [ "$(cat "$TMP/planted.txt")" = planted ]; then
        ok "refused: $1"
    else
        fail "not refused: $1 (status $status)"
    fi
}
refused dotdot '%Rpass.pag\r\n%W\\..\\evil.txt\r\n' 'Destination file could not be created' 0
refused drive '%Rpass.pag\r\n%WZ:\\tmp\\evil.txt\r\n' 'Destination file could not be created' 0
refused stream '%Rpass.pag\r\n%W\\orvask\\install.log:evil\r\n' 'Destination file could not be created' 0
refused link-folder '%Rpass.pag\r\n%W\\outlink\\evil.txt\r\n' 'Destination file could not be created' 0
refused link-file '%Rpass.pag\r\n%W\\filelink\r\n' 'Destination file could not be created' 0
refused link-directory '%D\\outlink\\made\r\n' 'Directory could not be created' 0
refused link-dangling '%Rpass.pag\r\n%W\\danglink\r\n' 'Destination file could not be created' 1
rm -f "$WINDIR_UNIX/outlink" "$WINDIR_UNIX/filelink" "$WINDIR_UNIX/danglink"
# Sources are read from the disk folder only: "..", another drive or a link on the disk that leads off it is
# refused when the script loads; a folder is no source, refused before the installed file is touched.
planted_windows=$(printf 'Z:%s/planted.txt' "$TMP" | sed 's|/|\\\\|g')
mkdir -p "$TMP/bad-source-link" "$TMP/bad-source-folder/afolder"
ln -s "$TMP/planted.txt" "$TMP/bad-source-link/linked.txt"
refused source-dotdot '%R..\\planted.txt\r\n%W\\evil.txt\r\n' 'Source file could not be opened' 0
refused source-drive "%R$planted_windows\\r\\n%W\\\\evil.txt\\r\\n" 'Source file could not be opened' 0
refused source-link '%Rlinked.txt\r\n%W\\evil.txt\r\n' 'Source file could not be opened' 0
refused source-folder '%Rafolder\r\n%W\\orvask\\pass.pag\r\n' 'Source file could not be opened' 1
[ ! -e "$WINDIR_UNIX/evil.txt" ] && cmp -s "$DISK/pass.pag" "$WINDIR_UNIX/orvask/pass.pag" &&
    ok "no source from off the disk installed; the installed pass.pag kept its bytes" ||
    fail "a refused source reached the Windows directory"

# ---- The Windows version picks the script ----
printf 'click 1\n' >"$TMP/accept.txt"
mkdir -p "$TMP/nt"
cp "$DISK/setup.exe" "$DISK/pass.pag" "$TMP/nt/"
printf 'Plain\r\n0\r\n' >"$TMP/nt/setup.xdt"
printf 'ForNT\r\n0\r\n' >"$TMP/nt/setupNT.xdt"
for version in nt40 win10; do
    wine reg add 'HKCU\Software\Wine' /v Version /d "$version" /f >/dev/null 2>&1
    run_setup "$TMP/nt" "$TMP/accept.txt" "version-$version"
    grep -q 'Plain' "$WINDIR_UNIX/orvask/install.log" && ! grep -q 'ForNT' "$WINDIR_UNIX/orvask/install.log" &&
        ok "Wine as $version: GetVersion is neither NT 4 value, setup.xdt is read" ||
        fail "Wine as $version did not read setup.xdt"
done
wine reg delete 'HKCU\Software\Wine' /v Version /f >/dev/null 2>&1

# ---- Real windows, answered with keys; the progress dialog mid-copy at the split disk's prompt ----
wait_for() {   # $1: caption; waits up to 20 s for a window with it
    i=0
    while [ $i -lt 80 ]; do
        xdotool search --name "$1" >/dev/null 2>&1 && return 0
        sleep 0.25; i=$((i + 1))
    done
    return 1
}
press_return() {   # $1: caption of the window that must take it
    w=$(xdotool search --name "$1" 2>/dev/null | tail -n 1)
    [ -n "$w" ] && xdotool windowfocus "$w" 2>/dev/null
    xdotool key Return
}
rm -rf "$WINDIR_UNIX/orvask" "$WINDIR_UNIX/tockwheel.scr"
SPLIT="$WB/disk-split/disk1"
(cd "$SPLIT" && timeout 120 wine setup.exe >"$OUT/windows.out" 2>&1; echo $? >"$TMP/windows.status") &
SETUP_PID=$!
steps=""
wait_for '^Setup$' && { [ -n "$SHOT" ] && "$SHOT" "$OUT/notice.png"; press_return '^Setup$'; steps="$steps notice"; }
wait_for '^Install path$' && { sleep 0.5; [ -n "$SHOT" ] && "$SHOT" "$OUT/path.png"; press_return '^Install path$'; steps="$steps path"; }
if wait_for '^Disk Change$'; then
    sleep 0.5
    box=$(xdotool search --name '^Disk Change$' | tail -n 1)
    xdotool windowmove "$box" 0 600
    sleep 1
    [ -n "$SHOT" ] && "$SHOT" "$OUT/progress-midcopy.png"
    press_return '^Disk Change$'
    steps="$steps disk"
fi
wait_for '^Finished setup$' && { sleep 0.5; [ -n "$SHOT" ] && "$SHOT" "$OUT/finished.png"; press_return '^Finished setup$'; steps="$steps finished"; }
wait_for '^Information$' && { sleep 0.5; press_return '^Information$'; steps="$steps information"; }
wait "$SETUP_PID"
status=$(cat "$TMP/windows.status" 2>/dev/null || echo none)
[ "$status" = 0 ] && [ "$steps" = " notice path disk finished information" ] &&
    ok "real windows answered with keys:$steps; exit 0" || fail "real windows:$steps; exit $status"
grep -q 'C:\\windows' "$OUT/windows.out" 2>/dev/null || true
if [ -n "$SHOT" ] && [ -f "$OUT/progress-midcopy.png" ]; then ok "picture: $OUT/progress-midcopy.png"; fi

[ "$FAILED" -eq 0 ] && echo "wine_setup_test: all passed" || echo "wine_setup_test: FAILED"
exit "$FAILED"
