#include "app/u_main.h"

#include "app/resource.h"
#include "platform/CodePage.h"
#include "platform/Exception.h"
#include "platform/Files.h"
#include "platform/IniFile.h"
#include "support/NumberPicture.h"
#include "support/Today.h"
#include "toolkit/Application.h"
#include "trackartists/u_trackartists.h"

TMain_Form* Main_Form = nullptr;

namespace {

std::unique_ptr<platform::IniFile> SettingsFile;

// Navigation state of the main window, one instance per run.
int16_t CurField = 0;   // 1-6 the current field; -1 once closing; 0 before creation
int16_t LastField = 0;  // where the entry step last settled
tk::WinControl* LastActiveControl = nullptr;
bool TabPending = false;

constexpr int16_t kFieldCount = 6;

// The six fields in the order of the ring (field n is row n-1), each an edit or a list.
struct MainField {
  AlbumKey key;
  tk::Edit TMain_Form::*edit;
  TComboBoxExVell TMain_Form::*list;
};

constexpr MainField kFields[kFieldCount] = {
    {AlbumKey::Album, &TMain_Form::KyAlbum, nullptr},
    {AlbumKey::AlbumArtist, &TMain_Form::KyAlbumArtist, nullptr},
    {AlbumKey::Artist, &TMain_Form::KyArtist, nullptr},
    {AlbumKey::Year, nullptr, &TMain_Form::KyCBYear},
    {AlbumKey::Genre, &TMain_Form::KyGenre, nullptr},
    {AlbumKey::DiscNumber, nullptr, &TMain_Form::kyCBDiscNo},
};

// With Shift, Page Up to Home come as their codes plus this, and F1 to F12 as F13 to F24.
constexpr WORD kShiftedPageKeys = 1000;

bool IsNavigationKey(WORD key) {
  return (key >= VK_PRIOR && key <= VK_HOME) || key == VK_UP || key == VK_DOWN ||
         (key >= VK_F1 && key <= VK_F24) ||
         (key >= VK_PRIOR + kShiftedPageKeys && key <= VK_HOME + kShiftedPageKeys);
}

}  // namespace

TMain_Form::TMain_Form() : tk::Form("Main_Form") {
  // Creation order is drawing order; tab order -1: not in the tab order.
  Place({
      {Label1, 16, 13, 64, 13, "アルバム名", -1},
      {Label2, 16, 43, 128, 13, "アルバムアーティスト名", -1},
      {Label3, 16, 69, 77, 13, "アーティスト名", -1},
      {Label4, 16, 95, 90, 13, "アルバム発表年", -1},
      {Label5, 16, 123, 46, 13, "ジャンル", -1},
      {Label6, 16, 149, 90, 13, "ディスクナンバー", -1},
      {Bevel1, 0, 172, 607, 7, "", -1},
      {KyAlbum, 148, 11, 425, 21, "", 0},
      {KyAlbumArtist, 148, 35, 425, 21, "", 1},
      {KyArtist, 148, 61, 425, 21, "", 2},
      {KyCBYear, 148, 87, 71, 21, "", 4},
      {KyGenre, 148, 115, 149, 21, "J-POP", 3},
      {kyCBDiscNo, 148, 141, 48, 21, "", 5},
      {TrackArtistBtn, 18, 195, 187, 29, "曲別参加アーティスト(F6)", 6},
      {LoadBtn, 271, 196, 93, 29, "読込(F5)", 7},
      {SaveBtn, 378, 196, 93, 29, "保存(F9)", 8},
      {EndBtn, 485, 196, 93, 29, "終了（F12)", 9},
  });
  // Screen readers name each field after the label before it.
  for (auto [field, label] : {std::pair<tk::WinControl*, tk::Label*>{&KyAlbum, &Label1},
                              {&KyAlbumArtist, &Label2},
                              {&KyArtist, &Label3},
                              {&KyCBYear, &Label4},
                              {&KyGenre, &Label5},
                              {&kyCBDiscNo, &Label6}})
    field->SetLabel(*label);
  TrackArtistBtn.SetTabStop(false);
  TrackArtistBtn.SetGlyph(IDB_TRACKARTISTS, 1);
  LoadBtn.SetGlyph(IDB_LOAD, 1);
  SaveBtn.SetGlyph(IDB_SAVE, 1);
  EndBtn.SetGlyph(IDB_END, 2);
  for (tk::Edit* name : {&KyAlbum, &KyAlbumArtist, &KyArtist})
    name->SetImeMode(tk::ImeMode::Hiragana);
  KyCBYear.SetItemHeight(13);
  kyCBDiscNo.SetItemHeight(13);

  SetClientSize(592, 237);
  SetBorder(tk::FormBorder::Single, true);
  SetPosition(tk::FormPosition::ScreenCenter);
  SetFont({"ＭＳ Ｐゴシック", 13, SHIFTJIS_CHARSET});

  BindHandlers();

  // A new main window has settled nowhere yet.
  LastField = 0;
  LastActiveControl = nullptr;
  TabPending = false;
}

