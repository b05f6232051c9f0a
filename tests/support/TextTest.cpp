#include <gtest/gtest.h>

#include "support/Text.h"

namespace {

using Lines = std::vector<std::string>;
using WideLines = std::vector<std::wstring>;
using namespace std::string_view_literals;

TEST(TextTrim, RemovesBlanksAndControlsAtBothEndsOnly) {
  EXPECT_EQ(Trim(" \t\r\n a b \x01\x1F "), "a b");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(Trim(""), "");
  EXPECT_EQ(Trim("x"), "x");
  // NUL and DEL: the first is a control character, the second is above 32.
  EXPECT_EQ(Trim(std::string_view("\0a\x7F", 3)), "a\x7F");
}

TEST(TextTrim, KeepsTheIdeographicSpaceAndDoubleByteCharacters) {
  EXPECT_EQ(Trim("　x　"), "　x　");  // U+3000 is 81 40 in Shift-JIS
  EXPECT_EQ(Trim(" ソ "), "ソ");
}

TEST(TextAsciiUpper, ChangesOnlyAsciiLetters) {
  EXPECT_EQ(AsciiUpper("Artists az{`@"), "ARTISTS AZ{`@");
  EXPECT_EQ(AsciiUpper("ａｌｂｕｍ"), "ａｌｂｕｍ");  // full-width letters stay
  EXPECT_EQ(AsciiUpper("\xE4\xF6"), "\xE4\xF6");
}

TEST(TextSplitLines, SplitsAtCrLfLoneCrAndLoneLf) {
  EXPECT_EQ(SplitLines("a\r\nb\rc\nd"), (Lines{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitLines("a\r\r\nb"), (Lines{"a", "", "b"}));
  EXPECT_EQ(SplitLines("a\n\rb"), (Lines{"a", "", "b"}));
  EXPECT_EQ(SplitLines("a\n\n\nb"), (Lines{"a", "", "", "b"}));
  EXPECT_EQ(SplitLines("\r\n\r\n"), (Lines{"", ""}));
  EXPECT_EQ(SplitLines("\n"), (Lines{""}));
  EXPECT_EQ(SplitLines(L"a\r\nb\rc\nd\r\n\r\n"sv), (WideLines{L"a", L"b", L"c", L"d", L""}));
}

TEST(TextSplitLines, TerminatorAtTheEndAddsNoLine) {
  EXPECT_EQ(SplitLines("a\r\n"), (Lines{"a"}));
  EXPECT_EQ(SplitLines("a\r"), (Lines{"a"}));
  EXPECT_EQ(SplitLines("a\n"), (Lines{"a"}));
  EXPECT_EQ(SplitLines("a\r\n\r\n"), (Lines{"a", ""}));
  EXPECT_EQ(SplitLines(""), Lines{});
}

TEST(TextSplitLines, NulEndsTheText) {
  EXPECT_EQ(SplitLines("ab\0cd\r\nef"sv), (Lines{"ab"}));
  EXPECT_EQ(SplitLines("ab\r\n\0cd"sv), (Lines{"ab"}));
  EXPECT_EQ(SplitLines("\0ab"sv), Lines{});
  EXPECT_EQ(SplitLines(L"ab\r\n\0cd"sv), WideLines{L"ab"});
}

TEST(TextUtf8Decode, DecodesOneToFourByteSequences) {
  EXPECT_EQ(DecodeUtf8Line("abc"), L"abc");
  EXPECT_EQ(DecodeUtf8Line(""), L"");
  EXPECT_EQ(DecodeUtf8Line("\xC3\xA9"), L"\u00E9");
  EXPECT_EQ(DecodeUtf8Line("\xE3\x82\xBD\xE8\xA1\xA8"), L"\u30BD\u8868");
  EXPECT_EQ(DecodeUtf8Line("\xEF\xBB\xBF"
                           "a"),
            L"\uFEFFa");
  EXPECT_EQ(DecodeUtf8Line("a\xF0\x9F\x98\x80z"), L"a\U0001F600z");  // a surrogate pair
  EXPECT_EQ(DecodeUtf8Line("\xF0\x90\x80\x80\xF4\x8F\xBF\xBF"), L"\U00010000\U0010FFFF");
  // Four bytes that are no UTF-8 character are read by the three-byte rule.
  EXPECT_EQ(DecodeUtf8Line("\xF0\x9F\x98z"), (std::wstring{wchar_t(0x07D8), L'z'}));
}

TEST(TextUtf8Decode, PassesOverlongFormsSurrogatesAndOddLeadBytes) {
  EXPECT_EQ(DecodeUtf8Line("\xC0\x80"), std::wstring(1, L'\0'));
  EXPECT_EQ(DecodeUtf8Line("\xED\xA0\x80"), std::wstring(1, wchar_t(0xD800)));
  // Leads in 0x80-0x9F take one continuation, 0xA0-0xBF and 0xF0-0xFF take two.
  EXPECT_EQ(DecodeUtf8Line("\x81\x80"), std::wstring(1, wchar_t(0x40)));
  EXPECT_EQ(DecodeUtf8Line("\xA1\x80\x80"), std::wstring(1, wchar_t(0x1000)));
  EXPECT_EQ(DecodeUtf8Line("\xFF\xBF\xBF"), std::wstring(1, wchar_t(0xFFFF)));
  // Shift-JIS "あ" (82 A0) happens to fit: U+00A0.
  EXPECT_EQ(DecodeUtf8Line("\x82\xA0"), std::wstring(1, wchar_t(0xA0)));
}

TEST(TextUtf8Decode, MalformedAnywhereRejectsTheWholeLine) {
  EXPECT_EQ(DecodeUtf8Line("abc\xC3"), std::nullopt);         // lead is the last byte
  EXPECT_EQ(DecodeUtf8Line("\xE3\x82"), std::nullopt);        // third byte missing
  EXPECT_EQ(DecodeUtf8Line("\xE3\x82x"), std::nullopt);       // third byte not 80-BF
  EXPECT_EQ(DecodeUtf8Line("\xC3\xC3\xA9"), std::nullopt);    // second byte is a lead
  EXPECT_EQ(DecodeUtf8Line("ok \x83\x5C ok"), std::nullopt);  // Shift-JIS "ソ"
  // Four bytes above U+10FFFF, overlong or with a lead F5-F7: three bytes make one unit, and
  // the fourth cannot be used.
  EXPECT_EQ(DecodeUtf8Line("\xF4\x90\x80\x80"), std::nullopt);
  EXPECT_EQ(DecodeUtf8Line("a\xF0\x8F\xBF\xBFz"), std::nullopt);
  EXPECT_EQ(DecodeUtf8Line("\xF5\x80\x80\x80"), std::nullopt);
  EXPECT_EQ(DecodeUtf8Line("\xF0\x9F"), std::nullopt);
}

TEST(TextUtf8Encode, UsesOneTwoThreeOrFourBytesPerCharacter) {
  EXPECT_EQ(EncodeUtf8(L"A\u007F"), "A\x7F");
  EXPECT_EQ(EncodeUtf8(L"\u0080\u07FF"), "\xC2\x80\xDF\xBF");
  EXPECT_EQ(EncodeUtf8(L"\u0800\uFFFF"), "\xE0\xA0\x80\xEF\xBF\xBF");
  EXPECT_EQ(EncodeUtf8(std::wstring{wchar_t(0xD83D), wchar_t(0xDE00)}), "\xF0\x9F\x98\x80");
  EXPECT_EQ(EncodeUtf8(std::wstring{wchar_t(0xDE00), wchar_t(0xD83D)}), "\xED\xB8\x80\xED\xA0\xBD");
  EXPECT_EQ(EncodeUtf8(L""), "");
  // U+0000 as C0 80, the form the decoder turns into it: a written text never holds a NUL.
  EXPECT_EQ(EncodeUtf8(std::wstring(L"a\0b", 3)),
            "a\xC0\x80"
            "b");
}

TEST(TextUtf8Encode, DecodeReversesEncodeForEveryUnit) {
  std::wstring all;
  for (unsigned unit = 0; unit <= 0xFFFF; ++unit) all.push_back(static_cast<wchar_t>(unit));
  std::string bytes = EncodeUtf8(all);
  EXPECT_TRUE(IsValidUtf8(bytes));
  EXPECT_EQ(DecodeUtf8Line(bytes), all);
  std::wstring pairs;
  for (unsigned high = 0xD800; high <= 0xDBFF; ++high)
    for (unsigned low = 0xDC00; low <= 0xDFFF; low += 0x3F) pairs += {wchar_t(high), wchar_t(low)};
  EXPECT_EQ(DecodeUtf8Line(EncodeUtf8(pairs)), pairs);
}

TEST(TextUtf16, ReadsTheOrderTheByteOrderMarkGives) {
  EXPECT_EQ(DecodeUtf16WithMark("\xFF\xFE"
                                "a\0\xBD\x30\x3D\xD8\x00\xDE"sv),
            L"a\u30BD\U0001F600");
  EXPECT_EQ(DecodeUtf16WithMark("\xFE\xFF\0a\x30\xBD\xD8\x3D\xDE\x00"sv), L"a\u30BD\U0001F600");
  EXPECT_EQ(DecodeUtf16WithMark("\xFF\xFE"
                                "a\0b"sv),
            L"a");  // a last odd byte is no unit
  EXPECT_EQ(DecodeUtf16WithMark("\xFF\xFE"), L"");
  EXPECT_EQ(DecodeUtf16WithMark("a\0b\0"sv), std::nullopt);
  EXPECT_EQ(DecodeUtf16WithMark("\xEF\xBB\xBF"
                                "a"),
            std::nullopt);
}

TEST(TextIsValidUtf8, FollowsTheStructuralRule) {
  EXPECT_TRUE(IsValidUtf8(""));
  EXPECT_TRUE(IsValidUtf8("plain ascii\r\n"));
  EXPECT_TRUE(IsValidUtf8("\xE3\x82\xBD"));
  EXPECT_TRUE(IsValidUtf8("\xF0\x9F\x98\x80"));
  EXPECT_TRUE(IsValidUtf8("\xC0\x80\xC1\xBF"));       // overlong leads pass
  EXPECT_TRUE(IsValidUtf8("\xED\xA0\x80"));           // surrogate passes
  EXPECT_TRUE(IsValidUtf8("\xF7\xBF\xBF\xBF"));       // above U+10FFFF passes
  EXPECT_TRUE(IsValidUtf8("\xC3\xBD"));               // Shift-JIS half-width kana pair
  EXPECT_FALSE(IsValidUtf8("\x80"));                  // continuation without lead
  EXPECT_FALSE(IsValidUtf8("\xF8\x80\x80\x80\x80"));  // lead F8-FF
  EXPECT_FALSE(IsValidUtf8("\xFF"));
  for (const char* lead : {"\xF8", "\xFB", "\xFC", "\xFE", "\xFF"})  // not even as four-byte leads
    EXPECT_FALSE(IsValidUtf8(std::string(lead) + "\x80\x80\x80")) << int(*lead & 0xFF);
  EXPECT_FALSE(IsValidUtf8("\xE3\x82"));   // cut off at the end
  EXPECT_FALSE(IsValidUtf8("\xE3\x82 "));  // interrupted
  EXPECT_FALSE(IsValidUtf8("\x83\x5C"));   // Shift-JIS "ソ"
  EXPECT_FALSE(IsValidUtf8("\x82\xA0"));   // Shift-JIS "あ": lead 82
}

}  // namespace
