"""A private desktop for tests that read a program the way a screen reader
does: a session bus of its own, a virtual X display and the accessibility
bus, all below one temporary folder, and every process started for it
stopped again at the end.

    with PrivateDesktop(folder) as desk:
        proc = desk.spawn("quorvel", [...], extra_env={...})
        ...  # desk.env holds DISPLAY, the bus address and the private XDG folders

Anything missing or failing to start raises Failure with a message that says
what and, where it helps, which Debian package brings it.
"""

import ctypes
import os
import secrets
import select
import signal
import socket
import struct
import subprocess
import sys
import time

AT_SPI_BUS_LAUNCHER = "/usr/libexec/at-spi-bus-launcher"

# Each tool and the Debian package it comes in.
TOOLS = {
    "dbus-daemon": "dbus-daemon",
    "Xvfb": "xvfb",
    "xauth": "xauth",
    AT_SPI_BUS_LAUNCHER: "at-spi2-core",
}

# A session bus that activates nothing: whatever runs on it was started here,
# so nothing is left behind that this folder did not start.
SESSION_BUS_CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path={socket}</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
"""


class Failure(Exception):
    """A test step that did not work out; the message says which and why."""


def find_tool(name):
    if os.path.isabs(name):
        if os.access(name, os.X_OK):
            return name
    else:
        for d in os.environ.get("PATH", "/usr/bin:/bin").split(os.pathsep):
            path = os.path.join(d, name)
            if os.access(path, os.X_OK):
                return path
    raise Failure(f"{name} is missing (Debian package {TOOLS.get(name, '?')}; `make deps` installs it)")


def require_gi():
    """The GObject bindings with the Atspi typelib, or a Failure that says which packages bring them."""
    try:
        import gi

        gi.require_version("Atspi", "2.0")
        from gi.repository import Atspi, Gio, GLib  # noqa: F401
    except (ImportError, ValueError) as e:
        raise Failure(f"AT-SPI for Python is missing in {sys.executable} ({e}; Debian packages python3-gi and "
                      "gir1.2-atspi-2.0, for Debian's /usr/bin/python3)") from None


def read_line(fd, seconds, what):
    """The first line written to `fd` within `seconds`."""
    deadline = time.monotonic() + seconds
    data = b""
    while b"\n" not in data:
        left = deadline - time.monotonic()
        if left <= 0 or not select.select([fd], [], [], left)[0]:
            raise Failure(f"{what} did not answer within {seconds} s")
        chunk = os.read(fd, 256)
        if not chunk:
            raise Failure(f"{what} ended before it answered")
        data += chunk
    return data.split(b"\n", 1)[0].decode().strip()


class PrivateDesktop:
    def __init__(self, folder):
        self.folder = folder
        self.marker = os.path.join(folder, "session-bus")  # in every child's environment
        self.procs = []  # (name, Popen), in starting order
        self.env = self._base_env()

    def _base_env(self):
        # Nothing of the caller's desktop, and no language: the test chooses it.
        env = {k: v for k, v in os.environ.items()
               if not k.startswith(("DBUS_", "AT_SPI_", "XDG_", "WAYLAND_", "LC_"))}
        for key in ("DISPLAY", "XAUTHORITY", "SESSION_MANAGER", "LANGUAGE", "LANG"):
            env.pop(key, None)
        for sub in ("home", "config", "data", "cache", "runtime"):
            os.makedirs(os.path.join(self.folder, sub), mode=0o700, exist_ok=True)
        env.update(
            HOME=os.path.join(self.folder, "home"),
            XDG_CONFIG_HOME=os.path.join(self.folder, "config"),
            XDG_DATA_HOME=os.path.join(self.folder, "data"),
            XDG_CACHE_HOME=os.path.join(self.folder, "cache"),
            XDG_RUNTIME_DIR=os.path.join(self.folder, "runtime"),
            GSETTINGS_BACKEND="memory",  # the bus launcher asks GSettings; no dconf files
        )
        return env

    def log(self, name):
        return os.path.join(self.folder, name + ".log")

    def tail(self, name, lines=15):
        try:
            with open(self.log(name), errors="replace") as f:
                return "".join(f.readlines()[-lines:])
        except OSError:
            return ""

    def spawn(self, name, argv, extra_env=None, **kwargs):
        """Starts a process in a session of its own, output in NAME.log."""
        env = dict(self.env, **(extra_env or {}))
        with open(self.log(name), "wb") as out:
            proc = subprocess.Popen(argv, env=env, stdin=subprocess.DEVNULL, stdout=kwargs.pop("stdout", out),
                                    stderr=out, start_new_session=True, **kwargs)
        self.procs.append((name, proc))
        return proc

    def __enter__(self):
        # What the services start in turn (the accessibility bus's daemon and
        # registry) is reparented to this process when its parent ends, so
        # stop() can reap it instead of leaving it to init.
        PR_SET_CHILD_SUBREAPER = 36
        ctypes.CDLL(None, use_errno=True).prctl(PR_SET_CHILD_SUBREAPER, 1, 0, 0, 0)
        try:
            require_gi()
            for tool in TOOLS:
                find_tool(tool)
            self._start_session_bus()
            self._start_display()
            self._start_a11y_bus()
        except BaseException:
            self.stop()
            raise
        return self

    def __exit__(self, *exc):
        self.stop()
        return False

    def _start_session_bus(self):
        config = os.path.join(self.folder, "session-bus.conf")
        with open(config, "w") as f:
            f.write(SESSION_BUS_CONFIG.format(socket=self.marker))
        proc = self.spawn("dbus-daemon", [find_tool("dbus-daemon"), "--config-file", config, "--nofork",
                                          "--print-address=1"], stdout=subprocess.PIPE)
        address = read_line(proc.stdout.fileno(), 20, "the session bus (dbus-daemon)")
        proc.stdout.close()
        self.env["DBUS_SESSION_BUS_ADDRESS"] = address

    def _start_display(self):
        # Xvfb picks a free display number itself and writes it to the pipe;
        # the cookie in the server's file keeps other users of the machine
        # out. One server generation serves the whole test (-noreset), however
        # its clients come and go.
        auth = os.path.join(self.folder, "Xauthority")
        cookie = secrets.token_hex(16)
        self._xauth(auth, ":0", cookie)
        rd, wr = os.pipe()
        try:
            self.spawn("Xvfb", [find_tool("Xvfb"), "-displayfd", str(wr), "-screen", "0", "1280x1024x24",
                                "-nolisten", "tcp", "-noreset", "-auth", auth], pass_fds=(wr,))
            os.close(wr)
            number = read_line(rd, 30, "the virtual display (Xvfb)")
        except Failure as e:
            raise Failure(f"{e}: {self.tail('Xvfb', 3)}") from None
        finally:
            os.close(rd)
        self._xauth(auth, ":" + number, cookie)
        deadline = time.monotonic() + 20
        while not (answer := _x_accepts(number, cookie))[0]:
            if time.monotonic() > deadline:
                raise Failure(f"the virtual display :{number} turns clients away ({answer[1]}): "
                              f"{self.tail('Xvfb', 3)}")
            time.sleep(0.1)
        self.env.update(DISPLAY=":" + number, XAUTHORITY=auth)

    def _xauth(self, auth, display, cookie):
        open(auth, "a").close()  # xauth warns of a file that is not there yet
        r = subprocess.run([find_tool("xauth"), "-q", "-f", auth, "add", display, ".", cookie], env=self.env,
                           capture_output=True, text=True, timeout=20)
        if r.returncode != 0:
            raise Failure(f"xauth could not write the display's cookie: {r.stderr.strip()}")

    def _start_a11y_bus(self):
        self.spawn("at-spi-bus-launcher", [AT_SPI_BUS_LAUNCHER, "--launch-immediately"])
        self.wait_for_name("org.a11y.Bus", 30)

    def wait_for_name(self, name, seconds):
        """Waits until a service owns `name` on the private session bus."""
        from gi.repository import Gio, GLib

        flags = Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION
        bus = Gio.DBusConnection.new_for_address_sync(self.env["DBUS_SESSION_BUS_ADDRESS"], flags, None, None)
        try:
            deadline = time.monotonic() + seconds
            while time.monotonic() < deadline:
                reply = bus.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                                      "NameHasOwner", GLib.Variant("(s)", (name,)), None,
                                      Gio.DBusCallFlags.NONE, 5000, None)
                if reply.unpack()[0]:
                    return
                for n, p in self.procs:
                    if p.poll() is not None:
                        raise Failure(f"{n} ended with status {p.returncode}: {self.tail(n, 5)}")
                time.sleep(0.05)
            raise Failure(f"nobody took {name} on the session bus within {seconds} s")
        finally:
            bus.close_sync(None)

    def stop(self):
        """Stops every process started here, newest first, then whatever they
        started in turn (the accessibility bus and its registry carry this
        desktop's bus address in their environment)."""
        for name, proc in reversed(self.procs):
            _end(proc.pid, lambda proc=proc: proc.poll() is not None, group=True)
            if proc.stdout:
                proc.stdout.close()
        self.procs.clear()
        for pid in self._leftovers():
            _end(pid, lambda pid=pid: _gone(pid))
        _reap_children()

    def _leftovers(self):
        mark = ("=unix:path=" + self.marker).encode()
        found = []
        for entry in os.listdir("/proc"):
            if not entry.isdigit() or int(entry) == os.getpid():
                continue
            try:
                with open(f"/proc/{entry}/environ", "rb") as f:
                    if mark in f.read():
                        found.append(int(entry))
            except OSError:
                pass
        return found


def _x_accepts(number, cookie):
    """(True, "") when display `number` lets a client with `cookie` in, else
    (False, why): the X11 connection setup, done by hand on its socket."""
    name, data = b"MIT-MAGIC-COOKIE-1", bytes.fromhex(cookie)

    def padded(b):
        return b + b"\0" * (-len(b) % 4)

    with socket.socket(socket.AF_UNIX, socket.SOCK_STREAM) as s:
        s.settimeout(5)
        try:
            s.connect(f"/tmp/.X11-unix/X{number}")
            s.sendall(struct.pack("<cxHHHH2x", b"l", 11, 0, len(name), len(data)) + padded(name) + padded(data))
            head = s.recv(8)
            if len(head) < 8:
                return False, "no answer to the connection setup"
            if head[0] == 1:
                return True, ""
            return False, s.recv(head[1]).decode(errors="replace") or f"refused ({head[0]})"
        except OSError as e:
            return False, str(e)


def _reap_children(patience=5.0):
    deadline = time.monotonic() + patience
    while time.monotonic() < deadline:
        try:
            pid, _ = os.waitpid(-1, os.WNOHANG)
        except ChildProcessError:
            return
        if pid == 0:
            time.sleep(0.05)


def _gone(pid):
    try:
        with open(f"/proc/{pid}/stat") as f:
            return f.read().rsplit(")", 1)[1].split()[0] == "Z"
    except (OSError, IndexError):
        return True


def _end(pid, gone, group=False, patience=5.0):
    """SIGTERM, then SIGKILL after `patience` seconds; to the process group a
    process of spawn() leads, so what it forked goes with it."""
    for sig in (signal.SIGTERM, signal.SIGKILL):
        try:
            os.killpg(pid, sig) if group else os.kill(pid, sig)
        except ProcessLookupError:
            return
        deadline = time.monotonic() + patience
        while time.monotonic() < deadline:
            try:
                os.waitpid(pid, os.WNOHANG)
            except ChildProcessError:
                pass
            if gone():
                return
            time.sleep(0.05)
