"""Choosing another memo from the combo box's list while the shown one has edits."""

import time

from harness import CLOSE_TITLE, MAIN_TITLE, MarkolaTestCase

MEMOS = {"": b"unnamed\r\n", "plan": b"plan\r\n", "shop": b"shop\r\n", "todo": b"todo\r\n"}
EDITED = b"unnamed\r\n+1"
COMBO, TEXT = (100, 32), (100, 200)  # client points on the combo box and in the text box
RESTORE_SECONDS = 0.3  # the name goes back into the combo box 100 ms after a choice

# From the unnamed memo, whose empty name matches no listed memo: the name typed into the
# combo box before the edit, the answers to the close and the overwrite questions, and then
# either the memos written, with shop shown in both boxes, or the name put back into the
# combo box while the edits stay.
CASES = [
    (None, "y", None, {"": EDITED}),
    (None, "n", None, {}),
    (None, "Escape", None, ""),
    ("todo", "y", "n", "todo"),
    ("todo", "y", "y", {"todo": EDITED}),
]


class SwitchMemosTest(MarkolaTestCase):
    def test_choosing_shop_with_edits(self):
        for typed, close, overwrite, outcome in CASES:
            for name, data in MEMOS.items():
                self.memo_file(name).write_bytes(data)
            with self.subTest(typed=typed, close=close, overwrite=overwrite), \
                    self.session() as app:
                window = app.main_window()
                if typed:
                    app.click(window, *COMBO)
                    app.type(typed)
                self.edit(app, window, "+1")
                app.click(window, *COMBO)
                app.pick_from_popup("F4", "shop")
                app.answer(CLOSE_TITLE, close)
                if overwrite:
                    app.answer(MAIN_TITLE, overwrite)
                time.sleep(RESTORE_SECONDS)
                if isinstance(outcome, dict):
                    self.assert_shop_shown(app, window, outcome)
                else:
                    self.assert_overwrite_asked(app, outcome)

    def test_a_quick_second_choice_after_cancel(self):
        """Down on the combo box chooses todo before the restore's 100 ms are over; No to its
        question shows todo, and the restore's tick, due meanwhile, keeps it."""
        for name, data in MEMOS.items():
            self.memo_file(name).write_bytes(data)
        with self.session() as app:
            window = app.main_window()
            self.edit(app, window, "+1")
            app.click(window, *COMBO)
            app.pick_from_popup("F4", "shop")
            app.wait_focus(app.wait_window(CLOSE_TITLE))
            app.key("Escape", "Down")
            app.answer(CLOSE_TITLE, "n")
            time.sleep(RESTORE_SECONDS)
            self.edit(app, window, "+2")
            app.key("ctrl+s")
            self.wait_memo("todo", b"todo\r\n+2")
            self.assert_memos({"todo": b"todo\r\n+2"})

    def assert_shop_shown(self, app, window, written):
        """An edit saves into shop's file without a question."""
        self.edit(app, window, "+2")
        app.key("ctrl+s")
        self.wait_memo("shop", b"shop\r\n+2")
        self.assert_memos(dict(written, shop=b"shop\r\n+2"))

    def assert_overwrite_asked(self, app, name):
        """The program put the name back, so saving asks before it overwrites the memo."""
        app.key("ctrl+s")
        app.answer(MAIN_TITLE, "n")
        self.assert_memos({})
        app.key("ctrl+s")
        app.answer(MAIN_TITLE, "y")
        self.wait_memo(name, EDITED)
        self.assert_memos({name: EDITED})

    def edit(self, app, window, typed):
        app.click(window, *TEXT)
        app.key("ctrl+End")
        app.type(typed)

    def assert_memos(self, changed):
        for name, data in MEMOS.items():
            self.assertEqual(self.memo(name), changed.get(name, data), name)
