#include "tests/harness/WindowTest.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/CodePage.h"
#include "platform/Files.h"
#include "toolkit/Application.h"

namespace harness {
namespace {

bool IsExtendedKey(WORD key) {
  switch (key) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_INSERT:
    case VK_DELETE:
      return true;
  }
  return false;
}

INPUT KeyInput(WORD key, bool up) {
  INPUT input{};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC));
  input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtendedKey(key) ? KEYEVENTF_EXTENDEDKEY : 0);
  return input;
}

void Send(std::vector<INPUT> inputs) {
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// Read in UTF-16 and turned into Shift-JIS by name, so that it means the same under any locale.
std::string WindowText(HWND window) {
  wchar_t text[4096];
  int length = GetWindowTextW(window, text, sizeof text / sizeof text[0]);
  return platform::WideToAnsi({text, static_cast<size_t>(length > 0 ? length : 0)});
}

std::string ClassOf(HWND window) {
  char name[256];
  int length = GetClassNameA(window, name, sizeof name);
  return std::string(name, length > 0 ? length : 0);
}

// A visible dialog window of this process that is enabled (the topmost modal one).
HWND FindModalDialog(DWORD processId, const std::vector<HWND>& answered) {
  struct Search {
    DWORD processId;
    const std::vector<HWND>* answered;
    HWND found = nullptr;
  } search{processId, &answered};
  EnumWindows(
      [](HWND window, LPARAM data) CALLBACK -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (pid != s->processId || !IsWindowVisible(window) || !IsWindowEnabled(window))
          return TRUE;
        if (ClassOf(window) != "#32770") return TRUE;
        for (HWND done : *s->answered)
          if (done == window) return TRUE;
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring path = folder + name;
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(path + L"\\");
      else
        DeleteFileW(path.c_str());
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  RemoveDirectoryW(folder.c_str());
}

}  // namespace

bool PumpUntil(const std::function<bool()>& condition, int timeoutMs) {
  // <chrono> cannot be compiled with the Shift-JIS execution character set.
  ULONGLONG deadline = GetTickCount64() + timeoutMs;
  for (;;) {
    tk::Application::Instance().ProcessMessages();
    if (condition()) return true;
    if (GetTickCount64() >= deadline) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

void PumpIdle() {
  // Input sent with SendInput is queued by the time SendInput returns; the characters
  // that TranslateMessage makes of it are posted while the keys are handled.
  for (int round = 0; round < 3; ++round) {
    tk::Application::Instance().ProcessMessages();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 0, QS_ALLINPUT);
  }
}

void PressKey(WORD key, std::initializer_list<WORD> modifiers) {
  std::vector<INPUT> inputs;
  for (WORD modifier : modifiers) inputs.push_back(KeyInput(modifier, false));
  inputs.push_back(KeyInput(key, false));
  inputs.push_back(KeyInput(key, true));
  for (auto it = std::rbegin(modifiers); it != std::rend(modifiers); ++it)
    inputs.push_back(KeyInput(*it, true));
  Send(inputs);
  PumpIdle();
}

void SendKey(WORD key) { Send({KeyInput(key, false), KeyInput(key, true)}); }

void TypeText(const std::string& text) {
  for (char ch : text) {
    SHORT scan = VkKeyScanA(ch);
    if (!(HIBYTE(scan) & 1)) {
      PressKey(LOBYTE(scan));
      continue;
    }
    // A character that needs Shift comes as the character itself. A pressed Shift lives only
    // in Wine, not in the display's keyboard, and a window that has just been activated hears
    // from the display that no Shift is down: Wine then lets it go between the two presses.
    INPUT down{};
    down.type = INPUT_KEYBOARD;
    down.ki.wScan = static_cast<unsigned char>(ch);
    down.ki.dwFlags = KEYEVENTF_UNICODE;
    INPUT up = down;
    up.ki.dwFlags |= KEYEVENTF_KEYUP;
    Send({down, up});
    PumpIdle();
  }
}

namespace {

INPUT MoveInput(POINT screen) {
  INPUT move{};
  move.type = INPUT_MOUSE;
  move.mi.dx = MulDiv(screen.x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
  move.mi.dy = MulDiv(screen.y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
  move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  return move;
}

}  // namespace

void MoveTo(POINT screen) {
  Send({MoveInput(screen)});
  PumpIdle();
}

void ClickAt(POINT screen, bool right) {
  // The press and the release carry the point too: under load the display may still report
  // an earlier pointer position after the move, and a press "where the pointer is" then
  // lands there.
  INPUT move = MoveInput(screen);
  INPUT down = move, up = move;
  down.mi.dwFlags |= right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
  up.mi.dwFlags |= right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
  Send({move, down, up});
  PumpIdle();
}

void PressAt(POINT screen) {
  INPUT move = MoveInput(screen), down = move;
  down.mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
  Send({move, down});
  PumpIdle();
}

void ReleaseAt(POINT screen) {
  INPUT up = MoveInput(screen);
  up.mi.dwFlags |= MOUSEEVENTF_LEFTUP;
  Send({up});
  PumpIdle();
}

POINT CentreOf(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

HWND FocusedWindow() { return GetFocus(); }

namespace {

// The one pending script: a thread timer looks for its moment at every tick, and the ticks
// that come while the modal form shows are dispatched by the form's own loop.
struct InsideModal {
  std::function<bool()> ready;
  std::function<void()> script;
  ULONGLONG deadline = 0;
  UINT_PTR timer = 0;
} insideModal;

void CALLBACK InsideModalTick(HWND, UINT, UINT_PTR, DWORD) {
  bool ready = false;
  try {
    ready = insideModal.ready();
  } catch (...) {
  }
  if (!ready && GetTickCount64() < insideModal.deadline) return;
  KillTimer(nullptr, insideModal.timer);
  insideModal.timer = 0;
  if (!ready) {
    ADD_FAILURE() << "the modal form did not become ready";
    return;
  }
  auto script = std::move(insideModal.script);
  try {
    script();
  } catch (...) {
    ADD_FAILURE() << "the script inside the modal loop threw";
  }
}

}  // namespace

void RunInsideModal(std::function<bool()> ready, std::function<void()> script, int timeoutMs) {
  if (insideModal.timer) KillTimer(nullptr, insideModal.timer);
  insideModal.ready = std::move(ready);
  insideModal.script = std::move(script);
  insideModal.deadline = GetTickCount64() + timeoutMs;
  insideModal.timer = SetTimer(nullptr, 0, 10, InsideModalTick);
}

UINT ModalInfo::Flags() const {
  UINT flags = icon;
  auto has = [&](int id) { return std::find(buttons.begin(), buttons.end(), id) != buttons.end(); };
  if (has(IDYES) && has(IDNO))
    flags |= has(IDCANCEL) ? MB_YESNOCANCEL : MB_YESNO;
  else if (has(IDOK) && has(IDCANCEL))
    flags |= MB_OKCANCEL;
  int position = 0;
  for (size_t i = 0; i < buttons.size(); ++i)
    if (buttons[i] == defaultButton) position = static_cast<int>(i);
  flags |= position == 1 ? MB_DEFBUTTON2 : position == 2 ? MB_DEFBUTTON3 : 0;
  return flags;
}

ModalInfo ReadModal(HWND dialog) {
  ModalInfo info;
  info.caption = WindowText(dialog);
  struct Icons {
    HICON hand = LoadIcon(nullptr, IDI_HAND), question = LoadIcon(nullptr, IDI_QUESTION),
          exclamation = LoadIcon(nullptr, IDI_EXCLAMATION),
          asterisk = LoadIcon(nullptr, IDI_ASTERISK);
  } icons;
  std::vector<std::pair<int, HWND>> buttons;
  for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child)) continue;
    std::string kind = ClassOf(child);
    LONG style = GetWindowLongA(child, GWL_STYLE);
    if (kind == "Static" || kind == "STATIC") {
      if ((style & SS_TYPEMASK) == SS_ICON) {
        HICON icon = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
        info.icon = icon == icons.hand          ? MB_ICONHAND
                    : icon == icons.question    ? MB_ICONQUESTION
                    : icon == icons.exclamation ? MB_ICONEXCLAMATION
                    : icon == icons.asterisk    ? MB_ICONASTERISK
                                                : 0xFFFF;
      } else if (info.text.size() < WindowText(child).size()) {
        info.text = WindowText(child);
      }
    } else if (kind == "Button" || kind == "BUTTON") {
      int id = GetDlgCtrlID(child);
      buttons.emplace_back(id, child);
      if ((style & 0x0F) == BS_DEFPUSHBUTTON) info.defaultButton = id;
    }
  }
  // Buttons in the order they stand, left to right.
  std::sort(buttons.begin(), buttons.end(), [](auto& a, auto& b) {
    RECT ra, rb;
    GetWindowRect(a.second, &ra);
    GetWindowRect(b.second, &rb);
    return ra.left < rb.left;
  });
  for (auto& button : buttons) info.buttons.push_back(button.first);
  return info;
}

ModalWatcher::ModalWatcher(DWORD processId) : processId_(processId) {
  thread_ = std::thread([this] { Run(); });
}

ModalWatcher::~ModalWatcher() {
  stop_ = true;
  thread_.join();
}

void ModalWatcher::Expect(Action action) {
  std::lock_guard<std::mutex> lock(mutex_);
  pending_.push_back(std::move(action));
}

bool ModalWatcher::WaitAllAnswered(int timeoutMs) {
  return PumpUntil(
      [this] {
        std::lock_guard<std::mutex> lock(mutex_);
        return pending_.empty();
      },
      timeoutMs);
}

bool ModalWatcher::PressAndClick(WORD key, std::initializer_list<int> buttons) {
  for (int button : buttons) Expect(Click(button));
  PressKey(key);
  return WaitAllAnswered();
}

std::vector<ModalInfo> ModalWatcher::Seen() {
  std::lock_guard<std::mutex> lock(mutex_);
  return seen_;
}

void ModalWatcher::Run() {
  while (!stop_) {
    Action action;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (!pending_.empty()) action = pending_.front();
    }
    HWND dialog = action ? FindModalDialog(processId_, answered_) : nullptr;
    if (!dialog) {
      Sleep(10);  // polling for a window that another thread creates
      continue;
    }
    ModalInfo info = ReadModal(dialog);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      seen_.push_back(info);
    }
    action(dialog);
    answered_.push_back(dialog);
    // The window is gone (or hidden) before the next one is looked for.
    for (int i = 0; i < 500 && IsWindow(dialog) && IsWindowVisible(dialog); ++i) Sleep(10);
    std::lock_guard<std::mutex> lock(mutex_);
    pending_.erase(pending_.begin());
  }
}

