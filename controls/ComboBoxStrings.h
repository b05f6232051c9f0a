#pragma once
// The item list of the extended combo box: it keeps no items of its own, every operation
// is one message to the platform combo box window of its owner, where the items live.

#include "toolkit/Strings.h"

#include <windows.h>

class TCustomComboBoxExVell;

class TComboBoxStrings : public tk::Strings {
 public:
  explicit TComboBoxStrings(TCustomComboBoxExVell& owner) : OwnerCombo(owner) {}

  int Count() const override;
  // Empty text for an invalid index.
  std::string Get(int index) const override;
  // Raises platform::ListIndexError when the platform reports -1: an invalid index, or a stored -1.
  intptr_t Value(int index) const override;
  void SetValue(int index, intptr_t value) override;
  // The new item's index: the end, or its sorted place when the owner is sorted.
  int Add(const std::string& text) override;
  // -1 appends; the platform never sorts inserted items.
  void Insert(int index, const std::string& text) override;
  void Delete(int index) override;
  // Empties the list; the text the owner shows stays.
  void Clear() override;
  // The platform's exact lookup: whole texts, letter case ignored, the first match.
  int IndexOf(const std::string& text) const override;

 protected:
  void SetUpdateState(bool updating) override;

 private:
  LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) const;
  TCustomComboBoxExVell& OwnerCombo;
};
