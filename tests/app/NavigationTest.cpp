// The main window as a user drives it: the field ring, the keys it consumes, Tab, mouse
// presses and the enabling of the Save and track-artist buttons.

#include "tests/app/MainFormTest.h"

#include <imm.h>

#include <span>

#include "tests/app/MainWindowDesign.h"
#include "trackartists/u_trackartists.h"

using harness::PressKey;
using harness::TypeText;

// Every control at its design rectangle scaled to `dpi`, within a pixel of rounding; the
// client area and the font scale alike.
void MainFormTest::ExpectLayoutAt(int dpi, bool dialog) {
  auto scaled = [dpi](int length) { return MulDiv(length, dpi, 96); };
  int rounding = dpi == 96 ? 0 : 1;
  tk::Form& window =
      dialog ? static_cast<tk::Form&>(*TrackArtist_Form) : static_cast<tk::Form&>(*form);
  SIZE size = dialog ? kTrackArtistDialogClient : kMainWindowClient;
  RECT client;
  GetClientRect(window.Handle(), &client);
  EXPECT_NEAR(client.right, scaled(size.cx), rounding);
  EXPECT_NEAR(client.bottom, scaled(size.cy), rounding);
  HWND field = dialog ? TrackArtist_Form->KyArtist.Handle() : form->KyAlbum.Handle();
  LOGFONTA font{};
  GetObjectA(reinterpret_cast<HFONT>(SendMessageA(field, WM_GETFONT, 0, 0)), sizeof font, &font);
  EXPECT_STREQ(font.lfFaceName, "ＭＳ Ｐゴシック");
  EXPECT_EQ(font.lfHeight, -scaled(13));
  EXPECT_EQ(font.lfCharSet, SHIFTJIS_CHARSET);
  std::span<const DesignedControl> design = kMainWindowDesign;
  if (dialog) design = kTrackArtistDialogDesign;
  for (const DesignedControl& expected : design) {
    SCOPED_TRACE(expected.name);
    tk::WinControl* control = NamedIn(window, expected.name);
    ASSERT_NE(control, nullptr);
    RECT r;
    GetWindowRect(control->Handle(), &r);
    MapWindowPoints(nullptr, window.Handle(), reinterpret_cast<POINT*>(&r), 2);
    EXPECT_NEAR(r.left, scaled(expected.left), rounding);
    EXPECT_NEAR(r.top, scaled(expected.top), rounding);
    // A label's text is measured at each font size, which the font's hinting does not keep
    // in exact proportion.
    int sizeTolerance = expected.sizedToText ? 2 : 0;
    int textTolerance = dpi == 96 ? sizeTolerance : scaled(2 * sizeTolerance);
    EXPECT_NEAR(r.right - r.left, scaled(expected.width), rounding + textTolerance);
    EXPECT_NEAR(r.bottom - r.top, scaled(expected.height), rounding + textTolerance / 2);
  }
}

