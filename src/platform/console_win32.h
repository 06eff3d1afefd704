// The console stream on Windows: the console's screen buffer, or standard
// error where the process has no console.

#ifndef GLYPHCULL_PLATFORM_CONSOLE_WIN32_H_
#define GLYPHCULL_PLATFORM_CONSOLE_WIN32_H_

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace glyphcull {

/// Opens "CONOUT$" and "CONIN$" for reading and writing (the input is never
/// read), takes the console's attribute, installs the console-break handler
/// (Ctrl+Break and closing the console end the process with status 0) and
/// switches the modes off for the run: no line input, echo or processed input
/// (so Ctrl+C is an ordinary key), no processed output or wrap. Lines are
/// drawn into the screen buffer at the cursor; the console's own attribute is
/// never changed. Without a console the lines go to standard error.
class Win32Console {
 public:
  Win32Console();
  Win32Console(const Win32Console&) = delete;
  Win32Console& operator=(const Win32Console&) = delete;

  uint8_t attribute() const { return attribute_; }
  void set_attribute(uint8_t attribute) { attribute_ = attribute; }
  /// Writes `text` and CR LF; never fails.
  void PrintLine(std::string_view text);
  /// Puts the console's modes back as they were at start-up.
  void Restore();

 private:
  HANDLE output_ = INVALID_HANDLE_VALUE;
  uint8_t attribute_ = 0x07;
  std::string line_;
};

}  // namespace glyphcull

#endif  // GLYPHCULL_PLATFORM_CONSOLE_WIN32_H_
