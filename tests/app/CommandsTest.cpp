// The load, save and track-artist commands with the real file-open dialog and real
// message boxes, answered by the harness after it has read what each box shows.

#include "tests/app/MainFormTest.h"

#include <commdlg.h>

#include "platform/Files.h"
#include "support/Today.h"
#include "trackartists/u_trackartists.h"

using harness::ModalWatcher;
using harness::PressKey;
using harness::TempFolder;

namespace {

std::wstring SettingsPath() { return platform::ChangeFileExt(platform::ExecutablePath(), L".ini"); }

// A file held open by another handle without sharing, as another program would lock it.
class Lock {
 public:
  explicit Lock(const std::wstring& path, DWORD share = 0)
      : file_(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_ALWAYS,
                          0, nullptr)) {}
  ~Lock() { CloseHandle(file_); }
  bool Held() const { return file_ != INVALID_HANDLE_VALUE; }

 private:
  HANDLE file_;
};

const char kAlbumA[] =
    "ALBUM=Album A\r\nALBUMARTIST=Artist A\r\nARTIST=Band A\r\nGENRE=Rock\r\n"
    "[ARTISTS]\r\nSong=Guest\r\n";

struct Box {
  std::string caption, text;
  UINT flags;
};

void ExpectBox(const harness::ModalInfo& seen, const Box& expected) {
  EXPECT_EQ(seen.caption, expected.caption);
  EXPECT_EQ(seen.text, expected.text);
  EXPECT_EQ(seen.Flags(), expected.flags) << seen.text;
}

const Box kSaved{"情報", "metadata.txtを保存しました。", 64};
const Box kCancelled{"情報", "中止しました。", 64};
const Box kOverwrite{"質問", "上書きしますか？", 292};

}  // namespace

class CommandsTest : public MainFormTest {
 protected:
  void SetUp() override {
    DeleteFileW(SettingsPath().c_str());
    MainFormTest::SetUp();
  }
  void TearDown() override {
    MainFormTest::TearDown();
    DeleteFileW(SettingsPath().c_str());
  }

  // F5 and a confirmed choice of `path` in the file-open dialog.
  void Load(const std::wstring& path) {
    ModalWatcher watcher;
    watcher.Expect(ModalWatcher::ChooseFile(path));
    PressKey(VK_F5);
    ASSERT_TRUE(watcher.WaitAllAnswered());
    harness::PumpIdle();
  }
  // F5 and a confirmed choice of `path`, after which the load fails: returns the error box.
  harness::ModalInfo LoadFailing(const std::wstring& path) {
    auto seen = PressAndAnswer(VK_F5, {ModalWatcher::ChooseFile(path), ModalWatcher::Click(IDOK)});
    return seen.size() == 2 ? seen[1] : harness::ModalInfo{};
  }
  // Presses a key and answers the boxes that follow, returning what they showed.
  std::vector<harness::ModalInfo> PressAndAnswer(WORD key,
                                                 std::vector<ModalWatcher::Action> answers) {
    ModalWatcher watcher;
    for (auto& answer : answers) watcher.Expect(answer);
    PressKey(key);
    EXPECT_TRUE(watcher.WaitAllAnswered());
    harness::PumpIdle();
    return watcher.Seen();
  }
  std::string Selected(TComboBoxExVell& box) { return box.Items().Get(box.ItemIndex()); }
  // F6, with `script` run while the track-artist dialog shows; the script closes it.
  void TrackArtists(const std::function<void()>& script) {
    bool ran = false;
    harness::RunInsideModal(TrackArtistDialogActive, [&] {
      EXPECT_FALSE(IsWindowEnabled(form->Handle()));
      script();
      ran = true;
    });
    PressKey(VK_F6);
    ASSERT_TRUE(harness::PumpUntil([&] { return ran && !TrackArtist_Form->Modal(); }, 15000));
  }
  std::vector<std::string> ArtistEntries() {
    std::vector<std::string> entries;
    for (int i = 0; i < form->Artists().Count(); ++i)
      entries.push_back(form->Artists().TitleAt(i) + "=" + form->Artists().ArtistAt(i));
    return entries;
  }
};

