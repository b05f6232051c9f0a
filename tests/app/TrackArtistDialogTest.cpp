// The track-artist dialog over the real main window, driven by real keys and clicks from
// inside its modal showing.

#include "tests/app/MainFormTest.h"
#include "trackartists/u_trackartists.h"

using harness::PressKey;
using harness::TypeText;

namespace {

ArtistMap MapOf(std::initializer_list<std::pair<const char*, const char*>> entries) {
  ArtistMap map;
  for (auto [title, artist] : entries) map.SetArtist(title, artist);
  return map;
}

std::vector<std::string> Entries(const ArtistMap& map) {
  std::vector<std::string> entries;
  for (int i = 0; i < map.Count(); ++i) entries.push_back(map.TitleAt(i) + "=" + map.ArtistAt(i));
  return entries;
}

void ClickOn(tk::WinControl& control) { harness::ClickAt(harness::CentreOf(control.Handle())); }

// The close box, the rightmost button of the caption.
void ClickCloseBox(HWND window) {
  RECT frame;
  GetWindowRect(window, &frame);
  int border = GetSystemMetrics(SM_CXFIXEDFRAME);
  harness::ClickAt({frame.right - border - GetSystemMetrics(SM_CXSIZE) / 2,
                    frame.top + border + GetSystemMetrics(SM_CYCAPTION) / 2});
}

}  // namespace

class TrackArtistDialogTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    dialog = TrackArtist_Form;
  }

  // Edits `artists` with a title.txt of these bytes, running `script` while the dialog
  // shows; the script ends the showing.
  bool Edit(const std::string& titles, ArtistMap& artists, const std::function<void()>& script) {
    std::wstring path = folder.Write(L"title.txt", titles);
    harness::RunInsideModal(TrackArtistDialogActive, [this, script] {
      script();
      if (dialog->ModalResult() == 0) {
        ADD_FAILURE() << "the dialog is still open";
        dialog->Close();
      }
    });
    Album album;
    album.artists.Assign(artists);
    bool changed = dialog->EditTrackArtists(path, album);
    artists.Assign(album.artists);
    return changed;
  }
  bool Enabled(tk::WinControl& control) { return IsWindowEnabled(control.Handle()) != FALSE; }

  harness::TempFolder folder;
  TTrackArtist_Form* dialog = nullptr;
};

TEST_F(TrackArtistDialogTest, ShowsItsControlsCentredOverTheDisabledMainWindow) {
  ArtistMap map;
  std::string longTitle(5000, 'x');
  ASSERT_FALSE(Edit("01 Intro.mp3\r\n" + longTitle + "\r\n", map, [&] {
    HWND window = dialog->Handle();
    EXPECT_FALSE(IsWindowEnabled(form->Handle()));
    char caption[64];
    GetWindowTextA(window, caption, sizeof caption);
    EXPECT_STREQ(caption, "曲別参加アーティスト");
    RECT client;
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 460);
    EXPECT_EQ(client.bottom, 154);
    LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_TRUE(style & WS_SYSMENU);
    EXPECT_FALSE(style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME));
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
    POINT centre = harness::CentreOf(window), mainCentre = harness::CentreOf(form->Handle());
    EXPECT_LE(std::abs(centre.x - mainCentre.x), 1);
    EXPECT_LE(std::abs(centre.y - mainCentre.y), 1);
    EXPECT_EQ(GetWindowLongA(dialog->KyTitle.Handle(), GWL_STYLE) & 3, CBS_DROPDOWNLIST);
    EXPECT_EQ(dialog->SaveBtn.Text(), "登録(F9)");
    EXPECT_EQ(dialog->DeleteBtn.Text(), "削除(F8)");
    EXPECT_EQ(dialog->EndBtn.Text(), "閉じる(F12)");
    EXPECT_TRUE(dialog->KyTitle.Focused());
    ASSERT_EQ(dialog->KyTitle.Items().Count(), 2);
    EXPECT_EQ(dialog->SelectedTitle(), "Intro");
    EXPECT_TRUE(Enabled(dialog->SaveBtn));
    EXPECT_FALSE(Enabled(dialog->DeleteBtn));
    dialog->KyTitle.SetItemIndex(1);
    EXPECT_EQ(dialog->SelectedTitle(), longTitle);  // read back whole
    PressKey(VK_F12);
  }));
  EXPECT_TRUE(IsWindowEnabled(form->Handle()));
  EXPECT_FALSE(IsWindowVisible(dialog->Handle()));
}

