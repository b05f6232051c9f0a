#include "trackartists/u_trackartists.h"

#include <memory>

#include "metadata/MetadataFile.h"
#include "platform/ScopeExit.h"
#include "support/Text.h"
#include "toolkit/Application.h"
#include "trackartists/TitleList.h"

TTrackArtist_Form* TrackArtist_Form = nullptr;

namespace {

// Navigation state of the dialog: 1 the title list, 2 the artist field, -1 closing,
// 0 not set (taken from the focused control).
int16_t DialogField = 0;

const char kNotReadBack[] =
    "この曲名と参加アーティストは metadata.txt に保存すると正しく読み戻せないため、"
    "登録できません。";

bool IsCommandKey(WORD key) {
  return key == VK_UP || key == VK_DOWN || key == VK_F8 || key == VK_F9 || key == VK_F12;
}

}  // namespace

TTrackArtist_Form::TTrackArtist_Form() : tk::Form("TrackArtist_Form") {
  Place({
      {KyTitle, 144, 16, 300, 21, "", 0},
      {KyArtist, 144, 52, 300, 21, "", 1},
      {SaveBtn, 112, 104, 96, 25, "登録(F9)", 2},
      {DeleteBtn, 216, 104, 96, 25, "削除(F8)", 3},
      {EndBtn, 320, 104, 96, 25, "閉じる(F12)", 4},
      {Label1, 16, 20, 26, 13, "曲名", -1},
      {Label2, 16, 56, 116, 13, "追加参加アーティスト", -1},
  });
  KyTitle.SetLabel(Label1);  // the names screen readers give the fields
  KyArtist.SetLabel(Label2);
  KyTitle.SetStyle(tk::ComboBoxStyle::DropDownList);
  KyTitle.SetItemHeight(13);

  SetCaption("曲別参加アーティスト");
  SetClientSize(460, 154);
  SetBorder(tk::FormBorder::Dialog, false);
  SetPosition(tk::FormPosition::MainFormCenter);
  SetFont({"ＭＳ Ｐゴシック", 13, SHIFTJIS_CHARSET});
  SetKeyPreview(true);

  OnCreate = [this](tk::WinControl& sender) { FormCreate(sender); };
  OnActivate = [this](tk::WinControl& sender) { FormActivate(sender); };
  OnKeyDown = [this](tk::WinControl& sender, WORD& key, tk::ShiftState shift) {
    FormKeyDown(sender, key, shift);
  };
  OnKeyPress = [this](tk::WinControl& sender, char& key) { FormKeyPress(sender, key); };
  for (tk::WinControl* field : std::initializer_list<tk::WinControl*>{&KyTitle, &KyArtist}) {
    field->OnKeyDown = OnKeyDown;
    field->OnKeyPress = OnKeyPress;
  }
  KyTitle.OnChange = [this](tk::WinControl& sender) { KyTitleChange(sender); };
  for (tk::BitmapButton* button : {&SaveBtn, &DeleteBtn, &EndBtn})
    button->OnClick = [this](tk::WinControl& sender) { FormClick(sender); };
}

TTrackArtist_Form::~TTrackArtist_Form() {
  DestroyHandle();
  if (TrackArtist_Form == this) TrackArtist_Form = nullptr;
}

bool TTrackArtist_Form::EditTrackArtists(const std::wstring& titleFileName, Album& album) {
  auto copy = std::make_unique<ArtistMap>();
  copy->Assign(album.artists);
  FArtists = copy.get();
  FAlbum = &album;
  FChanged = false;
  DialogField = 1;
  // The copy goes when this returns, errors included; FArtists must not outlive it.
  platform::ScopeExit release([this] {
    FArtists = nullptr;
    FAlbum = nullptr;
  });
  LoadTitles(titleFileName);
  ShowArtist();
  ShowModal();
  if (!FChanged) return false;
  album.artists.Assign(*copy);
  return true;
}

std::string TTrackArtist_Form::SelectedTitle() {
  int index = KyTitle.ItemIndex();
  return index < 0 ? std::string() : KyTitle.Items().Get(index);
}

void TTrackArtist_Form::LoadTitles(const std::wstring& path) {
  KyTitle.Items().Clear();
  std::vector<std::string> titles = ReadTitles(path, FAlbum);
  KyTitle.Items().AddStrings(titles);
  // Selecting from here sends no change notification: the caller shows the artist itself.
  KyTitle.SetItemIndex(titles.empty() ? -1 : 0);
}

