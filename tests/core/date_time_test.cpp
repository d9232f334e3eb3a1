#include "time/date_time.h"

#include <gtest/gtest.h>

namespace bellwick {
namespace {

TEST(DateTime, CivilDaysRoundTripOverFourCenturies)
{
    for (std::int64_t d = daysFromCivil({1900, 1, 1}); d <= daysFromCivil({2300, 12, 31}); ++d) {
        const Date date = civilFromDays(d);
        ASSERT_TRUE(isValidDate(date)) << d;
        ASSERT_EQ(daysFromCivil(date), d);
    }
    EXPECT_EQ(daysFromCivil({1970, 1, 1}), 0);
    EXPECT_EQ(daysFromCivil({2000, 3, 1}), 11017);
}

TEST(DateTime, ValidDates)
{
    const std::pair<Date, bool> cases[] = {
        {{2024, 2, 29}, true},  {{2026, 2, 29}, false}, {{2000, 2, 29}, true},  {{1900, 2, 29}, false},
        {{2026, 2, 30}, false}, {{2026, 4, 31}, false}, {{2026, 12, 31}, true}, {{2026, 13, 1}, false},
        {{2026, 0, 1}, false},  {{2026, 1, 0}, false},
    };
    for (const auto& [d, valid] : cases)
        EXPECT_EQ(isValidDate(d), valid) << d.year << "-" << d.month << "-" << d.day;
}

TEST(DateTime, NextDayAndDifferences)
{
    EXPECT_EQ(nextDay({2026, 12, 31}), (Date{2027, 1, 1}));
    EXPECT_EQ(nextDay({2024, 2, 28}), (Date{2024, 2, 29}));
    EXPECT_EQ(nextDay({2026, 2, 28}), (Date{2026, 3, 1}));
    EXPECT_EQ(secondsBetween({{2026, 12, 8}, {7, 0, 0}}, {{2026, 12, 7}, {23, 0, 0}}), 8 * 3600);
    EXPECT_EQ(secondsBetween({{2026, 12, 7}, {23, 0, 0}}, {{2026, 12, 8}, {7, 0, 0}}), -8 * 3600);
    EXPECT_EQ(secondsBetween({{2026, 12, 7}, {7, 0, 0}}, {{2026, 12, 7}, {7, 0, 0}}), 0);
}

}  // namespace
}  // namespace bellwick
