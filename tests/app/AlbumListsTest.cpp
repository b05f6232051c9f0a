// The year and disc-number lists of the main window, and the metadata file as the window
// reads it into its fields and writes it from them.

#include "tests/app/MainFormTest.h"

#include "platform/Files.h"
#include "support/Text.h"
#include "support/Today.h"

using harness::ModalWatcher;
using harness::TempFolder;

namespace {

SYSTEMTIME Date(WORD year, WORD month, WORD day) {
  SYSTEMTIME date{};
  date.wYear = year;
  date.wMonth = month;
  date.wDay = day;
  date.wHour = 23;
  return date;
}

std::vector<std::string> Items(TComboBoxExVell& box) {
  std::vector<std::string> items;
  for (int i = 0; i < box.Items().Count(); ++i) items.push_back(box.Items().Get(i));
  return items;
}

}  // namespace

class AlbumListsTest : public MainFormTest {
 protected:
  void SetUp() override {
    SetTodaySourceForTesting([this] { return today; });
    MainFormTest::SetUp();
  }
  void TearDown() override {
    MainFormTest::TearDown();
    SetTodaySourceForTesting(nullptr);
  }
  void Load(const std::wstring& path) {
    ModalWatcher watcher;
    watcher.Expect(ModalWatcher::ChooseFile(path));
    harness::PressKey(VK_F5);
    ASSERT_TRUE(watcher.WaitAllAnswered());
  }
  void Save() {
    ModalWatcher watcher;
    if (platform::FileExists(form->MetadataFileName())) watcher.Expect(ModalWatcher::Click(IDYES));
    ASSERT_TRUE(watcher.PressAndClick(VK_F9, {IDOK}));
  }
  SYSTEMTIME today = Date(2026, 12, 31);
};

TEST_F(AlbumListsTest, StartsWithTheSevenYearsAroundTodayAndDiscOne) {
  EXPECT_EQ(Items(form->KyCBYear),
            (std::vector<std::string>{"2023", "2024", "2025", "2026", "2027", "2028", "2029"}));
  EXPECT_EQ(form->KyCBYear.ItemIndex(), 3);
  EXPECT_EQ(form->KyCBYear.Text(), "2026");
  EXPECT_EQ(Items(form->kyCBDiscNo),
            (std::vector<std::string>{" 1", " 2", " 3", " 4", " 5", " 6", " 7", " 8", " 9", "10",
                                      "11", "12"}));
  EXPECT_EQ(form->kyCBDiscNo.ItemIndex(), 0);
  EXPECT_EQ(form->kyCBDiscNo.Text(), " 1");
}

TEST_F(AlbumListsTest, TheYearsStayAcrossNewYearUntilTheNextReset) {
  today = Date(2027, 1, 1);
  harness::PressKey(VK_RETURN);
  EXPECT_EQ(form->KyCBYear.Items().Get(0), "2023");
  TempFolder album(L"album");
  Load(album.Write(L"title.txt", ""));
  EXPECT_EQ(Items(form->KyCBYear),
            (std::vector<std::string>{"2024", "2025", "2026", "2027", "2028", "2029", "2030"}));
  EXPECT_EQ(form->KyCBYear.Text(), "2027");
}

TEST_F(AlbumListsTest, TheExampleFileIsReadIntoTheFieldsAndWrittenBackByteForByte) {
  std::string golden = harness::ReadFileBytes(L"" QUORVEL_TEST_DATA "/metadata/example.txt");
  TempFolder source(L"source");
  source.Write(L"metadata.txt", golden);
  Load(source.Write(L"title.txt", ""));
  EXPECT_EQ(form->KyAlbum.Text(), "Summer Songs");
  EXPECT_EQ(form->KyAlbumArtist.Text(), "Various Artists");
  EXPECT_EQ(form->KyArtist.Text(), "");
  EXPECT_EQ(form->KyCBYear.Text(), "2025");
  EXPECT_EQ(form->KyGenre.Text(), "J-POP");
  EXPECT_EQ(form->kyCBDiscNo.ItemIndex(), 0);
  ASSERT_EQ(form->Artists().Count(), 2);
  EXPECT_EQ(form->Artists().TitleAt(0), "Second Song");
  EXPECT_EQ(form->Artists().ArtistAt(1), "Guest B & Guest C");

  Save();  // over the file just read
  EXPECT_EQ(source.Read(L"metadata.txt"), golden);
}

