"""Choosing another memo from the combo box's list while the shown one has edits."""

import time
import unittest

from harness import CLOSE_TITLE, MAIN_TITLE, MarkolaTestCase

MEMOS = {"": b"unnamed\r\n", "plan": b"plan\r\n", "shop": b"shop\r\n", "todo": b"todo\r\n"}
COMBO_Y = 32  # inside the client area: below the menu bar, on the combo box
TEXT_Y = 200  # well inside the text box
RESTORE_SECONDS = 0.3  # the name goes back into the combo box 100 ms after a choice


class SwitchMemosTest(MarkolaTestCase):
    """Starts on the unnamed memo, whose empty name matches no listed memo."""

    def setUp(self):
        super().setUp()
        for name, data in MEMOS.items():
            self.write_memo(name, data)
        self.app = self.enterContext(self.session())
        self.window = self.app.main_window()

    def click_text_end(self):
        self.app.click(self.window, 100, TEXT_Y)
        self.app.key("ctrl+End")

    def edit(self, typed):
        self.click_text_end()
        self.app.type(typed)

    def choose(self, name):
        """Opens the combo box's list and picks the memo by typing its name."""
        self.app.click(self.window, 100, COMBO_Y)
        self.app.pick_from_popup("F4", name)

    def assert_memos(self, **changed):
        for name, data in MEMOS.items():
            self.assertEqual(self.memo(name), changed.get(name or "unnamed", data), name)

    def assert_text_box_shows(self, name, expected):
        """Saving an edit shows which memo the text box and the combo box hold."""
        time.sleep(RESTORE_SECONDS)
        self.edit("+2")
        self.app.key("ctrl+s")
        self.wait_memo(name, expected + b"+2")

    def test_yes_saves_the_shown_memo_and_shows_the_chosen_one(self):
        self.edit("+1")
        self.choose("shop")
        self.app.answer(CLOSE_TITLE, "y")
        self.wait_memo("", b"unnamed\r\n+1")
        self.assert_text_box_shows("shop", MEMOS["shop"])
        self.assert_memos(unnamed=b"unnamed\r\n+1", shop=b"shop\r\n+2")

    def test_no_drops_the_edits_and_shows_the_chosen_one(self):
        self.edit("+1")
        self.choose("shop")
        self.app.answer(CLOSE_TITLE, "n")
        self.assert_text_box_shows("shop", MEMOS["shop"])
        self.assert_memos(shop=b"shop\r\n+2")

    def test_cancel_keeps_the_edits_and_puts_the_shown_name_back(self):
        self.edit("+1")
        self.choose("shop")
        self.app.answer(CLOSE_TITLE, "Escape")
        time.sleep(RESTORE_SECONDS)
        # The name was put back by the program, so saving asks before overwriting the file.
        self.click_text_end()
        self.app.key("ctrl+s")
        self.app.answer(MAIN_TITLE, "n")
        self.assert_memos()
        self.app.key("ctrl+s")
        self.app.answer(MAIN_TITLE, "y")
        self.wait_memo("", b"unnamed\r\n+1")
        self.assert_memos(unnamed=b"unnamed\r\n+1")

    def test_ctrl_s_in_the_combo_saves_under_the_typed_name(self):
        self.edit("+1")
        self.app.click(self.window, 100, COMBO_Y)
        self.app.type("fresh")
        self.app.key("ctrl+s")
        self.wait_memo("fresh", b"unnamed\r\n+1")

    def type_name_edit_and_choose_shop(self):
        self.app.click(self.window, 100, COMBO_Y)
        self.app.type("todo")
        self.edit("+3")
        self.choose("shop")
        self.app.answer(CLOSE_TITLE, "y")

    def test_declined_overwrite_keeps_the_edits_under_the_typed_name(self):
        self.type_name_edit_and_choose_shop()
        self.app.answer(MAIN_TITLE, "n")
        time.sleep(RESTORE_SECONDS)
        self.assert_memos()
        self.app.key("ctrl+s")
        self.app.answer(MAIN_TITLE, "y")
        self.wait_memo("todo", b"unnamed\r\n+3")
        self.assert_memos(todo=b"unnamed\r\n+3")

    def test_accepted_overwrite_writes_the_typed_name_and_shows_the_chosen_one(self):
        self.type_name_edit_and_choose_shop()
        self.app.answer(MAIN_TITLE, "y")
        self.wait_memo("todo", b"unnamed\r\n+3")
        self.assert_text_box_shows("shop", MEMOS["shop"])
        self.assert_memos(todo=b"unnamed\r\n+3", shop=b"shop\r\n+2")

if __name__ == "__main__":
    unittest.main()
