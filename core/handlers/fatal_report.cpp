#include "handlers/fatal_report.h"

#include <cstdio>
#include <exception>
#include <new>

namespace bellwick {

std::string FatalReport::textFor(Cause cause)
{
    const char* why = cause == Cause::OutOfMemory ? "The computer ran out of memory."
                                                  : "Something went wrong inside Bellwick that it cannot put right.";
    return std::string(why) +
           "\n\nBellwick has to close, and an alarm you set will not ring. Start Bellwick again to set it anew.";
}

void FatalReport::guard(const std::function<void()>& f)
{
    std::string what;
    Cause cause = Cause::Internal;
    try {
        f();
        return;
    } catch (const std::bad_alloc& e) {
        what = e.what();
        cause = Cause::OutOfMemory;
    } catch (const std::exception& e) {
        what = e.what();
    } catch (...) {
        what = "unknown error";
    }
    // The developer's words for the log, the user's for the box.
    std::fprintf(stderr, "bellwick: fatal error: %s\n", what.c_str());
    // The alarm will not ring: the computer may sleep again.
    snoozard_.releasePower();
    {
        const Snoozard::TickHold hold = snoozard_.holdTicks();
        messages_.show(textFor(cause), kTitle, vbCritical);
    }
    process_.end(kFatalStatus);
}

}  // namespace bellwick
