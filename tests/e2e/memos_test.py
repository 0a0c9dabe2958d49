"""A user's memos: first starts, a checklist, every byte kept, switching or closing with edits."""

import os
import subprocess
import time

from harness import CLOSE_TITLE, MAIN_TITLE, TIMEOUT, MarkolaTestCase, Session

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
EDITED = b"unnamed\r\n+1"
COMBO = (100, 32)  # a client point on the combo box
# From the edited unnamed memo (its empty name matches no listed memo): the name typed, the answers
# once shop is chosen, then the memo shown and the memos written, or None and the name put back.
SWITCHES = [
    ("", [(CLOSE_TITLE, "y")], "shop", {"": EDITED}),
    ("", [(CLOSE_TITLE, "n")], "shop", {}),
    ("", [(CLOSE_TITLE, "Escape")], None, ""),
    ("todo", [(CLOSE_TITLE, "y"), (MAIN_TITLE, "n")], None, "todo"),
    ("todo", [(CLOSE_TITLE, "y"), (MAIN_TITLE, "y")], "shop", {"todo": EDITED}),
    # Down chooses todo before the restore's 100 ms are over; its tick, due meanwhile, keeps it.
    ("", [(CLOSE_TITLE, "Escape", "Down"), (CLOSE_TITLE, "n")], "todo", {}),
]

# What fails (the full disk, or a call the shim fails as the system would) and the answer to the
# close question after Alt+F4, None for Ctrl+S: the window and the memo stay; a cancel writes
# settings.ini, which had no line end.
FULL = "the full disk"
KEPT = [(FULL, "y"), ("", "Escape"), ("write ENOSPC", None), ("fdatasync EDQUOT", None),
        ("close EIO", None), ("rename ENOSPC", None), ("rename EIO", "y")]
PLAN, SETTINGS = MEMOS["plan"], b"6000,7000,1500,1500"


class MemosTest(MarkolaTestCase):
    def test_first_start_reports_the_unnamed_memo_and_the_next_loads_it_as_a_checklist(self):
        self.memo_file("").unlink()
        with Session(self.workdir) as app:
            self.assertEqual([app.focus(MAIN_TITLE)], app.windows())  # before the main window
            app.answer(MAIN_TITLE, "Return")
            app.main_window()
            app.key("a", "Return", "b", "Return", "c", "Return", "ctrl+s")
            self.wait_memos({"": b"a\r\nb\r\nc\r\n"})
        with Session(self.workdir) as app:
            self.assertEqual([app.main_window()], app.windows())
            # Ctrl+Left checks a line (twice: ■), Ctrl+Up and Down move it; a lost step shows.
            app.key("ctrl+Home", "ctrl+Left", "Down", "ctrl+Left", "ctrl+Left", "ctrl+Up", "Down",
                    "ctrl+Down", "End", "exclam")
            app.pick_from_popup("alt+f", "s")
            self.wait_memos({"": "■ b\r\nc\r\n□ a!\r\n".encode("cp932")})

    def test_unchanged_memo_is_saved_byte_for_byte_over_another_programs_version(self):
        for file_name, argument in FILE_NAMES:
            path = self.workdir / "memo" / os.fsdecode(file_name)
            path.write_bytes(EVERY_BYTE)
            with self.subTest(argument=argument), Session(self.workdir, argument) as app:
                app.main_window()
                path.write_bytes(b"to be overwritten")
                app.key("ctrl+s")
                app.answer(MAIN_TITLE, "y")
                self.wait_memos({path: EVERY_BYTE})  # in place: a twin would leave it overwritten


class SwitchMemosTest(MarkolaTestCase):
    def test_choosing_another_memo_with_edits(self):
        for typed, answers, shown, outcome in SWITCHES:
            for name, data in MEMOS.items():
                self.memo_file(name).write_bytes(data)
            with self.subTest(typed=typed, answers=answers), Session(self.workdir) as app:
                window = app.main_window()
                app.key("ctrl+End", "plus", "1")  # in the text box, which has the focus
                app.click(*COMBO, window)
                app.type(typed)
                app.pick_from_popup("F4", "shop")
                for title, *keys in answers:
                    app.answer(title, *keys)
                time.sleep(0.3)  # the name goes back into the combo box 100 ms after a choice
                if shown:  # an edit saves into it unasked
                    app.key("Tab", "ctrl+End", "plus", "2", "ctrl+s")
                    self.wait_memos({**MEMOS, **outcome, shown: MEMOS[shown] + b"+2"})
                else:  # saving asks before it overwrites the memo named
                    app.key("ctrl+s")
                    app.answer(MAIN_TITLE, "y")
                    self.wait_memos({**MEMOS, outcome: EDITED})


class CloseWindowTest(MarkolaTestCase):
    def test_failed_saves_keep_the_window_and_the_file_and_a_sigterm_keeps_the_edits(self):
        disk, flag = self.workdir / "memo", self.workdir / "fail-calls"
        if subprocess.run(["mount", "-t", "tmpfs", "-o", "size=1m", "tmpfs", disk],
                          capture_output=True).returncode:
            self.skipTest("mount is not allowed here")
        self.addCleanup(subprocess.run, ["umount", "-l", disk])
        self.memo_file("").write_bytes(b"")
        self.memo_file("plan").write_bytes(PLAN)
        self.settings.write_bytes(SETTINGS)
        shim = {"LD_PRELOAD": os.environ["MARKOLA_E2E_SHIM"], "MARKOLA_E2E_FAIL_FLAG": str(flag),
                "MARKOLA_E2E_FAIL_UNDER": str(disk)}
        with Session(self.workdir, "plan", env=shim) as app:
            app.main_window()
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
                    app.main_window()
                    self.wait_memos({"plan": PLAN})
                    self.assertEqual(self.settings.read_bytes(), SETTINGS + b"\r\n")
            flag.unlink()
            app.key("alt+F4")
            app.focus(CLOSE_TITLE)
            app.markola.terminate()  # SIGTERM
            self.assertEqual(app.markola.wait(TIMEOUT), 0)

        with Session(self.workdir) as app:
            app.answer(MAIN_TITLE, "y")  # to the offer, before the main window shows
            app.main_window()
            app.pick_from_popup("alt+f", "x")
            app.answer(CLOSE_TITLE, "Return")
            self.assertEqual(app.markola.wait(TIMEOUT), 0)
        self.wait_memos({"plan": PLAN + b"+1"})
