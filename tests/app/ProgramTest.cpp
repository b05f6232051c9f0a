// Black-box runs of the built editor: every way of closing ends the process with code 0.

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <functional>
#include <span>

#include "platform/CodePage.h"
#include "platform/Files.h"
#include "tests/app/MainWindowDesign.h"
#include "tests/harness/WindowTest.h"

namespace {

PROCESS_INFORMATION Started(const std::wstring& exe) {
  PROCESS_INFORMATION process{};
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  std::wstring command = L"\"" + exe + L"\"";
  CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                 &process);
  return process;
}

struct Editor {
  PROCESS_INFORMATION process;
  HWND window = nullptr;
  harness::ModalWatcher watcher;  // answers the editor's modal windows

  explicit Editor(const std::wstring& exe = L"" QUORVEL_EXE)
      : process(Started(exe)), watcher(process.dwProcessId) {
    if (!process.hProcess) return;
    harness::PumpUntil(
        [this] {
          window = FindWindowA(nullptr, "Quorvel 1.02");
          DWORD pid = 0;
          if (window) GetWindowThreadProcessId(window, &pid);
          return window && pid == process.dwProcessId && GetForegroundWindow() == window;
        },
        15000);
  }
  ~Editor() {
    if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT)
      TerminateProcess(process.hProcess, 99);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  // The exit code once the process has ended, or -1 when it is still running at the deadline.
  long ExitCode() {
    if (!harness::PumpUntil(
            [this] { return WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0; }, 10000))
      return -1;
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    return static_cast<long>(code);
  }
};

// F12 ends the editor with exit code 0.
void Quit(Editor& editor) {
  harness::PressKey(VK_F12);
  EXPECT_EQ(editor.ExitCode(), 0);
}

void ExpectClosedWithCodeZero(const std::function<void(Editor&)>& close) {
  Editor editor;
  ASSERT_NE(editor.window, nullptr);
  close(editor);
  EXPECT_EQ(editor.ExitCode(), 0);
}

std::string EditorSettingsPath() {
  std::string exe = QUORVEL_EXE;
  return exe.substr(0, exe.size() - 4) + ".ini";
}

}  // namespace

// Runs of the built editor, each started with no settings file beside it; what a test's runs
// write there is removed at its end.
class Program : public testing::Test {
 protected:
  void SetUp() override { DeleteFileA(EditorSettingsPath().c_str()); }
  void TearDown() override { DeleteFileA(EditorSettingsPath().c_str()); }
};

TEST_F(Program, F12EndsTheProgramWithCodeZero) {
  ExpectClosedWithCodeZero([](Editor&) { harness::PressKey(VK_F12); });
}

TEST_F(Program, TheEndButtonEndsTheProgram) {
  ExpectClosedWithCodeZero([](Editor& editor) {
    RECT client;
    GetClientRect(editor.window, &client);
    POINT point{485 + 93 / 2, 196 + 29 / 2};
    ClientToScreen(editor.window, &point);
    harness::ClickAt(point);
  });
}

TEST_F(Program, TheCloseBoxEndsTheProgram) {
  ExpectClosedWithCodeZero([](Editor& editor) {
    // The close box is the rightmost button of the caption.
    RECT frame;
    GetWindowRect(editor.window, &frame);
    int border = GetSystemMetrics(SM_CXFIXEDFRAME);
    harness::ClickAt({frame.right - border - GetSystemMetrics(SM_CXSIZE) / 2,
                      frame.top + border + GetSystemMetrics(SM_CYCAPTION) / 2});
  });
}

TEST_F(Program, TheSystemMenuCloseEndsTheProgram) {
  ExpectClosedWithCodeZero(
      [](Editor& editor) { PostMessageA(editor.window, WM_SYSCOMMAND, SC_CLOSE, 0); });
}

TEST_F(Program, AltF4InAFieldDoesNotClose) {
  Editor editor;
  ASSERT_NE(editor.window, nullptr);
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
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
  Quit(editor);
}

namespace {

// A window's text read from outside its process (GetWindowText gives only a window's name
// there), in UTF-16 and turned into Shift-JIS by name, the same under any locale.
std::string ShownText(HWND window) {
  wchar_t text[256];
  int length = static_cast<int>(SendMessageW(window, WM_GETTEXT, sizeof text / sizeof text[0],
                                             reinterpret_cast<LPARAM>(text)));
  return platform::WideToAnsi({text, static_cast<size_t>(length > 0 ? length : 0)});
}

// The texts of the editor's fields, top to bottom, read from outside its process.
std::vector<std::string> FieldTexts(HWND window) {
  std::vector<std::pair<LONG, std::string>> fields;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    char kind[64];
    GetClassNameA(child, kind, sizeof kind);
    if (std::string(kind) != "QuorvelEdit" && std::string(kind) != "TComboBoxExVell") continue;
    RECT r;
    GetWindowRect(child, &r);
    fields.emplace_back(r.top, ShownText(child));
  }
  std::sort(fields.begin(), fields.end());
  std::vector<std::string> texts;
  for (auto& field : fields) texts.push_back(field.second);
  return texts;
}

// Opens the list of the editor's combo box `combo` with a click on its arrow and rests the
// pointer on its row `item` until the list highlights that row; `point` is where it rests.
void RestPointerOnRow(HWND combo, int item, POINT& point) {
  RECT box;
  GetWindowRect(combo, &box);
  // A press in the edit part first, so that a press on the arrow soon after an earlier one is
  // never taken for the second half of a double click.
  harness::ClickAt(harness::CentreOf(FindWindowExA(combo, nullptr, "Edit", nullptr)));
  harness::ClickAt({box.right - 6, (box.top + box.bottom) / 2});
  ASSERT_TRUE(
      harness::PumpUntil([&] { return SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0) != 0; }));
  int height = static_cast<int>(SendMessageA(combo, CB_GETITEMHEIGHT, 0, 0));
  point = {box.left + 10, box.bottom + 1 + height * item + height / 2};
  // The list is a window of its own, shown a little after the box reports it open. While
  // open it highlights the item under the pointer: once it does, a press there reaches it.
  HWND list = nullptr;
  ASSERT_TRUE(harness::PumpUntil([&] {
    char kind[64] = "";
    list = WindowFromPoint(point);
    GetClassNameA(list, kind, sizeof kind);
    return std::string(kind) == "ComboLBox";
  }));
  // A move to where the pointer already rests makes no mouse message, and one that comes before
  // the list tracks the pointer is lost: the pointer goes back and forth by a pixel inside the
  // row until the list has seen it there.
  POINT pointer{};
  int moves = 0;
  ASSERT_TRUE(harness::PumpUntil([&] {
    if (SendMessageA(list, LB_GETCURSEL, 0, 0) == item) return true;
    harness::MoveTo({point.x + moves++ % 2, point.y});
    GetCursorPos(&pointer);
    return false;
  })) << "the list highlights row "
      << SendMessageA(list, LB_GETCURSEL, 0, 0) << " with the pointer at " << pointer.x << ","
      << pointer.y << ", not at " << point.x << "," << point.y;
}

