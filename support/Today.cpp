#include "support/Today.h"

#include <cmath>
#include <utility>

uint16_t TodayYear = 0;
uint16_t TodayMonth = 0;
uint16_t TodayDay = 0;
int32_t TodayNumber = 0;

namespace {

std::function<SYSTEMTIME()>& TodaySource() {
  static std::function<SYSTEMTIME()> source;
  return source;
}

SYSTEMTIME LocalTime() {
  if (TodaySource()) return TodaySource()();
  SYSTEMTIME now;
  GetLocalTime(&now);
  return now;
}

}  // namespace

void SetTodaySourceForTesting(std::function<SYSTEMTIME()> source) {
  TodaySource() = std::move(source);
}

void DecodeToday(uint16_t& year, uint16_t& month, uint16_t& day) {
  SYSTEMTIME now = LocalTime();
  year = now.wYear;
  month = now.wMonth;
  day = now.wDay;
}

void UpdateToday() {
  DecodeToday(TodayYear, TodayMonth, TodayDay);
  // Formed in floating point, as the number has always been; exact for every real date.
  TodayNumber =
      static_cast<int32_t>(std::lround(TodayYear * 10000.0 + TodayMonth * 100.0)) + TodayDay;
}
