"""Stand-ins for the desktop portal's and logind's sleep inhibitors, served on
the D-Bus bus at the given address. Every call is written to the log file as
one JSON line; prints "ready" once the names are owned.

    fake_power_bus.py ADDRESS LOG [portal] [logind]
"""

import json
import os
import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

PORTAL = "org.freedesktop.portal.Desktop"
LOGIND = "org.freedesktop.login1"


class Log:
    def __init__(self, path):
        self.file = open(path, "a")

    def __call__(self, **entry):
        self.file.write(json.dumps(entry) + "\n")
        self.file.flush()


class Request(dbus.service.Object):
    def __init__(self, bus, path, log):
        super().__init__(bus, path)
        self.path, self.log = path, log

    @dbus.service.method("org.freedesktop.portal.Request", in_signature="", out_signature="")
    def Close(self):
        self.log(call="Close", handle=self.path)
        self.remove_from_connection()


class Portal(dbus.service.Object):
    def __init__(self, bus, log):
        super().__init__(bus, "/org/freedesktop/portal/desktop")
        self.bus, self.log, self.count = bus, log, 0

    @dbus.service.method("org.freedesktop.portal.Inhibit", in_signature="sua{sv}", out_signature="o",
                         sender_keyword="sender")
    def Inhibit(self, window, flags, options, sender=None):
        self.count += 1
        path = "/org/freedesktop/portal/desktop/request/%s/bellwick%d" % (
            sender[1:].replace(".", "_"), self.count)
        Request(self.bus, path, self.log)
        self.log(call="Inhibit", window=str(window), flags=int(flags),
                 options={str(k): str(v) for k, v in options.items()}, handle=path)
        return dbus.ObjectPath(path)


class Logind(dbus.service.Object):
    def __init__(self, bus, log):
        super().__init__(bus, "/org/freedesktop/login1")
        self.log, self.count = log, 0

    @dbus.service.method("org.freedesktop.login1.Manager", in_signature="ssss", out_signature="h")
    def Inhibit(self, what, who, why, mode):
        self.count += 1
        number = self.count
        read_end, write_end = os.pipe()

        def closed(fd, _condition):
            # Every copy of the write end is closed: the lock is let go.
            self.log(call="lock closed", lock=number)
            os.close(fd)
            return False

        GLib.io_add_watch(read_end, GLib.IO_HUP | GLib.IO_ERR, closed)
        self.log(call="Inhibit", what=str(what), who=str(who), why=str(why), mode=str(mode), lock=number)
        lock = dbus.types.UnixFd(write_end)  # a copy, handed over with the reply
        os.close(write_end)
        return lock


def main():
    address, log_path, *services = sys.argv[1:]
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.bus.BusConnection(address)
    log = Log(log_path)
    keep = []
    if "portal" in services:
        keep += [dbus.service.BusName(PORTAL, bus), Portal(bus, log)]
    if "logind" in services:
        keep += [dbus.service.BusName(LOGIND, bus), Logind(bus, log)]
    print("ready", flush=True)
    GLib.MainLoop().run()


if __name__ == "__main__":
    main()
