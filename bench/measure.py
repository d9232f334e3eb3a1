"""Start-up time, idle cost and firing delay of bellwick, beside xclock and,
when installed, alarm-clock-applet and GNOME Clocks.

Runs on the X display and session bus given by xvfb-run and dbus-run-session.
Prints a table and writes JSON. Usage: measure.py BINARY OUT.json
"""

import json
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
from harness import geometry, loudest_sample  # noqa: E402
from window_points import CHECK1, TEXT1  # noqa: E402

TICKS = os.sysconf("SC_CLK_TCK")
IDLE_SECONDS = float(os.environ.get("BENCH_IDLE_SECONDS", "60"))
PEER_ALARMS = int(os.environ.get("BENCH_PEER_ALARMS", "3"))
STARTS = 10
ALARMS = 20
SETTLE_SECONDS = 2
START_TIMEOUT = 30


# --- X helpers ---------------------------------------------------------------


def xdotool(*args):
    return subprocess.run(["xdotool", *args], capture_output=True, text=True).stdout.split()


def shaped(name):
    out = subprocess.run(["xwininfo", "-name", name, "-shape"], capture_output=True, text=True).stdout
    return "Map State: IsViewable" in out and "Window shape extents" in out


def viewable(name):
    """A window of that exact name is mapped (some programs keep a hidden one of the same name)."""
    return bool(xdotool("search", "--onlyvisible", "--name", "^%s$" % re.escape(name)))


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
    """Per thread id: name, context switches so far, CPU ticks so far."""
    out = {}
    for tid in os.listdir("/proc/%d/task" % pid):
        base = "/proc/%d/task/%s/" % (pid, tid)
        try:
            switches = sum(int(line.split()[1]) for line in read(base + "status").splitlines()
                           if line.startswith(("voluntary_ctxt_switches", "nonvoluntary_ctxt_switches")))
            out[tid] = (read(base + "comm").strip(), switches, cpu_ticks(read(base + "stat")))
        except (FileNotFoundError, ProcessLookupError):
            pass  # the thread ended while being read
    return out


class Snapshot:
    """A process's CPU time (its ended threads included) and its threads, at one moment."""

    def __init__(self, pid):
        self.at = time.monotonic()
        self.ticks = cpu_ticks(read("/proc/%d/stat" % pid))
        self.threads = threads(pid)


