"""Start-up time, idle cost and firing latency of bellwick, beside xclock.

Runs on the X display given by xvfb-run. Prints a table and writes JSON.
"""

import array
import json
import os
import re
import statistics
import subprocess
import sys
import tempfile
import time

TICKS = os.sysconf("SC_CLK_TCK")
PAGE = os.sysconf("SC_PAGE_SIZE")
IDLE_SECONDS = 60
STARTS = 10
ALARMS = 20


def xdotool(*args):
    return subprocess.run(["xdotool", *args], capture_output=True, text=True).stdout.split()


def shaped(name):
    out = subprocess.run(["xwininfo", "-name", name, "-shape"], capture_output=True, text=True).stdout
    return "Map State: IsViewable" in out and "Window shape extents" in out


def viewable(name):
    out = subprocess.run(["xwininfo", "-name", name], capture_output=True, text=True).stdout
    return "Map State: IsViewable" in out


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS


def rss_mib(pid):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024
    return 0.0


def audio_threads(pid):
    """Threads SDL runs audio on (none while no device is open)."""
    n = 0
    for task in os.listdir("/proc/%d/task" % pid):
        try:
            with open("/proc/%d/task/%s/comm" % (pid, task)) as f:
                n += f.read().startswith("SDLAudio")
        except FileNotFoundError:
            pass
    return n