TEST_F(CommandsTest, TheFirstConfirmedChoiceCreatesTheSettingsFileCancelWritesNothing) {
  TempFolder album(L"album");
  std::wstring title = album.Write(L"title.txt", "01 Intro.mp3\r\n");
  auto seen = PressAndAnswer(VK_F5, {ModalWatcher::Cancel()});
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].caption, "開く");
  EXPECT_FALSE(platform::FileExists(SettingsPath()));
  EXPECT_TRUE(form->TitleFileName().empty());

  Load(title);
  EXPECT_EQ(harness::ReadFileBytes(SettingsPath()),
            "[Settings]\r\nLastFolder=" + harness::Ansi(album.Path()) + "\r\n");
  EXPECT_EQ(form->TitleFileName(), title);
  EXPECT_EQ(form->MetadataFileName(), album.Path() + L"metadata.txt");
  EXPECT_TRUE(IsWindowEnabled(form->TrackArtistBtn.Handle()));
  EXPECT_TRUE(form->KyAlbum.Focused());
}

TEST_F(CommandsTest, TheDialogOpensInTheLastFolderAndTakesAnyConfirmedName) {
  TempFolder album(L"album");
  Load(album.Write(L"title.txt", ""));
  std::wstring folder;
  auto seen = PressAndAnswer(VK_F5, {[&](HWND dialog) {
                               wchar_t path[MAX_PATH] = L"";
                               SendMessageW(dialog, CDM_GETFOLDERPATH, MAX_PATH,
                                            reinterpret_cast<LPARAM>(path));
                               folder = path;
                               ModalWatcher::ChooseFile(album.Path() + L"tracks.txt")(dialog);
                             }});
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(folder + L"\\", album.Path());
  EXPECT_EQ(form->TitleFileName(), album.Path() + L"tracks.txt");  // need not exist
  EXPECT_FALSE(IsWindowEnabled(form->TrackArtistBtn.Handle()));
}

TEST_F(CommandsTest, AFolderNamedWithSoOrHyouIsTakenWhole) {
  for (const char* name : {"ソ", "表示"}) {
    SCOPED_TRACE(name);
    TempFolder album(harness::Wide(name));
    album.Write(L"metadata.txt", "ALBUM=Found\r\n");
    Load(album.Write(L"title.txt", ""));
    EXPECT_EQ(form->MetadataFileName(), album.Path() + L"metadata.txt");
    EXPECT_EQ(form->KyAlbum.Text(), "Found");
    char folder[1024];
    GetPrivateProfileStringA("Settings", "LastFolder", "", folder, sizeof folder,
                             harness::Ansi(SettingsPath()).c_str());
    EXPECT_EQ(harness::Wide(folder), album.Path());
  }
}

TEST_F(CommandsTest, LoadingSetsTheFieldsAndKeepsYearsAndDiscsTheListsLack) {
  TempFolder album(L"album");
  album.Write(L"metadata.txt",
              "ALBUM=Summer Songs\r\nALBUMARTIST=Various Artists\r\nARTIST=\r\nYEAR=1999\r\n"
              "GENRE=J-POP\r\nDISCNUMBER=15\r\n[ARTISTS]\r\nSecond Song=Guest A\r\n");
  Load(album.Write(L"title.txt", "Second Song\r\n"));
  EXPECT_EQ(form->KyAlbum.Text(), "Summer Songs");
  EXPECT_EQ(form->KyAlbumArtist.Text(), "Various Artists");
  EXPECT_EQ(form->KyArtist.Text(), "");
  EXPECT_EQ(form->KyGenre.Text(), "J-POP");
  EXPECT_EQ(Selected(form->KyCBYear), "1999");
  EXPECT_EQ(form->KyCBYear.ItemIndex(), 0);  // before the seven years around today
  EXPECT_EQ(form->KyCBYear.Items().Count(), 8);
  EXPECT_EQ(Selected(form->kyCBDiscNo), "15");
  EXPECT_EQ(form->kyCBDiscNo.Items().Count(), 15);
  EXPECT_EQ(form->kyCBDiscNo.Items().Get(12), "13");
  ASSERT_EQ(form->Artists().Count(), 1);
  EXPECT_EQ(form->Artists().ArtistOf("second song"), "Guest A");
  EXPECT_FALSE(IsWindowEnabled(form->SaveBtn.Handle()));  // the artist is empty

  // Both survive a save.
  auto seen = PressAndAnswer(VK_F9, {ModalWatcher::Click(IDYES), ModalWatcher::Click(IDOK)});
  ASSERT_EQ(seen.size(), 2u);
  std::string saved = album.Read(L"metadata.txt");
  EXPECT_NE(saved.find("\r\nYEAR=1999\r\n"), std::string::npos);
  EXPECT_NE(saved.find("\r\nDISCNUMBER=15\r\n"), std::string::npos);
  EXPECT_NE(saved.find("\r\n[ARTISTS]\r\nSecond Song=Guest A\r\n"), std::string::npos);
}

