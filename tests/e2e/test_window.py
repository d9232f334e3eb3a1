"""The shaped window on screen, dragging it, and the ways it closes."""

import os
import signal
import unittest

import harness as h
from window_points import OUTLINES, pixels, scaled_box


class ShapedWindow(h.AppTest):
    def test_background_between_the_pictures_is_see_through(self):
        self.start()
        x, y, w, hgt = h.geometry(self.window)
        self.assertEqual((w, hgt), h.WINDOW)
        shot = h.screenshot(os.path.join(self.dir, "shot.png"))
        for px, py in [(5, 5), (60, 200), (400, 330)]:
            self.assertEqual(shot.getpixel((x + px, y + py)), h.GREY, (px, py))
        for px, py in [(20, 25), (227, 320), (228, 227), (120, 240)]:
            self.assertNotEqual(shot.getpixel((x + px, y + py)), h.GREY, (px, py))

    def test_at_150_percent_the_window_and_its_shape_scale_as_on_windows(self):
        magenta = (255, 0, 255)  # no colour of the window's: grey is the text boxes' frame
        h.grey_root(self.dir, magenta)
        self.dpi = 144
        self.start(env={"QT_SCALE_FACTOR": "1.5"})
        x, y, w, hgt = h.geometry(self.window)
        self.assertEqual((w, hgt), scaled_box(h.WINDOW, 144))
        shot = h.screenshot(os.path.join(self.dir, "shot.png"))
        area = {(px, py) for px in range(w) for py in range(hgt)}
        see_through = {p for p in area if shot.getpixel((x + p[0], y + p[1])) == magenta}
        # The Windows program's region at 144 dpi is these outlines, scaled.
        self.assertEqual(area - see_through, area & pixels([scaled_box(r, 144) for r in OUTLINES]))

    def test_window_is_centred(self):
        self.start()
        x, y, _, _ = h.geometry(self.window)
        sw, sh = (int(v) for v in h.run("xdotool", "getdisplaygeometry").split())
        self.assertLessEqual(abs(x - (sw - h.WINDOW[0]) // 2), 1)
        self.assertLessEqual(abs(y - (sh - h.WINDOW[1]) // 2), 1)

    def test_clock_on_screen_shows_each_new_second(self):
        self.start()
        ticked = self.clock_goes_on(3)[1:]  # drawn in yellow; the first may be the caption before any tick
        self.assertEqual(len({clock.tobytes() for clock in ticked}), 3)


class Dragging(h.AppTest):
    def drag(self, start, by, button=1):
        x, y = self.origin()
        h.run("xdotool", "mousemove", str(x + start[0]), str(y + start[1]))
        h.run("xdotool", "mousedown", str(button))
        for i in range(1, 6):
            h.run("xdotool", "mousemove", str(x + start[0] + by[0] * i // 5), str(y + start[1] + by[1] * i // 5))
        h.run("xdotool", "mouseup", str(button))

    def assert_moved_by(self, before, by):
        at = (before[0] + by[0], before[1] + by[1])
        try:
            h.wait_for(lambda: self.origin() == at, what="the window at %s" % (at,))
        except AssertionError:
            self.assertEqual(self.origin(), at)
            raise

    def test_banner_drag_keeps_the_grab_point_under_the_pointer(self):
        self.start()
        before = self.origin()
        self.drag(h.BANNER, (30, 15))
        self.assert_moved_by(before, (30, 15))

    def test_right_button_and_the_clock_do_not_drag(self):
        self.start()
        before = self.origin()
        self.drag(h.BANNER, (30, 15), button=3)
        self.drag((225, 56), (30, 15))  # the clock label, in front of the banner
        # A drag that moves it is handled after them: then it has moved by that alone.
        self.drag(h.BANNER, (7, 5))
        self.assert_moved_by(before, (7, 5))


class Closing(h.AppTest):
    def test_badge_click_ends_the_program(self):
        self.start()
        self.click(h.IMAGE3)
        self.assertEqual(self.proc.wait(timeout=10), 0)

    def test_termination_signals_end_the_program_cleanly(self):
        for sig in (signal.SIGTERM, signal.SIGINT, signal.SIGHUP):
            with self.subTest(sig=sig):
                self.start()
                self.assertEqual(self.terminate(sig), 0)


if __name__ == "__main__":
    unittest.main()