// Opens the list of the editor's field `field` (0-based, top to bottom; a combo box) with
// a click on its arrow and clicks its item `item`.
void PickFromList(HWND window, int field, int item) {
  std::vector<std::pair<LONG, HWND>> fields;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    char kind[64];
    GetClassNameA(child, kind, sizeof kind);
    RECT r;
    GetWindowRect(child, &r);
    if (std::string(kind) == "QuorvelEdit" || std::string(kind) == "TComboBoxExVell")
      fields.emplace_back(r.top, child);
  }
  std::sort(fields.begin(), fields.end());
  HWND combo = fields[field].second;
  POINT point;
  ASSERT_NO_FATAL_FAILURE(RestPointerOnRow(combo, item, point));
  harness::ClickAt(point);
  ASSERT_TRUE(harness::PumpUntil([&] { return SendMessageA(combo, CB_GETCURSEL, 0, 0) == item; }));
}

// Waits until the editor's main window is in front with the focus in one of its fields.
bool EditorReady(Editor& editor) {
  return harness::PumpUntil([&] {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(editor.process.dwThreadId, &info);
    return GetForegroundWindow() == editor.window && info.hwndFocus &&
           IsChild(editor.window, info.hwndFocus);
  });
}

// With the track-artist dialog in front: F12 closes it, and F12 ends the editor.
void CloseDialogAndQuit(Editor& editor) {
  harness::PressKey(VK_F12);
  ASSERT_TRUE(EditorReady(editor));
  Quit(editor);
}

void Replace(std::string& text, const std::string& from, const std::string& to) {
  size_t at = text.find(from);
  ASSERT_NE(at, std::string::npos) << from;
  text.replace(at, from.size(), to);
}

}  // namespace

// F5 in the editor and a confirmed choice of `title`; true once the editor is ready again.
bool LoadInEditor(Editor& editor, const std::wstring& title) {
  editor.watcher.Expect(harness::ModalWatcher::ChooseFile(title));
  harness::PressKey(VK_F5);
  return editor.watcher.WaitAllAnswered() && EditorReady(editor);
}

// A user's whole job: start, F5, pick title.txt, fill the six fields moving with Enter,
// F9, answer the box, F12; then start again and load the same album. Typed text in a
// combo box selects no item, so the disc is picked from its list with the mouse and the
// year keeps the current year that the list starts with.
TEST_F(Program, EndToEndTheAlbumIsSavedAndLoadedAgain) {
  harness::TempFolder album(L"アルバム");
  std::wstring title = album.Write(L"title.txt", "01 Intro.mp3\r\n");
  SYSTEMTIME now;
  GetLocalTime(&now);
  std::string year = std::to_string(now.wYear);
  {
    Editor editor;
    ASSERT_NE(editor.window, nullptr);
    ASSERT_TRUE(LoadInEditor(editor, title));
    // The folder has no metadata.txt: the window is reset, the genre emptied.
    ASSERT_TRUE(harness::PumpUntil([&] { return FieldTexts(editor.window)[4].empty(); }));
    for (std::string text : {"Summer Songs", "Various Artists", "Band", "", "J-POP"}) {
      harness::TypeText(text);
      harness::PressKey(VK_RETURN);
    }
    PickFromList(editor.window, 5, 1);
    ASSERT_TRUE(editor.watcher.PressAndClick(VK_F9, {IDOK}));
    ASSERT_EQ(editor.watcher.Seen().size(), 2u);
    EXPECT_EQ(editor.watcher.Seen()[1].text, "metadata.txtを保存しました。");
    ASSERT_TRUE(EditorReady(editor));
    Quit(editor);
  }
  std::string expected = harness::ReadFileBytes(L"" QUORVEL_TEST_DATA "/metadata/example.txt");
  expected.resize(expected.find("\r\n[ARTISTS]\r\n") + 13);
  Replace(expected, "\r\nARTIST=\r\n", "\r\nARTIST=Band\r\n");
  Replace(expected, "\r\nYEAR=2025\r\n", "\r\nYEAR=" + year + "\r\n");
  Replace(expected, "\r\nDISCNUMBER= 1\r\n", "\r\nDISCNUMBER= 2\r\n");
  EXPECT_EQ(album.Read(L"metadata.txt"), expected);

  Editor again;
  ASSERT_NE(again.window, nullptr);
  ASSERT_TRUE(LoadInEditor(again, title));
  const std::vector<std::string> fields{"Summer Songs", "Various Artists", "Band",
                                        year,           "J-POP",           " 2"};
  EXPECT_TRUE(harness::PumpUntil([&] { return FieldTexts(again.window) == fields; }));
  EXPECT_EQ(FieldTexts(again.window), fields);
  Quit(again);
}

namespace {

// The album field's text, read from outside the editor's process.
std::string AlbumText(Editor& editor) { return FieldTexts(editor.window)[0]; }

}  // namespace

TEST_F(Program, AfterTheWarningOfF9TypingGoesOnWhereTheCaretWas) {
  Editor editor;
  ASSERT_NE(editor.window, nullptr);
  ASSERT_TRUE(EditorReady(editor));
  harness::TypeText("ac");
  harness::PressKey(VK_LEFT);
  ASSERT_TRUE(harness::PumpUntil([&] { return AlbumText(editor) == "ac"; }));
  ASSERT_TRUE(editor.watcher.PressAndClick(VK_F9, {IDOK}));
  ASSERT_EQ(editor.watcher.Seen().size(), 1u);
  EXPECT_EQ(editor.watcher.Seen()[0].text, "先にtitle.txtを開いてください。");
  ASSERT_TRUE(EditorReady(editor));
  harness::TypeText("b");
  EXPECT_TRUE(harness::PumpUntil([&] { return AlbumText(editor) == "abc"; }));
  EXPECT_EQ(AlbumText(editor), "abc");
  Quit(editor);
}

// A hidden metadata.txt whose title holds C0 80 (the character U+0000) stays hidden and
// keeps all three entries through a load, a save, a second load and a second save.
TEST_F(Program, ASavedFileKeepsItsHiddenAttributeAndEveryEntry) {
  harness::TempFolder album(L"album");
  std::wstring title = album.Write(L"title.txt", "Song\r\n");
  const std::string entries = "[ARTISTS]\r\nSong\xC0\x80x=Guest\r\nOther=B\r\nThird=C\r\n";
  std::wstring metadata = album.Write(L"metadata.txt", "ALBUM=A\r\n" + entries);
  ASSERT_TRUE(SetFileAttributesW(metadata.c_str(), FILE_ATTRIBUTE_HIDDEN));
  Editor editor;
  ASSERT_NE(editor.window, nullptr);
  for (int round = 1; round <= 2; ++round) {
    SCOPED_TRACE(round);
    ASSERT_TRUE(LoadInEditor(editor, title));
    ASSERT_TRUE(harness::PumpUntil([&] { return AlbumText(editor) == "A"; }));
    ASSERT_TRUE(editor.watcher.PressAndClick(VK_F9, {IDYES, IDOK}));
    ASSERT_TRUE(EditorReady(editor));
    std::string saved = album.Read(L"metadata.txt");
    EXPECT_NE(saved.find("\r\n" + entries), std::string::npos) << saved;
    EXPECT_EQ(saved.find('\0'), std::string::npos);
    DWORD attributes = GetFileAttributesW(metadata.c_str());
    EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN);
  }
  EXPECT_EQ(editor.watcher.Seen().back().text, "metadata.txtを保存しました。");
  Quit(editor);
}