TEST_F(CommandsTest, AFolderWithoutMetadataResetsEverythingAndTheFirstSaveDoesNotAsk) {
  TempFolder first(L"first"), second(L"second");
  first.Write(L"metadata.txt",
              "YEAR=1999\r\nCOMMENT=first\r\nDISCNUMBER=3\r\n[ARTISTS]\r\nA=B\r\n");
  Load(first.Write(L"title.txt", ""));
  for (tk::Edit* edit : {&form->KyAlbum, &form->KyAlbumArtist, &form->KyArtist})
    edit->SetText("typed");
  ASSERT_EQ(form->KyGenre.Text(), "J-POP");

  Load(second.Write(L"title.txt", ""));
  for (tk::Edit* edit : {&form->KyAlbum, &form->KyAlbumArtist, &form->KyArtist, &form->KyGenre})
    EXPECT_EQ(edit->Text(), "") << edit->Name();
  UpdateToday();
  int year = TodayNumber / 10000;
  ASSERT_EQ(form->KyCBYear.Items().Count(), 7);
  EXPECT_EQ(form->KyCBYear.Items().Get(0), std::to_string(year - 3));
  EXPECT_EQ(form->KyCBYear.ItemIndex(), 3);
  EXPECT_EQ(form->KyCBYear.Text(), std::to_string(year));
  ASSERT_EQ(form->kyCBDiscNo.Items().Count(), 12);
  EXPECT_EQ(form->kyCBDiscNo.ItemIndex(), 0);
  EXPECT_EQ(form->kyCBDiscNo.Text(), " 1");
  EXPECT_EQ(form->Artists().Count(), 0);
  EXPECT_FALSE(platform::FileExists(second.Path() + L"metadata.txt"));

  auto seen = PressAndAnswer(VK_F9, {ModalWatcher::Click(IDOK)});
  ASSERT_EQ(seen.size(), 1u);
  ExpectBox(seen[0], kSaved);
  EXPECT_TRUE(platform::FileExists(second.Path() + L"metadata.txt"));
  EXPECT_EQ(second.Read(L"metadata.txt").find("COMMENT="), std::string::npos);  // first's key
}

TEST_F(CommandsTest, AlbumBWithoutAGenreLineKeepsTheGenreOfAlbumA) {
  TempFolder a(L"a"), b(L"b");
  a.Write(L"metadata.txt", kAlbumA);
  b.Write(L"metadata.txt", "ALBUM=Album B\r\n");
  Load(a.Write(L"title.txt", ""));
  ASSERT_EQ(form->KyGenre.Text(), "Rock");
  Load(b.Write(L"title.txt", ""));
  EXPECT_EQ(form->KyAlbum.Text(), "Album B");
  EXPECT_EQ(form->KyArtist.Text(), "Band A");
  EXPECT_EQ(form->KyGenre.Text(), "Rock");
  EXPECT_EQ(form->Artists().Count(), 0);
}

