"""Every kind of unplayable sound file: the alarm fires, the message shows,
nothing hangs and the clock goes on."""

import os
import random
import unittest

import harness as h


class BadSounds(h.AppTest):
    def bad_files(self):
        d = self.dir
        good = os.path.join(d, "good.wav")
        h.make_wav(good, seconds=1)
        with open(good, "rb") as f:
            wav = f.read()
        h.run("lame", "--quiet", good, os.path.join(d, "good.mp3"))
        with open(os.path.join(d, "good.mp3"), "rb") as f:
            mp3 = f.read()
        rnd = random.Random(5)

        def write(name, data):
            path = os.path.join(d, name)
            with open(path, "wb") as f:
                f.write(data)
            return path

        fifo = os.path.join(d, "alarm.fifo")
        os.mkfifo(fifo)
        files = {}
        if os.geteuid() != 0:  # root reads files without permission bits
            files["no read permission"] = write("locked.wav", wav)
            os.chmod(files["no read permission"], 0)
        return files | {
            "missing": os.path.join(d, "missing.wav"),
            "directory": d,
            "empty": write("empty.wav", b""),
            "truncated WAV": write("cut.wav", wav[:100]),
            "truncated MP3": write("cut.mp3", mp3[:200]),
            "random bytes named .mp3": write("noise.mp3", bytes(rnd.randrange(256) for _ in range(50000))),
            "FIFO": fifo,
            "device": "/dev/zero",
            "non-UTF-8 name": os.fsdecode(os.path.join(os.fsencode(d), b"\xff\xfe.wav")),
            "4 KiB path": os.path.join(d, "x" * 4096),
        }

    def test_each_bad_file_shows_the_message_and_the_clock_goes_on(self):
        for what, path in self.bad_files().items():
            with self.subTest(what):
                self.write_setting(path)
                self.start()
                self.alarm_in()
                self.click(h.CHECK1)
                h.wait_for(self.dialogs, what="the failure message")
                self.assertTrue(self.alive())
                # Standard error says which file and why, on one line.
                failures = self.events("failed")
                self.assertEqual(len(failures), 1, failures)
                self.assertRegex(failures[0][1], r"reason=cannot play '.+': \w", what)
                self.dismiss_dialog()
                self.clock_goes_on()
                self.assertEqual(self.dialogs(), [])
                self.assertEqual(self.events("failed"), failures)
                self.assertEqual(self.terminate(), 0)


if __name__ == "__main__":
    unittest.main()
