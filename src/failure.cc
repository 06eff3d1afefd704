#include "failure.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "platform/platform.h"

namespace glyphcull {
namespace {

/// Room for the 29-byte message and its CR LF. The message is formatted here,
/// off the heap, so that it still goes out when memory has run out.
struct MessageText {
  char bytes[40];
  size_t length;
};

MessageText FormatMessage(int value, Step step, const char* line_end) {
  MessageText text{};
  const int length = std::snprintf(text.bytes, sizeof text.bytes,
                                   "Runtime error %3u at %08X%s",
                                   static_cast<unsigned>(value) & 0xFFu,
                                   static_cast<unsigned>(step), line_end);
  text.length = static_cast<size_t>(length);
  return text;
}

}  // namespace

std::string FailureMessage(int value, Step step) {
  const MessageText text = FormatMessage(value, step, "");
  return std::string(text.bytes, text.length);
}

int FailureExitStatus(int value) {
  const int code = static_cast<int>(static_cast<unsigned>(value) & 0xFFu);
  return code == 0 ? 255 : code;
}

void FailureStop(Platform& platform, int value, Step step) {
  const MessageText text = FormatMessage(value, step, "\r\n");
  platform.WriteStandardOutput(std::string_view(text.bytes, text.length));
  platform.Exit(FailureExitStatus(value));
  std::abort();  // Exit ends the process; a platform that returns is broken
}

}  // namespace glyphcull
