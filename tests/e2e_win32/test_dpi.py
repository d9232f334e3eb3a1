"""Bellwick.exe on denser screens: the prefix's LogPixels at 96, 144 and
192 dots per inch. The window scales its 96-dpi layout by the screen's."""

import subprocess
import unittest

from harness import FAULTS_EXE, WINE_RUN, WineTest, settle, wait_for, xdotool
from window_points import BANNER, IMAGE3, OUTLINES, WINDOW, pixels, scaled, scaled_box

DPI_KEYS = [r"HKCU\Control Panel\Desktop",
            r"HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts"]
YELLOW = (255, 255, 0)


def ink_height(image):
    rows = [y for y in range(image.height) if any(image.getpixel((x, y)) == YELLOW for x in range(image.width))]
    return max(rows) - min(rows) + 1 if rows else 0


class DpiTest(WineTest):
    def run_at(self, dpi):
        """Starts Bellwick.exe on a screen of dpi; the clock's text height."""
        if self.proc:
            self.proc.kill()
            self.proc.wait()
        for key in DPI_KEYS:
            subprocess.run([WINE_RUN, "reg", "add", key, "/v", "LogPixels", "/t", "REG_DWORD", "/d", str(dpi), "/f"],
                           env=self.env, check=True, capture_output=True)
        settle(self.env)  # the server reads it when it starts
        self.dpi = dpi
        self.start()
        return ink_height(self.clock())

    def test_window_region_and_text_scale_with_the_screen(self):
        text96 = self.run_at(96)
        self.assertGreater(text96, 0)
        for dpi in (96, 144, 192):
            with self.subTest(dpi=dpi):
                text = self.run_at(dpi) if dpi != 96 else text96
                self.assertEqual(self.size(), scaled_box(WINDOW, dpi))
                rects = [tuple(map(int, line.split())) for line in self.probe("region").splitlines()]
                self.assertEqual(pixels(rects), pixels([scaled_box(r, dpi) for r in OUTLINES]))
                # The face may change with the size (an outline twin for a bitmap one).
                self.assertLessEqual(abs(text - text96 * dpi / 96), 2, "clock text %d px at %d dpi" % (text, dpi))

    def test_the_drag_and_the_badge_work_at_150_percent(self):
        self.run_at(144)
        x0, y0 = self.origin()
        grab = (x0 + scaled(BANNER[0], 144), y0 + scaled(BANNER[1], 144))
        xdotool("mousemove", *grab, "mousedown", 1)
        for step in range(1, 5):
            xdotool("mousemove", grab[0] + 10 * step, grab[1] + 7 * step)
        xdotool("mouseup", 1)
        wait_for(lambda: self.origin() == (x0 + 40, y0 + 28), what="the window to follow the pointer")
        self.click(IMAGE3)
        self.assertEqual(self.ended(), 0)

    def test_on_a_screen_of_another_dpi_the_window_is_laid_out_again(self):
        self.dpi = 192
        self.start(FAULTS_EXE, {"BELLWICK_DPI": "192"})  # shown at 96, then told it is at 192
        wait_for(lambda: self.size() == scaled_box(WINDOW, 192), what="the window at 192 dpi")
        rects = [tuple(map(int, line.split())) for line in self.probe("region").splitlines()]
        self.assertEqual(pixels(rects), pixels([scaled_box(r, 192) for r in OUTLINES]))
        self.click(IMAGE3)
        self.assertEqual(self.ended(), 0)

    def size(self):
        left, top, right, bottom = map(int, self.probe("rect").split())
        return right - left, bottom - top


if __name__ == "__main__":
    unittest.main()
