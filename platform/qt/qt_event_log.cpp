#include "qt/qt_event_log.h"

#include <QDateTime>
#include <QString>

Q_LOGGING_CATEGORY(bellwickAlarm, "bellwick.alarm", QtWarningMsg)

namespace bellwick {

namespace {

QString stamp()
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    return QStringLiteral("epoch_ms=%1 utc=%2")
        .arg(now)
        .arg(QDateTime::fromMSecsSinceEpoch(now, Qt::UTC).toString(Qt::ISODateWithMs));
}

// Keeps the event on one line for whoever parses the log.
QString oneLine(std::string_view text)
{
    QString line = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    for (QChar& c : line) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = u' ';
    }
    return line;
}

}  // namespace

void QtEventLog::fired() { qCInfo(bellwickAlarm).noquote() << "fired" << stamp(); }

void QtEventLog::failed(std::string_view reason)
{
    qCWarning(bellwickAlarm).noquote() << "failed" << stamp() << QStringLiteral("reason=") + oneLine(reason);
}

}  // namespace bellwick
