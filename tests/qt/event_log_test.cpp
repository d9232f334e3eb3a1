#include "qt/qt_event_log.h"

#include <QDateTime>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QString>
#include <QtGlobal>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace bellwick {
namespace {

struct Line {
    QtMsgType type;
    QString category;
    QString text;
};

std::vector<Line>* captured = nullptr;

void capture(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (captured != nullptr) captured->push_back({type, QString::fromUtf8(context.category), text});
}

// Collects what is logged while it lives, with the given logging rules.
class LogCapture {
public:
    explicit LogCapture(const QString& rules)
    {
        captured = &lines;
        previous_ = qInstallMessageHandler(capture);
        QLoggingCategory::setFilterRules(rules);
    }
    ~LogCapture()
    {
        QLoggingCategory::setFilterRules(QString());
        qInstallMessageHandler(previous_);
        captured = nullptr;
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    std::vector<Line> lines;

private:
    QtMessageHandler previous_;
};

TEST(EventLog, ByDefaultSaysOnlyWhyAPlayFailed)
{
    ASSERT_TRUE(qgetenv("QT_LOGGING_RULES").isEmpty());
    LogCapture log{QString()};
    QtEventLog events;
    events.fired();
    events.failed("no sound device");
    ASSERT_EQ(log.lines.size(), 1u);
    EXPECT_EQ(log.lines[0].type, QtWarningMsg);
    EXPECT_TRUE(log.lines[0].text.startsWith(QStringLiteral("failed ")));
    EXPECT_FALSE(bellwickAlarm().isInfoEnabled());
    EXPECT_TRUE(bellwickAlarm().isWarningEnabled());
}

struct LineCase {
    const char* name;
    std::function<void(EventLog&)> event;
    QString pattern;  // the whole line; (\d+) is the epoch milliseconds, (\S+) the UTC time
    QtMsgType type = QtWarningMsg;
};

std::ostream& operator<<(std::ostream& os, const LineCase& c) { return os << c.name; }

class EventLogLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(EventLogLine, IsOneLineWithTheTimeOfTheEvent)
{
    const LineCase& c = GetParam();
    LogCapture log{QStringLiteral("bellwick.alarm.info=true")};
    QtEventLog events;
    const qint64 before = QDateTime::currentMSecsSinceEpoch();
    c.event(events);
    const qint64 after = QDateTime::currentMSecsSinceEpoch();

    ASSERT_EQ(log.lines.size(), 1u);
    const Line& line = log.lines.front();
    EXPECT_EQ(line.type, c.type);
    EXPECT_EQ(line.category, QStringLiteral("bellwick.alarm"));
    const QRegularExpressionMatch match =
        QRegularExpression(QRegularExpression::anchoredPattern(c.pattern)).match(line.text);
    ASSERT_TRUE(match.hasMatch()) << line.text.toStdString();
    bool ok = false;
    const qint64 epoch = match.captured(1).toLongLong(&ok);
    ASSERT_TRUE(ok);
    EXPECT_GE(epoch, before);
    EXPECT_LE(epoch, after);
    EXPECT_EQ(match.captured(2),
              QDateTime::fromMSecsSinceEpoch(epoch, Qt::UTC).toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ")));
}

INSTANTIATE_TEST_SUITE_P(
    Events, EventLogLine,
    ::testing::Values(LineCase{"Fired", [](EventLog& log) { log.fired(); },
                               QStringLiteral(R"(fired epoch_ms=(\d+) utc=(\S+))"), QtInfoMsg},
                      LineCase{
                          "Failed", [](EventLog& log) { log.failed("cannot open /home/me/a b.wav"); },
                          QStringLiteral(R"(failed epoch_ms=(\d+) utc=(\S+) reason=cannot open /home/me/a b\.wav)")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EventLog, OtherLevelsOfTheCategoryStayOff)
{
    LogCapture log{QStringLiteral("bellwick.alarm.debug=true\nbellwick.alarm.info=false")};
    QtEventLog events;
    events.fired();
    EXPECT_TRUE(log.lines.empty());
}

}  // namespace
}  // namespace bellwick
