"""Stand-ins for the desktop portal's and logind's sleep inhibitors on the bus
at ADDRESS; every call becomes one JSON line in LOG, with the time it came
("at", epoch seconds). Prints "ready" once the names are owned.
Usage: fake_power_bus.py ADDRESS LOG [portal] [logind]"""

import json
import os
import sys
import time

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib


def log(**entry):
    with open(sys.argv[2], "a") as f:
        f.write(json.dumps(dict(entry, at=time.time())) + "\n")


class Request(dbus.service.Object):
    @dbus.service.method("org.freedesktop.portal.Request", in_signature="", out_signature="")
    def Close(self):
        log(call="Close", handle=self._object_path)
        self.remove_from_connection()


class Portal(dbus.service.Object):
    @dbus.service.method("org.freedesktop.portal.Inhibit", in_signature="sua{sv}", out_signature="o",
                         sender_keyword="sender")
    def Inhibit(self, window, flags, options, sender=None):
        path = "/org/freedesktop/portal/desktop/request/%s/bellwick" % sender[1:].replace(".", "_")
        Request(self.connection, path)
        log(call="Inhibit", window=str(window), flags=int(flags),
            options={str(k): str(v) for k, v in options.items()}, handle=path)
        return dbus.ObjectPath(path)


class Logind(dbus.service.Object):
    @dbus.service.method("org.freedesktop.login1.Manager", in_signature="ssss", out_signature="h")
    def Inhibit(self, what, who, why, mode):
        read_end, write_end = os.pipe()
        # Once every copy of the write end is closed, the lock is let go.
        GLib.io_add_watch(read_end, GLib.IO_HUP, lambda fd, _: log(call="lock closed") or os.close(fd))
        log(call="Inhibit", what=str(what), who=str(who), why=str(why), mode=str(mode))
        lock = dbus.types.UnixFd(write_end)  # a copy, handed over with the reply
        os.close(write_end)
        return lock


dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
bus = dbus.bus.BusConnection(sys.argv[1])
served = []
if "portal" in sys.argv[3:]:
    served += [dbus.service.BusName("org.freedesktop.portal.Desktop", bus),
               Portal(bus, "/org/freedesktop/portal/desktop")]
if "logind" in sys.argv[3:]:
    served += [dbus.service.BusName("org.freedesktop.login1", bus), Logind(bus, "/org/freedesktop/login1")]
print("ready", flush=True)
GLib.MainLoop().run()
