"""Choosing another memo from the combo box's list while the shown one has edits."""

import time

from harness import CLOSE_TITLE, MAIN_TITLE, MarkolaTestCase

MEMOS = {"": b"unnamed\r\n", "plan": b"plan\r\n", "shop": b"shop\r\n", "todo": b"todo\r\n"}
EDITED = b"unnamed\r\n+1"
COMBO, TEXT = (100, 32), (100, 200)  # client points on the combo box and in the text box
RESTORE_SECONDS = 0.3  # the name goes back into the combo box 100 ms after a choice

# From the unnamed memo, whose empty name matches no listed memo: the name typed into the
# combo box before the edit, the answers once shop is chosen from the list, and then either
# the memo shown, which an edit saves into without a question, and the memos written, or no
# memo shown and the name put back into the combo box, the edits kept.
CASES = [
    (None, [(CLOSE_TITLE, "y")], "shop", {"": EDITED}),
    (None, [(CLOSE_TITLE, "n")], "shop", {}),
    (None, [(CLOSE_TITLE, "Escape")], None, ""),
    ("todo", [(CLOSE_TITLE, "y"), (MAIN_TITLE, "n")], None, "todo"),
    ("todo", [(CLOSE_TITLE, "y"), (MAIN_TITLE, "y")], "shop", {"todo": EDITED}),
    # Down chooses todo before the restore's 100 ms are over; its tick, due meanwhile, keeps it.
    (None, [(CLOSE_TITLE, "Escape", "Down"), (CLOSE_TITLE, "n")], "todo", {}),
]


class SwitchMemosTest(MarkolaTestCase):
    def test_choosing_another_memo_with_edits(self):
        for typed, answers, shown, outcome in CASES:
            for name, data in MEMOS.items():
                self.memo_file(name).write_bytes(data)
            with self.subTest(typed=typed, answers=answers), self.session() as app:
                window = app.main_window()
                if typed:
                    app.click(*COMBO, window)
                    app.type(typed)
                self.edit(app, window, "+1")
                app.click(*COMBO, window)
                app.pick_from_popup("F4", "shop")
                for title, *keys in answers:
                    app.answer(title, *keys)
                time.sleep(RESTORE_SECONDS)
                if shown:
                    self.edit(app, window, "+2")
                    app.key("ctrl+s")
                    self.wait_memo(shown, MEMOS[shown] + b"+2")
                    self.assert_memos(dict(outcome, **{shown: MEMOS[shown] + b"+2"}))
                else:  # saving asks before it overwrites the memo named
                    app.key("ctrl+s")
                    app.answer(MAIN_TITLE, "n")
                    self.assert_memos({})
                    app.key("ctrl+s")
                    app.answer(MAIN_TITLE, "y")
                    self.wait_memo(outcome, EDITED)
                    self.assert_memos({outcome: EDITED})

    def edit(self, app, window, typed):
        app.click(*TEXT, window)
        app.key("ctrl+End")
        app.type(typed)

    def assert_memos(self, changed):
        for name, data in MEMOS.items():
            self.assertEqual(self.memo(name), changed.get(name, data), name)
