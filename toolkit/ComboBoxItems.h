#pragma once
// The item list of a combo box control. It keeps no items of its own: every operation is one
// message to the platform combo box window of its control, where the items live. Only while
// that window is made anew does it hold a copy of them.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "toolkit/Control.h"
#include "toolkit/Strings.h"

namespace tk {

class ComboBoxItems : public Strings {
 public:
  // `box` is a control whose window is a platform combo box.
  explicit ComboBoxItems(WinControl& box) : box_(box) {}

  int Count() const override;
  // The text of any length; empty for an invalid index.
  std::string Get(int index) const override;
  // Raises ListIndexError when the platform reports -1: an invalid index, or a stored -1.
  intptr_t Value(int index) const override;
  void SetValue(int index, intptr_t value) override;
  // The new item's index: the end, or its sorted place when the box is sorted.
  int Add(const std::string& text) override;
  // Appends many items at once, drawing the box once at the end.
  void AddStrings(const std::vector<std::string>& texts);
  // -1 appends; the platform never sorts inserted items.
  void Insert(int index, const std::string& text) override;
  void Delete(int index) override;
  // Empties the list; the text an editable box shows stays.
  void Clear() override;
  // The platform's exact lookup: whole texts, letter case ignored, the first match.
  int IndexOf(const std::string& text) const override;

  // Selects item `index`; -1 or an index past the end selects none, as on Windows (Wine's
  // combo box would keep its selection for an index past the end).
  void Select(int index);
  // The box's window is made anew: before the old one goes, the items, their values and the
  // selection are kept (a list without items keeps nothing); once the new one exists, they
  // are put back.
  void KeepForNewWindow();
  void RestoreInNewWindow();

 protected:
  void SetUpdateState(bool updating) override;

 private:
  HWND Box() const { return box_.Handle(); }
  void Redraw(UINT flags) const;
  WinControl& box_;
  std::unique_ptr<StringList> kept_;
  int keptIndex_ = -1;
};

}  // namespace tk
