#pragma once
// The application object: its title, the message loop with the key pipeline, the error
// box every callback hands its exceptions to, and modal message boxes.

#include <windows.h>

#include <exception>
#include <memory>
#include <string>
#include <vector>

namespace tk {

class Form;
class Hints;
class WinControl;

class Application {
 public:
  static Application& Instance();
  ~Application();

  // Loads the common controls; call once before any window exists.
  void Initialize();
  void SetTitle(const std::string& title) { title_ = title; }
  const std::string& Title() const { return title_; }
  // Hint delays in milliseconds; -1 as the hide delay keeps a hint until the mouse leaves.
  void SetHintShowDelay(int ms) { hintShowDelay_ = ms; }
  void SetHintHideDelay(int ms) { hintHideDelay_ = ms; }
  int HintShowDelay() const { return hintShowDelay_; }
  int HintHideDelay() const { return hintHideDelay_; }
  // Hint handling: every mouse move over a control (or a part window of it) comes here.
  void HintMouseMessage(WinControl& control);
  // Hides the hint, as a press does.
  void CancelHint();
  // A control that goes away shows no hint.
  void ForgetHintControl(WinControl& control);

  // Builds a form and runs its creation handler; the first form is the main form.
  template <typename T>
  void CreateForm(T*& reference) {
    reference = new T();
    reference->DoCreate();
  }
  // Registers a form built by the caller; the first one is the main form.
  void AddForm(Form* form);
  void RemoveForm(Form* form);
  Form* MainForm() const { return mainForm_; }

  // Shows the main form and dispatches messages until it has closed; false when there is
  // no main form or it could not be shown (the error box has said why).
  bool Run();
  void Terminate();
  bool Terminated() const { return terminated_; }
  // Lets a process that ended its main form start another one (window tests).
  void ClearTermination() { terminated_ = false; }
  // Dispatches every waiting message, then returns.
  void ProcessMessages();
  // Handles one message through the key pipeline; false when it was WM_QUIT.
  bool HandleMessage(MSG& msg);

  // The error box: the message with "." appended when its last byte sorts after ".",
  // the application title as caption, OK and the error icon. Silent for platform::Abort.
  void HandleException(std::exception_ptr error);
  int ShowMessageBox(const std::string& text, const std::string& caption, UINT flags);

  // The form whose activation last counted as activating a form of the program.
  Form* ActiveForm() const { return activeForm_; }
  void SetActiveForm(Form* form) { activeForm_ = form; }

 private:
  bool IsKeyMessage(MSG& msg);
  void ShowException(const std::string& message);

  std::string title_;
  int hintShowDelay_ = 500;
  int hintHideDelay_ = 2500;
  std::unique_ptr<Hints> hints_;  // made at the first mouse move
  std::vector<Form*> forms_;
  Form* mainForm_ = nullptr;
  Form* activeForm_ = nullptr;
  bool terminated_ = false;
  bool showingException_ = false;
};

}  // namespace tk
