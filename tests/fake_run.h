// Runs the whole tool against the in-memory platform.

#ifndef GLYPHCULL_TESTS_FAKE_RUN_H_
#define GLYPHCULL_TESTS_FAKE_RUN_H_

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "glyphcull.h"
#include "platform/fake_platform.h"

namespace glyphcull {

/// Runs the tool to its end and returns its exit status.
inline int RunTool(FakePlatform& platform) {
  try {
    RunGlyphcull(platform);
  } catch (const FakeExit& exit) {
    return exit.status;
  }
  return -1;  // unreachable: the run always ends through Exit
}

/// A platform whose source "in.ps" holds `source`, run as `glyphcull in.ps`
/// into an existing folder "out".
inline FakePlatform WithSource(const std::string& source) {
  FakePlatform platform;
  platform.files["in.ps"] = source;
  platform.folders.insert("out");
  platform.arguments = {"in.ps", "out"};
  return platform;
}

/// The files a run wrote into "out", by name.
inline std::map<std::string, std::string> FontFiles(
    const FakePlatform& platform) {
  std::map<std::string, std::string> fonts;
  for (const auto& [path, bytes] : platform.files) {
    if (path.rfind("out/", 0) == 0) fonts[path.substr(4)] = bytes;
  }
  return fonts;
}

/// The font file that the capture rules give for `name` and `lines`.
inline std::string Pfa(const std::string& name,
                       const std::vector<std::string>& lines) {
  std::string text = "%!PS-AdobeFont-1.0: " + name + "\n";
  for (const std::string& line : lines) text += line + "\n";
  return text + "cleartomark\r\n";
}

/// A whole run on one source, and what it must leave.
struct RunCase {
  const char* what;
  std::string source;
  std::map<std::string, std::string> files;
  std::vector<std::string> console;
};

/// Runs each case and checks that it ends normally with exactly its files
/// and console lines.
inline void ExpectRuns(const std::vector<RunCase>& cases) {
  for (const RunCase& c : cases) {
    FakePlatform platform = WithSource(c.source);
    EXPECT_EQ(RunTool(platform), 0) << c.what;
    EXPECT_EQ(FontFiles(platform), c.files) << c.what;
    EXPECT_EQ(platform.ConsoleTexts(), c.console) << c.what;
    EXPECT_EQ(platform.standard_output, "") << c.what;
    EXPECT_EQ(platform.font_files_open, 0) << c.what;
  }
}

}  // namespace glyphcull

#endif  // GLYPHCULL_TESTS_FAKE_RUN_H_
