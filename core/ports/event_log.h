#pragma once

#include <string_view>

namespace bellwick {

// What the alarm did, for diagnostics and latency measurement.
class EventLog {
public:
    virtual ~EventLog() = default;
    virtual void fired() = 0;                          // just before the play call
    virtual void failed(std::string_view reason) = 0;  // a tick failed
};

}  // namespace bellwick
