// Characters that the code page lacks: shown as the platform's look-alikes, written back as
// read while the window still holds exactly the lossy form.

#include <gtest/gtest.h>

#include <functional>

#include "metadata/MetadataFile.h"
#include "platform/CodePage.h"
#include "platform/Exception.h"
#include "platform/Files.h"
#include "support/NumberPicture.h"
#include "support/Text.h"

namespace {

using Entries = std::vector<std::string>;

const wchar_t* const kOutsidePath = L"" QUORVEL_TEST_DATA "/metadata/outside-code-page.txt";
// Characters beyond the basic plane and kana decomposed as macOS writes them.
const wchar_t* const kBeyondPath = L"" QUORVEL_TEST_DATA "/metadata/beyond-code-page.txt";

// UTF-8 of the texts in that file.
#define CAFE_SONGS "Caf\xC3\xA9 Songs"
#define MOTORHEAD "Mot\xC3\xB6rhead"
#define SIGUR_ROS "Sigur R\xC3\xB3s"
#define YOAKE "\xE5\xA4\x9C\xE6\x98\x8E\xE3\x81\x91"  // 夜明け
#define ZOE "Zo\xC3\xAB"
#define EMOJI "\xF0\x9F\x98\x80"                         // U+1F600
#define GA_DECOMPOSED "\xE3\x82\xAB\xE3\x82\x99"         // カ and U+3099
#define HAN_JAMO "\xE1\x84\x92\xE1\x85\xA1\xE1\x86\xAB"  // 한 as three jamo

// An album as the main window holds it after a load: each value applied to its field in turn,
// and the fields taken back at a save.
struct LoadedAlbum : Album {
  AlbumRecord fields;

