"""Closing the window with unsaved edits: Cancel and a failed save keep it, Yes saves."""

from harness import CLOSE_TITLE, MAIN_TITLE, MarkolaTestCase, settings_line

PLAN = b"plan\r\n"


class CloseWindowTest(MarkolaTestCase):
    def test_cancel_and_a_failed_save_keep_the_window_then_yes_saves(self):
        self.memo_file("plan").write_bytes(PLAN)
        flag = self.workdir / "fail-renames"
        with self.session("plan", fail_flag=flag) as app:
            window = app.main_window()
            app.key("ctrl+End")
            app.type("+1")
            app.key("alt+F4")
            app.answer(CLOSE_TITLE, "Escape")
            self.assert_window_kept(app, window)

            flag.touch()
            app.key("alt+F4")
            app.answer(CLOSE_TITLE, "y")
            app.answer(MAIN_TITLE, "Return")
            self.assert_window_kept(app, window)

            flag.unlink()
            app.pick_from_popup("alt+f", "x")
            app.answer(CLOSE_TITLE, "Return")
            self.assertEqual(app.wait_exit(), 0)
            self.assertEqual(self.memo("plan"), PLAN + b"+1")

    def assert_window_kept(self, app, window):
        """Still open, the file whole and alone, and the window's geometry written."""
        self.assertIsNone(app.markola.poll())
        self.assertEqual(app.find(MAIN_TITLE, dialog=False), [window])
        self.assertEqual(sorted(f.name for f in (self.workdir / "memo").iterdir()),
                         [".txt", "plan.txt"])
        self.assertEqual(self.memo("plan"), PLAN)
        self.assertEqual(self.settings.read_bytes(), settings_line(app.frame_rect(window)))
        app.wait_focus(window)