// The form's handlers, the fields' keys, the edits' mouse presses and the buttons' clicks.
void TMain_Form::BindHandlers() {
  OnCreate = [this](tk::WinControl& sender) { FormCreate(sender); };
  OnActivate = [this](tk::WinControl& sender) { FormActivate(sender); };
  OnClose = [this](tk::Form& sender, tk::CloseAction& action) { FormClose(sender, action); };
  OnKeyDown = [this](tk::WinControl& sender, WORD& key, tk::ShiftState shift) {
    FormKeyDown(sender, key, shift);
  };
  OnKeyPress = [this](tk::WinControl& sender, char& key) { FormKeyPress(sender, key); };
  for (int16_t field = 1; field <= kFieldCount; ++field) {
    FieldControl(field)->OnKeyDown = OnKeyDown;
    FieldControl(field)->OnKeyPress = OnKeyPress;
  }
  for (const MainField& row : kFields)
    if (row.edit)
      (this->*row.edit).OnMouseDown = [this](tk::WinControl& sender, tk::MouseButton button,
                                             tk::ShiftState shift, int x,
                                             int y) { FormMouseDown(sender, button, shift, x, y); };
  for (tk::BitmapButton* button : {&TrackArtistBtn, &LoadBtn, &SaveBtn, &EndBtn})
    button->OnClick = [this](tk::WinControl& sender) { FormClick(sender); };
}

TMain_Form::~TMain_Form() {
  DestroyHandle();
  if (Main_Form == this) Main_Form = nullptr;
}

tk::WinControl* TMain_Form::FieldControl(int16_t field) {
  if (field < 1 || field > kFieldCount) return nullptr;
  const MainField& row = kFields[field - 1];
  if (row.edit) return &(this->*row.edit);
  return &(this->*row.list);
}

int16_t TMain_Form::FieldOf(tk::WinControl* control) {
  for (int16_t field = 1; field <= kFieldCount; ++field)
    if (control && FieldControl(field) == control) return field;
  return 0;
}

// ---- Navigation ----

void TMain_Form::EventExit(uint16_t key) {
  if (CurField < 1 || CurField > kFieldCount) return;
  switch (key) {
    case VK_F5:
      LoadBtnClick();
      break;
    case VK_F6:
      TrackArtistBtnClick();
      break;
    case VK_F9:
      SaveBtnClick();
      break;
    case VK_F12:
      Close();
      break;
    case VK_RETURN:
    case VK_DOWN:
      CurField = CurField % kFieldCount + 1;
      break;
    case VK_UP:
      CurField = CurField == 1 ? kFieldCount : CurField - 1;
      break;
  }
}

void TMain_Form::EventEnter() {
  if (CurField == -1) return;
  if (CurField == 0) {
    CurField = FieldOf(ActiveControl());
    if (CurField == 0) CurField = 1;
  }
  FieldControl(CurField)->SetFocus();
  SaveBtn.SetEnabled(!KyAlbum.Text().empty() && !KyAlbumArtist.Text().empty() &&
                     !KyArtist.Text().empty());
  TrackArtistBtn.SetEnabled(!FTitleFileName.empty() && platform::FileExists(FTitleFileName));
  LastActiveControl = ActiveControl();
  LastField = CurField;
}

void TMain_Form::FormKeyDown(tk::WinControl&, WORD& key, tk::ShiftState shift) {
  if (shift & tk::ssShift) {
    if (key >= VK_PRIOR && key <= VK_HOME)
      key += kShiftedPageKeys;
    else if (key >= VK_F1 && key <= VK_F12)
      key += 12;
  }
  if (!IsNavigationKey(key)) return;
  EventExit(key);
  EventEnter();
  key = 0;
}

void TMain_Form::FormKeyPress(tk::WinControl&, char& key) {
  if (key != '\r') return;
  EventExit(VK_RETURN);
  EventEnter();
  key = 0;
}

