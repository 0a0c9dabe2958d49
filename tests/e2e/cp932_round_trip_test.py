"""A memo holding every kind of byte, opened from the command line and saved unchanged, over
a version another program wrote meanwhile once the user agrees."""

import os

from harness import MAIN_TITLE, MarkolaTestCase, wait_for

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
        """Also into a file from an older system: an upper-case extension, a Shift_JIS name."""
        for file_name, argument in (("bytes.txt", "bytes"), ("bytes.txt", "bytes.TXT"),
                                    (b"NOTES.TXT", "NOTES"), (b"\x82\xa0.txt", b"\x82\xa0")):
            path = self.workdir / "memo" / os.fsdecode(file_name)
            path.write_bytes(MEMO)
            with self.subTest(argument=argument), self.session(argument) as app:
                app.main_window()
                path.write_bytes(b"to be overwritten")
                app.key("ctrl+s")
                app.answer(MAIN_TITLE, "y")
                wait_for(lambda: path.read_bytes() == MEMO, f"{argument!r} saved in place")
                memos = [n for n in os.listdir(self.workdir / "memo") if n.endswith((".txt", ".TXT"))]
                self.assertEqual(sorted(memos), sorted([".txt", path.name]))  # no twin
            path.unlink()