TEST_F(CommandsTest, TheOriginalsOfCharactersTheCodePageLacksBelongToTheLoadedAlbum) {
  const std::string example =
      platform::ReadWholeFile(L"" QUORVEL_TEST_DATA "/metadata/outside-code-page.txt");
  const std::vector<ModalWatcher::Action> yesOk{ModalWatcher::Click(IDYES),
                                                ModalWatcher::Click(IDOK)};
  TempFolder a(L"a"), b(L"b"), c(L"c");
  a.Write(L"metadata.txt", example);
  std::wstring titleA = a.Write(L"title.txt", "");
  Load(titleA);
  EXPECT_EQ(form->KyAlbumArtist.Text(), "Motorhead");
  EXPECT_EQ(PressAndAnswer(VK_F9, yesOk).size(), 2u);
  EXPECT_EQ(a.Read(L"metadata.txt"), example);

  // Album B has no ALBUMARTIST line: the field keeps A's look-alike, which B writes as shown.
  b.Write(L"metadata.txt", "ALBUM=Album B\r\n");
  Load(b.Write(L"title.txt", ""));
  EXPECT_EQ(PressAndAnswer(VK_F9, yesOk).size(), 2u);
  EXPECT_NE(b.Read(L"metadata.txt").find("\r\nALBUMARTIST=Motorhead\r\n"), std::string::npos);

  // The reset forgets them too: the look-alike typed anew is written as typed.
  Load(titleA);
  Load(c.Write(L"title.txt", ""));
  form->KyAlbumArtist.SetText("Motorhead");
  EXPECT_EQ(PressAndAnswer(VK_F9, {ModalWatcher::Click(IDOK)}).size(), 1u);
  EXPECT_NE(c.Read(L"metadata.txt").find("\r\nALBUMARTIST=Motorhead\r\n"), std::string::npos);
}

TEST_F(CommandsTest, SaveAndTrackArtistsBeforeAnyLoadOnlyWarn) {
  auto seen = PressAndAnswer(VK_F9, {ModalWatcher::Click(IDOK)});
  ASSERT_EQ(seen.size(), 1u);
  ExpectBox(seen[0], {"警告", "先にtitle.txtを開いてください。", 48});
  seen = PressAndAnswer(VK_F6, {ModalWatcher::Click(IDOK)});
  ASSERT_EQ(seen.size(), 1u);
  ExpectBox(seen[0], {"警告", "先にtitle.txtを読み込んでください。", 48});
  EXPECT_TRUE(form->KyAlbum.Focused());
}

TEST_F(CommandsTest, TheOverwriteQuestionDecidesWhetherTheFileIsWritten) {
  TempFolder album(L"album");
  album.Write(L"metadata.txt", kAlbumA);
  Load(album.Write(L"title.txt", ""));
  form->KyAlbum.SetText("Changed");

  // No, and Enter (No is the default button), leave the file as it was.
  for (auto answer : {ModalWatcher::Click(IDNO), ModalWatcher::PressEnter()}) {
    auto seen = PressAndAnswer(VK_F9, {answer, ModalWatcher::Click(IDOK)});
    ASSERT_EQ(seen.size(), 2u);
    ExpectBox(seen[0], kOverwrite);
    EXPECT_EQ(seen[0].defaultButton, IDNO);
    ExpectBox(seen[1], kCancelled);
    EXPECT_EQ(album.Read(L"metadata.txt"), kAlbumA);
  }
  auto seen = PressAndAnswer(VK_F9, {ModalWatcher::Click(IDYES), ModalWatcher::Click(IDOK)});
  ASSERT_EQ(seen.size(), 2u);
  ExpectBox(seen[1], kSaved);
  EXPECT_NE(album.Read(L"metadata.txt").find("\r\nALBUM=Changed\r\n"), std::string::npos);
  EXPECT_TRUE(form->KyAlbum.Focused());
}

