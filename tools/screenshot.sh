#!/usr/bin/env bash
# Takes a picture of Quorvel at work: the demo on a virtual X display, "Start
# Scan" pressed with a synthetic click, a few seconds of readings, then the
# window is saved as a PNG and everything is stopped again.
#
#   tools/screenshot.sh [BUILD_DIR] [OUTPUT.png]
set -euo pipefail

build_dir=${1:-build/release}
output=${2:-docs/screenshot.png}
here=$(cd "$(dirname "$0")" && pwd)
seconds=${SCREENSHOT_SECONDS:-5}

# The virtual display, the synthetic click and the capture, installed only
# when missing, as the Makefile's deps target does.
packages=(xvfb xdotool imagemagick)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [[ ${#missing[@]} -gt 0 ]]; then
  sudo=; [[ $(id -u) -eq 0 ]] || sudo=sudo
  echo "Installing: ${missing[*]}"
  $sudo apt-get update
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

tmp=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-shot.XXXXXX")
xvfb_pid=
demo_pid=
stop() {
  [[ -n $demo_pid ]] && { kill -TERM "$demo_pid" 2>/dev/null || true; wait "$demo_pid" 2>/dev/null || true; }
  [[ -n $xvfb_pid ]] && { kill -TERM "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; }
  exec 5<&- 2>/dev/null || true
  rm -rf "$tmp"
}
trap stop EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

fail() {
  echo "screenshot: $*" >&2
  exit 1
}

# Xvfb picks a free display number itself and writes it to the pipe.
mkfifo "$tmp/displayfd"
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp 5>"$tmp/displayfd" >"$tmp/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 5<"$tmp/displayfd"
display=
read -r -t 20 display <&5 || fail "Xvfb did not start ($(tail -n 1 "$tmp/xvfb.log"))"
export DISPLAY=:$display
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb

DEMO_LOG=$tmp/frames.log "$here/demo.sh" "$build_dir" -- --seed 1 >"$tmp/demo.out" 2>&1 &
demo_pid=$!

window=$(timeout 30 xdotool search --sync --onlyvisible --name '^QUORVEL Synchrontester$' | head -n 1) ||
  fail "the Quorvel window did not appear ($(tail -n 1 "$tmp/demo.out"))"

# "Start Scan" sits 98..173 x 10..31 in the top panel, below the menu bar.
# The menu bar is 20 to 30 pixels high with the usual fonts, so the point
# (135, 44) lies on the button whichever height it has.
xdotool mousemove --window "$window" 135 44 click 1

# The simulator logs every frame it sends: frames mean the "b" arrived.
for _ in $(seq 100); do
  grep -q '^M ' "$tmp/frames.log" 2>/dev/null && break
  sleep 0.1
done
grep -q '^M ' "$tmp/frames.log" 2>/dev/null || fail "the scan did not start: the simulator sent no frames"

sleep "$seconds"
mkdir -p "$(dirname "$output")"
import -window "$window" "$output"
echo "screenshot: $output ($(identify -format '%wx%h' "$output"))"
