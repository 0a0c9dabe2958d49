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
# The name of the desktop entry, by which a desktop shell finds the window's launcher and icon
# (None in the copy of this file that presses controls as another user).
DESKTOP_ID = next((entry.stem for entry in pathlib.Path(__file__).resolve().parents[2].glob(
    "app/resources/*.desktop")), None)
CLOSE_TITLE = "変更されています。"
TROUBLE_MARK = " – "
SCREEN_SIZE = (1024, 768)
TIMEOUT = 10.0
# A window just mapped and focused is still settling with the window manager: a key sent at
# once is lost about one time in ten (openbox drops Alt+F4, a new box its first key).
SETTLE = 0.3


def wait_for(condition, what, timeout=TIMEOUT):  # what: a text, or a function that makes one
    deadline = time.monotonic() + timeout
    while not (result := condition()):
        if time.monotonic() > deadline:
            raise AssertionError(f"timed out after {timeout}s waiting for "
                                 + (what() if callable(what) else what))
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
            self.stderr = pathlib.Path(self.home, "stderr")  # markola's, read by a test
            self.markola = self.spawn([self.program, *self.args], cwd=self.workdir,
                                      env=dict(self.env, **self.markola_env),
                                      stderr=self.stderr.open("wb"))
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

    def key(self, *keys, delay=20):  # to whichever window has the focus; delay: ms per key
        self.x("xdotool", "key", "--delay", str(delay), *keys)

    def pick_from_popup(self, open_key, *keys):  # from a menu or list
        self.key(open_key)
        self.close(wait_for(lambda: self.windows("popup"), "a popup to open")[0], *keys)

    def answer(self, title, *keys):
        self.close(self.focus(title, "dialog"), *keys)

    def close(self, window, *keys):  # by the keys given
        self.key(*keys)
        wait_for(lambda: window not in self.windows(), f"window {window:#x} to close")

    def windows(self, kind=None, title=None, process=None):  # a popup, a menu or list, has no frame
        found = []
        search = ["--pid", str(process.pid)] if process else ["--classname", "markola"]
        for w in self.x("xdotool", "search", "--onlyvisible", *search).split():
            props = self.x("xprop", "-id", w, "-notype", "_NET_WM_NAME", "WM_TRANSIENT_FOR")
            redirect = "Redirect State: yes" in self.x("xwininfo", "-id", w)
            shown = "popup" if redirect else "dialog" if "window id" in props else "main"
            titles = [t.split(TROUBLE_MARK)[0] if shown == "main" else t
                      for t in re.findall(r'"(.*)"', props)]  # the main one may say a trouble
            if kind in (None, shown) and title in (None, *titles):
                found.append(int(w))
        return found

    def focus(self, title=MAIN_TITLE, kind="main", process=None):  # a start-up box has that title
        [window] = wait_for(lambda: self.windows(kind, title, process), f"a {kind} titled {title!r}")
        self.x("xdotool", "windowactivate", "--sync", str(window))
        wait_for(lambda: self.x("xdotool", "getwindowfocus").strip() == str(window), "the focus")
        # The window manager's own key bindings (Alt+F4) act on the window it believes active,
        # which it learns a moment after the server moves the focus.
        wait_for(lambda: self.x("xprop", "-root", "_NET_ACTIVE_WINDOW").split()[-1:] == [hex(window)],
                 "the window manager to see the focus")
        time.sleep(SETTLE)
        return window

    def frame_rect(self, window):  # left, top, width, height of the window manager's frame
        tree = self.x("xwininfo", "-tree", "-id", str(window))
        info = self.x("xwininfo", "-id", re.search(r"Parent window id: (\w+)", tree).group(1))
        return tuple(int(re.search(rf"{label}:\s+(-?\d+)", info).group(1))
                     for label in ("upper-left X", "upper-left Y", "Width", "Height"))

    def control(self, name, press=True):  # see press_control
        return self.x("/usr/bin/python3", self.script, name, str(press), check=True, as_user=True)


