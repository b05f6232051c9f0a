#include "support/NumberPicture.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace number_picture_detail {

namespace {

// A non-negative integer as base-2^32 limbs, least significant first. Just enough
// arithmetic to write a double's exact decimal expansion.
using BigInt = std::vector<uint32_t>;

void MultiplySmall(BigInt& n, uint32_t factor) {
  uint64_t carry = 0;
  for (uint32_t& limb : n) {
    uint64_t product = static_cast<uint64_t>(limb) * factor + carry;
    limb = static_cast<uint32_t>(product);
    carry = product >> 32;
  }
  if (carry) n.push_back(static_cast<uint32_t>(carry));
}

void ShiftLeft(BigInt& n, int bits) {
  int words = bits / 32;
  int rest = bits % 32;
  if (rest) {
    uint32_t carry = 0;
    for (uint32_t& limb : n) {
      uint32_t next = limb >> (32 - rest);
      limb = (limb << rest) | carry;
      carry = next;
    }
    if (carry) n.push_back(carry);
  }
  n.insert(n.begin(), words, 0u);
}

// The decimal digits of n (n > 0), most significant first, without leading zeros.
std::string ToDecimal(BigInt n) {
  std::string reversed;
  while (!n.empty()) {
    uint64_t remainder = 0;
    for (size_t i = n.size(); i-- > 0;) {
      uint64_t current = (remainder << 32) | n[i];
      n[i] = static_cast<uint32_t>(current / 1000000000u);
      remainder = current % 1000000000u;
    }
    while (!n.empty() && n.back() == 0) n.pop_back();
    for (int k = 0; k < 9; ++k) {
      reversed.push_back(static_cast<char>('0' + remainder % 10));
      remainder /= 10;
    }
  }
  while (reversed.size() > 1 && reversed.back() == '0') reversed.pop_back();
  return std::string(reversed.rbegin(), reversed.rend());
}

}  // namespace

Digits DecimalDigits(double value) {
  Digits result;
  std::memset(result.digits, '0', 15);
  result.digits[15] = '\0';
  result.exponent = 0;
  if (value == 0 || !std::isfinite(value)) return result;

  // value = mantissa * 2^binaryExponent exactly.
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  uint64_t mantissa = bits & ((uint64_t{1} << 52) - 1);
  int biased = static_cast<int>((bits >> 52) & 0x7FF);
  int binaryExponent;
  if (biased == 0) {
    binaryExponent = -1074;  // subnormal
  } else {
    mantissa |= uint64_t{1} << 52;
    binaryExponent = biased - 1075;
  }
  while ((mantissa & 1) == 0) {
    mantissa >>= 1;
    ++binaryExponent;
  }

  // The exact expansion: either the integer mantissa * 2^e, or mantissa * 5^k / 10^k.
  BigInt n{static_cast<uint32_t>(mantissa), static_cast<uint32_t>(mantissa >> 32)};
  if (n.back() == 0) n.pop_back();
  int decimalShift = 0;
  if (binaryExponent >= 0) {
    ShiftLeft(n, binaryExponent);
  } else {
    int k = -binaryExponent;
    decimalShift = k;
    for (; k >= 13; k -= 13) MultiplySmall(n, 1220703125u);  // 5^13
    uint32_t rest = 1;
    while (k-- > 0) rest *= 5;
    MultiplySmall(n, rest);
  }
  std::string exact = ToDecimal(n);
  int exponent = static_cast<int>(exact.size()) - 1 - decimalShift;

  // Round half up at the 16th significant digit of the exact expansion; a carry out of
  // the leading digit raises the exponent.
  exact.resize(std::max<size_t>(exact.size(), 16), '0');
  std::memcpy(result.digits, exact.data(), 15);
  if (exact[15] >= '5') {
    int i = 14;
    while (i >= 0 && result.digits[i] == '9') result.digits[i--] = '0';
    if (i >= 0) {
      ++result.digits[i];
    } else {
      result.digits[0] = '1';
      ++exponent;
    }
  }
  result.exponent = exponent;
  return result;
}

}  // namespace number_picture_detail

