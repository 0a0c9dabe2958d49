"""The desktop around markola: the window opens where settings.ini says and writes back where it
is, also on Wayland, where a client never learns its position; Japanese typed through a real
input method (fcitx5 with Mozc) lands where typed, in code page 932; a composition is no edit."""

import os
import unittest

from harness import (SCREEN_SIZE, TIMEOUT, InputMethodSession, MarkolaTestCase, Session,
                     WaylandSession, settings_line, wait_for)

# settings.ini (width, height, left, top in twips) -> frame at (left, top), size, in pixels;
# heights of a fractional pixel may round either way.
CASES = [
    (None, (128, 89), (388, [426])),
    (b"6000,7000,1500,1500", (100, 100), (400, [466, 467])),
    (b"6000,7000,-90000,1500\r\n", (128, 100), (400, [466, 467])),  # below 0: the default
    (b"6000,7000,90000,90000", None, (400, [466, 467])),  # on no screen: brought back
]
# settings.ini and the scale -> the file after a close from the menu (openbox may drop an Alt+F4
# sent at once) without a move: the numbers read at every scale (small enough to fit the screen
# at 2, which would shrink them); odd values give any window that fits and closes at once.
UNMOVED = [(b"4000,5000,750,750", scale, b"4000,5000,750,750\r\n")
           for scale in ("1", "1.25", "1.5", "2")] + [
    (odd, None, None) for odd in (b"", b"0,0,0,0", b"1,1,1,1", b"2147483647,2147483647,100,100")]


class WindowGeometryTest(MarkolaTestCase):
    def test_opens_at_the_stored_geometry_and_writes_its_own_back(self):
        for settings, position, (width, heights) in CASES:
            with self.subTest(settings=settings):
                if settings:
                    self.settings.write_bytes(settings)
                with Session(self.workdir) as app:
                    window = app.main_window()
                    left, top, frame_width, frame_height = app.frame_rect(window)
                    self.assertEqual(frame_width, width)
                    self.assertIn(frame_height, heights)
                    self.assertEqual((left, top), position or (left, top))
                    self.assertTrue(0 <= left <= SCREEN_SIZE[0] - frame_width
                                    and 0 <= top <= SCREEN_SIZE[1] - frame_height)

                    app.x("xdotool", "windowmove", "--sync", str(window), "200", "150")
                    moved = wait_for(lambda: (f := app.frame_rect(window))[:2] != (left, top) and f,
                                     "the window to move")
                    app.focus(window)
                    app.pick_from_popup("alt+f", "x")
                    self.assertEqual(app.markola.wait(TIMEOUT), 0)
                # Moved, not resized: the size read is kept.
                size = (settings or b"5820,6390").split(b",")[:2]
                self.assertEqual(self.settings.read_bytes(),
                                 b",".join(size + settings_line(moved).split(b",")[2:]))

    def test_a_close_without_a_move_keeps_the_numbers_read_or_a_window_that_fits(self):
        for settings, scale, written in UNMOVED:
            with self.subTest(settings=settings, scale=scale):
                self.settings.write_bytes(settings)
                with Session(self.workdir, env=scale and {"QT_SCALE_FACTOR": scale}) as app:
                    width, height = app.frame_rect(app.main_window())[2:]
                    self.assertTrue(200 <= width <= SCREEN_SIZE[0], width)
                    self.assertTrue(120 <= height <= SCREEN_SIZE[1], height)
                    app.pick_from_popup("alt+f", "x")
                    self.assertEqual(app.markola.wait(TIMEOUT), 0)
                if written:
                    self.assertEqual(self.settings.read_bytes(), written)

    def test_on_wayland_closed_from_its_menu_as_a_screen_reader_would_it_stores_its_size(self):
        with WaylandSession(self.workdir) as app:
            app.menu_item("終了(X) Alt+F4")
            self.assertEqual(app.markola.wait(TIMEOUT), 0)
        self.assertEqual(self.settings.read_bytes(), b"5820,6390,1920,1335\r\n")


@unittest.skipUnless(os.geteuid() == 0, "only root can run the session as another user")
class InputMethodTest(MarkolaTestCase):
    def test_compositions_commit_where_typed_and_are_no_edits_of_their_own(self):
        self.memo_file("plan").write_bytes(b"abcdef\r\nx\r\n")
        with InputMethodSession(self.workdir, "plan") as app:
            app.main_window()
            # On once markola's input context has the focus.
            wait_for(lambda: app.x("fcitx5-remote", "-o", as_user=True) == ""
                     and app.x("fcitx5-remote", as_user=True).strip() == "2", "the input method")
            app.key("ctrl+Home", "End")
            app.compose("sushi")
            # The composition goes down with its line.
            app.click(*app.menu_item("▼", "where").split())
            app.key("Return", "ctrl+s")
            self.wait_memo("plan", "x\r\n\r\nabcdefすし\r\n".encode("cp932"))

            app.key("ctrl+n", "ctrl+a")
            app.compose("nihongo", "space", "Return")
            app.key("Tab")
            app.compose("nihongo", "space", "Return")
            app.key("ctrl+s")
            self.wait_memo("日本語", "日本語".encode("cp932"))

            app.compose("sushi", "Escape")
            app.key("alt+F4")  # nothing to ask about
            self.assertEqual(app.markola.wait(TIMEOUT), 0)
