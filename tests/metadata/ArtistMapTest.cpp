#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "metadata/ArtistMap.h"
#include "platform/Exception.h"

namespace {

// The locale-aware comparison itself, over the whole of both texts, as the reference for
// every lookup below.
bool SameTitle(const std::string& a, const std::string& b) {
  return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                        b.data(), static_cast<int>(b.size())) == CSTR_EQUAL;
}

std::vector<std::string> Entries(const ArtistMap& map) {
  std::vector<std::string> entries;
  for (int i = 0; i < map.Count(); ++i) entries.push_back(map.TitleAt(i) + "=" + map.ArtistAt(i));
  return entries;
}

std::string Hex(const std::string& text) {
  static const char digits[] = "0123456789ABCDEF";
  std::string hex;
  for (unsigned char c : text) {
    if (!hex.empty()) hex += ' ';
    hex += digits[c >> 4];
    hex += digits[c & 15];
  }
  return "[" + hex + "]";
}

// ---- Setting, finding and deleting entries ----

TEST(ArtistMap, StartsEmpty) {
  ArtistMap map;
  EXPECT_EQ(map.Count(), 0);
  EXPECT_EQ(map.IndexOfTitle("Song"), -1);
  EXPECT_EQ(map.IndexOfTitle(""), -1);
  EXPECT_EQ(map.ArtistOf("Song"), "");
}

TEST(ArtistMap, SetArtistAppendsInOrder) {
  ArtistMap map;
  map.SetArtist("One", "A");
  map.SetArtist("Two", "B");
  map.SetArtist("Three", "C");
  EXPECT_EQ(Entries(map), (std::vector<std::string>{"One=A", "Two=B", "Three=C"}));
  EXPECT_EQ(map.IndexOfTitle("Two"), 1);
  EXPECT_EQ(map.ArtistOf("Three"), "C");
}

TEST(ArtistMap, SetArtistReplacesInPlaceWithTheNewSpelling) {
  ArtistMap map;
  map.SetArtist("Before", "0");
  map.SetArtist("Song", "A");
  map.SetArtist("After", "1");
  map.SetArtist("SONG", "B");
  EXPECT_EQ(Entries(map), (std::vector<std::string>{"Before=0", "SONG=B", "After=1"}));
  EXPECT_EQ(map.TitleAt(1), "SONG");
  EXPECT_EQ(map.IndexOfTitle("song"), 1);
}

TEST(ArtistMap, EmptyArtistDeletesTheEntryOrDoesNothing) {
  ArtistMap map;
  map.SetArtist("Other", "X");
  map.SetArtist("Song", "");
  EXPECT_EQ(Entries(map), (std::vector<std::string>{"Other=X"}));

  map.SetArtist("Song", "A");
  map.SetArtist("Last", "Z");
  map.SetArtist("sOnG", "");
  EXPECT_EQ(Entries(map), (std::vector<std::string>{"Other=X", "Last=Z"}));
  EXPECT_EQ(map.IndexOfTitle("Last"), 1);
  EXPECT_EQ(map.IndexOfTitle("Song"), -1);
}

TEST(ArtistMap, TitleWithSeparatorIsStoredBeforeItsFirstSeparator) {
  ArtistMap map;
  map.SetArtist("A=B", "X");
  map.SetArtist("A=B", "X");
  ASSERT_EQ(map.Count(), 2);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(map.TitleAt(i), "A");
    EXPECT_EQ(map.ArtistAt(i), "B=X");
  }
  EXPECT_EQ(map.ArtistOf("A=B"), "");
  EXPECT_EQ(map.IndexOfTitle("A=B"), -1);
  EXPECT_EQ(map.IndexOfTitle("A"), 0);
  EXPECT_EQ(map.IndexOfTitle("a"), 0);
  // Setting "A" now replaces the first of them.
  map.SetArtist("a", "Y");
  EXPECT_EQ(Entries(map), (std::vector<std::string>{"a=Y", "A=B=X"}));
  map.SetArtist("A", "");
  EXPECT_EQ(Entries(map), (std::vector<std::string>{"A=B=X"}));
  EXPECT_EQ(map.IndexOfTitle("A"), 0);
}

