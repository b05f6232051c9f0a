#include "tests/app/MainFormTest.h"

#include "trackartists/u_trackartists.h"

void MainFormTest::SetUp() {
  tk::Application& app = tk::Application::Instance();
  app.Initialize();
  app.SetTitle("Quorvel");
  app.CreateForm(Main_Form);
  app.CreateForm(TrackArtist_Form);
  form = Main_Form;
  form->Show();
  ASSERT_TRUE(FocusIn(form->KyAlbum));
}

void MainFormTest::TearDown() {
  delete TrackArtist_Form;
  delete form;
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
  }
  tk::Application::Instance().ClearTermination();
}

RECT MainFormTest::ClientRect(tk::WinControl& control) {
  RECT r;
  GetWindowRect(control.Handle(), &r);
  MapWindowPoints(nullptr, form->Handle(), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

void MainFormTest::Click(tk::WinControl& control) {
  HWND target = control.Handle();
  if (auto* combo = dynamic_cast<TComboBoxExVell*>(&control)) target = combo->EditWindow();
  harness::ClickAt(harness::CentreOf(target));
}

bool MainFormTest::TrackArtistDialogActive() {
  return TrackArtist_Form->Modal() && tk::Application::Instance().ActiveForm() == TrackArtist_Form;
}
