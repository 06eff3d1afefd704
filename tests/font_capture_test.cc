#include "font_capture.h"

#include <gtest/gtest.h>

#include "fake_run.h"

namespace glyphcull {
namespace {

const std::string kBegin = "%%BeginResource: font\n";
const std::string kEnd = "%%EndResource\n";

TEST(FontCaptureTest, WorkedExampleByteForByte) {
  FakePlatform platform =
      WithSource("%!PS\n" + kBegin +
                 "%!FontType1-1.0: SerifText\n11 dict begin\n/FontType 1 def\n"
                 "/FontName /SerifText def\nend\ncleartomark\n" +
                 kEnd);
  EXPECT_EQ(RunTool(platform), 0);
  const std::string file = platform.files["out/SerifText.pfa"];
  EXPECT_EQ(file,
            "%!PS-AdobeFont-1.0: SerifText\n11 dict begin\n/FontType 1 def\n"
            "/FontName /SerifText def\nend\ncleartomark\r\n");
  EXPECT_EQ(file.size(), 102u);
  EXPECT_EQ(platform.ConsoleTexts(), std::vector<std::string>{"SerifText"});
}

TEST(FontCaptureTest, NamesTypesAndEnds) {
  ExpectRuns({
      {"cleartomark anywhere ends the font; the rest of its line is lost",
       kBegin + "dict begin\n/FontName /A def\n0000 cleartomark {restore}\n" +
           kEnd,
       {{"A.pfa", Pfa("A", {"dict begin", "/FontName /A def"})}},
       {"A"}},
      {"CR LF in the source: LF alone in the file",
       "%%BeginResource: font\r\ndict begin\r\n/FontName /A def\r\n"
       "x\ry\r\ncleartomark\r\n%%EndResource\r\n",
       {{"A.pfa", Pfa("A", {"dict begin", "/FontName /A def", "xy"})}},
       {"A"}},
      {"the dict begin line holds cleartomark: header and end alone",
       kBegin + "dict begin cleartomark\n" + kEnd,
       {{".pfa", "%!PS-AdobeFont-1.0: \ncleartomark\r\n"}},
       {}},
      {"a font without a name line: the name so far, or none",
       kBegin + "dict begin\n/FontType 1 def\ncleartomark\n" + kEnd,
       {{".pfa", Pfa("", {"dict begin", "/FontType 1 def"})}},
       {}},
      {"the same name twice: both printed, the later file stays",
       kBegin + "dict begin\n/FontName /ABCDEF+Serif def\n1\ncleartomark\n" +
           "dict begin\n/FontName /GHIJKL+Serif def\n2\ncleartomark\n" + kEnd,
       {{"Serif.pfa",
         Pfa("Serif", {"dict begin", "/FontName /GHIJKL+Serif def", "2"})}},
       {"Serif", "Serif"}},
      {"a later font without a name takes the last name, also a type 0 one's",
       kBegin + "dict begin\n/FontName /Zero def\n/FontType 0 def\n" + kEnd +
           kBegin + "dict begin\nno name\ncleartomark\n" + kEnd,
       {{"Zero.pfa", Pfa("Zero", {"dict begin", "no name"})}},
       {"Zero"}},
      {"several name lines: each printed, the last names the file",
       kBegin +
           "dict begin\n/FontName /One def\n/FontName /Two def\n"
           "cleartomark\n" +
           kEnd,
       {{"Two.pfa", Pfa("Two", {"dict begin", "/FontName /One def",
                                "/FontName /Two def"})}},
       {"One", "Two"}},
      {"a name line too short gives an empty name, printed",
       kBegin + "dict begin\n/FontName\ncleartomark\n" + kEnd,
       {{".pfa", Pfa("", {"dict begin", "/FontName"})}},
       {""}},
      {"a + outside the name still moves the columns",
       kBegin + "dict begin\n/FontName /Serif def %+x\ncleartomark\n" + kEnd,
       {{"ef.pfa", Pfa("ef", {"dict begin", "/FontName /Serif def %+x"})}},
       {"ef"}},
      {"type 0 after its name: printed, not written",
       kBegin +
           "dict begin\n/FontName /Comp def\n/FontType 0 def\n"
           "cleartomark\n" +
           kEnd,
       {},
       {"Comp"}},
      {"type 0 before its name: nothing printed",
       kBegin +
           "dict begin\n/FontType 0 def\n/FontName /Comp def\n"
           "cleartomark\n" +
           kEnd,
       {},
       {}},
      {"name and type 0 on one line: printed first, then dropped",
       kBegin + "dict begin\n/FontType 0 /FontName /C def\ncleartomark\n" +
           kEnd,
       {},
       {" /FontName /C"}},
      {"after a type 0 stop a later dict begin in the font starts a capture",
       kBegin +
           "dict begin\n/FontType 0 def\n/FDepVector [\ndict begin\n"
           "/FontName /Inner def\ncleartomark\n" +
           kEnd,
       {{"Inner.pfa", Pfa("Inner", {"dict begin", "/FontName /Inner def"})}},
       {"Inner"}},
      {"type 0 indented or with two blanks is not type 0",
       kBegin +
           "dict begin\n /FontType 0 def\n/FontType  0 def\n"
           "/FontName /Kept def\ncleartomark\n" +
           kEnd,
       {{"Kept.pfa", Pfa("Kept", {"dict begin", " /FontType 0 def",
                                  "/FontType  0 def", "/FontName /Kept def"})}},
       {"Kept"}},
      {"cleartomark and %%EndResource on one line: written, resource goes on",
       kBegin +
           "dict begin\n/FontName /A def\ncleartomark %%EndResource\n"
           "dict begin\n/FontName /B def\ncleartomark\n" +
           kEnd,
       {{"A.pfa", Pfa("A", {"dict begin", "/FontName /A def"})},
        {"B.pfa", Pfa("B", {"dict begin", "/FontName /B def"})}},
       {"A", "B"}},
      {"cleartomark and dict begin on one line: the dict begin starts nothing",
       kBegin +
           "dict begin\n/FontName /A def\ncleartomark dict begin\n"
           "/FontName /Stray def\n" +
           kEnd,
       {{"A.pfa", Pfa("A", {"dict begin", "/FontName /A def"})}},
       {"A"}},
  });
}

// A font program that reaches the end of its font resource without
// "cleartomark" (a Type 42 font, say) ends there and is not written; the next
// resource's font is its own file.
TEST(FontCaptureTest, AFontProgramEndsWithItsResource) {
  ExpectRuns({
      {"type 42 then type 1",
       kBegin +
           "10 dict begin\n/FontType 42 def\n/FontName /Tt def\n"
           "/sfnts [<00>] def\nFontName currentdict end definefont pop\n" +
           kEnd + "%%Page: 1 1\n" + kBegin +
           "dict begin\n/FontName /T1 def\ncleartomark\n" + kEnd,
       {{"T1.pfa", Pfa("T1", {"dict begin", "/FontName /T1 def"})}},
       {"Tt", "T1"}},
      {"the %%EndResource line ends the resource: a dict begin after it is "
       "outside",
       kBegin + "dict begin\n/FontName /Open def\n%%EndResource\n"
                "dict begin\n/FontName /Out def\ncleartomark\n",
       {},
       {"Open"}},
      {"the data ends inside a font program: nothing written",
       kBegin + "dict begin\n/FontName /Cut def\n/FontType 1 def\nend",
       {},
       {"Cut"}},
  });
}

TEST(FontCaptureTest, HostileNamesAreRefused) {
  struct Case {
    std::string name_line;
  };
  const Case cases[] = {
      {"/FontName /../../etc/x def"},
      {"/FontName /a/b def"},
      {std::string("/FontName /a\0b def", 18)},
  };
  for (const Case& c : cases) {
    FakePlatform platform =
        WithSource(kBegin + "dict begin\n/FontName /Good def\ncleartomark\n" +
                   "dict begin\n" + c.name_line + "\ncleartomark\n" + kEnd);
    EXPECT_EQ(RunTool(platform), FakePlatform::kBadName);
    EXPECT_EQ(platform.standard_output, "Runtime error  22 at 00001301\r\n");
    const auto files = FontFiles(platform);
    ASSERT_EQ(files.size(), 1u) << "only the good font";
    EXPECT_EQ(files.begin()->first, "Good.pfa");
  }
}

TEST(FontCaptureTest, FailedFileStepsStopWithTheirCode) {
  const std::string source =
      kBegin + "dict begin\n/FontName /First def\ncleartomark\n" +
      "dict begin\n/FontName /Second def\n" + std::string(200, 'x') +
      "\ncleartomark\ndict begin\n/FontName /Third def\ncleartomark\n" + kEnd;
  struct Case {
    const char* what;
    FakeOperation operation;
    const char* message;
  };
  const Case cases[] = {
      {"create", FakeOperation::kCreateFontFile,
       "Runtime error   5 at 00001301\r\n"},
      {"write", FakeOperation::kWriteFontFile,
       "Runtime error   5 at 00001302\r\n"},
      {"close", FakeOperation::kCloseFontFile,
       "Runtime error   5 at 00001303\r\n"},
  };
  for (const Case& c : cases) {
    FakePlatform platform = WithSource(source);
    // The second font's step fails: the first stays, no third is made.
    platform.FailAt(c.operation, 2, 5);
    EXPECT_EQ(RunTool(platform), 5) << c.what;
    EXPECT_EQ(platform.standard_output, c.message) << c.what;
    const auto files = FontFiles(platform);
    EXPECT_EQ(files.at("First.pfa"),
              Pfa("First", {"dict begin", "/FontName /First def"}));
    EXPECT_EQ(files.count("Third.pfa"), 0u) << c.what;
    EXPECT_EQ(platform.ConsoleTexts(),
              (std::vector<std::string>{"First", "Second"}));
  }
}

TEST(FontCaptureTest, AFullDiskKeepsWhatReachedTheFile) {
  FakePlatform platform =
      WithSource(kBegin + "dict begin\n/FontName /Big def\n" +
                 std::string(500, 'x') + "\ncleartomark\n" + kEnd);
  platform.disk_space = 100;
  EXPECT_EQ(RunTool(platform), FakePlatform::kDiskFull);
  EXPECT_EQ(platform.standard_output, "Runtime error  28 at 00001302\r\n");
  EXPECT_EQ(
      platform.files["out/Big.pfa"],
      Pfa("Big", {"dict begin", "/FontName /Big def", std::string(500, 'x')})
          .substr(0, 100));
}

TEST(FontCaptureTest, OutputOntoTheSourceIsRefused) {
  const std::string source =
      kBegin + "dict begin\n/FontName /in def\ncleartomark\n" + kEnd;
  FakePlatform platform = WithSource(source);
  platform.files.erase("in.ps");
  platform.files["out/in.pfa"] = source;
  platform.arguments = {"out/in.pfa", "out"};
  EXPECT_EQ(RunTool(platform), FakePlatform::kSharing);
  EXPECT_EQ(platform.standard_output, "Runtime error  16 at 00001301\r\n");
  EXPECT_EQ(platform.files["out/in.pfa"], source);
}

}  // namespace
}  // namespace glyphcull
