#pragma once
// The additional artists of one album, per track title: an ordered list of entries
// "title=artist". Titles are compared as the user's locale compares text ignoring case.

#include <string>
#include <unordered_map>
#include <vector>

class ArtistMap {
 public:
  void Clear();
  int Count() const;
  // The text of entry i before its first "=" (empty when it has none).
  std::string TitleAt(int i) const;
  // The text of entry i after its first "=".
  std::string ArtistAt(int i) const;
  // The first entry that holds "=" and whose title equals `title`; -1 when none.
  int IndexOfTitle(const std::string& title) const;
  std::string ArtistOf(const std::string& title) const;
  // Replaces the entry of `title` in place (taking the new spelling) or appends one;
  // an empty artist removes the entry.
  void SetArtist(const std::string& title, const std::string& artist);
  void Delete(int i);
  void Assign(const ArtistMap& other);

 private:
  // The entries stay in the order they were added; beside them an index from each
  // title's comparison key to the entries with that key, so that loading a large file
  // (one SetArtist per entry) does not compare every title with every other.
  void CheckIndex(int i) const;
  int Find(const std::string& title, const std::string& key) const;
  void AddToIndex(int i);
  void RemoveFromIndex(int i);

  std::vector<std::string> FEntries;
  // FKeys[i] is the key of entry i's title; entries without "=" are not indexed.
  std::vector<std::string> FKeys;
  // Key -> ascending indexes of the entries with "=" whose title has that key. The key ""
  // holds the entries whose key could not be made; they are candidates for every title.
  std::unordered_map<std::string, std::vector<int>> FIndex;
};
