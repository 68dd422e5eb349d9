#!/usr/bin/python3
"""The workshop view as a screen reader reads it: the real program on the
simulated device, on a private desktop (session bus, virtual display,
accessibility bus), read over AT-SPI and nothing else.

"Start Scan" is pressed through its Action interface, as a screen reader
user would. Then every part of the view must show its value as AT-SPI text
in the form the view draws it, the parts must agree with each other
(differences round a mean, the verdict names the cylinder furthest off with
its number), and the numbers must change, with object:text-changed events,
as the simulator's drift moves the cylinders. "Stop Scan" empties them again.

    test_workshop_atspi.py --quorvel PATH --sim PATH [--language de|en] [--seconds N]

Exits 0 when every check passed, 1 with the reasons otherwise; it gives up
after --seconds in any case and stops every process it started.
"""

import argparse
import os
import re
import shutil
import sys
import tempfile
import threading
import time
import traceback
import warnings

sys.dont_write_bytecode = True  # no __pycache__ in the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "support"))
from private_desktop import Failure, PrivateDesktop  # noqa: E402

MINUS = "\u2212"

# What the view says, per language, as its catalogue has it.
WORDS = {
    "de": dict(lang="de_DE.UTF-8", decimal=",", window="QUORVEL Werkstattansicht", difference="Abweichung",
               absolute="Absolutwert", scatter="Streuung", cylinder="Zylinder", reference="Referenz",
               unit="Einheit", tolerance="Toleranz", verdict="Ergebnis", connection="Verbindung",
               mean="Mittelwert", in_sync="SYNCHRON", settling="Werte beruhigen sich …", worst="Zyl.",
               no_scan="Kein Scan", unsteady="unruhig"),
    "en": dict(lang="en_GB.UTF-8", decimal=".", window="QUORVEL Workshop view", difference="Difference",
               absolute="Absolute value", scatter="Scatter", cylinder="Cylinder", reference="Reference",
               unit="Unit", tolerance="Tolerance", verdict="Verdict", connection="Connection", mean="Mean",
               in_sync="IN SYNC", settling="Settling …", worst="Cyl.", no_scan="No scan", unsteady="unsteady"),
}
TOLERANCE = 10  # mBar, the view's default
IDLE_VACUUM = (-400, -100)  # mBar: the simulated engine idles at -250, give or take its imbalance

step = "starting"  # what the test is doing, for the message when time runs out
expired = threading.Event()  # set when the watchdog gives up


class Checks:
    def __init__(self):
        self.failures = []

    def expect(self, ok, message):
        if not ok:
            self.failures.append(message)
        return ok


def signed(text):
    """The number of "+14 mBar", "−3 mBar" or "0 mBar" (the view's difference form), else None."""
    m = re.fullmatch(rf"(?:([+{MINUS}])([1-9]\d*)|0) mBar", text)
    if not m:
        return None
    return 0 if m.group(1) is None else (-1 if m.group(1) == MINUS else 1) * int(m.group(2))


def absolute(text):
    """The number of "−251 mBar" (the device's sign: vacuum negative), else None."""
    m = re.fullmatch(rf"({MINUS}?)([1-9]\d*|0) mBar", text)
    return None if not m else (-1 if m.group(1) else 1) * int(m.group(2))


