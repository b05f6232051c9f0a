#pragma once
// "This call raises this error": what a call raises, for a test to check.

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <source_location>
#include <string>

#include "platform/Exception.h"

namespace harness {

// The `Error` that `call` raises; nullopt, and a failure at the caller's line, when none.
template <typename Error = platform::Exception>
std::optional<Error> Raised(const std::function<void()>& call,
                            std::source_location where = std::source_location::current()) {
  try {
    call();
  } catch (const Error& error) {
    return error;
  }
  ADD_FAILURE_AT(where.file_name(), static_cast<int>(where.line())) << "no error raised";
  return std::nullopt;
}

// Expects `call` to raise an `Error` whose message is exactly `message`.
template <typename Error = platform::Exception>
void ExpectRaises(const std::function<void()>& call, const std::string& message,
                  std::source_location where = std::source_location::current()) {
  testing::ScopedTrace trace(where.file_name(), static_cast<int>(where.line()), "the call");
  if (std::optional<Error> error = Raised<Error>(call, where)) {
    EXPECT_EQ(error->Message(), message);
  }
}

}  // namespace harness
