#include "qt/qt_event_log.h"

#include "text/event_line.h"

#include <QDateTime>
#include <QString>

Q_LOGGING_CATEGORY(bellwickAlarm, "bellwick.alarm", QtWarningMsg)

namespace bellwick {

namespace {

QString qt(const std::string& line) { return QString::fromStdString(line); }

}  // namespace

void QtEventLog::fired() { qCInfo(bellwickAlarm).noquote() << qt(firedLine(QDateTime::currentMSecsSinceEpoch())); }

void QtEventLog::failed(std::string_view reason)
{
    qCWarning(bellwickAlarm).noquote() << qt(failedLine(QDateTime::currentMSecsSinceEpoch(), reason));
}

}  // namespace bellwick
