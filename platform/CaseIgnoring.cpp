#include "platform/CaseIgnoring.h"

#include <windows.h>

#include <algorithm>

#include "platform/CodePage.h"

namespace platform {

namespace {

// The locale's sort key of a text with case ignored. Windows documents that comparing sort
// keys gives CompareString's result, and Wine builds both from the same weights, so two texts
// that CompareStringW calls equal have equal keys; the tests check the look-ups against a scan
// with the comparison under Wine over many random texts. "" when the platform makes no key.
std::string SortKey(const std::string& text) {
  const DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
  const std::wstring wide = AnsiToWide(text);
  // A length of 0 is refused; the empty text's key is that of the terminated "".
  const int size = wide.empty() ? -1 : TextCallLength(wide.size());
  // A sort key is bytes, and its length counts bytes, in the "W" call too.
  auto map = [&](char* key, int bytes) {
    return LCMapStringW(LOCALE_USER_DEFAULT, flags, wide.c_str(), size,
                        reinterpret_cast<wchar_t*>(key), bytes);
  };
  char buffer[512];
  int length = map(buffer, sizeof buffer);
  if (length > 0) return std::string(buffer, length);
  // The buffer was too small (a long text): ask for the size, then fill a key of that size.
  length = map(nullptr, 0);
  if (length <= 0) return std::string();
  std::string key(length, '\0');
  length = map(key.data(), length);
  if (length <= 0) return std::string();
  key.resize(length);
  return key;
}

}  // namespace

bool SameTextIgnoringCase(const std::string& a, const std::string& b) {
  const std::wstring wideA = AnsiToWide(a), wideB = AnsiToWide(b);
  return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, wideA.data(),
                        TextCallLength(wideA.size()), wideB.data(),
                        TextCallLength(wideB.size())) == CSTR_EQUAL;
}

int CaseIgnoringList::Find(const std::string& text, const std::string& key) const {
  auto same = [&](int i) { return SameTextIgnoringCase(text, texts_[i]); };
  if (key.empty()) {  // no key for this text: compare with every text
    for (int i = 0; i < Count(); ++i)
      if (same(i)) return i;
    return -1;
  }
  static const std::vector<int> none;
  auto keyed = index_.find(key);
  auto unkeyed = index_.find(std::string());
  const std::vector<int>& a = keyed == index_.end() ? none : keyed->second;
  const std::vector<int>& b = unkeyed == index_.end() ? none : unkeyed->second;
  // Both lists ascend: walk them together so that the first match is the lowest position.
  size_t ia = 0, ib = 0;
  while (ia < a.size() || ib < b.size()) {
    int i = ib == b.size() || (ia < a.size() && a[ia] < b[ib]) ? a[ia++] : b[ib++];
    if (same(i)) return i;
  }
  return -1;
}

int CaseIgnoringList::IndexOf(const std::string& text) const { return Find(text, SortKey(text)); }

bool CaseIgnoringList::AddNew(const std::string& text) {
  std::string key = SortKey(text);
  if (Find(text, key) >= 0) return false;
  Append(text, std::move(key));
  return true;
}

void CaseIgnoringList::Add(std::string text) {
  std::string key = SortKey(text);
  Append(std::move(text), std::move(key));
}

void CaseIgnoringList::Append(std::string text, std::string key) {
  texts_.push_back(std::move(text));
  keys_.push_back(std::move(key));
  AddToIndex(Count() - 1);
}

void CaseIgnoringList::Replace(int i, std::string text) {
  std::string key = SortKey(text);
  RemoveFromIndex(i);
  texts_[i] = std::move(text);
  keys_[i] = std::move(key);
  AddToIndex(i);
}

void CaseIgnoringList::Delete(int i) {
  RemoveFromIndex(i);
  texts_.erase(texts_.begin() + i);
  keys_.erase(keys_.begin() + i);
  for (auto& [key, positions] : index_)
    for (int& j : positions)
      if (j > i) --j;
}

void CaseIgnoringList::Clear() {
  texts_.clear();
  keys_.clear();
  index_.clear();
}

void CaseIgnoringList::AddToIndex(int i) {
  std::vector<int>& positions = index_[keys_[i]];
  positions.insert(std::lower_bound(positions.begin(), positions.end(), i), i);
}

void CaseIgnoringList::RemoveFromIndex(int i) {
  auto bucket = index_.find(keys_.at(i));
  std::vector<int>& positions = bucket->second;
  positions.erase(std::lower_bound(positions.begin(), positions.end(), i));
  if (positions.empty()) index_.erase(bucket);
}

}  // namespace platform
