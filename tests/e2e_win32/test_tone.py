"""Bellwick.exe under Wine when the alarm's sound cannot play: the built-in
tone rings under the message and stops at OK; an unreadable alarm text and a
working file never bring it; without any sound device the window flashes."""

import array
import os
import random
import struct
import subprocess
import sys
import unittest

from harness import WineTest, wait_for, windows_path, xdotool
from waiting import clock_goes_on, events
from window_points import CHECK1, TEXT1

MESSAGE = "Bellwick\nPlease make sure the file you have entered is an existing file to play"
HEADER = 44  # ALSA's file plugin writes 16-bit WAV in the format played

# Prints each _NET_WM_STATE request sent to the root window as "window
# action atom"; Wine's FlashWindowEx sends one. The XEvent is read as longs
# (x86-64): the window is the 5th, the message type the 6th, data from the 8th.
STATE_REQUESTS = r"""
import ctypes
x = ctypes.CDLL("libX11.so.6")
x.XOpenDisplay.restype = ctypes.c_void_p
x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x.XDefaultRootWindow.restype = ctypes.c_ulong
x.XSelectInput.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_long]
x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
x.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x.XInternAtom.restype = ctypes.c_ulong
x.XGetAtomName.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
x.XGetAtomName.restype = ctypes.c_char_p
d = x.XOpenDisplay(None)
state = x.XInternAtom(d, b"_NET_WM_STATE", 0)
x.XSelectInput(d, x.XDefaultRootWindow(d), 1 << 19)  # SubstructureNotifyMask
x.XSync(d, 0)
print("listening", flush=True)
event = (ctypes.c_long * 24)()
while True:
    x.XNextEvent(d, event)
    if event[0] & 0xFFFFFFFF == 33 and event[5] == state:  # ClientMessage
        print(event[4], event[7], x.XGetAtomName(d, event[8]).decode(), flush=True)
"""


def size(path):
    return os.path.getsize(path) if os.path.exists(path) else 0


def header(path):
    """The capture's channels, frames a second, bytes a second and data size;
    ALSA writes the data size only when it closes the file."""
    with open(path, "rb") as f:
        head = f.read(HEADER)
    return struct.unpack_from("<HII", head, 22) + struct.unpack_from("<I", head, 40)


def seconds(path):
    """How long the captured sound lasts."""
    return (size(path) - HEADER) / header(path)[2] if size(path) > HEADER else 0


def closed(path):
    return size(path) > HEADER and header(path)[3] == size(path) - HEADER


