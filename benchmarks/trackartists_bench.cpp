// Track-artist benchmark: the milliseconds from F6 in the running editor to its track-artist
// dialog being in front, for title.txt files of 200, 2,000 and 20,000 lines, beside the time
// to build the same title list without a window (the floor). Checks that the dialog lists
// exactly the titles that the floor gives, in order. Drives the built editor from outside,
// as a user does. Usage: trackartists_bench.exe <Quorvel.exe> [runs]

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/CodePage.h"
#include "trackartists/TitleList.h"

namespace {

double NowMs() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart * 1000.0 / frequency.QuadPart;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

bool WaitFor(const auto& condition, int timeoutMs = 30000) {
  double deadline = NowMs() + timeoutMs;
  while (!condition()) {
    if (NowMs() > deadline) return false;
    Sleep(1);  // each look is a round trip to the wine server, which the editor needs too
  }
  return true;
}

void PressKey(WORD key) {
  INPUT inputs[2]{};
  for (INPUT& input : inputs) {
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
  }
  inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, inputs, sizeof(INPUT));
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return written == bytes.size();
}

// UTF-8 lines "00001 曲 Song 1.mp3"; every tenth repeats an earlier title in capitals and
// every fiftieth is blank, so that cleaning and de-duplication have work to do.
std::string TitleFile(int lines) {
  std::string text;
  char line[128];
  for (int i = 1; i <= lines; ++i) {
    if (i % 50 == 0)
      snprintf(line, sizeof line, "\r\n");
    else if (i % 10 == 9)
      snprintf(line, sizeof line, "%05d \xE6\x9B\xB2 SONG %d.mp3\r\n", i, i - 5);
    else
      snprintf(line, sizeof line, "%05d \xE6\x9B\xB2 Song %d.mp3\r\n", i, i);
    text += line;
  }
  return text;
}

struct Editor {
  PROCESS_INFORMATION process{};
  HWND main = nullptr;
  HWND Foreground() const {
    HWND window = GetForegroundWindow();
    DWORD pid = 0;
    if (window) GetWindowThreadProcessId(window, &pid);
    return pid == process.dwProcessId ? window : nullptr;
  }
};

HWND FindOwnDialog(const Editor& editor, const char* className) {
  HWND window = nullptr;
  while ((window = FindWindowExA(nullptr, window, className, nullptr))) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == editor.process.dwProcessId && IsWindowVisible(window)) return window;
  }
  return nullptr;
}

// The items of the dialog's title list, read across processes in UTF-16.
std::vector<std::string> ListedTitles(HWND dialog) {
  HWND list = FindWindowExA(dialog, nullptr, "QuorvelComboBox", nullptr);
  std::vector<std::string> titles;
  int count = static_cast<int>(SendMessageW(list, CB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    std::wstring text(SendMessageW(list, CB_GETLBTEXTLEN, i, 0) + 1, L'\0');
    text.resize(SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data())));
    titles.push_back(platform::WideToAnsi(text));
  }
  return titles;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::printf("usage: trackartists_bench <Quorvel.exe> [runs]\n");
    return 2;
  }
  int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 7;
  std::string exe = argv[1];
  std::string settings = exe.substr(0, exe.rfind('.')) + ".ini";
  bool hadSettings = GetFileAttributesA(settings.c_str()) != INVALID_FILE_ATTRIBUTES;
  char temp[MAX_PATH];
  GetTempPathA(sizeof temp, temp);
  std::string folder = std::string(temp) + "quorvel-bench-" + std::to_string(GetCurrentProcessId());
  CreateDirectoryA(folder.c_str(), nullptr);
  std::string title = folder + "\\title.txt";
  WriteBytes(title, TitleFile(10));

  Editor editor;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  std::string command = "\"" + exe + "\"";
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &editor.process)) {
    std::printf("cannot start %s\n", exe.c_str());
    return 1;
  }
  int status = 1;
  HWND dialog = nullptr;
  if (!WaitFor([&] { return (editor.main = editor.Foreground()) != nullptr; })) goto done;
  PressKey(VK_F5);  // load: the file-open dialog takes the path
  {
    HWND open = nullptr;
    if (!WaitFor([&] { return (open = FindOwnDialog(editor, "#32770")) != nullptr; })) goto done;
    HWND name = nullptr;
    WaitFor([&] { return (name = GetDlgItem(open, 1148)) != nullptr; });
    SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(title.c_str()));
    PostMessageA(open, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    if (!WaitFor([&] { return editor.Foreground() == editor.main; })) goto done;
  }
  std::printf("F6 to the track-artist dialog in front, median of %d runs\n", runs);
  std::printf("  %6s %7s %10s %10s %7s %12s\n", "lines", "titles", "dialog ms", "floor ms", "ratio",
              "ms/1000 lines");
  status = 0;
  for (int lines : {200, 2000, 20000}) {
    std::string bytes = TitleFile(lines);
    WriteBytes(title, bytes);
    std::vector<double> floor, shown;
    std::vector<std::string> expected;
    for (int run = 0; run < runs; ++run) {
      double start = NowMs();
      expected = ReadTitles(platform::AnsiToWide(title));
      floor.push_back(NowMs() - start);
    }
    for (int run = 0; run < runs; ++run) {
      double start = NowMs();
      PressKey(VK_F6);
      if (!WaitFor([&] {
            HWND front = editor.Foreground();
            return front && front != editor.main && (dialog = front) != nullptr;
          })) {
        std::printf("  the dialog did not come to the front\n");
        status = 1;
        goto done;
      }
      shown.push_back(NowMs() - start);
      if (run == 0 && ListedTitles(dialog) != expected) {
        std::printf("  %d lines: the dialog's list differs from the title list\n", lines);
        status = 1;
      }
      PressKey(VK_F12);
      if (!WaitFor([&] { return editor.Foreground() == editor.main && !IsWindowVisible(dialog); }))
        goto done;
    }
    double dialogMs = Median(shown), floorMs = Median(floor);
    std::printf("  %6d %7zu %10.1f %10.1f %7.2f %12.1f\n", lines, expected.size(), dialogMs,
                floorMs, dialogMs / floorMs, dialogMs * 1000 / lines);
  }
done:
  if (editor.main) PostMessageA(editor.main, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(editor.process.hProcess, 10000) != WAIT_OBJECT_0)
    TerminateProcess(editor.process.hProcess, 1);
  CloseHandle(editor.process.hThread);
  CloseHandle(editor.process.hProcess);
  DeleteFileA(title.c_str());
  RemoveDirectoryA(folder.c_str());
  if (!hadSettings) DeleteFileA(settings.c_str());
  if (status) std::printf("failed\n");
  return status;
}
