#pragma once

#include <string>

#include "toolkit/ComboBoxItems.h"
#include "toolkit/Control.h"

namespace tk {

// DropDown: an edit field with a list to pick from; DropDownList: a list from which one item
// is selected, no typing.
enum class ComboBoxStyle { DropDown, DropDownList };

// A drop-down combo box: the platform's own, with its items in its window.
class ComboBox : public WinControl {
 public:
  ComboBox(WinControl* parent, std::string name);
  // Takes effect when the window is created.
  void SetStyle(ComboBoxStyle style) { style_ = style; }
  ComboBoxStyle Style() const { return style_; }
  ComboBoxItems& Items() { return items_; }
  int ItemIndex();
  // Selects an item (-1 or past the end: none) when it differs from the current selection; no
  // event follows.
  void SetItemIndex(int index);
  void SetItemHeight(int height) { itemHeight_ = height; }
  int ItemHeight() const { return itemHeight_; }
  // The edit field of a DropDown box; nullptr for a DropDownList.
  HWND EditHandle();
  // The window of the drop-down list.
  HWND ListHandle();
  void SetFocus() override;

  NotifyEvent OnChange;

 protected:
  void GetCreateParams(CreateParams& params) override;
  void AfterCreate() override;
  void BeforeDestroy() override;
  void CommandNotify(WORD code) override;
  void DpiChanged() override;
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void FitHeights();
  ComboBoxItems items_{*this};
  ComboBoxStyle style_ = ComboBoxStyle::DropDown;
  int itemHeight_ = 16;
  int dropDownCount_ = 8;
};

}  // namespace tk
