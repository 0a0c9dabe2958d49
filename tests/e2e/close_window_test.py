"""Closing the window with unsaved edits: Cancel and failed saves keep it, Yes saves; a full
disk keeps the memo and settings.ini whole; SIGTERM keeps the edits for the next start."""

import signal
import subprocess

from harness import CLOSE_TITLE, MAIN_TITLE, MarkolaTestCase, Session, settings_line, wait_for

PLAN = b"plan\r\n"
# What the shim makes fail (a call and the error the system gives), the key that saves or
# closes, and the answer to the close question: each keeps the window and the file whole.
KEPT = [(None, "alt+F4", "Escape"), ("write ENOSPC", "ctrl+s", None),
        ("fdatasync EDQUOT", "ctrl+s", None), ("close EIO", "ctrl+s", None),
        ("rename ENOSPC", "ctrl+s", None), ("rename EIO", "alt+F4", "y")]


class CloseWindowTest(MarkolaTestCase):
    def test_cancel_and_failed_saves_keep_the_window_then_yes_saves(self):
        self.memo_file("plan").write_bytes(PLAN)
        flag = self.workdir / "fail-calls"
        with self.session("plan", fail_flag=flag) as app:
            window = app.main_window()
            app.key("ctrl+End")
            app.type("+1")
            for failure, key, close_answer in KEPT:
                with self.subTest(failure=failure):
                    if failure:
                        flag.write_text(failure)
                    self.press_and_assert_kept(app, window, key, close_answer, failure,
                                               self.workdir, settings_line(app.frame_rect(window)))
            flag.unlink()
            app.pick_from_popup("alt+f", "x")
            app.answer(CLOSE_TITLE, "Return")
            self.assertEqual(app.wait_exit(), 0)
            self.assertEqual(self.memo("plan"), PLAN + b"+1")

    def test_a_full_disk_keeps_every_byte_and_sigterm_keeps_the_edits_for_the_next_start(self):
        disk = self.workdir / "disk"
        disk.mkdir()
        if subprocess.run(["mount", "-t", "tmpfs", "-o", "size=1m", "tmpfs", str(disk)],
                          capture_output=True).returncode:
            self.skipTest("mount is not allowed here")
        self.addCleanup(subprocess.run, ["umount", "-l", str(disk)])
        (disk / "memo").mkdir()
        (disk / "memo" / ".txt").write_bytes(b"")
        plan = disk / "memo" / "plan.txt"
        plan.write_bytes(PLAN)
        (disk / "settings.ini").write_bytes(b"6000,7000,1500,1500")
        with Session(disk, "plan") as app:
            window = app.main_window()
            subprocess.run(["dd", "if=/dev/zero", f"of={disk / 'fill'}"], capture_output=True)
            app.key("ctrl+End")
            app.type("+1")
            for key, close_answer in (("ctrl+s", None), ("alt+F4", "y")):
                self.press_and_assert_kept(app, window, key, close_answer, "the full disk", disk,
                                           b"6000,7000,1500,1500")

            (disk / "fill").unlink()
            app.key("alt+F4")
            app.wait_window(CLOSE_TITLE)
            app.markola.send_signal(signal.SIGTERM)
            self.assertEqual(app.wait_exit(), 0)
        self.assertEqual(plan.read_bytes(), PLAN)

        with Session(disk) as app:
            app.answer(MAIN_TITLE, "y")  # to the offer, before the main window shows
            app.main_window()
            app.key("ctrl+s")
            wait_for(lambda: plan.read_bytes() == PLAN + b"+1", "the recovered edits saved")
        self.assertEqual(list((disk / "memo" / ".recovery").iterdir()), [])

    def press_and_assert_kept(self, app, window, key, close_answer, failure, folder, settings):
        """After the key, the answer and the failure's message: still open, the memo whole and
        alone, and settings.ini as expected."""
        app.key(key)
        if close_answer:
            app.answer(CLOSE_TITLE, close_answer)
        if failure:
            app.answer(MAIN_TITLE, "Return")
        self.assertIsNone(app.markola.poll())
        self.assertEqual(app.wait_window(MAIN_TITLE, dialog=False), window)
        self.assertEqual(sorted(f.name for f in (folder / "memo").iterdir()),
                         [".txt", "plan.txt"])
        self.assertEqual((folder / "memo" / "plan.txt").read_bytes(), PLAN)
        self.assertEqual((folder / "settings.ini").read_bytes(), settings)
        app.wait_focus(window)
