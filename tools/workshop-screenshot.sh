#!/usr/bin/env bash
# Takes a picture of the workshop view at work: the simulator and Quorvel
# with --workshop on a virtual X display, "Start Scan" pressed with a
# synthetic click, some seconds of readings, then the view's window is saved.
#
#   tools/workshop-screenshot.sh [BUILD_DIR] [OUTPUT.png]
#
# Environment: SCREENSHOT_SECONDS (default 25) of readings before the
# picture, SIM_SCENARIO (default sync), VIEW_SIZE (default 1280x720).
set -euo pipefail

build_dir=${1:-build/release}
output=${2:-docs/workshop.png}
seconds=${SCREENSHOT_SECONDS:-25}
scenario=${SIM_SCENARIO:-sync}
view_size=${VIEW_SIZE:-1280x720}

for tool in Xvfb xdotool import; do
  command -v "$tool" >/dev/null || { echo "workshop-screenshot: $tool is missing (xvfb, xdotool, imagemagick)" >&2; exit 1; }
done

tmp=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-workshop-shot.XXXXXX")
pids=()
stop() {
  local pid
  for pid in "${pids[@]}"; do kill -TERM "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  exec 5<&- 2>/dev/null || true
  exec 6<&- 2>/dev/null || true
  rm -rf "$tmp"
}
trap stop EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
fail() {
  echo "workshop-screenshot: $*" >&2
  exit 1
}

mkfifo "$tmp/displayfd"
Xvfb -displayfd 5 -screen 0 1920x1080x24 -nolisten tcp 5>"$tmp/displayfd" >"$tmp/xvfb.log" 2>&1 &
pids+=($!)
exec 5<"$tmp/displayfd"
display=
read -r -t 20 display <&5 || fail "Xvfb did not start"
export DISPLAY=:$display
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb
# A private configuration, so no stored settings of the user are read or written.
export XDG_CONFIG_HOME=$tmp/config XDG_RUNTIME_DIR=$tmp/runtime
mkdir -p "$XDG_CONFIG_HOME" && mkdir -m 700 "$XDG_RUNTIME_DIR"

mkfifo "$tmp/sim.out"
"$build_dir/sim/quorvel-sim" --seed 1 --scenario "$scenario" --log "$tmp/frames.log" <"/dev/null" >"$tmp/sim.out" 2>"$tmp/sim.err" &
pids+=($!)
exec 6<"$tmp/sim.out"
device=
read -r -t 20 device <&6 || fail "the simulator did not start"

"$build_dir/app/quorvel" --port "$device" --workshop >"$tmp/quorvel.out" 2>&1 &
pids+=($!)
main=$(timeout 30 xdotool search --sync --onlyvisible --name '^QUORVEL Synchrontester$' | head -n 1) ||
  fail "the main window did not appear"
view=$(timeout 30 xdotool search --sync --onlyvisible --name 'Werkstattansicht|[Ww]orkshop view' | head -n 1) ||
  fail "the workshop view did not appear"
xdotool windowsize "$view" "${view_size%x*}" "${view_size#*x}"

# "Start Scan" in the main window (as tools/screenshot.sh presses it).
xdotool windowraise "$main"
sleep 0.5
xdotool mousemove --window "$main" 135 44 click 1
for _ in $(seq 100); do
  grep -q '^M ' "$tmp/frames.log" 2>/dev/null && break
  sleep 0.1
done
grep -q '^M ' "$tmp/frames.log" 2>/dev/null || fail "the scan did not start"

xdotool windowraise "$view"
sleep "$seconds"
mkdir -p "$(dirname "$output")"
import -window "$view" "$output"
echo "workshop-screenshot: $output ($(identify -format '%wx%h' "$output"))"
