#pragma once
// The one exception hierarchy of the program. Messages are ANSI (Shift-JIS) text, shown
// as they stand by the application's error box.

#include <exception>
#include <string>
#include <windows.h>

namespace platform {

// A std::exception, so that one handler takes the program's failures and the standard
// library's alike; what() is the same ANSI text as Message().
class Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}
  const std::string& Message() const { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }

 private:
  std::string message_;
};

// A deliberate abort: the error box stays silent for it.
class Abort : public Exception {
 public:
  Abort() : Exception("") {}
};

// A failed platform call; carries the system's message text for the error code.
class Win32Error : public Exception {
 public:
  Win32Error(std::string message, DWORD code) : Exception(std::move(message)), code_(code) {}
  DWORD Code() const { return code_; }

 private:
  DWORD code_;
};

// An index outside a list, as raised by string lists.
class ListIndexError : public Exception {
 public:
  using Exception::Exception;
};

// Whether the list-index message has a blank before "(index)"; see ListIndexOutOfRange.
enum class BlankBeforeIndex : bool { No, Yes };

// The failure of a list asked for an item at `index`, which it does not have.
ListIndexError ListIndexOutOfRange(int index, BlankBeforeIndex blank = BlankBeforeIndex::No);

// The platform refused to store an item.
class OutOfResources : public Exception {
 public:
  using Exception::Exception;
};

// printf-style formatting into an ANSI string.
std::string Format(const char* format, ...);

}  // namespace platform