class Reader:
    """What a screen reader has of the program: its accessible tree over AT-SPI, and its events."""

    def __init__(self, env, pid):
        os.environ.update(env)  # Atspi finds the accessibility bus through the private session bus
        from gi.repository import Atspi, GLib  # there: PrivateDesktop checked

        warnings.filterwarnings("ignore", category=DeprecationWarning)  # get_action_name has no successor here
        self.Atspi, self.context = Atspi, GLib.MainContext.default()
        Atspi.init()
        Atspi.set_timeout(10000, 30000)  # a sanitizer build on a busy machine answers slowly, not wrongly
        self.pid = pid
        self.events = []  # (part name, event type, text)
        self.listener = Atspi.EventListener.new(self._on_event)
        self.listener.register("object:text-changed")

    def _on_event(self, event):
        try:
            self.events.append((event.source.get_name(), event.type, event.any_data))
        except Exception as e:  # an object gone meanwhile is not this test's concern
            self.events.append(("?", event.type, repr(e)))

    def pump(self, seconds):
        end = time.monotonic() + seconds
        while True:
            while self.context.pending():
                self.context.iteration(False)
            if time.monotonic() >= end:
                return
            time.sleep(0.02)

    def wait(self, what, seconds, probe):
        """probe() until it returns something true, handling events meanwhile."""
        end = time.monotonic() + seconds
        while time.monotonic() < end:
            result = probe()
            if result:
                return result
            self.pump(0.1)
        raise Failure(f"{what} within {seconds} s")

    def application(self):
        desktop = self.Atspi.get_desktop(0)
        for i in range(desktop.get_child_count()):
            app = desktop.get_child_at_index(i)
            if app is not None and app.get_process_id() == self.pid:
                return app
        return None

    def descendants(self, root, limit=5000):
        queue, seen = [root], 0
        while queue and seen < limit:
            node = queue.pop(0)
            seen += 1
            yield node
            for i in range(node.get_child_count()):
                child = node.get_child_at_index(i)
                if child is not None:
                    queue.append(child)

    def find(self, root, role, name):
        for node in self.descendants(root):
            if node.get_role_name() == role and node.get_name() == name:
                return node
        return None

    def text(self, node):
        return self.Atspi.Text.get_text(node, 0, -1)

    def check_place(self, node, window, checks):
        """A screen reader's review of the window takes the text of what is
        showing, where its characters stand: on the part, in the window."""
        Atspi, screen, name = self.Atspi, self.Atspi.CoordType.SCREEN, node.get_name()
        states = node.get_state_set()
        checks.expect(states.contains(Atspi.StateType.SHOWING) and states.contains(Atspi.StateType.VISIBLE),
                      f"{name!r} is not showing")
        place, frame = Atspi.Component.get_extents(node, screen), Atspi.Component.get_extents(window, screen)
        chars = Atspi.Text.get_range_extents(node, 0, Atspi.Text.get_character_count(node), screen)

        def inside(a, b):
            return (a.width > 0 and a.height > 0 and b.x <= a.x and a.x + a.width <= b.x + b.width
                    and b.y <= a.y and a.y + a.height <= b.y + b.height)

        def show(r):
            return f"({r.x}, {r.y}, {r.width}×{r.height})"

        checks.expect(inside(place, frame), f"{name!r} lies at {show(place)}, outside its window {show(frame)}")
        checks.expect(inside(chars, place), f"the text of {name!r} lies at {show(chars)}, outside it {show(place)}")

    def press(self, node):
        actions = [self.Atspi.Action.get_action_name(node, i) for i in range(self.Atspi.Action.get_n_actions(node))]
        if "Press" not in actions:
            raise Failure(f"{node.get_name()!r} offers no Press action (it offers {actions})")
        self.Atspi.Action.do_action(node, actions.index("Press"))


def part_names(w):
    names = []
    for c in range(1, 5):
        for kind in ("difference", "absolute", "scatter"):
            names.append(f"{w[kind]} {w['cylinder']} {c}")
    return names + [w["reference"], w["unit"], w["tolerance"], w["verdict"], w["connection"]]


