"""A user's memos, switched and closed with edits, and the desktop around them: windows, input."""

import os
import subprocess
import time
import unittest

from harness import (CLOSE_TITLE, MAIN_TITLE, SCREEN_SIZE, TIMEOUT, InputMethodSession,
                     MarkolaTestCase, Session, WaylandSession, wait_for)

# Each kind of byte as a Japanese desktop writes it, to the end without a line end.
EVERY_BYTE = "漢字とかなカナ、全角ＡＢＣ\r\n".encode("cp932") + (
    b"\xb1\xb2\xb3\xdf half-width katakana\r\nNEC row 13: \x87\x40\x87\x54\x87\x82\x87\x8a\r\n"
    b"\\ ~ \x81\x60 \x81\x5f \x81\x7c\r\nIBM extensions: \xfa\x40\xfa\x5c, user area: \xf0\x40\r\n"
    b"nul:\x00:tab\t:esc\x1b\r\nstray: \x80 \xa0 \xfd \xfe \xff \x85\x40\r\n"
    b"lone CR\rlone LF\nboth\r\n\r\n\r\nno final line end, lead byte last\x81")
# Memo files as older systems name them, and the start-up argument that opens them.
FILE_NAMES = [("bytes.txt", "bytes"), ("bytes.txt", "bytes.TXT"), (b"NOTES.TXT", "NOTES"),
              (b"\x82\xa0.txt", b"\x82\xa0")]

MEMOS = {"": b"unnamed\r\n", "plan": b"plan\r\n", "shop": b"shop\r\n", "todo": b"todo\r\n"}
EDITED, SHOP = b"unnamed\r\n+1", b"shop\r\n+2"
# From the edited unnamed memo (its empty name matches no listed memo): the name typed, the answers
# once shop is chosen, whether the name stays, then the memos changed once +2 is typed and saved.
SWITCHES = [
    ("", [(CLOSE_TITLE, "y")], False, {"": EDITED, "shop": SHOP}),
    ("", [(CLOSE_TITLE, "n")], False, {"shop": SHOP}),
    ("", [(CLOSE_TITLE, "Escape")], True, {"": EDITED + b"+2"}),
    ("todo", [(CLOSE_TITLE, "y"), (MAIN_TITLE, "n")], True, {"todo": EDITED + b"+2"}),
    ("todo", [(CLOSE_TITLE, "y"), (MAIN_TITLE, "y")], False, {"todo": EDITED, "shop": SHOP}),
    # Down chooses todo before the restore's 100 ms are over; its tick, due meanwhile, keeps it.
    ("", [(CLOSE_TITLE, "Escape", "Down"), (CLOSE_TITLE, "n")], False, {"todo": b"todo\r\n+2"}),
]

# What fails (the full disk, or a call the shim fails as the system would) and the answer to the
# close question after Alt+F4, or None for Ctrl+S: the window and the memo stay; a cancel rewrites
# settings.ini, which had no line end.
FULL = "the full disk"
KEPT = [(FULL, "y"), ("", "Escape"), ("write ENOSPC", None), ("fdatasync EDQUOT", None),
        ("close EIO", None), ("rename ENOSPC", None), ("rename EIO", "y")]
PLAN, SETTINGS = MEMOS["plan"], b"6000,7000,1500,1500"

