#pragma once
// A fixture that builds the real main window, shows it and waits for the first activation.

#include <gtest/gtest.h>

#include "app/u_main.h"
#include "tests/harness/WindowTest.h"
#include "toolkit/Application.h"

// The control of `window` with that name, or nullptr.
inline tk::WinControl* NamedIn(tk::Form& window, const std::string& name) {
  for (tk::WinControl* child : window.Children())
    if (child->Name() == name) return child;
  return nullptr;
}

class MainFormTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  bool FocusIn(tk::WinControl& control) {
    return harness::PumpUntil([&] { return control.Focused(); }, 3000);
  }
  // The control's rectangle in the form's client coordinates.
  RECT ClientRect(tk::WinControl& control);
  tk::WinControl* Named(const std::string& name) { return NamedIn(*form, name); }
  // The main window's client area, font and controls laid out for `dpi`; the track-artist
  // dialog's with `dialog`.
  void ExpectLayoutAt(int dpi, bool dialog = false);
  // A press of the left button in the middle of a control.
  void Click(tk::WinControl& control);
  // The track-artist dialog shows modally and has been activated.
  static bool TrackArtistDialogActive();

  TMain_Form* form = nullptr;
};
