#include "glyphcull.h"

#include <gtest/gtest.h>

#include <random>

#include "failure.h"
#include "fake_run.h"
#include "line_model.h"

namespace glyphcull {
namespace {

using ConsoleLine = FakePlatform::ConsoleLine;
const std::string kFont =
    "%%BeginResource: font\ndict begin\n/FontName /A def\ncleartomark\n"
    "%%EndResource\n";

TEST(StartTest, NoArgumentsGivesBannerAndUsageInColour) {
  struct Case {
    std::vector<std::string> arguments;
    uint8_t start_attribute;
    uint8_t banner_attribute;
    uint8_t usage_attribute;
  };
  const Case cases[] = {
      {{}, 0x07, 0x0E, 0x07},
      // The background colour stays; its intensity comes from the colour.
      {{}, 0x1F, 0x1E, 0x17},
      {{}, 0xF7, 0x7E, 0x77},
  };
  for (const Case& c : cases) {
    FakePlatform platform;
    platform.arguments = c.arguments;
    platform.console_attribute = c.start_attribute;
    EXPECT_EQ(RunTool(platform), 0);
    EXPECT_EQ(
        platform.console,
        (std::vector<ConsoleLine>{
            {c.banner_attribute, "PS font extracting utility v1.1 by Quilvane"},
            {c.usage_attribute, "Usage: glyphcull <srcps> [<destdir>]"},
        }));
    EXPECT_TRUE(platform.made_folders.empty());
    EXPECT_FALSE(platform.source_open);
    EXPECT_EQ(platform.standard_output, "");
  }
}

TEST(StartTest, TextColorKeepsTheBackgroundBits) {
  EXPECT_EQ(TextColorAttribute(0x00, 0xFF), 0x8F);
  EXPECT_EQ(TextColorAttribute(0xFF, 0x00), 0x70);
  EXPECT_EQ(TextColorAttribute(0x47, 0x8E), 0xCE);
}

TEST(StartTest, TheDestinationFolder) {
  struct Case {
    const char* what;
    std::vector<std::string> arguments;
    std::vector<std::string> folders;  // besides "."
    std::vector<std::string> made;
    const char* font_path;
  };
  const Case cases[] = {
      {"default, made when missing", {"in.ps"}, {}, {"fonts"}, "fonts/A.pfa"},
      {"default, used when there", {"in.ps"}, {"fonts"}, {}, "fonts/A.pfa"},
      {"argument 2, made when missing", {"in.ps", "d"}, {}, {"d"}, "d/A.pfa"},
      {"arguments after the second are ignored",
       {"in.ps", "d", "extra"},
       {"d"},
       {},
       "d/A.pfa"},
      {"a nested folder whose parent is there",
       {"in.ps", "p/q"},
       {"p"},
       {"p/q"},
       "p/q/A.pfa"},
  };
  for (const Case& c : cases) {
    FakePlatform platform;
    platform.files["in.ps"] = kFont;
    platform.arguments = c.arguments;
    for (const std::string& folder : c.folders) platform.folders.insert(folder);
    EXPECT_EQ(RunTool(platform), 0) << c.what;
    EXPECT_EQ(platform.made_folders, c.made) << c.what;
    EXPECT_EQ(platform.files.count(c.font_path), 1u) << c.what;
    EXPECT_FALSE(platform.source_open) << c.what;
  }
}

TEST(StartTest, AFolderThatCannotBeMadeFailsAtTheFirstFont) {
  struct Case {
    const char* what;
    std::string source;
    int status;
    const char* message;
  };
  const Case cases[] = {
      {"with a font", kFont, 2, "Runtime error   2 at 00001301\r\n"},
      {"without a font", "%!PS\n", 0, ""},
  };
  for (const Case& c : cases) {
    // The parent of "p/q" is missing, and "f" is a file.
    for (const char* dest : {"p/q", "f"}) {
      FakePlatform platform;
      platform.files["in.ps"] = c.source;
      platform.files["f"] = "a file";
      platform.arguments = {"in.ps", dest};
      EXPECT_EQ(RunTool(platform), c.status) << c.what << " " << dest;
      EXPECT_EQ(platform.standard_output, c.message) << c.what << " " << dest;
      EXPECT_TRUE(platform.made_folders.empty());
      EXPECT_EQ(platform.files["f"], "a file");
    }
  }
}

TEST(StartTest, AMissingSourceStopsAfterTheFolderIsMade) {
  FakePlatform platform;
  platform.arguments = {"missing.ps"};
  EXPECT_EQ(RunTool(platform), 2);
  EXPECT_EQ(platform.standard_output, "Runtime error   2 at 00001201\r\n");
  EXPECT_EQ(platform.made_folders, std::vector<std::string>{"fonts"});
  EXPECT_TRUE(platform.console.empty());
}

TEST(StartTest, AFolderAsSourceFailsAtTheFirstRead) {
  FakePlatform platform;
  platform.folders.insert("dir");
  platform.arguments = {"dir"};
  EXPECT_EQ(RunTool(platform), FakePlatform::kIsFolder);
  EXPECT_EQ(platform.standard_output, "Runtime error  21 at 00001202\r\n");
}

TEST(StartTest, FontNamesShowInTheConsolesOwnColours) {
  FakePlatform platform = WithSource(kFont);
  platform.console_attribute = 0x1F;
  EXPECT_EQ(RunTool(platform), 0);
  EXPECT_EQ(platform.console, (std::vector<ConsoleLine>{{0x1F, "A"}}));
}

TEST(StartTest, RunningOutOfMemoryStopsWith203) {
  FakePlatform platform = WithSource(kFont + kFont);
  platform.read_size = 16;
  platform.RunOutOfMemoryAtRead(3);
  EXPECT_EQ(RunTool(platform), 203);
  EXPECT_EQ(platform.standard_output, "Runtime error 203 at 000010CB\r\n");
}

}  // namespace
}  // namespace glyphcull

