"""The audio device is the player's only while a sound rings: opened at the
alarm (so a device that was missing before is found), given back when
"Set Alarm" stops it."""

import os
import time
import unittest

import harness as h


class SoundDevice(h.AppTest):
    def chosen_wav(self, seconds=2):
        wav = os.path.join(self.dir, "tone.wav")
        h.make_wav(wav, seconds=seconds)
        self.write_setting(wav)
        return wav

    def test_idle_it_holds_no_device_and_once_stopped_none_again(self):
        self.chosen_wav()
        self.start()
        self.assertFalse(self.holds_audio(), h.audio_threads(self.proc.pid))
        self.alarm_in(3600)
        self.click_check1()
        self.clock_goes_on()  # armed through a whole tick
        self.assertFalse(self.holds_audio(), "armed is idle too")
        self.terminate()
        self.arm_ahead(time_of_day=True)
        h.wait_for(lambda: h.loudest_sample(self.audio) > 1000, what="sound")
        self.assertTrue(self.holds_audio(), "no device while the sound plays")
        self.click_check1()  # stops it, and arms the same time for tomorrow
        h.wait_for(lambda: not self.holds_audio(), what="the device given back")
        self.assertEqual(h.audio_threads(self.proc.pid), [])
        stopped_at = os.path.getsize(self.audio)
        self.clock_goes_on()
        self.assertEqual(os.path.getsize(self.audio), stopped_at, "rang on after Set Alarm")
        self.assertEqual(len(self.events("fired")), 1, "armed for tomorrow, not for now")
        self.assertEqual(self.dialogs(), [])

    def test_a_device_missing_at_one_alarm_is_found_at_the_next(self):
        self.chosen_wav(seconds=1)
        later = os.path.join(self.dir, "later")
        self.audio = os.path.join(later, "audio.raw")  # its folder does not exist yet
        self.start()
        self.alarm_in()
        self.click(h.CHECK1)
        h.wait_for(self.dialogs, what="the failure message")
        self.dismiss_dialog()
        failures = [line for _, line in self.events("failed")]
        self.assertEqual(len(failures), 1, failures)
        self.assertIn("reason=no sound device could be opened: ", failures[0])
        self.assertIn(later, failures[0], "SDL's own reason names the file it could not open")

        os.makedirs(later)
        self.alarm_in()
        self.click(h.CHECK1)
        h.wait_for(lambda: h.loudest_sample(self.audio) > 1000, what="sound")
        self.assertEqual(self.dialogs(), [])

    def test_sound_starts_while_the_save_failure_message_is_open(self):
        wav = self.chosen_wav()
        # The folder must turn read-only between arming and the alarm; a
        # machine too slow for the margin starts over with twice as much.
        for margin in (2, 4, 8, 16, 32):
            self.fresh_audio()
            self.start()
            due = self.alarm_in(margin)
            self.click_check1()  # armed, and the choice saved
            self.make_config_read_only()  # the alarm's own save now fails
            if time.time() < due:
                break
            self.make_config_writable()
        else:
            self.fail("never armed %d s ahead of the alarm" % margin)
        h.wait_for(lambda: h.loudest_sample(self.audio) > 1000, what="sound")
        # The box about the save comes after the sound has started; nothing has
        # closed it yet.
        h.wait_for(self.dialogs, what="the message about the save")
        self.assertEqual(self.events("failed"), [], "the sound itself did not fail")
        self.dismiss_dialog()
        self.assertEqual(self.stored_sound(), wav)
        self.assertTrue(self.alive())


if __name__ == "__main__":
    unittest.main()
