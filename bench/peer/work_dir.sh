# bench/peer/work_dir.sh -- sourced by the peer scripts once BUILD and FONT are set: a scratch folder
# $WORK removed at the end with the Xvfb the script started ($XVFB_PID), and `windows` to make the
# saver's Windows directories in it.
WORK=$(mktemp -d "/tmp/tockwheel-${WORK_NAME:-peer}-XXXXXX")
XVFB_PID=
cleanup() { [ -z "$XVFB_PID" ] || kill "$XVFB_PID" 2>/dev/null || true; rm -rf "$WORK"; }
trap cleanup EXIT INT TERM

windows() {   # windows NAME [MODE-SIZE]: a Windows directory, with a 32-bit settings file of that size
  mkdir -p "$WORK/$1/Orvask" "$WORK/$1/fonts"
  cp "$FONT" "$WORK/$1/fonts/Arial.ttf"
  cp "$BUILD/tools/prompt/pass.pag" "$BUILD/tools/prompt/pass2x.pag" "$WORK/$1/Orvask/"
  [ $# -lt 2 ] || "$BUILD/bench/peer/bench_peer_settings" "$WORK/$1/Orvask/Tockwheel.ini" "$2"
}
