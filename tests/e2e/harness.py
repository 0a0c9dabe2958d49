"""Runs the real markola on a private X server with openbox and drives it with xdotool, as a
user would. A session takes its processes down when it ends, and they die with the harness."""

import ctypes
import os
import pathlib
import pwd
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import unittest

MARKOLA = os.environ.get("MARKOLA", "markola")
MAIN_TITLE = "MARKOLA"
CLOSE_TITLE = "変更されています。"
SCREEN_SIZE = (1024, 768)
TIMEOUT = 10.0
# A window just mapped and focused is still settling with the window manager: a key sent at
# once is lost about one time in ten (openbox drops Alt+F4, a new box its first key).
SETTLE = 0.3
_PR_SET_PDEATHSIG = 1


def settings_line(frame):
    """What settings.ini holds for a window of that frame: width, height, left, top in twips."""
    left, top, width, height = frame
    return ",".join(str(n * 15) for n in (width, height, left, top)).encode() + b"\r\n"


def wait_for(condition, what, timeout=TIMEOUT):
    deadline = time.monotonic() + timeout
    while not (result := condition()):
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out after {timeout}s waiting for {what}")
        time.sleep(0.02)
    return result


class Session:
    """markola started in `workdir` on a display of its own; use it with `with`. A `fail_flag`
    preloads the shim that fails the system call that file names, on the workdir's files."""

    _script = pathlib.Path(__file__)

    def __init__(self, workdir, *args, fail_flag=None, env=None):
        self.workdir, self.args, self._processes = workdir, args, []
        self.markola_env = dict(env or {})
        if fail_flag:
            self.markola_env.update(LD_PRELOAD=os.environ["MARKOLA_E2E_SHIM"],
                                    MARKOLA_E2E_FAIL_FLAG=str(fail_flag),
                                    MARKOLA_E2E_FAIL_UNDER=str(workdir))

    def __enter__(self):
        # mkdtemp makes the runtime directory private (0700), as a compositor demands.
        self._home = tempfile.mkdtemp(prefix="markola-e2e-home-")
        self.env = {k: v for k, v in os.environ.items()
                    if not k.startswith(("LD_PRELOAD", "QT_", "WAYLAND_", "XDG_"))}
        self.env.update(HOME=self._home, XDG_RUNTIME_DIR=self._home, LC_ALL="C.UTF-8")
        try:
            self._start()
        except BaseException:
            self.__exit__()
            raise
        return self

    def _start(self):
        self._start_desktop()
        self._start_markola()

    def __exit__(self, *exception):
        for process in reversed(self._processes):
            process.terminate()
            try:
                process.wait(timeout=3)
            except subprocess.TimeoutExpired:
                process.kill()
                process.wait()
        shutil.rmtree(self._home, ignore_errors=True)

    def _spawn(self, command, stdout=subprocess.DEVNULL, **options):
        process = subprocess.Popen(
            self._as_user(command), **{"env": self.env, "cwd": self._home, **options},
            stdin=subprocess.DEVNULL, stdout=stdout, stderr=subprocess.DEVNULL,
            preexec_fn=lambda: ctypes.CDLL(None).prctl(_PR_SET_PDEATHSIG, signal.SIGKILL))
        self._processes.append(process)
        return process

    def _as_user(self, command):
        return command

    def _first_line(self, *command):
        with self._spawn(command, stdout=subprocess.PIPE).stdout as pipe:
            if not (select.select([pipe], [], [], TIMEOUT)[0] and (line := pipe.readline())):
                raise AssertionError(f"{command[0]} gave nothing")
        return line.decode().strip()

    def _start_desktop(self):
        self.env["DISPLAY"] = ":" + self._first_line(
            "Xvfb", "-displayfd", "1", "-screen", "0", "%dx%dx24" % SCREEN_SIZE, "-dpi", "96",
            "-nolisten", "tcp", "-noreset")
        self._spawn(["openbox", "--sm-disable"])
        wait_for(lambda: "window id" in self._x("xprop", "-root", "_NET_SUPPORTING_WM_CHECK"),
                 "the window manager")

    def _start_bus(self):
        """A session bus of its own, which also starts the accessibility bus for markola."""
        self.env["DBUS_SESSION_BUS_ADDRESS"] = self._first_line(
            "dbus-daemon", "--session", "--nofork", "--print-address=1")
        self.markola_env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"

    def _start_markola(self, program=MARKOLA, **variables):
        self.markola = self._spawn([program, *self.args], cwd=self.workdir,
                                   env=dict(self.env, **self.markola_env, **variables))

    def _x(self, *command, check=False, as_user=False):  # as the harness's user or the session's
        return subprocess.run(self._as_user(command) if as_user else command, env=self.env,
                              capture_output=True, text=True, cwd=self._home,
                              timeout=2 * TIMEOUT, check=check).stdout

    def key(self, *keys):
        """Key strokes (xdotool names such as ctrl+s) to whichever window has the focus."""
        self._x("xdotool", "key", "--delay", "20", *keys)

    def type(self, text):
        self._x("xdotool", "type", "--delay", "10", text)

    def click(self, x, y, window=None):
        """A left click at (x, y) on the screen, or inside the window's client area."""
        where = ["--window", str(window)] if window else []
        self._x("xdotool", "mousemove", *where, str(x), str(y), "click", "1")

    def move(self, window, left, top):
        self._x("xdotool", "windowmove", "--sync", str(window), str(left), str(top))

    def pick_from_popup(self, open_key, typed):
        """Opens a list or menu with a key and picks an entry by typing it (one letter is a menu's
        access key; Return confirms a longer text picked in a list), until the popup closes."""
        self.key(open_key)
        popup = wait_for(self._popups, "a popup to open")[0]
        self.type(typed)
        if len(typed) > 1:
            self.key("Return")
        wait_for(lambda: popup not in self._popups(), "the popup to close")

    def _popups(self):
        """Shown menus and lists of markola: windows the window manager does not manage."""
        shown = self._x("xdotool", "search", "--onlyvisible", "--classname", "markola").split()
        return [w for w in shown if "Redirect State: yes" in self._x("xwininfo", "-id", w)]

    def answer(self, title, *keys):
        box = self.wait_window(title)
        self.wait_focus(box)
        time.sleep(SETTLE)
        self.key(*keys)
        wait_for(lambda: box not in self.windows(), f"the message box {title!r} to close")

    def windows(self):
        """{window id: title} of the shown top-level windows the window manager manages."""
        listed = self._x("xprop", "-root", "_NET_CLIENT_LIST")
        return {w: self.title(w) for w in (int(n, 16) for n in re.findall(r"0x[0-9a-f]+", listed))
                if "IsViewable" in self._x("xwininfo", "-id", str(w))}

    def title(self, window, prop="_NET_WM_NAME"):
        found = re.search(r'= "(.*)"$', self._x("xprop", "-id", str(window), "-notype", prop),
                          re.M)
        return found and found.group(1)

    def wait_window(self, title, dialog=True):
        """The one shown window with this title: a message box, or a main window."""
        def found():
            return [w for w, t in self.windows().items() if t == title and dialog == (
                "window id" in self._x("xprop", "-id", str(w), "WM_TRANSIENT_FOR"))]
        windows = wait_for(found, f"a window titled {title!r}")
        assert len(windows) == 1, f"{len(windows)} windows titled {title!r}"
        return windows[0]

    def main_window(self):
        window = self.wait_window(MAIN_TITLE, dialog=False)
        self.wait_focus(window)
        time.sleep(SETTLE)
        return window

    def wait_focus(self, window):
        def focused():
            return self._x("xdotool", "getwindowfocus").strip() == str(window)
        if not focused():
            self._x("xdotool", "windowactivate", "--sync", str(window))
        wait_for(focused, f"the focus on window {window:#x}")

    def frame_rect(self, window):
        """(left, top, width, height) of the window with its frame, in pixels."""
        info = self._x("xwininfo", "-id", str(window))
        left, top, width, height = (int(re.search(label + r":\s+(-?\d+)", info).group(1))
                                    for label in ("upper-left X", "upper-left Y", "Width", "Height"))
        extents = self._x("xprop", "-id", str(window), "_NET_FRAME_EXTENTS").split("=")[1]
        frame_left, frame_right, frame_top, frame_bottom = map(int, re.findall(r"\d+", extents))
        return (left - frame_left, top - frame_top, width + frame_left + frame_right,
                height + frame_top + frame_bottom)

    def wait_exit(self):
        return self.markola.wait(timeout=TIMEOUT)

    def atspi(self, item, *what):  # see press_menu_item
        return self._x("/usr/bin/python3", str(self._script), "markola", item, *what,
                       check=True, as_user=True)


