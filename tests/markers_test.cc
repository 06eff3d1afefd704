#include "markers.h"

#include <gtest/gtest.h>

#include <string>

namespace glyphcull {
namespace {

TEST(HoldsTest, AnyPositionByteForByte) {
  struct Case {
    std::string line;
    bool holds;
  };
  const Case cases[] = {
      {"%%BeginResource: font", true},
      {"x%%BeginResource: fontname and more", true},
      {"%%BeginResource: Font", false},
      {"%%BeginResource:font", false},
      {"%%BeginResource: fon", false},
      {"", false},
      {std::string("\0%%BeginResource: font", 22), true},
      {std::string(5000, ' ') + "%%BeginResource: font", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Holds(c.line, kBeginFontMarker), c.holds) << c.line;
  }
}

/// The marker search agrees with a plain find on every marker, at every
/// offset near a partial match and with hexadecimal font data around it.
TEST(FindMarkerTest, AgreesWithAPlainFind) {
  const std::string_view markers[] = {kBeginFontMarker, kEndResourceMarker,
                                      kDictBeginMarker, kClearToMarkMarker,
                                      kFontNameMarker,  kFontTypeMarker};
  const std::string fillers[] = {"", "c", "cl", "0a1f", " ", "%", "/Font"};
  for (std::string_view marker : markers) {
    for (const std::string& filler : fillers) {
      for (size_t cut = 0; cut <= marker.size(); ++cut) {
        const std::string texts[] = {
            filler + std::string(marker.substr(0, cut)),
            std::string(marker.substr(0, cut)) + filler + std::string(marker),
            filler + std::string(marker.substr(cut)) + filler,
            std::string(marker.substr(1)) + std::string(marker) + filler,
        };
        for (const std::string& text : texts) {
          EXPECT_EQ(FindMarker(text, marker), text.find(marker))
              << "[" << text << "] for " << marker;
        }
      }
    }
  }
}

/// Feeds `line` in two pieces, cut at every position, and checks that the
/// stream agrees with the line with its CR bytes dropped.
void ExpectStreamAgrees(const std::string& line) {
  std::string without_cr;
  for (char c : line) {
    if (c != '\r') without_cr.push_back(c);
  }
  const bool expected = Holds(without_cr, kBeginFontMarker);
  MarkerStream stream;
  for (size_t cut = 0; cut <= line.size(); ++cut) {
    for (size_t cut2 = cut; cut2 <= line.size(); ++cut2) {
      stream.Reset(kBeginFontMarker);
      stream.Feed(std::string_view(line).substr(0, cut));
      stream.Feed(std::string_view(line).substr(cut, cut2 - cut));
      stream.Feed(std::string_view(line).substr(cut2));
      ASSERT_EQ(stream.found(), expected)
          << "line [" << line << "] cut at " << cut << ", " << cut2;
    }
  }
}

TEST(MarkerStreamTest, FindsTheMarkerAcrossPiecesAndCrBytes) {
  ExpectStreamAgrees("ab%%BeginResource: font cd");
  ExpectStreamAgrees("%%BeginResource: font");
  ExpectStreamAgrees("%%Begin\rResource: fo\r\rnt");
  ExpectStreamAgrees("\r%%BeginResource: font\r");
  ExpectStreamAgrees("%%BeginResource: fon");
  ExpectStreamAgrees("%%BeginResource%%BeginResource: fon t");
  ExpectStreamAgrees("%%%%BeginResource: fon%%BeginResource: font");
}

TEST(MarkerStreamTest, ResetStartsANewLine) {
  MarkerStream stream;
  stream.Reset(kEndResourceMarker);
  stream.Feed("%%End");
  stream.Reset(kEndResourceMarker);
  stream.Feed("Resource");
  EXPECT_FALSE(stream.found());
}

}  // namespace
}  // namespace glyphcull
