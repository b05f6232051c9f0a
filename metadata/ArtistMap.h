#pragma once
// The additional artists of one album, per track title: an ordered list of entries
// "title=artist". Titles are compared as the user's locale compares text ignoring case.

#include <string>
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
  // (declared by the implementation)
};
