#include "command_line.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace glyphcull {
namespace {

using Arguments = std::vector<std::string>;

struct SplitCase {
  const char* after_program;
  Arguments arguments;
};

TEST(SplitCommandLineTest, FollowsTheArgumentRules) {
  const SplitCase cases[] = {
      {"", {}},
      {"  \t  ", {}},
      {"\"\"", {}},
      {"a.ps", {"a.ps"}},
      {"a.ps out extra", {"a.ps", "out", "extra"}},
      {"\"\" a.ps", {"a.ps"}},
      {"\"\"a.ps", {"a.ps"}},
      {"a.ps \"\"", {"a.ps"}},
      {"\"my file.ps\"", {"my file.ps"}},
      {"\"a b\"c", {"\"a b\"c"}},
      {"a\" b\"c", {"a\" b\"c"}},
      {"\"a\"b\"", {"a\"b"}},
      {"\"unclosed text with blanks", {"\"unclosed text with blanks"}},
      {"a\"\"b", {"a\"\"b"}},
      {"\"C:\\out dir\\\"", {"C:\\out dir\\"}},
      {"a.ps\tout", {"a.ps", "out"}},
      // Every byte from 0x01 to 0x20 separates; bytes from 0x80 do not.
      {"a.ps\x01\x1f"
       "b\xe9",
       {"a.ps", "b\xe9"}},
      {"a.ps \"\" \"\" out", {"a.ps", "out"}},
      {"\"", {"\""}},
  };
  for (const SplitCase& c : cases) {
    EXPECT_EQ(SplitCommandLine(std::string("glyphcull.exe ") + c.after_program),
              c.arguments)
        << "after the program: [" << c.after_program << "]";
  }
}

TEST(SplitCommandLineTest, SkipsTheProgramHoweverItIsWritten) {
  EXPECT_EQ(SplitCommandLine("\"C:\\Program Files\\g.exe\" a.ps"),
            Arguments{"a.ps"});
  EXPECT_EQ(SplitCommandLine("   g.exe a.ps"), Arguments{"a.ps"});
  EXPECT_EQ(SplitCommandLine("g.exe"), Arguments{});
}

TEST(SplitCommandLineTest, EndsAtAZeroByte) {
  EXPECT_EQ(SplitCommandLine(std::string("g a.ps\0out", 10)),
            Arguments{"a.ps"});
}

TEST(ArgumentsFromArgvTest, TidiesEachElementAlone) {
  const char* argv[] = {"glyphcull", "",     "\"\"", "\"\"a.ps", "my file",
                        "\"b c\"",   "a\"b", "\"",   "\"\"\"\"", "\"x\"y\""};
  EXPECT_EQ(ArgumentsFromArgv(10, argv),
            (Arguments{"a.ps", "my file", "b c", "a\"b", "\"", "x\"y"}));
}

}  // namespace
}  // namespace glyphcull