def check_reading(r, w, checks, stable):
    """The checks on one reading of every part (name -> text). A stable
    reading (two reads alike, no frame in between) must also be consistent."""
    cyl = w["cylinder"]
    diffs, refs = {}, []
    for c in range(1, 5):
        d_text, a_text = r[f"{w['difference']} {cyl} {c}"], r[f"{w['absolute']} {cyl} {c}"]
        s_text = r[f"{w['scatter']} {cyl} {c}"]
        d, a = signed(d_text), absolute(a_text)
        checks.expect(d is not None and abs(d) <= 200, f"difference of cylinder {c} reads {d_text!r}")
        checks.expect(a is not None and IDLE_VACUUM[0] <= a <= IDLE_VACUUM[1],
                      f"absolute value of cylinder {c} reads {a_text!r}")
        scatter = rf"±\d+{re.escape(w['decimal'])}\d mBar(, {w['unsteady']})?"
        checks.expect(re.fullmatch(scatter, s_text), f"scatter of cylinder {c} reads {s_text!r}")
        if d is not None and a is not None:
            diffs[c] = d
            refs.append(a - d)
    checks.expect(r[w["reference"]] == w["mean"], f"reference reads {r[w['reference']]!r}")
    checks.expect(r[w["unit"]] == "mBar", f"unit reads {r[w['unit']]!r}")
    checks.expect(r[w["tolerance"]] == f"±{TOLERANCE} mBar", f"tolerance reads {r[w['tolerance']]!r}")
    checks.expect(r[w["connection"]] == "", f"connection reads {r[w['connection']]!r} while connected")
    verdict = r[w["verdict"]]
    worst = re.fullmatch(rf"{re.escape(w['worst'])} ([1-4]): (.+)", verdict)
    checks.expect(verdict in (w["in_sync"], w["settling"]) or (worst and signed(worst.group(2)) is not None),
                  f"verdict reads {verdict!r}")
    if not stable or len(diffs) < 4:
        return
    # Every number rounds by up to a half: the four differences to their mean
    # add up to nearly nothing, and value minus difference is the same
    # reference for all four.
    checks.expect(abs(sum(diffs.values())) <= 2, f"differences to the mean do not add up to 0: {diffs}")
    checks.expect(max(refs) - min(refs) <= 2, f"absolute minus difference differs between cylinders: {refs}")
    if worst:
        c = int(worst.group(1))
        named = r[f"{w['difference']} {cyl} {c}"]
        checks.expect(worst.group(2) == named, f"verdict {verdict!r} but cylinder {c} reads {named!r}")
        checks.expect(all(abs(diffs[c]) >= abs(v) for v in diffs.values()) and abs(diffs[c]) > TOLERANCE,
                      f"verdict {verdict!r} names a cylinder that is not the furthest off outside the band: {diffs}")
    if verdict == w["in_sync"]:
        checks.expect(all(abs(v) <= TOLERANCE for v in diffs.values()), f"{verdict!r} with differences {diffs}")


