"""Bellwick.exe's alarm under Wine: the remembered sound, the sound heard, a missing file."""

import array
import os
import subprocess
import unittest

from harness import WineTest, wait_for, windows_path, xdotool
from window_points import TXTFILE


def loudest(wav):
    """The largest 16-bit sample after the header; 0 for no file."""
    if not os.path.exists(wav):
        return 0
    with open(wav, "rb") as f:
        data = f.read()[44:]
    samples = array.array("h", data[: len(data) // 2 * 2])
    return max((abs(s) for s in samples), default=0)


class AlarmTest(WineTest):
    def setUp(self):
        super().setUp()
        self.capture = os.path.join(self.dir, "captured.wav")
        self.route_sound(self.capture)

    def test_the_saved_choice_shows_at_the_next_start(self):
        self.store(r"C:\Sounds\wake up = [1]; #2.wav")
        self.start()
        self.click(TXTFILE)
        wait_for(lambda: self.probe("focus") == r"Edit C:\Sounds\wake up = [1]; #2.wav", what="the sound box")

    def test_wav_and_mp3_alarms_are_heard(self):
        wav = os.path.join(self.dir, "tone.wav")
        subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", "-b", "16", wav, "synth", "1", "sine", "440",
                        "vol", "0.5"], check=True)
        mp3 = os.path.join(self.dir, "tone.mp3")
        subprocess.run(["lame", "--quiet", "-b", "128", wav, mp3], check=True)
        for sound in (wav, mp3):
            with self.subTest(sound=os.path.basename(sound)):
                if os.path.exists(self.capture):
                    os.remove(self.capture)
                self.store(windows_path(sound))
                self.start()
                self.arm()
                wait_for(lambda: "bellwick.alarm: fired" in self.event_log(), what="the alarm")
                wait_for(lambda: loudest(self.capture) > 8000, timeout=30, what="loud samples in the capture")
                self.assertEqual(self.probe("checked"), "0")
                self.assertNotIn("failed", self.event_log())
                self.probe("close")
                self.assertEqual(self.ended(), 0)

    def test_a_missing_file_shows_the_message_and_unticks(self):
        self.store(windows_path(os.path.join(self.dir, "gone.wav")))
        self.start()
        self.arm()
        wait_for(lambda: "bellwick.alarm: failed" in self.event_log(), what="the failure")
        # The main window and the message box, both titled "Bellwick".
        wait_for(lambda: len(subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Bellwick$"],
                                            capture_output=True, text=True).stdout.split()) >= 2,
                 what="the message box")
        self.assertIn("gone.wav", self.event_log())
        xdotool("key", "Return")  # OK
        wait_for(lambda: self.probe("checked") == "0", what="the box unticked")


if __name__ == "__main__":
    unittest.main()
