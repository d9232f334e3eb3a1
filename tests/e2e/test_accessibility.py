"""What a screen reader sees over AT-SPI, the accessibility bus.

Runs inside its own session bus (dbus-run-session): the accessibility bus
starts once, each test starts Bellwick with Qt's accessibility always on.
"""

import os
import signal
import subprocess
import unittest

import dbus
import pyatspi

from harness import AppTest
from waiting import wait_for

LAUNCHER = "/usr/libexec/at-spi-bus-launcher"

# name -> AT-SPI role name, for the window's children
EXPECTED = {
    "Current time": "label",
    "Alarm time": "text",
    "Set Alarm": "check box",
    "Sound file": "text",
    "Browse": "push button",
    "Close Bellwick": "push button",
    "Move Bellwick": "unknown",  # Qt's grip: AT-SPI has no role of its own for it
}


def application(pid):
    """The application of process pid on the accessibility bus."""
    desktop = pyatspi.Registry.getDesktop(0)
    for i in range(desktop.childCount):
        app = desktop.getChildAtIndex(i)
        try:
            if app is not None and app.get_process_id() == pid:
                return app
        except Exception:  # gone meanwhile
            continue
    return None


class Accessibility(AppTest):
    @classmethod
    def setUpClass(cls):
        # One accessibility bus for all tests: a second launcher in the same
        # session would find the first one's name still taken.
        cls.launcher = subprocess.Popen([LAUNCHER, "--launch-immediately"], start_new_session=True,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        session = dbus.SessionBus()
        wait_for(lambda: session.name_has_owner("org.a11y.Bus"), what="the accessibility bus")

    @classmethod
    def tearDownClass(cls):
        # The launcher's bus daemon would otherwise outlive the tests.
        try:
            os.killpg(cls.launcher.pid, signal.SIGKILL)
        except ProcessLookupError:
            pass
        cls.launcher.wait()

    def setUp(self):
        super().setUp()
        self.start(env={"QT_LINUX_ACCESSIBILITY_ALWAYS_ON": "1"})
        app = wait_for(lambda: application(self.proc.pid), what="Bellwick on the accessibility bus")
        self.assertEqual(app.name, "Bellwick")
        self.frame = wait_for(lambda: app.childCount and app.getChildAtIndex(0), what="its window")
        self.controls = {}
        for i in range(self.frame.childCount):
            child = self.frame.getChildAtIndex(i)
            if child is not None and child.name:
                self.controls[child.name] = child

    def test_window_and_controls_have_their_names_and_roles(self):
        self.assertEqual((self.frame.name, self.frame.getRoleName()), ("Bellwick", "frame"))
        seen = {name: c.getRoleName() for name, c in self.controls.items()}
        self.assertEqual(seen, EXPECTED)

    def test_states_follow_the_controls(self):
        def states(name):
            return self.controls[name].getState()
        self.assertFalse(states("Alarm time").contains(pyatspi.STATE_READ_ONLY))
        self.assertTrue(states("Sound file").contains(pyatspi.STATE_READ_ONLY))
        self.assertFalse(states("Set Alarm").contains(pyatspi.STATE_CHECKED))

    def test_the_clock_text_is_the_time_shown_and_moves_on(self):
        text = self.controls["Current time"].queryText()
        first = text.getText(0, -1)
        self.assertRegex(first, r"\d\d:\d\d:\d\d")
        wait_for(lambda: text.getText(0, -1) != first, what="the next second")

    def test_the_badge_press_action_ends_the_program_with_status_0(self):
        action = self.controls["Close Bellwick"].queryAction()
        names = [action.getName(i) for i in range(action.nActions)]
        self.assertIn("Press", names)
        try:
            action.doAction(names.index("Press"))
        except Exception:  # the program may end before it answers
            pass
        self.assertEqual(self.proc.wait(timeout=20), 0)


if __name__ == "__main__":
    unittest.main()
