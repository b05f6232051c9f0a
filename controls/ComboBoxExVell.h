#pragma once
// The system's own combo box: the platform's "COMBOBOX" with its items in the platform
// window (TComboBoxStrings), key routing to the control's handlers before the platform
// sees a key, filters on typed characters, a split text, a flat border, cancel-restore
// of the drop-down list, a drop-down list as wide as its longest item, owner-draw, and an
// edit part that takes only what fits its visible width.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "controls/ComboBoxStrings.h"
#include "toolkit/Canvas.h"
#include "toolkit/Control.h"
#include "toolkit/InputMethod.h"
#include "toolkit/Strings.h"

enum TComboBoxStyle : unsigned char {
  csDropDown = 0,
  csSimple = 1,
  csDropDownList = 2,
  csOwnerDrawFixed = 3,
  csOwnerDrawVariable = 4
};

// Flag i is bit i of the platform's item-state word.
using TOwnerDrawState = uint16_t;
enum TOwnerDrawFlag : uint16_t {
  odSelected = 1 << 0,
  odGrayed = 1 << 1,
  odDisabled = 1 << 2,
  odChecked = 1 << 3,
  odFocused = 1 << 4,
  odDefault = 1 << 5,
  odHotLight = 1 << 6,
  odInactive = 1 << 7,
  odNoAccel = 1 << 8,
  odNoFocusRect = 1 << 9,
  odReserved1 = 1 << 10,
  odReserved2 = 1 << 11,
  odComboBoxEdit = 1 << 12
};

using TDrawItemEvent =
    std::function<void(tk::WinControl& control, int index, RECT rect, TOwnerDrawState state)>;
using TMeasureItemEvent = std::function<void(tk::WinControl& control, int index, int& height)>;

// The private message that applies the split text.
constexpr UINT CM_APPLYSPLITCHAR = WM_USER + 122;

class TCustomComboBoxExVell : public tk::WinControl {
 public:
  TCustomComboBoxExVell(tk::WinControl* parent, std::string name);
  ~TCustomComboBoxExVell() override;

  TComboBoxStrings& Items() { return FItems; }
  // Copies texts and values.
  void SetItems(const tk::Strings& items) { FItems.Assign(items); }
  // The platform's selection; -1 for none. Writing sends nothing when the value is the
  // current one, and no event follows.
  int ItemIndex();
  void SetItemIndex(int index);
  bool ListDropped();
  void SetListDropped(bool dropped);

