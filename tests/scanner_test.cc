#include "scanner.h"

#include <gtest/gtest.h>

#include "fake_run.h"

namespace glyphcull {
namespace {

const std::string kBegin = "%%BeginResource: font\n";
const std::string kEnd = "%%EndResource\n";
const std::string kFontA = "dict begin\n/FontName /A def\ncleartomark\n";
const std::string kPfaA = Pfa("A", {"dict begin", "/FontName /A def"});

TEST(ScanTest, FollowsTheFontResources) {
  ExpectRuns({
      {"a source of zero bytes", "", {}, {}},
      {"no font resource", "%!PS\nshowpage\n", {}, {}},
      {"a font resource", kBegin + kFontA + kEnd, {{"A.pfa", kPfaA}}, {"A"}},
      {"the begin marker at the end of a long line",
       std::string(5000, 'x') + kBegin + kFontA + kEnd,
       {{"A.pfa", kPfaA}},
       {"A"}},
      {"the begin marker followed by more letters",
       "%%BeginResource: fontfoo\n" + kFontA + kEnd,
       {{"A.pfa", kPfaA}},
       {"A"}},
      {"other letter case, or no blank before font, begins nothing",
       "%%beginresource: font\n" + kFontA + "%%BeginResource:font\n" + kFontA,
       {},
       {}},
      {"a resource of another kind",
       "%%BeginResource: procset\n" + kFontA + kEnd,
       {},
       {}},
      {"an empty font resource", kBegin + kEnd + kFontA, {}, {}},
      {"a font resource without dict begin",
       kBegin + "/Foo 1 def\n" + kEnd + kBegin + kFontA + kEnd,
       {{"A.pfa", kPfaA}},
       {"A"}},
      {"a line with both %%EndResource and dict begin ends the resource",
       kBegin + "%%EndResource dict begin\n" + kFontA,
       {},
       {}},
      {"two font programs in one resource, in order",
       kBegin + kFontA + "dict begin\n/FontName /B def\ncleartomark\n" + kEnd,
       {{"A.pfa", kPfaA},
        {"B.pfa", Pfa("B", {"dict begin", "/FontName /B def"})}},
       {"A", "B"}},
      {"a second begin inside a resource is an ordinary line",
       kBegin + kBegin + kEnd + kFontA,
       {},
       {}},
      {"the line that ends a resource begins no other",
       kBegin + "%%EndResource %%BeginResource: font\n" + kFontA + kEnd,
       {},
       {}},
      {"a 0x1A at the start of a line outside a resource ends the scan",
       "%!PS\n\x1A"
       "garbage\n" +
           kBegin + kFontA + kEnd,
       {},
       {}},
      {"a 0x1A inside a line outside a resource does not",
       "%!PS \x1A\n" + kBegin + kFontA + kEnd,
       {{"A.pfa", kPfaA}},
       {"A"}},
      {"a 0x1A at the start of a line inside a resource is an ordinary byte",
       kBegin +
           "\x1A"
           "dict begin\n/FontName /A def\ncleartomark\n" +
           kEnd,
       {{"A.pfa", Pfa("A", {"\x1A"
                            "dict begin",
                            "/FontName /A def"})}},
       {"A"}},
      {"the data ends inside a font resource", kBegin + "/Foo", {}, {}},
      {"a last line without LF is a line",
       kBegin + "dict begin\n/FontName /A def\ncleartomark",
       {{"A.pfa", kPfaA}},
       {"A"}},
      {"a marker split by a CR still counts",
       "%%Begin\rResource: font\r\n" + kFontA + kEnd,
       {{"A.pfa", kPfaA}},
       {"A"}},
      {"binary garbage and NUL bytes",
       std::string("\0\xff\xfe\r\r\n\0%%\x80\n", 11) + kBegin +
           std::string("\0\0\n", 3) + kFontA + kEnd,
       {{"A.pfa", kPfaA}},
       {"A"}},
  });
}

TEST(ScanTest, LineEndsDoNotChangeTheOutput) {
  const std::string lf = "%!PS\n" + kBegin + kFontA + kEnd + "showpage\n";
  std::string crlf;
  for (const char c : lf) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  for (const size_t read_size : {1, 5, 128, 1 << 20}) {
    FakePlatform platform = WithSource(crlf);
    platform.read_size = read_size;
    EXPECT_EQ(RunTool(platform), 0);
    EXPECT_EQ(FontFiles(platform),
              (std::map<std::string, std::string>{{"A.pfa", kPfaA}}));
  }
}

}  // namespace
}  // namespace glyphcull
