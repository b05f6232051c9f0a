// What the artist map promises: entries in order, titles found with letter case ignored,
// in-place replacement, deletion and copying, and its index errors. The comparison and the
// index it finds titles with are cross-checked in tests/platform/CaseIgnoringTest.cpp.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "metadata/ArtistMap.h"
#include "platform/CaseIgnoring.h"
#include "platform/Exception.h"
#include "tests/harness/Raises.h"

namespace {

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
      if (platform::SameTextIgnoringCase(query, map.TitleAt(i))) expected = i;
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
  SCOPED_TRACE(index);
  harness::ExpectRaises<platform::ListIndexError>(
      call, platform::Format("リストのインデックスが範囲を超えています (%d)", index));
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
  // "リストのインデックスが範囲を超えています (5)" in Shift-JIS.
  if (auto error = harness::Raised<platform::ListIndexError>([&] { map.Delete(5); })) {
    EXPECT_EQ(Hex(error->Message()),
              Hex("\x83\x8A\x83\x58\x83\x67\x82\xCC\x83\x43\x83\x93\x83\x66\x83\x62\x83\x4E"
                  "\x83\x58\x82\xAA\x94\xCD\x88\xCD\x82\xF0\x92\xB4\x82\xA6\x82\xC4\x82\xA2"
                  "\x82\xDC\x82\xB7 (5)"));
  }
}

}  // namespace
