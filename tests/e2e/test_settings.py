"""Start-up with the settings file, and arming, which saves the choice."""

import os
import unittest

import harness as h


class StartUp(h.AppTest):
    def test_corrupt_or_garbage_settings_do_not_stop_start_up_nor_get_rewritten(self):
        for content in (b"[SoundFile\nSound\n=\n[[[", os.urandom(4096), b"\xff\xfe\x00[SoundFile]\x00Sound=\xc3\x28"):
            with self.subTest(content=content[:16]):
                with open(self.ini, "wb") as f:
                    f.write(content)
                self.start()  # the settings are read before the window shows
                self.assertTrue(self.alive())
                self.assertEqual(self.terminate(), 0)
                with open(self.ini, "rb") as f:
                    self.assertEqual(f.read(), content)

    def test_a_deleted_sound_file_does_not_stop_start_up(self):
        self.write_setting("/nowhere/gone.wav")
        self.start()
        self.assertTrue(self.alive())
        self.assertEqual(self.terminate(), 0)


class Arming(h.AppTest):
    def test_ticking_with_the_mouse_saves_the_default_choice(self):
        self.start()
        self.click(h.CHECK1)
        h.wait_for(lambda: os.path.exists(self.ini), what="the settings file")
        self.assertEqual(self.stored_sound(), "File to play for alarm")

    def test_ticking_with_the_space_bar_saves_the_choice(self):
        wav = os.path.join(self.dir, "a b=c [x] Grüße.wav")
        self.write_setting(wav)
        os.utime(self.ini, (0, 0))
        self.start()
        self.key("Tab")  # from Text1 to Check1
        self.key("space")
        h.wait_for(lambda: os.stat(self.ini).st_mtime > 0, what="a save")
        self.assertEqual(self.stored_sound(), wav)

    def test_read_only_settings_folder_is_told_once_and_the_clock_goes_on(self):
        os.chmod(self.config, 0o555)
        env = None
        if os.access(self.config, os.W_OK):
            # root writes anywhere; a folder below a plain file cannot be made
            blocker = os.path.join(self.dir, "blocker")
            open(blocker, "w").close()
            env = {"XDG_CONFIG_HOME": os.path.join(blocker, "config")}
        self.start(env)
        self.alarm_in(3600)  # not going off while we look
        self.click(h.CHECK1)
        self.dismiss_dialog()
        self.click(h.CHECK1)
        self.clock_goes_on()  # the click has been handled meanwhile
        self.assertEqual(self.dialogs(), [])
        self.assertTrue(self.alive())


if __name__ == "__main__":
    unittest.main()
