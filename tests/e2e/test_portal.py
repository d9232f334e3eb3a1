"""Browse through the desktop portal's file chooser: Qt's portal theme on a
private session bus with a stand-in for the portal, which answers each
OpenFile in turn and writes down what it was asked."""

import json
import os
import sys
import unittest

import harness as h

TITLE = "Select sound to wake up to"
SOUNDS = ["Sound Resources (*.wav;*.mp3;)", [[0, "*.wav"], [0, "*.mp3"]]]  # 0: a glob
FILTERS = [SOUNDS, ["All files", [[0, "*"]]]]


class PortalBrowse(h.AppTest):
    def setUp(self):
        super().setUp()
        self.home = os.path.join(self.dir, "home")
        self.old = os.path.join(self.dir, "before", "old.wav")
        self.new = os.path.join(self.dir, "new dir", "Grüße wake.wav")
        for wav in (self.old, self.new):
            os.makedirs(os.path.dirname(wav))
            h.make_wav(wav, 1)
        os.makedirs(self.home)

    def calls(self, kind):
        with open(self.log_file) as f:
            return [c for c in map(json.loads, f) if c["call"] == kind]

    def start_with_portal(self, answers):
        self.write_setting(self.old)
        address = self.private_bus("session")
        self.log_file = os.path.join(self.dir, "portal.calls")
        open(self.log_file, "w").close()
        fake = os.path.join(os.path.dirname(os.path.abspath(__file__)), "fake_file_chooser.py")
        self.assertEqual(self.child([sys.executable, fake, address, self.log_file, *answers]).stdout.readline(),
                         "ready\n")
        # No system bus of the machine's: arming finds no logind on this one.
        self.start(env={"DBUS_SESSION_BUS_ADDRESS": address, "DBUS_SYSTEM_BUS_ADDRESS": address,
                        "QT_QPA_PLATFORMTHEME": "xdgdesktopportal", "HOME": self.home})
        self.alarm_in(3 * 3600)  # armed, it does not go off meanwhile

    def browse_then_arm(self, answered):
        """Clicks Browse, waits until the portal's answer has been taken,
        checks that nothing was saved, then clicks Set Alarm; the saved sound."""
        os.utime(self.ini, (0, 0))
        self.click(h.BROWSE)
        h.wait_for(lambda: len(self.calls("answered")) == answered, what="the portal's answer")
        self.clock_goes_on()  # the answer has been handled meanwhile
        self.assertEqual(os.stat(self.ini).st_mtime, 0, "saved before Set Alarm changed")
        self.click_check1()
        return self.stored_sound()

    def test_a_choice_shows_and_is_saved_at_set_alarm_and_a_cancel_changes_nothing(self):
        for answers, saved in (
            (["new", "cancel"], ["new", "new"]),
            (["cancel"], ["old"]),
        ):
            with self.subTest(answers=answers):
                paths = {"new": self.new, "old": self.old}
                self.start_with_portal([paths.get(a, a) for a in answers])
                self.assertEqual([self.browse_then_arm(i + 1) for i in range(len(answers))],
                                 [paths[s] for s in saved])

                opened = self.calls("OpenFile")
                self.assertEqual(len(opened), len(answers))
                for call in opened:
                    options = call["options"]
                    self.assertEqual((call["parent_window"], call["title"]), ("x11:%x" % self.window, TITLE))
                    self.assertEqual((options["filters"], options["current_filter"]), (FILTERS, SOUNDS))
                    self.assertEqual((options["modal"], options["multiple"], options["directory"]),
                                     (True, False, False))
                # Each starts in the last choice's folder, else at home. Qt 6.4
                # hands the portal a folder only to save in, later Qt to open in too.
                folder, folders = self.home, []
                for a in answers:
                    folders.append(folder)
                    folder = os.path.dirname(paths[a]) if a in paths else folder
                sent = [call["options"].get("current_folder") for call in opened]
                self.assertIn(sent, ([None] * len(opened), folders))


if __name__ == "__main__":
    unittest.main()
