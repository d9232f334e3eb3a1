"""What a screen reader sees of Bellwick.exe through Microsoft Active
Accessibility: win_probe.exe reads the window's accessible object from a
second process, as a screen reader does."""

import unittest

from harness import WineTest, wait_for, xdotool
from window_points import BANNER, IMAGE3, LABEL1, TEXT1

# Roles and states of oleacc.h.
ROLE_CLIENT, ROLE_GRIP, ROLE_STATICTEXT, ROLE_TEXT, ROLE_PUSHBUTTON, ROLE_CHECKBUTTON = 0x0A, 0x04, 0x29, 0x2A, 0x2B, 0x2C
STATE_CHECKED, STATE_READONLY = 0x10, 0x40

# name -> role, for the window's children: the names AT-SPI gives on Linux.
EXPECTED = {
    "Current time": ROLE_STATICTEXT,
    "Alarm time": ROLE_TEXT,
    "Set Alarm": ROLE_CHECKBUTTON,
    "Sound file": ROLE_TEXT,
    "Browse": ROLE_PUSHBUTTON,
    "Close Bellwick": ROLE_PUSHBUTTON,
    "Move Bellwick": ROLE_GRIP,
}


def element(line):
    name, role, state, value, box = line.split("\t")
    return name, {"role": int(role, 16), "state": int(state, 16), "value": value, "box": tuple(map(int, box.split()))}


class Msaa(WineTest):
    def setUp(self):
        super().setUp()
        self.start()

    def read(self):
        """The window's (name, facts) and its children's, by name."""
        lines = self.probe("accessible").splitlines()
        self.assertTrue(lines, "no accessible object")
        return element(lines[0]), dict(element(line) for line in lines[1:])

    def test_window_and_controls_have_their_names_and_roles(self):
        (name, window), children = self.read()
        self.assertEqual((name, window["role"]), ("Bellwick", ROLE_CLIENT))
        self.assertEqual({n: c["role"] for n, c in children.items()}, EXPECTED)

    def test_states_follow_the_controls(self):
        _, children = self.read()
        state = lambda name: children[name]["state"]
        self.assertFalse(state("Alarm time") & STATE_READONLY)
        self.assertTrue(state("Sound file") & STATE_READONLY)
        self.assertTrue(state("Current time") & STATE_READONLY)
        self.assertFalse(state("Set Alarm") & STATE_CHECKED)
        self.arm(3600)  # ticks it; an hour ahead, so no message takes the window
        wait_for(lambda: self.read()[1]["Set Alarm"]["state"] & STATE_CHECKED, what="Set Alarm checked")

    def test_the_clock_value_is_the_time_shown_and_moves_on(self):
        first = self.read()[1]["Current time"]["value"]
        self.assertRegex(first, r"\d:\d\d:\d\d")
        wait_for(lambda: self.read()[1]["Current time"]["value"] != first, what="the next second")
        self.assertEqual(self.probe("changes"), "Current time")  # told, as each second is shown

    def test_elements_lie_where_they_are_drawn(self):
        x0, y0 = self.origin()
        _, children = self.read()
        clock = ((LABEL1[0] + LABEL1[2]) // 2, (LABEL1[1] + LABEL1[3]) // 2)
        for name, (x, y) in [("Current time", clock), ("Close Bellwick", IMAGE3), ("Move Bellwick", BANNER),
                             ("Alarm time", TEXT1)]:
            with self.subTest(name):
                left, top, width, height = children[name]["box"]
                self.assertTrue(left <= x0 + x < left + width and top <= y0 + y < top + height, children[name]["box"])
                self.assertEqual(self.probe("hit", str(x0 + x), str(y0 + y)), name)

    def test_the_badge_default_action_ends_with_status_0(self):
        self.assertEqual(self.probe("press", "Close Bellwick"), "0")  # S_OK: answered before the end
        self.assertEqual(self.ended(), 0)

    def test_alt_f4_ends_with_status_0(self):
        self.click(TEXT1)
        xdotool("key", "alt+F4")
        self.assertEqual(self.ended(), 0)


if __name__ == "__main__":
    unittest.main()
