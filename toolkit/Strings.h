#pragma once
// String lists: an abstract list of texts with one associated value per item, whose
// derived lists say where the items live, and a plain list that keeps them in memory.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tk {

class Strings {
 public:
  virtual ~Strings() = default;

  virtual int Count() const = 0;
  virtual std::string Get(int index) const = 0;
  // The item's associated value (0 when it was added without one).
  virtual intptr_t Value(int index) const = 0;
  virtual void SetValue(int index, intptr_t value) = 0;
  // Returns the index of the new item.
  virtual int Add(const std::string& text);
  virtual void Insert(int index, const std::string& text) = 0;
  virtual void Delete(int index) = 0;
  virtual void Clear() = 0;
  // The first item whose text is the same as `text` as platform::SameTextIgnoringCase decides;
  // -1 when none.
  virtual int IndexOf(const std::string& text) const;

  int AddObject(const std::string& text, intptr_t value);
  void InsertObject(int index, const std::string& text, intptr_t value);
  // Replaces the text of an item and keeps its value.
  void Put(int index, const std::string& text);
  // Makes this list a copy of `source`, texts and values.
  void Assign(const Strings& source);

  // Updates nest; the list hears of the outermost pair only.
  void BeginUpdate();
  void EndUpdate();

 protected:
  virtual void SetUpdateState(bool /*updating*/) {}

 private:
  int updateCount_ = 0;
};

class StringList : public Strings {
 public:
  int Count() const override { return static_cast<int>(items_.size()); }
  std::string Get(int index) const override;
  intptr_t Value(int index) const override;
  void SetValue(int index, intptr_t value) override;
  void Insert(int index, const std::string& text) override;
  void Delete(int index) override;
  void Clear() override { items_.clear(); }

 private:
  void Check(int index, bool endAllowed = false) const;
  std::vector<std::pair<std::string, intptr_t>> items_;
};

}  // namespace tk