void TTrackArtist_Form::ShowArtist() {
  std::string title = SelectedTitle();
  KyArtist.SetText(FArtists && KyTitle.ItemIndex() >= 0 ? FArtists->ArtistOf(title) : "");
}

void TTrackArtist_Form::RegisterArtist() {
  if (!FArtists || KyTitle.ItemIndex() < 0) return;
  std::string title = SelectedTitle();
  std::string artist = Trim(KyArtist.Text());
  // An entry that metadata.txt would give back as something else, or not at all, would be
  // lost at the next save after a load: it is refused and the typed text stays for a change.
  if (!artist.empty() && !EntryReadsBack(title, artist)) {
    tk::Application::Instance().ShowMessageBox(kNotReadBack, "警告", MB_OK | MB_ICONWARNING);
    return;
  }
  FArtists->SetArtist(title, artist);
  FChanged = true;
}

void TTrackArtist_Form::DeleteArtist() {
  if (!FArtists || KyTitle.ItemIndex() < 0) return;
  int index = FArtists->IndexOfTitle(SelectedTitle());
  if (index >= 0) FArtists->Delete(index);
  KyArtist.SetText("");
  FChanged = true;
}

// ---- Navigation ----

void TTrackArtist_Form::EventExit(uint16_t key) {
  if (DialogField != 1 && DialogField != 2) return;
  switch (key) {
    case VK_RETURN:
    case VK_UP:
    case VK_DOWN:
      DialogField = DialogField == 1 ? 2 : 1;
      break;
    case VK_F8:
      DeleteArtist();
      break;
    case VK_F9:
      RegisterArtist();
      break;
    case VK_F12:
      DialogField = -1;
      Close();
      break;
  }
}

void TTrackArtist_Form::EventEnter() {
  if (DialogField == -1) return;
  if (DialogField == 0) {
    tk::WinControl* focused = ActiveControl();
    DialogField = focused == &KyArtist ? 2 : 1;
  }
  if (DialogField == 1)
    KyTitle.SetFocus();
  else
    KyArtist.SetFocus();
  bool selected = KyTitle.ItemIndex() >= 0;
  SaveBtn.SetEnabled(selected);
  DeleteBtn.SetEnabled(selected && FArtists && FArtists->IndexOfTitle(SelectedTitle()) >= 0);
}

void TTrackArtist_Form::FormCreate(tk::WinControl&) { DialogField = 1; }

void TTrackArtist_Form::FormActivate(tk::WinControl&) { EventEnter(); }

void TTrackArtist_Form::FormKeyDown(tk::WinControl&, WORD& key, tk::ShiftState) {
  if (!IsCommandKey(key)) return;
  EventExit(key);
  EventEnter();
  key = 0;
}

void TTrackArtist_Form::FormKeyPress(tk::WinControl&, char& key) {
  if (key != '\r') return;
  EventExit(VK_RETURN);
  EventEnter();
  key = 0;
}

void TTrackArtist_Form::FormClick(tk::WinControl& sender) {
  uint16_t code = &sender == &SaveBtn     ? VK_F9
                  : &sender == &DeleteBtn ? VK_F8
                  : &sender == &EndBtn    ? VK_F12
                                          : 0;
  if (code == 0) return;
  EventExit(code);
  EventEnter();
}

void TTrackArtist_Form::KyTitleChange(tk::WinControl&) {
  ShowArtist();
  EventEnter();
}

// Up and Down are the dialog's own keys everywhere, also on a button, which would otherwise
// pass them on as a move to the next control. Enter on a focused button presses it, as in
// every dialog of the platform, instead of moving between the fields.
bool TTrackArtist_Form::DialogKey(WORD key, tk::ShiftState shift) {
  if (key == VK_UP || key == VK_DOWN) return false;
  if (key == VK_RETURN && !(shift & tk::ssAlt)) {
    tk::WinControl* focused = ActiveControl();
    for (tk::BitmapButton* button : {&SaveBtn, &DeleteBtn, &EndBtn}) {
      if (focused != button) continue;
      FormClick(*button);
      return true;
    }
  }
  return tk::Form::DialogKey(key, shift);
}
