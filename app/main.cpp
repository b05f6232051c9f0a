// Program entry: brings the application up, creates the windows and runs the event loop.

#include <windows.h>

#include "app/StartUp.h"
#include "app/u_main.h"
#include "toolkit/Application.h"
#include "trackartists/u_trackartists.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  tk::Application& app = tk::Application::Instance();
  app.Initialize();
  app.SetHintShowDelay(200);
  app.SetHintHideDelay(-1);
  app.SetTitle("Quorvel");
  int exitCode = RunWindows([&app] {
    app.CreateForm(Main_Form);
    app.CreateForm(TrackArtist_Form);  // hidden; serves every opening of the dialog
  });
  delete TrackArtist_Form;
  delete Main_Form;
  return exitCode;
}
