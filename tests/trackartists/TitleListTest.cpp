// Reading and cleaning title.txt: the cleaning rules, the whole-file encoding decision and
// the case-ignoring de-duplication, cross-checked against the list control's own search.

#include <gtest/gtest.h>
#include <windows.h>

#include <random>

#include "metadata/Album.h"
#include "platform/Exception.h"
#include "support/Text.h"
#include "tests/harness/Raises.h"
#include "tests/harness/WindowTest.h"
#include "trackartists/TitleList.h"

using Titles = std::vector<std::string>;

namespace {

std::string Normalized(std::string title) {
  NormalizeTitle(title);
  return title;
}

// Shift-JIS (the source's literals) and UTF-8 spellings of the same titles.
const char kSongSjis[] = "ソング";
const char kSongUtf8[] = "\xE3\x82\xBD\xE3\x83\xB3\xE3\x82\xB0";
const char kHyouSjis[] = "表示";
const char kHyouUtf8[] = "\xE8\xA1\xA8\xE7\xA4\xBA";

// `text` as UTF-16 with its byte-order mark, as editors save "Unicode text".
std::string Utf16(std::wstring_view text, bool bigEndian) {
  std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (wchar_t unit : text) {
    char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    bytes += bigEndian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

// A real selection-only combo box. Its items are held in UTF-16, so it gives back what the
// dialog's list would show for a title.
class ListControl {
 public:
  ListControl()
      : box_(CreateWindowExA(0, "COMBOBOX", "", WS_POPUP | CBS_DROPDOWNLIST | CBS_HASSTRINGS, 0, 0,
                             100, 100, nullptr, nullptr, nullptr, nullptr)) {}
  ~ListControl() { DestroyWindow(box_); }
  // The items after adding every title, or with `deduplicate` only those for which the
  // control's own exact-match search finds no equal item.
  Titles Filled(const Titles& titles, bool deduplicate) {
    SendMessageA(box_, CB_RESETCONTENT, 0, 0);
    for (const std::string& title : titles)
      if (!deduplicate || SendMessageA(box_, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(title.c_str())) == CB_ERR)
        SendMessageA(box_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(title.c_str()));
    Titles items;
    for (int i = 0, n = static_cast<int>(SendMessageA(box_, CB_GETCOUNT, 0, 0)); i < n; ++i) {
      std::string text(SendMessageA(box_, CB_GETLBTEXTLEN, i, 0) + 1, '\0');
      text.resize(SendMessageA(box_, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data())));
      items.push_back(text);
    }
    return items;
  }

 private:
  HWND box_;
};

}  // namespace

TEST(NormalizeTitle, CleansNumbersExtensionsAndSeparators) {
  const std::pair<const char*, const char*> cases[] = {
      {"01 Intro.mp3", "Intro"},
      {"02-Song Title.WAV", "Song Title"},
      {"03. Song", "Song"},
      {"  05 - Song  ", "Song"},
      {"08 ._-Song.wav", "Song"},
      {"07 - -Song", "Song"},
      {"Song.Mp3", "Song"},
      {"Track 09.mp3", "Track 09"},
      {"04_Song.flac", "Song.flac"},
      {"Song.mp3.wav", "Song.mp3"},
      {"Mr. Blue", "Mr. Blue"},
      {"06 Song .mp3", "Song"},  // no trailing blank: keys are read back trimmed
      {"06 Song\t.mp3", "Song"},
      {"01\tIntro.mp3", "Intro"},  // spreadsheets put a tab after the number
      {"02\t\tOutro.mp3", "Outro"},
      {"01\t-\tIntro.mp3", "Intro"},
      {"01\t- Intro.mp3", "Intro"},
      {"01 -\t_ .\tIntro", "Intro"},
      {"1-2 Song", "2 Song"},
      {"2 Become 1", "Become 1"},
      {"10cc - I", "cc - I"},
      {"１２ Song", "１２ Song"},  // full-width digits stay
      {"01\xE3\x80\x80Song", "\xE3\x80\x80Song"},
      {"01　Song", "　Song"},  // the ideographic space is no separator
      {"Song.mp3x", "Song.mp3x"},
      {"1999", ""},
      {"09.mp3", ""},
      {"09 .mp3", ""},
      {"   ", ""},
      {"", ""},
  };
  for (auto [line, title] : cases) EXPECT_EQ(Normalized(line), title) << line;
}

TEST(TitlesOf, DecidesTheEncodingOnceForTheWholeFile) {
  const std::string song = std::string("01 ") + kSongUtf8 + ".mp3";
  const std::string hyou = std::string("02 ") + kHyouUtf8;
  const struct {
    const char* name;
    std::string bytes;
    Titles titles;
  } cases[] = {
      {"UTF-8", song + "\r\n" + hyou + "\r\n", {kSongSjis, kHyouSjis}},
      {"Shift-JIS",
       std::string("01 ") + kSongSjis + ".mp3\n02 " + kHyouSjis,
       {kSongSjis, kHyouSjis}},
      {"byte-order mark", "\xEF\xBB\xBF" + song + "\r" + hyou, {kSongSjis, kHyouSjis}},
      {"mark before ASCII",
       "\xEF\xBB\xBF"
       "01 Intro.mp3",
       {"Intro"}},
      // One Shift-JIS line makes the whole file Shift-JIS: the UTF-8 line stays raw bytes.
      {"mixed", song + "\r\n02 " + kHyouSjis, {kSongUtf8, kHyouSjis}},
      // A four-byte character is two substitutes; one above U+10FFFF breaks the line's decoding.
      {"four-byte", "01 A\r\n02 \xF0\x9F\x8E\xB5 B\r\n03 \xF4\x90\x80\x80 C\r\n", {"A", "?? B"}},
      {"UTF-16 little-endian",
       Utf16(L"01\tIntro.mp3\r\n02\t\tOutro.mp3\r\n", false),
       {"Intro", "Outro"}},
      {"UTF-16 big-endian",
       Utf16(L"01 \u30BD\u30F3\u30B0.mp3\r02 \u8868\u793A\n", true),
       {kSongSjis, kHyouSjis}},
      {"UTF-16 NUL ends the text", Utf16(std::wstring(L"01 A\n\0\n02 B", 11), false), {"A"}},
      {"decomposed kana are composed",
       "01 \xE3\x82\xAB\xE3\x82\x99\xE3\x83\xBC\xE3\x83\xAB.mp3",
       {"ガール"}},
      {"NUL ends the text", std::string("01 A\r\n02 B\0\r\n03 C", 17), {"A", "B"}},
      {"NUL hides a bad byte",
       "01 " + std::string(kSongUtf8) + std::string("\0\xFF", 2),
       {kSongSjis}},
      {"C0 80 ends a title",
       "01 A\xC0\x80"
       "B\r\n02 A\xC0\x80"
       "C\r\nD",
       {"A", "D"}},
      {"C0 80 leads a line",
       "\xC0\x80"
       "01 Song",
       {"Song"}},
      // Shift-JIS bytes are cleaned before a stray lead byte can swallow the dot.
      {"stray lead byte", "01 Song\x81.mp3", {"Song・"}},
      {"line ends", "a\r\r\nb\n\nc\r", {"a", "b", "c"}},
      {"empty", "", {}},
      {"nothing usable", "1999\r\n09.mp3\r\n \t \r\n\r\n", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(TitlesOf(c.bytes), c.titles) << c.name;
}

// A UTF-8 or UTF-16 file tells the album the characters of each listed title that the code
// page lacks or that composing changed; of titles equal but for case, only the spelling listed.
TEST(TitlesOf, NotesTheOriginalCharactersOfTheTitlesItLists) {
  const std::wstring text =
      L"01 Caf\u00E9.mp3\r\n02 CAF\u00C9\r\n03 Zo\u00EB\r\n04 Plain\r\n"
      L"05 Emoji \U0001F600.mp3\r\n06 \u30AB\u3099\u30FC\u30EB\r\n";
  const struct {
    const char* title;
    const wchar_t* original;  // nullptr: none kept
  } cases[] = {{"Cafe", L"Caf\u00E9"},
               {"CAFE", nullptr},
               {"Zoe", L"Zo\u00EB"},
               {"Plain", nullptr},
               {"Emoji ??", L"Emoji \U0001F600"},
               {"ガール", L"\u30AB\u3099\u30FC\u30EB"}};
  for (const std::string& bytes : {EncodeUtf8(text), Utf16(text, false)}) {
    Album album;
    EXPECT_EQ(TitlesOf(bytes, &album), (Titles{"Cafe", "Zoe", "Plain", "Emoji ??", "ガール"}));
    for (const auto& c : cases) {
      const std::wstring* original = album.originals.OriginalTitle(c.title);
      if (c.original)
        EXPECT_TRUE(original && *original == c.original) << c.title;
      else
        EXPECT_EQ(original, nullptr) << c.title;
    }
  }
}

TEST(TitlesOf, AnInvalidByteAnywhereMakesTheFileShiftJis) {
  const std::string tail = std::string("\r\n02 ") + kSongUtf8 + "\r\n";
  const std::string head = std::string("01 ") + kHyouUtf8 + " Title";
  ASSERT_EQ(TitlesOf(head + tail), (Titles{std::string(kHyouSjis) + " Title", kSongSjis}));
  for (size_t at = 0; at < head.size(); ++at) {
    for (char bad : {'\xFF', '\xF8'}) {  // never part of UTF-8
      std::string bytes = head + tail;
      bytes[at] = bad;
      Titles titles = TitlesOf(bytes);
      ASSERT_FALSE(titles.empty()) << at;
      EXPECT_EQ(titles.back(), kSongUtf8) << "byte " << at << " set to " << int(bad & 0xFF);
    }
  }
}

TEST(TitlesOf, KeepsTheFirstSpellingOfTitlesThatDifferInCaseOnly) {
  EXPECT_EQ(TitlesOf("01 Intro.mp3\r\n02 Song\r\n03 INTRO.wav\r\n04 Intro .mp3\r\nintro\r\n"),
            (Titles{"Intro", "Song"}));
}

TEST(TitlesOf, DeduplicatesExactlyAsTheListControlSearches) {
  // Letters of other scripts, widths and kana kinds: whatever the platform calls equal.
  const Titles tricky = {"Intro", "INTRO", "ｉｎｔｒｏ", "ＩＮＴＲＯ", "Ｉｎｔｒｏ", "αβγ",
                         "ΑΒΓ",   "дом",   "ДОМ",        "あいう",     "アイウ",     "ｱｲｳ",
                         "ソ表",  "ｿ表",   "a-b",        "ab",         "a b",        "ｶﾞ",
                         "ガ",    "曲",    "Kyoku",      "KYOKU"};
  std::string file;
  for (const std::string& title : tricky) file += title + "\r\n";
  ListControl list;
  EXPECT_EQ(list.Filled(TitlesOf(file), false), list.Filled(tricky, true));
}

TEST(TitlesOf, RandomAndMutatedFilesNeverBreakTheReader) {
  std::mt19937 random(20261209);
  auto pick = [&](int n) { return static_cast<int>(random() % n); };
  std::vector<std::string> pieces(1, std::string(1, '\0'));
  for (const char* piece : {"01 ",
                            "Intro",
                            "INTRO",
                            ".mp3",
                            ".WAV",
                            " ",
                            "\t",
                            "\r\n",
                            "\r",
                            "\n",
                            kSongUtf8,
                            kSongSjis,
                            "\xEF\xBB\xBF",
                            "\xF0\x9F\x8E\xB5",
                            "\x81",
                            "\xE3\x82",
                            "\xC0\x80",
                            "-",
                            "_",
                            "=",
                            "."})
    pieces.push_back(piece);
  ListControl list;
  for (int round = 0; round < 3000; ++round) {
    std::string bytes;
    switch (round % 3) {
      case 0:  // random bytes
        for (int i = pick(200); i > 0; --i) bytes.push_back(static_cast<char>(pick(256)));
        break;
      case 1:  // pieces of real lines, cut and mixed
        for (int i = pick(30); i > 0; --i) bytes += pieces[pick(static_cast<int>(pieces.size()))];
        break;
      default:  // runs of lead bytes
        for (int i = pick(40); i > 0; --i) bytes.append(pick(5) + 1, "\x81\xE3\xF0\xC3"[pick(4)]);
        bytes += "\r\n" + pieces[pick(static_cast<int>(pieces.size()))];
    }
    Titles titles = TitlesOf(bytes);
    for (const std::string& title : titles) {
      ASSERT_FALSE(title.empty());
      ASSERT_GT(static_cast<unsigned char>(title.back()), 32);
      ASSERT_EQ(title.find_first_of(std::string("\r\n\0", 3)), std::string::npos);
    }
    // No two titles are equal as the list control's own search sees them.
    ASSERT_EQ(list.Filled(titles, true), list.Filled(titles, false)) << "round " << round;
  }
  // Very long lines, in both encodings.
  std::string longUtf8, longSjis(1 << 20, '\x82');
  while (longUtf8.size() < (1 << 20)) longUtf8 += kSongUtf8;
  longSjis += "\xA0";
  EXPECT_EQ(TitlesOf("01 " + longUtf8 + ".mp3").at(0).size(), longUtf8.size() / 3 * 2);
  EXPECT_EQ(TitlesOf(longSjis + "\r\n" + longSjis).size(), 1u);
}

TEST(ReadTitles, AMissingOrLockedFileRaisesTheOpenError) {
  harness::TempFolder folder;
  std::wstring path = folder.Write(L"title.txt", "01 Intro.mp3\r\n");
  EXPECT_EQ(ReadTitles(path), Titles{"Intro"});
  HANDLE writer = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  for (bool locked : {true, false}) {
    if (!locked) {
      CloseHandle(writer);
      DeleteFileW(path.c_str());
    }
    SCOPED_TRACE(locked);
    if (auto e = harness::Raised([&] { ReadTitles(path); })) {
      const std::string prefix = "ファイル \"" + harness::Ansi(path) + "\". ",
                        suffix = " は開けません";
      const std::string& text = e->Message();
      ASSERT_GT(text.size(), prefix.size() + suffix.size());  // the system's text between
      EXPECT_EQ(text.substr(0, prefix.size()), prefix);
      EXPECT_EQ(text.substr(text.size() - suffix.size()), suffix);
    }
  }
}
