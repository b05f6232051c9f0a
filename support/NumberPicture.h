#pragma once
// Number-to-text formatting by a picture string, in the manner of a report-writer edit
// mask ("9999", "Z9", "ZZ9.99-", "\Z,ZZ9"): result character i comes from picture
// character i. Called when the main window fills its year and disc-number lists.

#include <string>

// Formats `value` by `picture` (ANSI text, one byte per picture character). Pure: no state,
// never fails for pictures and values within the data model (|value| < 10^15, finite).
std::string NumberPicture(const std::string& picture, double value);

namespace number_picture_detail {

// The magnitude of a value as 15 significant decimal digits and a decimal exponent
// (d.dddddddddddddd x 10^exponent), rounded half up at the exact 16th significant digit.
struct Digits {
  char digits[16];  // 15 digit characters and a terminating NUL
  int exponent;
};

// Zero gives 15 zeros with exponent 0. Exposed for tests.
Digits DecimalDigits(double value);

}  // namespace number_picture_detail
