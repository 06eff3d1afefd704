#include "glyphcull.h"

#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "failure.h"
#include "font_capture.h"
#include "platform/platform.h"
#include "run_state.h"
#include "scanner.h"
#include "source_reader.h"

namespace glyphcull {
namespace {

void TextColor(Platform& platform, uint8_t value) {
  platform.SetConsoleAttribute(
      TextColorAttribute(platform.ConsoleAttribute(), value));
}

void Run(Platform& platform) {
  const std::vector<std::string> arguments = platform.Arguments();
  if (arguments.empty()) {
    TextColor(platform, kBannerColour);
    platform.PrintLine(kBanner);
    TextColor(platform, kUsageColour);
    platform.PrintLine(kUsage);
    return;
  }
  RunState state;
  state.SourcePath = arguments[0];
  state.DestDir =
      arguments.size() >= 2 ? arguments[1] : std::string(kDefaultDestDir);
  // The folder's creation may fail; then the first font file fails instead.
  if (!platform.IsFolder(state.DestDir)) platform.MakeFolder(state.DestDir);

  SourceReader reader(platform);
  reader.Open(state.SourcePath);
  FontCapture capture(platform, reader, state);
  Scan(reader, capture, state);
  reader.Close();
}

}  // namespace

void RunGlyphcull(Platform& platform) {
  try {
    Run(platform);
  } catch (const std::bad_alloc&) {
    FailureStop(platform, kOutOfMemoryCode, Step::kOutOfMemory);
  }
  platform.Exit(0);
  std::abort();  // Exit ends the process; a platform that returns is broken
}

}  // namespace glyphcull
