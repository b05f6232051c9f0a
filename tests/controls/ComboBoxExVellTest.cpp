// The extended combo box on a test form, driven by real input: its item list, its
// window, key routing, the drop-down cycle, list sizing, filters, split text,
// recreation, owner-draw and failures in handlers.

#include <gtest/gtest.h>

#include <functional>

#include "controls/ComboBoxExVell.h"
#include "platform/Exception.h"
#include "tests/harness/Raises.h"
#include "tests/harness/WindowTest.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"
#include "toolkit/ComboBox.h"
#include "toolkit/ComboBoxMessages.h"
#include "toolkit/Edit.h"

#include <imm.h>

using harness::ExpectRaises;
using harness::ModalWatcher;
using harness::PressKey;
using harness::PumpUntil;
using harness::TypeText;

namespace {

class ComboForm : public tk::Form {
 public:
  ComboForm() : tk::Form("ComboForm") {
    SetClientSize(400, 300);
    SetFont({"ＭＳ Ｐゴシック", 13, SHIFTJIS_CHARSET});
    before.SetBounds(10, 10, 150, 21);
    before.SetTabOrder(0);
    combo.SetBounds(10, 40, 100, 21);
    combo.SetTabOrder(1);
    combo.SetItemHeight(13);
  }
  bool DialogKey(WORD key, tk::ShiftState shift) override {
    dialogKeys.push_back(key);
    return tk::Form::DialogKey(key, shift);
  }
  // Claims the key `claimed` of a child: its key-down and its character.
  bool WantChildKey(tk::WinControl&, const MSG& message) override {
    return claimed && (message.wParam == claimed || message.wParam == (claimed | 0x20u));
  }
  WPARAM claimed = 0;
  tk::Edit before{this, "before"};
  TComboBoxExVell combo{this, "combo"};
  std::vector<WORD> dialogKeys;
};

class ComboTest : public ::testing::Test {
 protected:
  void SetUp() override {
    tk::Application::Instance().Initialize();
    tk::Application::Instance().SetTitle("Quorvel");
    ASSERT_NO_THROW({
      form = new ComboForm;
      form->Show();
    }) << "the test form could not be shown";
    ASSERT_TRUE(PumpUntil([&] { return form->before.Focused(); }));
  }
  void TearDown() override { delete form; }

