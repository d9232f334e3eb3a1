"""The alarm rings until it is stopped: a short file over and over, the
alarm's save kept from standing between the alarm and its sound, and the
ringing window brought forward."""

import fcntl
import os
import subprocess
import time
import unittest

import harness as h

BYTES_PER_SECOND = 44100 * 2 * 2  # the mixer's 16-bit stereo


def stacking():
    """The window manager's client windows, bottom to top."""
    out = h.run("xprop", "-root", "_NET_CLIENT_LIST_STACKING")
    return [int(w, 16) for w in out.split("#", 1)[1].replace(",", " ").split()] if "#" in out else []


def active_window():
    out = h.run("xprop", "-root", "_NET_ACTIVE_WINDOW")
    return int(out.split("#", 1)[1].split(",")[0], 16) if "#" in out else 0


class Ringing(h.AppTest):
    def chosen_wav(self):
        wav = os.path.join(self.dir, "one second.wav")
        h.make_wav(wav, seconds=1)
        self.write_setting(wav)
        return wav

    def test_a_one_second_file_still_rings_twenty_seconds_on(self):
        self.chosen_wav()
        self.start()
        self.alarm_in()
        self.click(h.CHECK1)
        h.wait_for(lambda: h.loudest_sample(self.audio, 20 * BYTES_PER_SECOND) > 1000, timeout=60,
                   what="sound twenty seconds after the alarm")
        self.assertEqual(self.dialogs(), [])
        self.assertEqual(self.terminate(), 0)

    def test_a_locked_settings_folder_does_not_hold_the_sound(self):
        wav = self.chosen_wav()
        folder = os.open(self.config, os.O_RDONLY | os.O_DIRECTORY)
        self.addCleanup(os.close, folder)

        def lock():
            self.write_setting("changed meanwhile")  # the alarm's own save must put the choice back
            fcntl.flock(folder, fcntl.LOCK_EX)
        due = self.arm_ahead(lock)
        heard = h.wait_for(lambda: h.loudest_sample(self.audio) > 1000 and time.time(), what="sound")
        self.assertLess(heard - due, 0.3, "the sound waited for the settings folder")
        # Let go 4 s after the alarm's second, as a slow disk would.
        time.sleep(max(0.0, due + 4 - time.time()))
        fcntl.flock(folder, fcntl.LOCK_UN)
        h.wait_for(lambda: self.stored_sound() == wav, what="the choice saved")
        self.assertEqual(self.dialogs(), [])

    def test_the_ringing_window_comes_forward_without_taking_the_keyboard(self):
        self.child(["openbox"])
        h.wait_for(lambda: "window id" in h.run("xprop", "-root", "_NET_SUPPORTING_WM_CHECK"), what="openbox")
        self.chosen_wav()
        covers = []

        def cover():
            if not covers:
                covers.append(self.child(["xlogo", "-geometry", "1024x768+0+0"]))
            mine = self.window
            h.wait_for(lambda: len(stacking()) > 1 and stacking()[-1] != mine and active_window() not in (0, mine),
                       what="the clock covered")
        self.arm_ahead(cover)
        other = active_window()
        h.wait_for(lambda: h.loudest_sample(self.audio) > 1000, what="sound")
        h.wait_for(lambda: stacking()[-1] == self.window, what="the clock on top")
        hints = subprocess.run(["xprop", "-id", str(self.window), "WM_HINTS", "_NET_WM_STATE"],
                               capture_output=True, text=True).stdout
        self.assertTrue("urgency hint bit is set" in hints or "DEMANDS_ATTENTION" in hints, hints)
        self.assertEqual(active_window(), other, "the keyboard was taken")


if __name__ == "__main__":
    unittest.main()
