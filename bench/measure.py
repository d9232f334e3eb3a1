"""Start-up time, idle cost and firing delay of bellwick, beside xclock and,
when installed, alarm-clock-applet and GNOME Clocks; the clock's delay on
screen; and Bellwick.exe's idle cost under Wine when it is built.

Runs on the X display and session bus given by xvfb-run and dbus-run-session.
Prints a table and writes JSON. Usage: measure.py BINARY OUT.json
"""

import contextlib
import json
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
sys.path.insert(0, os.path.join(ROOT, "tests", "e2e"))
from harness import geometry, loudest_sample, samples  # noqa: E402
from sound_server import FRAME, RATE, SoundServer, loud_stretches  # noqa: E402
from waiting import dated_alarm, wait_for  # noqa: E402
from window_points import CHECK1, LABEL1, TEXT1  # noqa: E402

import screen_probe  # noqa: E402 (beside this file)

TICKS = os.sysconf("SC_CLK_TCK")
IDLE_SECONDS = float(os.environ.get("BENCH_IDLE_SECONDS", "60"))
PEER_ALARMS = int(os.environ.get("BENCH_PEER_ALARMS", "3"))
STARTS = 10
ALARMS = 20
SETTLE_SECONDS = 2
START_TIMEOUT = 30
PROBE_CHECKS = 10  # flips of the painter window that time the screen probe itself
# Where the pointer rests while a program idles: off every window.
AWAY = (1020, 760)
EXE = os.environ.get("BENCH_EXE", "build/win32/app/Bellwick.exe")
WIN_PROBE = os.environ.get("BENCH_WIN_PROBE", "build/win32/tests/e2e_win32/win_probe.exe")
WINE_RUN = os.path.join(ROOT, "tools", "wine-run")


# --- X helpers ---------------------------------------------------------------


def xdotool(*args):
    return subprocess.run(["xdotool", *args], capture_output=True, text=True).stdout.split()


def shaped(name):
    out = subprocess.run(["xwininfo", "-name", name, "-shape"], capture_output=True, text=True).stdout
    return "Map State: IsViewable" in out and "Window shape extents" in out


def viewable(name):
    """A window of that exact name is mapped (some programs keep a hidden one of the same name)."""
    return bool(visible_windows(name))


def pointer_away():
    xdotool("mousemove", str(AWAY[0]), str(AWAY[1]))


def visible_windows(name):
    return xdotool("search", "--onlyvisible", "--name", "^%s$" % re.escape(name))


def x_server_pid():
    """Xvfb's pid from the lock file the server keeps for its display."""
    display = os.environ["DISPLAY"].split(":")[1].split(".")[0]
    with open("/tmp/.X%s-lock" % display) as f:
        return int(f.read().strip())


# --- /proc readings ----------------------------------------------------------


def read(path):
    with open(path) as f:
        return f.read()


def cpu_ticks(stat_text):
    fields = stat_text.rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])


def threads(pid):
    """Per thread id: name, context switches so far, CPU nanoseconds so far
    (the scheduler's own count, exact where clock ticks only sample)."""
    out = {}
    for tid in os.listdir("/proc/%d/task" % pid):
        base = "/proc/%d/task/%s/" % (pid, tid)
        try:
            switches = sum(int(line.split()[1]) for line in read(base + "status").splitlines()
                           if line.startswith(("voluntary_ctxt_switches", "nonvoluntary_ctxt_switches")))
            out[tid] = (read(base + "comm").strip(), switches, int(read(base + "schedstat").split()[0]))
        except (FileNotFoundError, ProcessLookupError):
            pass  # the thread ended while being read
    return out


class Snapshot:
    """A process's CPU ticks (its ended threads included) and its threads, at one moment."""

    def __init__(self, pid):
        self.at = time.monotonic()
        self.ticks = cpu_ticks(read("/proc/%d/stat" % pid))
        self.threads = threads(pid)


def usage(before, after):
    """CPU share and wake-ups per second between two snapshots, with a per-name breakdown.
    A thread started in between counts from zero; one that ended in between is lost,
    except from cpu_percent_ticks (the process's clock ticks: coarse, 10 ms each)."""
    seconds = after.at - before.at
    by_name = {}
    for tid, (name, switches, ns) in after.threads.items():
        _, switches0, ns0 = before.threads.get(tid, (name, 0, 0))
        row = by_name.setdefault(name, {"name": name, "count": 0, "wakeups_per_s": 0.0, "cpu_percent": 0.0})
        row["count"] += 1
        row["wakeups_per_s"] += (switches - switches0) / seconds
        row["cpu_percent"] += 100 * (ns - ns0) / 1e9 / seconds
    rows = sorted(by_name.values(), key=lambda r: (-r["wakeups_per_s"], r["name"]))
    return {
        "cpu_percent": sum(r["cpu_percent"] for r in rows),
        "cpu_percent_ticks": 100 * (after.ticks - before.ticks) / TICKS / seconds,
        "wakeups_per_s": sum(r["wakeups_per_s"] for r in rows),
        "threads": rows,
    }


