#pragma once
// The report of a failure that no handler caught: a message box titled
// "Bellwick" naming the error, then the process ends with status 1.

#include "ports/messages.h"
#include "ports/process.h"

#include <functional>
#include <string>

namespace bellwick {

inline constexpr int kFatalStatus = 1;

class FatalReport {
public:
    FatalReport(Messages& messages, Process& process) : messages_(messages), process_(process) {}

    // Runs f; anything it throws is reported and ends the process.
    void guard(const std::function<void()>& f);

    static std::string textFor(const std::string& what);

private:
    Messages& messages_;
    Process& process_;
};

}  // namespace bellwick
