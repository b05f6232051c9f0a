#pragma once
// The control base. A WinControl has a name, bounds and text, and owns at most one
// platform window, created lazily when first needed and recreatable, keeping its text and
// bounds while it has no window. Notifications that the platform sends to a parent
// (WM_COMMAND, WM_DRAWITEM, WM_MEASUREITEM) are reflected back to the child control as
// CN_BASE plus the message number.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "toolkit/Dpi.h"
#include "toolkit/WindowMap.h"

namespace tk {

class Form;
class WinControl;

constexpr UINT CN_BASE = 0xBC00;
constexpr UINT CN_COMMAND = CN_BASE + WM_COMMAND;
constexpr UINT CN_DRAWITEM = CN_BASE + WM_DRAWITEM;
constexpr UINT CN_MEASUREITEM = CN_BASE + WM_MEASUREITEM;
// Key notices: wParam the key, lParam the queued MSG (its wParam may be changed); a result
// other than 0 consumes the key.
constexpr UINT CN_KEYDOWN = CN_BASE + WM_KEYDOWN;
constexpr UINT CN_KEYUP = CN_BASE + WM_KEYUP;
constexpr UINT CN_SYSKEYUP = CN_BASE + WM_SYSKEYUP;
constexpr UINT CN_CHAR = CN_BASE + WM_CHAR;
constexpr UINT CN_SYSKEYDOWN = CN_BASE + WM_SYSKEYDOWN;
constexpr UINT CN_SYSCHAR = CN_BASE + WM_SYSCHAR;
// Sent to the form's focused control when a mouse button goes down on another control of
// the form; lParam is the pressed control. Open drop-down lists close on it.
constexpr UINT CM_CANCELMODE = 0xB004;
// Sent to a form's controls when the colour of their parent may have changed.
constexpr UINT CM_PARENTCOLORCHANGED = 0xB009;
// Sent to a control whose 3-D look has changed.
constexpr UINT CM_CTL3DCHANGED = 0xB010;

enum BorderStyle : unsigned char { bsNone = 0, bsSingle = 1 };
// dmAutomatic: a left press on the control begins a drag of it.
enum DragMode : unsigned char { dmManual = 0, dmAutomatic = 1 };
enum DragState : unsigned char { dsDragEnter, dsDragLeave, dsDragMove };

enum ShiftFlag : unsigned {
  ssShift = 1,
  ssAlt = 2,
  ssCtrl = 4,
  ssLeft = 8,
  ssRight = 16,
  ssMiddle = 32,
  ssDouble = 64
};
using ShiftState = unsigned;
enum class MouseButton { Left, Right, Middle };

using NotifyEvent = std::function<void(WinControl& sender)>;
using KeyEvent = std::function<void(WinControl& sender, WORD& key, ShiftState shift)>;
using KeyPressEvent = std::function<void(WinControl& sender, char& key)>;
using MouseEvent =
    std::function<void(WinControl& sender, MouseButton button, ShiftState shift, int x, int y)>;
// Drag positions are in the client coordinates of the control that is asked (`sender` for a
// drag over it or a drop on it, `target` at the end; 0, 0 when there is no target).
using DragOverEvent = std::function<void(WinControl& sender, WinControl& source, int x, int y,
                                         DragState state, bool& accept)>;
using DragDropEvent = std::function<void(WinControl& sender, WinControl& source, int x, int y)>;
using EndDragEvent = std::function<void(WinControl& sender, WinControl* target, int x, int y)>;

// The current modifier state as the keyboard reports it.
ShiftState KeyboardShiftState();

// Whether the focus that `control` (or a window inside it) has just received came from
// another control of the same top-level window: a key, Tab or the program moving between
// fields. Not when the window is merely active again after a message box, a dialog or
// another program. `previous` is WM_SETFOCUS's wParam, the window that lost the focus.
bool FocusFromSameWindow(HWND control, HWND previous);

// Offers a typed UTF-16 unit (a WM_CHAR's wParam) to `press` as the Shift-JIS bytes an ANSI
// window gets it as: ASCII as itself (Enter as 13), a double-byte character as its lead byte
// and then its trail byte, a character the code page lacks as its substitute. True when
// `press` consumed a byte; otherwise `unit` becomes what the bytes were changed to.
bool PressTypedChar(WPARAM& unit, const std::function<bool(char&)>& press);

class WinControl : public WindowTarget {
 public:
  WinControl(WinControl* parent, std::string name);
  ~WinControl() override;
  WinControl(const WinControl&) = delete;
  WinControl& operator=(const WinControl&) = delete;