TEST(ArtistMap, ArtistOfIgnoresCase) {
  ArtistMap map;
  map.SetArtist("Song", "Guest");
  EXPECT_EQ(map.ArtistOf("song"), "Guest");
  EXPECT_EQ(map.ArtistOf("SONG"), "Guest");
  EXPECT_EQ(map.ArtistOf("Song"), "Guest");
  EXPECT_EQ(map.IndexOfTitle("Songs"), -1);
  EXPECT_EQ(map.ArtistOf("Songs"), "");
  EXPECT_EQ(map.ArtistOf(""), "");
}

TEST(ArtistMap, ArtistOfIgnoresCaseAsTheLocaleDefinesIt) {
  ArtistMap map;
  map.SetArtist("ａｂｃの歌", "全角");  // full-width letters
  map.SetArtist("ΑΒΓ", "ギリシャ");     // Greek capitals
  map.SetArtist("Дом", "キリル");       // Cyrillic
  EXPECT_EQ(map.ArtistOf("ＡＢＣの歌"), "全角");
  EXPECT_EQ(map.ArtistOf("ＡｂＣの歌"), "全角");
  EXPECT_EQ(map.ArtistOf("αβγ"), "ギリシャ");
  EXPECT_EQ(map.ArtistOf("ДОМ"), "キリル");
  // Only case is ignored: width and kana type are not.
  EXPECT_EQ(map.ArtistOf("abcの歌"), "");
  EXPECT_EQ(map.ArtistOf("ａｂｃノ歌"), "");
  // Each of these agrees with the platform's own answer.
  for (const char* query : {"ＡＢＣの歌", "abcの歌", "ABCの歌", "ａｂｃノ歌", "αβγ", "ДОМ"}) {
    int expected = -1;
    for (int i = 0; i < map.Count() && expected < 0; ++i)
      if (SameTitle(query, map.TitleAt(i))) expected = i;
    EXPECT_EQ(map.IndexOfTitle(query), expected) << query;
  }
}

// A title holding the character U+0000 (read from C0 80) is compared over its whole length.
TEST(ArtistMap, TitlesAreComparedBeyondANul) {
  const std::string ab("A\0B", 3), ac("A\0C", 3);
  ArtistMap map;
  map.SetArtist(ab, "1");
  map.SetArtist(ac, "2");
  EXPECT_EQ(Entries(map), (std::vector<std::string>{ab + "=1", ac + "=2"}));
  EXPECT_EQ(map.IndexOfTitle(std::string("a\0c", 3)), 1);
  EXPECT_EQ(map.IndexOfTitle("A"), -1);
}

// Long titles have sort keys longer than the map's first buffer.
TEST(ArtistMap, LongTitlesAreFound) {
  std::string lower, upper;
  for (int i = 0; i < 300; ++i) {
    lower += i % 2 ? "ａ歌" : "b";
    upper += i % 2 ? "Ａ歌" : "B";
  }
  ArtistMap map;
  map.SetArtist("short", "s");
  map.SetArtist(lower, "long");
  map.SetArtist(lower + "x", "longer");
  EXPECT_EQ(map.IndexOfTitle(upper), 1);
  EXPECT_EQ(map.ArtistOf(upper + "X"), "longer");
  EXPECT_EQ(map.IndexOfTitle(upper.substr(0, upper.size() - 2)), -1);
}

TEST(ArtistMap, ClearEmptiesTheMap) {
  ArtistMap map;
  map.SetArtist("Song", "A");
  map.Clear();
  EXPECT_EQ(map.Count(), 0);
  EXPECT_EQ(map.IndexOfTitle("Song"), -1);
  map.SetArtist("Song", "B");
  EXPECT_EQ(Entries(map), (std::vector<std::string>{"Song=B"}));
}

TEST(ArtistMap, AssignCopiesExactly) {
  ArtistMap source;
  source.SetArtist("One", "A");
  source.SetArtist("A=B", "X");
  source.SetArtist("Two", "B");
  source.SetArtist("A=B", "X");
  ArtistMap target;
  target.SetArtist("Old", "Z");
  target.SetArtist("One", "Q");
  target.Assign(source);
  EXPECT_EQ(Entries(target), Entries(source));
  EXPECT_EQ(target.Count(), 4);
  EXPECT_EQ(target.IndexOfTitle("Old"), -1);
  EXPECT_EQ(target.IndexOfTitle("two"), 2);
  EXPECT_EQ(target.IndexOfTitle("a"), 1);

  // The copy is independent of its source.
  target.SetArtist("One", "");
  EXPECT_EQ(source.ArtistOf("one"), "A");
  EXPECT_EQ(target.IndexOfTitle("two"), 1);

  ArtistMap empty;
  target.Assign(empty);
  EXPECT_EQ(target.Count(), 0);
  EXPECT_EQ(target.IndexOfTitle("two"), -1);

  source.Assign(source);
  EXPECT_EQ(source.Count(), 4);
}