def run(args, desk, checks):
    global step
    w = WORDS[args.language]
    step = "starting the simulated device"
    desk.spawn("quorvel-sim", [args.sim, "--seed", "7"])  # the default drift scenario
    end = time.monotonic() + 20
    pty = ""
    while not pty.startswith("/dev/") and time.monotonic() < end:
        time.sleep(0.05)
        pty = desk.tail("quorvel-sim", 50).split("\n", 1)[0].strip()
    if not pty.startswith("/dev/"):
        raise Failure(f"quorvel-sim announced no device: {desk.tail('quorvel-sim', 5)!r}")

    step = "starting quorvel"
    env = dict(QT_QPA_PLATFORM="xcb", QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", LANG=w["lang"], LC_CTYPE="C.UTF-8")
    quorvel = desk.spawn("quorvel", [args.quorvel, "--port", pty, "--workshop"], extra_env=env)
    a11y = Reader(desk.env, quorvel.pid)

    def alive():
        if quorvel.poll() is not None:
            raise Failure(f"quorvel ended with status {quorvel.returncode}:\n{desk.tail('quorvel')}")
        return True

    step = "looking for quorvel on the accessibility bus"
    app = a11y.wait("quorvel did not appear on the accessibility bus (Qt's bridge runs on xcb, when "
                    "accessibility is on)", 60, lambda: alive() and a11y.application())
    view = a11y.wait(f"no window {w['window']!r}", 20, lambda: alive() and a11y.find(app, "frame", w["window"]))
    start = a11y.wait("no button 'Start Scan'", 20, lambda: a11y.find(app, "push button", "Start Scan"))
    stop = a11y.find(app, "push button", "Stop Scan")

    step = "finding the view's parts"
    names = part_names(w)
    parts = {}
    for node in a11y.descendants(view):
        if node.get_name() in names:
            parts[node.get_name()] = node
    missing = [n for n in names if n not in parts]
    if missing:
        raise Failure(f"the view has no parts called {missing}")
    for name, node in parts.items():
        ifaces = node.get_interfaces()
        if "Text" not in ifaces:
            raise Failure(f"part {name!r} offers no text interface over AT-SPI (only {ifaces})")

    def read():
        return {name: a11y.text(node) for name, node in parts.items()}

    step = "reading the view before the scan"
    idle = a11y.wait(f"the verdict never read {w['no_scan']!r} before the scan", 20,
                     lambda: (r := read())[w["verdict"]] == w["no_scan"] and r)
    checks.expect(all(idle[n] == "" for n in names if n.startswith(w["difference"])),
                  f"numbers before the scan: {idle}")

    step = "pressing Start Scan"
    a11y.pump(0.5)  # the program hears of the event listener first
    a11y.press(start)
    step = "waiting for the first readings"
    a11y.wait("the differences never became numbers after Start Scan", 30,
              lambda: all(signed(t) is not None for n, t in read().items() if n.startswith(w["difference"])))

    step = "finding where the numbers stand"
    for n in names:
        if n.startswith((w["difference"], w["absolute"], w["scatter"])) or n == w["verdict"]:
            a11y.check_place(parts[n], view, checks)

    step = "reading the view during the scan"
    seen = {n: set() for n in names}
    stable_reads = 0
    end = time.monotonic() + args.watch
    while time.monotonic() < end:
        alive()
        first, second = read(), read()
        stable_reads += first == second
        check_reading(first, w, checks, stable=first == second)
        for n, t in first.items():
            seen[n].add(t)
        a11y.pump(0.3)
    checks.expect(stable_reads > 0, "no two readings of the view alike: its consistency was never checked")
    print(f"{stable_reads} stable readings, {len(a11y.events)} text-changed events; the last reading:")
    for n in names:
        print(f"  {n}: {first[n]!r} (seen {len(seen[n])} texts)")
    for n in names:
        if n.startswith((w["difference"], w["absolute"])):
            checks.expect(len(seen[n]) >= 2, f"{n!r} never changed during the drift: {sorted(seen[n])}")
            inserted = [t for (source, kind, t) in a11y.events if source == n and kind.endswith(":insert")]
            checks.expect(inserted, f"{n!r} sent no object:text-changed:insert event")
            checks.expect(all(signed(t) is not None or absolute(t) is not None for t in inserted),
                          f"{n!r} announced texts that are no numbers: {inserted[:5]}")

    step = "pressing Stop Scan"
    a11y.press(stop)
    a11y.wait(f"the verdict never read {w['no_scan']!r} after Stop Scan", 20,
              lambda: alive() and read()[w["verdict"]] == w["no_scan"])
    after = read()
    checks.expect(all(after[n] == "" for n in names if n.startswith(w["difference"])),
                  f"numbers after the scan: {after}")
    alive()


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--quorvel", required=True)
    parser.add_argument("--sim", required=True)
    parser.add_argument("--language", choices=sorted(WORDS), default="de")
    parser.add_argument("--seconds", type=float, default=170, help="gives up after this long")
    parser.add_argument("--watch", type=float, default=8, help="seconds of readings to check")
    args = parser.parse_args()
    checks = Checks()
    began = time.monotonic()
    with tempfile.TemporaryDirectory(prefix="quorvel-atspi-") as folder:
        desk = None

        def expire():
            expired.set()
            print(f"FAIL: gave up after {args.seconds:.0f} s while {step}", flush=True)
            if desk:
                desk.stop()
            shutil.rmtree(folder, ignore_errors=True)
            os._exit(1)

        watchdog = threading.Timer(args.seconds, expire)
        watchdog.daemon = True
        watchdog.start()
        try:
            with PrivateDesktop(folder) as desk:
                try:
                    run(args, desk, checks)
                except Exception as e:  # a Failure, or an AT-SPI call that went wrong
                    if expired.is_set():  # the watchdog has stopped everything and says so
                        time.sleep(60)
                    if not isinstance(e, Failure):
                        traceback.print_exc()
                    checks.failures.append(f"{e} (while {step})")
                    for name in ("quorvel", "quorvel-sim", "at-spi-bus-launcher", "Xvfb"):
                        if desk.tail(name):
                            print(f"--- end of {name}'s output:\n{desk.tail(name)}")
        except Failure as e:  # the desktop itself did not start
            checks.failures.append(str(e))
        finally:
            watchdog.cancel()
    for f in checks.failures[:20]:
        print("FAIL:", f)
    if len(checks.failures) > 20:
        print(f"... and {len(checks.failures) - 20} more")
    print(f"{'passed' if not checks.failures else 'failed'} in {time.monotonic() - began:.1f} s "
          f"({args.language}, {len(checks.failures)} failures)")
    return 1 if checks.failures else 0


if __name__ == "__main__":
    sys.exit(main())
