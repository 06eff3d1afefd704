// libFuzzer target: the whole run on a source of any bytes, through the
// in-memory platform, checked against the plain line-by-line model of the
// scan and capture rules in tests/line_model.h.
//
// On every input: the run ends; every file it writes lies in the destination
// folder and ends in ".pfa"; the files, the console lines and the exit status
// are exactly what the model gives. The first input byte, when below 16, sets
// how many bytes one read of the source delivers (1 to 16), to cut lines and
// markers at every place.

#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>

#include "glyphcull.h"
#include "line_model.h"
#include "platform/fake_platform.h"

using glyphcull::FakeExit;
using glyphcull::FakePlatform;
using glyphcull::line_model::Expected;
using glyphcull::line_model::Model;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  FakePlatform platform;
  if (!input.empty() && data[0] < 16) {
    platform.read_size = 1 + data[0];
    input.remove_prefix(1);
  }
  platform.files["in.ps"] = std::string(input);
  platform.folders.insert("out");
  platform.arguments = {"in.ps", "out"};
  int status = -1;
  try {
    glyphcull::RunGlyphcull(platform);
  } catch (const FakeExit& exit) {
    status = exit.status;
  }
  const Model model = Expected(input);
  std::map<std::string, std::string> written;
  for (const auto& [path, bytes] : platform.files) {
    if (path == "in.ps") {
      if (bytes != input) std::abort();  // the source changed
      continue;
    }
    const bool in_folder =
        path.rfind("out/", 0) == 0 && path.find('/', 4) == std::string::npos;
    const bool pfa =
        path.size() >= 4 && path.compare(path.size() - 4, 4, ".pfa") == 0;
    if (!in_folder || !pfa) std::abort();
    written[path] = bytes;
  }
  if (status != model.status || written != model.files ||
      platform.ConsoleTexts() != model.console) {
    std::abort();
  }
  return 0;
}
