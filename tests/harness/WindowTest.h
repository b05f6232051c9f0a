#pragma once
// Window-test harness: real input through SendInput, message pumping with deadlines, and
// a watcher that answers modal windows (message boxes, the file-open dialog) from another
// thread while the tested code waits inside them.

#include <windows.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace harness {

// Pumps the application's messages until `condition` holds; false when the deadline passed.
bool PumpUntil(const std::function<bool()>& condition, int timeoutMs = 5000);
// Pumps until every queued message, the input included, has been handled.
void PumpIdle();

// Key input. Modifiers: any of VK_SHIFT, VK_CONTROL, VK_MENU held around the key.
void PressKey(WORD key, std::initializer_list<WORD> modifiers = {});
// A press of a key from any thread, without pumping: for threads that act as the user while
// the tested thread waits in a modal loop.
void SendKey(WORD key);
// Types single-byte text (letters, digits, blanks) key by key; a character that needs Shift
// comes as a character of its own (VK_PACKET), without a Shift press.
void TypeText(const std::string& text);
// A press (down and up) of a mouse button at a point of the screen.
void ClickAt(POINT screen, bool right = false);
// The left button going down, or coming up, at a point of the screen; with MoveTo between
// them, a drag.
void PressAt(POINT screen);
void ReleaseAt(POINT screen);
// Moves the mouse pointer to `screen`.
void MoveTo(POINT screen);
// The centre of a window, in screen coordinates.
POINT CentreOf(HWND window);

HWND FocusedWindow();

// Runs `script` on this thread from inside the modal loop of one of the program's own forms,
// once `ready` holds there: the test then drives the modal form key by key as usual. Gives
// up when `ready` has not held within the deadline.
void RunInsideModal(std::function<bool()> ready, std::function<void()> script,
                    int timeoutMs = 10000);

// What a modal window showed.
struct ModalInfo {
  std::string caption;
  std::string text;
  std::vector<int> buttons;  // control ids of the visible push buttons, in window order
  int defaultButton = 0;
  UINT icon = 0;  // MB_ICONHAND, MB_ICONQUESTION, MB_ICONEXCLAMATION, MB_ICONASTERISK
  // The MessageBox flags these amount to (buttons | icon | default button).
  UINT Flags() const;
};

// Answers the next modal windows of this process, one action per window, from its own
// thread. An action gets the window and returns after answering it.
class ModalWatcher {
 public:
  using Action = std::function<void(HWND dialog)>;
  // Watches the windows of the given process (by default this one).
  explicit ModalWatcher(DWORD processId = GetCurrentProcessId());
  ~ModalWatcher();
  void Expect(Action action);
  // Waits (pumping) until every expected window has been answered.
  bool WaitAllAnswered(int timeoutMs = 10000);
  // Presses `key` and clicks these buttons of the modal windows it brings, one each, in order;
  // true once all are answered.
  bool PressAndClick(WORD key, std::initializer_list<int> buttons);
  std::vector<ModalInfo> Seen();

  // Ready-made actions.
  static Action Click(int buttonId);
  static Action PressEnter();
  static Action ChooseFile(const std::wstring& path);
  static Action Cancel();

 private:
  void Run();
  std::thread thread_;
  std::mutex mutex_;
  std::vector<Action> pending_;
  std::vector<ModalInfo> seen_;
  std::vector<HWND> answered_;
  std::atomic<bool> stop_{false};
  DWORD processId_;
};

ModalInfo ReadModal(HWND dialog);

// A path or text as the program's messages and fields show it (ANSI), and back.
std::string Ansi(const std::wstring& text);
std::wstring Wide(const std::string& text);

// The bytes of a file, or "<missing>" when it cannot be opened.
std::string ReadFileBytes(const std::wstring& path);
// Creates or replaces a file with exactly these bytes; false when that fails.
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);

// Another program holding a file open without sharing it for 300 ms, as virus scanners and
// sync clients do; the hold is in place once this is made and over once it is destroyed.
class BriefHold {
 public:
  explicit BriefHold(const std::wstring& path);
  ~BriefHold() { holder_.join(); }

 private:
  std::thread holder_;
};

// A fresh folder under the temporary folder, removed with everything in it at the end. Its
// paths are UTF-16, as the program's own paths are.
class TempFolder {
 public:
  explicit TempFolder(const std::wstring& name = L"quorvel");
  ~TempFolder();
  const std::wstring& Path() const { return path_; }  // ends in "\"
  std::wstring Write(const std::wstring& name, const std::string& bytes) const;
  // Makes the folders of `relative` ("a\\b\\c"), level by level and at any length; their
  // full path, ending in "\\", or empty when a level could not be made.
  std::wstring MakeFolders(const std::wstring& relative) const;
  std::string Read(const std::wstring& name) const;

 private:
  std::wstring root_;  // the folder made for this object
  std::wstring path_;
};

}  // namespace harness
