"""A desktop sound server of one test's own: PulseAudio or PipeWire (with
its PulseAudio service), a null sink as the only output, and what reaches
the sink's monitor recorded to a raw file of 16-bit stereo samples at 44.1
kHz, read with harness.samples and loudest_sample.

Everything lives in a private folder: runtime folder, home, configuration,
state and a session bus, so no server of the machine is seen or touched.
The server can be killed and started again on the same runtime folder; each
start records to a new file (`monitor`)."""

import os
import signal
import subprocess

from harness import BUS_CONFIG
from waiting import wait_for

KINDS = ("pulseaudio", "pipewire")
RATE = 44100
FRAME = 4  # bytes: two channels of 16 bits
SINK = "out"
LOUD = 1000
# Without module-udev-detect and the rest of default.pa: no real card is opened.
PULSE_CONFIG = """load-module module-native-protocol-unix auth-anonymous=1
load-module module-null-sink sink_name=%s rate=%d channels=2
set-default-sink %s
""" % (SINK, RATE, SINK)
# Clients never start a server of their own when this one is away.
CLIENT_CONFIG = "autospawn = no\n"
# WirePlumber links streams to the null sink and looks at no device.
WIREPLUMBER_CONFIG = {
    "main.lua.d/51-no-devices.lua":
        "alsa_monitor.enabled = false\nv4l2_monitor.enabled = false\nlibcamera_monitor.enabled = false\n",
    "bluetooth.lua.d/51-no-bluetooth.lua": "bluez_monitor.enabled = false\n",
}
NULL_SINK = ("{ factory.name=support.null-audio-sink node.name=%s media.class=Audio/Sink object.linger=true"
             " audio.rate=%d audio.position=[FL FR] }" % (SINK, RATE))
# Names of the machine's own servers and clients that must not leak in.
FOREIGN = ("PULSE_SERVER", "PULSE_SINK", "PULSE_SOURCE", "PULSE_COOKIE", "PULSE_CLIENTCONFIG", "PULSE_RUNTIME_PATH",
           "PULSE_STATE_PATH", "PIPEWIRE_REMOTE", "PIPEWIRE_RUNTIME_DIR", "PIPEWIRE_CONFIG_DIR", "DISPLAY",
           "DBUS_SESSION_BUS_ADDRESS", "XDG_RUNTIME_DIR", "SDL_AUDIODRIVER", "SDL_DISKAUDIOFILE")


def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w") as f:
        f.write(text)


def loud_stretches(samples, rate=RATE, gap=0.1):
    """(first, last) frame of each loud stretch of interleaved stereo
    samples; quiet spans shorter than `gap` seconds do not end one. Quiet
    10 ms blocks are passed over whole, at the speed of max and min."""
    block = 2 * rate // 100
    stretches = []
    for at in range(0, len(samples), block):
        chunk = samples[at:at + block]
        if max(chunk) <= LOUD and min(chunk) >= -LOUD:
            continue
        loud = [i for i, s in enumerate(chunk) if abs(s) > LOUD]
        first, last = (at + loud[0]) // 2, (at + loud[-1]) // 2
        if stretches and first - stretches[-1][1] <= gap * rate:
            stretches[-1][1] = last
        else:
            stretches.append([first, last])
    return [tuple(s) for s in stretches]