class WaylandSession(Session):
    """markola native on a headless Wayland compositor of its own; use it with `with`."""

    def _start(self):
        self.env.pop("DISPLAY", None)
        self.env["WAYLAND_DISPLAY"] = "wayland-markola"
        self._start_bus()
        self._spawn(["weston", "--backend=headless-backend.so", "--use-pixman", "--no-config",
                     "--idle-time=0", "--socket=wayland-markola"])
        wait_for(lambda: os.path.exists(os.path.join(self._home, "wayland-markola")),
                 "the compositor")
        self._start_markola(QT_QPA_PLATFORM="wayland")


class InputMethodSession(Session):
    """markola typed into through fcitx5 with Mozc, whose converter will not work for root: the
    X server, the bus, the input method and markola run as nobody, from a home of their own
    that holds a copy of markola and this script (the build tree may be closed to others) and
    owning the working directory. Use it with `with`."""

    PROFILE = ("[Groups/0]\nName=Default\nDefault Layout=us\nDefaultIM=mozc\n"
               "[Groups/0/Items/0]\nName=keyboard-us\n[Groups/0/Items/1]\nName=mozc\n"
               "[GroupOrder]\n0=Default\n")

    def _start(self):
        profile = pathlib.Path(self._home, ".config", "fcitx5", "profile")
        profile.parent.mkdir(parents=True)
        profile.write_text(self.PROFILE)
        program = shutil.copy(MARKOLA, self._home)
        self._script = shutil.copy(self._script, self._home)
        nobody = pwd.getpwnam("nobody")
        for path in (p for top in (self._home, self.workdir)
                     for p in [pathlib.Path(top), *pathlib.Path(top).rglob("*")]):
            os.chown(path, nobody.pw_uid, nobody.pw_gid)
        self.env["XDG_CONFIG_HOME"] = str(profile.parents[1])
        # The X server's socket folder, which an X server run by nobody could not make as root.
        os.makedirs("/tmp/.X11-unix", exist_ok=True)
        os.chmod("/tmp/.X11-unix", 0o1777)
        self._start_desktop()
        self._start_bus()
        self._spawn(["fcitx5"])  # not -d: it ends with the session
        wait_for(lambda: self._x("fcitx5-remote", as_user=True).strip().isdigit(), "fcitx5")
        self._start_markola(program, QT_IM_MODULE="fcitx")

    def __exit__(self, *exception):
        # Everything the session started carries its home: runuser, which would take seconds
        # to end its child, the programs, and Mozc's converter, which outlives fcitx5.
        mark = f"HOME={self._home}\0".encode()
        for entry in pathlib.Path("/proc").glob("[0-9]*"):
            try:
                if mark in (entry / "environ").read_bytes():
                    os.kill(int(entry.name), signal.SIGKILL)
            except OSError:
                pass
        super().__exit__(*exception)

    def _as_user(self, command):
        return ["runuser", "-u", "nobody", "--", "env", "HOME=" + self._home, *command]

    def switch_on(self):
        """Switches the input method on once markola's input context has the focus."""
        wait_for(lambda: self._x("fcitx5-remote", "-o", as_user=True) == ""
                 and self._x("fcitx5-remote", as_user=True).strip() == "2", "the input method")

    def compose(self, romaji, *keys):
        """Types romaji into the input method, then the keys that convert or commit it."""
        self.type(romaji)
        for key in (*keys, None):
            time.sleep(0.3)
            if key:
                self.key(key)


