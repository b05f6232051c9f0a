#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

#include "support/NumberPicture.h"

namespace {

struct Case {
  const char* picture;
  double value;
  const char* expected;
};

std::ostream& operator<<(std::ostream& out, const Case& c) {
  return out << "NumberPicture(\"" << c.picture << "\", " << c.value << ")";
}

// The worked results of the picture table, in its order, then further cases derived from the
// algorithm's steps.
const Case kCases[] = {
    {"9999", 2023, "2023"},
    {"9999", 2024, "2024"},
    {"9999", 2025, "2025"},
    {"9999", 2026, "2026"},
    {"9999", 2027, "2027"},
    {"9999", 2028, "2028"},
    {"9999", 2029, "2029"},
    {"Z9", 1, " 1"},
    {"Z9", 2, " 2"},
    {"Z9", 3, " 3"},
    {"Z9", 4, " 4"},
    {"Z9", 5, " 5"},
    {"Z9", 6, " 6"},
    {"Z9", 7, " 7"},
    {"Z9", 8, " 8"},
    {"Z9", 9, " 9"},
    {"Z9", 10, "10"},
    {"Z9", 11, "11"},
    {"Z9", 12, "12"},
    {"Z9", 0, " 0"},
    {"ZZ", 0, "  "},
    {"9999", 5, "0005"},
    {"9999", 0, "0000"},
    {"9999", -5, "0005"},
    {"9999", 12345, "2345"},
    {"ZZ9.99", 1.25, "  1.25"},
    {"ZZ9.99-", -1.25, "  1.25-"},
    {"ZZ9.99-", 1.25, "  1.25 "},
    {"ZZ9.ZZ", 1.5, "  1.5 "},
    {"ZZ9.ZZ", 0, "  0   "},
    {"ZZZ.ZZ", 0, "      "},
    {"Z.ZZ", 0.5, "0.5 "},
    {"Z.ZZ", 0, "    "},
    {"ZZ9.ZZ-", -1.5, "  1.5- "},
    {"ZZ9.ZZ-", -1.55, "  1.55-"},
    {"9.99", 1.999, "1.99"},
    {"Z9.9", 0.05, " 0.0"},
    {"--9", -5, " -5"},
    {"--9", 5, "  5"},
    {"-99", -5, "-05"},
    {"-ZZ9", -5, "-  5"},
    {"Z,ZZ9", 1234, "1,234"},
    {"Z,ZZ9", 123, "  123"},
    {"9,999", 12, "0,012"},
    {"99/99", 1231, "12/31"},
    {"Z9:99", 930, " 9:30"},
    {"\\ZZZ9", 5, "   \\5"},
    {"\\ZZZ9", 1234, "\\1234"},
    {"\\Z,ZZ9", 1234, "\\1,234"},
    {"\\", 0, "\\"},
    {"\\", 42, "\\"},
    {"\\", -3.5, "\\"},
    {"", 0, ""},
    {"", 2026, ""},
    {"", -1.5, ""},
    // A value too wide loses its high-order digits.
    {"99", 123, "23"},
    // A negative value without "-" in the picture shows its magnitude.
    {"ZZ9.99", -1.25, "  1.25"},
    // Zero with only Z positions, including Z decimals, is all blanks.
    {"ZZZZ", 0, "    "},
    {"ZZ.ZZ", 0, "     "},
    // Only the first "Z." becomes "9"; only for a non-zero value.
    {"ZZ.ZZ", 0.25, " 0.25"},
    {"ZZ.ZZ", 0.2, " 0.2 "},
    // A trailing minus follows the last digit shown, also over a blanked point.
    {"ZZ9.ZZ-", -1, "  1-   "},
    {"ZZ9.ZZ-", -1.05, "  1.05-"},
    {"ZZ9.ZZ-", 1, "  1    "},
    {"Z9-", -5, " 5-"},
    {"Z9-", 5, " 5 "},
    // Cut, not rounded, and the 15-digit rendering carries into a new leading digit.
    {"9.99", 2.345, "2.34"},
    {"99.9", 9.999999999999998, "10.0"},
    {"9.9999999999999", 1.0 / 3.0, "0.3333333333333"},
    // Separators: a floating minus in front of a blank separator position.
    {"--,--9", -1234, "-1,234"},
    {"--,--9", -123, "  -123"},
    {"-,ZZ9", -123, " -123"},
    {"--,--9", -12, "   -12"},  // the minus shown once, blanks to its left
    {"--,--9", 5, "     5"},    // a positive value shows no minus and no lone separator
    {"-,ZZ9", 123, "  123"},
    {",999", 5, " 005"},  // the first position's left neighbour counts as "Z"
    {"Z,ZZZ,ZZ9", 1234567, "1,234,567"},
    {"Z,ZZZ,ZZ9", 12, "       12"},
    {"9999/99/99", 20261208, "2026/12/08"},
    // The currency sign after a floating minus; dropped when the number fills the picture.
    {"\\--9", -5, " \\-5"},
    {"\\-9", -15, "-15"},
    {"\\ZZ9.99", 12.5, " \\12.50"},
    {"\\ZZ9.99", 123.45, "\\123.45"},
    {"\\ZZ9.99", 1234.5, "1234.50"},
    {"\\ZZ9.99", 1.5, "  \\1.50"},
    {"\\ZZZ", 0, "    "},
    // -0 is zero and not negative.
    {"Z9-", -0.0, " 0 "},
};

class Picture : public testing::TestWithParam<Case> {};

TEST_P(Picture, GivesTheExpectedText) {
  const Case& c = GetParam();
  EXPECT_EQ(NumberPicture(c.picture, c.value), c.expected);
}

INSTANTIATE_TEST_SUITE_P(WorkedResultsAndSteps, Picture, testing::ValuesIn(kCases));

TEST(NumberPicture, YearListAndLookupAgree) {
  for (int y = 1900; y <= 2200; ++y) {
    std::string text = NumberPicture("9999", y);
    ASSERT_EQ(text.size(), 4u);
    EXPECT_EQ(text, std::to_string(y));
    EXPECT_EQ(NumberPicture("9999", static_cast<double>(y)), text);
  }
}

TEST(NumberPicture, ResultIsAsWideAsThePicture) {
  const char* pictures[] = {"9", "Z", "-", "Z9", "ZZ9.99-", "-,--9.ZZ", "\\Z,ZZ9.99-", "9.", "."};
  const double values[] = {0, 1, -1, 0.5, -0.5, 12345.678, -98765.4321, 1e-7};
  for (const char* picture : pictures)
    for (double value : values)
      EXPECT_EQ(NumberPicture(picture, value).size(), std::string(picture).size())
          << picture << " " << value;
}

// Outside the data model the result is unspecified, but the call must stay harmless.
TEST(NumberPicture, ValuesOutsideTheDataModelDoNotFail) {
  const double values[] = {1e15,
                           -1e20,
                           1e300,
                           5e-324,
                           std::numeric_limits<double>::infinity(),
                           -std::numeric_limits<double>::infinity(),
                           std::numeric_limits<double>::quiet_NaN()};
  for (double value : values) {
    EXPECT_EQ(NumberPicture("ZZ9.99-", value).size(), 7u) << value;
    EXPECT_EQ(NumberPicture("9.99999999999999999999", value).size(), 22u) << value;
  }
  EXPECT_EQ(NumberPicture("9999", 1e20), "0000");
}

using number_picture_detail::DecimalDigits;

TEST(DecimalDigits, ZeroIsFifteenZerosWithExponentZero) {
  auto d = DecimalDigits(0);
  EXPECT_STREQ(d.digits, "000000000000000");
  EXPECT_EQ(d.exponent, 0);
}

TEST(DecimalDigits, ScientificForm) {
  auto d = DecimalDigits(2026);
  EXPECT_STREQ(d.digits, "202600000000000");
  EXPECT_EQ(d.exponent, 3);
  d = DecimalDigits(-0.05);
  EXPECT_STREQ(d.digits, "500000000000000");
  EXPECT_EQ(d.exponent, -2);
  d = DecimalDigits(1.0 / 3.0);
  EXPECT_STREQ(d.digits, "333333333333333");
  EXPECT_EQ(d.exponent, -1);
}

TEST(DecimalDigits, RoundsHalfUpAtTheExactSixteenthDigit) {
  // 12345678901234.25 is exact in binary: its 16th digit is a 5 followed by nothing.
  // Half up gives ...343; round-half-even (printf) would give ...342.
  auto d = DecimalDigits(12345678901234.25);
  EXPECT_STREQ(d.digits, "123456789012343");
  EXPECT_EQ(d.exponent, 13);
  d = DecimalDigits(123456789012344.5);
  EXPECT_STREQ(d.digits, "123456789012345");
  EXPECT_EQ(d.exponent, 14);
  // 0.1 is 0.1000000000000000055511...: the 16th digit is 0.
  d = DecimalDigits(0.1);
  EXPECT_STREQ(d.digits, "100000000000000");
  EXPECT_EQ(d.exponent, -1);
  // 1.999 is 1.99899999999999988987...: rounds up at the 16th digit.
  d = DecimalDigits(1.999);
  EXPECT_STREQ(d.digits, "199900000000000");
  EXPECT_EQ(d.exponent, 0);
}

TEST(DecimalDigits, CarryOutOfTheLeadingDigitRaisesTheExponent) {
  // 9.999999999999998 is 9.99999999999999822364...: sixteen 9s-then-8 round to 10.
  auto d = DecimalDigits(9.999999999999998);
  EXPECT_STREQ(d.digits, "100000000000000");
  EXPECT_EQ(d.exponent, 1);
  d = DecimalDigits(999999999999999.9);
  EXPECT_STREQ(d.digits, "100000000000000");
  EXPECT_EQ(d.exponent, 15);
}

// Away from exact ties, the rendering agrees with a correctly rounded "%.14e".
TEST(DecimalDigits, AgreesWithPrintfAwayFromTies) {
  uint64_t state = 88172645463325252ull;
  auto next = [&] {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
  };
  for (int n = 0; n < 20000; ++n) {
    double value = static_cast<double>(next() % 1000000000000000ull) /
                   static_cast<double>(uint64_t{1} << (next() % 60));
    if (value == 0) continue;
    char text[64];
    std::snprintf(text, sizeof text, "%.14e", value);
    std::string mantissa = std::string(1, text[0]) + std::string(text + 2, 14);
    int exponent = std::atoi(text + 17);
    char wider[64];
    std::snprintf(wider, sizeof wider, "%.40e", value);
    if (wider[16] == '5' && std::string(wider + 17, 25).find_first_not_of('0') == std::string::npos)
      continue;  // an exact tie (or too close to tell): half up and half even differ
    auto d = DecimalDigits(value);
    ASSERT_EQ(std::string(d.digits), mantissa) << text;
    ASSERT_EQ(d.exponent, exponent) << text;
  }
}

}  // namespace