TEST(ArtistMap, DeleteMovesLaterEntriesUp) {
  ArtistMap map;
  for (const char* title : {"a", "b", "c", "d"}) map.SetArtist(title, "x");
  map.Delete(1);
  EXPECT_EQ(Entries(map), (std::vector<std::string>{"a=x", "c=x", "d=x"}));
  EXPECT_EQ(map.IndexOfTitle("C"), 1);
  EXPECT_EQ(map.IndexOfTitle("D"), 2);
  EXPECT_EQ(map.IndexOfTitle("B"), -1);
  map.SetArtist("b", "y");
  EXPECT_EQ(map.IndexOfTitle("B"), 3);
}

// ---- Index errors ----

void ExpectIndexError(const std::function<void()>& call, int index) {
  try {
    call();
    ADD_FAILURE() << "no error for index " << index;
  } catch (const platform::ListIndexError& e) {
    EXPECT_EQ(e.Message(),
              platform::Format("リストのインデックスが範囲を超えています (%d)", index));
  }
}

TEST(ArtistMap, IndexErrorsCarryTheIndexAndChangeNothing) {
  ArtistMap map;
  map.SetArtist("One", "A");
  map.SetArtist("Two", "B");
  const auto before = Entries(map);
  for (int i : {2, 3, 1000, -1, -7}) {
    ExpectIndexError([&] { map.TitleAt(i); }, i);
    ExpectIndexError([&] { map.ArtistAt(i); }, i);
    ExpectIndexError([&] { map.Delete(i); }, i);
    EXPECT_EQ(Entries(map), before);
    EXPECT_EQ(map.IndexOfTitle("two"), 1);
  }
  ArtistMap empty;
  ExpectIndexError([&] { empty.TitleAt(0); }, 0);
  ExpectIndexError([&] { empty.Delete(0); }, 0);
}

TEST(ArtistMap, IndexErrorMessageIsTheExactText) {
  ArtistMap map;
  try {
    map.Delete(5);
    FAIL();
  } catch (const platform::ListIndexError& e) {
    // "リストのインデックスが範囲を超えています (5)" in Shift-JIS.
    EXPECT_EQ(Hex(e.Message()),
              Hex("\x83\x8A\x83\x58\x83\x67\x82\xCC\x83\x43\x83\x93\x83\x66\x83\x62\x83\x4E"
                  "\x83\x58\x82\xAA\x94\xCD\x88\xCD\x82\xF0\x92\xB4\x82\xA6\x82\xC4\x82\xA2"
                  "\x82\xDC\x82\xB7 (5)"));
  }
}

// ---- Randomized cross-check against CompareStringA ----

// Deterministic pseudo-random numbers.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed * 2654435761u + 1) {}
  uint32_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 7;
    state_ ^= state_ << 17;
    return static_cast<uint32_t>(state_ >> 16);
  }
  int Below(int n) { return static_cast<int>(Next() % static_cast<uint32_t>(n)); }

 private:
  uint64_t state_;
};

// Units of text in Shift-JIS, each with a partner that differs in case only (or itself).
struct Unit {
  std::string text;
  std::string partner;
};