TEST_F(AlbumListsTest, UnusableYearAndDiscValuesSelectNothing) {
  const std::pair<const char*, int> discs[] = {
      {"3", 2},   {"+3", 2},  {"03", 2},   {"$3", 2}, {"$C", 11},  {"0xC", 11},        {"0", -1},
      {"-1", -1}, {"3a", -1}, {"abc", -1}, {"", -1},  {"100", -1}, {"99999999999", -1}};
  TempFolder album(L"album");
  std::wstring title = album.Write(L"title.txt", "");
  for (auto [value, index] : discs) {
    SCOPED_TRACE(value);
    album.Write(L"metadata.txt", std::string("YEAR=\r\nDISCNUMBER=") + value + "\r\n");
    Load(title);
    EXPECT_EQ(form->kyCBDiscNo.ItemIndex(), index);
    // A value that selects nothing is shown as it stands.
    EXPECT_EQ(form->kyCBDiscNo.Text(), index >= 0 ? form->kyCBDiscNo.Items().Get(index) : value);
    EXPECT_EQ(form->KyCBYear.ItemIndex(), -1);
    EXPECT_EQ(form->KyCBYear.Text(), "");
  }
  // A year that is not four digits is not added to the list.
  album.Write(L"metadata.txt", "YEAR=199\r\nYEAR=abcd\r\n");
  Load(title);
  EXPECT_EQ(form->KyCBYear.Items().Count(), 7);
  EXPECT_EQ(form->KyCBYear.ItemIndex(), -1);
  EXPECT_EQ(form->KyCBYear.Text(), "abcd");
}

// After a save each box shows what the file holds: a stored value that selects no item, left
// alone, keeps its own characters; typed full-width digits, as the input method types them,
// are read as digits; other typed text is saved as it stands.
TEST_F(AlbumListsTest, TheYearAndDiscBoxesSaveWhatTheyShow) {
  struct Case {
    const wchar_t *year, *disc;            // stored
    const wchar_t *typedYear, *typedDisc;  // put in as the input method's result, or left alone
    const wchar_t *savedYear, *savedDisc;
  };
  const Case cases[] = {
      {L"2024-03-15", L"1/2", nullptr, nullptr, L"2024-03-15", L"1/2"},
      {L"2024\u20133", L"\uFF13", nullptr, nullptr, L"2024\u20133", L"\uFF13"},
      {L"", L"", nullptr, nullptr, L"", L""},
      {L"2025", L"01", nullptr, nullptr, L"2025", L" 1"},
      {L"2025", L"1", L"\uFF11\uFF19\uFF19\uFF19", L"\uFF13", L"1999", L" 3"},
      {L"2024-03-15", L"1/2", L"\uFF12\uFF10\uFF12\uFF17", L"1\uFF12", L"2027", L"12"},
      {L"2025", L"1", L"\uFF11\uFF19\uFF19", L"A", L"\uFF11\uFF19\uFF19", L"A"},
  };
  TempFolder album(L"album");
  std::wstring title = album.Write(L"title.txt", "");
  auto type = [](TComboBoxExVell& box, const wchar_t* text) {
    if (!text) return;
    box.SetFocus();
    ASSERT_TRUE(harness::PumpUntil([&] { return box.HasFocus(); }));
    SendMessageW(box.EditWindow(), EM_SETSEL, 0, -1);
    SendMessageW(box.EditWindow(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
    ASSERT_EQ(box.Text(), harness::Ansi(text));
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(harness::Ansi(std::wstring(c.year) + L" " + c.disc));
    album.Write(L"metadata.txt",
                "YEAR=" + EncodeUtf8(c.year) + "\r\nDISCNUMBER=" + EncodeUtf8(c.disc) + "\r\n");
    Load(title);
    ASSERT_NO_FATAL_FAILURE(type(form->KyCBYear, c.typedYear));
    ASSERT_NO_FATAL_FAILURE(type(form->kyCBDiscNo, c.typedDisc));
    Save();
    std::string saved = album.Read(L"metadata.txt");
    EXPECT_NE(saved.find("\r\nYEAR=" + EncodeUtf8(c.savedYear) + "\r\n"), std::string::npos)
        << saved;
    EXPECT_NE(saved.find("\r\nDISCNUMBER=" + EncodeUtf8(c.savedDisc) + "\r\n"), std::string::npos)
        << saved;
    EXPECT_EQ(form->KyCBYear.Text(), harness::Ansi(c.savedYear));
    EXPECT_EQ(form->kyCBDiscNo.Text(), harness::Ansi(c.savedDisc));
  }
}

TEST_F(AlbumListsTest, Disc99ExtendsTheListAndALaterLowerDiscKeepsIt) {
  TempFolder album(L"album");
  std::wstring title = album.Write(L"title.txt", "");
  album.Write(L"metadata.txt", "DISCNUMBER=99\r\nYEAR=2031\r\nYEAR=2019\r\n");
  Load(title);
  EXPECT_EQ(form->kyCBDiscNo.Items().Count(), 99);
  EXPECT_EQ(form->kyCBDiscNo.Text(), "99");
  // Each year line is applied in turn: both are kept in order, the last is selected.
  EXPECT_EQ(Items(form->KyCBYear), (std::vector<std::string>{"2019", "2023", "2024", "2025", "2026",
                                                             "2027", "2028", "2029", "2031"}));
  EXPECT_EQ(form->KyCBYear.Text(), "2019");
  album.Write(L"metadata.txt", "DISCNUMBER=14\r\n");
  Load(title);
  EXPECT_EQ(form->kyCBDiscNo.Items().Count(), 99);
  EXPECT_EQ(form->kyCBDiscNo.Text(), "14");
}
