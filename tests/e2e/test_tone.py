"""When the alarm's sound cannot play, the built-in tone rings under the
message and stops at OK; an unreadable alarm text and a working file never
bring it; without any sound device the window is marked urgent."""

import os
import random
import subprocess
import unittest

import harness as h

RATE = 44100  # the mixer's, stereo 16-bit
HALF_SECOND = RATE * 2 * 2 // 2


def pitch(path):
    """The captured sound's pitch in Hz, from its sign changes over the loud
    stretches of the left channel; 0 when nothing was heard."""
    loud = [s for s in h.samples(path)[::2] if abs(s) > 1000]
    if len(loud) < RATE // 20:
        return 0
    changes = sum(1 for a, b in zip(loud, loud[1:]) if (a < 0) != (b < 0))
    return changes / 2 / (len(loud) / RATE)


def size(path):
    return os.path.getsize(path) if os.path.exists(path) else 0


class Tone(h.AppTest):
    def ring(self, sound, alarm=None):
        self.write_setting(sound)
        self.start()
        if alarm:
            self.set_alarm_text(alarm)
        else:
            self.alarm_in()
        self.click(h.CHECK1)
        h.wait_for(self.dialogs, what="the failure message")

    def test_the_tone_rings_under_the_message_and_stops_at_ok(self):
        good = os.path.join(self.dir, "good.wav")
        h.make_wav(good, seconds=1)
        h.run("lame", "--quiet", good, os.path.join(self.dir, "good.mp3"))
        with open(os.path.join(self.dir, "good.mp3"), "rb") as f:
            mp3 = f.read()
        bad = {
            "missing": os.path.join(self.dir, "moved away.wav"),
            "not a sound": os.path.join(self.dir, "noise.wav"),
            "truncated MP3": os.path.join(self.dir, "cut.mp3"),
        }
        with open(bad["not a sound"], "wb") as f:
            f.write(bytes(random.Random(3).randrange(256) for _ in range(40000)))
        with open(bad["truncated MP3"], "wb") as f:
            f.write(mp3[:300])
        for what, path in bad.items():
            with self.subTest(what):
                self.fresh_audio()
                self.ring(path)
                h.wait_for(lambda: size(self.audio) > RATE * 4 // 2, what="half a second of tone")
                self.assertAlmostEqual(pitch(self.audio), 2000, delta=100)
                failures = self.events("failed")
                self.assertEqual(len(failures), 1, failures)
                self.assertIn("the built-in tone played instead", failures[0][1])
                self.dismiss_dialog()
                at_ok = size(self.audio)
                self.clock_goes_on()  # a second and more after OK
                self.assertLessEqual(size(self.audio) - at_ok, HALF_SECOND)
                self.assertFalse(self.holds_audio())
                self.assertEqual(self.terminate(), 0)

    def test_an_unreadable_alarm_text_brings_the_message_alone(self):
        good = os.path.join(self.dir, "good.wav")
        h.make_wav(good, seconds=1)
        self.ring(good, alarm="not a time")
        self.dismiss_dialog()
        self.clock_goes_on()
        self.assertFalse(os.path.exists(self.audio))
        self.assertEqual(self.terminate(), 0)

    def test_a_working_file_is_heard_alone(self):
        good = os.path.join(self.dir, "good.wav")
        h.make_wav(good, seconds=1)
        self.write_setting(good)
        self.start()
        self.alarm_in()
        self.click(h.CHECK1)
        h.wait_for(lambda: self.events("fired"), what="the alarm")
        h.wait_for(lambda: size(self.audio) > 2 * RATE * 4, what="two seconds of sound")
        self.assertAlmostEqual(pitch(self.audio), 440, delta=30)
        self.assertEqual(self.dialogs(), [])
        self.assertEqual(self.terminate(), 0)

    def test_without_a_sound_device_the_window_is_marked_urgent(self):
        self.write_setting(os.path.join(self.dir, "missing.wav"))
        self.start(env={"SDL_AUDIODRIVER": "no-such-driver"})
        self.alarm_in()
        self.click(h.CHECK1)
        h.wait_for(self.dialogs, what="the failure message")
        hints = subprocess.run(["xprop", "-id", str(self.window), "WM_HINTS", "_NET_WM_STATE"],
                               capture_output=True, text=True).stdout
        self.assertTrue("urgency hint bit is set" in hints or "DEMANDS_ATTENTION" in hints, hints)
        self.assertIn("nor could the built-in tone play", self.events("failed")[0][1])
        self.dismiss_dialog()
        self.clock_goes_on()
        self.assertTrue(self.alive())
        self.assertEqual(self.terminate(), 0)


if __name__ == "__main__":
    unittest.main()
