#pragma once
// The additional artists of one album, per track title: an ordered list of entries
// "title=artist". Titles are the same as platform::SameTextIgnoringCase decides: the user's
// locale, letter case ignored.

#include <string>
#include <vector>

#include "platform/CaseIgnoring.h"

class ArtistMap {
 public:
  void Clear();
  int Count() const;
  // The text of entry i before its first "=".
  std::string TitleAt(int i) const;
  // The text of entry i after its first "=".
  std::string ArtistAt(int i) const;
  // The first entry whose title equals `title`; -1 when none.
  int IndexOfTitle(const std::string& title) const;
  std::string ArtistOf(const std::string& title) const;
  // Replaces the entry of `title` in place (taking the new spelling) or appends one;
  // an empty artist removes the entry.
  void SetArtist(const std::string& title, const std::string& artist);
  void Delete(int i);
  void Assign(const ArtistMap& other);

 private:
  void CheckIndex(int i) const;

  // The entries' titles in the order the entries were added, found through an index of their
  // comparison keys, so that loading a large file (one SetArtist per entry) does not compare
  // every title with every other.
  platform::CaseIgnoringList FTitles;
  // FArtists[i] is the text of entry i after its first "=".
  std::vector<std::string> FArtists;
};
