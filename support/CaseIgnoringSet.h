#pragma once
// A set of texts in which two texts are the same when the user's locale compares them equal
// with letter case ignored (CompareStringA, NORM_IGNORECASE), as a list control's exact-match
// search decides. An index of sort keys finds the candidates, so adding n texts takes about n
// comparisons, not n * n.

#include <string>
#include <unordered_map>
#include <vector>

class CaseIgnoringSet {
 public:
  // Adds the text unless an equal one is there already; true when it was added.
  bool Insert(const std::string& text);

 private:
  int Find(const std::string& text, const std::string& key) const;

  std::vector<std::string> texts_;
  // Sort key -> indexes into texts_. The key "" holds the texts for which the platform made
  // no key; they are candidates for every text.
  std::unordered_map<std::string, std::vector<int>> index_;
};