  TComboBoxStyle Style() const { return FStyle; }
  virtual void SetStyle(TComboBoxStyle style);
  // Owner-draw styles: the stored height; otherwise the platform's, 0 without a window.
  int ItemHeight();
  void SetItemHeight(int height);
  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int length);
  bool Sorted() const { return FSorted; }
  void SetSorted(bool sorted);
  int DropDownCount() const { return FDropDownCount; }
  void SetDropDownCount(int count) { FDropDownCount = count; }
  const std::string& SplitChar() const { return FSplitChar; }
  void SetSplitChar(const std::string& split) { FSplitChar = split; }
  bool InNumeric() const { return FInNumeric; }
  void SetInNumeric(bool on) { FInNumeric = on; }
  bool InUpper() const { return FInUpper; }
  void SetInUpper(bool on) { FInUpper = on; }
  tk::BorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(tk::BorderStyle style) { FBorderStyle = style; }
  COLORREF Color() const { return FColor; }
  // Also stops taking the parent's colour.
  void SetColor(COLORREF color);
  // Takes the colour of the parent's background, now and whenever the parent's colour changes.
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool on);
  // The colour of the text in the edit part and the list.
  COLORREF FontColor() const { return FFontColor; }
  void SetFontColor(COLORREF color);
  // The 3-D look; a change makes the window anew.
  bool Ctl3D() const { return FCtl3D; }
  void SetCtl3D(bool on);
  // Applied while the control has the focus; what it changed is put back when the focus leaves.
  tk::ImeMode ImeMode() const { return FImeMode; }
  void SetImeMode(tk::ImeMode mode) { FImeMode = mode; }

  tk::Canvas& Canvas() { return FCanvas; }
  HWND EditWindow() const { return FEditWindow; }
  HWND ListWindow() const { return FListWindow; }
  bool HasFocus() const;
  // Puts the focus into the edit part when there is one.
  void SetFocus() override;

  tk::NotifyEvent OnChange;
  tk::NotifyEvent OnDropDown;
  tk::NotifyEvent OnDblClick;
  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;

 protected:
  virtual const char* ClassName() const { return "TCustomComboBoxExVell"; }
  // Every message of the edit part and of the list part.
  virtual LRESULT PartWindowProc(UINT message, WPARAM wParam, LPARAM lParam, HWND part,
                                 WNDPROC previous);
  virtual void DrawListItem(int index, RECT rect, TOwnerDrawState state);
  // The window whose children are the parts.
  virtual HWND PartsParentWindow() { return handle_; }
  virtual void MeasureListItem(int index, int& height);
  virtual void NotifyChange();
  virtual void NotifyDropDown();

  void GetCreateParams(CreateParams& params) override;
  void AfterCreate() override;
  void BeforeDestroy() override;
  void DpiChanged() override;
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  LRESULT KeyNotice(UINT notice, MSG& msg) override;

 private:
  // What the toolkit's window map holds for the parts.
  struct Parts : tk::WindowTarget {
    explicit Parts(TCustomComboBoxExVell& owner) : control(owner) {}
    TCustomComboBoxExVell& control;
  };
  // A message of a part on its way to the part's own procedure.
  struct PartMessage {
    HWND part;
    WNDPROC previous;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    // Hands the message, with a key as the control's handlers left it, to the part's procedure.
    LRESULT PassOn() const { return CallWindowProcW(previous, part, message, wParam, lParam); }
  };
  static LRESULT CALLBACK PartProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void Subclass(HWND part, WNDPROC& previous);
  LRESULT EditProc(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT PartGetsFocus(const PartMessage& m);
  LRESULT PartKey(PartMessage& m);
  // The steps of WndProc, one per message group; nullopt for a message of another group.
  std::optional<LRESULT> KeyMessage(UINT message, WPARAM wParam, LPARAM lParam);
  std::optional<LRESULT> PaintMessage(UINT message, WPARAM wParam, LPARAM lParam);
  std::optional<LRESULT> MouseMessage(UINT message, WPARAM wParam, LPARAM lParam);
  std::optional<LRESULT> PlatformMessage(UINT message, WPARAM wParam, LPARAM lParam);
  std::optional<LRESULT> ToolkitNotice(UINT message, WPARAM wParam, LPARAM lParam);
  // A typed character; true when it is done with and goes no further.
  bool TypedChar(char& key);
  void CloseListForCommand(WORD key);
  void ComboNotify(WORD code);
  void TakeHighlightedItem();
  void RestoreDropDownState();
  void FitDropDown();
  void FitHeights();
  void ApplySplitChar();
  void Paint();
  void DrawItem(const DRAWITEMSTRUCT& item);
  HFONT FontHandle();
  HBRUSH Brush();
  void TakeColor(COLORREF color);

  TComboBoxStrings FItems{*this};
  tk::Canvas FCanvas;
  TComboBoxStyle FStyle = csDropDown;
  int FItemHeight = 16;
  int FMaxLength = 0;
  bool FSorted = false;
  int FDropDownCount = 8;
  std::string FSplitChar;
  bool FInNumeric = false;
  bool FInUpper = false;
  tk::BorderStyle FBorderStyle = tk::bsSingle;
  COLORREF FColor;
  HBRUSH FBrush = nullptr;
  bool FParentColor = false;
  COLORREF FFontColor;
  bool FCtl3D = true;
  tk::ImeMode FImeMode = tk::ImeMode::DontCare;
  tk::ImeFocus FImeFocus;
  bool FFixedHeight = true;

  HWND FEditWindow = nullptr;
  HWND FListWindow = nullptr;
  Parts FParts{*this};
  WNDPROC FEditProc = nullptr;
  WNDPROC FListProc = nullptr;
  bool FFocusInside = false;
  bool FFocusMoved = false;
  bool FAdjustingDropDown = false;
  std::string FDropDownText;
  int FDropDownIndex = 0;
  bool FEnterWhileDropped = false;
  bool FCancelRestored = false;
  bool FTrailByteNext = false;
  bool FDestroying = false;
};

// The class that forms use; it only publishes the properties.
class TComboBoxExVell : public TCustomComboBoxExVell {
 public:
  using TCustomComboBoxExVell::TCustomComboBoxExVell;

 protected:
  const char* ClassName() const override { return "TComboBoxExVell"; }
};
