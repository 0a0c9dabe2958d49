"""A checklist session with the line command keys and the File menu."""

import os
import unittest

from harness import SHOT_DIR, MarkolaTestCase, cp932


class ChecklistTest(MarkolaTestCase):
    def test_toggle_and_move_lines_then_save(self):
        self.write_memo("", b"")
        self.write_memo("買い物", cp932("牛乳\r\n卵\r\nパン\r\n"))
        with self.session("買い物") as app:
            app.main_window()
            app.key("ctrl+Home", "ctrl+Left", "Down", "ctrl+Left", "ctrl+Left", "ctrl+s")
            self.wait_memo("買い物", cp932("□ 牛乳\r\n■ 卵\r\nパン\r\n"))
            self.assertEqual(cp932("□ ■ "), b"\x81\xa0 \x81\xa1 ")

            # Up brings the checked line to the top, Down twice takes it to the bottom; the
            # caret follows the moved line each time.
            app.key("ctrl+Up", "ctrl+Down", "ctrl+Down", "End")
            app.type("!")
            app.pick_from_popup("alt+f", "s")
            self.wait_memo("買い物", cp932("□ 牛乳\r\nパン\r\n■ 卵!\r\n"))

            # Down on the last line and Up on the first change nothing.
            app.key("ctrl+Down", "ctrl+Home", "ctrl+Up", "ctrl+Left", "ctrl+s")
            self.wait_memo("買い物", cp932("■ 牛乳\r\nパン\r\n■ 卵!\r\n"))
            if SHOT_DIR:
                app.screenshot(os.path.join(SHOT_DIR, "checklist.png"))


if __name__ == "__main__":
    unittest.main()
