// Black-box runs of the built editor: every way of closing ends the process with code 0.

#include <gtest/gtest.h>
#include <windows.h>

#include <functional>

#include "tests/harness/WindowTest.h"

namespace {

struct Editor {
  PROCESS_INFORMATION process{};
  HWND window = nullptr;

  Editor() {
    STARTUPINFOA startup{sizeof startup};
    std::string command = std::string("\"") + QUORVEL_EXE + "\"";
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
      return;
    harness::PumpUntil([this] {
      window = FindWindowA(nullptr, "Quorvel 1.02");
      DWORD pid = 0;
      if (window) GetWindowThreadProcessId(window, &pid);
      return window && pid == process.dwProcessId && GetForegroundWindow() == window;
    }, 15000);
  }
  ~Editor() {
    if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process.hProcess, 99);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  // The exit code once the process has ended, or -1 when it is still running at the deadline.
  long ExitCode() {
    if (!harness::PumpUntil([this] { return WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0; }, 10000))
      return -1;
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    return static_cast<long>(code);
  }
};

void ExpectClosedWithCodeZero(const std::function<void(Editor&)>& close) {
  Editor editor;
  ASSERT_NE(editor.window, nullptr);
  close(editor);
  EXPECT_EQ(editor.ExitCode(), 0);
}

}  // namespace

TEST(Program, F12EndsTheProgramWithCodeZero) {
  ExpectClosedWithCodeZero([](Editor&) { harness::PressKey(VK_F12); });
}

TEST(Program, TheEndButtonEndsTheProgram) {
  ExpectClosedWithCodeZero([](Editor& editor) {
    RECT client;
    GetClientRect(editor.window, &client);
    POINT point{485 + 93 / 2, 196 + 29 / 2};
    ClientToScreen(editor.window, &point);
    harness::ClickAt(point);
  });
}

TEST(Program, TheCloseBoxEndsTheProgram) {
  ExpectClosedWithCodeZero([](Editor& editor) {
    // The close box is the rightmost button of the caption.
    RECT frame;
    GetWindowRect(editor.window, &frame);
    int border = GetSystemMetrics(SM_CXFIXEDFRAME);
    harness::ClickAt({frame.right - border - GetSystemMetrics(SM_CXSIZE) / 2,
                      frame.top + border + GetSystemMetrics(SM_CYCAPTION) / 2});
  });
}

TEST(Program, TheSystemMenuCloseEndsTheProgram) {
  ExpectClosedWithCodeZero([](Editor& editor) {
    PostMessageA(editor.window, WM_SYSCOMMAND, SC_CLOSE, 0);
  });
}

TEST(Program, AltF4InAFieldDoesNotClose) {
  Editor editor;
  ASSERT_NE(editor.window, nullptr);
  GUITHREADINFO info{sizeof info};
  GetGUIThreadInfo(editor.process.dwThreadId, &info);
  HWND album = info.hwndFocus;
  harness::PressKey(VK_F4, {VK_MENU});
  harness::PressKey(VK_F4, {VK_MENU});
  harness::PressKey(VK_RETURN);
  // The window went on to handle the Enter that followed: the focus left the album field.
  EXPECT_TRUE(harness::PumpUntil([&] {
    GetGUIThreadInfo(editor.process.dwThreadId, &info);
    return info.hwndFocus && info.hwndFocus != album;
  }));
  EXPECT_EQ(WaitForSingleObject(editor.process.hProcess, 0), WAIT_TIMEOUT);
  harness::PressKey(VK_F12);
  EXPECT_EQ(editor.ExitCode(), 0);
}
