"""Drives the real bellwick binary on the X display given by xvfb-run.

Each test gets a fresh XDG_CONFIG_HOME, SDL's disk audio driver writing into
a file of its own, and a grey root window so see-through pixels show grey.
"""

import array
import configparser
import os
import signal
import subprocess
import tempfile
import time
import unittest

from PIL import Image

from waiting import clock_goes_on, dated_alarm, drawn_clock, events, wait_for
from window_points import BANNER, BROWSE, CHECK1, IMAGE3, LABEL1, TEXT1, TXTFILE, WINDOW, scaled_box  # noqa: F401

BINARY = os.environ.get("BELLWICK_BINARY", "build/default/app/bellwick")
# A bus anyone may use and own names on, which starts no services.
BUS_CONFIG = """<busconfig><type>session</type><listen>unix:dir=%s</listen><auth>EXTERNAL</auth>
<policy context="default"><allow send_destination="*" eavesdrop="true"/><allow eavesdrop="true"/><allow own="*"/>
</policy></busconfig>"""
GREY = (128, 128, 128)
INI_NAME = "KV Bellwick.ini"


def run(*cmd):
    return subprocess.run(cmd, check=True, capture_output=True, text=True).stdout.strip()


def windows_named(name):
    r = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^%s$" % name],
                       capture_output=True, text=True)
    return [int(w) for w in r.stdout.split()]


def geometry(window):
    out = run("xdotool", "getwindowgeometry", "--shell", str(window))
    values = dict(line.split("=", 1) for line in out.splitlines())
    return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])


def screenshot(path):
    # xwd reads what the server shows, root background included
    xwd = subprocess.run(["xwd", "-root", "-silent"], check=True, capture_output=True).stdout
    subprocess.run(["convert", "xwd:-", path], input=xwd, check=True)
    return Image.open(path).convert("RGB")


def window_shot(window, path):
    """The window's own pixels."""
    xwd = subprocess.run(["xwd", "-id", str(window), "-silent"], check=True, capture_output=True).stdout
    subprocess.run(["convert", "xwd:-", path], input=xwd, check=True)
    return Image.open(path).convert("RGB")


def grey_root(folder, colour=GREY):
    """A grey (or `colour`) root window background, so see-through pixels show it."""
    tile = os.path.join(folder, "root.png")
    Image.new("RGB", (16, 16), colour).save(tile)
    # display exits with 1 even when it has set the background
    subprocess.run(["display", "-window", "root", tile], capture_output=True)


