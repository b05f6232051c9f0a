#pragma once
// Runs a step when the scope it stands in ends, by return or by an exception: for a flag or a
// state that must be put back whatever happens in between.

#include <utility>

namespace platform {

template <typename Step>
class ScopeExit {
 public:
  explicit ScopeExit(Step step) : step_(std::move(step)) {}
  ~ScopeExit() { step_(); }
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;

 private:
  Step step_;
};

}  // namespace platform
