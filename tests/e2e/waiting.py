"""Waiting for what a test expects, never for a fixed time; shared by the
drivers of the Linux and the Windows program.

Things that must happen are polled for until a generous deadline. Things
that must not happen are checked once a later event proves their moment
has passed: the clock showing new seconds, a later event-log line."""

import re
import time

ISO = "%Y-%m-%d %H:%M:%S"
EVENT = re.compile(r"^bellwick\.alarm: (fired|failed) epoch_ms=(\d+)")


def wait_for(predicate, timeout=20.0, what="condition"):
    """predicate()'s first true value; the deadline only bounds a failure."""
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        value = predicate()
        if value:
            return value
        time.sleep(0.05)
    raise AssertionError("timed out waiting for " + what)


def dated_alarm(seconds=0, form=ISO):
    """An alarm text naming the date and time `seconds` from now, and that
    moment in epoch seconds. A dated alarm rings at once when its moment has
    passed, so however long typing it takes, it rings. The ISO form reads in
    every locale."""
    due = int(time.time()) + seconds
    return time.strftime(form, time.localtime(due)), due


def events(log, kind):
    """The event log's "fired" or "failed" lines in `log`, as (epoch_ms, line)."""
    found = []
    for line in log.splitlines():
        m = EVENT.match(line)
        if m and m[1] == kind:
            found.append((int(m[2]), line))
    return found


def drawn_clock(picture):
    """The clock's picture if it shows the yellow digits, else None."""
    yellow = sum(1 for r, g, b in picture.getdata() if r > 200 and g > 200 and b < 80)
    return picture if yellow > 20 else None


def clock_goes_on(picture, seconds=2):
    """Waits until picture() has shown `seconds` new clock pictures; returns
    every one seen, the first included. Ticks run one at a time: once the
    second new one shows, the tick that drew the first has run to its end,
    and whatever it would do is done. Ticks held by a message box show none."""
    shown = [wait_for(lambda: drawn_clock(picture()), what="the clock drawn")]

    def moved():
        now = drawn_clock(picture())
        if now and now.tobytes() != shown[-1].tobytes():
            shown.append(now)
        return len(shown) > seconds

    wait_for(moved, what="the clock to go on")
    return shown
