#pragma once
// The report of a failure that no handler caught: a critical message box
// titled "Bellwick" naming the error, then the process ends with status 1.
// No tick runs while the box is open.

#include "handlers/snoozard.h"
#include "ports/messages.h"
#include "ports/process.h"

#include <functional>
#include <string>

namespace bellwick {

inline constexpr int kFatalStatus = 1;

class FatalReport {
public:
    FatalReport(Messages& messages, Process& process, Snoozard& snoozard)
        : messages_(messages), process_(process), snoozard_(snoozard)
    {
    }

    // Runs f; anything it throws is reported and ends the process.
    void guard(const std::function<void()>& f);

    enum class Cause { Internal, OutOfMemory };
    // What the box says: what happened in the user's words, not the
    // developer's (those go to standard error).
    static std::string textFor(Cause cause);

private:
    Messages& messages_;
    Process& process_;
    Snoozard& snoozard_;
};

}  // namespace bellwick