TEST_F(CommandsTest, AFailedSaveShowsTheErrorAndNotTheSavedMessage) {
  TempFolder album(L"album");
  album.Write(L"metadata.txt", kAlbumA);
  Load(album.Write(L"title.txt", ""));
  Lock lock(album.Path() + L"metadata.txt");
  ASSERT_TRUE(lock.Held());
  auto seen = PressAndAnswer(VK_F9, {ModalWatcher::Click(IDYES), ModalWatcher::Click(IDOK)});
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1].caption, "Quorvel");
  EXPECT_EQ(seen[1].Flags(), 16u);
  std::string prefix = "ファイル \"" + harness::Ansi(album.Path()) + "metadata.txt\". ";
  EXPECT_EQ(seen[1].text.substr(0, prefix.size()), prefix);
  std::string suffix = " を作成できません.";
  ASSERT_GT(seen[1].text.size(), prefix.size() + suffix.size());
  EXPECT_EQ(seen[1].text.substr(seen[1].text.size() - suffix.size()), suffix);
}

TEST_F(CommandsTest, AnUnwritableSettingsFileStopsTheLoadAndChangesNothing) {
  TempFolder album(L"album");
  album.Write(L"metadata.txt", kAlbumA);
  std::wstring title = album.Write(L"title.txt", "");
  Lock lock(SettingsPath());
  ASSERT_TRUE(lock.Held());
  ExpectBox(LoadFailing(title),
            {"Quorvel", harness::Ansi(SettingsPath()) + " に書き込めません.", 16});
  EXPECT_TRUE(form->TitleFileName().empty());
  EXPECT_TRUE(form->MetadataFileName().empty());
  EXPECT_EQ(form->KyAlbum.Text(), "");
  EXPECT_EQ(form->KyGenre.Text(), "J-POP");
}

TEST_F(CommandsTest, AnUnreadableMetadataFileLeavesTheNewNamesAndAnEmptyMap) {
  TempFolder a(L"a"), b(L"b");
  a.Write(L"metadata.txt", kAlbumA);
  Load(a.Write(L"title.txt", ""));
  ASSERT_EQ(form->Artists().Count(), 1);
  b.Write(L"metadata.txt", "ALBUM=Album B\r\n");
  std::wstring title = b.Write(L"title.txt", "");
  Lock writer(b.Path() + L"metadata.txt", FILE_SHARE_READ | FILE_SHARE_WRITE);
  harness::ModalInfo error = LoadFailing(title);
  EXPECT_EQ(error.caption, "Quorvel");
  EXPECT_EQ(error.text.substr(0, 10), "ファイル \"");
  EXPECT_NE(error.text.find("は開けません."), std::string::npos);
  EXPECT_EQ(form->TitleFileName(), title);
  EXPECT_EQ(form->MetadataFileName(), b.Path() + L"metadata.txt");
  EXPECT_EQ(form->Artists().Count(), 0);
  EXPECT_EQ(form->KyAlbum.Text(), "Album A");
}

TEST_F(CommandsTest, RemovingTitleTxtDisablesTrackArtistsButSaveStillWrites) {
  TempFolder album(L"album");
  std::wstring title = album.Write(L"title.txt", "");
  Load(title);
  ASSERT_TRUE(IsWindowEnabled(form->TrackArtistBtn.Handle()));
  DeleteFileW(title.c_str());
  auto seen = PressAndAnswer(VK_F6, {ModalWatcher::Click(IDOK)});
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].text, "先にtitle.txtを読み込んでください。");
  EXPECT_FALSE(IsWindowEnabled(form->TrackArtistBtn.Handle()));
  seen = PressAndAnswer(VK_F9, {ModalWatcher::Click(IDOK)});
  ASSERT_EQ(seen.size(), 1u);
  ExpectBox(seen[0], kSaved);
  EXPECT_TRUE(platform::FileExists(album.Path() + L"metadata.txt"));
}

TEST_F(CommandsTest, CtrlF5RunsTheLoadCommand) {
  ModalWatcher watcher;
  watcher.Expect(ModalWatcher::Cancel());
  PressKey(VK_F5, {VK_CONTROL});
  ASSERT_TRUE(watcher.WaitAllAnswered());
  ASSERT_EQ(watcher.Seen().size(), 1u);
  EXPECT_EQ(watcher.Seen()[0].caption, "開く");
}