bool TMain_Form::FormDialogKey(WORD key, tk::ShiftState shift) {
  if (key == VK_TAB) TabPending = true;
  bool handled = tk::Form::DialogKey(key, shift);
  if (TabPending) {
    // The exit step ignores Tab: the entry step puts the focus back on the current field.
    EventExit(VK_TAB);
    EventEnter();
    TabPending = false;
  }
  return handled;
}

void TMain_Form::FormMouseDown(tk::WinControl&, tk::MouseButton, tk::ShiftState, int, int) {
  if (!LastActiveControl) {
    CurField = LastField != 0 ? LastField : 1;
    EventEnter();
    return;
  }
  tk::WinControl* focused = ActiveControl();
  if (focused == LastActiveControl) return;
  if (int16_t field = FieldOf(focused)) CurField = field;
  EventExit(0);
  EventEnter();
}

void TMain_Form::FormClick(tk::WinControl& sender) {
  uint16_t code = &sender == &EndBtn           ? VK_F12
                  : &sender == &SaveBtn        ? VK_F9
                  : &sender == &LoadBtn        ? VK_F5
                  : &sender == &TrackArtistBtn ? VK_F6
                                               : 0;
  if (code == 0) return;
  EventExit(code);
  EventEnter();
}

// ---- Start-up and close ----

void TMain_Form::FormCreate(tk::WinControl&) {
  SetCaption("Quorvel 1.02");
  SettingsFile = std::make_unique<platform::IniFile>(
      platform::ChangeFileExt(platform::ExecutablePath(), L".ini"));
  FillLists();
  FAlbum.Clear();
  CurField = 1;
}

// The seven years around today with this year selected, and the discs 1 to 12 with the
// first selected.
void TMain_Form::FillLists() {
  UpdateToday();
  int year = TodayNumber / 10000;
  for (int y = year - 3; y <= year + 3; ++y) KyCBYear.Items().Add(NumberPicture("9999", y));
  for (int disc = 1; disc <= 12; ++disc) kyCBDiscNo.Items().Add(NumberPicture("Z9", disc));
  KyCBYear.SetItemIndex(KyCBYear.Items().IndexOf(NumberPicture("9999", year)));
  kyCBDiscNo.SetItemIndex(0);
}

void TMain_Form::FormActivate(tk::WinControl&) { EventEnter(); }

void TMain_Form::FormClose(tk::Form&, tk::CloseAction&) {
  CurField = -1;
  FAlbum.Clear();
  SettingsFile.reset();
}

// ---- Commands ----

namespace {

const wchar_t* const kSettingsSection = L"Settings";
const wchar_t* const kLastFolderKey = L"LastFolder";

int Ask(const char* text, const char* caption, UINT flags) {
  return tk::Application::Instance().ShowMessageBox(text, caption, flags);
}

bool IsFourAsciiDigits(const std::string& text) {
  if (text.size() != 4) return false;
  for (char ch : text)
    if (ch < '0' || ch > '9') return false;
  return true;
}

// Full-width digits (Shift-JIS 82 4F to 82 58) become ASCII digits; the rest stays.
std::string WithAsciiDigits(const std::string& text) {
  std::string result;
  for (size_t i = 0; i < text.size();) {
    size_t length = platform::CharacterLength(text, i);
    auto trail = static_cast<unsigned char>(text[i + length - 1]);
    if (length == 2 && text[i] == '\x82' && trail >= 0x4F && trail <= 0x58)
      result += static_cast<char>('0' + (trail - 0x4F));
    else
      result.append(text, i, length);
    i += length;
  }
  return result;
}

}  // namespace

void TMain_Form::LoadBtnClick() {
  OD.SetFilter(L"title.txt|title.txt");
  OD.SetFileName(L"title.txt");
  OD.SetDefaultExt(L"txt");
  OD.SetInitialDir(SettingsFile->ReadString(kSettingsSection, kLastFolderKey, L""));
  if (!OD.Execute()) return;
  std::wstring folder = platform::ExtractFilePath(OD.FileName());
  SettingsFile->WriteString(kSettingsSection, kLastFolderKey, folder);
  FTitleFileName = OD.FileName();
  FMetadataFileName = folder + L"metadata.txt";
  if (platform::FileExists(FMetadataFileName))
    LoadMetadata(FMetadataFileName);
  else
    ClearMetadata();
}

