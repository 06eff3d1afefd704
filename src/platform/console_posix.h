// The console stream on POSIX: the controlling terminal, or standard error
// where there is none.

#ifndef GLYPHCULL_PLATFORM_CONSOLE_POSIX_H_
#define GLYPHCULL_PLATFORM_CONSOLE_POSIX_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace glyphcull {

/// Opens /dev/tty for reading and writing (its input is never read) and
/// switches its modes for the run: no canonical input, no echo, Ctrl+C an
/// ordinary key, no output processing. A hang-up (SIGHUP) or Ctrl+\ (SIGQUIT)
/// is the console break: the modes go back and the process ends with status
/// 0 at once. Without a controlling terminal the lines go to standard error.
class PosixConsole {
 public:
  /// The attribute that stands for the terminal's own colours.
  static constexpr uint8_t kStartAttribute = 0x07;

  PosixConsole();
  PosixConsole(const PosixConsole&) = delete;
  PosixConsole& operator=(const PosixConsole&) = delete;

  uint8_t attribute() const { return attribute_; }
  /// From the first call on, every line carries its colour explicitly.
  void set_attribute(uint8_t attribute) {
    attribute_ = attribute;
    coloured_ = true;
  }
  /// Writes `text` and CR LF; never fails.
  void PrintLine(std::string_view text);
  /// Puts the terminal's modes back as they were at start-up.
  void Restore();

 private:
  int fd_ = 2;
  bool is_terminal_ = false;
  bool utf8_ = false;
  uint8_t attribute_ = kStartAttribute;
  bool coloured_ = false;
  std::string line_;
};

}  // namespace glyphcull

#endif  // GLYPHCULL_PLATFORM_CONSOLE_POSIX_H_
