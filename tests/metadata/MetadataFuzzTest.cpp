// Random and mutated files through the reader: it must never fail on content, and what it
// reads must survive a save and a second read unchanged.

#include <gtest/gtest.h>

#include <array>
#include <random>

#include "metadata/MetadataFile.h"
#include "platform/Files.h"

namespace {

using Entries = std::vector<std::string>;

constexpr std::string_view kTokens[] = {"[ARTISTS]",
                                        "[artists]",
                                        "[OTHER]",
                                        "[]",
                                        "[",
                                        "]",
                                        "=",
                                        "==",
                                        "#",
                                        " ",
                                        "\t",
                                        "\r",
                                        "\n",
                                        "\r\n",
                                        std::string_view("\0", 1),
                                        "ALBUM",
                                        "album",
                                        "ALBUMARTIST",
                                        "ARTIST",
                                        "YEAR",
                                        "GENRE",
                                        "DISCNUMBER",
                                        "$",
                                        "0x",
                                        "-",
                                        "+",
                                        "12",
                                        "99999999999",
                                        "Song",
                                        "SONG",
                                        "Guest",
                                        "\xEF\xBB\xBF",
                                        "\xE3\x82\xBD",
                                        "\xE3\x82\xBE",
                                        "\xE3",
                                        "\x82",
                                        "\xC3\xA9",
                                        "\xF0\x9F\x8E\xB5",
                                        "\x83\x5C",
                                        "\x82\xA0",
                                        "\xE3\x80\x80",
                                        "\xFF",
                                        "\x80",
                                        "\xED\xA0\x80",
                                        "\xC0\x80",
                                        "\xA0",
                                        "\xBF",
                                        "\xA5\x80\x80"};

class Generator {
 public:
  explicit Generator(uint32_t seed) : random_(seed) {}

  std::string Next(int index) {
    switch (index % 4) {
      case 0:
        return RandomBytes(Below(4096));
      case 1:
        return TokenSoup(Below(400));
      case 2:
        return Mutated(Example());
      default:
        return Mutated(TokenSoup(Below(100)));
    }
  }

  // Single lines of 1 MiB and long runs of lead bytes.
  std::vector<std::string> HugeCases() {
    const size_t mebibyte = size_t{1} << 20;
    std::string soRun;
    for (size_t i = 0; i < mebibyte / 3; ++i) soRun += "\xE3\x82\xBD";
    return {std::string(mebibyte, 'A'),
            "ALBUM=" + std::string(mebibyte, 'x') + "\r\nGENRE=g",
            std::string(mebibyte, '\xE3'),
            std::string(mebibyte, '\x82'),
            Repeated("\xE3\x82", mebibyte / 2),
            Repeated("\xE3\x82\x82", mebibyte / 3) + "\xE3",
            "ALBUM=" + soRun,
            "[ARTISTS]\r\n" + soRun + "=" + soRun,
            "[" + std::string(mebibyte, 'a') + "]\r\nALBUM=x",
            Repeated("\r", mebibyte),
            Repeated("[ARTISTS]\r\nS=G\r\n", mebibyte / 16),
            std::string(mebibyte, '\0')};
  }

 private:
  size_t Below(size_t limit) { return limit == 0 ? 0 : random_() % limit; }

  static std::string Repeated(std::string_view part, size_t times) {
    std::string text;
    text.reserve(part.size() * times);
    for (size_t i = 0; i < times; ++i) text += part;
    return text;
  }

  std::string RandomBytes(size_t length) {
    std::string bytes(length, '\0');
    for (char& c : bytes) c = static_cast<char>(random_());
    return bytes;
  }

  std::string TokenSoup(size_t count) {
    std::string text;
    for (size_t i = 0; i < count; ++i) text += kTokens[Below(std::size(kTokens))];
    return text;
  }

  const std::string& Example() {
    if (example_.empty())
      example_ = platform::ReadWholeFile(L"" QUORVEL_TEST_DATA "/metadata/example.txt");
    return example_;
  }

  std::string Mutated(std::string text) {
    size_t edits = 1 + Below(8);
    for (size_t i = 0; i < edits; ++i) {
      size_t at = Below(text.size() + 1);
      switch (Below(4)) {
        case 0:
          if (at < text.size()) text[at] = static_cast<char>(text[at] ^ (1 << Below(8)));
          break;
        case 1:
          text.insert(at, kTokens[Below(std::size(kTokens))]);
          break;
        case 2:
          text.erase(at, Below(16));
          break;
        default:
          text.insert(at, text.substr(Below(text.size() + 1), Below(64)));
          break;
      }
    }
    return text;
  }

  std::mt19937 random_;
  std::string example_;
};

bool IsTrimmed(const std::string& text) {
  return text.empty() || (static_cast<unsigned char>(text.front()) > 32 &&
                          static_cast<unsigned char>(text.back()) > 32);
}

// What the form shows after applying the values in order: the last of each key.
std::array<std::string, 6> LastValues(const std::vector<AlbumValue>& values) {
  std::array<std::string, 6> fields;
  for (const AlbumValue& value : values) fields[static_cast<size_t>(value.key)] = value.value;
  return fields;
}

Entries EntriesOf(const ArtistMap& map) {
  Entries entries;
  for (int i = 0; i < map.Count(); ++i) entries.push_back(map.TitleAt(i) + "=" + map.ArtistAt(i));
  return entries;
}

void CheckRead(std::string_view bytes) {
  Album album;
  std::vector<AlbumValue> values = ParseMetadataText(bytes, album);
  const ArtistMap& map = album.artists;
  for (const AlbumValue& value : values) ASSERT_TRUE(IsTrimmed(value.value)) << value.value;
  for (int i = 0; i < map.Count(); ++i) {
    std::string title = map.TitleAt(i);
    std::string artist = map.ArtistAt(i);
    ASSERT_FALSE(title.empty());
    ASSERT_FALSE(artist.empty());
    ASSERT_TRUE(IsTrimmed(title) && IsTrimmed(artist)) << title << "=" << artist;
  }

  std::array<std::string, 6> fields = LastValues(values);
  album.values = {fields[0], fields[1], fields[2], fields[3], fields[4], fields[5]};
  std::string saved = BuildMetadataText(album);
  Album reread;
  std::vector<AlbumValue> rereadValues = ParseMetadataText(saved, reread);
  ASSERT_EQ(LastValues(rereadValues), fields);
  ASSERT_EQ(reread.otherKeyLines, album.otherKeyLines);
  ASSERT_EQ(reread.artists.Count(), map.Count());
  ASSERT_EQ(EntriesOf(reread.artists), EntriesOf(map));
  // What a save kept of the characters the code page lacks, the next save keeps too.
  reread.values = album.values;
  ASSERT_EQ(BuildMetadataText(reread), saved);
}

TEST(MetadataFuzz, RandomAndMutatedTextsAreReadAndSurviveASave) {
  Generator generator(20250611);
  for (int i = 0; i < 3000; ++i) {
    std::string bytes = generator.Next(i);
    SCOPED_TRACE(testing::Message() << "case " << i << ", " << bytes.size() << " bytes");
    CheckRead(bytes);
    if (HasFatalFailure()) return;
  }
}

TEST(MetadataFuzz, HugeLinesAndLongRunsOfLeadBytesAreRead) {
  Generator generator(7);
  std::vector<std::string> cases = generator.HugeCases();
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(testing::Message() << "huge case " << i);
    CheckRead(cases[i]);
    if (HasFatalFailure()) return;
  }
}

}  // namespace
