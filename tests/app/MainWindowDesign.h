#pragma once
// The designs of the main window and the track-artist dialog at 96 dpi, as the tests check
// them in the process and from outside.

#include <windows.h>

struct DesignedControl {
  const char* name;
  const char* kind;  // window class
  int left, top, width, height;
  const char* text;  // at start-up; nullptr: not checked
  // A label sizes itself to its text at the window's font: near the size given.
  bool sizedToText = false;
};

// Client areas.
inline constexpr SIZE kMainWindowClient{592, 237}, kTrackArtistDialogClient{460, 154};

inline const DesignedControl kMainWindowDesign[] = {
    {"Label1", "QuorvelLabel", 16, 13, 64, 13, "アルバム名", true},
    {"Label2", "QuorvelLabel", 16, 43, 128, 13, "アルバムアーティスト名", true},
    {"Label3", "QuorvelLabel", 16, 69, 77, 13, "アーティスト名", true},
    {"Label4", "QuorvelLabel", 16, 95, 90, 13, "アルバム発表年", true},
    {"Label5", "QuorvelLabel", 16, 123, 46, 13, "ジャンル", true},
    {"Label6", "QuorvelLabel", 16, 149, 90, 13, "ディスクナンバー", true},
    {"Bevel1", "QuorvelBevel", 0, 172, 607, 7, ""},
    {"KyAlbum", "QuorvelEdit", 148, 11, 425, 21, ""},
    {"KyAlbumArtist", "QuorvelEdit", 148, 35, 425, 21, ""},
    {"KyArtist", "QuorvelEdit", 148, 61, 425, 21, ""},
    {"KyCBYear", "TComboBoxExVell", 148, 87, 71, 21, nullptr},
    {"KyGenre", "QuorvelEdit", 148, 115, 149, 21, "J-POP"},
    {"kyCBDiscNo", "TComboBoxExVell", 148, 141, 48, 21, nullptr},
    {"TrackArtistBtn", "QuorvelButton", 18, 195, 187, 29, "曲別参加アーティスト(F6)"},
    {"LoadBtn", "QuorvelButton", 271, 196, 93, 29, "読込(F5)"},
    {"SaveBtn", "QuorvelButton", 378, 196, 93, 29, "保存(F9)"},
    {"EndBtn", "QuorvelButton", 485, 196, 93, 29, "終了（F12)"},
};

inline const DesignedControl kTrackArtistDialogDesign[] = {
    {"KyTitle", "QuorvelComboBox", 144, 16, 300, 21, nullptr},
    {"KyArtist", "QuorvelEdit", 144, 52, 300, 21, nullptr},
    {"SaveBtn", "QuorvelButton", 112, 104, 96, 25, nullptr},
    {"DeleteBtn", "QuorvelButton", 216, 104, 96, 25, nullptr},
    {"EndBtn", "QuorvelButton", 320, 104, 96, 25, nullptr},
    {"Label1", "QuorvelLabel", 16, 20, 26, 13, nullptr, true},
    {"Label2", "QuorvelLabel", 16, 56, 116, 13, nullptr, true},
};
