#pragma once

#include "ports/event_log.h"

#include <functional>
#include <string>
#include <string_view>

namespace bellwick {

// The core's event lines (text/event_line.h) after "bellwick.alarm: ", as
// the Linux program logs them.
class Win32EventLog final : public EventLog {
public:
    using Sink = std::function<void(const std::string& line)>;
    // To stderr and OutputDebugString: failures always, the firing lines only
    // when the environment variable BELLWICK_EVENT_LOG is set (and not "0").
    Win32EventLog();
    // Every line to sink, without the final line break.
    explicit Win32EventLog(Sink sink);

    void fired() override;
    void failed(std::string_view reason) override;

private:
    Sink firedSink_, failedSink_;
};

}  // namespace bellwick
