// Program entry: brings the application up, creates the windows and runs the event loop.

#include <windows.h>

#include "app/u_main.h"
#include "toolkit/Application.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  tk::Application& app = tk::Application::Instance();
  app.Initialize();
  app.SetHintShowDelay(200);
  app.SetHintHideDelay(-1);
  app.SetTitle("Quorvel");
  try {
    app.CreateForm(Main_Form);
  } catch (...) {
    app.HandleException(std::current_exception());
  }
  app.Run();
  delete Main_Form;
  return 0;
}
