"""An armed alarm keeps the computer from suspending: the desktop portal's
inhibitor, else logind's, on private buses with stand-ins for both."""

import json
import os
import subprocess
import sys
import time
import unittest

import harness as h

HERE = os.path.dirname(os.path.abspath(__file__))

# A bus that anyone may use and own names on, and that starts nothing.
BUS_CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=%s</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
"""


class PrivateBus:
    """A dbus-daemon of its own, with the stand-ins named in services on it."""

    def __init__(self, folder, name, services):
        config = os.path.join(folder, name + ".conf")
        with open(config, "w") as f:
            f.write(BUS_CONFIG % folder)
        self.daemon = subprocess.Popen(["dbus-daemon", "--config-file=" + config, "--nofork", "--print-address"],
                                       stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.address = self.daemon.stdout.readline().strip()
        self.log = os.path.join(folder, name + ".calls")
        open(self.log, "w").close()
        self.service = None
        if services:
            self.service = subprocess.Popen(
                [sys.executable, os.path.join(HERE, "fake_power_bus.py"), self.address, self.log, *services],
                stdout=subprocess.PIPE, text=True)
            assert self.service.stdout.readline().strip() == "ready", "the stand-in did not start"

    def calls(self, name):
        with open(self.log) as f:
            return [c for c in map(json.loads, f) if c["call"] == name]

    def close(self):
        for p in (self.service, self.daemon):
            if p:
                p.kill()
                p.wait()
                p.stdout.close()


class Power(h.AppTest):
    def start_with(self, portal=False, logind=False):
        self.session = PrivateBus(self.dir, "session", ["portal"] if portal else [])
        self.addCleanup(self.session.close)
        self.system = PrivateBus(self.dir, "system", ["logind"] if logind else [])
        self.addCleanup(self.system.close)
        self.start(env={"DBUS_SESSION_BUS_ADDRESS": self.session.address,
                        "DBUS_SYSTEM_BUS_ADDRESS": self.system.address})

    def arm_for_later(self):
        """Arms an alarm hours away; the reason the desktop is given."""
        text = time.strftime("%H:%M:%S", time.localtime(time.time() + 3 * 3600))
        self.set_alarm_text(text)
        self.click(h.CHECK1)
        return "Alarm set for " + text

    def test_portal_holds_a_suspend_inhibitor_while_armed(self):
        self.start_with(portal=True, logind=True)
        reason = self.arm_for_later()
        inhibit = h.wait_for(lambda: self.session.calls("Inhibit"), what="the portal asked")
        self.assertEqual(len(inhibit), 1)
        self.assertEqual(inhibit[0]["flags"], 4)  # suspend, not idle
        self.assertEqual(inhibit[0]["options"], {"reason": reason})
        self.assertEqual(self.session.calls("Close"), [])
        self.click(h.CHECK1)
        closed = h.wait_for(lambda: self.session.calls("Close"), what="the inhibitor closed")
        self.assertEqual([c["handle"] for c in closed], [inhibit[0]["handle"]])
        self.assertEqual(self.system.calls("Inhibit"), [])  # logind only where no portal answers
        self.assertNotIn("may sleep", self.stderr_text())

    def test_without_a_portal_logind_holds_an_idle_lock_while_armed(self):
        self.start_with(logind=True)
        reason = self.arm_for_later()
        inhibit = h.wait_for(lambda: self.system.calls("Inhibit"), what="logind asked")
        self.assertEqual([(c["what"], c["who"], c["why"], c["mode"]) for c in inhibit],
                         [("idle", "Bellwick", reason, "block")])
        time.sleep(0.5)
        self.assertEqual(self.system.calls("lock closed"), [])  # held while armed
        self.click(h.CHECK1)
        h.wait_for(lambda: self.system.calls("lock closed"), what="the lock let go")

    def test_with_neither_the_alarm_still_fires_and_says_so_once(self):
        wav = os.path.join(self.dir, "tone.wav")
        h.make_wav(wav)
        self.write_setting(wav)
        self.start_with()
        self.alarm_in(4)
        for _ in range(3):  # armed, disarmed, armed again
            self.click(h.CHECK1)
        h.wait_for(lambda: h.loudest_sample(self.audio) > 1000, what="sound", timeout=10)
        self.assertTrue(self.alive())
        self.assertEqual(self.dialogs(), [])
        told = [l for l in self.stderr_text().splitlines() if "may sleep" in l]
        self.assertEqual(len(told), 1, told)


if __name__ == "__main__":
    unittest.main()
