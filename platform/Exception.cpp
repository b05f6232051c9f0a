#include "platform/Exception.h"

#include <cstdarg>
#include <cstdio>

namespace platform {

std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  va_list copy;
  va_copy(copy, args);
  int length = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  std::string text(length > 0 ? length : 0, '\0');
  if (length > 0) std::vsnprintf(text.data(), text.size() + 1, format, args);
  va_end(args);
  return text;
}

ListIndexError ListIndexOutOfRange(int index, BlankBeforeIndex blank) {
  // Two spellings, each kept byte for byte because messages are shown and compared as they
  // stand: the toolkit's string lists and combo box items put "(index)" right after the words,
  // the album's artist map puts a blank before it.
  std::string text = "リストのインデックスが範囲を超えています";
  if (blank == BlankBeforeIndex::Yes) text += ' ';
  return ListIndexError(text + Format("(%d)", index));
}

}  // namespace platform