FITS = (*map(range, SCREEN_SIZE), range(200, SCREEN_SIZE[0] + 1), range(120, SCREEN_SIZE[1] + 1))
# settings.ini and the scale -> the frame's left, top, width and height in pixels (a fraction may
# round either way; a place on no screen turns default) and settings.ini after the close, a known
# frame moved to 199,130 first.
GEOMETRIES = [
    (b"6000,7000,1500,1500", None, ([100], [100], [400], [466, 467]), b"6000,7000,2985,1950\r\n"),
    (b"6000,7000,90000,90000", None, ([128], [89], [400], [466, 467]), b"6000,7000,2985,1950\r\n"),
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
            self.assertEqual([app.focus()], app.windows())
            # Ctrl+Left checks a line (twice: ■), Ctrl+Up and Down move it; a lost step shows.
            app.key("ctrl+Home", "ctrl+Left", "Down", "ctrl+Left", "ctrl+Left", "ctrl+Up", "Down",
                    "ctrl+Down", "End", "exclam")
            app.pick_from_popup("alt+f", "s")
            self.wait_memos({"": "■ b\r\nc\r\n□ a!\r\n".encode("cp932")})

    def test_unchanged_memo_is_saved_byte_for_byte_over_another_programs_version(self):
        for file_name, argument in FILE_NAMES:
            path = self.memos / os.fsdecode(file_name)
            path.write_bytes(EVERY_BYTE)
            with self.subTest(argument=argument), Session(self.workdir, argument) as app:
                app.focus()
                path.write_bytes(b"to be overwritten")
                app.key("ctrl+s")
                app.answer(MAIN_TITLE, "y")
                self.wait_memos({path: EVERY_BYTE})  # in place: a twin would leave it overwritten


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
    def test_failed_saves_keep_the_window_and_the_file_and_a_sigterm_keeps_the_edits(self):
        disk, flag = self.memos, self.workdir / "fail-calls"
        if subprocess.run(["mount", "-t", "tmpfs", "-o", "size=1m", "tmpfs", disk],
                          capture_output=True).returncode:
            self.skipTest("mount is not allowed here")
        self.addCleanup(subprocess.run, ["umount", "-l", disk])
        (disk / ".txt").write_bytes(b"")
        (disk / "plan.txt").write_bytes(PLAN)
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
                    self.wait_memos({"plan": PLAN})
                    self.assertEqual(self.settings.read_bytes(), SETTINGS + b"\r\n")
            flag.unlink()
            app.key("alt+F4")
            app.focus(CLOSE_TITLE, "dialog")
            app.markola.terminate()  # SIGTERM
            self.assertEqual(app.markola.wait(TIMEOUT), 0)

        with Session(self.workdir) as app:
            app.answer(MAIN_TITLE, "y")  # to the offer, before the main window shows
            app.focus()
            app.key("ctrl+s")
            self.wait_memos({"plan": PLAN + b"+1"})


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

    def test_on_wayland_closed_from_its_menu_as_a_screen_reader_would_it_stores_its_size(self):
        with WaylandSession(self.workdir) as app:
            app.menu_item("終了(X) Alt+F4")
            self.assertEqual(app.markola.wait(TIMEOUT), 0)
        self.assertEqual(self.settings.read_bytes(), b"5820,6390,1920,1335\r\n")


@unittest.skipUnless(os.geteuid() == 0, "only root can run the session as another user")
class InputMethodTest(MarkolaTestCase):
    def test_compositions_commit_where_typed_and_are_no_edits_of_their_own(self):
        (self.memos / "plan.txt").write_bytes(b"abcdef\r\nx\r\n")
        with InputMethodSession(self.workdir, "plan") as app:
            app.focus()
            app.key("ctrl+Home", "End")
            app.compose("sushi")
            app.x("xdotool", "mousemove", *app.menu_item("▼", press=False).split(), "click", "1")
            app.key("Return", "ctrl+s")  # the composition went down with its line
            self.wait_memos({"plan": "x\r\n\r\nabcdefすし\r\n".encode("cp932")})

            app.key("ctrl+n", "ctrl+a")
            app.compose("nihongo", "space", "Return", "Tab")
            app.compose("nihongo", "space", "Return", "ctrl+s")
            self.wait_memos({"日本語": "日本語".encode("cp932")})

            app.compose("sushi", "Escape", "alt+F4")  # nothing to ask about at the close
            self.assertEqual(app.markola.wait(TIMEOUT), 0)
