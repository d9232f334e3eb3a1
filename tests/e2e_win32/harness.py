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
# The window's points (window_points) live with the Linux drivers; looked for after this folder.
sys.path.append(os.path.join(HERE, "..", "e2e"))
WINE_RUN = os.path.join(HERE, "..", "..", "tools", "wine-run")
EXE = os.environ.get("BELLWICK_EXE", "build/win32/app/Bellwick.exe")
PROBE = os.environ.get("BELLWICK_PROBE", "build/win32/tests/e2e_win32/win_probe.exe")
TEMPLATE = os.path.abspath(os.environ.get("BELLWICK_WINE_TEMPLATE", "build/win32/wine-template"))
GREY = (128, 128, 128)


def wait_for(predicate, timeout=20.0, what="condition"):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        value = predicate()
        if value:
            return value
        time.sleep(0.05)
    raise AssertionError("timed out waiting for " + what)


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
    """The prefix every test copies: made once (wineboot, Wine's bitmap fonts)."""
    os.makedirs(os.path.dirname(TEMPLATE), exist_ok=True)
    with open(TEMPLATE + ".making", "w") as lock:  # tools/wine-run locks ".lock"
        fcntl.flock(lock, fcntl.LOCK_EX)
        if not os.path.exists(os.path.join(TEMPLATE, "system.reg")):
            env = wine_env(TEMPLATE)
            subprocess.run([WINE_RUN, PROBE, "registry"], env=env, capture_output=True)
            settle(env)
    return TEMPLATE


class WineTest(unittest.TestCase):
    """One Bellwick.exe per test in a prefix of its own; call self.start()."""

    def setUp(self):
        self.dir = tempfile.mkdtemp(prefix="e2e-", dir=os.path.dirname(TEMPLATE))
        self.prefix = os.path.join(self.dir, "prefix")
        subprocess.run(["cp", "-a", template(), self.prefix], check=True)
        self.env = wine_env(self.prefix)
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

    def start(self):
        self.errors = os.path.join(self.dir, "stderr.txt")
        with open(self.errors, "wb") as errors:
            self.proc = subprocess.Popen([WINE_RUN, EXE], env=dict(self.env, BELLWICK_EVENT_LOG="1"),
                                         stdout=subprocess.DEVNULL, stderr=errors)
        wait_for(lambda: subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Bellwick$"],
                                        capture_output=True).returncode == 0, what="the window")
        time.sleep(0.5)  # first paint

    def probe(self, *args):
        r = subprocess.run([WINE_RUN, PROBE, *args], env=self.env, capture_output=True, text=True)
        return r.stdout.strip()

    def origin(self):
        left, top, _, _ = map(int, self.probe("rect").split())
        return left, top

    def screenshot(self):
        png = subprocess.run(["import", "-window", "root", "png:-"], check=True, capture_output=True).stdout
        return Image.open(io.BytesIO(png)).convert("RGB")

    def event_log(self):
        with open(self.errors, encoding="utf-8", errors="replace") as f:
            return f.read()

    def ended(self, timeout=10.0):
        """The exit status once Bellwick.exe has ended."""
        return self.proc.wait(timeout)
