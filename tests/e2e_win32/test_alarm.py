"""Bellwick.exe's alarm under Wine: the remembered sound, the sound heard
over and over until "Set Alarm" is clicked, the ringing window brought
forward, a missing file."""

import array
import glob
import os
import struct
import subprocess
import unittest

from harness import WINE_RUN, WineTest, wait_for, windows_path, xdotool
from waiting import clock_goes_on, drawn_clock
from window_points import CHECK1, TXTFILE

HEADER = 44  # ALSA's file plugin writes 16-bit WAV in the format played


def loudest(wav):
    """The largest 16-bit sample after the header; 0 for no file."""
    if not os.path.exists(wav):
        return 0
    with open(wav, "rb") as f:
        data = f.read()[44:]
    samples = array.array("h", data[: len(data) // 2 * 2])
    return max((abs(s) for s in samples), default=0)


def captures(capture):
    """The capture's files, one for each open of the device (route_sound's each_open)."""
    return sorted(glob.glob(glob.escape(capture) + "*"))


def frames(path):
    """The file's channels, frames a second and first channel's samples."""
    with open(path, "rb") as f:
        data = f.read()
    if len(data) <= HEADER:
        return 1, 0, []
    channels, rate = struct.unpack_from("<HI", data, 22)
    samples = array.array("h", data[HEADER: HEADER + (len(data) - HEADER) // 2 * 2])
    return channels, rate, samples[::channels]


def sound_seconds(capture):
    """How long the sound of every open of the device lasts, silence included."""
    total = 0.0
    for path in captures(capture):
        size = os.path.getsize(path)
        if size > HEADER:
            with open(path, "rb") as f:
                total += (size - HEADER) / struct.unpack_from("<I", f.read(HEADER), 28)[0]
    return total


def loud_seconds(capture):
    """How much of it is loud (a 440 Hz sine at half scale: nearly all)."""
    total = 0.0
    for path in captures(capture):
        _, rate, first = frames(path)
        if rate:
            total += sum(1 for v in first if abs(v) > 1000) / rate
    return total


def closed(path):
    """ALSA writes the data size into the header when it closes the file."""
    size = os.path.getsize(path)
    with open(path, "rb") as f:
        return size > HEADER and struct.unpack_from("<I", f.read(HEADER), 40)[0] == size - HEADER


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

    def one_second_wav(self):
        wav = os.path.join(self.dir, "one second.wav")
        subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", "-b", "16", wav, "synth", "1", "sine", "440",
                        "vol", "0.5"], check=True)
        self.store(windows_path(wav))

    def forget_captures(self):
        for path in captures(self.capture):
            os.remove(path)

    def clock_goes_on(self):
        origin = self.origin()
        clock_goes_on(lambda: self.clock(origin))

    def test_a_one_second_wav_rings_on_until_set_alarm_is_clicked(self):
        self.route_sound(self.capture, each_open=True)
        self.one_second_wav()
        self.arm_ahead(before_start=self.forget_captures)
        wait_for(lambda: "bellwick.alarm: fired" in self.event_log(), what="the alarm")
        # Wine's null device takes sound faster than it plays: its length is counted, not the time.
        wait_for(lambda: sound_seconds(self.capture) > 3.5, timeout=60, what="3.5 s of sound")
        self.assertGreater(loud_seconds(self.capture), 3)
        self.click(CHECK1)  # armed again, for tomorrow
        wait_for(lambda: self.probe("checked") == "1", what="Set Alarm ticked")
        self.clock_goes_on()
        stopped = sound_seconds(self.capture)
        self.clock_goes_on()
        self.assertLessEqual(sound_seconds(self.capture) - stopped, 0.5, "still ringing")
        self.assertTrue(closed(captures(self.capture)[-1]), "the sound device is still open")
        self.assertEqual(self.event_log().count("bellwick.alarm: fired"), 1)
        self.assertNotIn("failed", self.event_log())
        self.probe("close")
        self.assertEqual(self.ended(), 0)

    def test_the_ringing_window_comes_forward_without_taking_the_keyboard(self):
        self.one_second_wav()
        covers = []

        def cover():
            # Notepad, started after the arming click, is the active window and hides the clock.
            if not covers or covers[-1].poll() is not None:  # a start over ends the prefix's programs
                covers.append(subprocess.Popen([WINE_RUN, "notepad"], env=self.env, stdout=subprocess.DEVNULL,
                                               stderr=subprocess.DEVNULL))
                self.addCleanup(covers[-1].wait)
                self.addCleanup(covers[-1].kill)
            origin = self.origin()
            wait_for(lambda: not drawn_clock(self.clock(origin)), what="the clock covered")
        self.arm_ahead(cover)
        wait_for(lambda: "bellwick.alarm: fired" in self.event_log(), what="the alarm")
        origin = self.origin()
        wait_for(lambda: drawn_clock(self.clock(origin)), what="the clock on top")
        # Space would tick "Set Alarm", which had the focus when Bellwick.exe was last active.
        xdotool("key", "space")
        self.clock_goes_on()
        self.assertEqual(self.probe("checked"), "0", "the keyboard was taken")
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