ModalWatcher::Action ModalWatcher::Click(int buttonId) {
  return [buttonId](HWND dialog) {
    HWND button = GetDlgItem(dialog, buttonId);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
  };
}

ModalWatcher::Action ModalWatcher::PressEnter() {
  return [](HWND dialog) {
    SetForegroundWindow(dialog);
    Send({KeyInput(VK_RETURN, false), KeyInput(VK_RETURN, true)});
  };
}

ModalWatcher::Action ModalWatcher::ChooseFile(const std::wstring& path) {
  return [path](HWND dialog) {
    // The dialog fills its controls after it shows; wait for the file-name box.
    HWND name = nullptr;
    for (int i = 0; i < 500 && !(name = GetDlgItem(dialog, 1148)); ++i) Sleep(10);
    if (!name) name = GetDlgItem(dialog, 1152);
    SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  };
}

ModalWatcher::Action ModalWatcher::Cancel() {
  return [](HWND dialog) { PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); };
}

BriefHold::BriefHold(const std::wstring& path) {
  HANDLE holding = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  holder_ = std::thread([path, holding] {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    SetEvent(holding);
    Sleep(300);
    CloseHandle(file);
  });
  WaitForSingleObject(holding, INFINITE);
  CloseHandle(holding);
}

TempFolder::TempFolder(const std::wstring& name) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  // Process ids come round again, so a folder of that name may be left from an earlier run:
  // only a folder made here is taken.
  static int counter = 0;
  do {
    root_ = std::wstring(temp) + L"quorvel-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
            std::to_wstring(++counter) + L"\\";
  } while (!CreateDirectoryW(root_.c_str(), nullptr) && GetLastError() == ERROR_ALREADY_EXISTS);
  path_ = root_;
  if (name != L"quorvel") {
    path_ += name + L"\\";
    CreateDirectoryW(path_.c_str(), nullptr);
  }
}

