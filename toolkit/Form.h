#pragma once
// A top-level window that owns its controls: caption, client size, fixed border, centred
// position, one font for every control, key preview, focus traversal in tab order, and
// modal showing.

#include <initializer_list>

#include "toolkit/Control.h"

namespace tk {

enum class FormBorder { Single, Dialog };
enum class FormPosition { ScreenCenter, MainFormCenter };
enum class CloseAction { None, Hide };

struct FontSpec {
  std::string face;
  int height = 13;  // character height in pixels
  BYTE charset = DEFAULT_CHARSET;
};

// Where one control of a form stands and what it shows: bounds in client pixels at 96 dpi,
// its text, and its place in the tab order (-1: none).
struct Placement {
  WinControl& control;
  int left, top, width, height;
  const char* text;
  int tabOrder;
};

class Form : public WinControl {
 public:
  explicit Form(std::string name);
  ~Form() override;

  void SetCaption(const std::string& caption) { SetText(caption); }
  // Places the form's controls as listed; the list's order is the order in which their
  // windows are created, and so drawn.
  void Place(std::initializer_list<Placement> layout);
  void SetClientSize(int width, int height);
  SIZE ClientSize() const { return clientSize_; }
  void SetBorder(FormBorder border, bool minimizeBox) {
    border_ = border;
    minimizeBox_ = minimizeBox;
  }
  void SetPosition(FormPosition position) { position_ = position; }
  void SetFont(const FontSpec& font);
  // The font at the form's dpi.
  HFONT FontHandle();
  // The dpi of the monitor the form stands on; the system's until its window exists.
  int Dpi();
  bool KeyPreview() const { return keyPreview_; }
  void SetKeyPreview(bool preview) { keyPreview_ = preview; }

  void Show();
  // Shows the form modally with the other forms disabled; returns when it closes.
  int ShowModal();
  bool Modal() const { return modal_; }
  // Non-zero once a modal showing has been asked to end.
  int ModalResult() const { return modalResult_; }
  // Runs OnClose; a main form then ends the application, a modal form its showing.
  void Close();

  // The control that has the keyboard focus, or that had it when the form was deactivated.
  WinControl* ActiveControl();
  // Moves the focus to the next (or previous) tab stop after `current`, wrapping around.
  void SelectNext(WinControl* current, bool forward);

  // Offered the keys Tab, Enter, Esc and the arrows when the focused control does not
  // want them; true when handled. Tab moves between tab stops; the arrows move to the
  // next or previous control in tab order.
  virtual bool DialogKey(WORD key, ShiftState shift);

  // Offered every key message of a child control before the control handles it; true claims
  // it. A form claims nothing unless it changes this.
  virtual bool WantChildKey(WinControl& /*child*/, const MSG& /*message*/) { return false; }
  // Takes `control` as the focused control, running OnExit of the control that had the focus
  // and OnEnter of `control`. False when a handler moved the focus on meanwhile, or when the
  // form is still running `control`'s own handlers: that focus is not for `control` to take.
  bool SetFocusedControl(WinControl& control);

  // Runs OnCreate once the derived form has built its controls.
  void DoCreate();

  NotifyEvent OnCreate;
  NotifyEvent OnActivate;
  std::function<void(Form& sender, CloseAction& action)> OnClose;

 protected:
  void GetCreateParams(CreateParams& params) override;
  void CreateWnd() override;
  // Made at the system's dpi, the window may stand on a monitor of another scale: Windows tells
  // of that only when the window moves (WM_DPICHANGED). So it is laid out for its monitor
  // before its controls are made.
  void AfterCreate() override;
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  // The controls that take part in tab traversal, in tab order.
  std::vector<WinControl*> TabList();

 private:
  void Centre();
  // The steps of ShowModal: the showing with an owner, and the modal loop.
  void ShowOwnedBy(Form* owner, const std::vector<HWND>& disabled);
  void RunModalLoop(const std::vector<HWND>& disabled);
  RECT WindowRect() override { return Bounds(); }
  // The monitor's dpi changed to `dpi`; the window moves to `suggested` (screen pixels).
  void ApplyDpi(int dpi, const RECT& suggested);
  void DoActivate(bool active);
  bool Holds(const WinControl* control) const;

  SIZE clientSize_{0, 0};
  FormBorder border_ = FormBorder::Single;
  bool minimizeBox_ = true;
  FormPosition position_ = FormPosition::ScreenCenter;
  FontSpec fontSpec_;
  HFONT font_ = nullptr;
  int dpi_ = 0;
  bool keyPreview_ = false;
  bool modal_ = false;
  int modalResult_ = 0;
  HWND savedFocus_ = nullptr;
  WinControl* focusedControl_ = nullptr;
  int focusChanges_ = 0;
};

}  // namespace tk
