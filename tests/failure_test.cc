#include "failure.h"

#include <gtest/gtest.h>

#include "platform/fake_platform.h"

namespace glyphcull {
namespace {

struct MessageCase {
  int value;
  Step step;
  const char* message;
  int exit_status;
};

TEST(FailureTest, MessageAndExitStatus) {
  const MessageCase cases[] = {
      {2, Step::kOpenSource, "Runtime error   2 at 00001201", 2},
      {32, Step::kCreateFontFile, "Runtime error  32 at 00001301", 32},
      {203, Step::kOutOfMemory, "Runtime error 203 at 000010CB", 203},
      {267, Step::kReadLine, "Runtime error  11 at 00001203", 11},
      // A low byte of 0 shows as 0 but must not end the run as a success.
      {256, Step::kWriteFontFile, "Runtime error   0 at 00001302", 255},
  };
  for (const MessageCase& c : cases) {
    EXPECT_EQ(FailureMessage(c.value, c.step), c.message);
    EXPECT_EQ(FailureMessage(c.value, c.step).size(), 29u);
    EXPECT_EQ(FailureExitStatus(c.value), c.exit_status) << c.value;
  }
}

TEST(FailureTest, StopWritesTheMessageToStandardOutputOnly) {
  FakePlatform platform;
  try {
    FailureStop(platform, 5, Step::kCloseSource);
    FAIL() << "the failure stop returned";
  } catch (const FakeExit& exit) {
    EXPECT_EQ(exit.status, 5);
  }
  EXPECT_EQ(platform.standard_output, "Runtime error   5 at 00001204\r\n");
  EXPECT_TRUE(platform.console.empty());
}

TEST(FailureTest, CheckGoesOnWithoutFailure) {
  FakePlatform platform;
  FailureCheck(platform, 0, Step::kOpenSource);
  EXPECT_EQ(platform.standard_output, "");
}

}  // namespace
}  // namespace glyphcull
