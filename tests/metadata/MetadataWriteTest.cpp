#include <gtest/gtest.h>

#include "metadata/MetadataFile.h"
#include "platform/Exception.h"
#include "platform/Files.h"
#include "tests/harness/WindowTest.h"

namespace {

using Entries = std::vector<std::string>;
using Values = std::vector<AlbumValue>;

const wchar_t* const kExamplePath = L"" QUORVEL_TEST_DATA "/metadata/example.txt";

AlbumRecord ExampleRecord() {
  return {"Summer Songs", "Various Artists", "", "2025", "J-POP", " 1"};
}

ArtistMap MapOf(const std::vector<std::pair<std::string, std::string>>& entries) {
  ArtistMap map;
  for (const auto& [title, artist] : entries) map.SetArtist(title, artist);
  return map;
}

std::string Built(const AlbumRecord& record, const ArtistMap& map) {
  return BuildMetadataText(Album{record, map});
}

Entries EntriesOf(const ArtistMap& map) {
  Entries entries;
  for (int i = 0; i < map.Count(); ++i) entries.push_back(map.TitleAt(i) + "=" + map.ArtistAt(i));
  return entries;
}

std::string ArtistsLinesOf(const ArtistMap& map) {
  std::string text = Built(AlbumRecord{}, map);
  return text.substr(text.rfind("[ARTISTS]\r\n") + 11);
}

TEST(MetadataBuild, ExampleIsWrittenByteForByte) {
  ArtistMap map = MapOf({{"Second Song", "Guest A"}, {"Last Song", "Guest B & Guest C"}});
  EXPECT_EQ(Built(ExampleRecord(), map), platform::ReadWholeFile(kExamplePath));
}

TEST(MetadataBuild, EmptyFieldsAndMapGiveBareKeysAndASingleHeader) {
  // The example without its field values and without its two entries.
  std::string expected = platform::ReadWholeFile(kExamplePath);
  for (std::string value : {"Summer Songs", "Various Artists", "2025", "J-POP", " 1"}) {
    expected.erase(expected.find("=" + value + "\r\n") + 1, value.size());
  }
  expected.erase(expected.find("Second Song="));
  EXPECT_EQ(Built(AlbumRecord{}, ArtistMap{}), expected);
}

TEST(MetadataBuild, TextsAreWrittenAsTheyStandAndBlankArtistsLeftOut) {
  AlbumRecord record{"  spaced  ", "a=b", "#x", "1999", "[g]", "12"};
  std::string text = Built(record, ArtistMap{});
  EXPECT_NE(text.find("\r\nALBUM=  spaced  \r\nALBUMARTIST=a=b\r\nARTIST=#x\r\nYEAR=1999\r\n"
                      "GENRE=[g]\r\nDISCNUMBER=12\r\n\r\n"),
            std::string::npos);

  ArtistMap map = MapOf({{"One", " Guest "}, {"Blank", " \t "}, {"Two", "B"}});
  EXPECT_EQ(ArtistsLinesOf(map), "One= Guest \r\nTwo=B\r\n");
}

TEST(MetadataBuild, ShiftJisBecomesUtf8) {
  AlbumRecord record{"夏の歌", "", "ｿ", "", "", ""};
  std::string text = Built(record, MapOf({{"ソング", "表"}}));
  EXPECT_NE(text.find("\r\nALBUM=\xE5\xA4\x8F\xE3\x81\xAE\xE6\xAD\x8C\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nARTIST=\xEF\xBD\xBF\r\n"), std::string::npos);  // half-width ｿ
  EXPECT_EQ(text.substr(text.rfind("[ARTISTS]\r\n") + 11),
            "\xE3\x82\xBD\xE3\x83\xB3\xE3\x82\xB0=\xE8\xA1\xA8\r\n");
  EXPECT_NE(text.substr(0, 3), "\xEF\xBB\xBF");
}

// Key lines the editor does not edit come back byte for byte after DISCNUMBER, in file order,
// the headers of their sections not written: a save and a reload keep them.
TEST(MetadataBuild, OtherKeyLinesAreWrittenBackAfterDiscNumber) {
  const std::string file =
      "COMMENT=Beyonc\xC3\xA9\r\nALBUM=A\r\n[OTHER]\r\ncomposer = \xE5\xA4\x8F\r\n"
      "[ARTISTS]\r\nSong=Guest\r\n";
  Album album;
  ParseMetadataText(file, album);
  std::string text = BuildMetadataText(album);
  const std::string expected =
      "DISCNUMBER=\r\nCOMMENT=Beyonc\xC3\xA9\r\ncomposer = \xE5\xA4\x8F\r\n\r\n#";
  EXPECT_NE(text.find(expected), std::string::npos) << text;
  EXPECT_EQ(text.find("[OTHER]"), std::string::npos);
  Album reread;
  ParseMetadataText(text, reread);
  EXPECT_EQ(reread.otherKeyLines, album.otherKeyLines);
}

// U+0000 can only come from C0 80, and goes back as C0 80: a raw NUL would end the file.
TEST(MetadataBuild, ANulInATitleIsWrittenAsC080AndEveryLaterEntryComesBack) {
  const std::string entries = "[ARTISTS]\r\nSong\xC0\x80x=Guest\r\nOther=B\r\nThird=C\r\n";
  Album album;
  ParseMetadataText(entries, album);
  const ArtistMap& map = album.artists;
  ASSERT_EQ(EntriesOf(map), (Entries{std::string("Song\0x=Guest", 12), "Other=B", "Third=C"}));
  std::string text = Built(AlbumRecord{}, map);
  EXPECT_EQ(text.substr(text.rfind("[ARTISTS]\r\n")), entries);
  Album reread;
  ParseMetadataText(text, reread);
  EXPECT_EQ(EntriesOf(reread.artists), EntriesOf(map));
}

TEST(MetadataBuild, EntryReadsBackTellsWhetherTheWrittenLineGivesTheEntryBack) {
  const struct {
    const char* title;
    const char* artist;
    bool readsBack;
  } cases[] = {
      {"Song", "Guest", true},
      {"1+1", "2=Guest", true},  // only the first "=" splits
      {"=LOVE", "Guest", false},
      {"1+1=2", "Guest", false},
      {"#好きなんだ", "Guest", false},
      {"[Live] Song", "Guest [JP]", false},
      {"[Live] Song", "Guest", true},
      {"[Live] Song", "ゾ", false},  // 83 5D: its last byte is that of "]"
      {"[Live] Song", "ソ", true},   // 83 5C
      {"Song ", "Guest", false},     // the reader trims the title
      {"Song", "", false},           // not written
  };
  for (const auto& c : cases) {
    EXPECT_EQ(EntryReadsBack(c.title, c.artist), c.readsBack) << c.title << "=" << c.artist;
  }
}

// An album saved to disk loads back as it was saved.
class MetadataWrite : public testing::Test {
 protected:
  harness::TempFolder folder;
  const std::wstring path_ = folder.Path() + L"metadata.txt";
};

TEST_F(MetadataWrite, SavedFileReadsBackIntoTheSameFieldsAndEntries) {
  AlbumRecord record{"夏の歌 Vol.2", "表示 & ソ", "Artist", "2026", "J-POP", "12"};
  ArtistMap map = MapOf({{"ソング", "ゲスト=A"}, {"Intro", "表"}, {"A=B", "X"}});
  Album{record, map}.Save(path_);
  Album read;
  EXPECT_EQ(read.Load(path_), (Values{{AlbumKey::Album, "夏の歌 Vol.2"},
                                      {AlbumKey::AlbumArtist, "表示 & ソ"},
                                      {AlbumKey::Artist, "Artist"},
                                      {AlbumKey::Year, "2026"},
                                      {AlbumKey::Genre, "J-POP"},
                                      {AlbumKey::DiscNumber, "12"}}));
  EXPECT_EQ(EntriesOf(read.artists), (Entries{"ソング=ゲスト=A", "Intro=表", "A=B=X"}));
  EXPECT_EQ(read.artists.TitleAt(2), "A");
  EXPECT_EQ(read.artists.ArtistAt(2), "B=X");
}

TEST_F(MetadataWrite, EntriesThatLookLikeCommentsOrHeadersDoNotComeBackAsEntries) {
  ArtistMap map = MapOf({{"#Hidden", "Guest"},
                         {" Padded ", " Guest "},
                         {"[Outro", "ゾ"},
                         {"GENRE", "Rock"},
                         {"[Intro", "Guest]"},
                         {"ALBUM", "Z"}});
  Album{{}, map}.Save(path_);
  Album read;
  Values values = read.Load(path_);
  EXPECT_EQ(EntriesOf(read.artists), Entries{"Padded=Guest"});
  // After the headers "[Outro=ゾ" and "[Intro=Guest]" the entries are album keys.
  ASSERT_GE(values.size(), 2u);
  EXPECT_EQ(values[values.size() - 2], (AlbumValue{AlbumKey::Genre, "Rock"}));
  EXPECT_EQ(values.back(), (AlbumValue{AlbumKey::Album, "Z"}));
}

TEST_F(MetadataWrite, AFieldWithALineBreakComesBackCut) {
  AlbumRecord record{"a\r\nGENRE=x", "", "", "", "", ""};
  Album{record}.Save(path_);
  Album read;
  Values values = read.Load(path_);
  ASSERT_GE(values.size(), 2u);
  EXPECT_EQ(values[0], (AlbumValue{AlbumKey::Album, "a"}));
  EXPECT_EQ(values[1], (AlbumValue{AlbumKey::Genre, "x"}));
}

}  // namespace