TEST_F(MainFormTest, StartsWithTheLayoutCaptionAndFocusInTheAlbumField) {
  EXPECT_EQ(form->Text(), "Quorvel 1.02");

  LONG style = GetWindowLongA(form->Handle(), GWL_STYLE);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);

  RECT frame;
  GetWindowRect(form->Handle(), &frame);
  EXPECT_NEAR((frame.left + frame.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((frame.top + frame.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);

  ExpectLayoutAt(96);
  for (const DesignedControl& expected : kMainWindowDesign) {
    if (expected.text) {
      EXPECT_EQ(Named(expected.name)->Text(), expected.text) << expected.name;
    }
  }

  // Tab order: the genre (3) before the year (4); the track-artist button is no tab stop.
  const std::pair<tk::WinControl*, int> order[] = {
      {&form->KyAlbum, 0},        {&form->KyAlbumArtist, 1}, {&form->KyArtist, 2},
      {&form->KyGenre, 3},        {&form->KyCBYear, 4},      {&form->kyCBDiscNo, 5},
      {&form->TrackArtistBtn, 6}, {&form->LoadBtn, 7},       {&form->SaveBtn, 8},
      {&form->EndBtn, 9}};
  for (auto [control, position] : order) {
    SCOPED_TRACE(control->Name());
    EXPECT_EQ(control->TabOrder(), position);
    bool tabStop = GetWindowLongA(control->Handle(), GWL_STYLE) & WS_TABSTOP;
    EXPECT_EQ(tabStop, control != &form->TrackArtistBtn);
  }

  EXPECT_TRUE(form->KyAlbum.Focused());
  EXPECT_FALSE(IsWindowEnabled(form->SaveBtn.Handle()));
  EXPECT_FALSE(IsWindowEnabled(form->TrackArtistBtn.Handle()));
  EXPECT_TRUE(IsWindowEnabled(form->LoadBtn.Handle()));
  EXPECT_TRUE(IsWindowEnabled(form->EndBtn.Handle()));
}

TEST_F(MainFormTest, EnterDownAndUpMoveRoundTheSixFieldsWithWrapAround) {
  tk::WinControl* ring[] = {&form->KyAlbum,  &form->KyAlbumArtist, &form->KyArtist,
                            &form->KyCBYear, &form->KyGenre,       &form->kyCBDiscNo};
  for (WORD key : {WORD(VK_RETURN), WORD(VK_DOWN)}) {
    for (int step = 1; step <= 6; ++step) {
      PressKey(key);
      ASSERT_TRUE(FocusIn(*ring[step % 6])) << "key " << key << " step " << step;
    }
  }
  for (int step = 1; step <= 6; ++step) {
    PressKey(VK_UP);
    ASSERT_TRUE(FocusIn(*ring[(6 - step) % 6])) << "up step " << step;
  }
  // Shift does not change Up and Down.
  PressKey(VK_UP, {VK_SHIFT});
  ASSERT_TRUE(FocusIn(form->kyCBDiscNo));
  PressKey(VK_DOWN, {VK_SHIFT});
  ASSERT_TRUE(FocusIn(form->KyAlbum));
}

TEST_F(MainFormTest, ArrowsInTheComboBoxesMoveFieldsWithoutChangingTheSelection) {
  PressKey(VK_UP);  // album -> disc number
  ASSERT_TRUE(FocusIn(form->kyCBDiscNo));
  int disc = form->kyCBDiscNo.ItemIndex();
  PressKey(VK_UP);
  ASSERT_TRUE(FocusIn(form->KyGenre));
  PressKey(VK_UP);
  ASSERT_TRUE(FocusIn(form->KyCBYear));
  int year = form->KyCBYear.ItemIndex();
  PressKey(VK_DOWN);
  ASSERT_TRUE(FocusIn(form->KyGenre));
  EXPECT_EQ(form->kyCBDiscNo.ItemIndex(), disc);
  EXPECT_EQ(form->KyCBYear.ItemIndex(), year);
}

TEST_F(MainFormTest, LeftAndRightMoveTheCaretButHomeEndAndPagesDoNot) {
  TypeText("abcd");
  ASSERT_EQ(form->KyAlbum.Text(), "abcd");
  PressKey(VK_LEFT);
  EXPECT_EQ(form->KyAlbum.Selection(), std::make_pair(3, 3));
  for (WORD key : {WORD(VK_HOME), WORD(VK_END), WORD(VK_PRIOR), WORD(VK_NEXT)}) {
    PressKey(key);
    EXPECT_EQ(form->KyAlbum.Selection(), std::make_pair(3, 3)) << "key " << key;
    EXPECT_TRUE(form->KyAlbum.Focused());
  }
  PressKey(VK_HOME, {VK_SHIFT});
  EXPECT_EQ(form->KyAlbum.Selection(), std::make_pair(3, 3));
  PressKey(VK_LEFT);
  PressKey(VK_LEFT);
  EXPECT_EQ(form->KyAlbum.Selection(), std::make_pair(1, 1));
  PressKey(VK_RIGHT);
  EXPECT_EQ(form->KyAlbum.Selection(), std::make_pair(2, 2));
}

TEST_F(MainFormTest, TabAndShiftTabStayInTheFieldAndSelectItsText) {
  PressKey(VK_RETURN);
  ASSERT_TRUE(FocusIn(form->KyAlbumArtist));
  TypeText("xyz");
  PressKey(VK_LEFT);
  ASSERT_EQ(form->KyAlbumArtist.Selection(), std::make_pair(2, 2));
  PressKey(VK_TAB);
  EXPECT_TRUE(FocusIn(form->KyAlbumArtist));
  EXPECT_EQ(form->KyAlbumArtist.Selection(), std::make_pair(0, 3));
  PressKey(VK_LEFT);
  PressKey(VK_TAB, {VK_SHIFT});
  EXPECT_TRUE(FocusIn(form->KyAlbumArtist));
  EXPECT_EQ(form->KyAlbumArtist.Selection(), std::make_pair(0, 3));
  PressKey(VK_TAB, {VK_CONTROL});
  EXPECT_TRUE(FocusIn(form->KyAlbumArtist));
  // In a combo box too.
  PressKey(VK_DOWN);
  PressKey(VK_DOWN);
  ASSERT_TRUE(FocusIn(form->KyCBYear));
  PressKey(VK_TAB);
  EXPECT_TRUE(FocusIn(form->KyCBYear));
  PressKey(VK_RETURN);
  EXPECT_TRUE(FocusIn(form->KyGenre));
}

TEST_F(MainFormTest, UnassignedFunctionKeysAndShiftedCommandsRunNothing) {
  std::vector<std::pair<WORD, std::initializer_list<WORD>>> keys = {
      {VK_F5, {VK_SHIFT}}, {VK_F6, {VK_SHIFT}}, {VK_F9, {VK_SHIFT}}, {VK_F12, {VK_SHIFT}},
      {VK_F1, {}},         {VK_F2, {}},         {VK_F3, {}},         {VK_F4, {}},
      {VK_F7, {}},         {VK_F8, {}},         {VK_F10, {}},        {VK_F11, {}},
      {VK_F4, {VK_MENU}},
  };
  PressKey(VK_RETURN);
  ASSERT_TRUE(FocusIn(form->KyAlbumArtist));
  for (auto& [key, modifiers] : keys) {
    PressKey(key, modifiers);
    EXPECT_TRUE(FocusIn(form->KyAlbumArtist)) << "key " << key;
    EXPECT_FALSE(tk::Application::Instance().Terminated()) << "key " << key;
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
  }
  // The ring still works: nothing has closed.
  PressKey(VK_RETURN);
  EXPECT_TRUE(FocusIn(form->KyArtist));
}

TEST_F(MainFormTest, TypingAloneDoesNotEnableSaveAndBlanksCountAsFilled) {
  TypeText(" ");
  PressKey(VK_RETURN);
  TypeText(" ");
  PressKey(VK_RETURN);
  ASSERT_TRUE(FocusIn(form->KyArtist));
  TypeText("a");
  EXPECT_FALSE(IsWindowEnabled(form->SaveBtn.Handle()));
  PressKey(VK_RETURN);
  ASSERT_TRUE(FocusIn(form->KyCBYear));
  EXPECT_TRUE(IsWindowEnabled(form->SaveBtn.Handle()));
  EXPECT_FALSE(IsWindowEnabled(form->TrackArtistBtn.Handle()));
  // Emptying a name field disables it again at the next move.
  PressKey(VK_UP);
  PressKey(VK_DELETE);
  EXPECT_TRUE(IsWindowEnabled(form->SaveBtn.Handle()));
  PressKey(VK_UP);
  EXPECT_FALSE(IsWindowEnabled(form->SaveBtn.Handle()));
}

TEST_F(MainFormTest, APressIntoAnotherEditMakesItTheCurrentField) {
  for (tk::Edit* edit : {&form->KyAlbum, &form->KyAlbumArtist}) {
    edit->SetFocus();
    TypeText("n");
  }
  form->KyAlbum.SetFocus();
  form->KyArtist.SetText("x");
  EXPECT_FALSE(IsWindowEnabled(form->SaveBtn.Handle()));
  Click(form->KyGenre);
  ASSERT_TRUE(FocusIn(form->KyGenre));
  EXPECT_TRUE(IsWindowEnabled(form->SaveBtn.Handle()));
  // Entered by a click, the text is not selected.
  auto [start, end] = form->KyGenre.Selection();
  EXPECT_EQ(start, end);
  PressKey(VK_RETURN);
  EXPECT_TRUE(FocusIn(form->kyCBDiscNo));
  // A press into the field that already has the focus changes nothing.
  Click(form->kyCBDiscNo);
  PressKey(VK_UP);
  EXPECT_TRUE(FocusIn(form->KyGenre));
}

TEST_F(MainFormTest, APressIntoAComboBoxMovesTheFocusButNotTheFieldNumber) {
  Click(form->kyCBDiscNo);
  ASSERT_TRUE(FocusIn(form->kyCBDiscNo));
  PressKey(VK_RETURN);  // the field after the album, not after the disc number
  EXPECT_TRUE(FocusIn(form->KyAlbumArtist));
}

TEST_F(MainFormTest, PressesOnLabelsTheBevelAndTheBackgroundDoNothing) {
  PressKey(VK_RETURN);
  ASSERT_TRUE(FocusIn(form->KyAlbumArtist));
  Click(form->Label5);
  Click(form->Bevel1);
  RECT frame;
  GetWindowRect(form->Handle(), &frame);
  harness::ClickAt({frame.left + 400, frame.bottom - 70});  // the background beside the genre
  EXPECT_TRUE(FocusIn(form->KyAlbumArtist));
  PressKey(VK_RETURN);
  EXPECT_TRUE(FocusIn(form->KyArtist));
}

TEST_F(MainFormTest, AButtonClickReturnsTheFocusToTheCurrentField) {
  PressKey(VK_DOWN);
  PressKey(VK_DOWN);
  ASSERT_TRUE(FocusIn(form->KyArtist));
  harness::ModalWatcher watcher;
  watcher.Expect(harness::ModalWatcher::Cancel());  // the load command's file-open dialog
  Click(form->LoadBtn);
  ASSERT_TRUE(watcher.WaitAllAnswered());
  EXPECT_TRUE(FocusIn(form->KyArtist));
}

class ClosingTest : public MainFormTest {
 protected:
  // After the close step the window still exists until the application shuts down, but
  // neither keys nor commands move the focus or change the buttons.
  void ExpectInert() {
    EXPECT_TRUE(harness::PumpUntil([] { return tk::Application::Instance().Terminated(); }));
    form->KyAlbum.SetText("x");
    form->KyArtist.SetText("y");
    form->KyAlbumArtist.SetFocus();
    PressKey(VK_RETURN);
    PressKey(VK_F9);
    EXPECT_TRUE(form->KyAlbumArtist.Focused());
    EXPECT_FALSE(IsWindowEnabled(form->SaveBtn.Handle()));
  }
};

TEST_F(ClosingTest, TheEndButtonClosesAndNothingRunsAfterwards) {
  PressKey(VK_RETURN);
  TypeText("a");
  Click(form->EndBtn);
  ExpectInert();
}

TEST_F(ClosingTest, F12ClosesAndNothingRunsAfterwards) {
  PressKey(VK_RETURN);
  TypeText("a");
  PressKey(VK_F12);
  ExpectInert();
}

// Coming back from another window leaves the caret where it was: typing goes on there.
TEST_F(MainFormTest, ReactivationKeepsTheCaret) {
  TypeText("ac");
  PressKey(VK_LEFT);
  HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                               nullptr, nullptr, nullptr);
  ASSERT_NE(other, nullptr);
  SetForegroundWindow(other);
  ASSERT_TRUE(harness::PumpUntil([&] { return GetForegroundWindow() == other; }));
  SetForegroundWindow(form->Handle());
  ASSERT_TRUE(FocusIn(form->KyAlbum));
  DestroyWindow(other);
  TypeText("b");
  EXPECT_EQ(form->KyAlbum.Text(), "abc");
}

// The name fields turn the input method to full-width hiragana and keep the user's romaji
// or kana choice and the other bits that mode does not decide.
TEST_F(MainFormTest, TheNameFieldsSwitchToHiraganaAndKeepRomaji) {
  HIMC context = ImmGetContext(form->KyAlbum.Handle());
  ASSERT_NE(context, nullptr);
  const DWORD kept = IME_CMODE_ROMAN | IME_CMODE_SYMBOL;
  ImmSetConversionStatus(context, kept | IME_CMODE_KATAKANA, IME_SMODE_NONE);
  ImmReleaseContext(form->KyAlbum.Handle(), context);
  PressKey(VK_RETURN);
  ASSERT_TRUE(FocusIn(form->KyAlbumArtist));
  context = ImmGetContext(form->KyAlbumArtist.Handle());
  DWORD conversion = 0, sentence = 0;
  ImmGetConversionStatus(context, &conversion, &sentence);
  ImmReleaseContext(form->KyAlbumArtist.Handle(), context);
  EXPECT_EQ(conversion, kept | IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE);
}

// Moved to a monitor of another scale, the window lays itself out anew for it, and back; the
// focus, the field, the selection and the typed text stay.
TEST_F(MainFormTest, ADpiChangeLaysTheWindowOutAgainAndKeepsWhatItHolds) {
  TypeText("Abc");
  for (int i = 0; i < 3; ++i) PressKey(VK_RETURN);
  ASSERT_TRUE(FocusIn(form->KyCBYear));
  form->KyCBYear.SetItemIndex(1);
  std::string year = form->KyCBYear.Text();
  for (int dpi : {144, 192, 96}) {
    SCOPED_TRACE(dpi);
    RECT frame;
    GetWindowRect(form->Handle(), &frame);
    RECT client{0, 0, MulDiv(592, dpi, 96), MulDiv(237, dpi, 96)};
    AdjustWindowRectEx(&client, GetWindowLongA(form->Handle(), GWL_STYLE), FALSE,
                       GetWindowLongA(form->Handle(), GWL_EXSTYLE));
    RECT suggested{frame.left, frame.top, frame.left + client.right - client.left,
                   frame.top + client.bottom - client.top};
    SendMessageA(form->Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi),
                 reinterpret_cast<LPARAM>(&suggested));
    ExpectLayoutAt(dpi);
    EXPECT_TRUE(form->KyCBYear.Focused());
    EXPECT_EQ(form->KyCBYear.ItemIndex(), 1);
    EXPECT_EQ(form->KyCBYear.Text(), year);
    EXPECT_EQ(form->KyAlbum.Text(), "Abc");
  }
  PressKey(VK_RETURN);  // the ring goes on from the year
  EXPECT_TRUE(FocusIn(form->KyGenre));
}

// A window made on a monitor of another scale than the system's is laid out for that monitor
// from the start, as a move there would lay it out.
class MainFormOnAScaledMonitor : public MainFormTest {
 protected:
  void SetUp() override {
    systemQuery = tk::SetWindowDpiQuery([](HWND) { return 144; });
    MainFormTest::SetUp();
  }
  void TearDown() override {
    MainFormTest::TearDown();
    tk::SetWindowDpiQuery(systemQuery);
  }
  tk::WindowDpiQuery systemQuery = nullptr;
};

TEST_F(MainFormOnAScaledMonitor, BothWindowsAreLaidOutForItWhenTheyAreMade) {
  ExpectLayoutAt(144);
  ExpectLayoutAt(144, true);
  // Still centred where the system's layout put them.
  RECT frame;
  GetWindowRect(form->Handle(), &frame);
  EXPECT_NEAR((frame.left + frame.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 1);
  EXPECT_NEAR((frame.top + frame.bottom) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 1);
}
