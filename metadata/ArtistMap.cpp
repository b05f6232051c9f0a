#include "metadata/ArtistMap.h"

#include <windows.h>

#include <algorithm>

#include "platform/Exception.h"

namespace {

const char kSeparator = '=';

// The platform's text calls count in int.
int Length(const std::string& text) { return static_cast<int>(text.size()); }

// The locale-aware, case-ignoring comparison that decides whether two titles are the same,
// over their whole length: a title may hold a NUL (read from C0 80), and the text after it
// still counts. The keys below are made over the same length.
bool SameTitle(const std::string& a, const std::string& b) {
  return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), Length(a), b.data(),
                        Length(b)) == CSTR_EQUAL;
}

// The locale's sort key of a title with case ignored. Windows documents that comparing
// sort keys gives CompareString's result, and Wine builds both from the same weights, so
// two titles that CompareStringA calls equal have equal keys; the tests check the lookups
// against CompareStringA under Wine over many random titles. The key only picks the
// candidates; SameTitle still decides. "" when the platform cannot make a key.
std::string TitleKey(const std::string& title) {
  const DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
  const int size = title.empty() ? -1 : Length(title);  // a length of 0 is refused
  char buffer[512];
  int length = LCMapStringA(LOCALE_USER_DEFAULT, flags, title.data(), size, buffer, sizeof buffer);
  if (length > 0) return std::string(buffer, length);
  length = LCMapStringA(LOCALE_USER_DEFAULT, flags, title.data(), size, nullptr, 0);
  if (length <= 0) return std::string();
  std::string key(length, '\0');
  length = LCMapStringA(LOCALE_USER_DEFAULT, flags, title.data(), size, key.data(), length);
  if (length <= 0) return std::string();
  key.resize(length);
  return key;
}

// The title of an entry, or false when it has no "=".
bool EntryTitle(const std::string& entry, std::string& title) {
  size_t at = entry.find(kSeparator);
  if (at == std::string::npos) return false;
  title = entry.substr(0, at);
  return true;
}

}  // namespace

void ArtistMap::Clear() {
  FEntries.clear();
  FKeys.clear();
  FIndex.clear();
}

int ArtistMap::Count() const { return static_cast<int>(FEntries.size()); }

void ArtistMap::CheckIndex(int i) const {
  if (i < 0 || i >= Count())
    throw platform::ListIndexError(
        platform::Format("リストのインデックスが範囲を超えています (%d)", i));
}

std::string ArtistMap::TitleAt(int i) const {
  CheckIndex(i);
  const std::string& entry = FEntries[i];
  size_t at = entry.find(kSeparator);
  return at == std::string::npos ? std::string() : entry.substr(0, at);
}

std::string ArtistMap::ArtistAt(int i) const {
  CheckIndex(i);
  const std::string& entry = FEntries[i];
  size_t at = entry.find(kSeparator);
  return at == std::string::npos ? std::string() : entry.substr(at + 1);
}

int ArtistMap::Find(const std::string& title, const std::string& key) const {
  std::string entryTitle;
  auto matches = [&](int i) {
    return EntryTitle(FEntries[i], entryTitle) && SameTitle(title, entryTitle);
  };
  if (key.empty()) {  // no key for this title: compare with every entry
    for (int i = 0; i < Count(); ++i)
      if (matches(i)) return i;
    return -1;
  }
  static const std::vector<int> none;
  auto bucket = FIndex.find(key);
  auto unkeyed = FIndex.find(std::string());
  const std::vector<int>& a = bucket == FIndex.end() ? none : bucket->second;
  const std::vector<int>& b = unkeyed == FIndex.end() ? none : unkeyed->second;
  // Both lists ascend: walk them together so the first match is the lowest index.
  size_t ia = 0, ib = 0;
  while (ia < a.size() || ib < b.size()) {
    int i = ib == b.size() || (ia < a.size() && a[ia] < b[ib]) ? a[ia++] : b[ib++];
    if (matches(i)) return i;
  }
  return -1;
}

int ArtistMap::IndexOfTitle(const std::string& title) const { return Find(title, TitleKey(title)); }

std::string ArtistMap::ArtistOf(const std::string& title) const {
  int i = IndexOfTitle(title);
  return i < 0 ? std::string() : ArtistAt(i);
}

void ArtistMap::AddToIndex(int i) {
  std::string title;
  if (!EntryTitle(FEntries[i], title)) return;
  std::vector<int>& bucket = FIndex[FKeys[i]];
  bucket.insert(std::lower_bound(bucket.begin(), bucket.end(), i), i);
}

void ArtistMap::RemoveFromIndex(int i) {
  auto bucket = FIndex.find(FKeys[i]);
  if (bucket == FIndex.end()) return;  // an entry without "="
  std::vector<int>& list = bucket->second;
  auto at = std::lower_bound(list.begin(), list.end(), i);
  if (at != list.end() && *at == i) list.erase(at);
  if (list.empty()) FIndex.erase(bucket);
}

void ArtistMap::SetArtist(const std::string& title, const std::string& artist) {
  const std::string key = TitleKey(title);
  int i = Find(title, key);
  if (artist.empty()) {
    if (i >= 0) Delete(i);
    return;
  }
  std::string entry = title + kSeparator + artist;
  // The stored title is the text before the first "=", which is the given title unless
  // that holds a "=" itself.
  std::string entryKey = title.find(kSeparator) == std::string::npos
                             ? key
                             : TitleKey(entry.substr(0, entry.find(kSeparator)));
  if (i < 0) {
    FEntries.push_back(std::move(entry));
    FKeys.push_back(std::move(entryKey));
    AddToIndex(Count() - 1);
  } else {
    RemoveFromIndex(i);
    FEntries[i] = std::move(entry);
    FKeys[i] = std::move(entryKey);
    AddToIndex(i);
  }
}

void ArtistMap::Delete(int i) {
  CheckIndex(i);
  RemoveFromIndex(i);
  FEntries.erase(FEntries.begin() + i);
  FKeys.erase(FKeys.begin() + i);
  for (auto& [key, list] : FIndex)
    for (int& j : list)
      if (j > i) --j;
}

void ArtistMap::Assign(const ArtistMap& other) {
  if (&other == this) return;
  FEntries = other.FEntries;
  FKeys = other.FKeys;
  FIndex = other.FIndex;
}
