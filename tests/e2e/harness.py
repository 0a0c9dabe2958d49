"""Runs the real markola on a private X server with a real window manager and drives it
with xdotool, the way a user at the keyboard would.

Every session gets its own temporary working directory, X display and processes, and
takes them all down again by their ids, also when a test fails or the harness itself is
killed (the children die with it)."""

import contextlib
import ctypes
import os
import re
import shutil
import signal
import subprocess
import tempfile
import time
import unittest

MARKOLA = os.environ.get("MARKOLA", "markola")
FAIL_SHIM = os.environ.get("MARKOLA_E2E_SHIM", "")
SHOT_DIR = os.environ.get("MARKOLA_E2E_SHOTS", "")

MAIN_TITLE = "MARKOLA"
CLOSE_TITLE = "変更されています。"
TWIPS_PER_PIXEL = 15
SCREEN_SIZE = (1024, 768)
TIMEOUT = 10.0

_PR_SET_PDEATHSIG = 1
_libc = ctypes.CDLL(None, use_errno=True)


def _die_with_parent():
    _libc.prctl(_PR_SET_PDEATHSIG, signal.SIGKILL)


def cp932(text):
    """The bytes of a memo text as markola writes them."""
    return text.encode("cp932")


def settings_line(frame):
    """What settings.ini holds for a window of that frame: width, height, left, top in twips."""
    left, top, width, height = frame
    return ",".join(str(n * TWIPS_PER_PIXEL) for n in (width, height, left, top)).encode() + b"\r\n"


def wait_for(condition, what, timeout=TIMEOUT, interval=0.02):
    deadline = time.monotonic() + timeout
    while True:
        result = condition()
        if result:
            return result
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out after {timeout}s waiting for {what}")
        time.sleep(interval)


