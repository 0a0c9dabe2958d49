"""First start in an empty folder, then the next start with the unnamed memo there."""

from harness import MAIN_TITLE, MarkolaTestCase


class FirstStartTest(MarkolaTestCase):
    def test_unnamed_memo_is_reported_then_written_and_loaded_next_time(self):
        self.memo_file("").unlink()
        with self.session() as app:
            box = app.wait_window(MAIN_TITLE)
            # The missing unnamed memo is reported before the main window is shown.
            self.assertEqual(list(app.windows()), [box])
            app.answer(MAIN_TITLE, "Return")
            self.assertEqual(app.title(app.main_window(), "WM_NAME"), MAIN_TITLE)
            app.type("hello")
            app.key("Return")
            app.type("world")
            app.key("ctrl+s")
            self.wait_memo("", b"hello\r\nworld")
            app.key("alt+F4")
            self.assertEqual(app.wait_exit(), 0)

        with self.session() as app:
            window = app.main_window()
            self.assertEqual(list(app.windows()), [window])
            app.key("ctrl+End")
            app.type("!")
            app.key("ctrl+s")
            self.wait_memo("", b"hello\r\nworld!")