  explicit LoadedAlbum(std::string_view bytes) { Read(bytes); }
  void Read(std::string_view bytes) {
    // The record's fields stand in the order of the keys.
    static std::string AlbumRecord::*const texts[] = {
        &AlbumRecord::album, &AlbumRecord::albumArtist, &AlbumRecord::artist,
        &AlbumRecord::year,  &AlbumRecord::genre,       &AlbumRecord::discNumber};
    for (const AlbumValue& value : ParseMetadataText(bytes, *this)) {
      std::string text = value.value;
      if (value.key == AlbumKey::DiscNumber) {  // the disc list's item text
        int item = DiscItemIndex(value.value, 12);
        text = item < 0 ? "" : NumberPicture("Z9", item + 1);
      }
      fields.*texts[static_cast<int>(value.key)] = text;
    }
  }
  std::string Save() {
    values = fields;
    return BuildMetadataText(*this);
  }
};

Entries EntriesOf(const ArtistMap& map) {
  Entries entries;
  for (int i = 0; i < map.Count(); ++i) entries.push_back(map.TitleAt(i) + "=" + map.ArtistAt(i));
  return entries;
}

std::string ArtistsLinesOf(const std::string& text) {
  return text.substr(text.rfind("[ARTISTS]\r\n") + 11);
}

std::string AlbumLinesOf(const std::string& text) {
  size_t begin = text.find("\r\nALBUM=") + 2;
  return text.substr(begin, text.find("\r\n\r\n") + 2 - begin);
}

// A line of a UTF-8 title.txt as the title list converts it.
ConvertedText LineOf(std::string_view utf8) {
  return ConvertedText(DecodeUtf8Line(utf8).value_or(std::wstring()));
}

const std::string& Example() {
  static const std::string bytes = platform::ReadWholeFile(kOutsidePath);
  return bytes;
}

TEST(OriginalTexts, TheExamplesAreShownWithLookAlikesAndWrittenBackByteForByte) {
  const struct {
    const wchar_t* path;
    AlbumRecord fields;
    Entries entries;
  } cases[] = {
      {kOutsidePath,
       {"Cafe Songs", "Motorhead", "Beyonce", "2025", "Musica", " 1"},
       {"Intro=Sigur Ros", "夜明け=Zoe"}},
      // A character beyond the basic plane is two substitutes; decomposed kana are composed.
      {kBeyondPath,
       {"Party ??", "ガールズ", "", "2025", "J-POP", " 1"},
       {"Song?\?=Guest ??", "デビュー=Guest"}},
  };
  for (const auto& c : cases) {
    std::string bytes = platform::ReadWholeFile(c.path);
    LoadedAlbum album(bytes);
    EXPECT_EQ(album.fields, c.fields) << platform::WideToAnsi(c.path);
    EXPECT_EQ(EntriesOf(album.artists), c.entries) << platform::WideToAnsi(c.path);
    EXPECT_EQ(album.Save(), bytes) << platform::WideToAnsi(c.path);
  }

  // Written by another tool: other order, letter case, blanks and line ends, no comments.
  LoadedAlbum other("genre = M\xC3\xBAsica\nalbum=  " CAFE_SONGS
                    " \nARTIST=Beyonc\xC3\xA9\nAlbumArtist=" MOTORHEAD
                    "\nYEAR=2025\nDISCNUMBER=1\n[artists]\n Intro = " SIGUR_ROS " \n" YOAKE "=" ZOE
                    "\n");
  EXPECT_EQ(other.Save(), Example());
}

TEST(OriginalTexts, AValueChangedInTheWindowIsWrittenFromTheWindow) {
  LoadedAlbum album(Example());
  album.fields.album = "CAFE SONGS";
  album.fields.artist = "Beyonce Knowles";
  album.fields.genre = "Cafe Songs";  // the album's lossy form, but not the genre's
  EXPECT_EQ(AlbumLinesOf(album.Save()),
            "ALBUM=CAFE SONGS\r\nALBUMARTIST=" MOTORHEAD
            "\r\nARTIST=Beyonce Knowles\r\nYEAR=2025\r\nGENRE=Cafe Songs\r\nDISCNUMBER= 1\r\n");
}

TEST(OriginalTexts, EntriesAreWrittenAsTheDialogLeftThem) {
  struct Case {
    const char* what;
    std::function<void(ArtistMap&)> edit;
    std::string lines;
  };
  const Case cases[] = {
      {"deleted", [](ArtistMap& map) { map.Delete(map.IndexOfTitle("Intro")); },
       YOAKE "=" ZOE "\r\n"},
      {"registered again as shown",
       [](ArtistMap& map) { map.SetArtist("Intro", map.ArtistOf("Intro")); },
       "Intro=" SIGUR_ROS "\r\n" YOAKE "=" ZOE "\r\n"},
      {"registered again in other letter case",
       [](ArtistMap& map) { map.SetArtist("INTRO", "Sigur Ros"); },
       "INTRO=" SIGUR_ROS "\r\n" YOAKE "=" ZOE "\r\n"},
      {"changed", [](ArtistMap& map) { map.SetArtist("夜明け", "Zoe Kravitz"); },
       "Intro=" SIGUR_ROS "\r\n" YOAKE "=Zoe Kravitz\r\n"},
      {"the same text registered for another title",
       [](ArtistMap& map) { map.SetArtist("Outro", "Sigur Ros"); },
       "Intro=" SIGUR_ROS "\r\n" YOAKE "=" ZOE "\r\nOutro=Sigur Ros\r\n"},
  };
  for (const Case& c : cases) {
    LoadedAlbum album(Example());
    ArtistMap copy;  // the dialog's working copy, taken back after a register or delete
    copy.Assign(album.artists);
    c.edit(copy);
    album.artists.Assign(copy);
    EXPECT_EQ(ArtistsLinesOf(album.Save()), c.lines) << c.what;
  }
}

TEST(OriginalTexts, TheLastLineOfAKeyOrEntryDecides) {
  struct Case {
    const char* text;
    std::string written;  // the album lines or the ARTISTS section
  };
  const Case cases[] = {
      {"ALBUM=" CAFE_SONGS "\r\nALBUM=Cafe Songs\r\n", "ALBUM=Cafe Songs\r\n"},
      {"ALBUM=Cafe Songs\r\nALBUM=Caf\xC3\xA8 Songs\r\n", "ALBUM=Caf\xC3\xA8 Songs\r\n"},
      {"[ARTISTS]\r\nCaf\xC3\xA9=A\r\nCafe=B\r\n", "Cafe=B\r\n"},
      {"[ARTISTS]\r\nCafe=A\r\nCAF\xC3\x89=B\r\n", "CAF\xC3\x89=B\r\n"},
      {"[ARTISTS]\r\nIntro=" SIGUR_ROS "\r\nIntro=Sigur Ros\r\n", "Intro=Sigur Ros\r\n"},
      {"[ARTISTS]\r\nIntro=" SIGUR_ROS "\r\nOutro=Sigur Ros\r\n",
       "Intro=" SIGUR_ROS "\r\nOutro=Sigur Ros\r\n"},
  };
  for (const Case& c : cases) {
    std::string saved = LoadedAlbum(c.text).Save();
    std::string lines = c.written.starts_with("ALBUM=")
                            ? saved.substr(saved.find("ALBUM="), c.written.size())
                            : ArtistsLinesOf(saved);
    EXPECT_EQ(lines, c.written) << c.text;
  }
}

TEST(OriginalTexts, CharactersBeyondTheBasicPlane) {
  // A four-byte sequence above U+10FFFF breaks the decoding rule: the line is skipped.
  LoadedAlbum fourBytes(
      "ALBUM=x\r\nALBUM=\xF4\x90\x80\x80 Song\r\n[ARTISTS]\r\nA=\xF4\x90\x80\x80\r\n");
  EXPECT_EQ(fourBytes.fields.album, "x");
  EXPECT_EQ(fourBytes.artists.Count(), 0);
  EXPECT_NE(fourBytes.Save().find("\r\nALBUM=x\r\n"), std::string::npos);

  // The same character as two three-byte halves is read too, and written as UTF-8 writes it.
  const std::string halves = "\xED\xA0\xBC\xED\xBE\xB5";
  LoadedAlbum pair("ALBUM=" + halves + " Song\r\n");
  EXPECT_EQ(pair.fields.album, "?? Song");
  EXPECT_NE(pair.Save().find("\r\nALBUM=\xF0\x9F\x8E\xB5 Song\r\n"), std::string::npos);
}

TEST(OriginalTexts, AReadForgetsTheOriginalsOfTheAlbumBefore) {
  LoadedAlbum album(Example());
  album.Read("ALBUM=Other\r\n");  // the other fields keep their texts, as in the window
  EXPECT_EQ(AlbumLinesOf(album.Save()),
            "ALBUM=Other\r\nALBUMARTIST=Motorhead\r\nARTIST=Beyonce\r\nYEAR=2025\r\n"
            "GENRE=Musica\r\nDISCNUMBER= 1\r\n");

  LoadedAlbum failed(Example());
  EXPECT_THROW(ReadMetadataFile(L"" QUORVEL_TEST_DATA "/missing.txt", failed),
               platform::Win32Error);
  EXPECT_NE(failed.Save().find("\r\nALBUMARTIST=Motorhead\r\n"), std::string::npos);
}

// Text stored decomposed, as macOS and some taggers store it, in any script: shown composed,
// and written back with the file's own bytes while the user leaves it alone. So is a value
// with a NUL (C0 80), shown up to the NUL.
TEST(OriginalTexts, DecomposedTextAndNulsAreWrittenBackAsRead) {
  const struct {
    std::string text;
    const char* shown;
  } cases[] = {
      {HAN_JAMO "\xE1\x84\x80\xE1\x85\xAE\xE1\x86\xA8", "??"},  // 한국
      {HAN_JAMO, "?"},
      {"\xD9\x85\xD9\x91\xD9\x8E", "???"},  // Arabic: a letter, shadda, fatha
      {"\xD7\xA9\xD7\x81\xD6\xB8\xD7\x9C\xD7\x95\xD6\xB9\xD7\x9D", "???????"},  // Hebrew
      {"Cafe\xCC\x81", "Cafe"},                                                 // e and U+0301
      {"\xE1\xBA\xA0\xCC\x86n Vie\xCC\xA3\xCC\x82t",
       "?n Vi?t"},  // Vietnamese: Ạ and a breve, e and two marks
      {GA_DECOMPOSED "\xE3\x83\x92\xE3\x82\x9A", "ガピ"},  // カ, ヒ with their marks
      {"Before\xC0\x80"
       "After",
       "Before"},
  };
  for (const auto& c : cases) {
    const std::string entries = c.text + "=Guest\r\nIntro=" + c.text + "\r\n";
    LoadedAlbum album("ALBUM=" + c.text + "\r\nARTIST=" + c.text + "\r\n[ARTISTS]\r\n" + entries);
    EXPECT_EQ(album.fields.album, c.shown) << c.text;
    EXPECT_EQ(album.fields.artist, c.shown) << c.text;
    std::string saved = album.Save();
    EXPECT_EQ(AlbumLinesOf(saved), "ALBUM=" + c.text + "\r\nALBUMARTIST=\r\nARTIST=" + c.text +
                                       "\r\nYEAR=\r\nGENRE=\r\nDISCNUMBER=\r\n")
        << c.text;
    EXPECT_EQ(ArtistsLinesOf(saved), entries) << c.text;
  }
}

// The title list of a title.txt notes each title with the line it came from.
TEST(OriginalTexts, AListedTitleIsWrittenWithItsOriginalCharacters) {
  struct Case {
    const char* line;
    const char* title;  // what the list made of the line
    const char* written;
  };
  const Case cases[] = {
      {"01 " CAFE_SONGS ".mp3", "Cafe Songs", CAFE_SONGS},
      {"02 " YOAKE "\xE3\x81\xAE" CAFE_SONGS ".wav", "夜明けのCafe Songs",
       YOAKE "\xE3\x81\xAE" CAFE_SONGS},
      {"2-\xC2\xB2", "2", "\xC2\xB2"},  // the head "2-" is cut, the look-alike "2" is the title
      {"03 Cafe Songs.mp3", "Cafe Songs", "Cafe Songs"},
      {"04 " CAFE_SONGS, "Other", "Other"},
      {"05 \xF4\x90\x80\x80 " CAFE_SONGS, "Cafe Songs", "Cafe Songs"},  // a malformed line
      {"06 Emoji " EMOJI ".mp3", "Emoji ??", "Emoji " EMOJI},
      {"07 " GA_DECOMPOSED ".mp3", "ガ", GA_DECOMPOSED},
      {"08 " HAN_JAMO, "?", HAN_JAMO},
  };
  for (const Case& c : cases) {
    OriginalTexts originals;
    originals.NoteListedTitle(LineOf(c.line), c.title);
    ArtistMap map;
    map.SetArtist(c.title, "Guest");
    EXPECT_EQ(ArtistsLinesOf(BuildMetadataText(Album{{}, map, originals})),
              std::string(c.written) + "=Guest\r\n")
        << c.line;
  }

  // The track list's spelling wins over the file's for the same look-alike.
  LoadedAlbum album("[ARTISTS]\r\nCaf\xC3\xA8 Songs=A\r\n");
  album.originals.NoteListedTitle(LineOf("01 " CAFE_SONGS ".mp3"), "Cafe Songs");
  EXPECT_EQ(ArtistsLinesOf(album.Save()), CAFE_SONGS "=A\r\n");
}

}  // namespace
