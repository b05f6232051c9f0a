#pragma once
// The main window: six album fields in a ring, navigated by keys, and the command buttons.

#include <cstdint>
#include <memory>
#include <string>

#include "controls/ComboBoxExVell.h"
#include "metadata/MetadataFile.h"
#include "toolkit/FileDialog.h"
#include "toolkit/Form.h"
#include "toolkit/Bevel.h"
#include "toolkit/BitmapButton.h"
#include "toolkit/ComboBox.h"
#include "toolkit/Edit.h"
#include "toolkit/Label.h"

class TMain_Form : public tk::Form {
 public:
  TMain_Form();
  ~TMain_Form() override;

  tk::Edit KyAlbum{this, "KyAlbum"};
  tk::Label Label1{this, "Label1"};
  tk::Label Label2{this, "Label2"};
  tk::Edit KyAlbumArtist{this, "KyAlbumArtist"};
  tk::Label Label3{this, "Label3"};
  tk::Edit KyArtist{this, "KyArtist"};
  tk::Label Label4{this, "Label4"};
  tk::Label Label5{this, "Label5"};
  tk::Edit KyGenre{this, "KyGenre"};
  tk::Label Label6{this, "Label6"};
  TComboBoxExVell KyCBYear{this, "KyCBYear"};
  TComboBoxExVell kyCBDiscNo{this, "kyCBDiscNo"};
  tk::BitmapButton LoadBtn{this, "LoadBtn"};
  tk::BitmapButton SaveBtn{this, "SaveBtn"};
  tk::BitmapButton EndBtn{this, "EndBtn"};
  tk::BitmapButton TrackArtistBtn{this, "TrackArtistBtn"};
  tk::OpenDialog OD;
  tk::Bevel Bevel1{this, "Bevel1"};

  const std::wstring& TitleFileName() const { return FTitleFileName; }
  const std::wstring& MetadataFileName() const { return FMetadataFileName; }
  const ArtistMap& Artists() const { return FArtists; }

  void EventExit(uint16_t key);
  void EventEnter();
  void FormKeyPress(tk::WinControl& sender, char& key);
  void FormKeyDown(tk::WinControl& sender, WORD& key, tk::ShiftState shift);
  void FormMouseDown(tk::WinControl& sender, tk::MouseButton button, tk::ShiftState shift, int x,
                     int y);
  void FormClick(tk::WinControl& sender);
  void FormCreate(tk::WinControl& sender);
  void FormActivate(tk::WinControl& sender);
  void FormClose(tk::Form& sender, tk::CloseAction& action);
  void LoadBtnClick();
  void SaveBtnClick();
  void ClearMetadata();
  void LoadMetadata(const std::wstring& path);
  void SaveMetadata(const std::wstring& path);
  void TrackArtistBtnClick();

  bool FormDialogKey(WORD key, tk::ShiftState shift);
  bool DialogKey(WORD key, tk::ShiftState shift) override { return FormDialogKey(key, shift); }

 private:
  void BindHandlers();
  void FillLists();
  void ApplyAlbumValue(const AlbumValue& value);
  int ListItemFor(AlbumKey key, const std::string& value);
  int YearItemFor(const std::string& year);
  int DiscItemFor(const std::string& value);
  void ShowListValue(TComboBoxExVell& box, AlbumKey key, const std::string& value);
  std::string ListValueToSave(TComboBoxExVell& box, AlbumKey key);
  tk::WinControl* FieldControl(int16_t field);
  int16_t FieldOf(tk::WinControl* control);

  // Paths are UTF-16, so that any folder name works.
  std::wstring FMetadataFileName;
  std::wstring FTitleFileName;
  // The loaded album; the fields show its values, and a save takes them back first.
  Album FAlbum;
  ArtistMap& FArtists{FAlbum.artists};
};

extern TMain_Form* Main_Form;
