"""Bellwick.exe's window under Wine: shape, artwork, focus, drag, ways out."""

import os
import subprocess
import unittest

from harness import FAULTS_EXE, GREY, WINE_RUN, WineTest, wait_for, xdotool
from waiting import dated_alarm
from window_points import BANNER, BROWSE, IMAGE3, LABEL1, OUTLINES, TXTFILE, pixels

RED = (255, 0, 0)
YELLOW = (255, 255, 0)
DEFAULT_SOUND = "File to play for alarm"


def windows_titled_bellwick():
    r = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Bellwick$"], capture_output=True, text=True)
    return len(r.stdout.split())


class WindowTest(WineTest):
    def test_shows_its_artwork_cut_to_its_outlines(self):
        self.start()
        x0, y0 = self.origin()
        shot = self.screenshot()
        at = lambda x, y: shot.getpixel((x0 + x, y0 + y))
        for p in [(5, 5), (60, 200), (400, 330)]:
            self.assertEqual(at(*p), GREY, "see-through at %s" % (p,))
        self.assertNotEqual(at(20, 25), GREY)
        self.assertEqual(at(227, 320), RED)
        clock = [at(x, y) for x in range(LABEL1[0], LABEL1[2]) for y in range(LABEL1[1], LABEL1[3])]
        self.assertIn(YELLOW, clock)

    def test_region_is_the_union_of_the_outlines(self):
        self.start()
        rects = [tuple(map(int, line.split())) for line in self.probe("region").splitlines()]
        self.assertEqual(pixels(rects), pixels(OUTLINES))

    def test_focus_starts_in_text1_and_tab_follows_the_tab_order(self):
        self.start()
        first = self.probe("focus")
        self.assertTrue(first.startswith("Edit "), first)
        self.assertNotIn("File to play", first)
        unfocused = self.browse_button()
        for expected in ["Button Set Alarm", "Edit File to play for alarm", "Button Browse"]:
            xdotool("key", "Tab")
            wait_for(lambda: self.probe("focus") == expected, what=expected)
        wait_for(lambda: self.browse_button() != unfocused, what="Browse's focus frame")

    def browse_button(self):
        x, y = self.origin()
        left, top, right, bottom = OUTLINES[5]  # cmdBrowse
        return list(self.screenshot().crop((x + left, y + top, x + right, y + bottom)).getdata())

    def test_the_keyboard_alone_arms_the_alarm_and_opens_the_dialog(self):
        self.start()
        xdotool("key", "Escape", "Return")  # nothing happens
        xdotool("key", "ctrl+a")
        xdotool("type", "--delay", 20, dated_alarm(0)[0])
        xdotool("key", "Tab")
        wait_for(lambda: self.probe("focus") == "Button Set Alarm", what="Set Alarm focused")
        xdotool("key", "space")
        wait_for(lambda: "bellwick.alarm: fired" in self.event_log(), what="the alarm")
        # The default sound is no file: OK closes its message, the focus comes back.
        wait_for(lambda: windows_titled_bellwick() >= 2, what="the message box")
        xdotool("key", "Return")
        wait_for(lambda: self.probe("focus") == "Button Set Alarm", what="Set Alarm focused again")
        xdotool("key", "shift+Tab")
        wait_for(lambda: self.probe("focus").startswith("Edit 20"), what="the alarm box")
        xdotool("key", "Tab", "Tab", "Tab")
        wait_for(lambda: self.probe("focus") == "Button Browse", what="Browse focused")
        xdotool("key", "Return")
        wait_for(lambda: subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "Select sound to wake up to"],
                                        capture_output=True).returncode == 0, what="the file dialog")

    def test_dragging_the_banner_moves_the_window_with_the_pointer(self):
        self.start()
        x0, y0 = self.origin()
        xdotool("mousemove", x0 + BANNER[0], y0 + BANNER[1], "mousedown", 1)
        for step in range(1, 5):
            xdotool("mousemove", x0 + BANNER[0] + 10 * step, y0 + BANNER[1] + 7 * step)
        xdotool("mouseup", 1)
        wait_for(lambda: self.origin() == (x0 + 40, y0 + 28), what="the window to follow")

    def test_clicks_reach_the_handlers_of_check1_txtfile_and_browse(self):
        self.start()
        self.assertEqual(self.probe("registry"), "absent")
        # An alarm an hour ahead: the time shown at the start is due at once,
        # and its failure message would take the clicks that follow.
        self.arm(3600)  # arming saves the sound file's name
        wait_for(lambda: self.probe("registry") == DEFAULT_SOUND, what="the saved setting")
        self.click(TXTFILE)  # selects all of it, in UTF-16 units
        wait_for(lambda: self.probe("selection") == "0 %d" % len(DEFAULT_SOUND), what="the selection")
        self.click(BROWSE)
        wait_for(lambda: subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "Select sound to wake up to"],
                                        capture_output=True).returncode == 0, what="the file dialog")

    def test_a_typed_alarm_time_fires_once_armed(self):
        self.start()
        self.arm(1, "%m/%d/%Y %I:%M:%S %p")  # en-US, the prefix's locale: "12/08/2026 08:05:09 PM"
        wait_for(lambda: "bellwick.alarm: fired" in self.event_log(), what="the alarm")

    def test_a_fault_in_a_paint_or_a_tick_is_reported_and_ends_with_status_1(self):
        for where in ["paint", "tick"]:
            with self.subTest(where), open(os.path.join(self.dir, where + ".txt"), "w+") as errors:
                proc = subprocess.Popen([WINE_RUN, FAULTS_EXE], env=dict(self.env, BELLWICK_FAULT=where),
                                        stdout=subprocess.DEVNULL, stderr=errors)
                try:
                    # The main window and the fatal report's box, both titled "Bellwick".
                    wait_for(lambda: windows_titled_bellwick() >= 2, what="the fatal report's box")
                    xdotool("key", "Return")  # OK
                    self.assertEqual(proc.wait(30), 1)
                finally:
                    if proc.poll() is None:
                        proc.kill()
                errors.seek(0)
                self.assertIn("bellwick: fatal error: injected fault in a " + where, errors.read())

    def test_a_click_on_the_badge_ends_at_once(self):
        self.start()
        self.click(IMAGE3)
        self.assertEqual(self.ended(), 0)

    def test_a_close_from_the_system_takes_the_termination_path(self):
        self.start()
        self.probe("close")
        self.assertEqual(self.ended(), 0)


if __name__ == "__main__":
    unittest.main()