TEST_F(TrackArtistDialogTest, AnEmptyOrUnusableTitleFileOffersNothingToRegister) {
  for (const char* titles : {"", "1999\r\n09.mp3\r\n \r\n"}) {
    SCOPED_TRACE(titles);
    ArtistMap map = MapOf({{"Other", "X"}});
    EXPECT_FALSE(Edit(titles, map, [&] {
      EXPECT_EQ(dialog->KyTitle.Items().Count(), 0);
      EXPECT_EQ(dialog->KyTitle.ItemIndex(), -1);
      EXPECT_FALSE(Enabled(dialog->SaveBtn));
      EXPECT_FALSE(Enabled(dialog->DeleteBtn));
      EXPECT_EQ(dialog->KyArtist.Text(), "");
      PressKey(VK_DOWN);
      TypeText("Guest");
      PressKey(VK_F9);
      PressKey(VK_F8);
      EXPECT_EQ(dialog->KyArtist.Text(), "Guest");  // F8 did nothing either
      PressKey(VK_F12);
    }));
    EXPECT_EQ(Entries(map), std::vector<std::string>{"Other=X"});
  }
}

TEST_F(TrackArtistDialogTest, RegisterStoresTheTrimmedArtistAndBlanksRemoveTheEntry) {
  const std::string titles = "01 Intro.mp3\r\n02 Song.mp3\r\n";
  ArtistMap map;
  EXPECT_TRUE(Edit(titles, map, [&] {
    PressKey(VK_DOWN);
    ASSERT_TRUE(dialog->KyArtist.Focused());
    TypeText("  Guest  ");
    PressKey(VK_F9);
    EXPECT_EQ(dialog->KyArtist.Text(), "  Guest  ");  // kept as typed
    EXPECT_TRUE(Enabled(dialog->DeleteBtn));
    EXPECT_TRUE(dialog->KyArtist.Focused());
    PressKey(VK_F12);
  }));
  EXPECT_EQ(Entries(map), std::vector<std::string>{"Intro=Guest"});
  EXPECT_TRUE(Edit(titles, map, [&] {
    EXPECT_EQ(dialog->KyArtist.Text(), "Guest");
    PressKey(VK_DOWN);
    TypeText("   ");
    PressKey(VK_F9);
    EXPECT_FALSE(Enabled(dialog->DeleteBtn));
    PressKey(VK_F12);
  }));
  EXPECT_EQ(map.Count(), 0);
}

