"""The alarm heard through the desktop's sound server, PulseAudio and
PipeWire, each of the test's own with a null sink whose monitor is
recorded; Bellwick runs with SDL's own choice of audio driver."""

import contextlib
import os
import tempfile
import time
import unittest

import harness as h
import sound_server as ss

SDL_DISK = ("SDL_AUDIODRIVER", "SDL_DISKAUDIOFILE")
# Check1's rectangle in window pixels (layout.cpp: 147,110 153x25).
CHECK1_BOX = (147, 110, 300, 135)


def starts(server):
    """Seconds into the current recording at which each loud stretch starts."""
    return [first / ss.RATE for first, _ in ss.loud_stretches(h.samples(server.monitor))]


class SoundServer(h.AppTest):
    def tone(self, form):
        """A second of sound: half a second of 440 Hz, half of silence."""
        wav = os.path.join(self.dir, "tone.wav")
        if not os.path.exists(wav):
            h.run("sox", "-n", "-r", "44100", "-c", "2", "-b", "16", wav, "synth", "0.5", "sine", "440", "pad", "0",
                  "0.5")
        if form == "wav":
            return wav
        mp3 = os.path.join(self.dir, "tone.mp3")
        h.run("lame", "--quiet", wav, mp3)
        return mp3

    @contextlib.contextmanager
    def server(self, kind):
        """A server for one row, ended when the row ends, failed or not."""
        with tempfile.TemporaryDirectory(prefix="bellwick-sound-") as folder, contextlib.ExitStack() as row:
            try:
                yield ss.SoundServer(kind, folder, row.callback)
            finally:  # its client first
                if self.proc and self.proc.poll() is None:
                    self.proc.kill()
                    self.proc.wait()

    def start_with(self, server, sound):
        self.write_setting(sound)
        return self.start(env=server.client_env(), lang="C.UTF-8", drop=SDL_DISK)

    def check1_box(self):
        return h.window_shot(self.window, os.path.join(self.dir, "check.png")).crop(
            h.scaled_box(CHECK1_BOX, self.dpi)).tobytes()

    def arm_time_of_day(self):
        """Types a time of day a few seconds ahead and ticks "Set Alarm"
        before it comes (ticked after it, a time of day means tomorrow);
        returns its moment."""
        for margin in (2, 4, 8):
            text, due = h.dated_alarm(margin, "%H:%M:%S")
            self.set_alarm_text(text)
            self.click_check1()
            if time.time() < due:
                return due
            self.click_check1()  # armed for tomorrow: untick, and again
        self.fail("never ticked ahead of the alarm")

    def fired(self):
        """The alarm's one "fired" line's moment, in epoch seconds."""
        (at, _), = h.wait_for(lambda: self.events("fired"), what="the alarm")
        return at / 1000

    def heard(self, server, timeout, what):
        h.wait_for(lambda: h.loudest_sample(server.monitor) > ss.LOUD, timeout=timeout, what=what)

    def test_the_sound_repeats_until_set_alarm_is_clicked(self):
        rows = [(kind, form) for kind in ss.KINDS for form in ("wav", "mp3")]
        for kind, form in rows:
            with self.subTest(server=kind, sound=form), self.server(kind) as server:
                server.start()
                self.start_with(server, self.tone(form))
                due = self.arm_time_of_day()
                ticked = self.check1_box()
                fired = self.fired()
                self.assertGreaterEqual(fired, due, "rang before its second")
                # Three times over within 4 s, and a fourth start 3 s in:
                # each repetition starts a second after the one before, so
                # no gap stands between them. A gap at the loop's end would
                # lengthen every period; an underrun under load (a 5 ms
                # quantum of PipeWire's) lengthens one now and then, so the
                # shortest must be a second. The first period is left out:
                # PulseAudio's monitor may lose a few milliseconds as a new
                # stream begins (it rewinds the sink, the monitor does not).
                heard = h.wait_for(lambda: len(starts(server)) >= 4 and starts(server),
                                   timeout=max(0.0, fired + 4 - time.time()), what="the sound four times")
                periods = [b - a for a, b in zip(heard[1:], heard[2:])]
                self.assertAlmostEqual(min(periods), 1.0, delta=0.005, msg=heard)
                self.assertLess(max(periods), 1.05, heard)
                self.assertNotEqual(self.check1_box(), ticked, "unticked while it rings")

                at_click = server.seconds()
                self.click_check1()
                server.wait_recorded(1.5)  # a tone would have come back by then
                self.clock_goes_on()
                last = ss.loud_stretches(h.samples(server.monitor))[-1][1] / ss.RATE
                self.assertLess(last, at_click + 0.5, "still sounding after the click")
                self.assertEqual(self.check1_box(), ticked, "ticked again, for tomorrow")
                self.assertEqual(len(self.events("fired")), 1)
                self.assertEqual(self.dialogs(), [])

    def test_a_server_started_after_bellwick_is_heard(self):
        for kind in ss.KINDS:
            with self.subTest(server=kind), self.server(kind) as server:
                self.start_with(server, self.tone("wav"))
                server.start()
                self.alarm_in()
                self.click(h.CHECK1)
                fired = self.fired()
                self.heard(server, max(0.0, fired + 3 - time.time()), "sound after the alarm")
                self.assertEqual(self.events("failed"), [])

    def test_a_server_restarted_while_it_rings_is_heard_again(self):
        for kind in ss.KINDS:
            with self.subTest(server=kind), self.server(kind) as server:
                server.start()
                self.start_with(server, self.tone("wav"))
                self.alarm_in()
                self.click(h.CHECK1)
                fired = self.fired()
                self.heard(server, max(0.0, fired + 3 - time.time()), "sound at the alarm")
                server.kill()
                server.start()
                back = time.time()
                self.heard(server, max(0.0, back + 2 - time.time()), "sound within 2 s of the server's return")
                self.assertEqual(len(self.events("fired")), 1)
                self.assertEqual(self.events("failed"), [])
                self.assertTrue(self.alive())


if __name__ == "__main__":
    unittest.main()
