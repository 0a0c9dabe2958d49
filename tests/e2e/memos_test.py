"""A user's memos through the real program: the first start in an empty folder and the next,
a checklist kept with the line command keys, and every kind of byte saved unchanged."""

import os

from harness import MAIN_TITLE, MarkolaTestCase, wait_for

# Each piece as a Japanese desktop writes it; together they end without a line end.
EVERY_BYTE = b"".join([
    "漢字とかなカナ、全角ＡＢＣ\r\n".encode("cp932"),
    b"\xb1\xb2\xb3\xdf half-width katakana\r\n",
    b"NEC row 13: \x87\x40\x87\x54\x87\x82\x87\x8a\r\n",
    b"IBM extensions: \xfa\x40\xfa\x5c, user area: \xf0\x40\r\n",
    b"\\ ~ \x81\x60 \x81\x5f \x81\x7c\r\n",
    b"stray: \x80 \xa0 \xfd \xfe \xff \x85\x40\r\n",
    b"nul:\x00:tab\t:esc\x1b\r\n",
    b"lone CR\rlone LF\nboth\r\n",
    b"\r\n\r\n",
    b"no final line end, lead byte last\x81",
])
# Memo files as older systems name them (an upper-case extension, a Shift_JIS name) and the
# start-up argument that opens them.
FILE_NAMES = [("bytes.txt", "bytes"), ("bytes.txt", "bytes.TXT"), (b"NOTES.TXT", "NOTES"),
              (b"\x82\xa0.txt", b"\x82\xa0")]


class MemosTest(MarkolaTestCase):
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

    def test_checklist_toggled_and_moved_then_saved_from_the_key_and_the_menu(self):
        """"□ " is 81 A0 20, "■ " is 81 A1 20 in code page 932."""
        self.memo_file("買い物").write_bytes("牛乳\r\n卵\r\nパン\r\n".encode("cp932"))
        with self.session("買い物") as app:
            app.main_window()
            app.key("ctrl+Home", "ctrl+Left", "Down", "ctrl+Left", "ctrl+Left", "ctrl+s")
            self.wait_memo("買い物", "□ 牛乳\r\n■ 卵\r\nパン\r\n".encode("cp932"))
            # Up brings the checked line to the top, Down twice takes it to the bottom; the
            # caret follows the moved line each time.
            app.key("ctrl+Up", "ctrl+Down", "ctrl+Down", "End", "exclam")
            app.pick_from_popup("alt+f", "s")
            self.wait_memo("買い物", "□ 牛乳\r\nパン\r\n■ 卵!\r\n".encode("cp932"))
            # Down on the last line and Up on the first change nothing.
            app.key("ctrl+Down", "ctrl+Home", "ctrl+Up", "ctrl+Left", "ctrl+s")
            self.wait_memo("買い物", "■ 牛乳\r\nパン\r\n■ 卵!\r\n".encode("cp932"))

    def test_unchanged_memo_is_saved_byte_for_byte_over_another_programs_version(self):
        for file_name, argument in FILE_NAMES:
            path = self.workdir / "memo" / os.fsdecode(file_name)
            path.write_bytes(EVERY_BYTE)
            with self.subTest(argument=argument), self.session(argument) as app:
                app.main_window()
                path.write_bytes(b"to be overwritten")
                app.key("ctrl+s")
                app.answer(MAIN_TITLE, "y")
                wait_for(lambda: path.read_bytes() == EVERY_BYTE, f"{argument!r} saved in place")
                memos = [n for n in os.listdir(path.parent) if n.endswith((".txt", ".TXT"))]
                self.assertEqual(sorted(memos), sorted([".txt", path.name]))  # no twin
            path.unlink()
