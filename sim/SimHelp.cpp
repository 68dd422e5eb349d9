#include "SimOptions.h"

namespace qv::sim {

std::string HelpText() {
  return R"(Usage: quorvel-sim [OPTIONS]

A simulated Synchrontester on a pseudo-terminal: it behaves like the real
four-channel vacuum tester on a serial line at 57600 baud 8N1, for trying
Quorvel and for testing without a device.

The first line on standard output is the device path (for example /dev/pts/3).
While it runs, the simulator also announces that path as the symlink
$XDG_RUNTIME_DIR/quorvel/ports/quorvel-sim-<pid>; both links are removed when
it ends (Ctrl-C, SIGTERM or the q key).

The device is silent until it receives "b"; then it sends a maxima frame every
engine cycle (100 ms at 1200 rpm). "1".."4" add records of that channel's
waveform, sent in turn whenever the line is free at the end of a cycle. "a"
stops everything after the frame on the line. Other bytes are ignored.

Engine:
  --scenario NAME    drift (default): the cylinders come into line and drift
                     out again every 40 s; steady: a fixed imbalance; sync:
                     the imbalance dies away; overpressure: cylinder 3 stays
                     above atmospheric pressure; practice: the cylinders
                     start out of line (by an amount the seed picks) and
                     the keys move one in steps of 1 mBar
  --rpm N            engine speed, 300..3000 (default 1200)
  --seed N           seed of the noise and of the faults, for reproducible runs

Faults (RATE is the chance per frame, 0..1):
  --split N          deliver the bytes in pieces of 1..N bytes, with pauses
  --junk RATE        junk bytes between frames (never an 'M' or an 'E')
  --drop-end RATE    frames without their "End_Data"
  --bad-channel RATE channel records with a channel byte above 3
  --bad-count RATE   channel records whose sample count is letters

Other:
  --replay FILE      play a recording (.qvrec, at its recorded pace) or a raw
                     capture (at line rate) instead of the model, looping,
                     while the device is switched on
  --link PATH        also make a symlink to the device at PATH
  --log FILE         write a line for every frame sent (see docs/simulator.md)
  --log-times        also log the monotonic clock each time bytes are sent
  --stats            print counts of what was sent when the simulator ends
  --help             show this text
  --version          show the version

Keys, when standard input is a terminal:
  1..4               choose a cylinder
  + or up arrow      more vacuum on the chosen cylinder (5 mBar; 1 mBar in
                     the practice scenario)
  - or down arrow    less vacuum on the chosen cylinder
  o                  overpressure on the chosen cylinder, on or off
  q                  quit

Exit status: 0 after a clean end, 1 when the device cannot be set up, 2 for
bad arguments.
)";
}

}  // namespace qv::sim
