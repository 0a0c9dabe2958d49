"""The window opens where settings.ini says, on the screen, and writes back where it is; odd
values still give a window that shows, fits and closes at once."""

from harness import SCREEN_SIZE, MarkolaTestCase, settings_line, wait_for

# settings.ini (width, height, left, top in twips) -> frame at (left, top), size, in pixels;
# heights of a fractional pixel may round either way.
CASES = [
    (None, (128, 89), (388, [426])),
    (b"6000,7000,1500,1500", (100, 100), (400, [466, 467])),
    (b"6000,7000,-90000,1500\r\n", (128, 100), (400, [466, 467])),  # below 0: the default
    (b"6000,7000,90000,90000", None, (400, [466, 467])),  # on no screen: brought back
]
ODD_SETTINGS = [b"", b"0,0,0,0", b"1,1,1,1", b"2147483647,2147483647,100,100"]


class WindowGeometryTest(MarkolaTestCase):
    def test_opens_at_the_stored_geometry_and_writes_its_own_back(self):
        for settings, position, (width, heights) in CASES:
            with self.subTest(settings=settings):
                if settings:
                    self.settings.write_bytes(settings)
                with self.session() as app:
                    window = app.main_window()
                    left, top, frame_width, frame_height = app.frame_rect(window)
                    self.assertEqual(frame_width, width)
                    self.assertIn(frame_height, heights)
                    self.assertEqual((left, top), position or (left, top))
                    self.assertTrue(0 <= left <= SCREEN_SIZE[0] - frame_width
                                    and 0 <= top <= SCREEN_SIZE[1] - frame_height)

                    app.move(window, 200, 150)
                    moved = wait_for(lambda: (f := app.frame_rect(window))[:2] != (left, top) and f,
                                     "the window to move")
                    app.wait_focus(window)
                    app.pick_from_popup("alt+f", "x")
                    self.assertEqual(app.wait_exit(), 0)
                self.assertEqual(self.settings.read_bytes(), settings_line(moved))

    def test_odd_settings_give_a_usable_window_within_the_screen(self):
        for settings in ODD_SETTINGS:
            with self.subTest(settings=settings):
                self.settings.write_bytes(settings)
                with self.session() as app:
                    window = app.main_window()
                    width, height = app.frame_rect(window)[2:]
                    self.assertTrue(200 <= width <= SCREEN_SIZE[0], width)
                    self.assertTrue(120 <= height <= SCREEN_SIZE[1], height)
                    app.key("alt+F4")
                    self.assertEqual(app.wait_exit(), 0)
