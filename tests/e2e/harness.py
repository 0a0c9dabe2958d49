"""The real markola on an X server of its own with openbox, driven by xdotool as a user would."""

import contextlib
import os
import pathlib
import re
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


def wait_for(condition, what, timeout=TIMEOUT):
    deadline = time.monotonic() + timeout
    while not (result := condition()):
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out after {timeout}s waiting for {what}")
        time.sleep(0.02)
    return result


class Session:
    script, program = os.path.abspath(__file__), MARKOLA
    user = []  # the command that runs the session's programs as another user

    def __init__(self, workdir, *args, env=None):
        self.workdir, self.args, self.markola_env = workdir, args, dict(env or {})

    def __enter__(self):
        # mkdtemp makes the runtime directory private (0700), as a compositor demands.
        self.home, self._processes = tempfile.mkdtemp(prefix="home-", dir=self.workdir), []
        self.env = {"PATH": os.environ["PATH"], "HOME": self.home, "XDG_RUNTIME_DIR": self.home,
                    "LC_ALL": "C.UTF-8"}
        with contextlib.ExitStack() as on_failure:
            on_failure.push(self)
            self.start()
            self.markola = self.spawn([self.program, *self.args], cwd=self.workdir,
                                      env=dict(self.env, **self.markola_env))
            on_failure.pop_all()
        return self

    def __exit__(self, *exception):
        # Everything the session started carries its home, also what outlives its parent (Mozc's
        # converter) or would take seconds to end its child (runuser).
        mark = f"HOME={self.home}\0".encode()
        for entry in pathlib.Path("/proc").glob("[0-9]*"):
            with contextlib.suppress(OSError):
                if mark in (entry / "environ").read_bytes():
                    os.kill(int(entry.name), signal.SIGKILL)
        for process in self._processes:
            process.wait()

    def spawn(self, command, **options):
        options = {"env": self.env, "cwd": self.home, "stdin": subprocess.DEVNULL,
                   "stdout": subprocess.DEVNULL, "stderr": subprocess.DEVNULL, **options}
        self._processes.append(subprocess.Popen([*self.user, *command], **options))
        return self._processes[-1]

    def first_line(self, *command):
        with self.spawn(command, stdout=subprocess.PIPE).stdout as pipe:
            return pipe.readline().decode().strip()

    def start(self):  # the desktop: an X server and its window manager
        xvfb = ["Xvfb", "-displayfd", "1", "-screen", "0", "%dx%dx24" % SCREEN_SIZE, "-dpi", "96"]
        self.env["DISPLAY"] = ":" + self.first_line(*xvfb, "-noreset")
        self.spawn(["openbox", "--sm-disable"])
        wait_for(lambda: "window id" in self.x("xprop", "-root", "_NET_SUPPORTING_WM_CHECK"),
                 "the window manager")

    def start_bus(self):  # which also starts the accessibility bus for markola
        self.env["DBUS_SESSION_BUS_ADDRESS"] = self.first_line(
            "dbus-daemon", "--session", "--nofork", "--print-address=1")
        self.markola_env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"

    def x(self, *command, check=False, as_user=False):
        return subprocess.run([*self.user, *command] if as_user else command, env=self.env,
                              capture_output=True, text=True, cwd=self.home,
                              timeout=2 * TIMEOUT, check=check).stdout

    def key(self, *keys):  # to whichever window has the focus
        self.x("xdotool", "key", "--delay", "20", *keys)

    def pick_from_popup(self, open_key, *keys):  # from a menu or list
        self.key(open_key)
        popup = wait_for(lambda: self.windows("popup"), "a popup to open")[0]
        self.key(*keys)
        wait_for(lambda: popup not in self.windows(), "the popup to close")

    def windows(self, kind=None, title=None):  # a popup, a menu or list, has no frame
        found = []
        for w in self.x("xdotool", "search", "--onlyvisible", "--classname", "markola").split():
            props = self.x("xprop", "-id", w, "-notype", "_NET_WM_NAME", "WM_TRANSIENT_FOR")
            redirect = "Redirect State: yes" in self.x("xwininfo", "-id", w)
            shown = "popup" if redirect else "dialog" if "window id" in props else "main"
            if kind in (None, shown) and title in (None, *re.findall(r'"(.*)"', props)):
                found.append(int(w))
        return found

    def answer(self, title, *keys):
        box = self.focus(title, "dialog")
        self.key(*keys)
        wait_for(lambda: box not in self.windows(), f"the message box {title!r} to close")

    def focus(self, title=MAIN_TITLE, kind="main"):  # a box at start-up has the main window's title
        [window] = wait_for(lambda: self.windows(kind, title), f"a {kind} titled {title!r}")
        self.x("xdotool", "windowactivate", "--sync", str(window))
        wait_for(lambda: self.x("xdotool", "getwindowfocus").strip() == str(window), "the focus")
        time.sleep(SETTLE)
        return window

    def frame_rect(self, window):  # left, top, width, height of the window manager's frame
        tree = self.x("xwininfo", "-tree", "-id", str(window))
        info = self.x("xwininfo", "-id", re.search(r"Parent window id: (\w+)", tree).group(1))
        return tuple(int(re.search(rf"{label}:\s+(-?\d+)", info).group(1))
                     for label in ("upper-left X", "upper-left Y", "Width", "Height"))

    def menu_item(self, name, press=True):  # see press_menu_item
        return self.x("/usr/bin/python3", self.script, name, str(press), check=True, as_user=True)


