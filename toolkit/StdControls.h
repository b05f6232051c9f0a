#pragma once
// The standard controls the windows are built from: label, single-line edit, bitmap
// button, bevel and the drop-down combo box (editable, or selection only) with its item list.

#include "toolkit/Control.h"
#include "toolkit/InputMethod.h"

#include <commctrl.h>

namespace tk {

// Static text that sizes itself to its text at the form's font.
class Label : public WinControl {
 public:
  Label(WinControl* parent, std::string name);

 protected:
  void GetCreateParams(CreateParams& params) override;
  void AfterCreate() override;
  void DpiChanged() override;
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void FitToText();
};

// A single-line edit. It selects its whole text when the focus comes from another control of
// its window (the keyboard or the program moving between fields), not from a click into it
// and not when its window is merely activated again.
class Edit : public WinControl {
 public:
  Edit(WinControl* parent, std::string name);
  void SetImeMode(ImeMode mode) { imeMode_ = mode; }
  ImeMode GetImeMode() const { return imeMode_; }
  void SelectAll();
  // The selection as byte offsets [start, end).
  std::pair<int, int> Selection();

 protected:
  void GetCreateParams(CreateParams& params) override;
  void AfterCreate() override;
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  ImeMode imeMode_ = ImeMode::DontCare;
  bool clicking_ = false;
};

// A push button with a 16 x 16 glyph left of its caption. A glyph bitmap may hold two
// images side by side, the second for the disabled state; the colour of its bottom-left
// pixel is transparent.
class BitmapButton : public WinControl {
 public:
  BitmapButton(WinControl* parent, std::string name);
  ~BitmapButton() override;
  // A 16 x 16 glyph; the same drawn at 24 and 32 pixels, for scaled displays, has the
  // resource identifier plus 100 and plus 200.
  void SetGlyph(int resourceId, int glyphCount);

 protected:
  void GetCreateParams(CreateParams& params) override;
  void AfterCreate() override;
  void DpiChanged() override;
  void CommandNotify(WORD code) override;

 private:
  HIMAGELIST images_ = nullptr;
  int glyphId_ = 0;
  int glyphCount_ = 1;
};

// A lowered box, drawn as a separator.
class Bevel : public WinControl {
 public:
  Bevel(WinControl* parent, std::string name);

 protected:
  void GetCreateParams(CreateParams& params) override;
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class ComboBox;

// The items of a combo box, kept in the platform window: each operation is one message.
class ComboBoxStrings {
 public:
  explicit ComboBoxStrings(ComboBox& owner) : owner_(owner) {}
  int Count() const;
  std::string Get(int index) const;  // empty for an invalid index
  int Add(const std::string& text);
  // Appends many items at once, drawing the box once at the end.
  void AddStrings(const std::vector<std::string>& texts);
  void Insert(int index, const std::string& text);
  void Delete(int index);
  // Empties the list; the text the combo box shows stays.
  void Clear();
  // The first item whose whole text equals `text`, letter case ignored; -1 when none.
  int IndexOf(const std::string& text) const;

 private:
  LRESULT Send(UINT message, WPARAM wParam, LPARAM lParam) const;
  ComboBox& owner_;
};

// DropDown: an edit field with a list to pick from; DropDownList: a list from which one item
// is selected, no typing.
enum class ComboBoxStyle { DropDown, DropDownList };

// Makes the platform combo box `box` `height` pixels high while closed. Its closed height
// follows the height of its selection field, a fixed number of pixels less.
void FitComboBoxClosedHeight(HWND box, int height);

// A drop-down combo box.
class ComboBox : public WinControl {
 public:
  ComboBox(WinControl* parent, std::string name);
  // Takes effect when the window is created.
  void SetStyle(ComboBoxStyle style) { style_ = style; }
  ComboBoxStyle Style() const { return style_; }
  ComboBoxStrings& Items() { return items_; }
  int ItemIndex();
  // Selects an item (-1: none) when it differs from the current selection; no event follows.
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
  ComboBoxStrings items_{*this};
  ComboBoxStyle style_ = ComboBoxStyle::DropDown;
  int itemHeight_ = 16;
  int dropDownCount_ = 8;
  std::vector<std::string> savedItems_;
  int savedIndex_ = -1;
};

}  // namespace tk