namespace {

// The digits with a "." where the units digit ends. Digits beyond the 15th
// significant one do not exist in the data model; zeros stand in for them where a
// picture or a value outside it asks for more.
std::string DigitString(double value) {
  number_picture_detail::Digits d = number_picture_detail::DecimalDigits(value);
  std::string digits(d.digits, 15);
  if (value != 0 && d.exponent >= 0) {
    size_t integerDigits = static_cast<size_t>(d.exponent) + 1;
    if (digits.size() < integerDigits) digits.resize(integerDigits, '0');
    digits.insert(integerDigits, 1, '.');
    return digits;
  }
  int zeros = value == 0 ? 0 : -d.exponent - 1;
  std::string result(1, '.');
  result.append(zeros > 0 ? zeros : 0, '0');
  result += digits;
  return result;
}

// The picture as the steps below read it. A non-zero value gets a leading "0" before its
// decimals: the first "Z." reads "9.". A floating currency sign in front reads as the "-" that
// follows it or as a "Z"; PlaceCurrencySign puts the sign itself at the end.
std::string WorkingPicture(std::string w, double value) {
  if (value != 0) {
    size_t zDot = w.find("Z.");
    if (zDot != std::string::npos) w[zDot] = '9';
  }
  if (w[0] == '\\') w[0] = w[1] == '-' ? '-' : 'Z';
  return w;
}

// The part from the point on: the decimals, cut and not rounded, then the trailing sign's
// position; with the point in front when the picture has one.
std::string FractionPart(const std::string& w, size_t point, bool trailingSign,
                         const std::string& d, bool negative) {
  size_t decimals = 0;
  if (point != std::string::npos) {
    decimals = w.size() - point - 1;
    if (trailingSign && decimals > 0) --decimals;
  }
  std::string r = d.substr(d.find('.') + 1, decimals);
  if (r.size() < decimals) r.resize(decimals, '0');
  if (trailingSign) r += negative ? '-' : ' ';
  if (point != std::string::npos) r.insert(r.begin(), '.');
  return r;
}

// One position of the integer part: `p` its picture character, `q` the digit under the cursor
// (' ' past the value's digits), `left` the picture character to its left. A character
// outside the picture's alphabet gives an unspecified result: `previous`, the character of
// the position to the right.
char IntegerCharacter(char p, char q, char left, bool negative, bool& minusShown, char previous) {
  switch (p) {
    case '-':
      if (minusShown) return ' ';
      if (q != ' ' || !negative) return q;
      minusShown = true;
      return '-';
    case ',':
    case '/':
    case ':':
      if (minusShown) return ' ';
      if (q == ' ' && left == '-' && negative) {
        minusShown = true;
        return '-';
      }
      if (q != ' ') return p;
      return left == 'Z' || left == '-' ? ' ' : p;
    case '9':
      return q == ' ' ? '0' : q;
    case 'Z':
      return q;
    default:
      return previous;
  }
}

// The integer part from right to left, the digit cursor starting at the units digit of d
// (none when d begins with "."); separators take no digit.
std::string IntegerPart(const std::string& w, size_t positions, const std::string& d,
                        bool negative) {
  std::string integer(positions, ' ');
  ptrdiff_t cursor = static_cast<ptrdiff_t>(d.find('.')) - 1;
  bool minusShown = false;
  char c = ' ';
  for (size_t pos = positions; pos-- > 0;) {
    const char p = w[pos];
    c = IntegerCharacter(p, cursor >= 0 ? d[cursor] : ' ', pos == 0 ? 'Z' : w[pos - 1], negative,
                         minusShown, c);
    integer[pos] = c;
    if (p != ',' && p != '/' && p != ':' && cursor >= 0) --cursor;
  }
  return integer;
}

// Blanks trailing zeros at Z decimals and a bare point; a trailing minus moves left to follow
// the last digit shown.
void BlankTrailingZeros(std::string& r, const std::string& w) {
  if (r.find('.') == std::string::npos) return;
  const bool neg = r.back() == '-';
  for (size_t pos = w.size(); pos-- > 0;) {
    const char p = w[pos];
    if (p == '-') {
      r[pos] = ' ';
      continue;
    }
    if (p == 'Z' && r[pos] == '0') {
      r[pos] = ' ';
      continue;
    }
    if (p != 'Z' && r[pos] == '.') {
      r[pos] = neg ? '-' : ' ';
    } else if (neg && pos + 1 < w.size()) {
      r[pos + 1] = '-';
    }
    break;
  }
}

// The floating currency sign goes right before the first character shown; a number that fills
// the picture leaves no room for it.
void PlaceCurrencySign(std::string& r) {
  if (r[0] != ' ') return;
  size_t first = r.find_first_not_of(' ');
  if (first != std::string::npos) r[first - 1] = '\\';
}

}  // namespace

std::string NumberPicture(const std::string& picture, double value) {
  if (picture.empty()) return std::string();
  if (picture == "\\") return "\\";
  const bool negative = value < 0;
  const std::string w = WorkingPicture(picture, value);
  const std::string d = DigitString(value);
  // Positions are 0-based; `point` is npos without a ".".
  const size_t point = w.find('.');
  const bool trailingSign = w.back() == '-';
  const size_t integerPositions =
      point != std::string::npos ? point : (trailingSign ? w.size() - 1 : w.size());
  std::string r = IntegerPart(w, integerPositions, d, negative) +
                  FractionPart(w, point, trailingSign, d, negative);
  BlankTrailingZeros(r, w);
  if (picture[0] == '\\') PlaceCurrencySign(r);
  return r;
}
