// The toolkit's promises that the windows rely on: the error box, the key pipeline's order,
// windows that keep their state across recreation (the combo box item list: tests/controls).

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <thread>

#include "platform/Exception.h"
#include "tests/harness/WindowTest.h"
#include "toolkit/Application.h"
#include "toolkit/FileDialog.h"
#include "toolkit/Form.h"
#include "toolkit/BitmapButton.h"
#include "toolkit/ComboBox.h"
#include "toolkit/Edit.h"
#include "toolkit/Label.h"

using harness::ModalWatcher;
using harness::PressKey;

namespace {

class TestForm : public tk::Form {
 public:
  TestForm() : tk::Form("TestForm") {
    SetClientSize(300, 120);
    SetFont({"ＭＳ Ｐゴシック", 13, SHIFTJIS_CHARSET});
    first.SetBounds(10, 10, 200, 21);
    first.SetTabOrder(0);
    second.SetBounds(10, 40, 200, 21);
    second.SetTabOrder(1);
    combo.SetBounds(10, 70, 100, 21);
    combo.SetTabOrder(2);
  }
  bool DialogKey(WORD key, tk::ShiftState shift) override {
    log.push_back("dialog " + std::to_string(key));
    return tk::Form::DialogKey(key, shift);
  }
  tk::Edit first{this, "first"};
  tk::Edit second{this, "second"};
  tk::ComboBox combo{this, "combo"};
  std::vector<std::string> log;
};

class ToolkitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tk::Application::Instance().Initialize();
    tk::Application::Instance().SetTitle("Quorvel");
    form = new TestForm;
    form->Show();
    ASSERT_TRUE(harness::PumpUntil([&] { return form->first.Focused(); }));
  }
  void TearDown() override { delete form; }
  TestForm* form = nullptr;
};

// The text the error box shows for a failure message.
std::string ErrorBoxText(const std::function<void()>& failure, TestForm& form) {
  form.first.OnKeyDown = [&](tk::WinControl&, WORD& key, tk::ShiftState) {
    if (key == 'A') failure();
  };
  ModalWatcher watcher;
  watcher.Expect(ModalWatcher::Click(IDOK));
  PressKey('A');
  EXPECT_TRUE(watcher.WaitAllAnswered());
  auto seen = watcher.Seen();
  if (seen.size() != 1) return "<no box>";
  EXPECT_EQ(seen[0].caption, "Quorvel");
  EXPECT_EQ(seen[0].Flags(), 16u);
  return seen[0].text;
}

// The hint window that shows: a visible tool window of this thread.
HWND ShownHint() {
  HWND found = nullptr;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM data) CALLBACK -> BOOL {
        if (!IsWindowVisible(window) || !(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW))
          return TRUE;
        *reinterpret_cast<HWND*>(data) = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found;
}

std::string TextOf(HWND window) {
  char text[256] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

}  // namespace