def usage(before, after):
    """CPU share and wake-ups per second between two snapshots, with a per-name breakdown.
    A thread started in between counts from zero; one that ended in between is lost."""
    seconds = after.at - before.at
    by_name = {}
    for tid, (name, switches, ticks) in after.threads.items():
        _, switches0, ticks0 = before.threads.get(tid, (name, 0, 0))
        row = by_name.setdefault(name, {"name": name, "count": 0, "wakeups_per_s": 0.0, "cpu_percent": 0.0})
        row["count"] += 1
        row["wakeups_per_s"] += (switches - switches0) / seconds
        row["cpu_percent"] += 100 * (ticks - ticks0) / TICKS / seconds
    rows = sorted(by_name.values(), key=lambda r: (-r["wakeups_per_s"], r["name"]))
    return {
        "cpu_percent": 100 * (after.ticks - before.ticks) / TICKS / seconds,
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


def watch(pid, seconds):
    """The process's and the X server's usage over an idle window."""
    xpid = x_server_pid()
    before, xbefore = Snapshot(pid), Snapshot(xpid)
    time.sleep(seconds)
    after, xafter = Snapshot(pid), Snapshot(xpid)
    return usage(before, after), usage(xbefore, xafter)


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
        """Usage over the idle window, memory before and after it. prepare(), if given,
        runs on the started program before the window (arming an alarm, say)."""
        proc, _ = self.start()
        if prepare:
            prepare()
        time.sleep(SETTLE_SECONDS)
        rss0, pss0 = memory_mib(proc.pid)
        own, x = watch(proc.pid, IDLE_SECONDS)
        rss1, pss1 = memory_mib(proc.pid)
        audio = audio_threads(proc.pid)
        stop(proc)
        return {
            "cpu_percent": own["cpu_percent"],
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
    return geometry(xdotool("search", "--name", "^Bellwick$")[0])[:2]


def type_alarm(due):
    """Types the alarm time into the time field; returns where the window is."""
    ox, oy = bellwick_origin()
    xdotool("mousemove", str(ox + TEXT1[0]), str(oy + TEXT1[1]), "click", "1", "key", "ctrl+a")
    xdotool("type", "--delay", "5", time.strftime("%H:%M:%S", time.localtime(due)))
    return ox, oy


def click_set_alarm(origin):
    xdotool("mousemove", str(origin[0] + CHECK1[0]), str(origin[1] + CHECK1[1]), "click", "1")


def arm_an_hour_ahead():
    click_set_alarm(type_alarm(int(time.time()) + 3600))


def audio_mark(path):
    """Where the next sound will start in the disk driver's file. A player that
    holds the device only while it plays leaves the file still between alarms:
    it is removed, and the next play writes a new one from its start."""
    try:
        size = os.path.getsize(path)
        time.sleep(0.1)
        if os.path.getsize(path) != size:
            return size
        os.remove(path)
    except FileNotFoundError:
        pass
    return 0


def fire_bellwick(app, folder):
    """Alarms armed for the next whole seconds; delays from each second's start
    to the play call (from the log) and to the first loud sample written."""
    wav = os.path.join(folder, "tone.wav")
    subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", "-b", "16", wav, "synth", "0.3", "sine", "880"], check=True)
    with open(os.path.join(app.env["XDG_CONFIG_HOME"], "KV Bellwick.ini"), "w") as f:
        f.write("[SoundFile]\nSound=%s\n" % wav)
    proc, _ = app.start(dict(app.env, QT_LOGGING_RULES="bellwick.alarm.info=true"))
    audio = app.env["SDL_DISKAUDIOFILE"]
    to_sound = []
    for _ in range(ALARMS):
        due = int(time.time()) + 2
        origin = type_alarm(due)
        start_offset = audio_mark(audio)
        click_set_alarm(origin)
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
        result.update(fire_bellwick(prog, folder))
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
        ("idle CPU over %d s, %% of one core" % s, ("idle", "cpu_percent")),
        ("idle wake-ups per second, all threads", ("idle", "wakeups_per_s")),
        ("X server CPU meanwhile, %% (no client: %.3f)" % alone["cpu_percent"], ("idle", "x_server_cpu_percent")),
        ("X server wake-ups/s meanwhile (no client: %.2f)" % alone["wakeups_per_s"],
         ("idle", "x_server_wakeups_per_s")),
        ("armed an hour ahead: CPU, % of one core", ("idle_armed", "cpu_percent")),
        ("armed an hour ahead: wake-ups per second", ("idle_armed", "wakeups_per_s")),
        ("armed an hour ahead: X server CPU, %", ("idle_armed", "x_server_cpu_percent")),
        ("armed an hour ahead: X server wake-ups/s", ("idle_armed", "x_server_wakeups_per_s")),
        ("RSS after start, MiB", ("idle", "rss_start_mib")),
        ("RSS after %d s, MiB" % s, ("idle", "rss_after_mib")),
        ("PSS after start, MiB", ("idle", "pss_start_mib")),
        ("PSS after %d s, MiB" % s, ("idle", "pss_after_mib")),
        ("SDL audio threads while idle", ("idle", "audio_threads")),
        ("second boundary to play call, ms", ("fire_to_play_ms",)),
        ("second boundary to first sound, ms", ("fire_to_sound_ms",)),
        ("alarm moment to its command, ms", ("fire_to_command_ms",)),
        ("alarm moment to notification, ms", ("fire_to_notification_ms",)),
    ]
    progs = results["programs"]
    width = max(len(label) for label, _ in rows)
    print("%-*s %s" % (width, "measure", " ".join("%19s" % t for t in TITLES)))
    for label, path in rows:
        print("%-*s %s" % (width, label, " ".join("%19s" % cell(pick(progs.get(k), *path)) for k in COLUMNS)))
    print("* bellwick: mapped and shaped. Firing rows: median / max ms (alarms); the peers ring %d alarms"
          " each (BENCH_PEER_ALARMS), GNOME Clocks on whole minutes only." % results["peer_alarms"])
    b = progs.get("bellwick")
    if b:
        print("bellwick wake-ups/s by thread, idle:  " + thread_line(b["idle"]))
        print("bellwick wake-ups/s by thread, armed: " + thread_line(b["idle_armed"]))
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
