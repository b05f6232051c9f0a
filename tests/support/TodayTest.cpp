#include <gtest/gtest.h>

#include "support/Today.h"

namespace {

SYSTEMTIME At(WORD year, WORD month, WORD day, WORD hour = 12, WORD minute = 0, WORD second = 0,
              WORD milliseconds = 0) {
  return {year, month, /*wDayOfWeek*/ 0, day, hour, minute, second, milliseconds};
}

class Today : public testing::Test {
 protected:
  void TearDown() override { SetTodaySourceForTesting(nullptr); }
};

// A date, and the number and parts that UpdateToday makes of it.
struct DateCase {
  WORD year, month, day;
  int number;
};

class TodayOf : public Today, public testing::WithParamInterface<DateCase> {};

TEST_P(TodayOf, GivesTheNumberAndTheParts) {
  const DateCase& c = GetParam();
  SetTodaySourceForTesting([&c] { return At(c.year, c.month, c.day); });
  UpdateToday();
  EXPECT_EQ(TodayNumber, c.number);
  EXPECT_EQ(TodayNumber / 10000, c.year);
  EXPECT_EQ(TodayYear, c.year);
  EXPECT_EQ(TodayMonth, c.month);
  EXPECT_EQ(TodayDay, c.day);
}

// Two ordinary dates, and the first and last dates of SYSTEMTIME, where the number is exact.
INSTANTIATE_TEST_SUITE_P(Dates, TodayOf,
                         testing::Values(DateCase{2026, 12, 8, 20261208},
                                         DateCase{2027, 1, 1, 20270101},
                                         DateCase{30827, 12, 31, 308271231},
                                         DateCase{1601, 1, 1, 16010101}));

TEST_F(Today, EveryCallRereadsTheDateAcrossNewYearsEve) {
  SYSTEMTIME clock = At(2026, 12, 31, 23, 59, 59, 999);
  SetTodaySourceForTesting([&clock] { return clock; });
  UpdateToday();
  EXPECT_EQ(TodayNumber, 20261231);
  const int before = TodayNumber / 10000;
  clock = At(2027, 1, 1, 0, 0, 0, 0);
  UpdateToday();
  EXPECT_EQ(TodayNumber, 20270101);
  const int after = TodayNumber / 10000;
  EXPECT_EQ(before, 2026);
  EXPECT_EQ(after, 2027);
}

TEST_F(Today, TimeOfDayIsIgnored) {
  SetTodaySourceForTesting([] { return At(2026, 2, 28, 23, 59, 59, 999); });
  uint16_t year = 0, month = 0, day = 0;
  DecodeToday(year, month, day);
  EXPECT_EQ(year, 2026);
  EXPECT_EQ(month, 2);
  EXPECT_EQ(day, 28);
}

TEST_F(Today, SystemClockGivesTodaysLocalDate) {
  SetTodaySourceForTesting([] { return At(2000, 1, 1); });
  SetTodaySourceForTesting(nullptr);
  // Read the clock on both sides, so a midnight between the reads cannot fail the test.
  SYSTEMTIME before, after;
  GetLocalTime(&before);
  UpdateToday();
  GetLocalTime(&after);
  auto number = [](const SYSTEMTIME& t) { return t.wYear * 10000 + t.wMonth * 100 + t.wDay; };
  EXPECT_TRUE(TodayNumber == number(before) || TodayNumber == number(after)) << TodayNumber;
  EXPECT_EQ(TodayNumber, TodayYear * 10000 + TodayMonth * 100 + TodayDay);
  EXPECT_GE(TodayYear, 2024);
}

}  // namespace
