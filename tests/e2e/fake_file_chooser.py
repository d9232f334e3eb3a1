"""A stand-in for the desktop portal's file chooser on the bus at ADDRESS.
Each OpenFile call takes the next ANSWER: a path to answer with, or "cancel".
Every OpenFile call, and each answer once sent, becomes one JSON line in LOG.
Prints "ready" once the name is owned.
Usage: fake_file_chooser.py ADDRESS LOG ANSWER..."""

import json
import pathlib
import sys

import dbus
import dbus.lowlevel
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

CHOOSER = "org.freedesktop.portal.FileChooser"
VERSION = 4  # OpenFile takes current_folder from version 4 on
answers = sys.argv[3:]
# Request paths the client has subscribed to, and answers waiting for that.
subscribed = set()
waiting = {}


def log(**entry):
    with open(sys.argv[2], "a") as f:
        f.write(json.dumps(entry) + "\n")


def plain(value):
    """D-Bus values as JSON: byte arrays as text without the closing NUL."""
    if isinstance(value, dbus.Array) and value.signature == "y":
        return bytes(value).rstrip(b"\0").decode("utf-8", "surrogateescape")
    if isinstance(value, (dbus.Array, dbus.Struct, list, tuple)):
        return [plain(v) for v in value]
    if isinstance(value, dbus.Dictionary):
        return {str(k): plain(v) for k, v in value.items()}
    if isinstance(value, dbus.Boolean):
        return bool(value)
    if isinstance(value, (int, dbus.Byte)):
        return int(value)
    return str(value)


class Request(dbus.service.Object):
    def __init__(self, bus, path, answer):
        super().__init__(bus, path)
        self.answer = answer

    @dbus.service.signal("org.freedesktop.portal.Request", signature="ua{sv}")
    def Response(self, response, results):
        pass

    def send(self):
        if self.answer == "cancel":
            self.Response(dbus.UInt32(1), dbus.Dictionary({}, signature="sv"))
        else:
            uri = pathlib.Path(self.answer).as_uri()
            self.Response(dbus.UInt32(0), dbus.Dictionary({"uris": dbus.Array([uri], signature="s")}, signature="sv"))
        log(call="answered", handle=self._object_path, answer=self.answer)
        self.remove_from_connection()


class Portal(dbus.service.Object):
    @dbus.service.method("org.freedesktop.DBus.Properties", in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        if interface == CHOOSER and name == "version":
            return dbus.UInt32(VERSION)
        raise dbus.exceptions.DBusException("no such property", name="org.freedesktop.DBus.Error.InvalidArgs")

    @dbus.service.method(CHOOSER, in_signature="ssa{sv}", out_signature="o", sender_keyword="sender")
    def OpenFile(self, parent_window, title, options, sender=None):
        token = str(options.get("handle_token", "bellwick"))
        path = "/org/freedesktop/portal/desktop/request/%s/%s" % (sender[1:].replace(".", "_"), token)
        log(call="OpenFile", parent_window=str(parent_window), title=str(title), options=plain(options), handle=path)
        request = Request(self.connection, path, answers.pop(0))
        # The client listens for the answer only once it has the path.
        if path in subscribed:
            GLib.idle_add(request.send)
        else:
            waiting[path] = request
        return dbus.ObjectPath(path)


def watch(connection, message):
    """Sees the client's AddMatch calls to the bus (eavesdropped): the bus
    has taken the rule by the time a copy comes here."""
    if message.get_member() == "AddMatch" and message.get_destination() == "org.freedesktop.DBus":
        rule = str(message.get_args_list()[0])
        for part in rule.split(","):
            if part.startswith("path="):
                path = part[5:].strip("'")
                subscribed.add(path)
                if path in waiting:
                    GLib.idle_add(waiting.pop(path).send)
    return dbus.lowlevel.HANDLER_RESULT_NOT_YET_HANDLED  # None would swallow every message


dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
bus = dbus.bus.BusConnection(sys.argv[1])
bus.add_match_string("eavesdrop=true,type='method_call',interface='org.freedesktop.DBus',member='AddMatch'")
bus.add_message_filter(watch)
served = [dbus.service.BusName("org.freedesktop.portal.Desktop", bus), Portal(bus, "/org/freedesktop/portal/desktop")]
print("ready", flush=True)
GLib.MainLoop().run()
