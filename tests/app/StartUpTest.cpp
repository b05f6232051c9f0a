// Start-up that fails: the error box reports it and the program ends with a non-zero code,
// instead of going on with a half-built window.

#include <gtest/gtest.h>

#include "app/StartUp.h"
#include "app/u_main.h"
#include "platform/Exception.h"
#include "tests/harness/WindowTest.h"
#include "toolkit/Application.h"

namespace {

// A form whose window cannot be made: its platform class does not exist.
class UnshowableForm : public tk::Form {
 public:
  UnshowableForm() : tk::Form("UnshowableForm") {}

 protected:
  void GetCreateParams(CreateParams& params) override {
    tk::Form::GetCreateParams(params);
    params.baseClass = "QuorvelNoSuchClass";
    params.className = "QuorvelUnshowable";
  }
};

// Ends the event loop once the main window shows, should start-up wrongly go on into it.
VOID CALLBACK CloseOnceShown(HWND, UINT, UINT_PTR, DWORD) {
  if (Main_Form && IsWindowVisible(Main_Form->Handle())) Main_Form->Close();
}

struct Failure {
  const char* what;
  std::function<void()> createWindows;
  const char* message;  // the start of the error box's text
};

}  // namespace

TEST(StartUp, AWindowThatCannotBeMadeIsReportedAndEndsTheProgram) {
  tk::Application& app = tk::Application::Instance();
  app.Initialize();
  app.SetTitle("Quorvel");
  UnshowableForm* unshowable = nullptr;
  const Failure failures[] = {
      {"the main window's creation step fails",
       [&] {
         Main_Form = new TMain_Form();
         auto create = Main_Form->OnCreate;
         Main_Form->OnCreate = [create](tk::WinControl& sender) {
           create(sender);
           throw platform::Exception("作成できません");
         };
         Main_Form->DoCreate();
       },
       "作成できません."},
      {"the main window cannot be shown", [&] { app.CreateForm(unshowable); },
       "No window class QuorvelNoSuchClass"},
  };
  for (const Failure& failure : failures) {
    SCOPED_TRACE(failure.what);
    harness::ModalWatcher watcher;
    watcher.Expect(harness::ModalWatcher::Click(IDOK));
    UINT_PTR timer = SetTimer(nullptr, 0, 50, CloseOnceShown);
    EXPECT_EQ(RunWindows(failure.createWindows), 1);
    KillTimer(nullptr, timer);
    ASSERT_TRUE(watcher.WaitAllAnswered());
    ASSERT_EQ(watcher.Seen().size(), 1u);
    EXPECT_EQ(watcher.Seen()[0].caption, "Quorvel");
    EXPECT_EQ(watcher.Seen()[0].Flags(), 16u);
    EXPECT_EQ(watcher.Seen()[0].text.rfind(failure.message, 0), 0u) << watcher.Seen()[0].text;
    if (Main_Form) EXPECT_FALSE(IsWindowVisible(Main_Form->Handle()));  // never shown
    delete Main_Form;
    delete unshowable;
    unshowable = nullptr;
    app.ClearTermination();
  }
}
