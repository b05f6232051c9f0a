#include "metadata/MetadataFile.h"

#include <climits>

#include "support/Text.h"
#include "toolkit/CodePage.h"

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

struct KeyName {
  const char* name;
  AlbumKey key;
};

constexpr KeyName kKeyNames[] = {
    {"ALBUM", AlbumKey::Album},   {"ALBUMARTIST", AlbumKey::AlbumArtist},
    {"ARTIST", AlbumKey::Artist}, {"YEAR", AlbumKey::Year},
    {"GENRE", AlbumKey::Genre},   {"DISCNUMBER", AlbumKey::DiscNumber},
};

// A line that breaks the decoding rule counts as blank.
std::string DecodeLine(std::string_view line) {
  std::optional<std::wstring> units = DecodeUtf8Line(line);
  return units ? tk::WideToAnsi(*units) : std::string();
}

// Looks at single bytes: a Shift-JIS character whose trail byte is 0x5D ends a header too.
bool IsSectionHeader(const std::string& line) {
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
  explicit MetadataParser(ArtistMap& artists) : artists_(artists) {}
  void ParseLine(const std::string& line);
  std::vector<AlbumValue> TakeValues() { return std::move(values_); }

 private:
  void ApplyKeyLine(const std::string& key, const std::string& value);

  ArtistMap& artists_;
  std::string section_;
  std::vector<AlbumValue> values_;
};

void MetadataParser::ParseLine(const std::string& line) {
  if (line.empty() || line.front() == '#') return;
  if (IsSectionHeader(line)) {
    section_ = AsciiUpper(line.substr(1, line.size() - 2));
    return;
  }
  size_t equals = line.find('=');
  if (equals == std::string::npos) return;
  ApplyKeyLine(Trim(std::string_view(line).substr(0, equals)),
               Trim(std::string_view(line).substr(equals + 1)));
}

void MetadataParser::ApplyKeyLine(const std::string& key, const std::string& value) {
  if (section_ == kArtistsSection) {
    if (!key.empty() && !value.empty()) artists_.SetArtist(key, value);
    return;
  }
  if (const KeyName* name = FindAlbumKey(key)) values_.push_back({name->key, value});
}

}  // namespace

std::vector<AlbumValue> ParseMetadataText(std::string_view bytes, ArtistMap& artists) {
  artists.Clear();
  MetadataParser parser(artists);
  for (const std::string& line : SplitLines(WithoutByteOrderMark(bytes))) {
    parser.ParseLine(Trim(DecodeLine(line)));
  }
  return parser.TakeValues();
}

std::vector<AlbumValue> ReadMetadataFile(const std::string& path, ArtistMap& artists) {
  artists.Clear();  // also when the file then cannot be opened
  return ParseMetadataText(tk::ReadWholeFile(path, FILE_SHARE_READ), artists);
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

std::string BuildMetadataText(const AlbumRecord& record, const ArtistMap& artists) {
  std::string text;
  auto addLine = [&text](std::string_view first, std::string_view second = {}) {
    text.append(first).append(second).append("\r\n");
  };
  for (const char* comment : HeaderComments) addLine(comment);
  addLine("ALBUM=", record.album);
  addLine("ALBUMARTIST=", record.albumArtist);
  addLine("ARTIST=", record.artist);
  addLine("YEAR=", record.year);
  addLine("GENRE=", record.genre);
  addLine("DISCNUMBER=", record.discNumber);
  addLine("");
  for (const char* comment : ArtistsComments) addLine(comment);
  addLine("[ARTISTS]");
  for (int i = 0; i < artists.Count(); ++i) {
    std::string artist = artists.ArtistAt(i);
    if (Trim(artist).empty()) continue;
    addLine(artists.TitleAt(i) + "=", artist);
  }
  return EncodeUtf8(tk::AnsiToWide(text));
}

void WriteMetadataFile(const std::string& path, const std::string& bytes,
                       const tk::WriteBytesFunction& write) {
  tk::ReplaceFileContents(path, bytes, write);
}
