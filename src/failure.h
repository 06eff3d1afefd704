// The failure stop: the one-line message and the exit status of a failed run.

#ifndef GLYPHCULL_FAILURE_H_
#define GLYPHCULL_FAILURE_H_

#include <cstdint>
#include <string>

namespace glyphcull {

class Platform;

/// The code location shown in the failure message: one fixed value for each
/// step that can fail. The README lists them.
enum class Step : uint32_t {
  kOpenSource = 0x00001201,
  kEndOfFileTest = 0x00001202,
  kReadLine = 0x00001203,
  kCloseSource = 0x00001204,
  kCreateFontFile = 0x00001301,
  kWriteFontFile = 0x00001302,
  kCloseFontFile = 0x00001303,
  kOutOfMemory = 0x000010CB,
};

/// The failure code for memory running out.
inline constexpr int kOutOfMemoryCode = 203;

/// "Runtime error CCC at LLLLLLLL" for the low byte of `value`, without its
/// line end.
std::string FailureMessage(int value, Step step);

/// The exit status of a failure stop: the low byte of `value`, or 255 where
/// that byte is 0, so that a failed run never ends as a success.
int FailureExitStatus(int value);

/// The failure stop: the message and CR LF on standard output, then the end of
/// the process with the failure's exit status. Never returns.
[[noreturn]] void FailureStop(Platform& platform, int value, Step step);

/// The failure check: goes on when `value` is 0, else the failure stop.
inline void FailureCheck(Platform& platform, int value, Step step) {
  if (value != 0) FailureStop(platform, value, step);
}

}  // namespace glyphcull

#endif  // GLYPHCULL_FAILURE_H_
