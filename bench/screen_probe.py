"""When a rectangle of the X screen changes, to the millisecond.

Reads the root window's pixels with XGetImage through ctypes (no Python X
library is needed), every ~1 ms from just before each wall-clock second
until they change. A painter window that changes at known moments measures
the probe's own delay. Run as a script, it is that painter:
    screen_probe.py --paint X Y WIDTH HEIGHT SECONDS
prints "ready", then each change's moment (time.time() before the request).
"""

import ctypes
import ctypes.util
import math
import sys
import time

ALL_PLANES = ctypes.c_ulong(0xFFFFFFFF)
Z_PIXMAP = 2
# Polling starts this long before each second, so an early change shows as negative.
LEAD = 0.03
POLL = 0.001


class XImage(ctypes.Structure):
    # Only the leading fields are read; the rest of the structure stays Xlib's.
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.c_void_p), ("byte_order", ctypes.c_int),
                ("bitmap_unit", ctypes.c_int), ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int)]


def xlib():
    x = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")
    x.XOpenDisplay.restype = ctypes.c_void_p
    x.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x.XDefaultRootWindow.restype = ctypes.c_ulong
    x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
    x.XGetImage.restype = ctypes.POINTER(XImage)
    x.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                            ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
    x.XDestroyImage.argtypes = [ctypes.POINTER(XImage)]
    x.XCloseDisplay.argtypes = [ctypes.c_void_p]
    x.XCreateSimpleWindow.restype = ctypes.c_ulong
    x.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                                      ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_ulong]
    x.XMapWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
    x.XDefaultGC.restype = ctypes.c_void_p
    x.XDefaultGC.argtypes = [ctypes.c_void_p, ctypes.c_int]
    x.XSetForeground.argtypes = [ctypes.c_void_p, ctypes.c_void_p, ctypes.c_ulong]
    x.XFillRectangle.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_void_p, ctypes.c_int, ctypes.c_int,
                                 ctypes.c_uint, ctypes.c_uint]
    x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
    return x


class Screen:
    """One connection to the display, reading one rectangle of the root window."""

    def __init__(self, rect):
        self.x = xlib()
        self.dpy = self.x.XOpenDisplay(None)
        if not self.dpy:
            raise RuntimeError("cannot open the X display")
        self.root = self.x.XDefaultRootWindow(self.dpy)
        self.rect = rect

    def pixels(self):
        left, top, width, height = self.rect
        image = self.x.XGetImage(self.dpy, self.root, left, top, width, height, ALL_PLANES, Z_PIXMAP)
        if not image:
            raise RuntimeError("XGetImage failed for %r" % (self.rect,))
        data = ctypes.string_at(image.contents.data, image.contents.bytes_per_line * height)
        self.x.XDestroyImage(image)
        return data

    def close(self):
        self.x.XCloseDisplay(self.dpy)


def changes(rect, seconds):
    """For each wall-clock second in the next `seconds`, (that second, ms from
    its start to the first poll that saw the rectangle changed): negative when
    it changed up to LEAD before the second, None when it did not change. The moment noted is
    the one before the request that saw the change, so the change came at
    most one poll (plus the request's way to the server) earlier."""
    screen = Screen(rect)
    try:
        last = screen.pixels()
        out = []
        first = math.floor(time.time()) + 1
        for second in range(first, first + int(seconds)):
            time.sleep(max(0.0, second - LEAD - time.time()))
            seen = None
            while True:
                at = time.time()
                now = screen.pixels()
                if now != last:
                    last, seen = now, (at - second) * 1000
                    break
                if at > second + 1 - LEAD - 2 * POLL:
                    break
                time.sleep(POLL)
            out.append((second, seen))
        return out
    finally:
        screen.close()


def paint(rect, seconds):
    """A plain window at rect whose colour flips at known moments (each second
    plus a varying few ms); prints each flip's moment."""
    x = xlib()
    dpy = x.XOpenDisplay(None)
    root = x.XDefaultRootWindow(dpy)
    left, top, width, height = rect
    win = x.XCreateSimpleWindow(dpy, root, left, top, width, height, 0, 0, 0)
    x.XMapWindow(dpy, win)
    x.XSync(dpy, 0)
    gc = x.XDefaultGC(dpy, 0)
    time.sleep(0.3)  # mapped and exposed
    print("ready", flush=True)
    first = math.floor(time.time()) + 2
    for i in range(int(seconds)):
        moment = first + i + 0.001 + 0.0037 * (i % 7)
        time.sleep(max(0.0, moment - time.time()))
        x.XSetForeground(dpy, gc, 0xFFFF00 if i % 2 else 0x0000FF)
        x.XFillRectangle(dpy, win, gc, 0, 0, width, height)
        at = time.time()
        x.XSync(dpy, 0)
        print("%.6f" % at, flush=True)
    x.XCloseDisplay(dpy)


if __name__ == "__main__" and sys.argv[1:2] == ["--paint"]:
    paint(tuple(int(v) for v in sys.argv[2:6]), float(sys.argv[6]))