// Whether the dialog reports a change depends on the commands run, not on the map.
TEST_F(TrackArtistDialogTest, TheResultSaysWhetherARegisterOrDeleteRan) {
  const struct {
    const char* name;
    std::function<void(TTrackArtist_Form&)> script;
    bool result;
    std::vector<std::string> entries;
  } cases[] = {
      {"typing, then F12",
       [](TTrackArtist_Form&) {
         PressKey(VK_DOWN);
         TypeText("Other");
         PressKey(VK_F12);
       },
       false,
       {"Intro=Guest"}},
      {"Escape does nothing, the close button closes",
       [](TTrackArtist_Form& d) {
         PressKey(VK_ESCAPE);
         EXPECT_EQ(d.ModalResult(), 0);
         ClickOn(d.EndBtn);
       },
       false,
       {"Intro=Guest"}},
      {"F8 on a title without an entry",
       [](TTrackArtist_Form& d) {
         TypeText("s");  // the list selects "Song"
         EXPECT_EQ(d.SelectedTitle(), "Song");
         EXPECT_FALSE(IsWindowEnabled(d.DeleteBtn.Handle()));
         PressKey(VK_F8);
         PressKey(VK_F12);
       },
       true,
       {"Intro=Guest"}},
      {"the same artist again, then the close box",
       [](TTrackArtist_Form& d) {
         PressKey(VK_F9);
         ClickCloseBox(d.Handle());
       },
       true,
       {"Intro=Guest"}},
      {"a new artist with the register button, then F8 with the delete button",
       [](TTrackArtist_Form& d) {
         PressKey(VK_DOWN);
         TypeText("New");
         ClickOn(d.SaveBtn);
         EXPECT_TRUE(d.KyArtist.Focused());
         ClickOn(d.DeleteBtn);
         EXPECT_EQ(d.KyArtist.Text(), "");
         EXPECT_FALSE(IsWindowEnabled(d.DeleteBtn.Handle()));
         PressKey(VK_F12);
       },
       true,
       {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ArtistMap map = MapOf({{"Intro", "Guest"}});
    EXPECT_EQ(Edit("01 Intro.mp3\r\n02 Song.mp3\r\n", map, [&] { c.script(*dialog); }), c.result);
    EXPECT_EQ(Entries(map), c.entries);
  }
}

TEST_F(TrackArtistDialogTest, UpDownAndEnterMoveBetweenTheFieldsWithoutChangingTheTitle) {
  ArtistMap map;
  EXPECT_FALSE(Edit("A\r\nB\r\nC\r\n", map, [&] {
    tk::WinControl* expected[] = {&dialog->KyArtist, &dialog->KyTitle};
    int step = 0;
    for (WORD key : {VK_DOWN, VK_DOWN, VK_UP, VK_UP, VK_RETURN, VK_RETURN}) {
      PressKey(key);
      EXPECT_TRUE(expected[step++ % 2]->Focused()) << "key " << key;
      EXPECT_EQ(dialog->KyTitle.ItemIndex(), 0);
    }
    // Tab moves the focus without moving the field: the next key goes on from the list.
    PressKey(VK_TAB);
    PressKey(VK_TAB);
    ASSERT_TRUE(dialog->SaveBtn.Focused());
    PressKey(VK_DOWN);
    EXPECT_TRUE(dialog->KyArtist.Focused());
    PressKey(VK_F12);
  }));
}

TEST_F(TrackArtistDialogTest, AClickMovesTheFocusAndTheNextCommandBringsItBack) {
  ArtistMap map;
  EXPECT_TRUE(Edit("01 Intro.mp3\r\n", map, [&] {
    ClickOn(dialog->KyArtist);
    ASSERT_TRUE(harness::PumpUntil([&] { return dialog->KyArtist.Focused(); }));
    TypeText("Guest");
    PressKey(VK_F9);
    EXPECT_TRUE(dialog->KyTitle.Focused());
    EXPECT_TRUE(Enabled(dialog->DeleteBtn));
    PressKey(VK_F12);
  }));
  EXPECT_EQ(Entries(map), std::vector<std::string>{"Intro=Guest"});
}

TEST_F(TrackArtistDialogTest, EntriesAreFoundIgnoringCaseAndOthersSurvive) {
  ArtistMap map = MapOf({{"Other", "X"}, {"INTRO", "Old"}});
  EXPECT_TRUE(Edit("01 Intro.mp3\r\n02 Song.mp3\r\n", map, [&] {
    EXPECT_EQ(dialog->KyArtist.Text(), "Old");
    EXPECT_TRUE(Enabled(dialog->DeleteBtn));
    PressKey(VK_DOWN);
    TypeText("Lost");  // never registered
    PressKey(VK_RETURN);
    TypeText("s");
    EXPECT_EQ(dialog->KyArtist.Text(), "");
    EXPECT_FALSE(Enabled(dialog->DeleteBtn));
    TypeText("i");
    EXPECT_EQ(dialog->SelectedTitle(), "Intro");
    EXPECT_EQ(dialog->KyArtist.Text(), "Old");
    PressKey(VK_DOWN);
    TypeText("New");
    PressKey(VK_F9);
    PressKey(VK_F12);
  }));
  EXPECT_EQ(Entries(map), (std::vector<std::string>{"Other=X", "Intro=New"}));
}

// A title with "=" is never found in the map: F8 only empties the field, and counts.
TEST_F(TrackArtistDialogTest, ATitleWithAnEqualsSignIsNeverFound) {
  ArtistMap map = MapOf({{"A", "B=X"}});
  EXPECT_TRUE(Edit("01 A=B.mp3\r\n", map, [&] {
    EXPECT_EQ(dialog->KyArtist.Text(), "");
    EXPECT_FALSE(Enabled(dialog->DeleteBtn));
    PressKey(VK_DOWN);
    TypeText("X");
    PressKey(VK_F8);
    EXPECT_EQ(dialog->KyArtist.Text(), "");
    PressKey(VK_F12);
  }));
  EXPECT_EQ(Entries(map), std::vector<std::string>{"A=B=X"});
}

// An entry that metadata.txt would not give back as it is gets the warning instead: nothing
// is stored or counted, the typed artist stays, and the focus goes where the field number
// says, whether F9, Enter on the register button or a click on it asked.
TEST_F(TrackArtistDialogTest, AnEntryThatWouldNotReadBackIsRefusedWithAWarning) {
  const std::string titles = "=LOVE\r\n#好きなんだ\r\n[Live] Song\r\n01 1+1=2.mp3\r\n";
  harness::ModalWatcher watcher;
  auto refused = [&](const std::function<void()>& press) {
    watcher.Expect(harness::ModalWatcher::Click(IDOK));
    press();
    ASSERT_TRUE(watcher.WaitAllAnswered());
  };
  ArtistMap map = MapOf({{"Other", "X"}});
  EXPECT_FALSE(Edit(titles, map, [&] {
    EXPECT_EQ(dialog->SelectedTitle(), "=LOVE");
    PressKey(VK_DOWN);
    TypeText("Guest");
    refused([] { PressKey(VK_F9); });
    EXPECT_TRUE(FocusIn(dialog->KyArtist));
    EXPECT_EQ(dialog->KyArtist.Text(), "Guest");

    PressKey(VK_UP);
    TypeText("#");
    EXPECT_EQ(dialog->SelectedTitle(), "#好きなんだ");
    PressKey(VK_DOWN);
    TypeText("Guest");
    PressKey(VK_TAB);
    ASSERT_TRUE(dialog->SaveBtn.Focused());
    refused([] { PressKey(VK_RETURN); });
    EXPECT_TRUE(FocusIn(dialog->KyArtist));

    PressKey(VK_UP);
    TypeText("[");
    ClickOn(dialog->KyArtist);
    ASSERT_TRUE(FocusIn(dialog->KyArtist));
    TypeText("Guest [JP]");
    refused([&] { ClickOn(dialog->SaveBtn); });
    EXPECT_TRUE(FocusIn(dialog->KyTitle));
    EXPECT_EQ(dialog->KyArtist.Text(), "Guest [JP]");

    TypeText("1");
    EXPECT_EQ(dialog->SelectedTitle(), "1+1=2");
    PressKey(VK_DOWN);
    TypeText("Guest");
    refused([] { PressKey(VK_F9); });
    EXPECT_FALSE(Enabled(dialog->DeleteBtn));
    PressKey(VK_F12);
  }));
  EXPECT_EQ(Entries(map), std::vector<std::string>{"Other=X"});
  std::vector<harness::ModalInfo> seen = watcher.Seen();
  ASSERT_EQ(seen.size(), 4u);
  for (const harness::ModalInfo& box : seen) {
    EXPECT_EQ(box.caption, "警告");
    EXPECT_EQ(box.text,
              "この曲名と参加アーティストは metadata.txt に保存すると正しく読み戻せないため、"
              "登録できません。");
    EXPECT_EQ(box.Flags(), static_cast<UINT>(MB_OK | MB_ICONWARNING));
  }
  // Blanks still remove such a title's entry, without a warning.
  map = MapOf({{"#好きなんだ", "Guest"}});
  EXPECT_TRUE(Edit(titles, map, [&] {
    TypeText("#");
    PressKey(VK_DOWN);
    TypeText("  ");  // in place of the selected "Guest"
    PressKey(VK_F9);
    PressKey(VK_F12);
  }));
  EXPECT_EQ(map.Count(), 0);
  EXPECT_EQ(watcher.Seen().size(), 4u);
}

// Enter on a focused button presses it; the field number stays where it was.
TEST_F(TrackArtistDialogTest, EnterOnAFocusedButtonPressesIt) {
  const std::string titles = "[Live] Song\r\n";
  ArtistMap map;
  EXPECT_TRUE(Edit(titles, map, [&] {
    PressKey(VK_RETURN);
    TypeText("Guest");
    PressKey(VK_TAB);
    ASSERT_TRUE(dialog->SaveBtn.Focused());
    PressKey(VK_RETURN);
    EXPECT_TRUE(FocusIn(dialog->KyArtist));
    EXPECT_TRUE(Enabled(dialog->DeleteBtn));
    for (int i = 0; i < 3; ++i) PressKey(VK_TAB);
    ASSERT_TRUE(dialog->EndBtn.Focused());
    PressKey(VK_RETURN);
  }));
  EXPECT_EQ(Entries(map), std::vector<std::string>{"[Live] Song=Guest"});
  EXPECT_TRUE(Edit(titles, map, [&] {
    PressKey(VK_RETURN);
    PressKey(VK_TAB);
    PressKey(VK_TAB);
    ASSERT_TRUE(dialog->DeleteBtn.Focused());
    PressKey(VK_RETURN);
    EXPECT_EQ(dialog->KyArtist.Text(), "");
    EXPECT_TRUE(FocusIn(dialog->KyArtist));
    PressKey(VK_F12);
  }));
  EXPECT_EQ(map.Count(), 0);
}

// The command keys act whatever modifier keys are held; Alt+Down does not open the list.
TEST_F(TrackArtistDialogTest, CommandKeysActWithShiftCtrlOrAltHeld) {
  for (WORD modifier : {VK_SHIFT, VK_CONTROL, VK_MENU}) {
    SCOPED_TRACE(modifier);
    ArtistMap map;
    EXPECT_TRUE(Edit("A\r\nB\r\n", map, [&] {
      PressKey(VK_DOWN, {modifier});
      EXPECT_TRUE(dialog->KyArtist.Focused());
      EXPECT_EQ(SendMessageA(dialog->KyTitle.Handle(), CB_GETDROPPEDSTATE, 0, 0), 0);
      TypeText("Guest");
      PressKey(VK_F9, {modifier});
      EXPECT_TRUE(Enabled(dialog->DeleteBtn));
      PressKey(VK_UP, {modifier});
      EXPECT_TRUE(dialog->KyTitle.Focused());
      PressKey(VK_F8, {modifier});
      EXPECT_EQ(dialog->KyArtist.Text(), "");
      EXPECT_EQ(dialog->KyTitle.ItemIndex(), 0);
      PressKey(VK_F12, {modifier});
    }));
    EXPECT_EQ(map.Count(), 0);
  }
}

// Filling the list selects its first title without running the change handler, which would
// put an artist (here none) in place of what the field holds.
TEST_F(TrackArtistDialogTest, LoadingTheTitlesRunsNoChangeHandler) {
  dialog->KyArtist.SetText("kept");
  dialog->LoadTitles(folder.Write(L"title.txt", "01 Intro.mp3\r\n02 Song.mp3\r\n"));
  EXPECT_EQ(dialog->SelectedTitle(), "Intro");
  EXPECT_EQ(dialog->KyArtist.Text(), "kept");
}
