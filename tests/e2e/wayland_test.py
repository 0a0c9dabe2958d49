"""On Wayland: the program runs natively, is closed through its own menu as a screen reader
presses it, and stores its size although a Wayland client never learns its position."""

from harness import MarkolaTestCase, WaylandSession


class WaylandTest(MarkolaTestCase):
    def test_closed_from_its_menu_it_stores_its_size(self):
        with WaylandSession(self.workdir) as app:
            app.press_menu_item("終了(X) Alt+F4")
            self.assertEqual(app.wait_exit(), 0)
        self.assertEqual(self.settings.read_bytes(), b"5820,6390,1920,1335\r\n")