  TComboBoxExVell& combo() { return form->combo; }
  void Fill(TComboBoxExVell& box, std::initializer_list<const char*> items) {
    for (const char* item : items) box.Items().Add(item);
  }
  void FocusCombo(TComboBoxExVell& box) {
    box.SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return box.HasFocus(); }));
  }
  HWND ListOf(TComboBoxExVell& box) { return tk::cb::ListWindow(box.Handle()); }
  // A click on the arrow button; true once the list shows.
  bool OpenByClick(TComboBoxExVell& box) {
    RECT r;
    GetWindowRect(box.Handle(), &r);
    // A press in the edit part first, so that the press on the arrow is never taken for the
    // second half of a double click.
    if (box.EditWindow()) harness::ClickAt(harness::CentreOf(box.EditWindow()));
    harness::ClickAt({r.right - 6, (r.top + r.bottom) / 2});
    return PumpUntil([&] { return box.ListDropped() && IsWindowVisible(ListOf(box)); });
  }
  // A point of item `index` of the open list, on the screen.
  POINT ItemPoint(TComboBoxExVell& box, int index) {
    HWND list = ListOf(box);
    RECT item;
    SendMessageA(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
    POINT point{item.left + 10, (item.top + item.bottom) / 2};
    ClientToScreen(list, &point);
    return point;
  }
  void ClickItem(TComboBoxExVell& box, int index) {
    harness::ClickAt(ItemPoint(box, index));
    ASSERT_TRUE(PumpUntil([&] { return !box.ListDropped(); }));
    harness::PumpIdle();
  }
  std::pair<int, int> EditSelection(TComboBoxExVell& box) {
    DWORD start = 0, end = 0;
    SendMessageA(box.EditWindow(), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    return {static_cast<int>(start), static_cast<int>(end)};
  }

  // Runs `check` on a toolkit combo box, then on this one.
  template <typename Check>
  void OnBothComboBoxes(Check check) {
    tk::ComboBox plain(form, "plain");
    plain.SetBounds(10, 100, 100, 21);
    check(plain);
    check(combo());
  }

  ComboForm* form = nullptr;
};

// The style a control's window is created with, seen by a hook while it is created anew.
DWORD CreationStyle(tk::WinControl& control) {
  static DWORD style;
  static HWND created;
  style = 0;
  HHOOK hook = SetWindowsHookExA(
      WH_CBT,
      [](int code, WPARAM wParam, LPARAM lParam) CALLBACK -> LRESULT {
        if (code == HCBT_CREATEWND) {
          auto* create = reinterpret_cast<CBT_CREATEWNDA*>(lParam);
          char kind[64] = "";
          GetClassNameA(reinterpret_cast<HWND>(wParam), kind, sizeof kind);
          if (std::string(kind) == "TComboBoxExVell") {
            style = static_cast<DWORD>(create->lpcs->style);
            created = reinterpret_cast<HWND>(wParam);
          }
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
      },
      nullptr, GetCurrentThreadId());
  control.RecreateWnd();
  UnhookWindowsHookEx(hook);
  return created == control.Handle() ? style : 0;
}

}  // namespace

// The toolkit's combo box and this one share their item list over the platform window.
TEST_F(ComboTest, TheItemListLivesInThePlatformWindowWithItsLookupAndErrors) {
  OnBothComboBoxes([](auto& box) {
    SCOPED_TRACE(box.Name());
    auto& items = box.Items();
    for (const char* item : {"ABC", "abcd", "abc"}) items.Add(item);
    EXPECT_EQ(SendMessageA(box.Handle(), CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(items.IndexOf("abc"), 0);  // letter case ignored, the first of equal items
    EXPECT_EQ(items.IndexOf("ab"), -1);  // a beginning is not enough
    EXPECT_EQ(items.Get(-1), "");
    EXPECT_EQ(items.Get(3), "");
    ExpectRaises<platform::ListIndexError>([&] { items.Value(-1); },
                                           "リストのインデックスが範囲を超えています(-1)");
    ExpectRaises<platform::OutOfResources>([&] { items.Insert(10, "x"); }, "行を挿入できません");
    items.Insert(-1, "last");
    EXPECT_EQ(items.Get(3), "last");
    items.Insert(1, "x");
    EXPECT_EQ(items.Get(1), "x");
    items.Delete(1);
    items.Delete(10);  // no such item: nothing changes
    EXPECT_EQ(items.Count(), 4);

    // Values: 0 without one, kept by replacing the text; a stored -1 cannot be read back,
    // so a copy of such a list fails.
    EXPECT_EQ(items.Value(0), 0);
    EXPECT_EQ(items.AddObject("valued", 42), 4);
    items.Put(4, "renamed");
    EXPECT_EQ(items.Get(4), "renamed");
    EXPECT_EQ(items.Value(4), 42);
    items.SetValue(1, -1);
    ExpectRaises([&] { items.Value(1); }, "リストのインデックスが範囲を超えています(1)");
    tk::StringList copy;
    EXPECT_THROW(copy.Assign(items), platform::ListIndexError);

    // A text longer than any fixed buffer comes back whole.
    std::string longText(5000, 'y');
    items.Add(longText);
    EXPECT_EQ(items.Get(items.Count() - 1), longText);

    // Clearing keeps the shown text, which selecting nothing then leaves alone.
    box.SetItemIndex(2);
    ASSERT_EQ(box.Text(), "abc");
    items.Clear();
    EXPECT_EQ(items.Count(), 0);
    EXPECT_EQ(box.ItemIndex(), -1);
    EXPECT_EQ(box.Text(), "abc");
    box.SetItemIndex(-1);
    EXPECT_EQ(box.Text(), "abc");
  });
}

TEST_F(ComboTest, ItemIndexWritesAndClearingKeepTheShownText) {
  Fill(combo(), {"2025", "2026", "2027"});
  int changes = 0, clicks = 0;
  combo().OnChange = [&](tk::WinControl&) { ++changes; };
  combo().OnClick = [&](tk::WinControl&) { ++clicks; };
  combo().SetItemIndex(1);
  EXPECT_EQ(combo().Text(), "2026");
  combo().Items().Clear();
  EXPECT_EQ(combo().Items().Count(), 0);
  EXPECT_EQ(combo().ItemIndex(), -1);
  EXPECT_EQ(combo().Text(), "2026");
  // The current value sends nothing: the shown text stays.
  combo().SetItemIndex(-1);
  EXPECT_EQ(combo().Text(), "2026");
  // A different value past the end removes the selection and empties the edit part.
  Fill(combo(), {"a", "b"});
  combo().SetItemIndex(0);
  combo().SetItemIndex(2);
  EXPECT_EQ(combo().ItemIndex(), -1);
  EXPECT_EQ(combo().Text(), "");
  harness::PumpIdle();
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(clicks, 0);
}

TEST_F(ComboTest, TheWindowIsTheSystemsOwnClassWithItsStyle) {
  char kind[64];
  GetClassNameA(combo().Handle(), kind, sizeof kind);
  EXPECT_STREQ(kind, "TComboBoxExVell");
  // The window is created with the style below; Wine's combo box then drops WS_VSCROLL
  // from what GetWindowLong reports.
  EXPECT_EQ(CreationStyle(combo()) & ~WS_VISIBLE, 0x44210202);
  EXPECT_EQ(GetWindowLongA(combo().Handle(), GWL_STYLE) & ~(WS_VISIBLE | WS_VSCROLL), 0x44010202);
  EXPECT_EQ(GetWindowLongA(combo().Handle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
  // Margins 0: the edit part uses its whole width.
  EXPECT_EQ(SendMessageA(combo().EditWindow(), EM_GETMARGINS, 0, 0), 0);
  const std::pair<TComboBoxStyle, DWORD> styles[] = {{csSimple, 0x0201},
                                                     {csDropDownList, 0x0203},
                                                     {csOwnerDrawFixed, 0x0213},
                                                     {csOwnerDrawVariable, 0x0223}};
  for (auto [style, bits] : styles) {
    combo().SetStyle(style);
    EXPECT_EQ(CreationStyle(combo()) & 0xFFFF, bits) << style;
  }
  EXPECT_EQ(combo().EditWindow(), nullptr);
  combo().SetSorted(true);
  EXPECT_EQ(CreationStyle(combo()) & 0xFFFF, 0x0323);
}

TEST_F(ComboTest, RecreationKeepsItemsValuesSelectionAndText) {
  Fill(combo(), {"Tokyo", "Osaka", "Nagoya"});
  combo().Items().SetValue(2, 7);
  combo().SetItemIndex(2);
  HWND window = combo().Handle();
  combo().SetSorted(false);  // the current value: no new window
  combo().SetStyle(csDropDown);
  EXPECT_EQ(combo().Handle(), window);

  combo().SetItemHeight(0);  // ignored
  EXPECT_EQ(combo().Handle(), window);
  combo().SetItemHeight(13);  // above 0: always a new window
  EXPECT_NE(combo().Handle(), window);
  // The rows of the list are as high as the platform's item height says.
  RECT row;
  SendMessageA(ListOf(combo()), LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
  EXPECT_EQ(combo().ItemHeight(), row.bottom - row.top);
  EXPECT_EQ(combo().ItemIndex(), 2);
  EXPECT_EQ(combo().Text(), "Nagoya");
  EXPECT_EQ(combo().Items().Value(2), 7);
  // So does a change of the 3-D look, but not its current value.
  window = combo().Handle();
  combo().SetCtl3D(true);
  EXPECT_EQ(combo().Handle(), window);
  combo().SetCtl3D(false);
  EXPECT_NE(combo().Handle(), window);
  EXPECT_EQ(combo().ItemIndex(), 2);
  EXPECT_EQ(combo().Text(), "Nagoya");

  // Sorted: the items come back in order and the old index is applied again as a number.
  combo().SetSorted(true);
  EXPECT_EQ(combo().Items().Get(0), "Nagoya");
  EXPECT_EQ(combo().Items().Get(2), "Tokyo");
  EXPECT_EQ(combo().Items().Value(0), 7);
  EXPECT_EQ(combo().ItemIndex(), 2);
  EXPECT_EQ(combo().Text(), "Tokyo");
  EXPECT_EQ(combo().Items().Add("Okayama"), 1);  // adding finds the sorted place
  combo().Items().Insert(0, "Zama");             // inserting keeps the given place
  EXPECT_EQ(combo().Items().Get(0), "Zama");

  // A typed text without a selection survives a change of style.
  combo().SetSorted(false);
  combo().SetItemIndex(-1);
  combo().SetText("typed");
  combo().SetStyle(csSimple);
  EXPECT_EQ(combo().Text(), "typed");
  EXPECT_EQ(combo().Items().Count(), 5);
  EXPECT_NE(combo().ListWindow(), nullptr);
  EXPECT_NE(combo().EditWindow(), nullptr);

  // The parts are subclassed anew: keys in the new edit part reach the handler.
  combo().SetStyle(csDropDown);
  WORD seen = 0;
  combo().OnKeyDown = [&](tk::WinControl&, WORD& key, tk::ShiftState) { seen = key; };
  FocusCombo(combo());
  PressKey('K');
  EXPECT_EQ(seen, 'K');

  // A window that does not exist yet has no item height; a negative length is no limit.
  TComboBoxExVell fresh(form, "fresh");
  EXPECT_EQ(fresh.ItemHeight(), 0);
  fresh.SetMaxLength(-5);
  EXPECT_EQ(fresh.MaxLength(), 0);
}

// The toolkit's combo box and this one share the recreation step and the guard of the index.
TEST_F(ComboTest, BothComboBoxesKeepValuesAndSelectionInANewWindowAndSelectNothingPastTheEnd) {
  OnBothComboBoxes([](auto& box) {
    SCOPED_TRACE(box.Name());
    box.Items().AddObject("One", 11);
    box.Items().AddObject("Two", 22);
    box.SetItemIndex(1);
    HWND window = box.Handle();
    box.RecreateWnd();
    ASSERT_NE(box.Handle(), window);
    ASSERT_EQ(box.Items().Count(), 2);
    EXPECT_EQ(box.Items().Get(0), "One");
    EXPECT_EQ(box.Items().Value(0), 11);
    EXPECT_EQ(box.Items().Value(1), 22);
    EXPECT_EQ(box.ItemIndex(), 1);
    EXPECT_EQ(box.Text(), "Two");
    box.SetItemIndex(2);
    EXPECT_EQ(box.ItemIndex(), -1);
  });
}

TEST_F(ComboTest, KeysReachTheHandlersFirstAndOnlyTabEnterAndEscBecomeDialogKeys) {
  Fill(combo(), {"one", "two", "three"});
  combo().SetItemIndex(0);
  std::vector<std::string> log;
  combo().OnKeyDown = [&](tk::WinControl&, WORD& key, tk::ShiftState) {
    log.push_back("down " + std::to_string(key));
    if (key == VK_DOWN || key == VK_F4) key = 0;
  };
  combo().OnKeyPress = [&](tk::WinControl&, char& key) {
    log.push_back(std::string("press ") + key);
    if (key == 'q') key = 0;
  };
  FocusCombo(combo());
  form->dialogKeys.clear();
  PressKey(VK_DOWN);  // consumed: neither moves the selection nor opens the list
  PressKey(VK_F4);
  EXPECT_EQ(combo().ItemIndex(), 0);
  EXPECT_FALSE(combo().ListDropped());
  PressKey(VK_END);
  TypeText("xq");
  EXPECT_EQ(combo().Text(), "onex");
  EXPECT_EQ(log, (std::vector<std::string>{"down 40", "down 115", "down 35", "down 88", "press x",
                                           "down 81", "press q"}));
  PressKey(VK_ESCAPE);
  PressKey(VK_RETURN);
  EXPECT_EQ(form->dialogKeys, (std::vector<WORD>{VK_ESCAPE, VK_RETURN}));

  // While the list is open Enter and Esc are the control's; Tab never is.
  form->dialogKeys.clear();
  combo().SetListDropped(true);
  ASSERT_TRUE(PumpUntil([&] { return combo().ListDropped(); }));
  PressKey(VK_ESCAPE);
  EXPECT_FALSE(combo().ListDropped());
  combo().SetListDropped(true);
  PressKey(VK_TAB);
  EXPECT_EQ(form->dialogKeys, (std::vector<WORD>{VK_TAB}));
  EXPECT_TRUE(PumpUntil([&] { return form->before.Focused() && !combo().ListDropped(); }));
}

// Closing the list without Enter (a function key other than F4 among the ways) brings back the
// text and the selection it opened with; Enter takes the highlighted item. The resting pointer
// moves the highlight without a word.
TEST_F(ComboTest, ACancelRestoresTextAndSelectionWhileEnterTakesTheHighlightedItem) {
  Fill(combo(), {"one", "two", "three"});
  int changes = 0;
  combo().OnChange = [&](tk::WinControl&) { ++changes; };
  auto arrows = [] {
    PressKey(VK_DOWN);
    PressKey(VK_DOWN);
  };
  auto pointer = [&] { harness::MoveTo(ItemPoint(combo(), 1)); };
  auto firstRow = [] { PressKey(VK_DOWN); };
  struct Case {
    const char* name;
    std::function<void()> highlight;  // moves the highlight to item `row`
    int row;
    std::function<void()> close;
    const char* text;
    int index;
  };
  const Case cases[] = {
      {"Esc", arrows, 1, [] { PressKey(VK_ESCAPE); }, "typed", -1},
      {"press elsewhere", arrows, 1,
       [&] { harness::ClickAt(harness::CentreOf(form->before.Handle())); }, "typed", -1},
      {"focus leaves", arrows, 1, [] { PressKey(VK_TAB); }, "typed", -1},
      {"Enter", arrows, 1, [] { PressKey(VK_RETURN); }, "two", 1},
      {"pointer, Esc", pointer, 1, [] { PressKey(VK_ESCAPE); }, "typed", -1},
      {"pointer, Enter", pointer, 1, [] { PressKey(VK_RETURN); }, "two", 1},
      {"pointer, a command key", pointer, 1, [] { PressKey(VK_F9); }, "typed", -1},
      {"first row, Enter", firstRow, 0, [] { PressKey(VK_RETURN); }, "one", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FocusCombo(combo());
    combo().SetItemIndex(-1);
    combo().SetText("typed");
    ASSERT_TRUE(OpenByClick(combo()));
    c.highlight();
    ASSERT_TRUE(PumpUntil([&] { return combo().ItemIndex() == c.row; }));
    changes = 0;
    c.close();
    ASSERT_TRUE(PumpUntil([&] { return !combo().ListDropped(); }));
    harness::PumpIdle();
    EXPECT_EQ(combo().Text(), c.text);
    EXPECT_EQ(combo().ItemIndex(), c.index);
    EXPECT_GT(changes, 0);  // a restore and a taken item both notify
  }
  // A selection-only list gets its selection back too.
  combo().SetStyle(csDropDownList);
  combo().SetItemIndex(2);
  FocusCombo(combo());
  ASSERT_TRUE(OpenByClick(combo()));
  PressKey(VK_UP);
  ASSERT_EQ(combo().ItemIndex(), 1);
  PressKey(VK_ESCAPE);
  ASSERT_TRUE(PumpUntil([&] { return !combo().ListDropped(); }));
  EXPECT_EQ(combo().ItemIndex(), 2);
  EXPECT_EQ(combo().Text(), "three");
}

TEST_F(ComboTest, TheOpenListShowsAtMostDropDownCountRowsAndIsAsWideAsItsLongestItem) {
  struct Case {
    int items;
    int rows;
    bool scrollBar;
  };
  for (Case c : {Case{0, 1, false}, Case{7, 7, false}, Case{8, 8, false}, Case{12, 8, true}}) {
    SCOPED_TRACE(c.items);
    combo().Items().Clear();
    for (int i = 0; i < c.items; ++i)
      combo().Items().Add(i == 3 ? "a much longer item than the box" : std::to_string(i));
    FocusCombo(combo());
    ASSERT_TRUE(OpenByClick(combo()));
    harness::PumpIdle();
    RECT list;
    GetClientRect(ListOf(combo()), &list);
    // Rounded to whole rows: Wine opens an empty list one row high less a pixel (13 of 14).
    int row = combo().ItemHeight();
    EXPECT_EQ((list.bottom + row / 2) / row, c.rows) << list.bottom << " pixels";
    HDC dc = GetDC(combo().Handle());
    HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(combo().Handle(), WM_GETFONT, 0, 0)));
    SIZE longest{0, 0};
    if (c.items > 3) GetTextExtentPoint32A(dc, "a much longer item than the box", 31, &longest);
    SelectObject(dc, old);
    ReleaseDC(combo().Handle(), dc);
    int expected = longest.cx + 6 + (c.scrollBar ? GetSystemMetrics(SM_CXVSCROLL) : 0);
    EXPECT_EQ(SendMessageA(combo().Handle(), CB_GETDROPPEDWIDTH, 0, 0),
              std::max<LRESULT>(expected, combo().Width()));
    RECT shown;
    GetWindowRect(ListOf(combo()), &shown);
    EXPECT_GE(shown.right - shown.left, std::max(expected, combo().Width()));
    PressKey(VK_ESCAPE);
    ASSERT_TRUE(PumpUntil([&] { return !combo().ListDropped(); }));
  }
}

TEST_F(ComboTest, TheFiltersChangeOnlyTypedCharacters) {
  auto typed = [&](bool numeric, bool upper, const std::function<void()>& input) {
    combo().SetInNumeric(numeric);
    combo().SetInUpper(upper);
    combo().SetText("");
    FocusCombo(combo());
    input();
    harness::PumpIdle();
    return combo().Text();
  };
  auto paste = [](const char* text) {
    OpenClipboard(nullptr);
    EmptyClipboard();
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, strlen(text) + 1);
    memcpy(GlobalLock(memory), text, strlen(text) + 1);
    GlobalUnlock(memory);
    SetClipboardData(CF_TEXT, memory);
    CloseClipboard();
    PressKey('V', {VK_CONTROL});
  };
  EXPECT_EQ(typed(true, false, [] { TypeText("a1-.2x3"); }), "123");
  EXPECT_EQ(typed(true, false,
                  [&] {
                    TypeText("12");
                    PressKey(VK_BACK);
                    PressKey('Z', {VK_CONTROL});  // no undo: Ctrl+Z is dropped
                    paste("ab");                  // pasted text is not checked
                  }),
            "1ab");
  EXPECT_EQ(typed(true, false,
                  [&] {
                    // Both bytes of a double-byte character are dropped.
                    PostMessageA(combo().EditWindow(), WM_CHAR, 0x83, 0);
                    PostMessageA(combo().EditWindow(), WM_CHAR, 0x41, 0);
                    TypeText("7");
                  }),
            "7");
  EXPECT_EQ(typed(false, true,
                  [&] {
                    TypeText("abc");
                    paste("xy");
                  }),
            "ABCxy");
  EXPECT_EQ(typed(false, true,
                  [&] {
                    // A character, not the low byte of its UTF-16 unit (ち is U+3061) nor the
                    // trail byte of its Shift-JIS form (ヂ is 83 61), is no letter to raise.
                    PostMessageW(combo().EditWindow(), WM_CHAR, L'\u3061', 0);
                    PostMessageW(combo().EditWindow(), WM_CHAR, L'\u30C2', 0);
                  }),
            "ちヂ");
  EXPECT_EQ(typed(true, true, [] { TypeText("a9b"); }), "9");
  EXPECT_EQ(typed(false, false, [] { TypeText("a-1"); }), "a-1");
}

TEST_F(ComboTest, TheSplitTextShowsThePartOfThePickedItemBeforeTheSplitString) {
  Fill(combo(), {"01:Tokyo", "02:Osaka", "Nagoya", "04::Kobe", "ソ\\Sendai"});
  struct Case {
    const char* split;
    int item;
    const char* shown;
  };
  const Case cases[] = {{":", 1, "02"},
                        {":", 2, "Nagoya"},
                        {"", 0, "01:Tokyo"},
                        {"::", 3, "04"},
                        {"::", 0, "01:Tokyo"},
                        // Found after ソ, whose second byte is a "\" too.
                        {"\\", 4, "ソ"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.split) + " " + std::to_string(c.item));
    combo().SetSplitChar(c.split);
    FocusCombo(combo());
    ASSERT_TRUE(OpenByClick(combo()));
    ClickItem(combo(), c.item);
    EXPECT_TRUE(PumpUntil([&] { return combo().Text() == c.shown; }));
    EXPECT_EQ(combo().Text(), c.shown);
    EXPECT_EQ(combo().ItemIndex(), c.item);
  }
}

TEST_F(ComboTest, TypingStopsAtTheVisibleWidthOfTheEditPart) {
  TComboBoxExVell narrow(form, "narrow");
  narrow.SetBounds(200, 40, 48, 21);
  narrow.Handle();
  FocusCombo(narrow);
  TypeText("1234567890");
  std::string text = narrow.Text();
  EXPECT_GT(text.size(), 0u);
  EXPECT_LT(text.size(), 10u);
  RECT edit;
  GetClientRect(narrow.EditWindow(), &edit);
  HDC dc = GetDC(narrow.EditWindow());
  HGDIOBJ old = SelectObject(
      dc, reinterpret_cast<HFONT>(SendMessageA(narrow.EditWindow(), WM_GETFONT, 0, 0)));
  SIZE size;
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SIZE more;
  GetTextExtentPoint32A(dc, (text + "0").c_str(), static_cast<int>(text.size() + 1), &more);
  SelectObject(dc, old);
  ReleaseDC(narrow.EditWindow(), dc);
  EXPECT_LE(size.cx, edit.right);
  EXPECT_GT(more.cx, edit.right - 1);  // one more digit would not have fitted
}

TEST_F(ComboTest, OwnerDrawPaintsThroughTheHandlersWithTheMeasuredHeights) {
  combo().SetStyle(csOwnerDrawVariable);
  combo().OnMeasureItem = [](tk::WinControl&, int index, int& height) { height = 14 + index; };
  Fill(combo(), {"zero", "one", "two"});
  EXPECT_EQ(SendMessageA(combo().Handle(), CB_GETITEMHEIGHT, 2, 0), 16);
  std::vector<std::pair<int, TOwnerDrawState>> drawn;
  combo().OnDrawItem = [&](tk::WinControl& control, int index, RECT rect, TOwnerDrawState state) {
    drawn.emplace_back(index, state);
    auto& box = static_cast<TComboBoxExVell&>(control);
    box.Canvas().FillRect(rect);
    box.Canvas().TextOut(rect.left + 2, rect.top, box.Items().Get(index));
  };
  combo().SetItemIndex(1);
  FocusCombo(combo());
  ASSERT_TRUE(OpenByClick(combo()));
  ASSERT_TRUE(PumpUntil([&] { return drawn.size() >= 3; }));
  bool selectedDrawnAsSelected = false;
  for (auto [index, state] : drawn)
    if (index == 1 && (state & odSelected)) selectedDrawnAsSelected = true;
  EXPECT_TRUE(selectedDrawnAsSelected);
  // The selection field shows the selected item through the same handler.
  bool fieldDrawn = false;
  for (auto [index, state] : drawn)
    if (state & odComboBoxEdit) fieldDrawn = true;
  EXPECT_TRUE(fieldDrawn);
  PressKey(VK_ESCAPE);
}

TEST_F(ComboTest, AFailureInAPartMessageIsShownAndTheControlStaysUsable) {
  combo().OnKeyPress = [](tk::WinControl&, char& key) {
    if (key == 'e') throw platform::Exception("typed e");
  };
  FocusCombo(combo());
  ModalWatcher watcher;
  watcher.Expect(ModalWatcher::Click(IDOK));
  TypeText("e");
  ASSERT_TRUE(watcher.WaitAllAnswered());
  ASSERT_EQ(watcher.Seen().size(), 1u);
  EXPECT_EQ(watcher.Seen()[0].text, "typed e.");
  EXPECT_TRUE(PumpUntil([&] { return combo().HasFocus(); }));
  TypeText("ok");
  EXPECT_EQ(combo().Text(), "ok");
}

TEST_F(ComboTest, TheTextIsSelectedWhenTheFocusComesFromAnotherControlOnly) {
  combo().SetText("2026");
  PressKey(VK_TAB);
  ASSERT_TRUE(PumpUntil([&] { return combo().HasFocus(); }));
  EXPECT_EQ(EditSelection(combo()), std::make_pair(0, 4));
  // Coming back after a message box leaves the caret where it was.
  SendMessageA(combo().EditWindow(), EM_SETSEL, 2, 2);
  ModalWatcher watcher;
  watcher.Expect(ModalWatcher::Click(IDOK));
  tk::Application::Instance().ShowMessageBox("x", "情報", MB_OK);
  ASSERT_TRUE(watcher.WaitAllAnswered());
  ASSERT_TRUE(PumpUntil([&] { return combo().HasFocus(); }));
  EXPECT_EQ(EditSelection(combo()), std::make_pair(2, 2));
}

// The input method's state of a window: open, and the conversion mode.
static std::pair<BOOL, DWORD> ImeStateOf(HWND window) {
  HIMC context = ImmGetContext(window);
  if (!context) return {FALSE, 0xFFFFFFFF};
  DWORD conversion = 0, sentence = 0;
  ImmGetConversionStatus(context, &conversion, &sentence);
  BOOL open = ImmGetOpenStatus(context);
  ImmReleaseContext(window, context);
  return {open, conversion};
}

TEST_F(ComboTest, TheInputMethodModeHoldsWhileTheComboHasTheFocusOnly) {
  HWND edit = combo().EditWindow();
  HIMC context = ImmGetContext(edit);
  ASSERT_NE(context, nullptr);
  ImmSetOpenStatus(context, FALSE);
  ImmSetConversionStatus(context, IME_CMODE_ROMAN | IME_CMODE_KATAKANA, IME_SMODE_NONE);
  ImmReleaseContext(edit, context);
  const auto before = ImeStateOf(edit);

  combo().SetImeMode(tk::ImeMode::Hiragana);
  FocusCombo(combo());
  EXPECT_EQ(ImeStateOf(edit),
            std::make_pair(TRUE, DWORD{IME_CMODE_ROMAN | IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE}));
  PressKey(VK_TAB, {VK_SHIFT});
  ASSERT_TRUE(PumpUntil([&] { return form->before.Focused(); }));
  EXPECT_EQ(ImeStateOf(edit), before);

  combo().SetImeMode(tk::ImeMode::Disable);
  FocusCombo(combo());
  EXPECT_EQ(ImmGetContext(edit), nullptr);
  PressKey(VK_TAB, {VK_SHIFT});
  ASSERT_TRUE(PumpUntil([&] { return form->before.Focused(); }));
  EXPECT_EQ(ImeStateOf(edit), before);
}

TEST_F(ComboTest, TheFormHearsOfFocusMovesMayClaimKeysAndRefusesAFocusThatMovedOn) {
  std::vector<std::string> log;
  for (tk::WinControl* control :
       {static_cast<tk::WinControl*>(&form->before), static_cast<tk::WinControl*>(&combo())}) {
    control->OnEnter = [&log](tk::WinControl& c) { log.push_back("enter " + c.Name()); };
    control->OnExit = [&log](tk::WinControl& c) { log.push_back("exit " + c.Name()); };
  }
  PressKey(VK_TAB);
  ASSERT_TRUE(PumpUntil([&] { return combo().HasFocus(); }));
  EXPECT_EQ(log, (std::vector<std::string>{"exit before", "enter combo"}));

  // A claimed key reaches neither the handlers nor the edit part.
  std::string keysDown;
  combo().OnKeyDown = [&](tk::WinControl&, WORD& key, tk::ShiftState) {
    keysDown += static_cast<char>(key);
  };
  form->claimed = 'Q';
  TypeText("aqb");
  EXPECT_EQ(combo().Text(), "ab");
  EXPECT_EQ(keysDown, "AB");
  form->claimed = 0;

  // An enter handler that shows a message box: the focus the box gives back is the same
  // entry, so the handler runs once, and the combo has the focus afterwards.
  PressKey(VK_TAB, {VK_SHIFT});
  ASSERT_TRUE(PumpUntil([&] { return form->before.Focused(); }));
  log.clear();
  ModalWatcher watcher;
  watcher.Expect(ModalWatcher::Click(IDOK));
  combo().OnEnter = [&](tk::WinControl&) {
    log.push_back("enter combo");
    tk::Application::Instance().ShowMessageBox("entered", "情報", MB_OK);
  };
  PressKey(VK_TAB);
  ASSERT_TRUE(watcher.WaitAllAnswered());
  ASSERT_TRUE(PumpUntil([&] { return combo().HasFocus(); }));
  EXPECT_EQ(log, (std::vector<std::string>{"exit before", "enter combo"}));
  // Entered from another control, as Tab did: the typing replaces the selected text.
  TypeText("c");
  EXPECT_EQ(combo().Text(), "c");

  // An enter handler that moves the focus on: the edit part never takes that focus, so the
  // combo's input-method mode is not applied.
  PressKey(VK_TAB, {VK_SHIFT});
  ASSERT_TRUE(PumpUntil([&] { return form->before.Focused(); }));
  HIMC context = ImmGetContext(combo().EditWindow());
  ImmSetOpenStatus(context, FALSE);
  ImmReleaseContext(combo().EditWindow(), context);
  combo().SetImeMode(tk::ImeMode::Open);
  combo().OnEnter = [&](tk::WinControl&) { form->before.SetFocus(); };
  PressKey(VK_TAB);
  harness::PumpIdle();
  EXPECT_TRUE(form->before.Focused());
  EXPECT_FALSE(ImeStateOf(combo().EditWindow()).first);
}

TEST_F(ComboTest, TheFlatBorderAndTheColoursPaintTheControl) {
  const COLORREF field = RGB(255, 255, 0), ink = RGB(200, 0, 0);
  combo().SetColor(field);
  combo().SetFontColor(ink);
  auto pixelsAfterPaint = [&](tk::BorderStyle border) {
    combo().SetBorderStyle(border);
    RedrawWindow(combo().Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    RECT r;
    GetClientRect(combo().Handle(), &r);
    HDC dc = GetDC(combo().Handle());
    std::vector<COLORREF> pixels{GetPixel(dc, 0, 0), GetPixel(dc, 1, 1),
                                 GetPixel(dc, r.right - 1, r.bottom / 2),
                                 GetPixel(dc, r.right / 2, r.bottom - 1)};
    ReleaseDC(combo().Handle(), dc);
    return pixels;
  };
  const COLORREF parent = GetSysColor(COLOR_BTNFACE);
  EXPECT_EQ(pixelsAfterPaint(tk::bsNone), (std::vector<COLORREF>{field, field, parent, parent}));
  EXPECT_NE(pixelsAfterPaint(tk::bsSingle)[0], field);

  // The parts paint in the font colour on the control's colour.
  HDC memory = CreateCompatibleDC(nullptr);
  auto brush = reinterpret_cast<HBRUSH>(
      SendMessageA(combo().Handle(), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(memory),
                   reinterpret_cast<LPARAM>(combo().EditWindow())));
  EXPECT_EQ(GetTextColor(memory), ink);
  EXPECT_EQ(GetBkColor(memory), field);
  LOGBRUSH info{};
  GetObjectA(brush, sizeof info, &info);
  EXPECT_EQ(info.lbColor, field);
  DeleteDC(memory);

  // The parent's colour, taken now and again when the form hears that colours changed; a
  // colour of its own ends that.
  combo().SetParentColor(true);
  EXPECT_EQ(combo().Color(), parent);
  HBRUSH green = CreateSolidBrush(RGB(0, 128, 0));
  LONG_PTR old =
      SetClassLongPtrA(form->Handle(), GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(green));
  SendMessageA(form->Handle(), WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(combo().Color(), RGB(0, 128, 0));
  combo().SetColor(field);
  SendMessageA(form->Handle(), WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(combo().Color(), field);
  SetClassLongPtrA(form->Handle(), GCLP_HBRBACKGROUND, old);
  DeleteObject(green);
}

TEST_F(ComboTest, NestedUpdatesStopAndResumeDrawingOnceForTheOutermostPair) {
  static std::vector<WPARAM> redraws;
  static HWND watched;
  redraws.clear();
  watched = combo().Handle();
  HHOOK hook = SetWindowsHookExA(
      WH_CALLWNDPROC,
      [](int code, WPARAM wParam, LPARAM lParam) CALLBACK -> LRESULT {
        auto* sent = reinterpret_cast<CWPSTRUCT*>(lParam);
        if (code == HC_ACTION && sent->hwnd == watched && sent->message == WM_SETREDRAW)
          redraws.push_back(sent->wParam);
        return CallNextHookEx(nullptr, code, wParam, lParam);
      },
      nullptr, GetCurrentThreadId());
  auto& items = combo().Items();
  items.BeginUpdate();
  items.BeginUpdate();
  items.Add("one");
  items.EndUpdate();
  std::vector<WPARAM> inside = redraws;
  items.EndUpdate();
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(inside, std::vector<WPARAM>{FALSE});
  EXPECT_EQ(redraws, (std::vector<WPARAM>{FALSE, TRUE}));
  EXPECT_EQ(items.Count(), 1);
}

TEST_F(ComboTest, AnAutomaticDragStartsBeyondTheThresholdAndDropsOnTheControlThatAccepts) {
  struct Case {
    const char* name;
    TComboBoxStyle style;
    bool escape;  // Esc instead of the release
  };
  const Case cases[] = {{"editable box dropped", csDropDown, false},
                        {"selection-only box dropped", csDropDownList, false},
                        {"Esc cancels", csDropDown, true}};
  std::vector<std::string> log;
  auto note = [&](const std::string& entry) {
    if (entry != "over move") log.push_back(entry);  // as many moves as the pointer makes
  };
  tk::Edit& target = form->before;
  const char* states[] = {"enter", "leave", "move"};
  combo().OnStartDrag = [&](tk::WinControl&) { note("start"); };
  target.OnDragOver = [&](tk::WinControl&, tk::WinControl& source, int, int, tk::DragState state,
                          bool& accept) {
    note(std::string("over ") + states[state]);
    accept = &source == &combo();
  };
  target.OnDragDrop = [&](tk::WinControl&, tk::WinControl&, int x, int y) {
    note("drop " + std::to_string(x) + "," + std::to_string(y));
  };
  combo().OnEndDrag = [&](tk::WinControl&, tk::WinControl* to, int x, int y) {
    note("end " + (to ? to->Name() : std::string("none")) + " " + std::to_string(x) + "," +
         std::to_string(y));
  };
  Fill(combo(), {"12345", "67890"});
  combo().SetDragMode(tk::dmAutomatic);
  HCURSOR no = LoadCursor(nullptr, IDC_NO), arrow = LoadCursor(nullptr, IDC_ARROW);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    log.clear();
    combo().SetStyle(c.style);
    combo().SetItemIndex(0);
    form->before.SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return form->before.Focused(); }));
    RECT box;
    GetWindowRect(c.style == csDropDown ? combo().EditWindow() : combo().Handle(), &box);
    POINT click{box.left + 1, (box.top + box.bottom) / 2};

    // A click is no drag: the box takes the focus; a selection-only box's list stays closed,
    // and a click inside the focused edit part puts the caret there.
    harness::ClickAt(click);
    ASSERT_TRUE(PumpUntil([&] { return combo().HasFocus() && !GetCapture(); }));
    EXPECT_FALSE(combo().ListDropped());
    if (c.style == csDropDown) {
      SendMessageA(combo().EditWindow(), EM_SETSEL, 2, 2);
      harness::ClickAt({box.right - 2, click.y});
      EXPECT_TRUE(PumpUntil(
          [&] { return EditSelection(combo()) == std::make_pair(5, 5) && !GetCapture(); }));
      EXPECT_EQ(GetFocus(), combo().EditWindow());
    }
    EXPECT_FALSE(combo().Dragging());

    // Pressed and moved within the threshold: waiting, not yet dragging.
    POINT press{click.x + 14, click.y};
    harness::PressAt(press);
    ASSERT_TRUE(PumpUntil([&] { return GetCapture() == combo().Handle(); }));
    harness::MoveTo({press.x + 2, press.y + 1});
    EXPECT_TRUE(combo().Dragging());
    EXPECT_TRUE(log.empty());

    // Over the form, which accepts nothing, then over the edit that accepts.
    RECT frame;
    GetWindowRect(form->Handle(), &frame);
    harness::MoveTo({frame.right - 30, frame.bottom - 30});
    EXPECT_TRUE(PumpUntil([&] { return !log.empty() && GetCursor() == no; }));
    POINT over = harness::CentreOf(target.Handle());
    harness::MoveTo(over);
    EXPECT_TRUE(PumpUntil([&] { return log.size() == 2 && GetCursor() == arrow; }));
    POINT at = over;
    ScreenToClient(target.Handle(), &at);
    std::string where = std::to_string(at.x) + "," + std::to_string(at.y);
    std::vector<std::string> expected = {"start", "over enter", "over leave"};
    if (c.escape) {
      PressKey(VK_ESCAPE);
      expected.push_back("end none 0,0");
    } else {
      harness::ReleaseAt(over);
      expected.push_back("drop " + where);
      expected.push_back("end before " + where);
    }
    EXPECT_TRUE(PumpUntil([&] { return !combo().Dragging() && log.size() >= expected.size(); }));
    if (c.escape) harness::ReleaseAt(over);
    harness::PumpIdle();
    EXPECT_EQ(log, expected);
    EXPECT_EQ(GetCapture(), nullptr);
  }
}
