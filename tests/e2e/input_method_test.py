"""Japanese typed through a real input method (fcitx5 with Mozc): converted text lands where it
was typed and is saved as code page 932, and a composition alone is never an edit."""

import os
import unittest

from harness import InputMethodSession, MarkolaTestCase

NIHONGO = "日本語".encode("cp932")


@unittest.skipUnless(os.geteuid() == 0, "only root can run the session as another user")
class InputMethodTest(MarkolaTestCase):
    def test_compositions_commit_where_typed_and_are_no_edits_of_their_own(self):
        self.memo_file("plan").write_bytes(b"abcdef\r\nx\r\n")
        with InputMethodSession(self.workdir, "plan") as app:
            app.main_window()
            app.switch_on()
            app.key("ctrl+Home", "End")
            app.compose("sushi")
            # The composition goes down with its line.
            app.click(*app.atspi("▼", "where").split())
            app.key("Return")
            app.key("ctrl+s")
            self.wait_memo("plan", "x\r\n\r\nabcdefすし\r\n".encode("cp932"))

            app.key("ctrl+n")
            app.key("ctrl+a")
            app.compose("nihongo", "space", "Return")
            app.key("Tab")
            app.compose("nihongo", "space", "Return")
            app.key("ctrl+s")
            self.wait_memo("日本語", NIHONGO)

            app.compose("sushi", "Escape")
            app.key("alt+F4")  # nothing to ask about
            self.assertEqual(app.wait_exit(), 0)