void TMain_Form::SaveBtnClick() {
  if (FMetadataFileName.empty()) {
    Ask("先にtitle.txtを開いてください。", "警告", MB_OK | MB_ICONWARNING);
    return;
  }
  if (platform::FileExists(FMetadataFileName) &&
      Ask("上書きしますか？", "質問", MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) {
    Ask("中止しました。", "情報", MB_OK | MB_ICONINFORMATION);
    return;
  }
  SaveMetadata(FMetadataFileName);
  Ask("metadata.txtを保存しました。", "情報", MB_OK | MB_ICONINFORMATION);
}

void TMain_Form::ClearMetadata() {
  FAlbum.Clear();
  for (const MainField& row : kFields)
    if (row.edit) (this->*row.edit).SetText("");
  KyCBYear.Items().Clear();
  kyCBDiscNo.Items().Clear();
  FillLists();
}

void TMain_Form::LoadMetadata(const std::wstring& path) {
  for (const AlbumValue& value : FAlbum.Load(path)) ApplyAlbumValue(value);
}

void TMain_Form::ApplyAlbumValue(const AlbumValue& value) {
  for (const MainField& row : kFields) {
    if (row.key != value.key) continue;
    if (row.edit)
      (this->*row.edit).SetText(value.value);
    else
      ShowListValue(this->*row.list, row.key, value.value);
  }
}

// A stored year or disc number that selects no item (a release date, "1/2") is shown as it
// stands, so that a save of the box left alone writes it back.
void TMain_Form::ShowListValue(TComboBoxExVell& box, AlbumKey key, const std::string& value) {
  int index = ListItemFor(key, value);
  box.SetItemIndex(index);
  if (index < 0) box.SetText(value);
}

// The list item to select for a stored year or disc number.
int TMain_Form::ListItemFor(AlbumKey key, const std::string& value) {
  return key == AlbumKey::Year ? YearItemFor(value) : DiscItemFor(value);
}

// The year item to select for a stored year. A four-digit year that the list lacks is
// inserted at its place in ascending order, so that the next save keeps it.
int TMain_Form::YearItemFor(const std::string& year) {
  int index = KyCBYear.Items().IndexOf(year);
  if (index >= 0 || !IsFourAsciiDigits(year)) return index;
  int count = KyCBYear.Items().Count();
  index = 0;
  while (index < count && KyCBYear.Items().Get(index) < year) ++index;
  KyCBYear.Items().Insert(index, year);
  return index;
}

// The disc item to select for a stored disc number. Discs 13 to 99 extend the list up to
// the disc, so that the next save keeps it; other numbers outside the list select nothing.
int TMain_Form::DiscItemFor(const std::string& value) {
  const int32_t highestDisc = 99;
  int32_t disc = ParseDiscNumber(value);
  for (int added = kyCBDiscNo.Items().Count() + 1; added <= disc && disc <= highestDisc; ++added)
    kyCBDiscNo.Items().Add(NumberPicture("Z9", added));
  return DiscItemIndex(value, kyCBDiscNo.Items().Count());
}

// What a year or disc box shows, as a save writes it: the selected item, or else the box's text
// resolved as a stored value is. Typing deselects the item; typed full-width digits, as an input
// method types them, count as digits, so "１９９９" is saved as the year 1999 and the box then
// shows it. Text left as loaded or last saved is resolved as it was then. Text that selects no
// item is saved as it stands.
std::string TMain_Form::ListValueToSave(TComboBoxExVell& box, AlbumKey key) {
  if (box.ItemIndex() >= 0) return box.Items().Get(box.ItemIndex());
  std::string shown = box.Text();
  int index = ListItemFor(key, shown == FAlbum.values[key] ? shown : WithAsciiDigits(shown));
  if (index < 0) return shown;
  box.SetItemIndex(index);
  return box.Items().Get(index);
}

void TMain_Form::SaveMetadata(const std::wstring& path) {
  for (const MainField& row : kFields)
    FAlbum.values[row.key] =
        row.list ? ListValueToSave(this->*row.list, row.key) : (this->*row.edit).Text();
  FAlbum.Save(path);
}

void TMain_Form::TrackArtistBtnClick() {
  if (FTitleFileName.empty() || !platform::FileExists(FTitleFileName)) {
    Ask("先にtitle.txtを読み込んでください。", "警告", MB_OK | MB_ICONWARNING);
    return;
  }
  TrackArtist_Form->EditTrackArtists(FTitleFileName, FAlbum);
}