class Session:
    """markola started in `workdir` on a display of its own; use it with `with`."""

    def __init__(self, workdir, *args, fail_flag=None):
        self.workdir = workdir
        self.args = list(args)
        self.fail_flag = fail_flag
        self._processes = []
        self._private = None
        self.markola = None
        self.display = None

    # Start-up and teardown

    def __enter__(self):
        try:
            self._private = tempfile.mkdtemp(prefix="markola-e2e-home-")
            self._start_x_server()
            self._start_window_manager()
            self._start_markola()
        except BaseException:
            self._stop()
            raise
        return self

    def __exit__(self, kind, value, traceback):
        if kind is not None and SHOT_DIR:
            with contextlib.suppress(Exception):
                self.screenshot(os.path.join(SHOT_DIR, f"failed-{os.getpid()}.png"))
        self._stop()
        return False

    def _environment(self):
        env = dict(os.environ)
        for name in ("LD_PRELOAD", "QT_QPA_PLATFORM", "WAYLAND_DISPLAY"):
            env.pop(name, None)
        runtime = os.path.join(self._private, "runtime")
        os.makedirs(runtime, mode=0o700, exist_ok=True)
        env.update(
            HOME=self._private,
            XDG_RUNTIME_DIR=runtime,
            XDG_CONFIG_HOME=os.path.join(self._private, "config"),
            XDG_CACHE_HOME=os.path.join(self._private, "cache"),
            LC_ALL="C.UTF-8",
            LANG="C.UTF-8",
        )
        if self.display:
            env["DISPLAY"] = self.display
        return env

    def _spawn(self, command, **options):
        process = subprocess.Popen(
            command,
            env=options.pop("env", None) or self._environment(),
            stdin=subprocess.DEVNULL,
            stdout=subprocess.DEVNULL,
            stderr=options.pop("stderr", subprocess.DEVNULL),
            preexec_fn=_die_with_parent,
            **options,
        )
        self._processes.append(process)
        return process

    def _start_x_server(self):
        read_end, write_end = os.pipe()
        try:
            size = f"{SCREEN_SIZE[0]}x{SCREEN_SIZE[1]}x24"
            command = ["Xvfb", "-displayfd", str(write_end), "-screen", "0", size,
                       "-dpi", "96", "-nolisten", "tcp", "-noreset"]
            self._spawn(command, pass_fds=(write_end,))
            os.close(write_end)
            write_end = None
            number = b""
            deadline = time.monotonic() + TIMEOUT
            while not number.endswith(b"\n"):
                if time.monotonic() > deadline:
                    raise AssertionError("Xvfb gave no display number")
                chunk = os.read(read_end, 16)
                if not chunk:
                    raise AssertionError("Xvfb ended before it gave a display number")
                number += chunk
        finally:
            os.close(read_end)
            if write_end is not None:
                os.close(write_end)
        self.display = ":" + number.decode().strip()

    def _start_window_manager(self):
        self._spawn(["openbox", "--sm-disable"])
        wait_for(lambda: "window id" in self._x("xprop", "-root", "_NET_SUPPORTING_WM_CHECK"),
                 "the window manager")

    def _start_markola(self):
        env = self._environment()
        if self.fail_flag:
            env["LD_PRELOAD"] = FAIL_SHIM
            env["MARKOLA_E2E_FAIL_FLAG"] = self.fail_flag
        self.markola = self._spawn([MARKOLA, *self.args], cwd=self.workdir, env=env,
                                   stderr=subprocess.PIPE)

    def _stop(self):
        for process in reversed(self._processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(timeout=3)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
            if process.stderr:
                process.stderr.close()
        self._processes.clear()
        if self._private:
            shutil.rmtree(self._private, ignore_errors=True)

    # The X tools

    def _x(self, *command):
        result = subprocess.run(command, env=self._environment(), capture_output=True,
                                text=True, timeout=TIMEOUT)
        return result.stdout

    def key(self, *keys):
        """Key strokes (xdotool names such as ctrl+s) to whichever window has the focus."""
        self._x("xdotool", "key", "--delay", "20", *keys)

    def type(self, text):
        self._x("xdotool", "type", "--delay", "10", text)

    def click(self, window, x, y):
        """A left click at (x, y) inside the window's client area."""
        self._x("xdotool", "mousemove", "--window", str(window), str(x), str(y), "click", "1")

    def click_screen(self, x, y):
        self._x("xdotool", "mousemove", str(x), str(y), "click", "1")

    def move(self, window, left, top):
        self._x("xdotool", "windowmove", "--sync", str(window), str(left), str(top))

    def screenshot(self, path):
        self._x("import", "-window", "root", path)

    # What is on the screen

    def windows(self):
        """{window id: title} of the mapped top-level windows the window manager manages."""
        listed = self._x("xprop", "-root", "_NET_CLIENT_LIST")
        shown = {}
        for window in (int(w, 16) for w in re.findall(r"0x[0-9a-f]+", listed)):
            if "IsViewable" in self._x("xwininfo", "-id", str(window)):
                shown[window] = self.title(window)
        return shown

    def title(self, window, prop="_NET_WM_NAME"):
        match = re.search(r'= "(.*)"$', self._x("xprop", "-id", str(window), "-notype", prop),
                          re.M)
        return match.group(1) if match else None

    def is_dialog(self, window):
        return "window id" in self._x("xprop", "-id", str(window), "WM_TRANSIENT_FOR")

    def find(self, title, dialog=True):
        return [w for w, t in self.windows().items()
                if t == title and self.is_dialog(w) == dialog]

    def wait_window(self, title, dialog=True):
        """The one shown window with exactly this title: a message box, or a main window."""
        kind = "message box" if dialog else "main window"
        found = wait_for(lambda: self.find(title, dialog), f"a {kind} titled {title!r}")
        assert len(found) == 1, f"{len(found)} windows titled {title!r}"
        return found[0]

    def wait_gone(self, window):
        wait_for(lambda: window not in self.windows(), f"window {window:#x} to close")

    def popups(self):
        """Shown menus and lists of markola: windows the window manager does not manage."""
        shown = self._x("xdotool", "search", "--onlyvisible", "--classname", "markola").split()
        return [int(w) for w in shown
                if "Override Redirect State: yes" in self._x("xwininfo", "-id", w)]

    def pick_from_popup(self, open_key, typed):
        """Opens a list or menu with a key, picks an entry by typing it (one letter is a menu's
        access key; a longer text picks a list entry and Return confirms it), and waits until
        the popup has closed again."""
        self.key(open_key)
        popup = wait_for(self.popups, "a popup to open")[0]
        self.type(typed)
        if len(typed) > 1:
            self.key("Return")
        wait_for(lambda: popup not in self.popups(), "the popup to close")

    def focused(self):
        return int(self._x("xdotool", "getwindowfocus").strip() or 0)

    def wait_focus(self, window):
        if self.focused() != window:
            self._x("xdotool", "windowactivate", "--sync", str(window))
        wait_for(lambda: self.focused() == window, f"the focus on window {window:#x}")

    def answer(self, title, key):
        """Answers the message box of that title with one key and waits until it is gone."""
        box = self.wait_window(title)
        self.wait_focus(box)
        self.key(key)
        self.wait_gone(box)
        return box

    def main_window(self):
        window = self.wait_window(MAIN_TITLE, dialog=False)
        self.wait_focus(window)
        return window

    def frame_rect(self, window):
        """(left, top, width, height) of the window with its frame, in pixels."""
        info = self._x("xwininfo", "-id", str(window))
        left, top, width, height = (
            int(re.search(label + r":\s+(-?\d+)", info).group(1))
            for label in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))
        extents = self._x("xprop", "-id", str(window), "_NET_FRAME_EXTENTS")
        frame_left, frame_right, frame_top, frame_bottom = (
            int(n) for n in re.findall(r"\d+", extents.split("=")[1]))
        return (left - frame_left, top - frame_top, width + frame_left + frame_right,
                height + frame_top + frame_bottom)

    def wait_exit(self):
        try:
            return self.markola.wait(timeout=TIMEOUT)
        except subprocess.TimeoutExpired:
            raise AssertionError("markola did not end") from None

    def running(self):
        return self.markola.poll() is None


class MarkolaTestCase(unittest.TestCase):
    """Each test in a fresh working directory with an empty memo folder."""

    def setUp(self):
        self.workdir = tempfile.mkdtemp(prefix="markola-e2e-")
        self.addCleanup(shutil.rmtree, self.workdir, ignore_errors=True)
        self.memo_dir = os.path.join(self.workdir, "memo")
        os.mkdir(self.memo_dir)

    def path(self, *parts):
        return os.path.join(self.workdir, *parts)

    def write_memo(self, name, data):
        with open(os.path.join(self.memo_dir, name + ".txt"), "wb") as file:
            file.write(data)

    def memo(self, name):
        with open(os.path.join(self.memo_dir, name + ".txt"), "rb") as file:
            return file.read()

    def wait_memo(self, name, expected):
        """Waits until the memo's file holds exactly the expected bytes."""
        def holds():
            with contextlib.suppress(FileNotFoundError):
                return self.memo(name) == expected
        try:
            wait_for(holds, f"memo {name!r} to hold {expected!r}")
        except AssertionError:
            self.assertEqual(self.memo(name), expected)

    def session(self, *args, **options):
        return Session(self.workdir, *args, **options)
