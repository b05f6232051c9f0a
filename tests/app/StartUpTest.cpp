// Start-up that fails: the error box reports it and the program ends with a non-zero code,
// instead of going on with a half-built window.

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

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
    if (Main_Form) {
      EXPECT_FALSE(IsWindowVisible(Main_Form->Handle()));  // never shown
    }
    delete Main_Form;
    delete unshowable;
    unshowable = nullptr;
    app.ClearTermination();
  }
}

// What Windows reads from the file itself: the version and names its Properties show, and
// the manifest that asks for no compatibility layer and no elevation.
TEST(StartUp, TheExeCarriesItsVersionAndManifest) {
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeA(QUORVEL_EXE, &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> info(size);
  ASSERT_TRUE(GetFileVersionInfoA(QUORVEL_EXE, 0, size, info.data()));
  auto query = [&](const char* path) -> std::pair<void*, UINT> {
    void* value = nullptr;
    UINT length = 0;
    return VerQueryValueA(info.data(), path, &value, &length) ? std::pair{value, length}
                                                              : std::pair{nullptr, 0u};
  };
  auto* fixed = static_cast<VS_FIXEDFILEINFO*>(query("\\").first);
  ASSERT_NE(fixed, nullptr);
  for (DWORD version : {fixed->dwFileVersionMS, fixed->dwProductVersionMS})
    EXPECT_EQ(version, MAKELONG(0, 1));
  for (DWORD version : {fixed->dwFileVersionLS, fixed->dwProductVersionLS})
    EXPECT_EQ(version, MAKELONG(0, 2));
  auto* translation = static_cast<WORD*>(query("\\VarFileInfo\\Translation").first);
  ASSERT_NE(translation, nullptr);
  EXPECT_EQ(translation[0], 0x0411);
  EXPECT_EQ(translation[1], 932);
  for (const char* name : {"ProductName", "FileDescription", "ProductVersion", "FileVersion"}) {
    auto [value, length] = query((std::string("\\StringFileInfo\\041103a4\\") + name).c_str());
    ASSERT_NE(value, nullptr) << name;
    EXPECT_STREQ(static_cast<const char*>(value),
                 std::string(name).find("Version") != std::string::npos ? "1.0.2.0" : "Quorvel");
  }

  HMODULE exe = LoadLibraryExA(QUORVEL_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(exe, nullptr);
  HRSRC resource = FindResourceA(exe, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
  ASSERT_NE(resource, nullptr);
  std::string manifest(static_cast<const char*>(LockResource(LoadResource(exe, resource))),
                       SizeofResource(exe, resource));
  FreeLibrary(exe);
  for (const char* windows : {"35138b9a-5d96-4fbd-8e2d-a2440225f93a",   // 7
                              "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38",   // 8
                              "1f676c76-80e1-4239-95bb-83d0f6d0da78",   // 8.1
                              "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"})  // 10 and 11
    EXPECT_NE(manifest.find(std::string("<supportedOS Id=\"{") + windows + "}\"/>"),
              std::string::npos)
        << windows;
  for (const char* awareness : {">true/pm</dpiAware>", ">PerMonitorV2, PerMonitor</dpiAwareness>"})
    EXPECT_NE(manifest.find(awareness), std::string::npos) << awareness;
  EXPECT_EQ(manifest.find("requestedExecutionLevel"), std::string::npos);
}
