#include "metadata/Album.h"

#include "metadata/MetadataFile.h"

void Album::Clear() {
  values = {};
  artists.Clear();
  originals.Clear();
  otherKeyLines.clear();
}

std::vector<AlbumValue> Album::Load(const std::string& path) {
  return ReadMetadataFile(path, *this);
}

void Album::Save(const std::string& path) const {
  WriteMetadataFile(path, BuildMetadataText(*this));
}
