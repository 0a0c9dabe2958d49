"""Closing the window with unsaved edits, by each of the three ways a user closes it."""

import os
import unittest

from harness import CLOSE_TITLE, MAIN_TITLE, MarkolaTestCase, settings_line

PLAN = b"plan\r\n"


class CloseWindowTest(MarkolaTestCase):
    def setUp(self):
        super().setUp()
        self.write_memo("", b"")
        self.write_memo("plan", PLAN)

    def edit(self, app):
        app.key("ctrl+End")
        app.type("+1")

    def settings(self):
        with open(self.path("settings.ini"), "rb") as file:
            return file.read()

    def test_cancel_keeps_the_window_and_writes_settings_then_exit_saves(self):
        with self.session("plan") as app:
            window = app.main_window()
            self.edit(app)
            app.key("alt+F4")
            app.answer(CLOSE_TITLE, "Escape")
            self.assertTrue(app.running())
            self.assertEqual(app.find(MAIN_TITLE, dialog=False), [window])
            self.assertEqual(self.memo("plan"), PLAN)
            self.assertEqual(self.settings(), settings_line(app.frame_rect(window)))

            app.wait_focus(window)
            app.pick_from_popup("alt+f", "x")
            app.answer(CLOSE_TITLE, "y")
            self.assertEqual(app.wait_exit(), 0)
            self.assertEqual(self.memo("plan"), PLAN + b"+1")

    def test_no_from_the_close_box_drops_the_edits(self):
        with self.session("plan") as app:
            window = app.main_window()
            self.edit(app)
            # The close box is the right-most button of the title bar.
            left, top, width, _ = app.frame_rect(window)
            app.click_screen(left + width - 11, top + 10)
            app.answer(CLOSE_TITLE, "n")
            self.assertEqual(app.wait_exit(), 0)
            self.assertEqual(self.memo("plan"), PLAN)

    def test_failed_save_keeps_the_window_and_the_file_whole(self):
        flag = self.path("fail-renames")
        with self.session("plan", fail_flag=flag) as app:
            window = app.main_window()
            self.edit(app)
            open(flag, "w").close()
            app.key("alt+F4")
            app.answer(CLOSE_TITLE, "y")
            app.answer(MAIN_TITLE, "Return")
            self.assertTrue(app.running())
            self.assertEqual(app.find(MAIN_TITLE, dialog=False), [window])
            self.assertEqual(self.memo("plan"), PLAN)
            self.assertEqual(sorted(os.listdir(self.memo_dir)), [".txt", "plan.txt"])

            os.remove(flag)
            app.wait_focus(window)
            app.key("alt+F4")
            app.answer(CLOSE_TITLE, "Return")
            self.assertEqual(app.wait_exit(), 0)
            self.assertEqual(self.memo("plan"), PLAN + b"+1")


if __name__ == "__main__":
    unittest.main()
