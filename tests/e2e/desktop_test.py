"""The desktop around markola: window geometry on X and Wayland, and a real input method."""

from harness import (SCREEN_SIZE, TIMEOUT, InputMethodSession, MarkolaTestCase, Session,
                     WaylandSession, wait_for)

FITS = (*map(range, SCREEN_SIZE), range(200, SCREEN_SIZE[0] + 1), range(120, SCREEN_SIZE[1] + 1))
# settings.ini and the scale -> the frame's left, top, width and height in pixels (a fraction may
# round either way; a left below 0 or a place on no screen turns default) and, for a known frame
# moved before the close, settings.ini with the size read and the place moved to.
GEOMETRIES = [
    (b"6000,7000,1500,1500", None, ([100], [100], [400], [466, 467]), b"6000,7000"),
    (b"6000,7000,-90000,1500\r\n", None, ([128], [100], [400], [466, 467]), b"6000,7000"),
    (b"6000,7000,90000,90000", None, ([128], [89], [400], [466, 467]), b"6000,7000"),
    *((b"4000,5000,750,750", scale, FITS, b"4000,5000,750,750\r\n")
      for scale in ("1", "1.25", "1.5", "2")),  # not moved: the numbers read (fit at 2)
    *((odd, None, FITS, None)
      for odd in (b"", b"0,0,0,0", b"1,1,1,1", b"2147483647,2147483647,100,100")),
]


class WindowGeometryTest(MarkolaTestCase):
    def test_opens_at_the_stored_geometry_or_one_that_fits_and_writes_its_own_back(self):
        for settings, scale, frame, written in GEOMETRIES:
            with self.subTest(settings=settings, scale=scale):
                self.settings.write_bytes(settings)
                with Session(self.workdir, env=scale and {"QT_SCALE_FACTOR": scale}) as app:
                    window = app.main_window()
                    opened = app.frame_rect(window)
                    self.assertTrue(all(v in allowed for v, allowed in zip(opened, frame)), opened)
                    if frame is not FITS:
                        app.x("xdotool", "windowmove", "--sync", str(window), "200", "150")
                        moved = wait_for(lambda: (f := app.frame_rect(window))[:2] != opened[:2]
                                         and f, "the window to move")
                        written += b",%d,%d\r\n" % (moved[0] * 15, moved[1] * 15)
                        app.main_window()
                    app.pick_from_popup("alt+f", "x")  # openbox may drop an Alt+F4 sent at once
                    self.assertEqual(app.markola.wait(TIMEOUT), 0)
                if written:
                    self.assertEqual(self.settings.read_bytes(), written)

    def test_on_wayland_closed_from_its_menu_as_a_screen_reader_would_it_stores_its_size(self):
        with WaylandSession(self.workdir) as app:
            app.menu_item("終了(X) Alt+F4")
            self.assertEqual(app.markola.wait(TIMEOUT), 0)
        self.assertEqual(self.settings.read_bytes(), b"5820,6390,1920,1335\r\n")


class InputMethodTest(MarkolaTestCase):
    def test_compositions_commit_where_typed_and_are_no_edits_of_their_own(self):
        self.memo_file("plan").write_bytes(b"abcdef\r\nx\r\n")
        with InputMethodSession(self.workdir, "plan") as app:
            app.main_window()
            app.key("ctrl+Home", "End")
            app.compose("sushi")
            # The composition goes down with its line.
            app.click(*app.menu_item("▼", press=False).split())
            app.key("Return", "ctrl+s")
            self.wait_memos({"plan": "x\r\n\r\nabcdefすし\r\n".encode("cp932")})

            app.key("ctrl+n", "ctrl+a")
            app.compose("nihongo", "space", "Return", "Tab")
            app.compose("nihongo", "space", "Return", "ctrl+s")
            self.wait_memos({"日本語": "日本語".encode("cp932")})

            app.compose("sushi", "Escape", "alt+F4")  # nothing to ask about at the close
            self.assertEqual(app.markola.wait(TIMEOUT), 0)