def pitch(path):
    """The captured sound's pitch in Hz, from its sign changes over the loud
    stretches of the first channel; 0 when nothing was heard. The time is the
    stretches' own, the quiet samples at each crossing included."""
    channels, rate, _, _ = header(path)
    with open(path, "rb") as f:
        data = f.read()[HEADER:]
    first = array.array("h", data[: len(data) // 2 * 2])[::channels]
    loud = [i for i, s in enumerate(first) if abs(s) > 1000]
    if len(loud) < rate // 20:
        return 0
    changes = span = 0
    for a, b in zip(loud, loud[1:]):
        if b - a <= rate // 200:  # a longer gap is a rest between sounds
            span += b - a
            changes += (first[a] < 0) != (first[b] < 0)
    return changes / 2 / (span / rate)


def windows_titled_bellwick():
    r = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Bellwick$"], capture_output=True, text=True)
    return r.stdout.split()


class ToneTest(WineTest):
    def setUp(self):
        super().setUp()
        self.capture = os.path.join(self.dir, "captured.wav")
        self.route_sound(self.capture)
        self.good = os.path.join(self.dir, "good.wav")
        subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", "-b", "16", self.good, "synth", "1", "sine", "440",
                        "vol", "0.5"], check=True)

    def launch(self, sound):
        """Bellwick.exe with `sound` chosen; its window's X id."""
        if self.proc and self.proc.poll() is None:  # left by a failed case
            self.proc.kill()
            self.proc.wait()
        if os.path.exists(self.capture):
            os.remove(self.capture)
        self.store(windows_path(sound))
        self.start()
        return windows_titled_bellwick()[0]

    def ring(self, alarm=None):
        """Arms a due dated alarm, or the text `alarm`, and waits for the failure message."""
        if alarm:
            self.click(TEXT1)
            xdotool("key", "ctrl+a")
            xdotool("type", "--delay", 20, alarm)
            self.click(CHECK1)
        else:
            self.arm()
        wait_for(lambda: self.probe("message") == MESSAGE, what="the failure message")

    def dismiss(self):
        """Presses OK and waits for the box to go: Bellwick.exe has its answer then.
        (Without a window manager Wine takes 2 s to hide any message box.)"""
        xdotool("key", "Return")
        wait_for(lambda: len(windows_titled_bellwick()) == 1, what="the message box closed")

    def failure(self):
        failures = events(self.event_log(), "failed")
        self.assertEqual(len(failures), 1, failures)
        return failures[0][1]

    def clock_goes_on(self):
        origin = self.origin()
        clock_goes_on(lambda: self.clock(origin))

    def close(self):
        self.assertEqual(self.probe("checked"), "0")
        self.probe("close")
        self.assertEqual(self.ended(), 0)

    def test_the_tone_rings_under_the_message_and_stops_at_ok(self):
        mp3 = os.path.join(self.dir, "good.mp3")
        subprocess.run(["lame", "--quiet", "-b", "128", self.good, mp3], check=True)
        with open(mp3, "rb") as f:
            cut = f.read()[:300]
        bad = {"missing": "moved away.wav", "not a sound": "noise.wav", "truncated MP3": "cut.mp3"}
        with open(os.path.join(self.dir, bad["not a sound"]), "wb") as f:
            f.write(random.Random(3).randbytes(40000))
        with open(os.path.join(self.dir, bad["truncated MP3"]), "wb") as f:
            f.write(cut)
        for what, name in bad.items():
            with self.subTest(what):
                self.launch(os.path.join(self.dir, name))
                self.ring()
                wait_for(lambda: seconds(self.capture) > 0.5, what="half a second of tone")
                self.assertAlmostEqual(pitch(self.capture), 2000, delta=100)
                line = self.failure()
                self.assertIn(name, line)
                self.assertTrue(line.endswith("; the built-in tone played instead"), line)
                self.dismiss()
                at_ok = seconds(self.capture)
                self.clock_goes_on()
                self.assertTrue(closed(self.capture), "the sound device is still open")
                # Wine's null device takes sound faster than it plays: a bound tighter than it reads.
                self.assertLessEqual(seconds(self.capture) - at_ok, 0.5)
                self.close()

    def test_an_unreadable_alarm_text_brings_the_message_alone(self):
        self.launch(self.good)
        self.ring("not a time")
        self.dismiss()
        self.clock_goes_on()
        self.assertFalse(os.path.exists(self.capture))
        self.assertTrue(self.failure().endswith("reason=the alarm time cannot be read"), self.failure())
        self.close()

    def test_a_working_file_is_heard_alone(self):
        """Also with the sizes a recorder streaming to a pipe leaves in the header."""
        wav = os.path.join(self.dir, "880.wav")
        subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", "-b", "16", "-t", "wavpcm", wav, "synth", "2", "sine",
                        "880", "vol", "0.5"], check=True)
        with open(wav, "rb") as f:
            recorded = bytearray(f.read())
        forms = {"as recorded": None, "sizes 0": 0, "sizes 0xFFFFFFFF": 0xFFFFFFFF}
        for n, (form, placeholder) in enumerate(forms.items()):
            with self.subTest(form):
                content = bytearray(recorded)
                if placeholder is not None:
                    for at in (4, content.find(b"data") + 4):
                        struct.pack_into("<I", content, at, placeholder)
                with open(wav, "wb") as f:
                    f.write(content)
                # Each play of the file opens the device again: the first play's sound stays in the first file.
                self.capture = os.path.join(self.dir, "captured-%d.wav" % n)
                self.route_sound(self.capture, each_open=True)
                self.launch(wav)
                self.arm()
                wait_for(lambda: "bellwick.alarm: fired" in self.event_log(), what="the alarm")
                wait_for(lambda: closed(self.capture), what="the first play played out")
                self.clock_goes_on()
                self.assertAlmostEqual(pitch(self.capture), 880, delta=30)
                self.assertEqual(len(windows_titled_bellwick()), 1)
                self.assertEqual(events(self.event_log(), "failed"), [])
                self.close()

    def test_without_a_sound_device_the_window_flashes(self):
        """No device at all, or one there that does not open (PlaySound would
        take the tone and say it plays)."""
        ends = {"none": r"; nor could the built-in tone play: there is no audio output device$",
                "unopenable": r"; nor could the built-in tone play: the sound device could not be opened: "
                              r".+ \(waveOut error \d+\)$"}
        for device, end in ends.items():
            with self.subTest(device):
                self.route_sound(None, unopenable=device == "unopenable")
                self.flashes_without_the_tone(end)

    def flashes_without_the_tone(self, end):
        window = self.launch(os.path.join(self.dir, "missing.wav"))
        requests = os.path.join(self.dir, "requests.txt")
        with open(requests, "w") as out:
            listener = subprocess.Popen([sys.executable, "-c", STATE_REQUESTS], stdout=out)
        try:
            def said():
                with open(requests) as f:
                    return f.read().splitlines()

            wait_for(lambda: "listening" in said(), what="the listener")
            self.ring()
            # Added (1) to the main window's state: the request a window manager turns into flashing.
            wait_for(lambda: f"{window} 1 _NET_WM_STATE_DEMANDS_ATTENTION" in said(), what="the window flashing")
        finally:
            listener.kill()
            listener.wait()
        self.assertRegex(self.failure(), end)
        self.dismiss()
        self.clock_goes_on()
        self.assertIsNone(self.proc.poll())
        self.close()


if __name__ == "__main__":
    unittest.main()