  const std::string& Name() const { return name_; }
  WinControl* Parent() const { return parent_; }
  const std::vector<WinControl*>& Children() const { return children_; }
  Form* ParentForm();

  // The platform window, created (with the parent's first) when it does not exist yet.
  HWND Handle();
  bool HandleAllocated() const { return handle_ != nullptr; }
  void DestroyHandle();
  void RecreateWnd();

  // A child's bounds are client pixels of the 96-dpi design; its window stands at them scaled
  // to its form's dpi. A form's bounds are its window's, in screen pixels.
  void SetBounds(int left, int top, int width, int height);
  RECT Bounds() const { return bounds_; }
  // The dpi the control's window is laid out for: its form's.
  int Dpi();
  // A length of the 96-dpi design at that dpi.
  int Scaled(int length) { return ScaleToDpi(length, Dpi()); }
  int Width() const { return bounds_.right - bounds_.left; }
  int Height() const { return bounds_.bottom - bounds_.top; }

  std::string Text() const;
  void SetText(const std::string& text);

  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  bool TabStop() const { return tabStop_; }
  void SetTabStop(bool tabStop);
  int TabOrder() const { return tabOrder_; }
  void SetTabOrder(int order) { tabOrder_ = order; }

  bool Focused() const;
  bool CanFocus() const;
  virtual void SetFocus();

  const std::string& Hint() const { return hint_; }
  void SetHint(const std::string& hint) { hint_ = hint; }
  // With ParentShowHint on (the default) the control takes its parent's ShowHint; setting
  // ShowHint turns ParentShowHint off.
  bool ShowHint() const;
  void SetShowHint(bool show);
  bool ParentShowHint() const { return parentShowHint_; }
  void SetParentShowHint(bool parent) { parentShowHint_ = parent; }

  tk::DragMode DragMode() const { return dragMode_; }
  void SetDragMode(tk::DragMode mode) { dragMode_ = mode; }
  // Begins a drag of this control, at once or once the pointer has moved more than
  // `threshold` pixels from the press (-1: the platform's drag threshold). Nothing happens
  // while another drag is under way.
  void BeginDrag(bool immediate, int threshold = -1);
  // True from BeginDrag until the drag has ended, also while it waits for the threshold.
  bool Dragging() const;
  void EndDrag(bool drop);

  // The control whose text names this one to screen readers: the label of a field.
  void SetLabel(const WinControl& label) { label_ = &label; }
  // The label's window, or nullptr.
  HWND LabelWindow() const { return label_ ? label_->handle_ : nullptr; }

  // The control that owns a platform window: the window itself or its nearest bound ancestor.
  static WinControl* FromHandle(HWND window);
  WinControl* AsControl() override { return this; }
  static WinControl* OwnerOf(HWND window);

  // Sends `notice` to the windows of every control inside this one.
  void NotifyControls(UINT notice);

  // The form's focus bookkeeping: OnExit of the control that had the focus, then OnEnter of
  // the one that gets it.
  NotifyEvent OnEnter;
  NotifyEvent OnExit;
  KeyEvent OnKeyDown;
  KeyPressEvent OnKeyPress;
  KeyEvent OnKeyUp;
  MouseEvent OnMouseDown;
  NotifyEvent OnClick;
  NotifyEvent OnStartDrag;
  DragOverEvent OnDragOver;  // accept starts false; a control without a handler accepts nothing
  DragDropEvent OnDragDrop;
  EndDragEvent OnEndDrag;

