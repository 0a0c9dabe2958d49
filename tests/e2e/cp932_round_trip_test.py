"""A memo holding every kind of byte, opened from the command line and saved unchanged, over
a version another program wrote meanwhile once the user agrees."""

from harness import MAIN_TITLE, MarkolaTestCase

# Each piece as a Japanese desktop writes it; together they end without a line end.
MEMO = b"".join([
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


class Cp932RoundTripTest(MarkolaTestCase):
    def test_unchanged_memo_is_saved_byte_for_byte(self):
        self.memo_file("bytes").write_bytes(MEMO)
        for argument in ("bytes", "bytes.TXT"):
            with self.subTest(argument=argument), self.session(argument) as app:
                app.main_window()
                self.memo_file("bytes").write_bytes(b"to be overwritten")
                app.key("ctrl+s")
                app.answer(MAIN_TITLE, "y")
                self.wait_memo("bytes", MEMO)