def memory_mib(pid):
    """Resident and proportional set sizes."""
    sizes = {}
    for line in read("/proc/%d/smaps_rollup" % pid).splitlines():
        key, _, rest = line.partition(":")
        if key in ("Rss", "Pss"):
            sizes[key] = int(rest.split()[0]) / 1024
    return sizes["Rss"], sizes["Pss"]


def audio_threads(pid):
    """Threads SDL runs audio on (none while no device is open)."""
    return sum(name.startswith("SDLAudio") for name, _, _ in threads(pid).values())


def watch_all(pids, seconds):
    """Usage of each process of {key: pid} over an idle window; one that
    ends meanwhile is left out."""
    before = {}
    for key, pid in pids.items():
        try:
            before[key] = Snapshot(pid)
        except (FileNotFoundError, ProcessLookupError):
            pass
    time.sleep(seconds)
    out = {}
    for key, snapshot in before.items():
        try:
            out[key] = usage(snapshot, Snapshot(pids[key]))
        except (FileNotFoundError, ProcessLookupError):
            pass
    return out


def watch(pid, seconds):
    """The process's and the X server's usage over an idle window."""
    found = watch_all({"own": pid, "x": x_server_pid()}, seconds)
    return found["own"], found["x"]


def x_alone(seconds):
    xpid = x_server_pid()
    before = Snapshot(xpid)
    time.sleep(seconds)
    return usage(before, Snapshot(xpid))


# --- programs ----------------------------------------------------------------


class Program:
    """A program measured as a black box: how to start it and when its window is up."""

    def __init__(self, key, cmd, window, ready, env):
        self.key, self.cmd, self.window, self.ready, self.env = key, cmd, window, ready, env

    def start(self, env=None):
        t0 = time.monotonic()
        proc = subprocess.Popen(self.cmd, env=env or self.env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE,
                                text=True)
        while not self.ready(self.window):
            if proc.poll() is not None:
                raise RuntimeError("%s ended early: %s" % (self.cmd[0], proc.stderr.read()[-2000:]))
            if time.monotonic() - t0 > START_TIMEOUT:
                stop(proc)
                raise RuntimeError("%s showed no window %r in %d s" % (self.cmd[0], self.window, START_TIMEOUT))
            time.sleep(0.002)
        return proc, (time.monotonic() - t0) * 1000

    def startup_ms(self):
        times = []
        for _ in range(STARTS):
            proc, ms = self.start()
            times.append(ms)
            stop(proc)
        return statistics.median(times)

    def idle(self, prepare=None):
        """Usage over the idle window, memory before and after it. prepare(program), if
        given, runs on the started program before the window (arming an alarm, say).
        The pointer rests off the window throughout."""
        pointer_away()
        proc, _ = self.start()
        if prepare:
            prepare(self)
        time.sleep(SETTLE_SECONDS)
        if len(visible_windows(self.window)) > 1:
            stop(proc)
            raise RuntimeError("%s showed a message box while idle" % self.cmd[0])
        rss0, pss0 = memory_mib(proc.pid)
        own, x = watch(proc.pid, IDLE_SECONDS)
        rss1, pss1 = memory_mib(proc.pid)
        audio = audio_threads(proc.pid)
        stop(proc)
        return {
            "cpu_percent": own["cpu_percent"],
            "cpu_percent_ticks": own["cpu_percent_ticks"],
            "wakeups_per_s": own["wakeups_per_s"],
            "threads": own["threads"],
            "x_server_cpu_percent": x["cpu_percent"],
            "x_server_wakeups_per_s": x["wakeups_per_s"],
            "rss_start_mib": rss0,
            "pss_start_mib": pss0,
            "rss_after_mib": rss1,
            "pss_after_mib": pss1,
            "audio_threads": audio,
        }


def stop(proc):
    proc.terminate()
    try:
        return proc.communicate(timeout=10)[1]
    except subprocess.TimeoutExpired:
        proc.kill()
        return proc.communicate()[1]


def summary(delays_ms):
    if not delays_ms:
        return None
    return {"median": statistics.median(delays_ms), "max": max(delays_ms), "n": len(delays_ms)}


