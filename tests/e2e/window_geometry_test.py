"""The window opens where settings.ini says, on the screen, and writes back where it is."""

import unittest

from harness import SCREEN_SIZE, MarkolaTestCase, settings_line, wait_for

# settings.ini (width, height, left, top in twips) -> frame at (left, top), size, in pixels;
# heights of a fractional pixel may round either way.
CASES = [
    (None, (128, 89), (388, [426])),
    (b"6000,7000,1500,1500", (100, 100), (400, [466, 467])),
    (b"6000,7000,-90000,1500\r\n", (128, 100), (400, [466, 467])),  # below 0: the default
    (b"6000,7000,90000,90000", None, (400, [466, 467])),  # on no screen: brought back
]
MOVED_TO = (200, 150)


class WindowGeometryTest(MarkolaTestCase):
    def test_opens_at_the_stored_geometry_and_writes_its_own_back(self):
        self.write_memo("", b"")
        for settings, position, (width, heights) in CASES:
            with self.subTest(settings=settings):
                self.write_settings(settings)
                with self.session() as app:
                    window = app.main_window()
                    left, top, frame_width, frame_height = app.frame_rect(window)
                    self.assertEqual(frame_width, width)
                    self.assertIn(frame_height, heights)
                    if position:
                        self.assertEqual((left, top), position)
                    self.assertTrue(0 <= left and left + frame_width <= SCREEN_SIZE[0])
                    self.assertTrue(0 <= top and top + frame_height <= SCREEN_SIZE[1])

                    app.wait_focus(window)
                    app.move(window, *MOVED_TO)
                    moved = wait_for(lambda: moved_frame(app, window, (left, top)),
                                     "the window to move")
                    app.wait_focus(window)
                    app.pick_from_popup("alt+f", "x")
                    self.assertEqual(app.wait_exit(), 0)
                self.assertEqual(self.read_settings(), settings_line(moved))

    def write_settings(self, settings):
        if settings is not None:
            with open(self.path("settings.ini"), "wb") as file:
                file.write(settings)

    def read_settings(self):
        with open(self.path("settings.ini"), "rb") as file:
            return file.read()


def moved_frame(app, window, start):
    frame = app.frame_rect(window)
    return frame if frame[:2] != start else None


if __name__ == "__main__":
    unittest.main()
