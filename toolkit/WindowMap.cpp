#include "toolkit/WindowMap.h"

#include <unordered_map>

namespace tk {

namespace {

std::unordered_map<HWND, WindowTarget*>& Targets() {
  thread_local std::unordered_map<HWND, WindowTarget*> targets;
  return targets;
}

}  // namespace

void BindWindow(HWND window, WindowTarget* target) { Targets()[window] = target; }

void UnbindWindow(HWND window) { Targets().erase(window); }

WindowTarget* WindowTargetOf(HWND window) {
  auto found = Targets().find(window);
  return found == Targets().end() ? nullptr : found->second;
}

}  // namespace tk
