#pragma once

#include "ports/event_log.h"

#include <QLoggingCategory>

#include <string_view>

// Failures always reach standard error (or the journal); the firing
// lines only when enabled, e.g. QT_LOGGING_RULES="bellwick.alarm.info=true".
Q_DECLARE_LOGGING_CATEGORY(bellwickAlarm)

namespace bellwick {

// Logs to the "bellwick.alarm" category, one line per event, "fired" at info
// level and "failed" as a warning:
//
//   fired epoch_ms=<ms> utc=<yyyy-MM-ddTHH:mm:ss.zzzZ>
//   failed epoch_ms=<ms> utc=<yyyy-MM-ddTHH:mm:ss.zzzZ> reason=<text>
//
// <ms> is a plain integer, milliseconds since 1970-01-01T00:00Z taken once
// per event; utc= is the same instant. The reason is the rest of the line,
// with line breaks and other control characters turned into spaces. Qt's
// default message pattern prefixes the category: "bellwick.alarm: fired ...".
class QtEventLog final : public EventLog {
public:
    void fired() override;
    void failed(std::string_view reason) override;
};

}  // namespace bellwick
