#include "app/StartUp.h"

#include "toolkit/Application.h"

int RunWindows(const std::function<void()>& createWindows) {
  tk::Application& app = tk::Application::Instance();
  try {
    createWindows();
  } catch (...) {
    app.HandleException(std::current_exception());
    return 1;
  }
  return app.Run() ? 0 : 1;
}
