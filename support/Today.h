#pragma once
// Today's local date as the integer yyyymmdd. The main window calls UpdateToday and then
// reads TodayNumber each time it fills its year list (at start-up and on every reset), so a
// list filled after midnight of New Year's Eve shows the new year.

#include <windows.h>

#include <cstdint>
#include <functional>

// Process-wide, zero until the first UpdateToday; only TodayNumber is read elsewhere, and
// only UpdateToday writes them. User-interface thread only.
extern uint16_t TodayYear;
extern uint16_t TodayMonth;
extern uint16_t TodayDay;
extern int32_t TodayNumber;

// Re-reads the local date and stores its parts and TodayNumber.
void UpdateToday();

// The current local date (time of day ignored) split into its Gregorian parts.
void DecodeToday(uint16_t& year, uint16_t& month, uint16_t& day);

// Test seam: where DecodeToday takes the local time from. An empty function restores
// the system clock (GetLocalTime).
void SetTodaySourceForTesting(std::function<SYSTEMTIME()> source);