TEST_F(ToolkitTest, AHintShowsBelowThePointerWhileItRestsOnAControlWhoseShowHintIsOn) {
  tk::Application& app = tk::Application::Instance();
  const int showDelay = 50;
  app.SetHintShowDelay(showDelay);
  app.SetHintHideDelay(-1);
  tk::Edit third(form, "third");
  third.SetBounds(220, 40, 70, 21);
  third.Handle();
  form->SetShowHint(true);
  form->first.SetHint("最初の欄");
  form->first.SetShowHint(true);
  form->second.SetHint("二番目");
  form->second.SetShowHint(false);
  third.SetHint("三番目");  // takes the form's ShowHint
  RECT frame;
  GetWindowRect(form->Handle(), &frame);
  struct Step {
    const char* name;
    POINT pointer;
    const char* hint;  // nullptr: none shows
  };
  const Step steps[] = {
      {"ShowHint off", harness::CentreOf(form->second.Handle()), nullptr},
      {"ShowHint on", harness::CentreOf(form->first.Handle()), "最初の欄"},
      {"the parent's ShowHint", harness::CentreOf(third.Handle()), "三番目"},
      {"out of the window", {frame.left - 20, frame.top - 20}, nullptr},
      {"back on a control", harness::CentreOf(form->first.Handle()), "最初の欄"},
      {"to a control without", harness::CentreOf(form->second.Handle()), nullptr},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.name);
    harness::MoveTo(step.pointer);
    if (!step.hint) {
      EXPECT_TRUE(harness::PumpUntil([] { return !ShownHint(); }));
      EXPECT_FALSE(harness::PumpUntil([] { return ShownHint() != nullptr; }, 10 * showDelay));
      continue;
    }
    ASSERT_TRUE(harness::PumpUntil([&] { return TextOf(ShownHint()) == step.hint; }));
    HWND hint = ShownHint();
    RECT shown;
    GetWindowRect(hint, &shown);
    EXPECT_LE(std::abs(shown.left - step.pointer.x), 2);
    EXPECT_GT(shown.top, step.pointer.y);
    EXPECT_LT(shown.top, step.pointer.y + 40);
    EXPECT_TRUE(GetWindowLongA(hint, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(GetActiveWindow(), form->Handle());  // the hint never takes the activation
  }
  // With a hide delay the hint goes while the pointer still rests on the control.
  app.SetHintHideDelay(100);
  harness::MoveTo(harness::CentreOf(form->first.Handle()));
  EXPECT_TRUE(harness::PumpUntil([] { return ShownHint() != nullptr; }));
  EXPECT_TRUE(harness::PumpUntil([] { return !ShownHint(); }));
  app.SetHintShowDelay(500);
  app.SetHintHideDelay(2500);
}

TEST_F(ToolkitTest, AnAutomaticDragBeginsAtTheToolkitsPressAndEndsWhenTheCaptureGoes) {
  std::vector<std::string> log;
  form->first.SetDragMode(tk::dmAutomatic);
  form->first.OnStartDrag = [&](tk::WinControl&) { log.push_back("start"); };
  form->second.OnDragOver = [&](tk::WinControl&, tk::WinControl&, int, int, tk::DragState state,
                                bool& accept) {
    if (state == tk::dsDragEnter) log.push_back("enter");
    accept = true;
  };
  form->second.OnDragDrop = [&](tk::WinControl&, tk::WinControl&, int, int) {
    log.push_back("drop");
  };
  form->first.OnEndDrag = [&](tk::WinControl&, tk::WinControl* target, int, int) {
    log.push_back(std::string("end ") + (target ? target->Name() : "none"));
  };
  // A click stays a click: the edit has the focus, and nothing was dragged.
  form->second.SetFocus();
  POINT from = harness::CentreOf(form->first.Handle());
  harness::ClickAt(from);
  ASSERT_TRUE(harness::PumpUntil([&] { return form->first.Focused() && !GetCapture(); }));
  EXPECT_FALSE(form->first.Dragging());
  EXPECT_TRUE(log.empty());

  // Taking the capture away ends the drag over an accepting control without a drop.
  harness::PressAt({from.x + 20, from.y});
  ASSERT_TRUE(harness::PumpUntil([&] { return GetCapture() == form->first.Handle(); }));
  harness::MoveTo(harness::CentreOf(form->second.Handle()));
  ASSERT_TRUE(harness::PumpUntil([&] { return log.size() == 2; }));
  SetCapture(form->Handle());
  EXPECT_TRUE(harness::PumpUntil([&] { return !form->first.Dragging(); }));
  ReleaseCapture();
  harness::ReleaseAt(harness::CentreOf(form->second.Handle()));
  EXPECT_EQ(log, (std::vector<std::string>{"start", "enter", "end none"}));
}

TEST_F(ToolkitTest, TheErrorBoxAppendsAFullStopOnlyAfterCharactersThatSortAfterIt) {
  auto fail = [](const char* message) { return [message] { throw platform::Exception(message); }; };
  EXPECT_EQ(ErrorBoxText(fail("ファイルを開けません"), *form), "ファイルを開けません.");
  EXPECT_EQ(ErrorBoxText(fail("保存しました。"), *form), "保存しました。.");
  EXPECT_EQ(ErrorBoxText(fail("abc"), *form), "abc.");
  EXPECT_EQ(ErrorBoxText(fail("abc."), *form), "abc.");
  EXPECT_EQ(ErrorBoxText(fail("abc!"), *form), "abc!");
  EXPECT_EQ(ErrorBoxText([] { throw std::runtime_error("plain"); }, *form), "plain.");
  // The program goes on: the key that failed did not reach the edit, the next one does.
  form->first.OnKeyDown = nullptr;
  PressKey('B');
  EXPECT_EQ(form->first.Text(), "b");
}

TEST_F(ToolkitTest, AFailureInsideAWindowProcedureIsShownAndTheProgramGoesOn) {
  tk::BitmapButton button(form, "button");
  button.SetBounds(220, 10, 70, 25);
  button.SetText("Go");
  button.Handle();
  int clicks = 0;
  button.OnClick = [&](tk::WinControl&) {
    ++clicks;
    throw platform::Exception("clicked");
  };
  ModalWatcher watcher;
  watcher.Expect(ModalWatcher::Click(IDOK));
  harness::ClickAt(harness::CentreOf(button.Handle()));
  ASSERT_TRUE(watcher.WaitAllAnswered());
  ASSERT_EQ(watcher.Seen().size(), 1u);
  EXPECT_EQ(watcher.Seen()[0].text, "clicked.");
  EXPECT_EQ(clicks, 1);
  EXPECT_TRUE(IsWindow(button.Handle()));
}

TEST_F(ToolkitTest, KeysGoToTheDialogKeyStepThenThePreviewThenTheControl) {
  form->SetKeyPreview(true);
  form->OnKeyDown = [&](tk::WinControl&, WORD& key, tk::ShiftState) {
    form->log.push_back("form " + std::to_string(key));
    if (key == 'Q') key = 0;
  };
  form->first.OnKeyDown = [&](tk::WinControl&, WORD& key, tk::ShiftState) {
    form->log.push_back("first " + std::to_string(key));
  };
  form->first.OnKeyPress = [&](tk::WinControl&, char& key) {
    form->log.push_back(std::string("press ") + key);
    if (key == 'w') key = 'W';
  };
  PressKey('W');
  PressKey('Q');
  PressKey(VK_TAB);
  EXPECT_EQ(form->log,
            (std::vector<std::string>{"form 87", "first 87", "press w", "form 81", "dialog 9"}));
  EXPECT_EQ(form->first.Text(), "W");  // the replaced character reached the edit
  EXPECT_TRUE(form->second.Focused());
  // Edits keep the arrow keys: they are never offered as dialog keys.
  form->log.clear();
  PressKey(VK_DOWN);
  EXPECT_EQ(form->log, (std::vector<std::string>{"form 40"}));
  EXPECT_TRUE(form->second.Focused());
}

TEST_F(ToolkitTest, TabWrapsAroundTheTabStopsAndSelectsTheEditsText) {
  form->second.SetText("hello");
  PressKey(VK_TAB);
  EXPECT_TRUE(form->second.Focused());
  EXPECT_EQ(form->second.Selection(), std::make_pair(0, 5));
  PressKey(VK_TAB);
  EXPECT_TRUE(form->combo.Focused());
  PressKey(VK_TAB);
  EXPECT_TRUE(form->first.Focused());
  PressKey(VK_TAB, {VK_SHIFT});
  EXPECT_TRUE(form->combo.Focused());
}

// The combo boxes' items, values and selection: tests/controls.
TEST_F(ToolkitTest, RecreatedWindowsKeepTheirText) {
  form->first.SetText("kept");
  form->first.RecreateWnd();
  EXPECT_EQ(form->first.Text(), "kept");

  // A control keeps its text while it has no window, and its new window shows it.
  form->second.DestroyHandle();
  form->second.SetText("later");
  EXPECT_FALSE(form->second.HandleAllocated());
  EXPECT_EQ(form->second.Text(), "later");
  char shown[32];
  GetWindowTextA(form->second.Handle(), shown, sizeof shown);
  EXPECT_STREQ(shown, "later");
}

TEST_F(ToolkitTest, AModalFormDisablesTheOthersUntilItClosesAndReactivatesTheOwner) {
  int activations = 0;
  form->OnActivate = [&](tk::WinControl&) { ++activations; };
  TestForm dialog;
  dialog.SetPosition(tk::FormPosition::MainFormCenter);
  bool ownerWasDisabled = false;
  HWND owner = nullptr;
  dialog.first.OnKeyDown = [&](tk::WinControl&, WORD& key, tk::ShiftState) {
    if (key != VK_F12) return;
    ownerWasDisabled = !IsWindowEnabled(form->Handle());
    owner = GetWindow(dialog.Handle(), GW_OWNER);
    dialog.Close();
    key = 0;
  };
  // The key comes as a user's would, once the dialog is the active window. Pressed inside
  // the dialog's own activation, it closed the dialog before the display had reported the
  // show; the display's late focus report then took the activation away from the owner.
  std::atomic<HWND> shown{nullptr};
  dialog.OnActivate = [&](tk::WinControl&) { shown = dialog.Handle(); };
  std::thread user([&] {
    for (int i = 0; i < 1000; ++i, Sleep(10))
      if (HWND window = shown; window && GetForegroundWindow() == window) break;
    harness::SendKey(VK_F12);
  });
  EXPECT_EQ(dialog.ShowModal(), IDCANCEL);
  user.join();
  EXPECT_TRUE(ownerWasDisabled);
  EXPECT_EQ(owner, form->Handle());  // the form that was active: no taskbar button, kept above
  EXPECT_TRUE(IsWindowEnabled(form->Handle()));
  EXPECT_FALSE(IsWindowVisible(dialog.Handle()));
  EXPECT_TRUE(harness::PumpUntil([&] { return activations == 1 && form->first.Focused(); }));
}

// Wine's combo box keeps Alt key presses to itself; the close keystroke still closes. (In a
// box with an edit part the keys go to the edit, which passes them on.)
TEST_F(ToolkitTest, AltF4InAComboBoxEndsTheModalShowingOfItsFormOnly) {
  TestForm dialog;
  dialog.combo.SetStyle(tk::ComboBoxStyle::DropDownList);
  harness::RunInsideModal(
      [&] { return dialog.Modal() && GetForegroundWindow() == dialog.Handle(); },
      [&] {
        dialog.combo.SetFocus();
        PressKey(VK_F4, {VK_MENU});
        if (harness::PumpUntil([&] { return dialog.ModalResult() != 0; }, 3000)) return;
        ADD_FAILURE() << "Alt+F4 did not close the form";
        dialog.Close();
      });
  EXPECT_EQ(dialog.ShowModal(), IDCANCEL);
  EXPECT_TRUE(IsWindowVisible(form->Handle()));
  EXPECT_FALSE(tk::Application::Instance().Terminated());
}

namespace {

// A control whose window fails while the platform creates it.
class FailingOnCreate : public tk::WinControl {
 public:
  using tk::WinControl::WinControl;

 protected:
  void GetCreateParams(CreateParams& params) override {
    tk::WinControl::GetCreateParams(params);
    params.className = "QuorvelFailingOnCreate";
  }
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == WM_CREATE) throw platform::Exception("created");
    return tk::WinControl::WndProc(message, wParam, lParam);
  }
};

