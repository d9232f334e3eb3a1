"""Bellwick on Wayland alone: under a Weston of the test's own (its X11
backend on the X display given by xvfb-run, so that xdotool drives its
pointer and keyboard and the X screen shows its output), started with
WAYLAND_DISPLAY and without DISPLAY. A window of one colour fills the
output behind Bellwick and reports the presses that reach it."""

import os
import subprocess
import tempfile
import time
import unittest

import harness as h
from PIL import Image, ImageChops
from waiting import clock_goes_on, dated_alarm, drawn_clock, wait_for
from window_points import BANNER, CHECK1, IMAGE3, LABEL1, OUTLINES, TEXT1, WINDOW, pixels

BACKDROP = os.environ.get("BELLWICK_BACKDROP", "build/default/tests/e2e/wayland_backdrop")
MAGENTA = (255, 0, 255)  # the backdrop's colour: none of the window's
OUTPUT = (800, 600)
SOCKET = "bellwick-test"
# Where the pointer rests: Weston draws it there, off Bellwick.
CORNER = (OUTPUT[0] - 1, OUTPUT[1] - 1)
WESTON_INI = """[core]
idle-time=0
[shell]
background-color=0xff202020
panel-position=none
locking=false
"""


class WestonTest(unittest.TestCase):
    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory(prefix="bellwick-wayland-")
        self.addCleanup(self.tmp.cleanup)
        self.dir = self.tmp.name
        self.runtime = os.path.join(self.dir, "runtime")
        os.mkdir(self.runtime, 0o700)
        self.config = os.path.join(self.dir, "config")
        os.mkdir(self.config)
        self.audio = os.path.join(self.dir, "audio.raw")
        ini = os.path.join(self.dir, "weston.ini")
        with open(ini, "w") as f:
            f.write(WESTON_INI)
        self.weston = self.spawn(["weston", "--backend=x11-backend.so", "--use-pixman", "--width=%d" % OUTPUT[0],
                                  "--height=%d" % OUTPUT[1], "--socket=" + SOCKET, "--config=" + ini],
                                 dict(os.environ, XDG_RUNTIME_DIR=self.runtime), "weston.txt")
        wait_for(lambda: os.path.exists(os.path.join(self.runtime, SOCKET)), what="Weston's socket")
        self.output = self.weston_window()
        self.backdrop = self.spawn([BACKDROP], self.wayland_env(), "backdrop.txt", stdout=subprocess.PIPE)
        self.assertEqual(self.backdrop.stdout.readline().strip(), "ready")
        # Into Weston's window from outside, so that it draws the pointer there.
        self.pointer(OUTPUT[0] + 50, OUTPUT[1] + 50)
        self.pointer(*CORNER)
        self.proc = None

    def spawn(self, cmd, env, log, stdout=subprocess.DEVNULL):
        errors = open(os.path.join(self.dir, log), "wb")
        p = subprocess.Popen(cmd, env=env, stdout=stdout, stderr=errors, text=True)

        def end():
            if p.poll() is None:
                p.kill()
            p.wait()
            errors.close()
            if p.stdout:
                p.stdout.close()
        self.addCleanup(end)
        return p

    def wayland_env(self, **extra):
        e = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "QT_QPA_PLATFORM", "XAUTHORITY")}
        e.update(XDG_RUNTIME_DIR=self.runtime, WAYLAND_DISPLAY=SOCKET, XDG_SESSION_TYPE="wayland", **extra)
        return e

    def weston_window(self):
        """Where Weston's output shows on the X screen (left, top)."""
        def search():
            # xdotool's search does not find it: it is named as a UTF-8 name only.
            tree = h.run("xwininfo", "-root", "-tree").splitlines()
            return [int(line.split()[0], 16) for line in tree if '"Weston Compositor' in line]
        found = wait_for(search, what="Weston's window")
        x, y, w, hgt = h.geometry(found[0])
        self.assertEqual((w, hgt), OUTPUT)
        return x, y

    def pointer(self, x, y):
        h.run("xdotool", "mousemove", str(self.output[0] + x), str(self.output[1] + y))

    def screen(self):
        """Weston's output as the X screen shows it."""
        shot = h.screenshot(os.path.join(self.dir, "shot.png"))
        ox, oy = self.output
        return shot.crop((ox, oy, ox + OUTPUT[0], oy + OUTPUT[1]))

    def start(self):
        env = self.wayland_env(XDG_CONFIG_HOME=self.config, SDL_AUDIODRIVER="disk", SDL_DISKAUDIOFILE=self.audio,
                               LC_ALL="C.UTF-8", QT_LOGGING_RULES="bellwick.alarm.info=true;bellwick.window.info=true")
        self.proc = self.spawn([h.BINARY], env, "stderr.txt")
        self.origin = wait_for(self.find_window, what="Bellwick's window drawn")

    def find_window(self):
        """Bellwick's origin on the output once it shows its clock: the
        banner's corner is the window's top-left pixel that is not the
        backdrop's, less its place in the window."""
        shot = self.screen()
        # Weston draws the pointer at the corner, or before its first motion
        # at the top-left, in less than the banner's offset: left out.
        searched = shot.crop((0, 0, OUTPUT[0] - 40, OUTPUT[1] - 40))
        searched.paste(MAGENTA, (0, 0, OUTLINES[0][0], OUTLINES[0][1]))
        box = ImageChops.difference(searched, Image.new("RGB", searched.size, MAGENTA)).getbbox()
        if not box:
            return None
        origin = (box[0] - OUTLINES[0][0], box[1] - OUTLINES[0][1])
        clock = shot.crop((origin[0] + LABEL1[0], origin[1] + LABEL1[1], origin[0] + LABEL1[2], origin[1] + LABEL1[3]))
        return origin if drawn_clock(clock) else None

    def stderr(self):
        with open(os.path.join(self.dir, "stderr.txt"), errors="replace") as f:
            return f.read()

    def click(self, at, button=1):
        self.pointer(self.origin[0] + at[0], self.origin[1] + at[1])
        h.run("xdotool", "click", str(button))

    def clock(self):
        x, y = self.origin
        return self.screen().crop((x + LABEL1[0], y + LABEL1[1], x + LABEL1[2], y + LABEL1[3]))