namespace {

// After one load: F9 over the album's metadata.txt, Yes, the saved notice, then F12.
void SaveOverAndQuit(Editor& editor) {
  ASSERT_TRUE(editor.watcher.PressAndClick(VK_F9, {IDYES, IDOK}));
  ASSERT_EQ(editor.watcher.Seen().size(), 3u);
  EXPECT_EQ(editor.watcher.Seen()[1].text, "上書きしますか？");
  EXPECT_EQ(editor.watcher.Seen()[2].text, "metadata.txtを保存しました。");
  ASSERT_TRUE(EditorReady(editor));
  Quit(editor);
}

}  // namespace

// Names with characters that code page 932 lacks, and keys the editor does not edit, in a file
// another tool wrote: F5, F9, Yes writes them back unchanged, only in the editor's own layout.
TEST_F(Program, EndToEndCharactersTheCodePageLacksAndOtherKeysSurviveALoadAndASave) {
  harness::TempFolder album(L"アルバム");
  album.Write(L"metadata.txt",
              "# written by another tool\n"
              " COMMENT = Caf\xC3\xA9 \nGENRE=M\xC3\xBAsica\nALBUM=Caf\xC3\xA9 Songs\n"
              "ALBUMARTIST=Mot\xC3\xB6rhead\ncomposer=Sigur R\xC3\xB3s\nARTIST=Beyonc\xC3\xA9\n"
              "[Extra]\nTRACKTOTAL=2\nDISCNUMBER=1\nYEAR=2025\n[ARTISTS]\n"
              "Intro=Sigur R\xC3\xB3s\n\xE5\xA4\x9C\xE6\x98\x8E\xE3\x81\x91=Zo\xC3\xAB\n");
  std::wstring title = album.Write(L"title.txt", "01 Intro.mp3\r\n");
  Editor editor;
  ASSERT_NE(editor.window, nullptr);
  ASSERT_TRUE(LoadInEditor(editor, title));
  // The window shows the platform's look-alikes.
  const std::vector<std::string> fields{"Cafe Songs", "Motorhead", "Beyonce",
                                        "2025",       "Musica",    " 1"};
  EXPECT_TRUE(harness::PumpUntil([&] { return FieldTexts(editor.window) == fields; }));
  ASSERT_NO_FATAL_FAILURE(SaveOverAndQuit(editor));
  std::string expected =
      harness::ReadFileBytes(L"" QUORVEL_TEST_DATA "/metadata/outside-code-page.txt");
  Replace(expected, "\r\nDISCNUMBER= 1\r\n",
          "\r\nDISCNUMBER= 1\r\nCOMMENT = Caf\xC3\xA9\r\ncomposer=Sigur R\xC3\xB3s\r\n"
          "TRACKTOTAL=2\r\n");
  EXPECT_EQ(album.Read(L"metadata.txt"), expected);
}

// The window's texts, a Japanese album's load and its save are the same whatever the system's
// language setting (this test runs under code page 932 and under 1252).
TEST_F(Program, TheTextsAndAJapaneseAlbumAreTheSameUnderAnyLocale) {
  harness::TempFolder album(L"アルバム");
  std::string file = harness::ReadFileBytes(L"" QUORVEL_TEST_DATA "/metadata/example.txt");
  file.resize(file.find("\r\n[ARTISTS]\r\n") + 13);
  // 夜明けの歌 in UTF-8, as the file holds it.
  Replace(file, "\r\nALBUM=Summer Songs\r\n",
          "\r\nALBUM=\xE5\xA4\x9C\xE6\x98\x8E\xE3\x81\x91\xE3\x81\xAE\xE6\xAD\x8C\r\n");
  album.Write(L"metadata.txt", file);
  std::wstring title = album.Write(L"title.txt", "01 Intro.mp3\r\n");
  Editor editor;
  ASSERT_NE(editor.window, nullptr);
  std::vector<std::pair<std::string, std::string>> shown, designed;
  for (HWND child = GetWindow(editor.window, GW_CHILD); child;
       child = GetWindow(child, GW_HWNDNEXT)) {
    char kind[64];
    GetClassNameA(child, kind, sizeof kind);
    if (std::string(kind) != "TComboBoxExVell") shown.emplace_back(kind, ShownText(child));
  }
  for (const DesignedControl& c : kMainWindowDesign)
    if (c.text) designed.emplace_back(c.kind, c.text);
  std::sort(shown.begin(), shown.end());
  std::sort(designed.begin(), designed.end());
  EXPECT_EQ(shown, designed);
  ASSERT_TRUE(LoadInEditor(editor, title));
  EXPECT_TRUE(harness::PumpUntil([&] { return AlbumText(editor) == "夜明けの歌"; }));
  ASSERT_NO_FATAL_FAILURE(SaveOverAndQuit(editor));
  EXPECT_EQ(album.Read(L"metadata.txt"), file);
}

namespace {

// The editor's year and disc boxes, top to bottom.
std::vector<HWND> ComboBoxes(HWND window) {
  std::vector<std::pair<LONG, HWND>> boxes;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    char kind[64];
    GetClassNameA(child, kind, sizeof kind);
    RECT r;
    GetWindowRect(child, &r);
    if (std::string(kind) == "TComboBoxExVell") boxes.emplace_back(r.top, child);
  }
  std::sort(boxes.begin(), boxes.end());
  std::vector<HWND> result;
  for (auto& box : boxes) result.push_back(box.second);
  return result;
}

