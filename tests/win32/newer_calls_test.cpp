// The calls newer than Windows 7 and their fallbacks: each test runs as the
// system is and as Windows 7, which has none of them.
#include "win32/newer_calls.h"
#include "win32/win32_clock.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace bellwick {
namespace {

// Local time in milliseconds, by the system's own conversion.
std::int64_t ms(const SYSTEMTIME& st)
{
    FILETIME ft{};
    EXPECT_TRUE(::SystemTimeToFileTime(&st, &ft));
    return static_cast<std::int64_t>((std::uint64_t{ft.dwHighDateTime} << 32 | ft.dwLowDateTime) / 10000);
}

std::int64_t ms(const WallTime& t)
{
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(t.at.date.year);
    st.wMonth = static_cast<WORD>(t.at.date.month);
    st.wDay = static_cast<WORD>(t.at.date.day);
    st.wHour = static_cast<WORD>(t.at.time.hour);
    st.wMinute = static_cast<WORD>(t.at.time.minute);
    st.wSecond = static_cast<WORD>(t.at.time.second);
    st.wMilliseconds = static_cast<WORD>(t.millisecond);
    return ms(st);
}

class OnEachSystem : public testing::TestWithParam<bool> {
protected:
    void SetUp() override { win32::actAsWindows7(GetParam()); }
    void TearDown() override { win32::actAsWindows7(false); }
};

TEST_P(OnEachSystem, NewerCallsAreFoundOnlyWhereTheSystemHasThem)
{
    using Fn = void(WINAPI*)(FILETIME*);
    // Wine has it, as Windows 8 does.
    EXPECT_EQ(win32::NewerCall<Fn>(L"kernel32.dll", "GetSystemTimePreciseAsFileTime").get() != nullptr, !GetParam());
    EXPECT_EQ(win32::NewerCall<Fn>(L"kernel32.dll", "NoSuchCall").get(), nullptr);
    EXPECT_EQ(win32::NewerCall<Fn>(L"no_such_library.dll", "GetSystemTimePreciseAsFileTime").get(), nullptr);
}

// Windows 7's clock lags by up to one step of the timer tick, 15.6 ms;
// neither runs ahead.
TEST_P(OnEachSystem, TheClockReadsTheLocalTimeWithinTheOlderClocksStep)
{
    const Win32Clock clock;
    for (int i = 0; i < 50; ++i) {
        SYSTEMTIME before{}, after{};
        ::GetLocalTime(&before);
        const WallTime read = clock.read();
        ::GetLocalTime(&after);
        ASSERT_GE(ms(read), ms(before) - 16);
        ASSERT_LE(ms(read), ms(after));
        ::Sleep(3);
    }
}

INSTANTIATE_TEST_SUITE_P(Systems, OnEachSystem, testing::Bool(),
                         [](const auto& info) { return info.param ? "Windows7" : "AsItIs"; });

}  // namespace
}  // namespace bellwick