std::vector<Unit> Units() {
  std::vector<Unit> units;
  auto pair = [&](std::string a, std::string b) {
    units.push_back({a, b});
    units.push_back({b, a});
  };
  auto single = [&](std::string a) { units.push_back({a, a}); };
  for (char c = 'A'; c <= 'Z'; ++c) pair(std::string(1, c), std::string(1, c + 32));
  for (char c = '0'; c <= '9'; ++c) single(std::string(1, c));
  for (char c : std::string(" !\"#$%&'()*+,-./:;<>?@[\\]^_`{|}~")) single(std::string(1, c));
  for (const char* control : {"\t", "\x01", "\x02", "\x1B", "\x1F", "\x7F", "\r", "\n"})
    single(control);
  // Full-width letters, Greek and Cyrillic (case pairs), full-width digits and signs.
  pair("Ａ", "ａ");
  pair("Ｂ", "ｂ");
  pair("Ｚ", "ｚ");
  pair("Α", "α");
  pair("Ω", "ω");
  pair("Д", "д");
  pair("Я", "я");
  pair("\x87\x54", "\xFA\x40");  // Roman numeral one (NEC) and small roman one (IBM)
  for (const char* s : {"０", "９", "　", "！", "＝", "（", "ー", "・", "①", "※", "〒"}) single(s);
  // Hiragana, katakana (with small and voiced forms), half-width katakana.
  for (const char* s : {"あ", "ぁ", "か", "が", "ぱ", "ん", "ア", "ァ", "カ", "ガ", "パ", "ヴ",
                        "ン", "ヵ", "ゝ", "ヽ", "゛", "゜"})
    single(s);
  for (const char* s : {"ｱ", "ｧ", "ｶ", "ﾞ", "ﾟ", "ﾊ", "ｰ", "ｯ", "｡"}) single(s);
  // Kanji, some with 0x5C as their second byte.
  for (const char* s : {"亜", "表", "能", "十", "ソ", "歌", "曲", "唖", "熙"}) single(s);
  // Bytes that form no valid or no mapped character, alone or with what follows.
  for (const char* s : {"\x81", "\x82", "\x80", "\xA0", "\xFD", "\xFF", "\x85\x40"}) single(s);
  return units;
}

// Any double-byte code from the rows of symbols, digits, Latin, kana, Greek and Cyrillic,
// the NEC special row, and the IBM extension rows (some of which repeat other codes'
// characters, and some of which are unassigned and convert to the default character).
std::string RandomDoubleByte(Random& random) {
  static const unsigned char leads[] = {0x81, 0x82, 0x83, 0x84, 0x87, 0x88, 0x95,
                                        0xEA, 0xED, 0xEE, 0xFA, 0xFB, 0xFC};
  unsigned char lead = leads[random.Below(sizeof leads)];
  unsigned char trail = static_cast<unsigned char>(0x40 + random.Below(0xFD - 0x40));
  return std::string{static_cast<char>(lead), static_cast<char>(trail)};
}

std::string CaseMapped(const std::string& text, DWORD flag) {
  if (text.empty()) return text;
  std::string mapped(text.size() * 2 + 8, '\0');
  int length = LCMapStringA(LOCALE_USER_DEFAULT, flag, text.data(), static_cast<int>(text.size()),
                            mapped.data(), static_cast<int>(mapped.size()));
  mapped.resize(length > 0 ? length : 0);
  return mapped;
}

std::string RandomTitle(Random& random, const std::vector<Unit>& units, std::string* variant) {
  int length = random.Below(7);
  std::string text;
  for (int k = 0; k < length; ++k) {
    if (random.Below(4) == 0) {
      std::string c = RandomDoubleByte(random);
      text += c;
      if (variant) *variant += c;
      continue;
    }
    const Unit& unit = units[random.Below(static_cast<int>(units.size()))];
    text += unit.text;
    if (variant) *variant += random.Below(2) ? unit.partner : unit.text;
  }
  return text;
}

// Strings in groups that differ in case only, plus unrelated ones.
std::vector<std::string> RandomTitles(uint64_t seed, int count) {
  Random random(seed);
  const std::vector<Unit> units = Units();
  std::vector<std::string> titles;
  while (static_cast<int>(titles.size()) < count) {
    std::string variant;
    titles.push_back(RandomTitle(random, units, &variant));
    titles.push_back(variant);
    switch (random.Below(4)) {  // the locale's own upper and lower case of the whole title
      case 0:
        titles.push_back(CaseMapped(variant, LCMAP_UPPERCASE));
        break;
      case 1:
        titles.push_back(CaseMapped(variant, LCMAP_LOWERCASE));
        break;
      default:
        break;
    }
    if (random.Below(8) == 0) titles.push_back(titles.back() + std::string(1, '\0') + "tail");
  }
  titles.push_back("");
  return titles;
}