TempFolder::~TempFolder() {
  // The file-open dialog makes the chosen folder the current one, which cannot be removed.
  std::wstring current(GetCurrentDirectoryW(0, nullptr), L'\0');
  current.resize(GetCurrentDirectoryW(static_cast<DWORD>(current.size()), current.data()));
  if (lstrcmpiW((current + L"\\").substr(0, root_.size()).c_str(), root_.c_str()) == 0) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    SetCurrentDirectoryW(temp);
  }
  RemoveTree(root_);
}

std::wstring TempFolder::Write(const std::wstring& name, const std::string& bytes) const {
  WriteFileBytes(path_ + name, bytes);
  return path_ + name;
}

std::wstring TempFolder::MakeFolders(const std::wstring& relative) const {
  for (size_t at = 0; at != std::wstring::npos; at = relative.find(L'\\', at + 1)) {
    std::wstring level = path_ + relative.substr(0, relative.find(L'\\', at + 1));
    if (!CreateDirectoryW(platform::CallablePath(level).c_str(), nullptr)) return std::wstring();
  }
  return path_ + relative + L"\\";
}

std::string TempFolder::Read(const std::wstring& name) const { return ReadFileBytes(path_ + name); }

std::string Ansi(const std::wstring& text) { return platform::WideToAnsi(text); }

std::wstring Wide(const std::string& text) { return platform::AnsiToWide(text); }

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

std::string ReadFileBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<missing>";
  std::string bytes(GetFileSize(file, nullptr), '\0');
  DWORD read = 0;
  ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  bytes.resize(read);
  return bytes;
}

}  // namespace harness