// The visible drop-down list of the editor's process, if one is open.
HWND OpenList(DWORD processId) {
  struct Search {
    DWORD processId;
    HWND found = nullptr;
  } search{processId};
  EnumWindows(
      [](HWND window, LPARAM data) CALLBACK -> BOOL {
        auto* s = reinterpret_cast<Search*>(data);
        char kind[64] = "";
        GetClassNameA(window, kind, sizeof kind);
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (pid != s->processId || std::string(kind) != "ComboLBox" || !IsWindowVisible(window))
          return TRUE;
        s->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND EditorFocus(Editor& editor) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(editor.process.dwThreadId, &info);
  return info.hwndFocus;
}

}  // namespace

// The year and disc boxes are the system's own combo box: its class and style, a click
// taking an item, lists of seven and eight rows, Esc closing with the text shown at opening.
TEST_F(Program, TheYearAndDiscBoxesOpenTheirListsAndEscRestores) {
  Editor editor;
  ASSERT_NE(editor.window, nullptr);
  ASSERT_TRUE(EditorReady(editor));
  std::vector<HWND> boxes = ComboBoxes(editor.window);
  ASSERT_EQ(boxes.size(), 2u);
  for (HWND box : boxes) {
    // Wine's combo box drops WS_VSCROLL from the style it was created with.
    EXPECT_EQ((GetWindowLongA(box, GWL_STYLE) | WS_VSCROLL) & ~WS_VISIBLE, 0x44210202);
    EXPECT_TRUE(GetWindowLongA(box, GWL_STYLE) & WS_VISIBLE);
  }
  // A click on an item takes it. (The presses below are never on the same arrow twice in
  // a row, which would count as a double click.)
  PickFromList(editor.window, 5, 2);
  EXPECT_TRUE(harness::PumpUntil([&] { return ShownText(boxes[1]) == " 3"; }));
  struct Case {
    HWND box;
    int rows;
  };
  for (Case c : {Case{boxes[0], 7}, Case{boxes[1], 8}}) {
    std::string shown = ShownText(c.box);
    RECT r;
    GetWindowRect(c.box, &r);
    harness::ClickAt({r.right - 6, (r.top + r.bottom) / 2});
    HWND list = nullptr;
    ASSERT_TRUE(harness::PumpUntil([&] { return (list = OpenList(editor.process.dwProcessId)); }));
    RECT client;
    GetClientRect(list, &client);
    EXPECT_EQ(client.bottom / SendMessageA(c.box, CB_GETITEMHEIGHT, 0, 0), c.rows);
    // The pointer over another row moves the highlight; Esc brings the opening text back.
    POINT row{r.left + 10, r.bottom + 3 + static_cast<int>(client.bottom) - 4};
    harness::MoveTo(row);
    harness::PressKey(VK_ESCAPE);
    ASSERT_TRUE(
        harness::PumpUntil([&] { return SendMessageA(c.box, CB_GETDROPPEDSTATE, 0, 0) == 0; }));
    EXPECT_TRUE(harness::PumpUntil([&] { return ShownText(c.box) == shown; }));
    EXPECT_EQ(GetParent(EditorFocus(editor)), c.box);
  }
  Quit(editor);
}

// Typing is the keyboard's only way to set a year or disc: what was typed is saved.
TEST_F(Program, ATypedYearAndDiscNumberAreSaved) {
  harness::TempFolder album(L"typed");
  std::wstring title = album.Write(L"title.txt", "01 Intro.mp3\r\n");
  Editor editor;
  ASSERT_NE(editor.window, nullptr);
  ASSERT_TRUE(LoadInEditor(editor, title));
  // Entered from the keyboard, the boxes' texts are selected, so typing replaces them.
  for (std::string text : {"Album", "Artists", "Band", "1998", "Rock"}) {
    harness::TypeText(text);
    harness::PressKey(VK_RETURN);
  }
  harness::TypeText("3");
  ASSERT_TRUE(editor.watcher.PressAndClick(VK_F9, {IDOK}));
  ASSERT_EQ(editor.watcher.Seen().size(), 2u);
  EXPECT_EQ(editor.watcher.Seen()[1].text, "metadata.txtを保存しました。");
  std::string saved = album.Read(L"metadata.txt");
  EXPECT_NE(saved.find("\r\nYEAR=1998\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("\r\nDISCNUMBER= 3\r\n"), std::string::npos) << saved;
  ASSERT_TRUE(EditorReady(editor));
  Quit(editor);
}

// With the pointer resting on another row of the open year list, F9 saves the year that the
// box shows once the list has closed: the opening year after Esc, a click elsewhere or Tab
// (which takes the focus out of the box), the row's year after Enter.
TEST_F(Program, TheYearBoxSavesTheYearItShowsAfterItsListClosed) {
  harness::TempFolder album(L"year");
  std::wstring title = album.Write(L"title.txt", "01 Intro.mp3\r\n");
  Editor editor;
  ASSERT_NE(editor.window, nullptr);
  ASSERT_TRUE(LoadInEditor(editor, title));
  HWND year = ComboBoxes(editor.window)[0];
  POINT elsewhere{450, 97};  // the window's background, right of the year box
  ClientToScreen(editor.window, &elsewhere);
  struct Case {
    const char* name;
    std::function<void()> close;
    bool takesRow;
  };
  const Case cases[] = {{"Esc", [] { harness::PressKey(VK_ESCAPE); }, false},
                        {"Enter", [] { harness::PressKey(VK_RETURN); }, true},
                        {"click elsewhere", [&] { harness::ClickAt(elsewhere); }, false},
                        {"Tab", [] { harness::PressKey(VK_TAB); }, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DeleteFileW((album.Path() + L"metadata.txt").c_str());
    std::string opening = ShownText(year);
    // The pointer rests two rows below the shown year, wrapping round.
    int shownRow = static_cast<int>(
        SendMessageA(year, CB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(opening.c_str())));
    int row = (shownRow + 2) % static_cast<int>(SendMessageA(year, CB_GETCOUNT, 0, 0));
    POINT rest;
    ASSERT_NO_FATAL_FAILURE(RestPointerOnRow(year, row, rest));
    c.close();
    ASSERT_TRUE(harness::PumpUntil([&] {
      return SendMessageA(year, CB_GETDROPPEDSTATE, 0, 0) == 0 &&
             (c.takesRow ? SendMessageA(year, CB_GETCURSEL, 0, 0) == row
                         : ShownText(year) == opening);
    }));
    std::string shown = ShownText(year);
    ASSERT_TRUE(editor.watcher.PressAndClick(VK_F9, {IDOK}));
    ASSERT_TRUE(EditorReady(editor));
    std::string saved = album.Read(L"metadata.txt");
    EXPECT_NE(saved.find("\r\nYEAR=" + shown + "\r\n"), std::string::npos) << saved;
  }
  Quit(editor);
}

// After F9 the year and disc boxes show what metadata.txt holds: a release date and a disc of
// a set that another tool wrote, left alone; full-width digits from the input method; and F9
// while the year list is open with the pointer resting on another row.
TEST_F(Program, EndToEndTheYearAndDiscBoxesShowWhatF9Saved) {
  harness::TempFolder album(L"forms");
  album.Write(L"metadata.txt", "YEAR=2024-03-15\r\nDISCNUMBER=1/2\r\n");
  std::wstring title = album.Write(L"title.txt", "01 Intro.mp3\r\n");
  Editor editor;
  ASSERT_NE(editor.window, nullptr);
  ASSERT_TRUE(LoadInEditor(editor, title));
  std::vector<HWND> boxes = ComboBoxes(editor.window);
  ASSERT_EQ(boxes.size(), 2u);
  auto savedAsShown = [&](const std::string& year, const std::string& disc) {
    if (platform::FileExists(album.Path() + L"metadata.txt"))
      editor.watcher.Expect(harness::ModalWatcher::Click(IDYES));
    ASSERT_TRUE(editor.watcher.PressAndClick(VK_F9, {IDOK}));
    ASSERT_TRUE(EditorReady(editor));
    EXPECT_EQ(ShownText(boxes[0]), year);
    EXPECT_EQ(ShownText(boxes[1]), disc);
    std::string saved = album.Read(L"metadata.txt");
    EXPECT_NE(saved.find("\r\nYEAR=" + year + "\r\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("\r\nDISCNUMBER=" + disc + "\r\n"), std::string::npos) << saved;
  };
  ASSERT_NO_FATAL_FAILURE(savedAsShown("2024-03-15", "1/2"));
  // The input method's result arrives inside the box's edit part.
  for (auto [box, digits] :
       {std::pair{boxes[0], L"\uFF11\uFF19\uFF19\uFF19"}, {boxes[1], L"\uFF13"}}) {
    HWND edit = FindWindowExA(box, nullptr, "Edit", nullptr);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(digits));
  }
  ASSERT_NO_FATAL_FAILURE(savedAsShown("1999", " 3"));
  // No question to answer this time: its box would take the focus and so close the list.
  DeleteFileW((album.Path() + L"metadata.txt").c_str());
  int row = static_cast<int>(SendMessageA(boxes[0], CB_GETCURSEL, 0, 0)) + 2;
  POINT rest;
  ASSERT_NO_FATAL_FAILURE(RestPointerOnRow(boxes[0], row, rest));
  ASSERT_NO_FATAL_FAILURE(savedAsShown("1999", " 3"));
  Quit(editor);
}

namespace {

// Waits until the focus of the editor is in a window of class `kind` inside `dialog`, with the
// dialog in front.
bool FocusInDialog(Editor& editor, HWND dialog, const std::string& kind) {
  return harness::PumpUntil([&] {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(editor.process.dwThreadId, &info);
    char name[64] = "";
    GetClassNameA(info.hwndFocus, name, sizeof name);
    return GetForegroundWindow() == dialog && IsChild(dialog, info.hwndFocus) && name == kind;
  });
}

// The editor's track-artist dialog once it is in front with the focus in its title list.
HWND TrackArtistDialog(Editor& editor) {
  HWND dialog = nullptr;
  harness::PumpUntil([&] {
    dialog = FindWindowW(nullptr, L"曲別参加アーティスト");
    return dialog && IsWindowVisible(dialog);
  });
  if (dialog) FocusInDialog(editor, dialog, "QuorvelComboBox");
  return dialog && IsWindowVisible(dialog) ? dialog : nullptr;
}

std::string ChildText(HWND window, const std::string& kind) {
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    char name[64];
    GetClassNameA(child, name, sizeof name);
    if (name != kind) continue;
    return ShownText(child);
  }
  return "<none>";
}

// F5 with a confirmed choice of `title`, then F6: the track-artist dialog, or nullptr.
HWND OpenTrackArtists(Editor& editor, const std::wstring& title) {
  if (!LoadInEditor(editor, title)) return nullptr;
  harness::PressKey(VK_F6);
  return TrackArtistDialog(editor);
}

// Selects a title by typing its first letter in the list, as a user of the keyboard does.
bool ShowsArtist(HWND dialog, char letter, const std::string& title, const std::string& artist) {
  harness::TypeText(std::string(1, letter));
  return harness::PumpUntil([&] {
    return ChildText(dialog, "QuorvelComboBox") == title &&
           ChildText(dialog, "QuorvelEdit") == artist;
  });
}

// With the track-artist dialog showing: F12 closes it, F9 saves a new metadata.txt (one box,
// the saved message) and F12 ends the editor.
void CloseSaveAndQuit(Editor& editor) {
  harness::PressKey(VK_F12);
  ASSERT_TRUE(EditorReady(editor));
  ASSERT_TRUE(editor.watcher.PressAndClick(VK_F9, {IDOK}));
  ASSERT_TRUE(EditorReady(editor));
  Quit(editor);
}

// With the track-artist dialog showing: F12 closes it, and F9 overwrites metadata.txt (Yes,
// then OK on the saved message).
void CloseAndOverwrite(Editor& editor) {
  harness::PressKey(VK_F12);
  ASSERT_TRUE(EditorReady(editor));
  ASSERT_TRUE(editor.watcher.PressAndClick(VK_F9, {IDYES, IDOK}));
}

::testing::AssertionResult EndsWith(const std::string& text, const std::string& tail) {
  if (text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0)
    return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "the file ends otherwise:\n" << text;
}

}  // namespace

// A user records the guests of two tracks: F6, a register for each, F12, F9; metadata.txt
// holds them in order, and after a new start F5 and F6 show them again.
TEST_F(Program, EndToEndTrackArtistsAreSavedAndShownAgain) {
  harness::TempFolder album(L"album");
  std::wstring title =
      album.Write(L"title.txt", "01 Intro.mp3\r\n02 Second Song.mp3\r\n03 Last Song.wav\r\n");
  {
    Editor editor;
    ASSERT_NE(editor.window, nullptr);
    HWND dialog = OpenTrackArtists(editor, title);
    ASSERT_NE(dialog, nullptr);
    EXPECT_FALSE(IsWindowEnabled(editor.window));
    ASSERT_TRUE(ShowsArtist(dialog, 's', "Second Song", ""));
    harness::PressKey(VK_DOWN);
    harness::TypeText("Guest A");
    harness::PressKey(VK_F9);
    harness::PressKey(VK_RETURN);
    ASSERT_TRUE(ShowsArtist(dialog, 'l', "Last Song", ""));
    harness::PressKey(VK_DOWN);
    harness::TypeText("Guest B & Guest C");
    harness::PressKey(VK_F9);
    ASSERT_NO_FATAL_FAILURE(CloseSaveAndQuit(editor));
  }
  EXPECT_TRUE(EndsWith(album.Read(L"metadata.txt"),
                       "\r\n[ARTISTS]\r\nSecond Song=Guest A\r\nLast Song=Guest B & Guest C\r\n"));

  Editor again;
  ASSERT_NE(again.window, nullptr);
  HWND dialog = OpenTrackArtists(again, title);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(ChildText(dialog, "QuorvelEdit"), "");  // Intro has no guest
  EXPECT_TRUE(ShowsArtist(dialog, 's', "Second Song", "Guest A"));
  EXPECT_TRUE(ShowsArtist(dialog, 'l', "Last Song", "Guest B & Guest C"));
  ASSERT_NO_FATAL_FAILURE(CloseDialogAndQuit(again));
}

// An artist registered for a title of a UTF-8 title.txt that the code page cannot show is
// saved under the title as the track list spells it.
TEST_F(Program, EndToEndATrackArtistIsSavedUnderTheTitlesOriginalCharacters) {
  harness::TempFolder album(L"album");
  std::wstring title = album.Write(L"title.txt", "01 Caf\xC3\xA9.mp3\r\n02 Intro.mp3\r\n");
  Editor editor;
  ASSERT_NE(editor.window, nullptr);
  HWND dialog = OpenTrackArtists(editor, title);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(ChildText(dialog, "QuorvelComboBox"), "Cafe");  // the platform's look-alike
  harness::PressKey(VK_DOWN);
  harness::TypeText("Guest");
  harness::PressKey(VK_F9);
  ASSERT_NO_FATAL_FAILURE(CloseSaveAndQuit(editor));
  EXPECT_TRUE(EndsWith(album.Read(L"metadata.txt"), "\r\n[ARTISTS]\r\nCaf\xC3\xA9=Guest\r\n"));
}

namespace {

// The items of the track-artist dialog's title list, read across processes in UTF-16.
std::vector<std::string> ListedTitles(HWND dialog) {
  HWND list = FindWindowExA(dialog, nullptr, "QuorvelComboBox", nullptr);
  std::vector<std::string> titles;
  for (LRESULT i = 0, count = SendMessageW(list, CB_GETCOUNT, 0, 0); i < count; ++i) {
    std::wstring text(SendMessageW(list, CB_GETLBTEXTLEN, i, 0) + 1, L'\0');
    text.resize(SendMessageW(list, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data())));
    titles.push_back(harness::Ansi(text));
  }
  return titles;
}

}  // namespace

// The program in a folder named with characters the code page lacks, and albums in such
// folders and in one whose path is longer than MAX_PATH: F5 shows each album's values, F6
// lists its titles and F9 writes into its folder. A settings file in the code page is read
// and written as before; after a new start, F5 opens in the last album's folder.
TEST_F(Program, EndToEndAnyFolderNameHoldsTheProgramAndItsAlbums) {
  harness::TempFolder program(L"Zo\u00EB \uAE40\uBBFC\uC218 apps"), albums(L"albums");
  const std::wstring exe = program.Path() + L"Quorvel.exe", ini = program.Path() + L"Quorvel.ini";
  ASSERT_TRUE(CopyFileW(L"" QUORVEL_EXE, exe.c_str(), FALSE));
  std::wstring deep = L"long";
  for (wchar_t kana = L'\u30A2'; kana < L'\u30A2' + 8; ++kana)
    deep += L"\\" + std::wstring(36, kana);
  const std::wstring names[] = {
      L"ソ表",
      deep,
      L"Sigur R\u00F3s \u2013 \u00C1g\u00E6tis byrjun",
      L"ベスト\u301CBest of\u301C",
      L"\u30AB\u3099\u30FC\u30EB\u30B9\u3099\u30FB\u30C6\u3099\u30D2\u3099\u30E5\u30FC",
      L"\uBC29\uD0C4\uC18C\uB144\uB2E8 - Map of the Soul"};
  std::vector<std::wstring> folders;
  for (const std::wstring& name : names) {
    folders.push_back(albums.MakeFolders(name));
    ASSERT_FALSE(folders.back().empty());
    std::string number = std::to_string(folders.size());
    harness::WriteFileBytes(platform::CallablePath(folders.back() + L"title.txt"),
                            "01 Intro.mp3\r\n02 Song " + number + ".mp3\r\n");
    ASSERT_TRUE(harness::WriteFileBytes(platform::CallablePath(folders.back() + L"metadata.txt"),
                                        "ALBUM=Album " + number + "\r\n"));
  }
  ASSERT_GT(folders[1].size(), static_cast<size_t>(MAX_PATH));
  const std::string sjisSettings = "[Settings]\r\nLastFolder=" + harness::Ansi(folders[0]) + "\r\n";
  harness::WriteFileBytes(ini, sjisSettings);
  {
    Editor editor(exe);
    ASSERT_NE(editor.window, nullptr);
    for (size_t i = 0; i < folders.size(); ++i) {
      SCOPED_TRACE(harness::Ansi(folders[i]));
      std::string number = std::to_string(i + 1);
      // The first album is found by its name alone, in the folder the settings name.
      ASSERT_TRUE(LoadInEditor(editor, i == 0 ? L"title.txt" : folders[i] + L"title.txt"));
      EXPECT_TRUE(harness::PumpUntil([&] { return AlbumText(editor) == "Album " + number; }));
      if (i == 0) {
        EXPECT_EQ(harness::ReadFileBytes(ini), sjisSettings);
      }
      harness::PressKey(VK_F6);
      HWND dialog = TrackArtistDialog(editor);
      ASSERT_NE(dialog, nullptr);
      EXPECT_EQ(ListedTitles(dialog), (std::vector<std::string>{"Intro", "Song " + number}));
      ASSERT_NO_FATAL_FAILURE(CloseAndOverwrite(editor));
      EXPECT_EQ(editor.watcher.Seen().back().text, "metadata.txtを保存しました。");
      ASSERT_TRUE(EditorReady(editor));
      std::string saved =
          harness::ReadFileBytes(platform::CallablePath(folders[i] + L"metadata.txt"));
      EXPECT_EQ(saved.substr(0, 1), "#");
      EXPECT_NE(saved.find("\r\nALBUM=Album " + number + "\r\n"), std::string::npos);
    }
    Quit(editor);
  }
  EXPECT_EQ(harness::ReadFileBytes(ini).substr(0, 2), "\xFF\xFE");
  Editor again(exe);
  ASSERT_NE(again.window, nullptr);
  ASSERT_TRUE(LoadInEditor(again, L"title.txt"));
  EXPECT_TRUE(harness::PumpUntil([&] { return AlbumText(again) == "Album 6"; }));
  Quit(again);
}

// A file with characters beyond the basic plane and decomposed kana, and track lists as
// spreadsheets and Macs write them: F5 and F9 keep every line byte for byte, F6 lists every
// title composed and without the tab, and an artist registered for the emoji title is written
// under the title's own characters.
TEST_F(Program, EndToEndEmojiDecomposedKanaTabsAndUtf16TrackListsAreKept) {
  harness::TempFolder album(L"album"), unicode(L"unicode");
  const std::string stored =
      harness::ReadFileBytes(L"" QUORVEL_TEST_DATA "/metadata/beyond-code-page.txt");
  album.Write(L"metadata.txt", stored);
  std::wstring title = album.Write(L"title.txt",
                                   "01 Emoji \xF0\x9F\x98\x80.mp3\r\n02 "
                                   "\xE5\xA4\x9C\xE6\x98\x8E\xE3\x81\x91.mp3\r\n03 Plain.mp3\r\n"
                                   "04\t\xE3\x82\xAB\xE3\x82\x99\xE3\x83\xBC\xE3\x83\xAB.mp3\r\n");
  const std::wstring utf16 =
      L"\xFEFF"
      L"01\tIntro.mp3\r\n02\t\tOutro.mp3\r\n";
  std::wstring unicodeTitle = unicode.Write(
      L"title.txt", std::string(reinterpret_cast<const char*>(utf16.data()), utf16.size() * 2));
  Editor editor;
  ASSERT_NE(editor.window, nullptr);
  HWND dialog = OpenTrackArtists(editor, title);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(AlbumText(editor), "Party ??");
  EXPECT_EQ(ListedTitles(dialog),
            (std::vector<std::string>{"Emoji ??", "夜明け", "Plain", "ガール"}));
  harness::PressKey(VK_DOWN);
  harness::TypeText("Guest E");
  harness::PressKey(VK_F9);
  ASSERT_NO_FATAL_FAILURE(CloseAndOverwrite(editor));
  EXPECT_EQ(album.Read(L"metadata.txt"), stored + "Emoji \xF0\x9F\x98\x80=Guest E\r\n");
  dialog = OpenTrackArtists(editor, unicodeTitle);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(ListedTitles(dialog), (std::vector<std::string>{"Intro", "Outro"}));
  ASSERT_NO_FATAL_FAILURE(CloseDialogAndQuit(editor));
}

// Titles whose line metadata.txt would not give back get the warning for their artist and are
// not written; "[Live] Song" with "Guest", registered by Enter on the focused register
// button, is written and shown again after a new start.
TEST_F(Program, EndToEndOnlyTrackArtistsThatReadBackAreRegistered) {
  harness::TempFolder album(L"album");
  std::wstring title = album.Write(L"title.txt", "=LOVE\r\n#好きなんだ\r\n[Live] Song\r\n");
  {
    Editor editor;
    ASSERT_NE(editor.window, nullptr);
    HWND dialog = OpenTrackArtists(editor, title);
    ASSERT_NE(dialog, nullptr);
    const struct {
      char letter;
      const char* title;
      const char* artist;
    } refused[] = {
        {'=', "=LOVE", "Guest"}, {'#', "#好きなんだ", "Guest"}, {'[', "[Live] Song", "Guest [JP]"}};
    for (const auto& r : refused) {
      SCOPED_TRACE(r.title);
      ASSERT_TRUE(ShowsArtist(dialog, r.letter, r.title, ""));
      harness::PressKey(VK_DOWN);
      harness::TypeText(r.artist);
      ASSERT_TRUE(editor.watcher.PressAndClick(VK_F9, {IDOK}));
      ASSERT_TRUE(FocusInDialog(editor, dialog, "QuorvelEdit"));
      EXPECT_EQ(ChildText(dialog, "QuorvelEdit"), r.artist);
      harness::PressKey(VK_UP);
    }
    const std::vector<harness::ModalInfo> seen = editor.watcher.Seen();
    ASSERT_EQ(seen.size(), 4u);  // the file-open dialog, then the three warnings
    for (size_t i = 1; i < seen.size(); ++i) {
      EXPECT_EQ(seen[i].caption, "警告");
      EXPECT_EQ(seen[i].text,
                "この曲名と参加アーティストは metadata.txt に保存すると正しく読み戻せないため、"
                "登録できません。");
      EXPECT_EQ(seen[i].buttons, std::vector<int>{IDOK});  // icons cannot be told from outside
    }
    // Entered from the title list, the field has its text selected: typing replaces it.
    harness::PressKey(VK_DOWN);
    harness::TypeText("Guest");
    harness::PressKey(VK_TAB);
    harness::PressKey(VK_RETURN);  // on 登録(F9)
    ASSERT_TRUE(FocusInDialog(editor, dialog, "QuorvelEdit"));
    ASSERT_NO_FATAL_FAILURE(CloseSaveAndQuit(editor));
  }
  EXPECT_TRUE(EndsWith(album.Read(L"metadata.txt"), "\r\n[ARTISTS]\r\n[Live] Song=Guest\r\n"));

  Editor again;
  ASSERT_NE(again.window, nullptr);
  HWND dialog = OpenTrackArtists(again, title);
  ASSERT_NE(dialog, nullptr);
  EXPECT_TRUE(ShowsArtist(dialog, '[', "[Live] Song", "Guest"));
  ASSERT_NO_FATAL_FAILURE(CloseDialogAndQuit(again));
}

// The dialog is owned by the main window, and the platform's close keystroke in the title
// list, where the focus is when it opens, closes the dialog and nothing else.
TEST_F(Program, TheTrackArtistDialogIsOwnedByTheMainWindowAndAltF4ClosesOnlyIt) {
  harness::TempFolder album(L"album");
  std::wstring title = album.Write(L"title.txt", "01 Intro.mp3\r\n");
  Editor editor;
  ASSERT_NE(editor.window, nullptr);
  HWND dialog = OpenTrackArtists(editor, title);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(GetWindow(dialog, GW_OWNER), editor.window);
  harness::PressKey(VK_F4, {VK_MENU});
  EXPECT_TRUE(harness::PumpUntil([&] { return !IsWindowVisible(dialog); }));
  ASSERT_TRUE(EditorReady(editor));
  EXPECT_TRUE(IsWindowEnabled(editor.window));
  Quit(editor);
}

namespace {

// The display scale that programs started from now on see: the prefix's LogPixels, as Windows'
// own setting; the one before comes back at the end.
class DisplayScale {
 public:
  explicit DisplayScale(DWORD dpi) {
    RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_ALL_ACCESS,
                    nullptr, &key_, nullptr);
    DWORD size = sizeof before_;
    had_ = RegQueryValueExA(key_, "LogPixels", nullptr, nullptr, reinterpret_cast<BYTE*>(&before_),
                            &size) == ERROR_SUCCESS;
    Set(dpi);
  }
  ~DisplayScale() {
    if (had_)
      Set(before_);
    else
      RegDeleteValueA(key_, "LogPixels");
    RegCloseKey(key_);
  }

 private:
  void Set(DWORD dpi) {
    RegSetValueExA(key_, "LogPixels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi),
                   sizeof dpi);
  }
  HKEY key_ = nullptr;
  DWORD before_ = 0;
  bool had_ = false;
};

// Every `kind` child of `window` at a designed rectangle scaled to `dpi`, within a pixel of
// rounding, and the client area too; read from outside the process.
void ExpectScaledLayout(HWND window, int dpi, SIZE client,
                        std::span<const DesignedControl> design) {
  auto scaled = [dpi](int length) { return MulDiv(length, dpi, 96); };
  RECT area;
  GetClientRect(window, &area);
  EXPECT_NEAR(area.right, scaled(client.cx), 1);
  EXPECT_NEAR(area.bottom, scaled(client.cy), 1);
  for (const DesignedControl& expected : design) {
    SCOPED_TRACE(testing::Message()
                 << expected.kind << " at " << expected.left << ", " << expected.top);
    HWND found = nullptr;
    RECT r{};
    for (HWND child = GetWindow(window, GW_CHILD); child && !found;
         child = GetWindow(child, GW_HWNDNEXT)) {
      char kind[64] = "";
      GetClassNameA(child, kind, sizeof kind);
      GetWindowRect(child, &r);
      MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
      if (kind == std::string(expected.kind) && std::abs(r.left - scaled(expected.left)) <= 1 &&
          std::abs(r.top - scaled(expected.top)) <= 1)
        found = child;
    }
    ASSERT_NE(found, nullptr);
    // A label's text is measured at the font's size, which hinting keeps only near proportion.
    int tolerance = expected.sizedToText ? scaled(4) : 1;
    EXPECT_NEAR(r.right - r.left, scaled(expected.width), tolerance);
    EXPECT_NEAR(r.bottom - r.top, scaled(expected.height), tolerance);
  }
}

}  // namespace

// On a display scaled to 150 % and 200 %, the main window and the track-artist dialog show
// their 96-dpi design at that scale.
TEST_F(Program, OnAScaledDisplayBothWindowsStandAtTheirDesignScaled) {
  harness::TempFolder album(L"album");
  std::wstring title = album.Write(L"title.txt", "01 Intro.mp3\r\n");
  for (DWORD dpi : {144, 192}) {
    SCOPED_TRACE(dpi);
    DeleteFileA(EditorSettingsPath().c_str());
    DisplayScale scale(dpi);
    Editor editor;
    ASSERT_NE(editor.window, nullptr);
    ExpectScaledLayout(editor.window, dpi, kMainWindowClient, kMainWindowDesign);
    HWND trackArtists = OpenTrackArtists(editor, title);
    ASSERT_NE(trackArtists, nullptr);
    ExpectScaledLayout(trackArtists, dpi, kTrackArtistDialogClient, kTrackArtistDialogDesign);
    ASSERT_NO_FATAL_FAILURE(CloseDialogAndQuit(editor));
  }
}

namespace {

// A folder below `parent` whose full path, its final "\" included, is `length` characters.
std::wstring FolderOfLength(const harness::TempFolder& parent, size_t length) {
  std::wstring relative = std::to_wstring(length);
  while (parent.Path().size() + relative.size() + 1 < length) {
    size_t level = std::min<size_t>(100, length - parent.Path().size() - relative.size() - 2);
    relative += L"\\" + std::wstring(std::max<size_t>(level, 1), L'x');
  }
  return parent.MakeFolders(relative);
}

}  // namespace

// Albums in folders of nearly MAX_PATH characters, reached first by their full paths and then
// by the name "title.txt" alone, in the folder the dialog opens in: the last one, where with
// the folder the name is as long as the dialog can hold or longer, and the album loads. The
// dialog cannot start in a folder of 259 characters: it opens in the folder above, which holds
// no album, and the fields are emptied.
TEST_F(Program, ANameConfirmedInALongFolderLoadsTheAlbum) {
  harness::TempFolder albums(L"albums");
  Editor editor;
  ASSERT_NE(editor.window, nullptr);
  for (size_t length : {250u, 251u, 255u, 258u, 259u}) {
    SCOPED_TRACE(length);
    const std::wstring folder = FolderOfLength(albums, length);
    ASSERT_EQ(folder.size(), length);
    const std::wstring metadata = platform::CallablePath(folder + L"metadata.txt");
    harness::WriteFileBytes(platform::CallablePath(folder + L"title.txt"), "01 Intro.mp3\r\n");
    harness::WriteFileBytes(metadata, "ALBUM=Typed\r\n");
    ASSERT_TRUE(LoadInEditor(editor, folder + L"title.txt"));
    EXPECT_TRUE(harness::PumpUntil([&] { return AlbumText(editor) == "Typed"; }));
    harness::WriteFileBytes(metadata, "ALBUM=Named\r\n");
    ASSERT_TRUE(LoadInEditor(editor, L"title.txt"));
    const std::string shown = length < MAX_PATH - 1 ? "Named" : "";
    EXPECT_TRUE(harness::PumpUntil([&] { return AlbumText(editor) == shown; }));
  }
  Quit(editor);
}

// The editor killed at spread-out moments of a save over a large metadata.txt, or the moment
// its file is seen missing: metadata.txt is always the old file or the new one that a save run
// to its end writes, and that save removes what the killed ones left.
TEST_F(Program, ASaveKilledAtAnyMomentLeavesTheOldFileOrTheNewOne) {
  harness::TempFolder album(L"album");
  const std::wstring title = album.Write(L"title.txt", "01 Intro.mp3\r\n");
  std::string old = "ALBUM=Large\r\nALBUMARTIST=Various\r\nARTIST=Band\r\n[ARTISTS]\r\n";
  for (int entry = 0; entry < 12000; ++entry)
    old += "Title " + std::to_string(100000 + entry) + "=Guest " + std::to_string(entry) + "\r\n";
  const std::wstring metadata = album.Write(L"metadata.txt", old);
  // Loads the album and answers Yes to F9; returns once that answer is given, or with
  // `finished` once the saved message is answered too.
  auto save = [&](Editor& editor, bool finished) {
    ASSERT_TRUE(LoadInEditor(editor, title));
    ASSERT_TRUE(harness::PumpUntil([&] { return AlbumText(editor) == "Large"; }));
    editor.watcher.Expect(harness::ModalWatcher::Click(IDYES));
    if (finished) editor.watcher.Expect(harness::ModalWatcher::Click(IDOK));
    harness::PressKey(VK_F9);
    ASSERT_TRUE(editor.watcher.WaitAllAnswered());
  };
  std::vector<std::string> left;
  for (DWORD moment = 0; moment <= 44; moment += 4) {
    ASSERT_TRUE(harness::WriteFileBytes(metadata, old));
    Editor editor;
    ASSERT_NE(editor.window, nullptr);
    ASSERT_NO_FATAL_FAILURE(save(editor, false));
    const DWORD answered = GetTickCount();
    while (GetTickCount() - answered < moment && platform::FileExists(metadata)) {
    }
    TerminateProcess(editor.process.hProcess, 99);
    WaitForSingleObject(editor.process.hProcess, 10000);
    left.push_back(harness::ReadFileBytes(metadata));
  }
  Editor editor;
  ASSERT_NE(editor.window, nullptr);
  ASSERT_NO_FATAL_FAILURE(save(editor, true));
  const std::string saved = harness::ReadFileBytes(metadata);
  ASSERT_NE(saved.find("\r\nTitle 111999=Guest 11999\r\n"), std::string::npos);
  for (size_t kill = 0; kill < left.size(); ++kill)
    EXPECT_TRUE(left[kill] == old || left[kill] == saved)
        << kill << ": " << left[kill].substr(0, 80);
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((album.Path() + L"*.tmp").c_str(), &found);
  EXPECT_EQ(search, INVALID_HANDLE_VALUE);
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  Quit(editor);
}