class SoundServer:
    """`kind` is "pulseaudio" or "pipewire"; `folder` an empty private folder;
    add_cleanup(f) runs f when the user is done (addCleanup, an ExitStack's
    callback), after everything registered later."""

    def __init__(self, kind, folder, add_cleanup):
        assert kind in KINDS, kind
        self.kind, self.folder, self.add_cleanup = kind, folder, add_cleanup
        self.runtime = os.path.join(folder, "run")
        os.makedirs(self.runtime, mode=0o700)
        home = os.path.join(folder, "home")
        self.client_config = os.path.join(folder, "client.conf")
        write(self.client_config, CLIENT_CONFIG)
        self.env = {k: v for k, v in os.environ.items() if k not in FOREIGN}
        self.env.update({
            "HOME": home,
            "XDG_CONFIG_HOME": os.path.join(home, ".config"),
            "XDG_STATE_HOME": os.path.join(home, ".local", "state"),
            "XDG_DATA_HOME": os.path.join(home, ".local", "share"),
            "XDG_CACHE_HOME": os.path.join(home, ".cache"),
            "XDG_RUNTIME_DIR": self.runtime,
            "LC_ALL": "C.UTF-8",
        })
        write(os.path.join(folder, "pulse.pa"), PULSE_CONFIG)
        for name, text in WIREPLUMBER_CONFIG.items():
            write(os.path.join(self.env["XDG_CONFIG_HOME"], "wireplumber", name), text)
        self.bus_address = self.bus()
        self.env.update(self.client_env())
        self.processes = []
        self.starts = 0
        self.monitor = None
        self.recorder = None

    def client_env(self):
        """What a client of this server (Bellwick) takes into its environment."""
        return {
            "XDG_RUNTIME_DIR": self.runtime,
            "PULSE_SERVER": "unix:" + os.path.join(self.runtime, "pulse", "native"),
            "PULSE_CLIENTCONFIG": self.client_config,
            "PULSE_COOKIE": os.path.join(self.folder, "cookie"),
            "DBUS_SESSION_BUS_ADDRESS": self.bus_address,
        }

    def spawn(self, cmd, log):
        out = open(os.path.join(self.folder, log), "ab")
        p = subprocess.Popen(cmd, env=self.env, stdout=out, stderr=subprocess.STDOUT, start_new_session=True)
        out.close()

        def end():
            if p.poll() is None:
                p.kill()
            p.wait()
        self.add_cleanup(end)
        return p

    def bus(self):
        """A session bus of its own: PipeWire and WirePlumber talk on one, and
        without one PulseAudio's D-Bus client would start dbus-launch."""
        config = os.path.join(self.folder, "bus.conf")
        write(config, BUS_CONFIG % self.folder)
        p = subprocess.Popen(["dbus-daemon", "--config-file=" + config, "--nofork", "--print-address"],
                             stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        self.add_cleanup(lambda: (p.kill(), p.wait(), p.stdout.close()))
        return p.stdout.readline().strip()

    def ctl(self, *args):
        return subprocess.run(args, env=self.env, capture_output=True, text=True, timeout=10)

    def sink_ready(self):
        r = self.ctl("pactl", "list", "short", "sinks")
        return r.returncode == 0 and SINK in r.stdout.split()

    def start(self):
        """Starts the server, makes the null sink its default and starts
        recording its monitor; returns once the monitor's samples flow."""
        if self.kind == "pulseaudio":
            self.processes = [self.spawn(["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
                                          "--log-target=stderr", "-F", os.path.join(self.folder, "pulse.pa")],
                                         "pulseaudio.log")]
        else:
            daemon = self.spawn(["pipewire"], "pipewire.log")
            self.processes = [daemon]
            wait_for(lambda: os.path.exists(os.path.join(self.runtime, "pipewire-0")) or daemon.poll() is not None,
                     what="PipeWire's socket")
            self.processes += [self.spawn(["wireplumber"], "wireplumber.log"),
                               self.spawn(["pipewire-pulse"], "pipewire-pulse.log")]
            # module-null-sink of pipewire-pulse answers "Not supported"
            r = self.ctl("pw-cli", "create-node", "adapter", NULL_SINK)
            assert r.returncode == 0, r.stdout + r.stderr
        wait_for(lambda: self.sink_ready() or self.ended(), what="the null sink of " + self.kind)
        assert not self.ended(), "%s ended at start" % self.kind
        # PipeWire's service answers "Not supported" until WirePlumber keeps the defaults
        wait_for(lambda: self.ctl("pactl", "set-default-sink", SINK).returncode == 0, what="the default sink")
        self.starts += 1
        self.monitor = os.path.join(self.folder, "monitor-%d.raw" % self.starts)
        self.recorder = self.spawn(["parec", "--device", SINK + ".monitor", "--raw", "--format=s16le",
                                    "--rate=%d" % RATE, "--channels=2", "--latency-msec=10", self.monitor],
                                   "parec.log")
        if self.kind == "pulseaudio":
            # The null sink renders in blocks of 2 s until someone asks for
            # less; suspended and resumed under the recorder, it starts anew
            # at the recorder's 10 ms.
            wait_for(lambda: self.ctl("pactl", "list", "short", "source-outputs").stdout.strip()
                     or self.recorder.poll() is not None, what="the recorder connected")
            for suspended in ("1", "0"):
                self.ctl("pactl", "suspend-sink", SINK, suspended)
        wait_for(lambda: self.recorded() > 0 or self.recorder.poll() is not None, what="the monitor's samples")
        assert self.recorder.poll() is None, "parec ended at start"
        return self

    def ended(self):
        return any(p.poll() is not None for p in self.processes)

    def kill(self):
        """Kills the server (and the recorder, which it would leave) at once."""
        for p in [self.recorder] + self.processes[::-1]:
            if p and p.poll() is None:
                p.send_signal(signal.SIGKILL)
                p.wait()
        self.recorder, self.processes = None, []

    def recorded(self):
        """Bytes recorded so far from the current start."""
        try:
            return os.path.getsize(self.monitor)
        except (FileNotFoundError, TypeError):
            return 0

    def seconds(self):
        """Seconds recorded so far from the current start."""
        return self.recorded() // FRAME / RATE

    def wait_recorded(self, seconds, timeout=20):
        """Waits until `seconds` of samples have come since this call."""
        end = self.recorded() + int(seconds * RATE) * FRAME
        wait_for(lambda: self.recorded() >= end, timeout=timeout, what="%.1f s at the monitor" % seconds)

