#pragma once
// The one case-ignoring comparison of the program, and a list that finds texts by it quickly.
// Two texts are the same when the user's locale compares them equal with letter case ignored
// (CompareStringW on the UTF-16 form, NORM_IGNORECASE), as a list control's exact-match search
// decides: width, kana kind and everything else still count. Texts are compared over their whole
// length, so a text holding a NUL (read from C0 80) differs from the text cut there.

#include <string>
#include <unordered_map>
#include <vector>

namespace platform {

// True when `a` and `b` are the same text in the sense above.
bool SameTextIgnoringCase(const std::string& a, const std::string& b);

// An ordered list of texts that finds the first text the same as a given one. Beside the texts
// it keeps an index from each text's sort key to the positions with that key, so that adding n
// texts, each after a look-up, takes about n comparisons rather than n * n. The key only picks
// the candidates; SameTextIgnoringCase decides.
class CaseIgnoringList {
 public:
  int Count() const { return static_cast<int>(texts_.size()); }
  // The texts in their order, at positions 0 to Count() - 1.
  const std::vector<std::string>& Texts() const { return texts_; }
  // The lowest position whose text is the same as `text`; -1 when none.
  int IndexOf(const std::string& text) const;
  // Appends `text` unless the list holds the same text already; true when it was appended.
  bool AddNew(const std::string& text);
  // Appends `text`, whatever the list holds.
  void Add(std::string text);
  // Puts `text` at position i (0 to Count() - 1) in place of the text there.
  void Replace(int i, std::string text);
  // Removes the text at position i (0 to Count() - 1); the later texts move up by one.
  void Delete(int i);
  void Clear();

 private:
  int Find(const std::string& text, const std::string& key) const;
  void Append(std::string text, std::string key);
  void AddToIndex(int i);
  void RemoveFromIndex(int i);

  std::vector<std::string> texts_;
  // keys_[i] is the sort key of texts_[i].
  std::vector<std::string> keys_;
  // Sort key -> ascending positions of the texts with that key. The key "" holds the texts
  // for which the platform made no key; they are candidates for every text.
  std::unordered_map<std::string, std::vector<int>> index_;
};

}  // namespace platform
