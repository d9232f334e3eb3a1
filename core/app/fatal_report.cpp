#include "app/fatal_report.h"

#include <cstdio>
#include <exception>

namespace bellwick {

std::string FatalReport::textFor(const std::string& what)
{
    return "Bellwick has to close because of an error it could not handle:\n\n" + what;
}

void FatalReport::guard(const std::function<void()>& f)
{
    std::string what;
    try {
        f();
        return;
    } catch (const std::exception& e) {
        what = e.what();
    } catch (...) {
        what = "unknown error";
    }
    std::fprintf(stderr, "bellwick: fatal error: %s\n", what.c_str());
    {
        const Snoozard::TickHold hold = snoozard_.holdTicks();
        messages_.show(textFor(what), kTitle, vbCritical);
    }
    process_.end(kFatalStatus);
}

}  // namespace bellwick
