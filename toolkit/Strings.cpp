#include "toolkit/Strings.h"

#include "platform/CaseIgnoring.h"
#include "platform/Exception.h"
#include "platform/ScopeExit.h"

namespace tk {

int Strings::Add(const std::string& text) {
  int index = Count();
  Insert(index, text);
  return index;
}

int Strings::IndexOf(const std::string& text) const {
  for (int i = 0, count = Count(); i < count; ++i)
    if (platform::SameTextIgnoringCase(Get(i), text)) return i;
  return -1;
}

int Strings::AddObject(const std::string& text, intptr_t value) {
  int index = Add(text);
  SetValue(index, value);
  return index;
}

void Strings::InsertObject(int index, const std::string& text, intptr_t value) {
  Insert(index, text);
  SetValue(index, value);
}

void Strings::Put(int index, const std::string& text) {
  intptr_t value = Value(index);
  Delete(index);
  InsertObject(index, text, value);
}

void Strings::Assign(const Strings& source) {
  BeginUpdate();
  platform::ScopeExit endUpdate([this] { EndUpdate(); });
  Clear();
  for (int i = 0, count = source.Count(); i < count; ++i) AddObject(source.Get(i), source.Value(i));
}

void Strings::BeginUpdate() {
  if (updateCount_++ == 0) SetUpdateState(true);
}

void Strings::EndUpdate() {
  if (updateCount_ > 0 && --updateCount_ == 0) SetUpdateState(false);
}

void StringList::Check(int index, bool endAllowed) const {
  if (index < 0 || index > Count() || (index == Count() && !endAllowed))
    throw platform::ListIndexOutOfRange(index);
}

std::string StringList::Get(int index) const {
  Check(index);
  return items_[index].first;
}

intptr_t StringList::Value(int index) const {
  Check(index);
  return items_[index].second;
}

void StringList::SetValue(int index, intptr_t value) {
  Check(index);
  items_[index].second = value;
}

void StringList::Insert(int index, const std::string& text) {
  Check(index, true);
  items_.insert(items_.begin() + index, {text, 0});
}

void StringList::Delete(int index) {
  Check(index);
  items_.erase(items_.begin() + index);
}

}  // namespace tk