# --- Bellwick ------------------------------------------------------------------


def bellwick_origin():
    # The visible one: Qt keeps a hidden 1x1 window of the same name, which
    # comes first once the ringing window has been raised.
    return geometry(visible_windows("Bellwick")[0])[:2]


def type_alarm(due):
    """Types the alarm time into the time field; returns where the window is."""
    ox, oy = bellwick_origin()
    xdotool("mousemove", str(ox + TEXT1[0]), str(oy + TEXT1[1]), "click", "1", "key", "ctrl+a")
    xdotool("type", "--delay", "5", time.strftime("%H:%M:%S", time.localtime(due)))
    return ox, oy


def click_set_alarm(origin):
    xdotool("mousemove", str(origin[0] + CHECK1[0]), str(origin[1] + CHECK1[1]), "click", "1")


def arm_an_hour_ahead(app):
    """Types a dated alarm an hour ahead and ticks "Set Alarm" with a click,
    which leaves the focus on the box; waits for the save the click makes,
    then moves the pointer off the window."""
    ini = os.path.join(app.env["XDG_CONFIG_HOME"], "KV Bellwick.ini")
    if os.path.exists(ini):
        os.utime(ini, (0, 0))
    ox, oy = bellwick_origin()
    text, _ = dated_alarm(3600)
    xdotool("mousemove", str(ox + TEXT1[0]), str(oy + TEXT1[1]), "click", "1", "key", "ctrl+a")
    xdotool("type", "--delay", "5", text)
    click_set_alarm((ox, oy))
    wait_for(lambda: os.path.exists(ini) and os.stat(ini).st_mtime > 0, what="the choice saved")
    pointer_away()


def label_rect(origin):
    """The clock's rectangle on the screen as (left, top, width, height)."""
    left, top, right, bottom = LABEL1
    return origin[0] + left, origin[1] + top, right - left, bottom - top


def probe_delay():
    """The screen probe's own delay: a painter window flips its colour at
    moments it notes; the probe, polling as for the clock, sees each flip
    this long after the moment."""
    rect = (0, 0) + tuple(b - a for a, b in zip(LABEL1[:2], LABEL1[2:]))
    painter = subprocess.Popen([sys.executable, screen_probe.__file__, "--paint", *map(str, rect), str(PROBE_CHECKS)],
                               stdout=subprocess.PIPE, text=True)
    if painter.stdout.readline().strip() != "ready":
        raise RuntimeError("the painter window did not start")
    seen = dict(screen_probe.changes(rect, PROBE_CHECKS + 2))
    moments = [float(v) for v in painter.stdout.read().split()]
    painter.wait()
    delays = [int(m) * 1000 + seen[int(m)] - m * 1000 for m in moments if seen.get(int(m)) is not None]
    return summary(delays)


def clock_delay(app):
    """From each wall-clock second to the first poll that sees the clock's
    pixels changed, over the idle window, armed an hour ahead."""
    pointer_away()
    proc, _ = app.start()
    arm_an_hour_ahead(app)
    time.sleep(SETTLE_SECONDS)
    seen = [ms for _, ms in screen_probe.changes(label_rect(bellwick_origin()), IDLE_SECONDS)]
    stop(proc)
    result = summary([v for v in seen if v is not None]) or {}
    result["seconds_without_change"] = sum(v is None for v in seen)
    return result


def audio_mark(path):
    """Where the next sound will start in the disk driver's file: once the
    ringing stopped by the click has let the device (and so the file) go,
    the file is removed, and the next play writes a new one from its start."""
    try:
        size = -1
        while os.path.getsize(path) != size:
            size = os.path.getsize(path)
            time.sleep(0.1)
        os.remove(path)
    except FileNotFoundError:
        pass
    return 0


def chosen_tone(app, folder):
    wav = os.path.join(folder, "tone.wav")
    subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", "-b", "16", wav, "synth", "0.3", "sine", "880"], check=True)
    with open(os.path.join(app.env["XDG_CONFIG_HOME"], "KV Bellwick.ini"), "w") as f:
        f.write("[SoundFile]\nSound=%s\n" % wav)


def arm_for(due):
    """Types the alarm time and ticks "Set Alarm", which also silences the
    alarm before, still ringing (it rings until stopped)."""
    click_set_alarm(type_alarm(due))