TEST_F(CommandsTest, TrackArtistsTakeTheDialogsMapOnlyAfterARegisterOrDelete) {
  TempFolder album(L"album");
  album.Write(L"metadata.txt", kAlbumA);
  Load(album.Write(L"title.txt", "01 Intro.mp3\r\n02 Song.mp3\r\n"));
  TrackArtists([] {
    PressKey(VK_DOWN);
    harness::TypeText("Typed");
    PressKey(VK_F12);
  });
  EXPECT_EQ(ArtistEntries(), std::vector<std::string>{"Song=Guest"});
  EXPECT_TRUE(FocusIn(form->KyAlbum));  // the entry step ran on the main window again
  TrackArtists([] {
    PressKey(VK_DOWN);
    harness::TypeText("Guest B");
    PressKey(VK_F9);
    PressKey(VK_F12);
  });
  EXPECT_EQ(ArtistEntries(), (std::vector<std::string>{"Song=Guest", "Intro=Guest B"}));
}

TEST_F(CommandsTest, ALockedTitleFileShowsTheOpenErrorInsteadOfTheDialog) {
  TempFolder album(L"album");
  album.Write(L"metadata.txt", kAlbumA);
  std::wstring title = album.Write(L"title.txt", "01 Intro.mp3\r\n");
  Load(title);
  {
    Lock writer(title, FILE_SHARE_READ | FILE_SHARE_WRITE);
    ASSERT_TRUE(writer.Held());
    auto seen = PressAndAnswer(VK_F6, {ModalWatcher::Click(IDOK)});
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].caption, "Quorvel");
    EXPECT_EQ(seen[0].Flags(), 16u);
    const std::string prefix = "ファイル \"" + harness::Ansi(title) + "\". ",
                      suffix = " は開けません.";
    ASSERT_GT(seen[0].text.size(), prefix.size() + suffix.size());
    EXPECT_EQ(seen[0].text.substr(0, prefix.size()), prefix);
    EXPECT_EQ(seen[0].text.substr(seen[0].text.size() - suffix.size()), suffix);
    EXPECT_FALSE(IsWindowVisible(TrackArtist_Form->Handle()));
    EXPECT_EQ(ArtistEntries(), std::vector<std::string>{"Song=Guest"});
  }
  TrackArtists([] { PressKey(VK_F12); });  // the program goes on
}

// Closing a box gives the focus back to the field without selecting its text: typing goes
// on where the caret was, after every kind of box and after a cancelled file-open dialog.
TEST_F(CommandsTest, TypingGoesOnWhereTheCaretWasAfterEveryBox) {
  TempFolder album(L"album");
  std::wstring title = album.Write(L"title.txt", "");
  struct Step {
    const char* what;
    WORD key;
    std::vector<ModalWatcher::Action> answers;
    bool resetsTheFields = false;
    bool locksTheFile = false;
  };
  const Step steps[] = {
      {"warning before any load", VK_F9, {ModalWatcher::Click(IDOK)}},
      {"cancelled file-open dialog", VK_F5, {ModalWatcher::Cancel()}},
      {"load of a folder without metadata.txt", VK_F5, {ModalWatcher::ChooseFile(title)}, true},
      {"saved message", VK_F9, {ModalWatcher::Click(IDOK)}},
      {"cancelled overwrite", VK_F9, {ModalWatcher::Click(IDNO), ModalWatcher::Click(IDOK)}},
      {"error box of a failed save",
       VK_F9,
       {ModalWatcher::Click(IDYES), ModalWatcher::Click(IDOK)},
       false,
       true},
  };
  harness::TypeText("ac");
  PressKey(VK_LEFT);
  std::string expected = "ac";
  size_t caret = 1;
  std::unique_ptr<Lock> lock;
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    if (step.locksTheFile) {
      lock = std::make_unique<Lock>(album.Path() + L"metadata.txt");
      ASSERT_TRUE(lock->Held());
    }
    EXPECT_EQ(PressAndAnswer(step.key, step.answers).size(), step.answers.size());
    if (step.resetsTheFields) {
      expected.clear();
      caret = 0;
    }
    ASSERT_TRUE(FocusIn(form->KyAlbum));
    harness::TypeText("b");
    expected = expected.substr(0, caret) + "b" + expected.substr(caret);
    ++caret;
    EXPECT_EQ(form->KyAlbum.Text(), expected);
  }
}