class WaylandSession(Session):
    def start(self):
        self.env.update(WAYLAND_DISPLAY="wayland-markola", QT_QPA_PLATFORM="wayland")
        self.start_bus()
        self.spawn(["weston", "--backend=headless-backend.so", "--use-pixman", "--no-config",
                    "--idle-time=0", "--socket=wayland-markola"])
        wait_for(lambda: os.path.exists(f"{self.home}/wayland-markola"), "the compositor")


class InputMethodSession(Session):
    """Mozc under fcitx5 or ibus; Mozc refuses root, so all but the desktop runs as nobody."""

    def start(self):
        super().start()
        # A Japanese keyboard's 変換 key, beside the space bar, which converts a selection again.
        self.x("setxkbmap", "-symbols", "pc+us+jp(henkan)+inet(evdev)", check=True)
        for path, text in self.CONFIG.items():
            os.makedirs(os.path.dirname(f"{self.home}/{path}"), exist_ok=True)
            pathlib.Path(self.home, path).write_text(text)
        self.program = shutil.copy(MARKOLA, self.home)
        self.script = shutil.copy(self.script, self.home)
        subprocess.run(["chown", "-R", "nobody:", self.workdir], check=True)
        self.user = ["runuser", "-u", "nobody", "--", "env", "HOME=" + self.home]
        self.start_bus()
        self.spawn(self.DAEMON)  # in the foreground: it ends with the session
        wait_for(self.started, self.DAEMON[0])
        self.markola_env["QT_IM_MODULE"] = self.QT_MODULE

    def candidate(self, row):  # the middle of that row in the input method's candidate window
        [window] = wait_for(lambda: self.x("xdotool", "search", "--onlyvisible", "--class",
                                           "fcitx|ibus-ui-gtk3").split(), "the candidates")
        shell = dict(line.split("=") for line in
                     self.x("xdotool", "getwindowgeometry", "--shell", window).split())
        first, pitch = self.ROWS  # the rows follow the page number or hint on top
        return (str(int(shell["X"]) + int(shell["WIDTH"]) // 2),
                str(int(shell["Y"]) + first + pitch * (row - 1)))

    def compose(self, romaji, *keys):  # then the keys that convert, commit or follow
        wait_for(self.ready, "the input method")
        self.key(*romaji, *keys, delay=300)  # as fast as Mozc catches up
        time.sleep(0.3)


class Fcitx5Session(InputMethodSession):
    CONFIG = {".config/fcitx5/profile": (
        "[Groups/0]\nName=Default\nDefault Layout=us\nDefaultIM=mozc\n[Groups/0/Items/0]"
        "\nName=keyboard-us\n[Groups/0/Items/1]\nName=mozc\n[GroupOrder]\n0=Default\n"),
        ".config/fcitx5/conf/xcb.conf": "Allow Overriding System XKB Settings=False\n",
        ".config/fcitx5/conf/classicui.conf": "Vertical Candidate List=True\n"}
    DAEMON, QT_MODULE, ROWS = ["fcitx5"], "fcitx", (42, 27)

    def started(self):
        return self.x("fcitx5-remote", as_user=True).strip().isdigit()

    def ready(self):
        return (self.x("fcitx5-remote", "-o", as_user=True) == ""
                and self.x("fcitx5-remote", as_user=True).strip() == "2")


class IBusSession(InputMethodSession):
    # Mozc starts in hiragana, as for a user who has switched it on, and shows its candidates in
    # ibus's own panel: Mozc's candidate window takes no clicks on Linux.
    CONFIG = {".config/mozc/ibus_config.textproto":
              'engines { name: "mozc-jp" longname: "Mozc" layout: "default" }\n'
              "active_on_launch: True\n",
              ".config/glib-2.0/settings/keyfile": "[desktop/ibus/general]\n"
              "preload-engines=['mozc-jp']\n",
              **{f"components/{path.name}": path.read_text().replace(
                  "ibus-engine-mozc --ibus", "ibus-engine-mozc --ibus --use_mozc_renderer=false")
                 for path in pathlib.Path("/usr/share/ibus/component").glob("*.xml")}}
    DAEMON = ["env", "GSETTINGS_BACKEND=keyfile", "IBUS_COMPONENT_PATH=components", "ibus-daemon",
              "--panel=disable", "--emoji-extension=disable", "--cache=none"]
    QT_MODULE, ROWS = "ibus", (38, 21)

    # Started by the daemon, the panel is now and then not running at all; started once the
    # daemon answers, and waited for on ibus's bus, it always is.
    def start(self):
        super().start()
        self.spawn(["env", "GSETTINGS_BACKEND=keyfile", "/usr/libexec/ibus-ui-gtk3"])
        wait_for(self.panel_shown, "ibus's panel")

    def panel_shown(self):
        bus = self.x("ibus", "address", as_user=True).strip()
        return "true" in self.x("gdbus", "call", "--address", bus, "--dest", "org.freedesktop.DBus",
                                "--object-path", "/org/freedesktop/DBus", "--method",
                                "org.freedesktop.DBus.NameHasOwner", "org.freedesktop.IBus.Panel",
                                as_user=True)

    def started(self):
        self.x("ibus", "engine", "mozc-jp", as_user=True)
        return self.ready()

    def ready(self):
        return self.x("ibus", "engine", as_user=True).strip() == "mozc-jp"


def press_control(name, press):
    """Run by Debian's python3, which has pyatspi: prints where a menu item, combo box or the text
    box is (for the text box, where its character at the offset `press` is), whether it is editable
    and its description, and presses a menu item or combo box as a screen reader would."""
    import pyatspi

    def is_it(node):
        return node.getRoleName() in ("menu item", "combo box", "text") and node.name == name
    item = wait_for(lambda: pyatspi.findDescendant(pyatspi.Registry.getDesktop(0), is_it), name)
    if press.isdigit():  # Qt gives each line of the text box the first line's top
        text, offset = item.queryText(), int(press)
        x, y, width, height = text.getCharacterExtents(offset, pyatspi.DESKTOP_COORDS)
        y += height * text.getText(0, offset).count("\n")
    else:
        x, y, width, height = item.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    editable = item.getState().contains(pyatspi.STATE_EDITABLE)
    print(x + width // 2, y + height // 2, editable, item.description, sep="\t")
    if press == "True":
        item.queryAction().doAction(0)


class MarkolaTestCase(unittest.TestCase):
    def setUp(self):  # a folder of its own, with an empty unnamed memo: starts report nothing
        self.workdir = pathlib.Path(self.enterContext(tempfile.TemporaryDirectory(prefix="e2e-")))
        self.settings, self.memos = self.workdir / "settings.ini", self.workdir / "memo"
        self.memos.mkdir()
        (self.memos / ".txt").write_bytes(b"")

    def wait_memos(self, memos):  # names -> bytes
        expected = {self.memos / f"{name}.txt": memos[name] for name in memos}
        def held():
            return {path: path.exists() and path.read_bytes() for path in expected}
        wait_for(lambda: held() == expected, lambda: f"the memos {expected}, not {held()}")


MEMOS = {"": b"unnamed\r\n", "plan": b"plan\r\n", "shop": b"shop\r\n", "todo": b"todo\r\n"}
EDITED = b"unnamed\r\n+1"
# From the edited unnamed memo (its empty name matches no listed memo): the name typed, the answers
# once shop is chosen, whether the name stays, then the memos changed once +2 is typed and saved.
SWITCHES = [
    ("", [(CLOSE_TITLE, "Escape")], True, {"": EDITED + b"+2"}),
    # A save 20 ms after the Escape saves the memo on screen, under its name put back first.
    ("", [(CLOSE_TITLE, "Escape", "ctrl+s"), (MAIN_TITLE, "y")], False, {"": EDITED + b"+2"}),
    ("todo", [(CLOSE_TITLE, "y"), (MAIN_TITLE, "n")], True, {"todo": EDITED + b"+2"}),
    # Down chooses todo before the restore's 100 ms are over; its tick, due meanwhile, keeps it.
    ("", [(CLOSE_TITLE, "Escape", "Down"), (CLOSE_TITLE, "n")], False, {"todo": b"todo\r\n+2"}),
]

# What fails (the full disk, or a call the shim fails as the system would) and the answer to the
# close question after Alt+F4, or None for Ctrl+S: the window and the memo stay; a cancel rewrites
# settings.ini, which had no line end.
FULL = "the full disk"
KEPT = [(FULL, "y"), ("", "Escape"), ("fdatasync EDQUOT", None), ("rename EIO", "y")]
PLAN, SETTINGS = MEMOS["plan"], b"6000,7000,1500,1500"
LARGE = (b"x" * 99 + b"\r\n") * 1500  # 150 kB of the 1 MB disk

# What a screen reader says of the name box and the bar items, besides their names.
READ_ALOUD = [("メモ名", ["True", ""]), ("■", ["False", "チェックの切り替え (Ctrl+←)"]),
              ("▲", ["False", "行を上へ移動 (Ctrl+↑)"]), ("▼", ["False", "行を下へ移動 (Ctrl+↓)"])]
FITS = (*map(range, SCREEN_SIZE), range(200, SCREEN_SIZE[0] + 1), range(120, SCREEN_SIZE[1] + 1))
# settings.ini and the scale -> the frame's left, top, width and height in pixels (a fraction may
# round either way; a place on no screen turns default, one partly off moves wholly onto it) and
# settings.ini after the close, a known frame moved to 199,130 first.
GEOMETRIES = [
    (b"6000,7000,1500,1500", None, ([100], [100], [400], [466, 467]), b"6000,7000,2985,1950\r\n"),
    (b"6000,7000,90000,90000", None, ([128], [89], [400], [466, 467]), b"6000,7000,2985,1950\r\n"),
    (b"6000,6000,13500,9000", None, ([624], [368], [400], [400]), b"6000,6000,2985,1950\r\n"),
    (b"5820,6390,1920,1335", "2", ([248, 249], [0], [774], [767, 768]), b"5820,5760,1485,975\r\n"),
    *((b"4000,5000,750,750", scale, FITS, b"4000,5000,750,750\r\n")
      for scale in ("1", "1.25", "1.5", "2")),  # not moved: the numbers read (fit at 2)
    *((odd, None, FITS, None)
      for odd in (b"", b"0,0,0,0", b"1,1,1,1", b"2147483647,2147483647,100,100")),
]


class MemosTest(MarkolaTestCase):
    def test_first_start_reports_the_unnamed_memo_and_the_next_loads_it_as_a_checklist(self):
        (self.memos / ".txt").unlink()
        with Session(self.workdir) as app:
            self.assertEqual([app.focus(MAIN_TITLE, "dialog")], app.windows())  # the first
            app.answer(MAIN_TITLE, "Return")
            app.focus()
            app.key("a", "Return", "b", "Return", "c", "Return", "ctrl+s")
            self.wait_memos({"": b"a\r\nb\r\nc\r\n"})
        with Session(self.workdir) as app:
            window = app.focus()
            self.assertEqual([window], app.windows())
            wm_class = app.x("xprop", "-id", str(window), "WM_CLASS")  # on X, the class names it
            self.assertEqual(re.findall(r'"([^"]*)"', wm_class), ["markola", DESKTOP_ID])
            # Ctrl+Left checks a line (twice: ■), Ctrl+Up and Down move it; a lost step shows.
            app.key("ctrl+Home", "ctrl+Left", "Down", "ctrl+Left", "ctrl+Left", "ctrl+Up", "Down",
                    "ctrl+Down", "End", "exclam")
            app.pick_from_popup("alt+f", "s")
            self.wait_memos({"": "■ b\r\nc\r\n□ a!\r\n".encode("cp932")})


class SwitchMemosTest(MarkolaTestCase):
    def test_choosing_another_memo_with_edits(self):
        for typed, answers, stays, changes in SWITCHES:
            for name, data in MEMOS.items():
                (self.memos / f"{name}.txt").write_bytes(data)
            with self.subTest(typed=typed, answers=answers), Session(self.workdir) as app:
                window = app.focus()
                app.key("ctrl+End", "plus", "1")  # in the text box, which has the focus
                app.x("xdotool", "mousemove", "--window", str(window), "100", "32", "click", "1")
                app.key(*typed)  # into the combo box, clicked
                app.pick_from_popup("F4", *"shop", "Return")
                for title, *keys in answers:
                    app.answer(title, *keys)
                time.sleep(0.3)  # the name goes back into the combo box 100 ms after a choice
                app.key("Tab", "ctrl+End", "plus", "2", "ctrl+s")
                if stays:  # saving asks before it overwrites the memo named
                    app.answer(MAIN_TITLE, "y")
                self.wait_memos({**MEMOS, **changes})


class CloseWindowTest(MarkolaTestCase):
    def test_failed_saves_keep_the_window_and_the_file_and_a_signal_keeps_the_edits(self):
        disk, flag = self.memos, self.workdir / "fail-calls"
        if subprocess.run(["mount", "-t", "tmpfs", "-o", "size=1m", "tmpfs", disk],
                          capture_output=True).returncode:
            self.skipTest("mount is not allowed here")
        self.addCleanup(subprocess.run, ["umount", "-l", disk])
        (disk / ".txt").write_bytes(b"")
        (disk / "plan.txt").write_bytes(LARGE)
        self.settings.write_bytes(SETTINGS)
        shim = {"LD_PRELOAD": os.environ["MARKOLA_E2E_SHIM"], "MARKOLA_E2E_FAIL_FLAG": str(flag),
                "MARKOLA_E2E_FAIL_UNDER": str(disk)}
        with Session(self.workdir, "plan", env=shim) as app:
            app.focus()
            app.key("ctrl+End", "plus", "1")
            subprocess.run(["dd", "if=/dev/zero", f"of={disk}/fill"], capture_output=True)
            for failure, close_answer in KEPT:
                with self.subTest(failure=failure, close_answer=close_answer):
                    if failure != FULL:
                        (disk / "fill").unlink(missing_ok=True)
                        flag.write_text(failure)
                    app.key("alt+F4" if close_answer else "ctrl+s")
                    if close_answer:
                        app.answer(CLOSE_TITLE, close_answer)
                    if failure:
                        app.answer(MAIN_TITLE, "Return")
                    app.focus()
                    self.wait_memos({"plan": LARGE})
                    self.assertEqual(self.settings.read_bytes(), SETTINGS + b"\r\n")
            flag.unlink()
            app.key("alt+F4")
            app.focus(CLOSE_TITLE, "dialog")
            app.markola.send_signal(signal.SIGINT)  # Ctrl+C in its terminal
            self.assertEqual(app.markola.wait(TIMEOUT), 0)

        with Session(self.workdir) as app:
            app.answer(MAIN_TITLE, "y")  # to the offer, before the main window shows
            window = app.focus()
            room = os.statvfs(disk)  # the save fits only once the copy restored gives way
            (disk / "fill").write_bytes(b"\0" * (room.f_bavail * room.f_frsize - 100_000))
            app.key("ctrl+s")
            self.wait_memos({"plan": LARGE + b"+1"})
            self.assertEqual(app.windows("dialog"), [])
            subprocess.run(["dd", "if=/dev/zero", f"of={disk}/fill"], capture_output=True)
            app.key("plus", "2")
            wait_for(lambda: "を保存できません: ディスクの空き容量が足りません。" in app.x(
                "xprop", "-id", str(window), "_NET_WM_NAME"), "the title to say it")  # no box
            app.markola.terminate()  # the edits cannot be kept: it says so
            self.assertEqual(app.markola.wait(TIMEOUT), 1)
            self.assertRegex(app.stderr.read_text(), r"(?m)^memo/\.recovery/\w+\.recovery を保存で"
                             "きませんでした。ディスクの空き容量が足りません。$")


# A call that fails while a copy is made, or that takes long enough to be killed in the middle:
# the copy from before stays whole and is offered, and nothing is said. The display's death keeps
# all the typing; typing on from the start without a pause is kept within 2 s all the same. Each
# row: the call that fails, how the program ends, how the offer is put off first (the copy stays),
# and what the offer may bring back.
LATE = b"abcdefghijklmnopqrstuvwxyz"  # 2.6 s of typing
CRASHES = [(None, "kill", "Escape", [b"EARLYLATE"]), ("rename SLOW", "kill", "alt+F4", [b"EARLY"]),
           ("write ENOSPC", "kill", "SIGTERM", [b"EARLY"]), ("fdatasync EIO", "kill", None, [b"EARLY"]),
           ("rename ENOSPC", "kill", None, [b"EARLY"]), (None, "display", None, [b"EARLYLATEMORE"]),
           (None, "kill at once", None, [LATE[:n] for n in range(15, 27)])]
COPY_DUE = 2.5  # the copy follows 2 s after the last key


class CrashTest(MarkolaTestCase):
    def test_a_crash_costs_at_most_2_s_of_typing_and_its_copy_waits_to_be_taken(self):
        kept, flag, plan = self.memos / ".recovery", self.workdir / "fail-calls", self.memos / "plan.txt"
        shim = {"LD_PRELOAD": os.environ["MARKOLA_E2E_SHIM"], "MARKOLA_E2E_FAIL_FLAG": str(flag),
                "MARKOLA_E2E_FAIL_UNDER": str(kept)}
        for failure, end, put_off, typed in CRASHES:
            plan.write_bytes(PLAN)
            with self.subTest(failure=failure, end=end, put_off=put_off):
                with Session(self.workdir, "plan", env=shim) as app:
                    app.focus()
                    app.key("ctrl+End")
                    if end == "kill at once":
                        app.key(*LATE.decode(), delay=100)
                    else:
                        app.key(*"EARLY")
                        time.sleep(COPY_DUE)
                        flag.write_text(failure or "")
                        app.key(*"LATE")
                        time.sleep(COPY_DUE)
                        self.assertEqual(app.windows("dialog"), [])
                        app.key(*"MORE")
                    (app._processes[0] if end == "display" else app.markola).kill()  # X, or it
                    app.markola.wait(TIMEOUT)
                flag.unlink(missing_ok=True)
                self.assertEqual(len(list(kept.glob(".markola-*.tmp"))), failure == "rename SLOW")
                if put_off:
                    with Session(self.workdir) as app:
                        box = app.focus(MAIN_TITLE, "dialog")
                        if put_off == "SIGTERM":
                            app.markola.terminate()
                        else:
                            app.close(box, put_off)
                            app.focus()
                            app.pick_from_popup("alt+f", "x")
                        self.assertEqual(app.markola.wait(TIMEOUT), 0)
                with Session(self.workdir) as app:
                    app.answer(MAIN_TITLE, "y")
                    app.focus()
                    app.key("ctrl+s")
                    memos = [PLAN + kept_typing for kept_typing in typed]
                    wait_for(lambda: plan.read_bytes() in memos, lambda: f"one of {memos}")
                self.assertEqual(list(kept.glob("*.tmp")) + list(kept.glob("*.recovery")), [])


class WindowGeometryTest(MarkolaTestCase):
    def test_opens_at_the_stored_geometry_or_one_that_fits_and_writes_its_own_back(self):
        for settings, scale, frame, written in GEOMETRIES:
            with self.subTest(settings=settings, scale=scale):
                self.settings.write_bytes(settings)
                with Session(self.workdir, env=scale and {"QT_SCALE_FACTOR": scale}) as app:
                    window = app.focus()
                    opened = app.frame_rect(window)
                    self.assertTrue(all(v in allowed for v, allowed in zip(opened, frame)), opened)
                    if frame is not FITS:
                        app.x("xdotool", "windowmove", "--sync", str(window), "200", "150")
                        wait_for(lambda: app.frame_rect(window)[:2] != opened[:2], "the move")
                        app.focus()
                    app.pick_from_popup("alt+f", "x")  # openbox may drop an Alt+F4 sent at once
                    self.assertEqual(app.markola.wait(TIMEOUT), 0)
                if written:
                    self.assertEqual(self.settings.read_bytes(), written)

    def test_on_wayland_the_app_id_names_the_entry_and_a_screen_reader_closes_it_storing_its_size(self):
        with WaylandSession(self.workdir, env={"WAYLAND_DEBUG": "client"}) as app:
            for name, read in READ_ALOUD:
                self.assertEqual(app.control(name, False).rstrip("\n").split("\t")[2:], read)
            app.control("終了(X) Alt+F4")
            self.assertEqual(app.markola.wait(TIMEOUT), 0)
            self.assertIn(f'.set_app_id("{DESKTOP_ID}")', app.stderr.read_text())
        self.assertEqual(self.settings.read_bytes(), b"5820,6390,1920,1335\r\n")


# The caret's way to the end of a line, where "sushi" is composed, and the bar item clicked while
# it is still composing: the composition lands once, where it was typed, and goes with its line.
COMPOSING_COMMANDS = [(("ctrl+Home", "Down", "End"), "▼"), (("ctrl+Home", "End"), "■"),
                      (("ctrl+End", "Up", "End"), "▲")]
CHECKLIST = "□ 牛乳を買う\r\nabcdef\r\n■ 完了", "■ 牛乳を買うすし\r\nabcdefすしすし\r\n■ 完了\r\n"


# The caret's way, what is composed there (Escape gives it up), then what the mouse does: a click
# or double-click on the character at an offset of the text box (a composition is no text of it),
# a click on a control or on a row of the candidate window, or none; then the keys, and the memo
# once it is saved. Cumulative, from the checklist: a composition lands once where it was typed,
# before a click moves the caret or the double-click selects, and a composition given up stays so.
# A user's selection is replaced by what is composed over it.
MOUSE = [
    (("ctrl+Home", "Down", "End"), ["sushi"], (17, 2), (), "□ 牛乳を買う\r\nabcdefすし\r\n□ 完了"),
    (("ctrl+Home", "Down", "End"), ["sushi"], (10, 2), (),
     "□ 牛乳を買う\r\n□ abcdefすしすし\r\n□ 完了"),
    (("ctrl+Home", "Right", "Right", "shift+Right", "shift+Right"), ["sushi"], (21, 2), (),
     "□ すしを買う\r\n□ abcdefすしすし\r\n■ 完了"),
    (("ctrl+End",), ["sushi"], (3, 1), ("End", "exclam", "Return"),
     "□ すしを買う！\r\n□ abcdefすしすし\r\n■ 完了すし"),
    (("ctrl+Home", "End"), ["sushi"], (10, 1), (),
     "□ すしを買う！すし\r\n□ abcdefすしすし\r\n■ 完了すし"),
    (("ctrl+End",), ["sushi", "Escape"], "メモ名", ("Tab",),
     "□ すしを買う！すし\r\n□ abcdefすしすし\r\n■ 完了すし"),
    (("ctrl+End",), ["sushi", "Escape"], "ﾌｧｲﾙ(F)", ("Escape", "Escape"),
     "□ すしを買う！すし\r\n□ abcdefすしすし\r\n■ 完了すし"),
    # The third candidate and the second prediction land as clicked; a selection converted again
    # with 変換, forwards or backwards, is replaced by what is chosen, and nothing around it.
    (("ctrl+End",), ["nihongo", "space", "space"], 3, ("Return",),
     "□ すしを買う！すし\r\n□ abcdefすしすし\r\n■ 完了すし日本後"),
    (("ctrl+End",), ["gyuunyuu"], 2, ("Return",),
     "□ すしを買う！すし\r\n□ abcdefすしすし\r\n■ 完了すし日本後牛乳パック"),
    (("ctrl+End", "Home", "Right", "Right", "shift+Right", "shift+Right"), ["", "Henkan"], None,
     ("Return",), "□ すしを買う！すし\r\n□ abcdefすしすし\r\n■ 完了すし日本後牛乳パック"),
    (("ctrl+End", "Home", *["Right"] * 4, "shift+Left", "shift+Left"), ["", "Henkan"], None,
     ("Return",), "□ すしを買う！すし\r\n□ abcdefすしすし\r\n■ 完了すし日本後牛乳パック"),
]


@unittest.skipUnless(os.geteuid() == 0, "only root can run the session as another user")
class InputMethodTest(MarkolaTestCase):
    def test_clicks_during_a_composition_at_a_persons_pace(self):
        self.clicks_during_a_composition(SETTLE)

    def test_clicks_during_a_composition_at_a_fast_typists(self):
        self.clicks_during_a_composition(0.02)

    def clicks_during_a_composition(self, pace):
        for session in (Fcitx5Session, IBusSession):
            (self.memos / "plan.txt").write_bytes(CHECKLIST[0].encode("cp932"))
            with self.subTest(session.__name__), session(self.workdir, "plan") as app:
                main = app.focus()
                for way, composed, mouse, keys, memo in MOUSE:
                    with self.subTest(way=way, composed=composed, mouse=mouse):
                        app.key(*way)
                        app.compose(*composed)
                        offset, clicks = mouse if type(mouse) is tuple else (False, 1)
                        if type(mouse) is int:
                            app.x("xdotool", "mousemove", *app.candidate(mouse), "click", "1")
                        elif mouse:
                            x, y = app.control("メモ" if offset else mouse, offset).split()[:2]
                            app.x("xdotool", "mousemove", x, y, "click", "--repeat", str(clicks),
                                  "1")
                        time.sleep(pace)
                        app.key(*keys, "ctrl+s")
                        self.wait_memos({"plan": memo.encode("cp932")})
                # A new window takes the focus while composing: the composition lands at once, or
                # stays open until Return commits it; it never vanishes, nor lands twice.
                app.key("ctrl+End")
                app.compose("sushi")
                app.spawn(["xmessage", "other"])
                wait_for(lambda: app.x("xdotool", "getwindowfocus").strip() != str(main), "it")
                app.focus()
                app.key("Return", "ctrl+s")
                landed = {(memo + "すし" + end).encode("cp932") for end in ("", "\r\n")}
                wait_for(lambda: (self.memos / "plan.txt").read_bytes() in landed, f"one of {landed}")

    def test_compositions_land_once_where_typed_and_are_no_edits_of_their_own(self):
        for session in (Fcitx5Session, IBusSession):
            (self.memos / "plan.txt").write_bytes(CHECKLIST[0].encode("cp932"))
            (self.memos / "日本語.txt").unlink(missing_ok=True)
            with self.subTest(session.__name__), session(self.workdir, "plan") as app:
                app.focus()
                for keys, item in COMPOSING_COMMANDS:
                    app.key(*keys)
                    app.compose("sushi")
                    app.x("xdotool", "mousemove", *app.control(item, False).split()[:2], "click", "1")
                app.key("ctrl+s")  # at once, as a repeated commit would still be on its way
                self.wait_memos({"plan": CHECKLIST[1].encode("cp932")})

                app.key("ctrl+n", "ctrl+a")
                app.compose("nihongo", "space", "Return", "Tab")
                # Mozc keeps Ctrl+S while composing: only the second one saves.
                app.compose("nihongo", "space", "ctrl+s", "Return", "ctrl+s")
                self.wait_memos({"日本語": "日本語".encode("cp932")})

                app.compose("sushi", "Escape")  # given up: no edit
                app.compose("sushi", "alt+F4")
                app.answer(CLOSE_TITLE, "y")
                self.assertEqual(app.markola.wait(TIMEOUT), 0)
                self.wait_memos({"日本語": "日本語すし".encode("cp932")})


if __name__ == "__main__":
    press_control(*sys.argv[1:])