class Program:
    def __init__(self, cmd, name, ready, env=None):
        self.cmd, self.name, self.ready, self.env = cmd, name, ready, env

    def start(self):
        t0 = time.monotonic()
        proc = subprocess.Popen(self.cmd, env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        while not self.ready(self.name):
            if proc.poll() is not None:
                raise RuntimeError("%s ended early: %s" % (self.cmd[0], proc.stderr.read()[-2000:]))
            time.sleep(0.002)
        return proc, (time.monotonic() - t0) * 1000

    def startup_ms(self):
        times = []
        for _ in range(STARTS):
            proc, ms = self.start()
            times.append(ms)
            proc.terminate()
            proc.wait()
        return statistics.median(times)

    def idle(self):
        proc, _ = self.start()
        time.sleep(2)
        rss_start = rss_mib(proc.pid)
        c0, t0 = cpu_seconds(proc.pid), time.monotonic()
        time.sleep(IDLE_SECONDS)
        c1, t1 = cpu_seconds(proc.pid), time.monotonic()
        rss_end = rss_mib(proc.pid)
        threads = audio_threads(proc.pid)
        proc.terminate()
        proc.wait()
        return 100 * (c1 - c0) / (t1 - t0), rss_start, rss_end, threads


def loudest(path, offset):
    try:
        with open(path, "rb") as f:
            f.seek(offset)
            data = f.read()
    except FileNotFoundError:
        return 0
    data = data[: len(data) // 2 * 2]
    return max((abs(s) for s in array.array("h", data)), default=0)


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


def firing_latency(binary, env, folder):
    """Alarms armed for the next whole seconds; latency from each second's start."""
    wav = os.path.join(folder, "tone.wav")
    subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", "-b", "16", wav, "synth", "0.3", "sine", "880"], check=True)
    with open(os.path.join(env["XDG_CONFIG_HOME"], "KV Bellwick.ini"), "w") as f:
        f.write("[SoundFile]\nSound=%s\n" % wav)
    env = dict(env, QT_LOGGING_RULES="bellwick.alarm.info=true")
    app = Program([binary], "Bellwick", shaped, env)
    proc, _ = app.start()
    win = xdotool("search", "--name", "^Bellwick$")[0]
    geo = dict(l.split("=") for l in subprocess.run(["xdotool", "getwindowgeometry", "--shell", win],
                                                     capture_output=True, text=True).stdout.split())
    ox, oy = int(geo["X"]), int(geo["Y"])
    audio = env["SDL_DISKAUDIOFILE"]
    to_play, to_sound = [], []
    for _ in range(ALARMS):
        due = int(time.time()) + 2
        xdotool("mousemove", str(ox + 224), str(oy + 85), "click", "1", "key", "ctrl+a")
        xdotool("type", "--delay", "5", time.strftime("%H:%M:%S", time.localtime(due)))
        start_offset = audio_mark(audio)
        xdotool("mousemove", str(ox + 175), str(oy + 122), "click", "1")  # arm
        sound_at = None
        while time.time() < due + 1.5:
            if loudest(audio, start_offset) > 1000:
                sound_at = time.time()
                break
            time.sleep(0.002)
        if sound_at:
            to_sound.append((sound_at - due) * 1000)
        time.sleep(max(0.0, due + 1.6 - time.time()))
    proc.terminate()
    _, err = proc.communicate()
    # Each alarm fires within its second: the milliseconds past it are the latency.
    for m in re.finditer(r"fired epoch_ms=(\d+)", err):
        to_play.append(int(m.group(1)) % 1000)
    return to_play, to_sound


def main():
    binary, out = sys.argv[1], sys.argv[2]
    with tempfile.TemporaryDirectory(prefix="bellwick-bench-") as folder:
        config = os.path.join(folder, "config")
        os.makedirs(config)
        env = dict(os.environ, XDG_CONFIG_HOME=config, SDL_AUDIODRIVER="disk",
                   SDL_DISKAUDIOFILE=os.path.join(folder, "audio.raw"), LC_ALL="C.UTF-8")
        bellwick = Program([binary], "Bellwick", shaped, env)
        xclock = Program(["xclock", "-digital", "-strftime", "%X", "-update", "1"], "xclock", viewable, env)
        results = {"bellwick": {}, "xclock": {}}
        for key, prog in (("bellwick", bellwick), ("xclock", xclock)):
            results[key]["startup_ms_median"] = prog.startup_ms()
            cpu, rss0, rss1, threads = prog.idle()
            results[key].update(idle_cpu_percent=cpu, rss_start_mib=rss0, rss_after_mib=rss1, idle_audio_threads=threads)
        play, sound = firing_latency(binary, env, folder)
        results["bellwick"]["fire_to_play_ms"] = {"median": statistics.median(play), "max": max(play), "n": len(play)} if play else None
        results["bellwick"]["fire_to_sound_ms"] = {"median": statistics.median(sound), "max": max(sound), "n": len(sound)} if sound else None

    b, x = results["bellwick"], results["xclock"]
    rows = [
        ("start-up to mapped (and shaped), median ms", b["startup_ms_median"], x["startup_ms_median"]),
        ("idle CPU over %d s, %% of one core" % IDLE_SECONDS, b["idle_cpu_percent"], x["idle_cpu_percent"]),
        ("resident memory after start, MiB", b["rss_start_mib"], x["rss_start_mib"]),
        ("resident memory after %d s, MiB" % IDLE_SECONDS, b["rss_after_mib"], x["rss_after_mib"]),
        ("SDL audio threads while idle", b["idle_audio_threads"], x["idle_audio_threads"]),
    ]
    print("%-46s %12s %12s %8s" % ("measure", "bellwick", "xclock", "ratio"))
    for name, bv, xv in rows:
        ratio = bv / xv if xv else float("inf")
        print("%-46s %12.3f %12.3f %8.1f" % (name, bv, xv, ratio))
    for key, label in (("fire_to_play_ms", "second boundary to play call"), ("fire_to_sound_ms", "second boundary to first sound")):
        v = b[key]
        if v:
            print("%-46s median %6.1f ms, max %6.1f ms over %d alarms" % (label, v["median"], v["max"], v["n"]))
        else:
            print("%-46s not measured" % label)
    os.makedirs(os.path.dirname(out), exist_ok=True)
    with open(out, "w") as f:
        json.dump(results, f, indent=2)
    print("written to", out)


if __name__ == "__main__":
    main()