def fire_bellwick(app, folder):
    """Alarms armed for the next whole seconds; delays from each second's start
    to the play call (from the log) and to the first loud sample written."""
    chosen_tone(app, folder)
    proc, _ = app.start(dict(app.env, QT_LOGGING_RULES="bellwick.alarm.info=true"))
    audio = app.env["SDL_DISKAUDIOFILE"]
    to_sound = []
    for _ in range(ALARMS):
        due = int(time.time()) + 2
        arm_for(due)
        start_offset = audio_mark(audio)
        while time.time() < due + 1.5:
            if loudest_sample(audio, start_offset) > 1000:
                to_sound.append((time.time() - due) * 1000)
                break
            time.sleep(0.002)
        time.sleep(max(0.0, due + 1.6 - time.time()))
    err = stop(proc)
    # Each alarm fires within its second: the milliseconds past it are the delay.
    to_play = [int(m.group(1)) % 1000 for m in re.finditer(r"fired epoch_ms=(\d+)", err)]
    return {"fire_to_play_ms": summary(to_play), "fire_to_sound_ms": summary(to_sound)}


def can_measure_pipewire():
    """Why the sound at a PipeWire sink cannot be measured here, or None."""
    missing = [p for p in ("pipewire", "wireplumber", "pipewire-pulse", "pw-cli", "parec", "pactl")
               if not shutil.which(p)]
    return "not installed: " + " ".join(missing) if missing else None


