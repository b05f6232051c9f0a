#include <gtest/gtest.h>

#include <ostream>

#include "metadata/MetadataFile.h"
#include "platform/Exception.h"
#include "platform/Files.h"
#include "tests/harness/Raises.h"
#include "tests/harness/WindowTest.h"

void PrintTo(const AlbumValue& value, std::ostream* out) {
  *out << "{" << static_cast<int>(value.key) << ", \"" << value.value << "\"}";
}

namespace {

using Entries = std::vector<std::string>;
using Values = std::vector<AlbumValue>;
using namespace std::string_view_literals;

Entries EntriesOf(const ArtistMap& map) {
  Entries entries;
  for (int i = 0; i < map.Count(); ++i) entries.push_back(map.TitleAt(i) + "=" + map.ArtistAt(i));
  return entries;
}

struct Parsed {
  Values values;
  Entries entries;
};

// Parses into a map that holds an entry already, which reading must remove.
Parsed Parse(std::string_view bytes) {
  Album album;
  album.artists.SetArtist("Stale", "Entry");
  Values values = ParseMetadataText(bytes, album);
  return {values, EntriesOf(album.artists)};
}

Values ValuesOf(std::string_view bytes) { return Parse(bytes).values; }
Entries EntriesOf(std::string_view bytes) { return Parse(bytes).entries; }

AlbumValue AlbumName(const std::string& value) { return {AlbumKey::Album, value}; }

TEST(MetadataRead, ExampleFileGivesItsFieldsAndEntriesInOrder) {
  Album album;
  Values values = ReadMetadataFile(L"" QUORVEL_TEST_DATA "/metadata/example.txt", album);
  EXPECT_EQ(values, (Values{{AlbumKey::Album, "Summer Songs"},
                            {AlbumKey::AlbumArtist, "Various Artists"},
                            {AlbumKey::Artist, ""},
                            {AlbumKey::Year, "2025"},
                            {AlbumKey::Genre, "J-POP"},
                            {AlbumKey::DiscNumber, "1"}}));
  EXPECT_EQ(DiscItemIndex(values[5].value, 12), 0);
  EXPECT_EQ(album.values,
            (AlbumRecord{"Summer Songs", "Various Artists", "", "2025", "J-POP", "1"}));
  EXPECT_EQ(EntriesOf(album.artists),
            (Entries{"Second Song=Guest A", "Last Song=Guest B & Guest C"}));
}

TEST(MetadataRead, CommentsBlankLinesAndLinesWithoutEqualsAreSkipped) {
  EXPECT_EQ(ValuesOf("  # note\r\n#ALBUM=x\r\n\t#ALBUM=y\r\nx # y\r\n \r\n\x01\r\n"), Values{});
  EXPECT_EQ(ValuesOf("ALBUM=a # b\r\n"), Values{AlbumName("a # b")});
  EXPECT_EQ(ValuesOf("ALBUM a\r\n"), Values{});
}

TEST(MetadataRead, AlbumKeysAreTrimmedAndCompareUpperCased) {
  EXPECT_EQ(ValuesOf("album = My Album \r\n"), Values{AlbumName("My Album")});
  EXPECT_EQ(ValuesOf("AlbumArtist=x\r\ngenre=y\r\nYear=1999\r\nartist=z\r\n"),
            (Values{{AlbumKey::AlbumArtist, "x"},
                    {AlbumKey::Genre, "y"},
                    {AlbumKey::Year, "1999"},
                    {AlbumKey::Artist, "z"}}));
  // Full-width "ＡＬＢＵＭ" is not the key, nor are near misses.
  EXPECT_EQ(ValuesOf("\xEF\xBC\xA1\xEF\xBC\xAC\xEF\xBC\xA2\xEF\xBC\xB5\xEF\xBC\xAD=x\r\n"
                     "ALBUMS=x\r\nALB UM=x\r\nTITLE=x\r\n=x\r\n"),
            Values{});
}

TEST(MetadataRead, EveryOccurrenceOfAKeyIsReturnedSoTheLastWins) {
  EXPECT_EQ(ValuesOf("ALBUM=first\r\nGENRE=g\r\nALBUM=\r\nALBUM=A=B\r\n"),
            (Values{AlbumName("first"), {AlbumKey::Genre, "g"}, AlbumName(""), AlbumName("A=B")}));
}

TEST(MetadataRead, SectionNamesAreUpperCasedButNotTrimmed) {
  const std::string entry = "\r\nSong=Guest\r\n";
  EXPECT_EQ(EntriesOf("[ARTISTS]" + entry), Entries{"Song=Guest"});
  EXPECT_EQ(EntriesOf("[artists]" + entry), Entries{"Song=Guest"});
  EXPECT_EQ(EntriesOf("  [Artists]  " + entry), Entries{"Song=Guest"});
  EXPECT_EQ(EntriesOf("[ ARTISTS ]" + entry), Entries{});
  EXPECT_EQ(EntriesOf("[ARTIST]" + entry), Entries{});
  // Not a header (its last byte is not "]") and without "=": skipped, the section stays.
  EXPECT_EQ(EntriesOf("[ARTISTS] x" + entry), Entries{});
  EXPECT_EQ(EntriesOf("[ARTISTS]\r\n[ARTISTS] x" + entry), Entries{"Song=Guest"});
  EXPECT_EQ(EntriesOf("[ARTISTS]\r\n[" + entry), Entries{"Song=Guest"});
}

TEST(MetadataRead, AlbumKeysApplyInEverySectionButArtists) {
  Parsed parsed = Parse(
      "ALBUM=before\r\n[OTHER]\r\nALBUM=other\r\n[ARTISTS]\r\nALBUM=Track\r\nA=1\r\n"
      "[]\r\nALBUM=unnamed\r\n[artists]\r\nB=2\r\n[a=b]\r\nALBUM=header\r\n");
  EXPECT_EQ(parsed.values, (Values{AlbumName("before"), AlbumName("other"), AlbumName("unnamed"),
                                   AlbumName("header")}));
  EXPECT_EQ(parsed.entries, (Entries{"ALBUM=Track", "A=1", "B=2"}));
}

// Keys the editor does not edit are kept as their lines stand, trimmed, in file order; lines
// of the ARTISTS section, comments, headers and lines without a key are not.
TEST(MetadataRead, OtherKeyLinesOutsideArtistsAreKeptAsTheyStand) {
  Album album;
  album.otherKeyLines = {"stale"};
  Values values = ParseMetadataText(
      " COMMENT = caf\xC3\xA9 \r\nBROKEN=\xF4\x90\x80\x80\r\n#TRACKTOTAL=1\r\ncomposer=x\t\r\n=no "
      "key\r\n"
      "ALBUM=a\r\n[OTHER]\r\n\xC0\x80TRACKTOTAL=12\xC0\x80\r\n[ARTISTS]\r\nSong=Guest\r\n"
      "[x]\r\nMOOD = \xE5\xA4\x8F\r\n",
      album);
  EXPECT_EQ(values, Values{AlbumName("a")});
  EXPECT_EQ(album.otherKeyLines, (Entries{"COMMENT = caf\xC3\xA9", "composer=x", "TRACKTOTAL=12",
                                          "MOOD = \xE5\xA4\x8F"}));
}

TEST(MetadataRead, ArtistEntriesGoThroughSetArtist) {
  EXPECT_EQ(EntriesOf("[ARTISTS]\r\nSong=Guest\r\nOther=X\r\nSONG=Other\r\n"),
            (Entries{"SONG=Other", "Other=X"}));
  EXPECT_EQ(EntriesOf("[ARTISTS]\r\nSong=\r\n=Guest\r\n = \r\n"), Entries{});
  EXPECT_EQ(EntriesOf("[ARTISTS]\r\n  Song = Guest \r\n"), Entries{"Song=Guest"});
  EXPECT_EQ(EntriesOf("[ARTISTS]\r\nA=B=X\r\n"), Entries{"A=B=X"});
  Album album;
  ParseMetadataText("[ARTISTS]\r\nA=B=X\r\n", album);
  EXPECT_EQ(album.artists.TitleAt(0), "A");
  EXPECT_EQ(album.artists.ArtistAt(0), "B=X");
}

TEST(MetadataRead, EmptyOrCommentOnlyTextEmptiesTheMapAndGivesNoValues) {
  for (std::string_view text : {""sv, "# only\r\n#comments"sv, "\r\n\r\n"sv, "\0ALBUM=x"sv}) {
    Parsed parsed = Parse(text);
    EXPECT_EQ(parsed.values, Values{});
    EXPECT_EQ(parsed.entries, Entries{});
  }
}

TEST(MetadataReadLines, LoneCrLoneLfAndCrLfReadAlike) {
  const Values expected{AlbumName("a"), {AlbumKey::Genre, "g"}};
  EXPECT_EQ(ValuesOf("ALBUM=a\r\nGENRE=g\r\n"), expected);
  EXPECT_EQ(ValuesOf("ALBUM=a\nGENRE=g\n"), expected);
  EXPECT_EQ(ValuesOf("ALBUM=a\rGENRE=g"), expected);
  EXPECT_EQ(ValuesOf("ALBUM=a\r\r\nGENRE=g\n\r"), expected);
}

TEST(MetadataReadLines, NulEndsTheText) {
  EXPECT_EQ(ValuesOf("ALBUM=ab\0cd\r\nGENRE=g\r\n"sv), Values{AlbumName("ab")});
  EXPECT_EQ(ValuesOf("ALBUM=a\r\n\0GENRE=g\r\n"sv), Values{AlbumName("a")});
}

TEST(MetadataReadEncoding, Utf8BecomesShiftJis) {
  EXPECT_EQ(ValuesOf("ALBUM=\xE5\xA4\x8F\xE3\x81\xAE\xE6\xAD\x8C\xE3\x80\x80\r\n"),
            Values{AlbumName("夏の歌　")});  // the ideographic space stays
  EXPECT_EQ(EntriesOf("[ARTISTS]\r\n\xE3\x82\xBD\xE3\x83\xB3\xE3\x82\xB0=\xE8\xA1\xA8\r\n"),
            Entries{"ソング=表"});
}

TEST(MetadataReadEncoding, ByteOrderMarkAtTheStartIsSkipped) {
  EXPECT_EQ(ValuesOf("\xEF\xBB\xBF"
                     "ALBUM=x\r\n"),
            Values{AlbumName("x")});
  EXPECT_EQ(ValuesOf("\xEF\xBB\xBF"
                     "#ALBUM=x\r\n"),
            Values{});
  EXPECT_EQ(EntriesOf("\xEF\xBB\xBF[ARTISTS]\r\nSong=Guest\r\n"), Entries{"Song=Guest"});
  EXPECT_EQ(ValuesOf("\xEF\xBB\xBF"), Values{});
  // Only the very start: anywhere else the mark is a character the code page lacks.
  EXPECT_EQ(ValuesOf("ALBUM=x\r\n\xEF\xBB\xBF"
                     "ALBUM=y\r\n"),
            Values{AlbumName("x")});
  EXPECT_EQ(ValuesOf("\xEF\xBB\xBF\xEF\xBB\xBF"
                     "ALBUM=y\r\n"),
            Values{});
}

TEST(MetadataReadEncoding, AMalformedLineIsSkippedAsAWhole) {
  // Shift-JIS "ソ" (83 5C) breaks the rule; the ASCII lines around it still apply.
  EXPECT_EQ(ValuesOf("ALBUM=a\r\nGENRE=\x83\x5C\r\nARTIST=c\r\nYEAR=x\xE3\x82\r\n"),
            (Values{AlbumName("a"), {AlbumKey::Artist, "c"}}));
  // Four bytes above U+10FFFF: three make one unit, and the fourth cannot be used.
  EXPECT_EQ(ValuesOf("ALBUM=\xF4\x90\x80\x80 song\r\n"), Values{});
  // A header that is malformed does not change the section.
  EXPECT_EQ(EntriesOf("[ARTISTS]\r\n[OTHER\x83\x5C]\r\nSong=Guest\r\n"), Entries{"Song=Guest"});
}

// What the platform's conversion makes of characters that code page 932 lacks (Wine 8):
// "?" where it knows no stand-in, a best-fit letter for some accented ones.
TEST(MetadataReadEncoding, ShiftJisThatFitsTheRuleGivesOtherCharacters) {
  // "あ" (82 A0) decodes to U+00A0, which the code page lacks.
  EXPECT_EQ(ValuesOf("ALBUM=\x82\xA0\r\n"), Values{AlbumName("?")});
}

TEST(MetadataReadEncoding, CharactersOutsideTheCodePageBecomeTheSubstitute) {
  EXPECT_EQ(ValuesOf("ALBUM=\xC4\x80 caf\xC3\xA9\r\n"), Values{AlbumName("? cafe")});  // Ā, é
  // Leading the line, it hides the key.
  EXPECT_EQ(ValuesOf("\xC4\x80"
                     "ALBUM=x\r\n"),
            Values{});
}

TEST(MetadataReadEncoding, HeaderEndingInADoubleByteCharacterWithTrailByte5DIsAHeader) {
  // "ゾ" is 83 5D in Shift-JIS: its last byte is the byte of "]".
  Parsed parsed = Parse("[ARTISTS]\r\n[\xE3\x82\xBE\r\nALBUM=x\r\n");
  EXPECT_EQ(parsed.values, Values{AlbumName("x")});
  EXPECT_EQ(parsed.entries, Entries{});
  // "ソ" (83 5C) does not end a header: the line has no "=" and is skipped.
  EXPECT_EQ(EntriesOf("[ARTISTS]\r\n[\xE3\x82\xBD\r\nALBUM=x\r\n"), Entries{"ALBUM=x"});
}

TEST(MetadataDiscNumber, ParsesDecimalAndHexadecimalForms) {
  struct Case {
    const char* text;
    int32_t number;
  };
  const Case cases[] = {
      {"3", 3},
      {" 3", 3},
      {"+3", 3},
      {"03", 3},
      {"$3", 3},
      {"$C", 12},
      {"0xC", 12},
      {"0Xc", 12},
      {"xC", 12},
      {"XC", 12},
      {"+0x10", 16},
      {"-$3", -3},
      {"-1", -1},
      {"0", 0},
      {"13", 13},
      {"0000000000012", 12},
      {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},
      {"$7FFFFFFF", 2147483647},
      {"-$80000000", INT32_MIN},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseDiscNumber(c.text), c.number) << c.text;
}

TEST(MetadataDiscNumber, MalformedOrOutOfRangeReadsAsZero) {
  for (const char* text :
       {"",          " ",         "3a",  "abc",  "99999999999", "2147483648", "-2147483649",
        "$80000000", "$FFFFFFFF", "$",   "0x",   "x",           "-",          "+",
        "+-3",       "- 3",       "3 3", "0x-3", "00x10",       "$$3",        "3.0",
        "\x82\x52",  "$G",        "1e3"}) {
    EXPECT_EQ(ParseDiscNumber(text), 0) << text;
  }
}

TEST(MetadataDiscNumber, SelectsAnItemOnlyWithinTheList) {
  EXPECT_EQ(DiscItemIndex("3", 12), 2);
  EXPECT_EQ(DiscItemIndex("$3", 12), 2);
  EXPECT_EQ(DiscItemIndex("1", 12), 0);
  EXPECT_EQ(DiscItemIndex("0xC", 12), 11);
  EXPECT_EQ(DiscItemIndex("12", 12), 11);
  for (const char* text : {"0", "-1", "13", "3a", "abc", "99999999999", "", "-2147483648"}) {
    EXPECT_EQ(DiscItemIndex(text, 12), -1) << text;
  }
  EXPECT_EQ(DiscItemIndex("1", 0), -1);
}

// Reading from disk: the map is emptied even when the file cannot be opened.
class MetadataReadFile : public testing::Test {
 protected:
  void Write(const std::string& bytes) { ASSERT_TRUE(harness::WriteFileBytes(path_, bytes)); }
  harness::TempFolder folder;
  const std::wstring path_ = folder.Path() + L"metadata.txt";
};

TEST_F(MetadataReadFile, MissingFileRaisesTheOpenErrorAfterEmptyingTheMap) {
  Album album;
  album.artists.SetArtist("Song", "Guest");
  harness::ExpectRaises<platform::Win32Error>(
      [&] { ReadMetadataFile(path_, album); },
      platform::Format("ファイル \"%s\". %s は開けません", harness::Ansi(path_).c_str(),
                       platform::SysErrorMessage(ERROR_FILE_NOT_FOUND).c_str()));
  EXPECT_EQ(album.artists.Count(), 0);
}

TEST_F(MetadataReadFile, AFileOpenForWritingCannotBeRead) {
  Write("ALBUM=x\r\n");
  HANDLE writer = CreateFileW(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  Album album;
  album.artists.SetArtist("Song", "Guest");
  if (auto error = harness::Raised<platform::Win32Error>([&] { ReadMetadataFile(path_, album); })) {
    EXPECT_EQ(error->Code(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  }
  EXPECT_EQ(album.artists.Count(), 0);
  CloseHandle(writer);
}

}  // namespace
