"""Closing the window with unsaved edits: Cancel and failed saves keep it, Yes saves; a full
disk keeps the memo and settings.ini whole; SIGTERM keeps the edits for the next start."""

import signal
import subprocess

from harness import CLOSE_TITLE, MAIN_TITLE, MarkolaTestCase, Session, settings_line, wait_for

PLAN = b"plan\r\n"
# Calls of a save made to fail by the shim, with the error the system gives.
FAILURES = [("write", "ENOSPC"), ("fdatasync", "EDQUOT"), ("close", "EIO"), ("rename", "ENOSPC")]


class CloseWindowTest(MarkolaTestCase):
    def test_cancel_and_failed_saves_keep_the_window_then_yes_saves(self):
        self.memo_file("plan").write_bytes(PLAN)
        flag = self.workdir / "fail-calls"
        with self.session("plan", fail_flag=flag) as app:
            window = app.main_window()
            app.key("ctrl+End")
            app.type("+1")
            app.key("alt+F4")
            app.answer(CLOSE_TITLE, "Escape")
            self.assert_window_kept(app, window)

            for call, error in FAILURES:
                with self.subTest(call=call, error=error):
                    flag.write_text(f"{call} {error}")
                    app.key("ctrl+s")
                    app.answer(MAIN_TITLE, "Return")
                    self.assert_window_kept(app, window)
            flag.write_text("rename EIO")
            app.key("alt+F4")
            app.answer(CLOSE_TITLE, "y")
            app.answer(MAIN_TITLE, "Return")
            self.assert_window_kept(app, window)

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
        plan, settings = disk / "memo" / "plan.txt", disk / "settings.ini"
        plan.write_bytes(PLAN)
        settings.write_bytes(b"6000,7000,1500,1500")
        with Session(disk, "plan") as app:
            app.main_window()
            subprocess.run(["dd", "if=/dev/zero", f"of={disk / 'fill'}"], capture_output=True)
            app.key("ctrl+End")
            app.type("+1")
            app.key("ctrl+s")
            app.answer(MAIN_TITLE, "Return")
            app.key("alt+F4")
            app.answer(CLOSE_TITLE, "y")
            app.answer(MAIN_TITLE, "Return")
            self.assertIsNone(app.markola.poll())
            self.assertEqual(plan.read_bytes(), PLAN)
            self.assertEqual(settings.read_bytes(), b"6000,7000,1500,1500")
            self.assertEqual(sorted(p.name for p in plan.parent.iterdir()), [".txt", "plan.txt"])

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

    def assert_window_kept(self, app, window):
        """Still open, the file whole and alone, and the window's geometry written."""
        self.assertIsNone(app.markola.poll())
        self.assertEqual(app.find(MAIN_TITLE, dialog=False), [window])
        self.assertEqual(sorted(f.name for f in (self.workdir / "memo").iterdir()),
                         [".txt", "plan.txt"])
        self.assertEqual(self.memo("plan"), PLAN)
        self.assertEqual(self.settings.read_bytes(), settings_line(app.frame_rect(window)))
        app.wait_focus(window)
