#include <gtest/gtest.h>

#include "support/Today.h"

namespace {

SYSTEMTIME At(WORD year, WORD month, WORD day, WORD hour = 12, WORD minute = 0, WORD second = 0,
              WORD milliseconds = 0) {
  SYSTEMTIME t{};
  t.wYear = year;
  t.wMonth = month;
  t.wDay = day;
  t.wHour = hour;
  t.wMinute = minute;
  t.wSecond = second;
  t.wMilliseconds = milliseconds;
  return t;
}

class Today : public testing::Test {
 protected:
  void TearDown() override { SetTodaySourceForTesting(nullptr); }
};

TEST_F(Today, EighthOfDecember2026) {
  SetTodaySourceForTesting([] { return At(2026, 12, 8); });
  UpdateToday();
  EXPECT_EQ(TodayNumber, 20261208);
  EXPECT_EQ(TodayNumber / 10000, 2026);
  EXPECT_EQ(TodayYear, 2026);
  EXPECT_EQ(TodayMonth, 12);
  EXPECT_EQ(TodayDay, 8);
}

TEST_F(Today, FirstOfJanuary2027) {
  SetTodaySourceForTesting([] { return At(2027, 1, 1); });
  UpdateToday();
  EXPECT_EQ(TodayNumber, 20270101);
  EXPECT_EQ(TodayNumber / 10000, 2027);
  EXPECT_EQ(TodayYear, 2027);
  EXPECT_EQ(TodayMonth, 1);
  EXPECT_EQ(TodayDay, 1);
}

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

TEST_F(Today, NumberIsExactForExtremeDates) {
  SetTodaySourceForTesting([] { return At(30827, 12, 31); });  // SYSTEMTIME's last year
  UpdateToday();
  EXPECT_EQ(TodayNumber, 308271231);
  SetTodaySourceForTesting([] { return At(1601, 1, 1); });  // its first
  UpdateToday();
  EXPECT_EQ(TodayNumber, 16010101);
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
