#include "metadata/MetadataFile.h"

#include <climits>

#include "platform/CodePage.h"
#include "platform/Exception.h"
#include "platform/Files.h"
#include "support/Text.h"

const char* const HeaderComments[2] = {
    "#Sorvanti / Mp3tagで使う主なフィールド名に合わせています。",
    "#title.txtと同じフォルダーに metadata.txt という名前で置いてください。",
};

const char* const ArtistsComments[4] = {
    "# オムニバスなど曲ごとに参加アーティストが違う場合だけ使用します。",
    "# 曲順には依存しません。コラボ曲だけ「曲名=追加参加アーティスト」で指定します。",
    "#[ARTISTS]",
    "#通常曲は記載不要です",
};

namespace {

constexpr std::string_view kArtistsSection = "ARTISTS";

// The six album keys, in the order the writer writes them.
struct KeyName {
  const char* name;
  AlbumKey key;
  std::string AlbumRecord::*text;  // where the album keeps the key's value
};

constexpr KeyName kKeyNames[] = {
    {"ALBUM", AlbumKey::Album, &AlbumRecord::album},
    {"ALBUMARTIST", AlbumKey::AlbumArtist, &AlbumRecord::albumArtist},
    {"ARTIST", AlbumKey::Artist, &AlbumRecord::artist},
    {"YEAR", AlbumKey::Year, &AlbumRecord::year},
    {"GENRE", AlbumKey::Genre, &AlbumRecord::genre},
    {"DISCNUMBER", AlbumKey::DiscNumber, &AlbumRecord::discNumber},
};

}  // namespace

std::string& AlbumRecord::operator[](AlbumKey key) {
  for (const KeyName& name : kKeyNames)
    if (name.key == key) return this->*name.text;
  throw platform::Exception("unknown album key");
}

namespace {

// A line that breaks the decoding rule counts as blank.
ConvertedText DecodeLine(std::string_view line) {
  std::optional<std::wstring> units = DecodeUtf8Line(line);
  return ConvertedText(units ? std::move(*units) : std::wstring());
}

// Looks at single bytes: a Shift-JIS character whose trail byte is 0x5D ends a header too.
bool IsSectionHeader(std::string_view line) {
  return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}

const KeyName* FindAlbumKey(const std::string& key) {
  std::string upper = AsciiUpper(key);
  for (const KeyName& name : kKeyNames) {
    if (upper == name.name) return &name;
  }
  return nullptr;
}

class MetadataParser {
 public:
  explicit MetadataParser(Album& album) : album_(album) {}
  // `line` is the line's UTF-8 bytes as they stand in the file.
  void ParseLine(std::string_view line);
  std::vector<AlbumValue> TakeValues() { return std::move(values_); }

 private:
  // `key` and `value` are pieces of the decoded line, so that their originals can be noted.
  void ApplyKeyLine(std::string_view line, const ConvertedText& decoded, std::string_view key,
                    std::string_view value);

  Album& album_;
  std::string section_;
  std::vector<AlbumValue> values_;
};

void MetadataParser::ParseLine(std::string_view rawLine) {
  ConvertedText decoded = DecodeLine(rawLine);
  std::string_view line = TrimView(decoded.Ansi());
  if (line.empty() || line.front() == '#') return;
  if (IsSectionHeader(line)) {
    section_ = AsciiUpper(std::string(line.substr(1, line.size() - 2)));
    return;
  }
  size_t equals = line.find('=');
  if (equals == std::string::npos) return;
  ApplyKeyLine(rawLine, decoded, TrimView(line.substr(0, equals)),
               TrimView(line.substr(equals + 1)));
}

void MetadataParser::ApplyKeyLine(std::string_view line, const ConvertedText& decoded,
                                  std::string_view key, std::string_view value) {
  if (section_ == kArtistsSection) {
    if (key.empty() || value.empty()) return;
    album_.artists.SetArtist(std::string(key), std::string(value));
    album_.originals.NoteEntry(decoded, key, value);
    return;
  }
  if (const KeyName* name = FindAlbumKey(std::string(key))) {
    std::string_view shown = value.substr(0, value.find('\0'));
    values_.push_back({name->key, std::string(shown)});
    album_.values.*name->text = shown;
    album_.originals.NoteValue(name->key, decoded, value, shown);
  } else if (!key.empty()) {
    // Kept as the file has it, characters the code page lacks included.
    album_.otherKeyLines.emplace_back(TrimUtf8Line(line));
  }
}

}  // namespace

std::vector<AlbumValue> ParseMetadataText(std::string_view bytes, Album& album) {
  album.Clear();
  MetadataParser parser(album);
  for (const std::string& line : SplitLines(WithoutByteOrderMark(bytes))) parser.ParseLine(line);
  return parser.TakeValues();
}

