// A form for looking at the extended combo box: one with the flat border beside one with
// the platform's edge, and a third whose list, widened to its longest item, is opened by
// scripts/screenshot.sh with a click before it takes the picture.

#include "controls/ComboBoxExVell.h"
#include "toolkit/Application.h"
#include "toolkit/Form.h"
#include "toolkit/Label.h"

namespace {

class GalleryForm : public tk::Form {
 public:
  GalleryForm() : tk::Form("GalleryForm") {
    SetCaption("ComboBoxExVell");
    SetClientSize(360, 200);
    SetFont({"ＭＳ Ｐゴシック", 13, SHIFTJIS_CHARSET});
    const struct {
      tk::Label& label;
      TComboBoxExVell& box;
      int top;
      const char* caption;
    } rows[] = {{flatLabel, flat, 12, "bsNone"},
                {singleLabel, single, 42, "bsSingle"},
                {wideLabel, wide, 72, "open list"}};
    for (const auto& row : rows) {
      row.label.SetBounds(12, row.top + 4, 80, 13);
      row.label.SetText(row.caption);
      row.box.SetBounds(100, row.top, 90, 21);
      row.box.SetItemHeight(13);
    }
    flat.SetBorderStyle(tk::bsNone);
    single.SetBorderStyle(tk::bsSingle);
  }
  void Fill() {
    for (TComboBoxExVell* box : {&flat, &single}) {
      for (const char* item : {"2025", "2026", "2027"}) box->Items().Add(item);
      box->SetItemIndex(1);
    }
    for (const char* item : {"01:Tokyo", "02:Osaka, the longest item of all", "03:Nagoya"})
      wide.Items().Add(item);
    wide.SetItemIndex(0);
  }
  tk::Label flatLabel{this, "flatLabel"};
  TComboBoxExVell flat{this, "flat"};
  tk::Label singleLabel{this, "singleLabel"};
  TComboBoxExVell single{this, "single"};
  tk::Label wideLabel{this, "wideLabel"};
  TComboBoxExVell wide{this, "wide"};
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  tk::Application& app = tk::Application::Instance();
  app.Initialize();
  app.SetTitle("ComboBoxExVell");
  GalleryForm form;
  form.Fill();
  form.Show();
  app.Run();
  return 0;
}