def press_menu_item(program, name, what="press"):
    """Run by Debian's python3, which has pyatspi: presses the program's menu item over the
    accessibility bus as a screen reader would, or prints where on the screen its middle is."""
    import pyatspi

    def find(node):
        if node.getRoleName() == "menu item" and node.name == name:
            return node
        children = (node.getChildAtIndex(i) for i in range(node.childCount))
        return next((found for child in children if child and (found := find(child))), None)

    item = wait_for(lambda: next((found for app in pyatspi.Registry.getDesktop(0)
                                  if app and app.name == program and (found := find(app))), None),
                    f"the menu item {name!r} of {program!r} on the accessibility bus")
    if what == "where":
        box = item.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        print(box.x + box.width // 2, box.y + box.height // 2)
    else:
        item.queryAction().doAction(0)


class MarkolaTestCase(unittest.TestCase):
    """Each test in a fresh working directory whose memo folder holds an empty unnamed memo,
    so that a start reports no open failure."""

    def setUp(self):
        self.workdir = pathlib.Path(tempfile.mkdtemp(prefix="markola-e2e-"))
        self.addCleanup(shutil.rmtree, self.workdir, ignore_errors=True)
        self.settings = self.workdir / "settings.ini"
        (self.workdir / "memo").mkdir()
        self.memo_file("").write_bytes(b"")

    def memo_file(self, name):
        return self.workdir / "memo" / f"{name}.txt"

    def memo(self, name):
        return self.memo_file(name).read_bytes()

    def wait_memo(self, name, expected):
        try:
            wait_for(lambda: self.memo_file(name).exists() and self.memo(name) == expected,
                     f"memo {name!r} to hold {expected!r}")
        except AssertionError:
            self.assertEqual(self.memo(name), expected)

    def session(self, *args, **options):
        return Session(self.workdir, *args, **options)


if __name__ == "__main__":
    press_menu_item(*sys.argv[1:])