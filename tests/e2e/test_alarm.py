"""The alarm going off with the real player and SDL's disk audio output."""

import os
import unittest

import harness as h


class Alarm(h.AppTest):
    def test_alarm_plays_the_chosen_file_at_its_second(self):
        wav = os.path.join(self.dir, "tone.wav")
        h.make_wav(wav)
        self.write_setting(wav)
        self.start()
        due = self.alarm_in(2)
        self.click(h.CHECK1)
        (fired, _), = h.wait_for(lambda: self.events("fired"), what="the alarm")
        self.assertGreaterEqual(fired, due * 1000, "rang before its second")
        h.wait_for(lambda: h.loudest_sample(self.audio) > 1000, what="sound")
        self.assertEqual(self.dialogs(), [])
        self.assertEqual(self.stored_sound(), wav)

    def test_missing_sound_file_shows_the_message_and_the_clock_goes_on(self):
        self.write_setting(os.path.join(self.dir, "missing.wav"))
        self.start()
        self.alarm_in()
        self.click(h.CHECK1)
        h.wait_for(self.dialogs, what="the failure message")
        self.assertTrue(self.alive())
        self.dismiss_dialog()
        self.clock_goes_on()  # a tick after OK: unticked, it says nothing more
        self.assertEqual(self.dialogs(), [])
        self.assertEqual(len(self.events("failed")), 1)
        self.assertTrue(self.alive())

    def test_unreadable_alarm_time_shows_the_message(self):
        self.start()
        self.set_alarm_text("not a time")
        self.click(h.CHECK1)
        h.wait_for(self.dialogs, what="the failure message")
        self.dismiss_dialog()
        self.assertTrue(self.alive())


if __name__ == "__main__":
    unittest.main()