std::vector<AlbumValue> ReadMetadataFile(const std::wstring& path, Album& album) {
  album.Clear();  // also when the file then cannot be opened
  return ParseMetadataText(platform::ReadWholeFile(path, FILE_SHARE_READ), album);
}

namespace {

int DigitValue(char c, int base) {
  int digit = -1;
  if (c >= '0' && c <= '9')
    digit = c - '0';
  else if (c >= 'A' && c <= 'F')
    digit = c - 'A' + 10;
  else if (c >= 'a' && c <= 'f')
    digit = c - 'a' + 10;
  return digit < base ? digit : -1;
}

bool ConsumePrefix(std::string_view& text, std::string_view prefix) {
  if (text.substr(0, prefix.size()) != prefix) return false;
  text.remove_prefix(prefix.size());
  return true;
}

}  // namespace

int32_t ParseDiscNumber(std::string_view value) {
  std::string trimmed = Trim(value);
  std::string_view text = trimmed;
  bool negative = ConsumePrefix(text, "-");
  if (!negative) ConsumePrefix(text, "+");
  int base = 10;
  for (std::string_view prefix : {"0x", "0X", "$", "x", "X"}) {
    if (ConsumePrefix(text, prefix)) {
      base = 16;
      break;
    }
  }
  if (text.empty()) return 0;
  constexpr int64_t kLimit = int64_t{INT32_MAX} + 1;  // the magnitude of INT32_MIN
  int64_t magnitude = 0;
  for (char c : text) {
    int digit = DigitValue(c, base);
    if (digit < 0) return 0;
    magnitude = magnitude * base + digit;
    if (magnitude > kLimit) return 0;
  }
  int64_t number = negative ? -magnitude : magnitude;
  return number > INT32_MAX ? 0 : static_cast<int32_t>(number);
}

int DiscItemIndex(std::string_view value, int itemCount) {
  int32_t number = ParseDiscNumber(value);
  return number >= 1 && number <= itemCount ? number - 1 : -1;
}

namespace {

// The file's text in UTF-16: ANSI parts are converted in runs, so a file without originals
// takes one conversion, and originals are taken as they are.
class WideTextBuilder {
 public:
  void Append(std::string_view ansi, const std::wstring* original = nullptr) {
    if (!original) {
      FAnsi.append(ansi);
      return;
    }
    Flush();
    FWide.append(*original);
  }
  std::wstring Take() {
    Flush();
    std::wstring taken = std::move(FWide);
    FWide.clear();
    return taken;
  }

 private:
  void Flush() {
    if (FAnsi.empty()) return;
    if (FWide.empty())
      FWide = platform::AnsiToWide(FAnsi);
    else
      FWide.append(platform::AnsiToWide(FAnsi));
    FAnsi.clear();
  }
  std::string FAnsi;
  std::wstring FWide;
};

}  // namespace

std::string BuildMetadataText(const Album& album) {
  const AlbumRecord& record = album.values;
  const ArtistMap& artists = album.artists;
  const OriginalTexts& kept = album.originals;
  WideTextBuilder text;
  auto addLine = [&text](std::string_view first, std::string_view second = {},
                         const std::wstring* original = nullptr) {
    text.Append(first);
    text.Append(second, original);
    text.Append("\r\n");
  };
  for (const char* comment : HeaderComments) addLine(comment);
  for (const KeyName& name : kKeyNames) {
    const std::string& value = record.*name.text;
    addLine(std::string(name.name) + "=", value, kept.OriginalValue(name.key, value));
  }
  std::string bytes = EncodeUtf8(text.Take());
  for (const std::string& line : album.otherKeyLines) bytes.append(line).append("\r\n");
  addLine("");
  for (const char* comment : ArtistsComments) addLine(comment);
  addLine("[ARTISTS]");
  for (int i = 0; i < artists.Count(); ++i) {
    std::string artist = artists.ArtistAt(i);
    if (Trim(artist).empty()) continue;
    std::string title = artists.TitleAt(i);
    text.Append(title, kept.OriginalTitle(title));
    addLine("=", artist, kept.OriginalArtist(title, artist));
  }
  return bytes + EncodeUtf8(text.Take());
}

// The writer's own text for a map of this one entry, through the reader's own rules.
bool EntryReadsBack(std::string_view title, std::string_view artist) {
  Album written;
  written.artists.SetArtist(std::string(title), std::string(artist));
  Album read;
  ParseMetadataText(BuildMetadataText(written), read);
  const ArtistMap& entries = read.artists;
  return entries.Count() == 1 && entries.TitleAt(0) == title && entries.ArtistAt(0) == artist;
}
