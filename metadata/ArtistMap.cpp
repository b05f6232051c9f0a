#include "metadata/ArtistMap.h"

#include "platform/Exception.h"

namespace {

const char kSeparator = '=';

}  // namespace

void ArtistMap::Clear() {
  FTitles.Clear();
  FArtists.clear();
}

int ArtistMap::Count() const { return FTitles.Count(); }

void ArtistMap::CheckIndex(int i) const {
  if (i < 0 || i >= Count())
    throw platform::ListIndexOutOfRange(i, platform::BlankBeforeIndex::Yes);
}

std::string ArtistMap::TitleAt(int i) const {
  CheckIndex(i);
  return FTitles.Texts()[i];
}

std::string ArtistMap::ArtistAt(int i) const {
  CheckIndex(i);
  return FArtists[i];
}

int ArtistMap::IndexOfTitle(const std::string& title) const { return FTitles.IndexOf(title); }

std::string ArtistMap::ArtistOf(const std::string& title) const {
  int i = IndexOfTitle(title);
  return i < 0 ? std::string() : ArtistAt(i);
}

void ArtistMap::SetArtist(const std::string& title, const std::string& artist) {
  int i = IndexOfTitle(title);
  if (artist.empty()) {
    if (i >= 0) Delete(i);
    return;
  }
  // The entry is title + "=" + artist. Its title is the text before the first "=", which is
  // the given title unless that holds a "=" itself; the rest is its artist.
  size_t at = title.find(kSeparator);
  std::string entryTitle = title.substr(0, at);
  std::string entryArtist =
      at == std::string::npos ? artist : title.substr(at + 1) + kSeparator + artist;
  if (i < 0) {
    FTitles.Add(std::move(entryTitle));
    FArtists.push_back(std::move(entryArtist));
  } else {
    FTitles.Replace(i, std::move(entryTitle));
    FArtists[i] = std::move(entryArtist);
  }
}

void ArtistMap::Delete(int i) {
  CheckIndex(i);
  FTitles.Delete(i);
  FArtists.erase(FArtists.begin() + i);
}

void ArtistMap::Assign(const ArtistMap& other) {
  if (&other == this) return;
  FTitles = other.FTitles;
  FArtists = other.FArtists;
}