class OnWayland(WestonTest):
    def test_the_see_through_pixels_are_exactly_those_outside_the_outlines(self):
        self.start()
        shot = self.screen()
        x, y = self.origin
        area = {(px, py) for px in range(WINDOW[0]) for py in range(WINDOW[1])}
        see_through = {p for p in area if shot.getpixel((x + p[0], y + p[1])) == MAGENTA}
        self.assertEqual(area - see_through, area & pixels(OUTLINES))

    def test_a_click_on_a_see_through_pixel_reaches_the_window_behind(self):
        self.start()
        # The clock swallows its click; the backdrop's first press is the next one.
        self.click(((LABEL1[0] + LABEL1[2]) // 2, (LABEL1[1] + LABEL1[3]) // 2))
        self.click((60, 200))
        self.assertEqual(self.backdrop.stdout.readline().split(),
                         ["press", str(self.origin[0] + 60), str(self.origin[1] + 200)])

    def test_the_clock_ticks(self):
        self.start()
        self.assertEqual(len({c.tobytes() for c in clock_goes_on(self.clock, 2)[1:]}), 2)

    def test_set_alarm_arms_and_the_alarm_rings(self):
        self.start()
        text, due = dated_alarm(3)
        self.click(TEXT1)
        h.run("xdotool", "key", "ctrl+a")
        h.run("xdotool", "type", "--delay", "20", text)
        self.click(CHECK1)
        wait_for(lambda: h.loudest_sample(self.audio) > 1000, timeout=30, what="the alarm's sound")
        self.assertGreaterEqual(time.time(), due)

    def test_the_banner_drags_the_window_with_the_pointer(self):
        self.start()
        before = self.origin
        start = (before[0] + BANNER[0], before[1] + BANNER[1])
        self.pointer(*start)
        h.run("xdotool", "mousedown", "1")
        # The pointer moves only once the compositor has it, so the window
        # follows all of its travel.
        wait_for(lambda: "the compositor moves the window" in self.stderr(), what="the move handed over")
        for i in range(1, 6):
            self.pointer(start[0] + 60 * i // 5, start[1] + 40 * i // 5)
        h.run("xdotool", "mouseup", "1")
        self.pointer(*CORNER)

        seen = [before]

        def settled():
            at = self.find_window()
            seen.append(at)
            return at if at and at != before and at == seen[-2] else None
        at = wait_for(settled, what="the window moved and settled")
        self.assertEqual((at[0] - before[0], at[1] - before[1]), (60, 40))

    def test_the_badge_ends_the_program_with_status_0(self):
        self.start()
        self.click(IMAGE3)
        self.assertEqual(self.proc.wait(timeout=20), 0)


if __name__ == "__main__":
    unittest.main()