class WaylandSession(Session):
    def start(self):
        self.env.update(WAYLAND_DISPLAY="wayland-markola", QT_QPA_PLATFORM="wayland")
        self.start_bus()
        self.spawn(["weston", "--backend=headless-backend.so", "--use-pixman", "--no-config",
                    "--idle-time=0", "--socket=wayland-markola"])
        wait_for(lambda: os.path.exists(f"{self.home}/wayland-markola"), "the compositor")


class InputMethodSession(Session):
    """fcitx5 with Mozc, whose converter will not work for root: all but the desktop runs as nobody,
    owner of the workdir and of copies of markola and this script (the build may be closed)."""

    PROFILE = ("[Groups/0]\nName=Default\nDefault Layout=us\nDefaultIM=mozc\n[Groups/0/Items/0]"
               "\nName=keyboard-us\n[Groups/0/Items/1]\nName=mozc\n[GroupOrder]\n0=Default\n")

    def start(self):
        super().start()
        os.makedirs(f"{self.home}/.config/fcitx5")
        pathlib.Path(self.home, ".config/fcitx5/profile").write_text(self.PROFILE)
        self.program = shutil.copy(MARKOLA, self.home)
        self.script = shutil.copy(self.script, self.home)
        subprocess.run(["chown", "-R", "nobody:", self.workdir], check=True)
        self.user = ["runuser", "-u", "nobody", "--", "env", "HOME=" + self.home]
        self.start_bus()
        self.spawn(["fcitx5"])  # not -d: it ends with the session
        wait_for(lambda: self.x("fcitx5-remote", as_user=True).strip().isdigit(), "fcitx5")
        self.markola_env["QT_IM_MODULE"] = "fcitx"

    def compose(self, romaji, *keys):  # then the keys that convert, commit or follow, one by one
        wait_for(lambda: self.x("fcitx5-remote", "-o", as_user=True) == ""
                 and self.x("fcitx5-remote", as_user=True).strip() == "2", "the input method")
        self.key(*romaji)
        for key in keys:
            time.sleep(0.3)
            self.key(key)
        time.sleep(0.3)


def press_menu_item(name, press):
    """Run by Debian's python3, which has pyatspi: prints the middle of markola's menu item on the
    screen, and presses it over the accessibility bus as a screen reader would."""
    import pyatspi

    def is_it(node):
        return node.getRoleName() == "menu item" and node.name == name
    item = wait_for(lambda: pyatspi.findDescendant(pyatspi.Registry.getDesktop(0), is_it), name)
    box = item.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    print(box.x + box.width // 2, box.y + box.height // 2)
    if press == "True":
        item.queryAction().doAction(0)


class MarkolaTestCase(unittest.TestCase):
    def setUp(self):  # a folder of its own, with an empty unnamed memo: starts report nothing
        self.workdir = pathlib.Path(tempfile.mkdtemp(prefix="markola-e2e-"))
        self.addCleanup(shutil.rmtree, self.workdir, ignore_errors=True)
        self.settings, self.memos = self.workdir / "settings.ini", self.workdir / "memo"
        self.memos.mkdir()
        (self.memos / ".txt").write_bytes(b"")

    def wait_memos(self, memos):  # names or paths -> bytes; what they hold at the time-out shows
        expected = {self.memos / f"{m}.txt" if isinstance(m, str) else m: memos[m] for m in memos}
        def held():
            return {path: path.exists() and path.read_bytes() for path in expected}
        with contextlib.suppress(AssertionError):
            wait_for(lambda: held() == expected, "the memos to hold their bytes")
        self.assertEqual(held(), expected)


if __name__ == "__main__":
    press_menu_item(*sys.argv[1:])
