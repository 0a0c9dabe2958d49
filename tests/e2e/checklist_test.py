"""A checklist session with the line command keys and the File menu."""

from harness import MarkolaTestCase


class ChecklistTest(MarkolaTestCase):
    def test_toggle_and_move_lines_then_save(self):
        self.assertEqual("□ ■ ".encode("cp932"), b"\x81\xa0 \x81\xa1 ")
        self.memo_file("買い物").write_bytes("牛乳\r\n卵\r\nパン\r\n".encode("cp932"))
        with self.session("買い物") as app:
            app.main_window()
            app.key("ctrl+Home", "ctrl+Left", "Down", "ctrl+Left", "ctrl+Left", "ctrl+s")
            self.wait_memo("買い物", "□ 牛乳\r\n■ 卵\r\nパン\r\n".encode("cp932"))

            # Up brings the checked line to the top, Down twice takes it to the bottom; the
            # caret follows the moved line each time.
            app.key("ctrl+Up", "ctrl+Down", "ctrl+Down", "End")
            app.type("!")
            app.pick_from_popup("alt+f", "s")
            self.wait_memo("買い物", "□ 牛乳\r\nパン\r\n■ 卵!\r\n".encode("cp932"))

            # Down on the last line and Up on the first change nothing.
            app.key("ctrl+Down", "ctrl+Home", "ctrl+Up", "ctrl+Left", "ctrl+s")
            self.wait_memo("買い物", "■ 牛乳\r\nパン\r\n■ 卵!\r\n".encode("cp932"))
