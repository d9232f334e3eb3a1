"""An armed alarm keeps the computer from suspending: the desktop portal's
inhibitor, else logind's, on private buses with stand-ins for both."""

import json
import os
import sys
import time
import unittest

import harness as h


class Power(h.AppTest):
    def bus(self, name, *services):
        """A dbus-daemon of its own with the named stand-ins; its address."""
        calls = os.path.join(self.dir, name + ".calls")
        open(calls, "w").close()
        address = self.private_bus(name)
        if services:
            fake = os.path.join(os.path.dirname(os.path.abspath(__file__)), "fake_power_bus.py")
            self.assertEqual(self.child([sys.executable, fake, address, calls, *services]).stdout.readline(), "ready\n")

        def made(call):
            with open(calls) as f:
                return [c for c in map(json.loads, f) if c["call"] == call]
        return address, made

    def start_with(self, session=(), system=()):
        session_address, self.session = self.bus("session", *session)
        system_address, self.system = self.bus("system", *system)
        self.start(env={"DBUS_SESSION_BUS_ADDRESS": session_address, "DBUS_SYSTEM_BUS_ADDRESS": system_address})

    def arm_for_later(self):
        """Arms an alarm hours away; the reason the desktop is given."""
        text = time.strftime("%H:%M:%S", time.localtime(time.time() + 3 * 3600))
        self.set_alarm_text(text)
        self.click(h.CHECK1)
        return "Alarm set for " + text

    def test_portal_holds_a_suspend_inhibitor_while_armed(self):
        self.start_with(session=["portal"], system=["logind"])
        reason = self.arm_for_later()
        inhibit = h.wait_for(lambda: self.session("Inhibit"), what="the portal asked")
        self.assertEqual([(c["flags"], c["options"]) for c in inhibit], [(4, {"reason": reason})])  # suspend only
        unticked = time.time()
        self.click(h.CHECK1)
        closed = h.wait_for(lambda: self.session("Close"), what="the inhibitor closed")
        self.assertEqual([c["handle"] for c in closed], [inhibit[0]["handle"]])
        self.assertGreaterEqual(closed[0]["at"], unticked, "closed while armed")
        self.assertEqual(self.system("Inhibit"), [])  # logind only where no portal answers
        self.assertNotIn("may sleep", self.stderr_text())

    def test_without_a_portal_logind_holds_an_idle_lock_while_armed(self):
        self.start_with(system=["logind"])
        reason = self.arm_for_later()
        inhibit = h.wait_for(lambda: self.system("Inhibit"), what="logind asked")
        self.assertEqual([(c["what"], c["who"], c["why"], c["mode"]) for c in inhibit],
                         [("idle", "Bellwick", reason, "block")])
        self.clock_goes_on()  # armed through a whole tick
        unticked = time.time()
        self.click(h.CHECK1)
        closed = h.wait_for(lambda: self.system("lock closed"), what="the lock let go")
        self.assertGreaterEqual(closed[0]["at"], unticked, "let go while armed")

    def test_with_neither_the_alarm_still_fires_and_says_so_once(self):
        wav = os.path.join(self.dir, "tone.wav")
        h.make_wav(wav)
        self.write_setting(wav)
        self.start_with()
        self.alarm_in(3600)
        self.click(h.CHECK1)  # armed
        self.click(h.CHECK1)  # disarmed
        self.alarm_in()
        self.click(h.CHECK1)  # armed again, for now
        h.wait_for(lambda: h.loudest_sample(self.audio) > 1000, what="sound")
        self.assertTrue(self.alive())
        self.assertEqual(self.dialogs(), [])
        told = [line for line in self.stderr_text().splitlines() if "may sleep" in line]
        self.assertEqual(len(told), 1, told)


if __name__ == "__main__":
    unittest.main()