def samples(path, offset=0):
    """The 16-bit samples of a raw disk-audio file from byte offset on (none
    while there is no file: the player opens the device, and so the file,
    only to play)."""
    try:
        with open(path, "rb") as f:
            f.seek(offset)
            data = f.read()
    except FileNotFoundError:
        return array.array("h")
    return array.array("h", data[: len(data) // 2 * 2])


def loudest_sample(path, offset=0):
    """Largest absolute sample in a raw disk-audio file from byte offset on."""
    return max((abs(s) for s in samples(path, offset)), default=0)


def audio_threads(pid):
    """Names of the process's threads that SDL runs audio on."""
    names = []
    for task in os.listdir("/proc/%d/task" % pid):
        try:
            with open("/proc/%d/task/%s/comm" % (pid, task)) as f:
                name = f.read().strip()
        except FileNotFoundError:  # the thread has just ended
            continue
        if name.startswith("SDLAudio"):
            names.append(name)
    return names


def open_files(pid):
    """What the process's file descriptors point at."""
    targets = set()
    folder = "/proc/%d/fd" % pid
    for fd in os.listdir(folder):
        try:
            targets.add(os.readlink(os.path.join(folder, fd)))
        except FileNotFoundError:
            continue
    return targets


def make_wav(path, seconds=2):
    run("sox", "-n", "-r", "44100", "-c", "2", "-b", "16", path, "synth", str(seconds), "sine", "440")


class AppTest(unittest.TestCase):
    """Starts one bellwick per test; call self.start() after preparing."""

    def setUp(self):
        self.tmp = tempfile.TemporaryDirectory(prefix="bellwick-e2e-")
        self.dir = self.tmp.name
        self.config = os.path.join(self.dir, "config")
        os.makedirs(self.config)
        self.audio = os.path.join(self.dir, "audio.raw")
        self.proc = None
        self.window = None
        self.dpi = 96  # 96 times the QT_SCALE_FACTOR a test starts with
        grey_root(self.dir)

    def tearDown(self):
        if self.proc and self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        if self.proc:
            self.log.close()
        self.make_config_writable()
        self.tmp.cleanup()

    def child(self, cmd):
        """A helper process, ended with the test; its output is readable."""
        p = subprocess.Popen(cmd, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.addCleanup(lambda: (p.kill(), p.wait(), p.stdout.close()))
        return p

    def private_bus(self, name):
        """A dbus-daemon of the test's own; its address."""
        config = os.path.join(self.dir, name + ".conf")
        with open(config, "w") as f:
            f.write(BUS_CONFIG % self.dir)
        daemon = self.child(["dbus-daemon", "--config-file=" + config, "--nofork", "--print-address"])
        return daemon.stdout.readline().strip()

    def make_config_read_only(self):
        """The settings folder takes no more writes, for root too (which
        permission bits do not stop): immutable for root, mode 0555 otherwise."""
        if os.geteuid() == 0:
            r = subprocess.run(["chattr", "+i", self.config], capture_output=True, text=True)
            if r.returncode != 0:
                self.skipTest("chattr +i is not available here: " + r.stderr.strip())
        else:
            os.chmod(self.config, 0o555)

    def make_config_writable(self):
        if os.geteuid() == 0:
            subprocess.run(["chattr", "-i", self.config], capture_output=True)
        os.chmod(self.config, 0o755)

    def holds_audio(self):
        """Whether the program holds an audio device: an SDL audio thread,
        or the disk driver's file open."""
        return bool(audio_threads(self.proc.pid)) or self.audio in open_files(self.proc.pid)

    def fresh_audio(self):
        """Removes the disk driver's file between alarms; the player opens the
        device (and a new file) at the next. Returns where its sound begins."""
        if os.path.exists(self.audio):
            os.remove(self.audio)
        return 0

    def stderr_text(self):
        """Standard error of the program started last."""
        self.log.flush()
        with open(os.path.join(self.dir, "stderr.txt"), errors="replace") as f:
            f.seek(self.log_from)
            return f.read()

    def events(self, kind):
        """This run's event-log lines of `kind` ("fired", "failed") as (epoch_ms, line)."""
        return events(self.stderr_text(), kind)

    @property
    def ini(self):
        return os.path.join(self.config, INI_NAME)

    def write_setting(self, value):
        raw = os.fsencode(value)
        try:
            raw.decode("utf-8")
            line = b"Sound=" + raw
        except UnicodeDecodeError:  # QSettings keeps such paths as escaped bytes
            line = b"Sound=@ByteArray(" + b"".join(
                bytes([c]) if 32 <= c < 127 and c not in b"\\()" else b"\\x%02x" % c for c in raw) + b")"
        with open(self.ini, "wb") as f:
            f.write(b"[SoundFile]\n" + line + b"\n")

    def stored_sound(self):
        parser = configparser.RawConfigParser()
        parser.optionxform = str
        parser.read(self.ini, encoding="utf-8")
        value = parser.get("SoundFile", "Sound", fallback=None)
        if value and len(value) > 1 and value[0] == value[-1] == '"':
            value = value[1:-1]  # QSettings quotes values with spaces
        return value

    def start(self, env=None, lang="C.UTF-8", drop=()):
        """Starts bellwick; env adds to or overrides its environment, the
        names in drop are taken out of it (SDL_AUDIODRIVER: SDL's own choice)."""
        e = dict(os.environ)
        e.update({
            "XDG_CONFIG_HOME": self.config,
            "SDL_AUDIODRIVER": "disk",
            "SDL_DISKAUDIOFILE": self.audio,
            "LC_ALL": lang,
            "QT_QPA_PLATFORM": "xcb",
            "QT_LOGGING_RULES": "bellwick.alarm.info=true",  # "fired" lines too
        })
        e.update(env or {})
        for name in drop:
            e.pop(name, None)
        if self.proc:
            if self.proc.poll() is None:
                self.proc.kill()
                self.proc.wait()
            self.log.close()
        self.log = open(os.path.join(self.dir, "stderr.txt"), "ab")
        self.log_from = self.log.tell()
        self.proc = subprocess.Popen([BINARY], env=e, stdout=subprocess.DEVNULL, stderr=self.log)
        self.window = wait_for(lambda: (windows_named("Bellwick") or [None])[0], what="the window")
        wait_for(lambda: drawn_clock(self.clock()), what="the first paint")
        return self.window

    def clock(self):
        """The clock's rectangle as the screen shows it."""
        return window_shot(self.window, os.path.join(self.dir, "clock.png")).crop(scaled_box(LABEL1, self.dpi))

    def clock_goes_on(self, seconds=2):
        """The clock's pictures once it has shown `seconds` new ones (waiting.clock_goes_on)."""
        return clock_goes_on(self.clock, seconds)

    def origin(self):
        x, y, _, _ = geometry(self.window)
        return x, y

    def click(self, at, button=1):
        x, y = self.origin()
        run("xdotool", "mousemove", str(x + at[0]), str(y + at[1]), "click", str(button))

    def key(self, *keys):
        run("xdotool", "key", "--clearmodifiers", *keys)

    def set_alarm_text(self, text):
        self.click(TEXT1)
        self.key("ctrl+a")
        run("xdotool", "type", "--delay", "20", text)

    def alarm_in(self, seconds=0):
        """Types a dated alarm `seconds` from now; returns its moment in epoch seconds."""
        text, due = dated_alarm(seconds)
        self.set_alarm_text(text)
        return due

    def arm_ahead(self, then=lambda: None, time_of_day=False, env=None):
        """Starts the program, arms an alarm a few seconds ahead (dated, or a
        time of day, which once rung arms for tomorrow) and runs then()
        before its second; a machine too slow for the margin starts over
        with more. Returns the alarm's moment in epoch seconds."""
        for margin in (2, 4, 8, 16, 32):
            self.fresh_audio()
            self.start(env=env)
            text, due = dated_alarm(margin, "%H:%M:%S" if time_of_day else "%Y-%m-%d %H:%M:%S")
            self.set_alarm_text(text)
            self.click_check1()
            then()
            if time.time() < due - 0.2:
                return due
        self.fail("never armed %d s ahead of the alarm" % margin)

    def click_check1(self):
        """Clicks "Set Alarm" and waits for the save each click makes: the
        click has then been handled."""
        if os.path.exists(self.ini):
            os.utime(self.ini, (0, 0))
        self.click(CHECK1)
        wait_for(lambda: os.path.exists(self.ini) and os.stat(self.ini).st_mtime > 0, what="the choice saved")

    def alive(self):
        return self.proc.poll() is None

    def dialogs(self):
        """Visible windows titled Bellwick other than the main window."""
        return [w for w in windows_named("Bellwick") if w != self.window]

    def dismiss_dialog(self):
        box = wait_for(lambda: (self.dialogs() or [None])[0], what="a message box")
        # The OK button sits in the bottom right corner; there is no window
        # manager here to give the box the keyboard. A box still settling
        # into place may miss the click: click again while it is there.
        for _ in range(5):
            if box not in self.dialogs():
                return
            seen = []

            def in_place():
                seen.append(geometry(box))
                return len(seen) > 1 and seen[-1] == seen[-2] and seen[-1]
            try:
                x, y, width, height = wait_for(in_place, what="the box in place")
                run("xdotool", "mousemove", str(x + width - 50), str(y + height - 24), "click", "1")
                wait_for(lambda: box not in self.dialogs(), timeout=2, what="the box closed")
            except (AssertionError, subprocess.CalledProcessError):  # missed, or closed meanwhile
                continue
        raise AssertionError("the message box did not close")

    def terminate(self, sig=signal.SIGTERM):
        self.proc.send_signal(sig)
        status = self.proc.wait(timeout=10)
        if status != 0:  # show why in the test's output
            self.log.flush()
            with open(os.path.join(self.dir, "stderr.txt"), errors="replace") as f:
                print(f.read()[-4000:])
        return status
