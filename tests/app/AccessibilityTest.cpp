// What a screen reader hears of each control of both windows, asked of the system's
// accessibility layer inside the process (across processes Wine answers nothing).

#include <oleacc.h>

#include "tests/app/MainFormTest.h"
#include "trackartists/u_trackartists.h"

namespace {

struct Heard {
  long role = 0;
  std::string name;
  std::string value;
};

std::string Taken(BSTR text) {
  std::string ansi = text ? harness::Ansi(text) : "";
  SysFreeString(text);
  return ansi;
}

Heard HeardOf(HWND window) {
  Heard heard;
  IAccessible* object = nullptr;
  HRESULT asked = AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible),
                                             reinterpret_cast<void**>(&object));
  EXPECT_EQ(asked, S_OK);
  if (FAILED(asked)) return heard;
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  VARIANT role{};
  if (SUCCEEDED(object->get_accRole(self, &role)) && role.vt == VT_I4) heard.role = role.lVal;
  BSTR text = nullptr;
  if (SUCCEEDED(object->get_accName(self, &text))) heard.name = Taken(text);
  text = nullptr;
  if (SUCCEEDED(object->get_accValue(self, &text))) heard.value = Taken(text);
  object->Release();
  return heard;
}

}  // namespace

// Each control with its role and name; a field's value is its text. The edit part of a box,
// where the focus stands, bears the box's name.
TEST_F(MainFormTest, EveryControlOfBothWindowsIsHeardByItsRoleAndName) {
  form->KyAlbum.SetText("夜明けの歌");
  ASSERT_FALSE(form->KyCBYear.Text().empty());
  tk::Form &main = *form, &dialog = *TrackArtist_Form;
  const struct {
    tk::Form& window;
    const char* control;
    long role;
    const char* name;
    bool editPart = false;
  } rows[] = {
      {main, "Label1", ROLE_SYSTEM_STATICTEXT, "アルバム名"},
      {main, "Label4", ROLE_SYSTEM_STATICTEXT, "アルバム発表年"},
      {main, "Bevel1", ROLE_SYSTEM_SEPARATOR, ""},
      {main, "KyAlbum", ROLE_SYSTEM_TEXT, "アルバム名"},
      {main, "KyAlbumArtist", ROLE_SYSTEM_TEXT, "アルバムアーティスト名"},
      {main, "KyArtist", ROLE_SYSTEM_TEXT, "アーティスト名"},
      {main, "KyCBYear", ROLE_SYSTEM_COMBOBOX, "アルバム発表年"},
      {main, "KyCBYear", ROLE_SYSTEM_TEXT, "アルバム発表年", true},
      {main, "KyGenre", ROLE_SYSTEM_TEXT, "ジャンル"},
      {main, "kyCBDiscNo", ROLE_SYSTEM_COMBOBOX, "ディスクナンバー"},
      {main, "TrackArtistBtn", ROLE_SYSTEM_PUSHBUTTON, "曲別参加アーティスト(F6)"},
      {main, "LoadBtn", ROLE_SYSTEM_PUSHBUTTON, "読込(F5)"},
      {main, "SaveBtn", ROLE_SYSTEM_PUSHBUTTON, "保存(F9)"},
      {main, "EndBtn", ROLE_SYSTEM_PUSHBUTTON, "終了（F12)"},
      {dialog, "Label1", ROLE_SYSTEM_STATICTEXT, "曲名"},
      {dialog, "Label2", ROLE_SYSTEM_STATICTEXT, "追加参加アーティスト"},
      {dialog, "KyTitle", ROLE_SYSTEM_COMBOBOX, "曲名"},
      {dialog, "KyArtist", ROLE_SYSTEM_TEXT, "追加参加アーティスト"},
      {dialog, "SaveBtn", ROLE_SYSTEM_PUSHBUTTON, "登録(F9)"},
      {dialog, "DeleteBtn", ROLE_SYSTEM_PUSHBUTTON, "削除(F8)"},
      {dialog, "EndBtn", ROLE_SYSTEM_PUSHBUTTON, "閉じる(F12)"},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.control) + (row.editPart ? " (edit part)" : ""));
    tk::WinControl* control = NamedIn(row.window, row.control);
    ASSERT_NE(control, nullptr);
    Heard heard = HeardOf(row.editPart ? form->KyCBYear.EditWindow() : control->Handle());
    EXPECT_EQ(heard.role, row.role);
    EXPECT_EQ(heard.name, row.name);
    if (row.role == ROLE_SYSTEM_TEXT || row.role == ROLE_SYSTEM_COMBOBOX) {
      EXPECT_EQ(heard.value, control->Text());
    }
  }
}
