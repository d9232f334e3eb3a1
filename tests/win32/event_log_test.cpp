// Win32EventLog's lines, as the Linux program writes them.
#include "rules/date_time.h"
#include "win32/win32_event_log.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <regex>
#include <string>
#include <vector>

namespace bellwick {
namespace {

struct LineCase {
    const char* name;
    std::function<void(EventLog&)> event;
    std::string pattern;  // after "epoch_ms=<ms> utc=<time>"
};

void PrintTo(const LineCase& c, std::ostream* os) { *os << c.name; }

class EventLogLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(EventLogLine, HoldsOneInstantTwiceAndTheReasonOnOneLine)
{
    std::vector<std::string> lines;
    Win32EventLog log([&lines](const std::string& line) { lines.push_back(line); });
    GetParam().event(log);
    ASSERT_EQ(lines.size(), 1u);
    std::smatch m;
    const std::regex form(
        R"(bellwick\.alarm: (\w+) epoch_ms=(\d+) utc=(\d{4})-(\d\d)-(\d\d)T(\d\d):(\d\d):(\d\d)\.(\d{3})Z)" +
        GetParam().pattern);
    ASSERT_TRUE(std::regex_match(lines[0], m, form)) << lines[0];
    const auto n = [&m](int i) { return std::stoi(m[i].str()); };
    const std::int64_t days = daysFromCivil({n(3), n(4), n(5)});
    const std::int64_t ms = ((days * 24 + n(6)) * 60 + n(7)) * 60000 + n(8) * 1000 + n(9);
    EXPECT_EQ(std::to_string(ms), m[2].str());
}

INSTANTIATE_TEST_SUITE_P(Events, EventLogLine,
                         ::testing::Values(LineCase{"Fired", [](EventLog& l) { l.fired(); }, ""},
                                           LineCase{"Failed",
                                                    [](EventLog& l) { l.failed("cannot play 'C:\\a b.wav'"); },
                                                    R"( reason=cannot play 'C:\\a b\.wav')"},
                                           LineCase{"LineBreaksAndControls",
                                                    [](EventLog& l) {
                                                        l.failed("one\r\ntwo\tthree\x7F"
                                                                 "end");
                                                    },
                                                    " reason=one  two three end"},
                                           LineCase{"NonAscii", [](EventLog& l) { l.failed("Ger\xC3\xA4t fehlt"); },
                                                    " reason=Ger\xC3\xA4t fehlt"},
                                           LineCase{"EmptyReason", [](EventLog& l) { l.failed(""); }, " reason="}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace bellwick
