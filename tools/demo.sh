#!/usr/bin/env bash
# Starts the simulated device and Quorvel on it, and tidies up when Quorvel
# ends, when Ctrl-C is pressed or when this script is told to stop.
#
#   tools/demo.sh [--check-display] [BUILD_DIR] [-- SIMULATOR OPTIONS...]
#
# Quorvel gets a fresh, temporary configuration folder, so the port settings
# and the placement file of the user's own installation are never touched. The
# settings file Quorvel.ini is kept beside the executable in BUILD_DIR, as the
# program does for any copy of itself whose folder is writable.
#
# Environment: DEMO_LOG=FILE hands --log FILE to the simulator (the screenshot
# script watches it to see that the scan has started).
set -euo pipefail

have_display() { [[ -n ${DISPLAY:-} || -n ${WAYLAND_DISPLAY:-} ]]; }

if [[ ${1:-} == --check-display ]]; then
  if ! have_display; then
    echo "make demo: no display (DISPLAY and WAYLAND_DISPLAY are unset); run it on a desktop, or try 'make screenshot'" >&2
    exit 1
  fi
  exit 0
fi

build_dir=${1:-build/release}
[[ $# -gt 0 ]] && shift
[[ ${1:-} == -- ]] && shift
sim_args=("$@")

app=$build_dir/app/quorvel
sim=$build_dir/sim/quorvel-sim
for exe in "$app" "$sim"; do
  if [[ ! -x $exe ]]; then
    echo "demo: $exe is missing; build first (make build)" >&2
    exit 1
  fi
done
if ! have_display; then
  echo "demo: no display (DISPLAY and WAYLAND_DISPLAY are unset)" >&2
  exit 1
fi

tmp=$(mktemp -d "${TMPDIR:-/tmp}/quorvel-demo.XXXXXX")
sim_pid=
app_pid=

stop() {
  local pid
  for pid in $app_pid $sim_pid; do
    kill -TERM "$pid" 2>/dev/null || true
  done
  for pid in $app_pid $sim_pid; do
    wait "$pid" 2>/dev/null || true
  done
  app_pid=
  sim_pid=
  exec 4<&- 2>/dev/null || true
  rm -rf "$tmp"
}
trap stop EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

[[ -n ${DEMO_LOG:-} ]] && sim_args+=(--log "$DEMO_LOG")

# Without a session's runtime folder both programs would fall back to one of
# their own making (and Qt would warn); a private one serves both, so the
# program's port list still shows the simulator.
if [[ -z ${XDG_RUNTIME_DIR:-} ]]; then
  export XDG_RUNTIME_DIR=$tmp/runtime
  mkdir -m 700 "$XDG_RUNTIME_DIR"
fi

# The simulator's first output line is its device path; it comes through a
# pipe that stays open until the end, so that nothing it prints later fails.
# Its keys work when this script runs on a terminal: it reads that terminal.
mkfifo "$tmp/sim.out"
if [[ -t 0 ]]; then
  "$sim" "${sim_args[@]}" >"$tmp/sim.out" <&0 &
else
  "$sim" "${sim_args[@]}" >"$tmp/sim.out" </dev/null &
fi
sim_pid=$!
exec 4<"$tmp/sim.out"
port=
if ! read -r -t 10 port <&4 || [[ -z $port ]]; then
  echo "demo: the simulator did not start" >&2
  exit 1
fi

cat <<EOF
Simulated device on $port.
Press "Start Scan" in the Quorvel window to start the readings, "Stop Scan" to stop them.
Simulator keys in this terminal: 1..4 choose a cylinder, + and - change its vacuum,
o switches overpressure on it, q quits the simulator. Close the window or press Ctrl-C to end.
EOF

XDG_CONFIG_HOME=$tmp/config "$app" --port "$port" </dev/null &
app_pid=$!
status=0
wait "$app_pid" || status=$?
app_pid=
exit "$status"
