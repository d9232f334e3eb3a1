// The clock in every locale the machine has (Debian's locales-all: all of
// glibc's), under zones whose names would show if the clock wrote them.

#include "posix/posix_time_text.h"
#include "posix/scoped_locale.h"
#include "posix/scoped_tz.h"
#include "time/time_forms.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <ctime>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace bellwick {
namespace {

std::vector<std::string> installedLocales()
{
    std::vector<std::string> names;
    const std::unique_ptr<FILE, int (*)(FILE*)> list(popen("locale -a 2>/dev/null", "r"), pclose);
    if (!list) return names;
    std::array<char, 256> line{};
    while (std::fgets(line.data(), line.size(), list.get())) {
        std::string name = line.data();
        while (!name.empty() && (name.back() == '\n' || name.back() == '\r'))
            name.pop_back();
        if (!name.empty()) names.push_back(name);
    }
    return names;
}

// What the zone in force is called: its names and its offsets in winter
// and summer, and the names of no zone at all.
std::vector<std::string> zoneNames()
{
    std::vector<std::string> names = {tzname[0], tzname[1], "UTC", "GMT", "+0000"};
    for (const std::time_t t : {std::time_t{1767225600}, std::time_t{1782864000}}) {  // 2026-01-01, 2026-07-01
        std::tm tm{};
        localtime_r(&t, &tm);
        char offset[16];
        names.emplace_back(offset, std::strftime(offset, sizeof offset, "%z", &tm));
    }
    return names;
}

std::string percentX(const TimeOfDay& t)
{
    std::tm tm{};
    tm.tm_year = 100;
    tm.tm_mday = 1;
    tm.tm_wday = 6;  // 2000-01-01 was a Saturday
    tm.tm_hour = t.hour;
    tm.tm_min = t.minute;
    tm.tm_sec = t.second;
    char buf[256];
    return std::string(buf, std::strftime(buf, sizeof buf, "%X", &tm));
}

std::string show(const TimeOfDay& t)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", t.hour, t.minute, t.second);
    return buf;
}

// The first fault of the clock in the locale in force, or "".
std::string clockFault(const PosixTimeText& timeText, const std::vector<std::string>& zone)
{
    static const TimeOfDay kTimes[] = {{0, 0, 0}, {7, 5, 9}, {12, 0, 0}, {12, 59, 59}, {19, 5, 9}, {23, 59, 59}};
    bool percentXIsAClock = true;
    for (const TimeOfDay& t : kTimes) {
        const std::string text = timeText.format(t);
        const auto back = timeText.read(text);
        if (!back || back->date || back->time != t) return show(t) + " as \"" + text + "\" does not read back";
        for (const std::string& name : zone) {
            if (!name.empty() && text.find(name) != std::string::npos)
                return show(t) + " as \"" + text + "\" shows the zone \"" + name + "\"";
        }
        const std::string x = percentX(t);
        const auto xBack = timeText.read(x);
        bool zoneShown = false;
        for (const std::string& name : zone)
            zoneShown = zoneShown || (!name.empty() && x.find(name) != std::string::npos);
        percentXIsAClock = percentXIsAClock && !zoneShown && xBack && xBack->time == t;
    }
    // Where %X already has seconds, no zone and reads back, it is the clock.
    if (percentXIsAClock) {
        for (const TimeOfDay& t : kTimes) {
            if (timeText.format(t) != percentX(t))
                return show(t) + " as \"" + timeText.format(t) + "\" instead of %X \"" + percentX(t) + "\"";
        }
    }
    // Typed alarms: H:MM, and the locale's own form without seconds and
    // with an unpadded hour.
    const LocaleWords words = posixLocaleWords();
    Form typed = withoutSeconds(words.time);
    for (FormToken& k : typed) {
        if (k.kind == FormToken::Kind::Hour24 || k.kind == FormToken::Kind::Hour12) k.pad = FormToken::Pad::None;
    }
    for (const TimeOfDay& t : {TimeOfDay{7, 5, 0}, TimeOfDay{19, 5, 0}}) {
        for (const std::string& text : {std::to_string(t.hour) + ":05", writeForm(typed, words, {2000, 1, 1}, t)}) {
            const auto back = timeText.read(text);
            if (!back || back->date || back->time != t) return "typed \"" + text + "\" does not read as " + show(t);
        }
    }
    return {};
}

TEST(EveryLocale, TheClockReadsBackToTheSecondWithoutAZone)
{
    const std::vector<std::string> locales = installedLocales();
    // Fewer means locales-all is missing (tools/deps installs it).
    ASSERT_GE(locales.size(), 300u) << "only " << locales.size() << " locales installed; install locales-all";
    const PosixTimeText timeText;
    std::map<std::string, std::string> faults;
    int covered = 0;
    for (const char* tz : {"EST5EDT", "Asia/Kolkata"}) {
        const ScopedTz zone(tz);
        const std::vector<std::string> names = zoneNames();
        for (const std::string& name : locales) {
            const ScopedLocale pinned(name.c_str());
            if (!pinned.ok()) {
                faults.emplace(name, "cannot be set");
                continue;
            }
            ++covered;
            if (std::string fault = clockFault(timeText, names); !fault.empty())
                faults.emplace(name, std::string(tz) + ": " + fault);
        }
    }
    std::string report;
    for (const auto& [name, fault] : faults)
        report += "\n  " + name + ": " + fault;
    EXPECT_TRUE(faults.empty()) << faults.size() << " of " << locales.size() << " locales fail:" << report;
    RecordProperty("locales", static_cast<int>(locales.size()));
    EXPECT_EQ(covered, 2 * static_cast<int>(locales.size()));
}

}  // namespace
}  // namespace bellwick
