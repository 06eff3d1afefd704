#include "source_reader.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "platform/fake_platform.h"

namespace glyphcull {
namespace {

using Lines = std::vector<std::string>;

/// A reader open on `source`, which the platform delivers `read_size` bytes
/// at a time into blocks of `block_size`.
struct ReaderOn {
  ReaderOn(const std::string& source, size_t read_size, size_t block_size)
      : reader(platform, block_size) {
    platform.files["in.ps"] = source;
    platform.read_size = read_size;
    reader.Open("in.ps");
  }
  FakePlatform platform;
  SourceReader reader;
};

/// Every line of `source` through `ReadLine`.
Lines ReadAll(const std::string& source, size_t read_size,
              size_t block_size = 64) {
  ReaderOn on(source, read_size, block_size);
  Lines lines;
  std::string line;
  while (on.reader.ReadLine(&line)) lines.push_back(line);
  EXPECT_TRUE(line.empty());
  return lines;
}

const size_t kReadSizes[] = {1, 2, 3, 7, 64, 1 << 20};

TEST(SourceReaderTest, LineRules) {
  struct Case {
    std::string source;
    Lines lines;
  };
  const Case cases[] = {
      {"", {}},
      {"a\nb\n", {"a", "b"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb", {"a", "b"}},
      {"A\rB\n", {"AB"}},
      {"\r\r\n\n", {"", ""}},
      {"only CR\rends\rnothing\r", {"only CRendsnothing"}},
      {std::string("x\0y\n\x1A", 5) + "z\n", {std::string("x\0y", 3), "\x1Az"}},
      {"a\x1A"
       "b\n",
       {"a\x1A"
        "b"}},
      {std::string(300, 'q') + "\r\n", {std::string(300, 'q')}},
  };
  for (const Case& c : cases) {
    for (const size_t read_size : kReadSizes) {
      EXPECT_EQ(ReadAll(c.source, read_size), c.lines)
          << "source [" << c.source << "] read size " << read_size;
    }
  }
}

struct EndCase {
  std::string source;
  size_t lines_to_read;
  bool at_end;
};

TEST(SourceReaderTest, EndOfFileTest) {
  const EndCase cases[] = {
      {"", 0, true},
      {"a\n", 0, false},
      {"a\n", 1, true},  // a final LF gives no extra empty line
      {"a", 1, true},    // nor does a last line without LF
      {"\x1A"
       "a\n",
       0, true},
      {"a\n\x1A"
       "b\n",
       1, true},
      {"a\x1A\n", 0, false},
      {"\n", 0, false},
  };
  for (const EndCase& c : cases) {
    ReaderOn on(c.source, 1, 16);
    std::string line;
    for (size_t i = 0; i < c.lines_to_read; ++i) on.reader.ReadLine(&line);
    EXPECT_EQ(on.reader.AtEnd(), c.at_end) << "[" << c.source << "]";
    EXPECT_EQ(on.reader.AtEnd(), c.at_end) << "the test consumes nothing";
  }
}

/// What a scan outside font resources sees: after each line that holds the
/// marker, the line that follows it; the scan stops where the end-of-file test
/// comes true. Made the plain way, one line at a time.
Lines LinesAfterMarkersPlainly(const std::string& source) {
  ReaderOn on(source, 1 << 20, SourceReader::kBlockSize);
  Lines after;
  std::string line;
  while (!on.reader.AtEnd()) {
    on.reader.ReadLine(&line);
    if (Holds(line, kBeginFontMarker)) {
      on.reader.ReadLine(&line);
      after.push_back(line);
    }
  }
  return after;
}

Lines LinesAfterMarkersSkipping(const std::string& source, size_t read_size,
                                size_t block_size) {
  ReaderOn on(source, read_size, block_size);
  Lines after;
  std::string line;
  while (on.reader.SkipToLineHolding(kBeginFontMarker)) {
    on.reader.ReadLine(&line);
    after.push_back(line);
  }
  return after;
}

/// Random sources of the bytes that matter, cut at random block edges:
/// skipping whole blocks of lines must find what reading each line finds.
TEST(SourceReaderTest, SkippingLinesAgreesWithReadingThem) {
  std::mt19937 random(20261211);
  const std::string pieces[] = {"\n",
                                "\r",
                                "\r\n",
                                "\x1A",
                                "x",
                                "%%Begin",
                                "Resource: font",
                                "%%BeginResource: font",
                                "%%BeginRes\rource: font",
                                std::string(1, '\0'),
                                "\n\x1A",
                                "\r\r\n"};
  for (int round = 0; round < 3000; ++round) {
    std::string source;
    const int count = static_cast<int>(random() % 60);
    for (int i = 0; i < count; ++i) {
      source += pieces[random() % std::size(pieces)];
    }
    const size_t read_size = 1 + random() % 40;
    // Small blocks cut at every kind of place; large ones hold many fonts.
    const size_t block_size = 1 + random() % (round % 2 ? 50 : 2000);
    ASSERT_EQ(LinesAfterMarkersSkipping(source, read_size, block_size),
              LinesAfterMarkersPlainly(source))
        << "source [" << source << "] read " << read_size << " block "
        << block_size;
  }
}

/// CR LF lines in a large block, with one CR inside a line (which joins the
/// marker's halves when it is dropped) at every offset around the edges of
/// the 4096-byte chunks in which the block search looks for such CR bytes,
/// counted from the block's first CR.
TEST(SourceReaderTest, AnInnerCrIsFoundAnywhereInALargeBlock) {
  const std::string first_line = "0 0 moveto\r\n";  // its CR: offset 10
  for (size_t chunk_edge : {4096, 8192}) {
    for (size_t cr = 10 + chunk_edge - 40; cr < 10 + chunk_edge + 40; ++cr) {
      const size_t padding = cr - first_line.size() - 10;
      std::string source = first_line + std::string(padding, 'y') +
                           "%%BeginRes\rource: font\r\nafter\r\n";
      while (source.size() < 20000) source += "1 1 lineto\r\n";
      ASSERT_EQ(source.find("\rource"), cr);
      EXPECT_EQ(LinesAfterMarkersSkipping(source, 1 << 20, 1 << 16),
                (Lines{"after"}))
          << cr;
    }
  }
}

TEST(SourceReaderTest, FailedOperationsStopWithTheirStep) {
  struct Case {
    FakeOperation operation;
    int occurrence;
    const char* message;
  };
  const Case cases[] = {
      {FakeOperation::kOpenSource, 1, "Runtime error  13 at 00001201\r\n"},
      {FakeOperation::kReadSource, 1, "Runtime error  13 at 00001202\r\n"},
      {FakeOperation::kReadSource, 2, "Runtime error  13 at 00001203\r\n"},
      {FakeOperation::kCloseSource, 1, "Runtime error  13 at 00001204\r\n"},
  };
  for (const Case& c : cases) {
    FakePlatform platform;
    platform.files["in.ps"] = "line one\nline two\n";
    platform.read_size = 4;
    platform.FailAt(c.operation, c.occurrence, 13);
    SourceReader reader(platform, 4);
    try {
      reader.Open("in.ps");
      reader.AtEnd();  // read 1
      std::string line;
      reader.ReadLine(&line);  // read 2 onwards
      reader.Close();
      ADD_FAILURE() << "no failure stop";
    } catch (const FakeExit& exit) {
      EXPECT_EQ(exit.status, 13);
    }
    EXPECT_EQ(platform.standard_output, c.message);
  }
}

}  // namespace
}  // namespace glyphcull
