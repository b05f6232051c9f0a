#include "metadata/Album.h"

#include "metadata/MetadataFile.h"
#include "platform/Files.h"

void Album::Clear() {
  values = {};
  artists.Clear();
  originals.Clear();
  otherKeyLines.clear();
}

std::vector<AlbumValue> Album::Load(const std::wstring& path) {
  return ReadMetadataFile(path, *this);
}

void Album::Save(const std::wstring& path) const {
  // In one step: a save that fails leaves the old file exactly as it was.
  platform::ReplaceFileContents(path, BuildMetadataText(*this));
}
