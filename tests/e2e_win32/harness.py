"""Drives Bellwick.exe under Wine on the X display given by xvfb-run.

Each test runs in a fresh Wine prefix copied from a template made once in
the build tree, in front of a grey root window so see-through pixels show
grey. win_probe.exe looks at the window from a second Windows process.
"""

import fcntl
import io
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
# The window's points and the waiting helpers live with the Linux drivers; looked for after this folder.
sys.path.append(os.path.join(HERE, "..", "e2e"))
from waiting import ISO, dated_alarm, drawn_clock, wait_for  # noqa: E402
from window_points import CHECK1, LABEL1, TEXT1, scaled  # noqa: E402

WINE_RUN = os.path.join(HERE, "..", "..", "tools", "wine-run")
EXE = os.environ.get("BELLWICK_EXE", "build/win32/app/Bellwick.exe")
# Bellwick.exe built with faults and modes the tests switch on.
FAULTS_EXE = os.environ.get("BELLWICK_FAULTS_EXE", "build/win32/tests/bellwick_faults.exe")
# BELLWICK_E2E_WINDOWS=7: every test runs in a prefix that reports Windows 7,
# with the faults build taking every call newer than Windows 7 as missing.
AS_WINDOWS_7 = os.environ.get("BELLWICK_E2E_WINDOWS") == "7"
PROBE = os.environ.get("BELLWICK_PROBE", "build/win32/tests/e2e_win32/win_probe.exe")
TEMPLATE = os.path.abspath(os.environ.get("BELLWICK_WINE_TEMPLATE", "build/win32/wine-template"))
GREY = (128, 128, 128)
SOUND_KEY = r"HKCU\Software\KV Bellwick\SoundFile"


def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True)


def windows_path(path):
    return "Z:" + path.replace("/", "\\")


def wine_env(prefix, lang="C.UTF-8"):
    env = dict(os.environ)
    env.update({"WINEPREFIX": prefix, "WINEARCH": "win32", "WINEDEBUG": "-all",
                "WINEDLLOVERRIDES": "mscoree,mshtml=;winemenubuilder.exe=d", "LANG": lang, "LC_ALL": lang})
    return env


def settle(env):
    """Ends the prefix's Wine processes and waits for its server to go."""
    subprocess.run(["wineserver", "-k"], env=env, capture_output=True)
    subprocess.run(["wineserver", "-w"], env=env, capture_output=True)


def template():
    """The prefix every test copies: made once (wineboot, Wine's bitmap
    fonts), and once more reporting Windows 7 for AS_WINDOWS_7."""
    os.makedirs(os.path.dirname(TEMPLATE), exist_ok=True)
    made = TEMPLATE + "-windows7" if AS_WINDOWS_7 else TEMPLATE
    with open(TEMPLATE + ".making", "w") as lock:  # tools/wine-run locks ".lock"
        fcntl.flock(lock, fcntl.LOCK_EX)
        if not os.path.exists(os.path.join(TEMPLATE, "system.reg")):
            env = wine_env(TEMPLATE)
            subprocess.run([WINE_RUN, PROBE, "registry"], env=env, capture_output=True)
            settle(env)
        if not os.path.exists(os.path.join(made, "system.reg")):
            shutil.rmtree(made, ignore_errors=True)
            subprocess.run(["cp", "-a", TEMPLATE, made], check=True)
            env = wine_env(made)
            subprocess.run([WINE_RUN, "winecfg", "-v", "win7"], env=env, check=True, capture_output=True)
            version = windows_version(env)
            settle(env)
            if version != "6.1":
                shutil.rmtree(made)
                raise AssertionError("the prefix reports Windows %r, not 7 (6.1)" % version)
    return made


def windows_version(env):
    """The version the prefix reports, as "6.1"."""
    r = subprocess.run([WINE_RUN, "reg", "query", r"HKLM\Software\Microsoft\Windows NT\CurrentVersion", "/v",
                        "CurrentVersion"], env=env, capture_output=True, text=True)
    return r.stdout.split()[-1] if r.stdout.split() else ""