namespace glyphcull {
namespace {

/// Every operation of a run fails in turn, one at a time: the run stops there
/// with that operation's code and step, the fonts written before stay whole,
/// nothing comes after, and the source is untouched.
TEST(FaultInjectionTest, EachOperationFailingInTurn) {
  const std::string source =
      "%!PS\r\n" + std::string("%%BeginResource: font\r\ndict begin\r\n") +
      "/FontName /A def\r\n" + std::string(300, 'a') + "\r\ncleartomark\r\n" +
      "dict begin\r\n/FontName /Zero def\r\n/FontType 0 def\r\n" +
      "%%EndResource\r\npage\r\n%%BeginResource: font\r\ndict begin\r\n" +
      "/FontName /ABCDEF+B def\r\ncleartomark\r\n%%EndResource\r\n" +
      "%%BeginResource: font\r\ndict begin\r\n/FontName /C def\r\n" +
      std::string(100, 'c') + "\r\ncleartomark\r\n%%EndResource\r\n";
  auto start = [&] {
    FakePlatform platform = WithSource(source);
    platform.read_size = 16;  // many reads, in the scan and in the captures
    return platform;
  };
  FakePlatform clean = start();
  ASSERT_EQ(RunTool(clean), 0);
  const std::map<std::string, std::string> fonts = FontFiles(clean);
  ASSERT_EQ(fonts.size(), 3u);
  // Reads happen in the scan and inside every capture.
  ASSERT_GT(clean.Calls(FakeOperation::kReadSource), 20);
  const std::vector<std::string> order = {"A.pfa", "B.pfa", "C.pfa"};

  struct Operation {
    FakeOperation operation;
    std::vector<Step> steps;  // where a failure of it may stop the run
  };
  const Operation operations[] = {
      {FakeOperation::kOpenSource, {Step::kOpenSource}},
      {FakeOperation::kReadSource, {Step::kEndOfFileTest, Step::kReadLine}},
      {FakeOperation::kCreateFontFile, {Step::kCreateFontFile}},
      {FakeOperation::kWriteFontFile, {Step::kWriteFontFile}},
      {FakeOperation::kCloseFontFile, {Step::kCloseFontFile}},
      {FakeOperation::kCloseSource, {Step::kCloseSource}},
  };
  for (const Operation& o : operations) {
    for (int call = 1; call <= clean.Calls(o.operation); ++call) {
      SCOPED_TRACE(testing::Message()
                   << "operation " << static_cast<int>(o.operation) << ", call "
                   << call);
      const int code = 100 + call;  // a code of the operation's own
      FakePlatform platform = start();
      platform.FailAt(o.operation, call, code);
      EXPECT_EQ(RunTool(platform), code);
      bool known_step = false;
      for (Step step : o.steps) {
        known_step |=
            platform.standard_output == FailureMessage(code, step) + "\r\n";
      }
      EXPECT_TRUE(known_step) << platform.standard_output;
      EXPECT_EQ(platform.files.at("in.ps"), source);
      // The files are the first ones of the clean run, in order; each one
      // whole, but for one cut short by a failed write.
      const std::map<std::string, std::string> left = FontFiles(platform);
      for (size_t i = 0; i < order.size(); ++i) {
        if (left.count(order[i]) == 0) {
          for (size_t later = i; later < order.size(); ++later) {
            EXPECT_EQ(left.count(order[later]), 0u) << order[later];
          }
          break;
        }
        const std::string& bytes = left.at(order[i]);
        if (o.operation == FakeOperation::kWriteFontFile &&
            static_cast<int>(i) + 1 == call) {
          EXPECT_EQ(bytes, fonts.at(order[i]).substr(0, bytes.size()));
        } else {
          EXPECT_EQ(bytes, fonts.at(order[i]));
        }
      }
    }
  }
  // Memory running out at any read, while the scan runs or a font grows.
  for (int call = 1; call <= clean.Calls(FakeOperation::kReadSource); ++call) {
    FakePlatform platform = start();
    platform.RunOutOfMemoryAtRead(call);
    EXPECT_EQ(RunTool(platform), 203) << call;
    EXPECT_EQ(platform.standard_output, "Runtime error 203 at 000010CB\r\n");
    for (const auto& [name, bytes] : FontFiles(platform)) {
      EXPECT_EQ(bytes, fonts.at(name)) << name;
    }
  }
}

/// Random sources made of the pieces that matter to the scan and the
/// capture, read in pieces of random size: each run writes the files, prints
/// the names and ends with the status that the line-by-line model gives.
/// Long lines of hexadecimal digits, with LF, CR LF or CR CR LF ends and a CR,
/// VT, FF or another byte inside now and then, stand where a font program is
/// copied in bulk.
TEST(ModelTest, RunsAgreeWithTheLineByLineModel) {
  std::mt19937 random(20261211);
  const std::string hex = "0123456789abcdefABCDEF";
  auto hex_line = [&] {
    std::string line;
    const size_t length = random() % 200;
    for (size_t i = 0; i < length; ++i) line += hex[random() % hex.size()];
    return line;
  };
  const std::string pieces[] = {"\n",
                                "\r\n",
                                "\r\r\n",
                                "\r",
                                "\x1A",
                                "x",
                                "%%BeginResource: font\n",
                                "%%BeginRes\rource: font\n",
                                "dict begin\n",
                                "/FontName /F",
                                "/FontName /A+B def\n",
                                "/FontType 0 def\n",
                                "/FontType 1 def\n",
                                "cleartomark",
                                "clearto\rmark\n",
                                "%%EndResource\n",
                                "l",
                                "/",
                                "%",
                                "\v\f",
                                std::string(1, '\0')};
  for (int round = 0; round < 4000; ++round) {
    std::string source;
    const int count = static_cast<int>(random() % 40);
    for (int i = 0; i < count; ++i) {
      if (random() % 3 == 0) {
        source += hex_line();
      } else {
        source += pieces[random() % std::size(pieces)];
      }
    }
    FakePlatform platform = WithSource(source);
    platform.read_size = round % 4 == 0 ? 1 << 20 : 1 + random() % 70;
    const int status = RunTool(platform);
    const line_model::Model model = line_model::Expected(source);
    std::map<std::string, std::string> expected_files;
    for (const auto& [path, bytes] : model.files) {
      expected_files[path.substr(4)] = bytes;
    }
    ASSERT_EQ(status, model.status) << "[" << source << "]";
    ASSERT_EQ(FontFiles(platform), expected_files) << "[" << source << "]";
    ASSERT_EQ(platform.ConsoleTexts(), model.console) << "[" << source << "]";
  }
}

}  // namespace
}  // namespace glyphcull