// Answers the modal window that is showing only after a click, posted while it shows, has
// failed inside its modal loop and the error box for that failure has been answered.
ModalWatcher::Action FailInside(tk::BitmapButton& button, std::string& errorText,
                                ModalWatcher::Action answer) {
  HWND parent = GetParent(button.Handle()), child = button.Handle();
  return [parent, child, &errorText, answer](HWND outer) {
    PostMessageA(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(child), BN_CLICKED),
                 reinterpret_cast<LPARAM>(child));
    HWND box = nullptr;
    for (int i = 0; i < 500; ++i, Sleep(10)) {
      box = FindWindowA("#32770", "Quorvel");
      if (box && box != outer && IsWindowVisible(box)) break;
      box = nullptr;
    }
    if (!box) return answer(outer);
    errorText = harness::ReadModal(box).text;
    ModalWatcher::Click(IDOK)(box);
    for (int i = 0; i < 500 && IsWindow(box); ++i) Sleep(10);
    answer(outer);
  };
}

}  // namespace

TEST_F(ToolkitTest, FailuresInsideModalLoopsAndWindowCreationAreShownAndTheProgramGoesOn) {
  tk::BitmapButton button(form, "button");
  button.SetBounds(220, 10, 70, 25);
  button.OnClick = [](tk::WinControl&) { throw platform::Exception("inside"); };
  const struct {
    const char* modal;
    std::function<void()> show;
    ModalWatcher::Action answer;
  } cases[] = {
      {"a message box",
       [] {
         tk::Application::Instance().ShowMessageBox("text", "情報", MB_OK | MB_ICONINFORMATION);
       },
       ModalWatcher::Click(IDOK)},
      {"the file-open dialog", [] { tk::OpenDialog().Execute(); }, ModalWatcher::Cancel()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.modal);
    std::string errorText;
    ModalWatcher watcher;
    watcher.Expect(FailInside(button, errorText, c.answer));
    c.show();
    EXPECT_TRUE(watcher.WaitAllAnswered());
    EXPECT_EQ(errorText, "inside.");
  }

  FailingOnCreate failing(form, "failing");
  failing.SetBounds(220, 40, 70, 25);
  ModalWatcher watcher;
  watcher.Expect(ModalWatcher::Click(IDOK));
  HWND created = failing.Handle();
  ASSERT_TRUE(watcher.WaitAllAnswered());
  ASSERT_EQ(watcher.Seen().size(), 1u);
  EXPECT_EQ(watcher.Seen()[0].text, "created.");
  EXPECT_TRUE(IsWindow(created));
  // The program goes on: keys still reach the form's controls.
  ASSERT_TRUE(harness::PumpUntil([&] { return form->first.Focused(); }));
  PressKey('C');
  EXPECT_EQ(form->first.Text(), "c");
}