class WineTest(unittest.TestCase):
    """One Bellwick.exe per test in a prefix of its own; call self.start()."""

    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="e2e-", dir=os.path.dirname(TEMPLATE))
        self.prefix = os.path.join(self.dir, "prefix")
        subprocess.run(["cp", "-a", template(), self.prefix], check=True)
        self.env = wine_env(self.prefix)
        self.dpi = 96  # the screen's, as the prefix says
        self.proc = None
        tile = os.path.join(self.dir, "grey.png")
        Image.new("RGB", (16, 16), GREY).save(tile)
        subprocess.run(["display", "-window", "root", tile], capture_output=True)  # exits 1 even when done

    def tearDown(self):
        if self.proc and self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        settle(self.env)
        shutil.rmtree(self.dir, ignore_errors=True)

    def route_sound(self, capture=None, each_open=False, unopenable=False):
        """Wine's sound goes to the WAV file `capture` through ALSA's file
        plugin over the null device; with None there is no device at all.
        The plugin rewrites the file at each open of the device; with
        each_open, every open makes a file of its own instead: `capture`,
        then `capture`.0001, .0002, ... With unopenable there is a device
        that ALSA opens but that takes no sound (only MPEG data)."""
        conf = os.path.join(self.dir, "alsa.conf")
        with open(conf, "w") as f:
            if unopenable:
                f.write('pcm.!default { type plug slave { pcm "discard" format "MPEG" } }\n'
                        'pcm.discard { type null }\n')
            elif capture:
                f.write('pcm.!default { type plug slave.pcm "capture" }\n'
                        'pcm.capture { type file slave.pcm "discard" file "%s" format "wav"%s }\n'
                        'pcm.discard { type null }\n' % (capture, " truncate false" if each_open else ""))
            else:
                f.write("# no sound device\n")
        self.env["ALSA_CONFIG_PATH"] = conf

    def store(self, sound):
        """The sound file setting, as Bellwick.exe finds it at start-up."""
        subprocess.run([WINE_RUN, "reg", "add", SOUND_KEY, "/v", "Sound", "/t", "REG_SZ", "/d", sound, "/f"],
                       env=self.env, check=True, capture_output=True)

    def start(self, exe=EXE, env=None):
        env = dict(env or {})
        if AS_WINDOWS_7:
            exe = FAULTS_EXE
            env["BELLWICK_WINDOWS"] = "7"
        self.errors = os.path.join(self.dir, "stderr.txt")
        with open(self.errors, "wb") as errors:
            self.proc = subprocess.Popen([WINE_RUN, exe], env=dict(self.env, BELLWICK_EVENT_LOG="1", **env),
                                         stdout=subprocess.DEVNULL, stderr=errors)
        wait_for(lambda: subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Bellwick$"],
                                        capture_output=True).returncode == 0, what="the window")
        origin = self.origin()
        wait_for(lambda: drawn_clock(self.clock(origin)), what="the first paint")

    def probe(self, *args):
        r = subprocess.run([WINE_RUN, PROBE, *args], env=self.env, capture_output=True, text=True)
        return r.stdout.strip()

    def origin(self):
        left, top, _, _ = map(int, self.probe("rect").split())
        return left, top

    def screenshot(self):
        png = subprocess.run(["import", "-window", "root", "png:-"], check=True, capture_output=True).stdout
        return Image.open(io.BytesIO(png)).convert("RGB")

    def clock(self, origin=None):
        """The clock's rectangle as the screen shows it."""
        x, y = origin or self.origin()
        left, top, right, bottom = (scaled(v, self.dpi) for v in LABEL1)
        return self.screenshot().crop((x + left, y + top, x + right, y + bottom))

    def click(self, at):
        x, y = self.origin()
        xdotool("mousemove", x + scaled(at[0], self.dpi), y + scaled(at[1], self.dpi), "click", 1)

    def arm(self, seconds=0, form=ISO):
        """Types a dated alarm `seconds` from now (waiting.dated_alarm) and
        ticks "Set Alarm"; returns the alarm's moment in epoch seconds."""
        text, due = dated_alarm(seconds, form)
        self.click(TEXT1)
        xdotool("key", "ctrl+a")
        xdotool("type", "--delay", 20, text)
        self.click(CHECK1)
        return due

    def arm_ahead(self, then=lambda: None, before_start=lambda: None):
        """Starts Bellwick.exe, arms a time of day a few seconds ahead (once
        rung, armed again it stands for tomorrow) and runs then() before its
        second; a machine too slow for the margin starts over with more.
        before_start() runs before each start. Returns the alarm's moment."""
        for margin in (4, 8, 16, 32):
            if self.proc and self.proc.poll() is None:
                self.proc.kill()
                self.proc.wait()
                settle(self.env)
            before_start()
            self.start()
            due = self.arm(margin, "%I:%M:%S %p")  # en-US, the prefix's locale
            then()
            if time.time() < due - 0.2:
                return due
        self.fail("never armed %d s ahead of the alarm" % margin)

    def event_log(self):
        with open(self.errors, encoding="utf-8", errors="replace") as f:
            return f.read()

    def ended(self, timeout=30.0):
        """The exit status once Bellwick.exe has ended."""
        return self.proc.wait(timeout)