def fire_pipewire(app, folder):
    """Alarms as fire_bellwick's, heard through a PipeWire server of the
    bench's own (SDL's own choice of driver, which reaches it through its
    PulseAudio service); delays from each second's start to the first loud
    sample at the null sink's monitor.

    A sample's moment comes from the polls of the recording's size (each
    2 ms): a poll that finds N frames in the file finds frame n there, and
    the recording flows at the rate, silence included, so frame n reached
    the monitor at most (N - n) / rate before the poll. The least of those
    bounds over the later polls is taken (a frame the recorder dropped
    later only loosens a bound). So the figure holds the server's way to
    the sink and the recording's own few milliseconds to the file, not the
    poll's step nor the recorder's 10 ms fragments."""
    folder = os.path.join(folder, "pipewire")
    os.makedirs(folder)
    chosen_tone(app, folder)
    to_sound = []
    with contextlib.ExitStack() as stack:
        server = SoundServer("pipewire", folder, stack.callback).start()
        env = {k: v for k, v in app.env.items() if k not in ("SDL_AUDIODRIVER", "SDL_DISKAUDIOFILE")}
        env.update(server.client_env(), QT_LOGGING_RULES="bellwick.alarm.info=true")
        proc, _ = app.start(env)
        stack.callback(stop, proc)  # before the server
        for _ in range(ALARMS):
            due = int(time.time()) + 2
            arm_for(due)
            polls = []
            while time.time() < due + 1.0:
                polls.append((time.time(), server.recorded() // FRAME))
                time.sleep(0.002)
            # What was in the file 0.2 s before the second came before it; an
            # early sound shows as a negative delay.
            first = next(frames for t, frames in polls if t >= due - 0.2)
            loud = loud_stretches(samples(server.monitor, first * FRAME))
            if loud:
                n = first + loud[0][0]
                heard = min(t - (frames - n) / RATE for t, frames in polls if frames > n)
                to_sound.append((heard - due) * 1000)
        if server.ended():
            raise RuntimeError("the PipeWire server ended while measured")
    return {"fire_to_pipewire_sound_ms": summary(to_sound)}


# --- Bellwick.exe under Wine ----------------------------------------------------


def wine_processes(prefix):
    """{pid: name} of the processes of one Wine prefix, its server included
    (other prefixes' programs, tests' say, are left out)."""
    mark = ("WINEPREFIX=%s" % prefix).encode()
    out = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/environ" % entry, "rb") as f:
                if mark not in f.read().split(b"\0"):
                    continue
            out[int(entry)] = read("/proc/%s/comm" % entry).strip()
        except (FileNotFoundError, ProcessLookupError, PermissionError):
            continue
    return out


def wine_armed(folder):
    """Bellwick.exe in a new prefix of its own, armed an hour ahead as the
    Linux program is; then its own process's, the prefix's server's, the
    prefix's other processes' and the X server's usage over the idle window."""
    prefix = os.path.join(folder, "wine-prefix")
    env = dict(os.environ, WINEPREFIX=prefix, LANG="C.UTF-8", LC_ALL="C.UTF-8")

    def probe(*args):
        return subprocess.run([WINE_RUN, WIN_PROBE, *args], env=env, capture_output=True, text=True).stdout.strip()

    # Makes the prefix (wineboot) and boots its server, which stays up a while without programs.
    subprocess.run([WINE_RUN, "--start", "120"], env=env, check=True, capture_output=True)
    pointer_away()
    with open(os.path.join(folder, "wine-stderr.txt"), "wb") as errors:
        proc = subprocess.Popen([WINE_RUN, EXE], env=env, stdout=subprocess.DEVNULL, stderr=errors)
    try:
        wait_for(lambda: viewable("Bellwick"), timeout=START_TIMEOUT, what="Bellwick.exe's window")
        left, top = map(int, wait_for(lambda: re.fullmatch(r"-?\d+ -?\d+ -?\d+ -?\d+", probe("rect")),
                                      what="the window's place")[0].split()[:2])
        text, _ = dated_alarm(3600)
        xdotool("mousemove", str(left + TEXT1[0]), str(top + TEXT1[1]), "click", "1", "key", "ctrl+a")
        xdotool("type", "--delay", "5", text)
        xdotool("mousemove", str(left + CHECK1[0]), str(top + CHECK1[1]), "click", "1")
        wait_for(lambda: probe("checked") == "1", what="\"Set Alarm\" ticked")
        focus = probe("focus")
        if focus != "Button Set Alarm":
            raise RuntimeError("the focus is on %r, not on \"Set Alarm\"" % focus)
        pointer_away()
        time.sleep(SETTLE_SECONDS)
        processes = wine_processes(prefix)
        exe = [pid for pid, name in processes.items() if name == "Bellwick.exe"]
        server = [pid for pid, name in processes.items() if name.startswith("wineserver")]
        if len(exe) != 1 or len(server) != 1:
            raise RuntimeError("found %s in the prefix" % sorted(processes.values()))
        pids = {"x": x_server_pid()}
        pids.update({str(pid): pid for pid in processes})
        found = watch_all(pids, IDLE_SECONDS)
        if len(visible_windows("Bellwick")) > 1:
            raise RuntimeError("Bellwick.exe showed a message box while idle")
        rss, pss = memory_mib(exe[0])
        others = [dict(found[str(pid)], name=name) for pid, name in sorted(processes.items())
                  if pid not in exe + server and str(pid) in found]
        result = {
            "cpu_percent": found[str(exe[0])]["cpu_percent"],
            "cpu_percent_ticks": found[str(exe[0])]["cpu_percent_ticks"],
            "wakeups_per_s": found[str(exe[0])]["wakeups_per_s"],
            "threads": found[str(exe[0])]["threads"],
            "wineserver_cpu_percent": found[str(server[0])]["cpu_percent"],
            "wineserver_wakeups_per_s": found[str(server[0])]["wakeups_per_s"],
            "others_cpu_percent": sum(o["cpu_percent"] for o in others),
            "others_wakeups_per_s": sum(o["wakeups_per_s"] for o in others),
            "others": [{"name": o["name"], "cpu_percent": o["cpu_percent"], "wakeups_per_s": o["wakeups_per_s"]}
                       for o in others],
            "x_server_cpu_percent": found["x"]["cpu_percent"],
            "x_server_wakeups_per_s": found["x"]["wakeups_per_s"],
            "rss_after_mib": rss,
            "pss_after_mib": pss,
        }
        probe("close")
        proc.wait(timeout=10)
        return result
    finally:
        if proc.poll() is None:
            proc.kill()
            proc.wait()
        subprocess.run([WINE_RUN, "--stop"], env=env, capture_output=True)


def can_measure_wine():
    """Why Bellwick.exe cannot be measured here, or None."""
    for path in (EXE, WIN_PROBE):
        if not os.path.exists(path):
            return "%s is not built (cmake --build --preset win32)" % path
    if not shutil.which("wine"):
        return "Wine is not installed"
    return None


# --- peers: alarms set through their settings, rung into a stand-in notification server


def gsettings(env, *args):
    subprocess.run(["gsettings", "set", *args], env=env, check=True, capture_output=True)


def notifications(log):
    """(wall time, sender: text) of each Notify call the stand-in server took."""
    try:
        lines = read(log).splitlines()
    except FileNotFoundError:
        return []
    return [(float(line.split(" ", 2)[0]), line.split(" ", 2)[2]) for line in lines]


def delays_after(moments, events):
    """For each alarm moment, the delay to the first event at or after it (and before the next moment)."""
    out = []
    for i, due in enumerate(moments):
        end = moments[i + 1] if i + 1 < len(moments) else due + 30
        later = [t for t in events if due - 0.05 <= t < end]
        if later:
            out.append((min(later) - due) * 1000)
    return out


def wait_until(moment):
    time.sleep(max(0.0, moment - time.time()))


def fire_applet(app, folder, log):
    """Clock alarms on whole seconds a few seconds apart, each running a command
    that notes the time; the applet also sends a notification."""
    marks = os.path.join(folder, "applet-commands")
    first = int(time.time()) + 8
    moments = [first + 4 * i for i in range(PEER_ALARMS)]
    root = "io.github.alarm-clock-applet"
    gsettings(app.env, root, "alarms", str(list(range(PEER_ALARMS))))
    for i, due in enumerate(moments):
        alarm = "%s.alarm:/io/github/alarm-clock-applet/alarm-%d/" % (root, i)
        for key, value in (("type", "clock"), ("message", "bench %d" % i), ("time", str(due % 86400)),
                           ("timestamp", str(due)), ("notify-type", "command"),
                           ("command", "sh -c 'date +%%s.%%N >> %s'" % marks), ("active", "true")):
            gsettings(app.env, alarm, key, value)
    seen = len(notifications(log))
    proc, _ = app.start()
    wait_until(moments[-1] + 3)
    stop(proc)
    gsettings(app.env, root, "alarms", "@au []")
    events = [t for t, _ in notifications(log)[seen:]]
    commands = [float(x) for x in read(marks).split()] if os.path.exists(marks) else []
    return {"fire_to_notification_ms": summary(delays_after(moments, events)),
            "fire_to_command_ms": summary(delays_after(moments, commands))}


def fire_clocks(app, log):
    """GNOME Clocks rings on whole minutes: one alarm on each of the next few."""
    first = -(-(int(time.time()) + 10) // 60) * 60  # the first whole minute at least 10 s away
    moments = [first + 60 * i for i in range(PEER_ALARMS)]
    alarms = ", ".join(
        "{'name': <'bench %d'>, 'id': <'bench%d'>, 'active': <true>, 'hour': <%d>, 'minute': <%d>, "
        "'days': <@ai []>, 'snooze_minutes': <10>, 'ring_minutes': <1>}"
        % (i, i, time.localtime(due).tm_hour, time.localtime(due).tm_min) for i, due in enumerate(moments))
    gsettings(app.env, "org.gnome.clocks", "alarms", "[%s]" % alarms)
    seen = len(notifications(log))
    proc, _ = app.start()
    wait_until(moments[-1] + 3)
    stop(proc)
    gsettings(app.env, "org.gnome.clocks", "alarms", "@aa{sv} []")
    events = [t for t, _ in notifications(log)[seen:]]
    return {"fire_to_notification_ms": summary(delays_after(moments, events))}


def notification_server(log):
    """Stands in for a desktop's notification daemon on the session bus; notes when each Notify came."""
    import dbus
    import dbus.service
    from dbus.mainloop.glib import DBusGMainLoop
    from gi.repository import GLib

    class Notifications(dbus.service.Object):
        count = 0

        @dbus.service.method("org.freedesktop.Notifications", in_signature="susssasa{sv}i", out_signature="u")
        def Notify(self, app, replaces, icon, title, body, actions, hints, timeout):
            wall, mono = time.time(), time.monotonic()
            with open(log, "a") as f:
                f.write("%.6f %.6f %s: %s\n" % (wall, mono, app, " ".join((title + " " + body).split())))
            self.count += 1
            return self.count

        @dbus.service.method("org.freedesktop.Notifications", in_signature="u")
        def CloseNotification(self, _):
            pass

        @dbus.service.method("org.freedesktop.Notifications", out_signature="as")
        def GetCapabilities(self):
            return ["body", "actions"]

        @dbus.service.method("org.freedesktop.Notifications", out_signature="ssss")
        def GetServerInformation(self):
            return ("bench", "bellwick", "1", "1.2")

    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    name = dbus.service.BusName("org.freedesktop.Notifications", bus)  # noqa: F841 (held while running)
    Notifications(bus, "/org/freedesktop/Notifications")
    print("ready", flush=True)
    GLib.MainLoop().run()


def start_notification_server(log):
    proc = subprocess.Popen(["/usr/bin/python3", os.path.abspath(__file__), "--notifications", log],
                            stdout=subprocess.PIPE, text=True)
    if proc.stdout.readline().strip() != "ready":
        raise RuntimeError("the stand-in notification server did not start")
    return proc


# --- the run -----------------------------------------------------------------


def programs(binary, env):
    return [
        Program("bellwick", [binary], "Bellwick", shaped, env),
        Program("xclock", ["xclock", "-digital", "-strftime", "%X", "-update", "1"], "xclock", viewable, env),
        Program("alarm_clock_applet", ["alarm-clock-applet"], "Alarms", viewable, env),
        Program("gnome_clocks", ["gnome-clocks"], "Clocks", viewable, env),
    ]


def measure(prog, folder, log):
    result = {"command": prog.cmd, "startup_ms_median": prog.startup_ms(), "idle": prog.idle()}
    if prog.key == "bellwick":
        result["idle_armed"] = prog.idle(prepare=arm_an_hour_ahead)
        result["probe_delay_ms"] = probe_delay()
        result["clock_delay_ms"] = clock_delay(prog)
        result.update(fire_bellwick(prog, folder))
        why = can_measure_pipewire()
        if why:
            result["pipewire_not_measured"] = why
        else:
            result.update(fire_pipewire(prog, folder))
    elif prog.key == "alarm_clock_applet":
        result.update(fire_applet(prog, folder, log))
    elif prog.key == "gnome_clocks":
        result.update(fire_clocks(prog, log))
    return result


def run(binary):
    results = {"idle_seconds": IDLE_SECONDS, "peer_alarms": PEER_ALARMS, "programs": {}, "not_measured": {}}
    with tempfile.TemporaryDirectory(prefix="bellwick-bench-") as folder:
        config = os.path.join(folder, "config")
        os.makedirs(config)
        # Settings in the temporary folder (the GTK programs' through GLib's key file
        # backend, so no dconf service either); no accessibility bus for GTK programs.
        env = dict(os.environ, XDG_CONFIG_HOME=config, SDL_AUDIODRIVER="disk",
                   SDL_DISKAUDIOFILE=os.path.join(folder, "audio.raw"), LC_ALL="C.UTF-8",
                   GSETTINGS_BACKEND="keyfile", NO_AT_BRIDGE="1", GTK_A11Y="none")
        log = os.path.join(folder, "notifications.log")
        server = start_notification_server(log)
        try:
            results["x_server_alone"] = x_alone(IDLE_SECONDS)
            for prog in programs(binary, env):
                if not shutil.which(prog.cmd[0]):
                    results["not_measured"][prog.key] = "not installed"
                    continue
                print("measuring", prog.key, file=sys.stderr, flush=True)
                try:
                    results["programs"][prog.key] = measure(prog, folder, log)
                except (RuntimeError, subprocess.CalledProcessError) as e:
                    if prog.key == "bellwick":
                        raise
                    results["not_measured"][prog.key] = str(e).splitlines()[0]
            why = can_measure_wine()
            if why:
                results["not_measured"]["bellwick_exe"] = why
            else:
                print("measuring Bellwick.exe under Wine", file=sys.stderr, flush=True)
                results["programs"].setdefault("bellwick", {})["wine_armed"] = wine_armed(folder)
        finally:
            stop(server)
    return results


# --- the table ---------------------------------------------------------------

COLUMNS = ("bellwick", "xclock", "alarm_clock_applet", "gnome_clocks")
TITLES = ("bellwick", "xclock", "alarm-clock-applet", "gnome-clocks")


def cell(value):
    if value is None:
        return "–"
    if isinstance(value, dict):  # a firing summary
        return "%.1f / %.1f (%d)" % (value["median"], value["max"], value["n"])
    if isinstance(value, float):
        return "%.3f" % value if abs(value) < 10 else "%.1f" % value
    return str(value)


def pick(result, *path):
    for key in path:
        if not isinstance(result, dict) or key not in result:
            return None
        result = result[key]
    return result


def thread_line(usage_result):
    return ", ".join("%s%s %.2f" % (r["name"], " x%d" % r["count"] if r["count"] > 1 else "", r["wakeups_per_s"])
                     for r in usage_result["threads"][:6])


def print_table(results):
    s = int(results["idle_seconds"])
    alone = results["x_server_alone"]
    rows = [
        ("start-up to window mapped*, median of %d, ms" % STARTS, ("startup_ms_median",)),
        ("idle from start** over %d s: CPU, %% of one core" % s, ("idle", "cpu_percent")),
        ("idle from start: wake-ups per second, all threads", ("idle", "wakeups_per_s")),
        ("X server CPU meanwhile, %% (no client: %.3f)" % alone["cpu_percent"], ("idle", "x_server_cpu_percent")),
        ("X server wake-ups/s meanwhile (no client: %.2f)" % alone["wakeups_per_s"],
         ("idle", "x_server_wakeups_per_s")),
        ("armed an hour ahead***: CPU, % of one core", ("idle_armed", "cpu_percent")),
        ("armed an hour ahead: wake-ups per second", ("idle_armed", "wakeups_per_s")),
        ("armed an hour ahead: X server CPU, %", ("idle_armed", "x_server_cpu_percent")),
        ("armed an hour ahead: X server wake-ups/s", ("idle_armed", "x_server_wakeups_per_s")),
        ("RSS after start, MiB", ("idle", "rss_start_mib")),
        ("RSS after %d s, MiB" % s, ("idle", "rss_after_mib")),
        ("PSS after start, MiB", ("idle", "pss_start_mib")),
        ("PSS after %d s, MiB" % s, ("idle", "pss_after_mib")),
        ("SDL audio threads while idle", ("idle", "audio_threads")),
        ("second boundary to clock on screen, armed, ms", ("clock_delay_ms",)),
        ("second boundary to play call, ms", ("fire_to_play_ms",)),
        ("second boundary to first sound, ms", ("fire_to_sound_ms",)),
        ("  to first sound at a PipeWire sink, ms", ("fire_to_pipewire_sound_ms",)),
        ("alarm moment to its command, ms", ("fire_to_command_ms",)),
        ("alarm moment to notification, ms", ("fire_to_notification_ms",)),
        ("Bellwick.exe under Wine, armed***: CPU, %", ("wine_armed", "cpu_percent")),
        ("Bellwick.exe under Wine, armed: wake-ups/s", ("wine_armed", "wakeups_per_s")),
        ("  its wineserver: CPU, %", ("wine_armed", "wineserver_cpu_percent")),
        ("  its wineserver: wake-ups/s", ("wine_armed", "wineserver_wakeups_per_s")),
        ("  the prefix's other processes: CPU, %", ("wine_armed", "others_cpu_percent")),
        ("  the prefix's other processes: wake-ups/s", ("wine_armed", "others_wakeups_per_s")),
        ("  X server: CPU, %", ("wine_armed", "x_server_cpu_percent")),
        ("  X server: wake-ups/s", ("wine_armed", "x_server_wakeups_per_s")),
        ("  Bellwick.exe RSS after, MiB", ("wine_armed", "rss_after_mib")),
    ]
    progs = results["programs"]
    width = max(len(label) for label, _ in rows)
    print("%-*s %s" % (width, "measure", " ".join("%19s" % t for t in TITLES)))
    for label, path in rows:
        print("%-*s %s" % (width, label, " ".join("%19s" % cell(pick(progs.get(k), *path)) for k in COLUMNS)))
    print("* bellwick: mapped and shaped. ** The pointer off the window; bellwick's text cursor blinks"
          " for its first 10 s. *** Typed, then \"Set Alarm\" clicked: the focus stays there; the pointer"
          " moved off.")
    print("Delay rows: median / max ms (count); the peers ring %d alarms each (BENCH_PEER_ALARMS),"
          " GNOME Clocks on whole minutes only." % results["peer_alarms"])
    b = progs.get("bellwick")
    if b and "idle" in b:
        print("bellwick wake-ups/s by thread, idle:  " + thread_line(b["idle"]))
        print("bellwick wake-ups/s by thread, armed: " + thread_line(b["idle_armed"]))
        print("CPU rows count the scheduler's nanoseconds; by clock ticks (10 ms steps) bellwick took"
              " %.3f %% idle, %.3f %% armed" % (b["idle"]["cpu_percent_ticks"], b["idle_armed"]["cpu_percent_ticks"]))
        print("screen probe's own delay (a window flipped at noted moments): %s; seconds the clock did not"
              " change: %d" % (cell(b["probe_delay_ms"]), b["clock_delay_ms"].get("seconds_without_change", 0)))
    if b and "pipewire_not_measured" in b:
        print("sound at a PipeWire sink: " + b["pipewire_not_measured"])
    if b and "wine_armed" in b:
        w = b["wine_armed"]
        print("Bellwick.exe PSS after, MiB: %.1f" % w["pss_after_mib"])
        print("Bellwick.exe wake-ups/s by thread, armed: " + thread_line(w))
        print("the prefix's other processes, wake-ups/s: " + ", ".join(
            "%s %.2f" % (o["name"], o["wakeups_per_s"]) for o in w["others"]))
    for key, why in results["not_measured"].items():
        print("%s: %s" % (key, why))


def main():
    if sys.argv[1] == "--notifications":
        notification_server(sys.argv[2])
        return
    binary, out = sys.argv[1], sys.argv[2]
    results = run(binary)
    print_table(results)
    os.makedirs(os.path.dirname(out), exist_ok=True)
    with open(out, "w") as f:
        json.dump(results, f, indent=2, ensure_ascii=False)
    print("written to", out)


if __name__ == "__main__":
    main()
