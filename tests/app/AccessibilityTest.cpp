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

struct Expected {
  const char* control;
  long role;
  const char* name;
};

// Each control with its role and name; a field's value is its text.
void ExpectHeard(tk::Form& window, std::initializer_list<Expected> table) {
  for (const Expected& expected : table) {
    SCOPED_TRACE(expected.control);
    tk::WinControl* control = NamedIn(window, expected.control);
    ASSERT_NE(control, nullptr);
    Heard heard = HeardOf(control->Handle());
    EXPECT_EQ(heard.role, expected.role);
    EXPECT_EQ(heard.name, expected.name);
    if (expected.role == ROLE_SYSTEM_TEXT || expected.role == ROLE_SYSTEM_COMBOBOX) {
      EXPECT_EQ(heard.value, control->Text());
    }
  }
}

}  // namespace

TEST_F(MainFormTest, EveryControlOfBothWindowsIsHeardByItsRoleAndName) {
  form->KyAlbum.SetText("夜明けの歌");
  ASSERT_FALSE(form->KyCBYear.Text().empty());
  ExpectHeard(*form, {
                         {"Label1", ROLE_SYSTEM_STATICTEXT, "アルバム名"},
                         {"Label4", ROLE_SYSTEM_STATICTEXT, "アルバム発表年"},
                         {"Bevel1", ROLE_SYSTEM_SEPARATOR, ""},
                         {"KyAlbum", ROLE_SYSTEM_TEXT, "アルバム名"},
                         {"KyAlbumArtist", ROLE_SYSTEM_TEXT, "アルバムアーティスト名"},
                         {"KyArtist", ROLE_SYSTEM_TEXT, "アーティスト名"},
                         {"KyCBYear", ROLE_SYSTEM_COMBOBOX, "アルバム発表年"},
                         {"KyGenre", ROLE_SYSTEM_TEXT, "ジャンル"},
                         {"kyCBDiscNo", ROLE_SYSTEM_COMBOBOX, "ディスクナンバー"},
                         {"TrackArtistBtn", ROLE_SYSTEM_PUSHBUTTON, "曲別参加アーティスト(F6)"},
                         {"LoadBtn", ROLE_SYSTEM_PUSHBUTTON, "読込(F5)"},
                         {"SaveBtn", ROLE_SYSTEM_PUSHBUTTON, "保存(F9)"},
                         {"EndBtn", ROLE_SYSTEM_PUSHBUTTON, "終了（F12)"},
                     });
  // The edit part of a box, where the focus stands, bears the box's name.
  Heard year = HeardOf(form->KyCBYear.EditWindow());
  EXPECT_EQ(year.role, ROLE_SYSTEM_TEXT);
  EXPECT_EQ(year.name, "アルバム発表年");
  EXPECT_EQ(year.value, form->KyCBYear.Text());
  ExpectHeard(*TrackArtist_Form, {
                                     {"Label1", ROLE_SYSTEM_STATICTEXT, "曲名"},
                                     {"Label2", ROLE_SYSTEM_STATICTEXT, "追加参加アーティスト"},
                                     {"KyTitle", ROLE_SYSTEM_COMBOBOX, "曲名"},
                                     {"KyArtist", ROLE_SYSTEM_TEXT, "追加参加アーティスト"},
                                     {"SaveBtn", ROLE_SYSTEM_PUSHBUTTON, "登録(F9)"},
                                     {"DeleteBtn", ROLE_SYSTEM_PUSHBUTTON, "削除(F8)"},
                                     {"EndBtn", ROLE_SYSTEM_PUSHBUTTON, "閉じる(F12)"},
                                 });
}
