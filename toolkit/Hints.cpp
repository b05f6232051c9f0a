#include "toolkit/Hints.h"

#include "toolkit/Application.h"
#include "toolkit/Control.h"

namespace tk {
namespace {

Hints* instance = nullptr;
constexpr UINT kWatchPeriod = 100;  // ms

}  // namespace

Hints::Hints() { instance = this; }

Hints::~Hints() {
  Stop();
  if (instance == this) instance = nullptr;
}

void Hints::MouseMove(WinControl& control) {
  if (&control != control_) {
    Stop();
    control_ = &control;
    state_ = State::Idle;
  }
  if (state_ == State::Idle && control.ShowHint() && !control.Hint().empty()) {
    state_ = State::Waiting;
    Restart(watchTimer_, kWatchPeriod);
  }
  // The delay counts from the moment the pointer comes to rest.
  if (state_ == State::Waiting) Restart(stepTimer_, Application::Instance().HintShowDelay());
}

void Hints::Cancel() {
  if (state_ == State::Idle) return;
  window_.Hide();
  Kill(stepTimer_);
  state_ = State::Done;
}

void Hints::Forget(WinControl& control) {
  if (&control != control_) return;
  Stop();
  control_ = nullptr;
  state_ = State::Idle;
}

void CALLBACK Hints::Tick(HWND, UINT, UINT_PTR timer, DWORD) {
  if (!instance) return;
  // Nothing may unwind into the platform's timer dispatch.
  try {
    if (timer == instance->stepTimer_) instance->Step();
    if (timer == instance->watchTimer_) instance->Watch();
  } catch (...) {
    instance->Stop();
    instance->state_ = State::Done;
    Application::Instance().HandleException(std::current_exception());
  }
}

void Hints::Step() {
  Kill(stepTimer_);
  if (state_ == State::Waiting && PointerOver()) {
    POINT at;
    GetCursorPos(&at);
    // Below the arrow, which takes about two thirds of the cursor's cell.
    at.y += GetSystemMetrics(SM_CYCURSOR) * 2 / 3;
    window_.Show(control_->Hint(), at);
    state_ = State::Showing;
    // -1: the largest timer period, so the hint stays until the pointer leaves.
    int hide = Application::Instance().HintHideDelay();
    Restart(stepTimer_, hide < 0 ? USER_TIMER_MAXIMUM : static_cast<UINT>(hide));
  } else if (state_ == State::Showing) {
    window_.Hide();
    state_ = State::Done;
  }
}

void Hints::Watch() {
  if (control_ && PointerOver()) return;
  Stop();
  control_ = nullptr;
  state_ = State::Idle;
}

bool Hints::PointerOver() const {
  POINT at;
  return control_ && GetCursorPos(&at) && WinControl::OwnerOf(WindowFromPoint(at)) == control_;
}

// A thread timer's id cannot be chosen: a new period is a new timer.
void Hints::Restart(UINT_PTR& timer, UINT period) {
  Kill(timer);
  timer = SetTimer(nullptr, 0, period, Tick);
}

void Hints::Kill(UINT_PTR& timer) {
  if (timer) KillTimer(nullptr, timer);
  timer = 0;
}

void Hints::Stop() {
  window_.Hide();
  Kill(stepTimer_);
  Kill(watchTimer_);
}

}  // namespace tk
