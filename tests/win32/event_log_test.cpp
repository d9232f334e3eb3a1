// Win32EventLog's lines, as the Linux program writes them.
#include "win32/win32_event_log.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
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
    std::string pattern;  // after "utc=<time>"
};

void PrintTo(const LineCase& c, std::ostream* os) { *os << c.name; }

class EventLogLine : public ::testing::TestWithParam<LineCase> {};

std::int64_t nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

TEST_P(EventLogLine, IsTheCoreLineOfThisMomentAfterTheCategory)
{
    std::vector<std::string> lines;
    Win32EventLog log([&lines](const std::string& line) { lines.push_back(line); });
    const std::int64_t before = nowMs();
    GetParam().event(log);
    const std::int64_t after = nowMs();
    ASSERT_EQ(lines.size(), 1u);
    std::smatch m;
    const std::regex form(R"(bellwick\.alarm: \w+ epoch_ms=(\d+) utc=\S+)" + GetParam().pattern);
    ASSERT_TRUE(std::regex_match(lines[0], m, form)) << lines[0];
    // The system clock's resolution under Wine can put the line a tick early.
    EXPECT_GE(std::stoll(m[1].str()), before - 16);
    EXPECT_LE(std::stoll(m[1].str()), after + 16);
}

INSTANTIATE_TEST_SUITE_P(Events, EventLogLine,
                         ::testing::Values(LineCase{"Fired", [](EventLog& l) { l.fired(); }, ""},
                                           LineCase{"Failed",
                                                    [](EventLog& l) { l.failed("cannot play 'C:\\a b.wav'"); },
                                                    R"( reason=cannot play 'C:\\a b\.wav')"}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace bellwick
