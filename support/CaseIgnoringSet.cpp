#include "support/CaseIgnoringSet.h"

#include <windows.h>

#include <climits>

namespace {

int Length(const std::string& text) {
  return text.size() > static_cast<size_t>(INT_MAX) ? INT_MAX : static_cast<int>(text.size());
}

bool Same(const std::string& a, const std::string& b) {
  return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), Length(a), b.data(),
                        Length(b)) == CSTR_EQUAL;
}

// The locale's sort key with case ignored. Comparing sort keys gives CompareString's result,
// so equal texts have equal keys; the key only picks the candidates and Same decides.
std::string SortKey(const std::string& text) {
  const DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
  int length = LCMapStringA(LOCALE_USER_DEFAULT, flags, text.data(), Length(text), nullptr, 0);
  if (length <= 0) return std::string();
  std::string key(length, '\0');
  length = LCMapStringA(LOCALE_USER_DEFAULT, flags, text.data(), Length(text), key.data(), length);
  key.resize(length > 0 ? length : 0);
  return key;
}

}  // namespace

int CaseIgnoringSet::Find(const std::string& text, const std::string& key) const {
  auto matchIn = [&](const std::string& bucketKey) {
    auto bucket = index_.find(bucketKey);
    if (bucket == index_.end()) return -1;
    for (int i : bucket->second)
      if (Same(text, texts_[i])) return i;
    return -1;
  };
  if (key.empty()) {  // no key: compare with every text
    for (size_t i = 0; i < texts_.size(); ++i)
      if (Same(text, texts_[i])) return static_cast<int>(i);
    return -1;
  }
  int found = matchIn(key);
  return found >= 0 ? found : matchIn(std::string());
}

bool CaseIgnoringSet::Insert(const std::string& text) {
  std::string key = SortKey(text);
  if (Find(text, key) >= 0) return false;
  texts_.push_back(text);
  index_[key].push_back(static_cast<int>(texts_.size()) - 1);
  return true;
}