// Every title finds exactly the titles it compares equal to, those of other bytes (case,
// a NUL the comparison passes over) included: the map's key index must never hide one.
TEST(ArtistMapCrossCheck, EachTitleFindsExactlyTheTitlesThatCompareEqual) {
  const std::vector<std::string> titles = RandomTitles(1, 400);
  int distinctEqualPairs = 0;
  for (const std::string& stored : titles) {
    ArtistMap map;
    map.SetArtist(stored, "x");
    for (const std::string& query : titles) {
      bool same = SameTitle(stored, query);
      distinctEqualPairs += same && stored != query;
      ASSERT_EQ(map.IndexOfTitle(query), same ? 0 : -1) << Hex(stored) << " " << Hex(query);
    }
  }
  // The set must hold many titles that are equal without being the same bytes.
  EXPECT_GT(distinctEqualPairs, static_cast<int>(titles.size()) / 2);
}

// A plain model of the map: a linear scan with CompareStringA.
struct ModelMap {
  std::vector<std::string> entries;
  int IndexOfTitle(const std::string& title) const {
    for (size_t i = 0; i < entries.size(); ++i) {
      size_t at = entries[i].find('=');
      if (at != std::string::npos && SameTitle(title, entries[i].substr(0, at)))
        return static_cast<int>(i);
    }
    return -1;
  }
  void SetArtist(const std::string& title, const std::string& artist) {
    int i = IndexOfTitle(title);
    if (!artist.empty()) {
      if (i < 0) {
        entries.push_back("");
        i = static_cast<int>(entries.size()) - 1;
      }
      entries[i] = title + "=" + artist;
    } else if (i >= 0) {
      entries.erase(entries.begin() + i);
    }
  }
};

TEST(ArtistMapCrossCheck, LookupsAgreeWithALinearScan) {
  for (uint64_t seed : {2, 3, 4}) {
    const std::vector<std::string> titles = RandomTitles(seed, 600);
    ArtistMap map;
    ModelMap model;
    for (const std::string& t : titles) {
      map.SetArtist(t, "x");
      model.SetArtist(t, "x");
    }
    ASSERT_EQ(Entries(map), model.entries);
    Random random(seed + 100);
    const std::vector<Unit> units = Units();
    for (const std::string& query : RandomTitles(seed + 10, 600)) {
      ASSERT_EQ(map.IndexOfTitle(query), model.IndexOfTitle(query)) << Hex(query);
      std::string other = RandomTitle(random, units, nullptr) + (random.Below(4) ? "" : "=x");
      ASSERT_EQ(map.IndexOfTitle(other), model.IndexOfTitle(other)) << Hex(other);
    }
  }
}

TEST(ArtistMapCrossCheck, RandomOperationsAgreeWithALinearScan) {
  Random random(7);
  const std::vector<std::string> titles = RandomTitles(8, 300);
  ArtistMap map, copy;
  ModelMap model;
  for (int step = 0; step < 6000; ++step) {
    const std::string& title = titles[random.Below(static_cast<int>(titles.size()))];
    switch (random.Below(10)) {
      case 0:
        if (!model.entries.empty()) {
          int i = random.Below(static_cast<int>(model.entries.size()));
          map.Delete(i);
          model.entries.erase(model.entries.begin() + i);
        }
        break;
      case 1:
        map.SetArtist(title, "");
        model.SetArtist(title, "");
        break;
      case 2:
        map.SetArtist(title + "=" + title, "eq");
        model.SetArtist(title + "=" + title, "eq");
        break;
      case 3:
        if (random.Below(20) == 0) {
          copy.Assign(map);
          map.Clear();
          map.Assign(copy);
        }
        break;
      default:
        map.SetArtist(title, std::to_string(step));
        model.SetArtist(title, std::to_string(step));
        break;
    }
    ASSERT_EQ(map.IndexOfTitle(title), model.IndexOfTitle(title)) << step << " " << Hex(title);
    if (step % 500 == 0) {
      ASSERT_EQ(Entries(map), model.entries) << step;
      for (const std::string& t : titles)
        ASSERT_EQ(map.IndexOfTitle(t), model.IndexOfTitle(t)) << step << " " << Hex(t);
    }
  }
  EXPECT_EQ(Entries(map), model.entries);
}

}  // namespace
