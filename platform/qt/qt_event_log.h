#pragma once

#include "ports/event_log.h"

#include <QLoggingCategory>

#include <string_view>

// Failures always reach standard error (or the journal); the firing
// lines only when enabled, e.g. QT_LOGGING_RULES="bellwick.alarm.info=true".
Q_DECLARE_LOGGING_CATEGORY(bellwickAlarm)

namespace bellwick {

// Logs the core's event lines (text/event_line.h) to the "bellwick.alarm"
// category, "fired" at info level and "failed" as a warning. Qt's default
// message pattern prefixes the category: "bellwick.alarm: fired ...".
class QtEventLog final : public EventLog {
public:
    void fired() override;
    void failed(std::string_view reason) override;
};

}  // namespace bellwick