  // Key dispatch of the application's key pipeline; true when the key was consumed.
  bool DoKeyDown(WORD& key, ShiftState shift);
  bool DoKeyPress(char& key);
  bool DoKeyUp(WORD& key, ShiftState shift);

 protected:
  struct CreateParams {
    const char* baseClass = nullptr;  // platform class to derive from; nullptr: a plain window
    std::string className;
    DWORD style = 0;
    DWORD exStyle = 0;
    long accessibleRole = 0;  // what the window is to screen readers; 0: left to the system
  };
  virtual void GetCreateParams(CreateParams& params);
  virtual void CreateWnd();
  // Runs right after the window exists: the place to replay stored state.
  virtual void AfterCreate() {}
  // Runs before the window goes: the place to save state that only the window holds.
  virtual void BeforeDestroy() {}
  virtual LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT DefaultProc(UINT message, WPARAM wParam, LPARAM lParam);
  // The toolkit's handling of a mouse press (WM_xBUTTONDOWN, WM_xBUTTONDBLCLK) without the
  // automatic drag: the open lists of the form close, the platform sees the press, then
  // OnMouseDown.
  LRESULT MousePress(UINT message, WPARAM wParam, LPARAM lParam);
  // The reflected WM_COMMAND notification code of this control.
  virtual void CommandNotify(WORD /*code*/) {}
  virtual HWND ParentHandleForChildren() { return Handle(); }
  // The text the control keeps while it has no window, and that its next window shows.
  const std::string& HeldText() const { return text_; }
  // The dialog-key step of a key going down in `msg.hwnd`: Tab, the arrows, Enter and Esc
  // go to the form's dialog-key handling unless `codeWindow` claims them (WM_GETDLGCODE).
  // True when the form handled the key.
  bool DialogKeyStep(MSG& msg, HWND codeWindow);
  // The key notices; the default runs the dialog-key step and the key handlers.
  virtual LRESULT KeyNotice(UINT notice, MSG& msg);
  // Asks the parent form to take this control as its focused control; false when the form
  // refuses because the focus has moved on meanwhile.
  bool FormTakesFocus();
  // True while the form runs this control's focus handlers.
  bool ReceivingFocus() const { return focusing_; }
  // The colour of the parent window's background brush.
  COLORREF ParentBackgroundColour();
  // Where the window stands, in its parent's client pixels.
  virtual RECT WindowRect();
  // Lays the window out again after its form's dpi changed: its place, its font and whatever
  // the control sizes from them.
  virtual void DpiChanged();
  // Puts the children in the order in which their windows are created and drawn.
  void SetChildOrder(const std::vector<WinControl*>& order);
  virtual void FontNeeded();

  HWND handle_ = nullptr;

 private:
  friend class Form;
  static LRESULT CALLBACK StaticWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static WNDPROC RegisterClassFor(const CreateParams& params);
  void CreateChildren();
  // Moves the window to WindowRect().
  void MoveToPlace(bool repaint);
  // WM_COMMAND, WM_DRAWITEM and WM_MEASUREITEM of a child control go back to that child as
  // CN_BASE plus the message; its result, or nullopt when no other control owns the child.
  std::optional<LRESULT> ReflectNotification(UINT message, WPARAM wParam, LPARAM lParam);
  // A key notice, with a failure shown and the key consumed.
  LRESULT KeyNoticeCaught(UINT notice, LPARAM lParam);

  WinControl* parent_;
  std::string name_;
  std::vector<WinControl*> children_;
  RECT bounds_{0, 0, 0, 0};
  mutable std::string text_;
  bool enabled_ = true;
  bool visible_ = true;
  bool tabStop_ = false;
  int tabOrder_ = -1;
  int controlId_ = 0;
  std::string hint_;
  bool showHint_ = false;
  bool parentShowHint_ = true;
  tk::DragMode dragMode_ = dmManual;
  bool creating_ = false;
  bool focusing_ = false;
  WNDPROC baseProc_ = nullptr;
  long accessibleRole_ = 0;
  const WinControl* label_ = nullptr;
};

}  // namespace tk
