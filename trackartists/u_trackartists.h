#pragma once
// The track-artist dialog: the titles of title.txt in a list, the additional artists of the
// selected title in a field, and register (F9), delete (F8) and close (F12) on a working copy
// of the album's artist map. Enter, Up and Down move between the two fields.

#include <cstdint>
#include <string>

#include "metadata/Album.h"
#include "toolkit/Form.h"
#include "toolkit/BitmapButton.h"
#include "toolkit/ComboBox.h"
#include "toolkit/Edit.h"
#include "toolkit/Label.h"

class TTrackArtist_Form : public tk::Form {
 public:
  TTrackArtist_Form();
  ~TTrackArtist_Form() override;

  tk::ComboBox KyTitle{this, "KyTitle"};
  tk::Edit KyArtist{this, "KyArtist"};
  tk::BitmapButton SaveBtn{this, "SaveBtn"};
  tk::BitmapButton DeleteBtn{this, "DeleteBtn"};
  tk::BitmapButton EndBtn{this, "EndBtn"};
  tk::Label Label1{this, "Label1"};
  tk::Label Label2{this, "Label2"};

  // Shows the titles of `titleFileName` modally and edits a copy of the album's artist map.
  // True when a register or delete ran; the album's map then takes the copy over. Raises the
  // open error of title.txt before anything is shown; the map is then untouched. The album
  // learns the original characters of the titles a UTF-8 title.txt lists.
  bool EditTrackArtists(const std::wstring& titleFileName, Album& album);

  // The selected item's whole text; empty when none is selected.
  std::string SelectedTitle();

  void LoadTitles(const std::wstring& path);
  void ShowArtist();
  void RegisterArtist();
  void DeleteArtist();
  void EventExit(uint16_t key);
  void EventEnter();
  void FormCreate(tk::WinControl& sender);
  void FormActivate(tk::WinControl& sender);
  void FormKeyDown(tk::WinControl& sender, WORD& key, tk::ShiftState shift);
  void FormKeyPress(tk::WinControl& sender, char& key);
  void FormClick(tk::WinControl& sender);
  void KyTitleChange(tk::WinControl& sender);

  bool DialogKey(WORD key, tk::ShiftState shift) override;

 private:
  ArtistMap* FArtists = nullptr;  // the working copy, only while EditTrackArtists runs
  Album* FAlbum = nullptr;        // only while EditTrackArtists runs
  bool FChanged = false;
};

extern TTrackArtist_Form* TrackArtist_Form;
