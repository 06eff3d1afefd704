#include "font_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace glyphcull {
namespace {

TEST(FontNameOfTest, FixedColumns) {
  struct Case {
    const char* line;
    const char* name;
  };
  const Case cases[] = {
      {"/FontName /SerifText def", "SerifText"},
      {"/FontName /ABCDEF+SerifText def", "SerifText"},
      {"/FontName/SerifText def", "erifText"},
      {"/FontName /SerifText def % x", "SerifText def"},
      {"/FontName /Serif+Text def", "ext"},
      {"/FontName", ""},
      {"/FontName /X def", "X"},         // L = 16: one byte
      {"/FontName /A de", ""},           // L = 15: none
      {"/FontName /ABCDEF+X def", "X"},  // L = 23 with "+"
      {"/FontName /ABCDE+X def", ""},    // L = 22 with "+"
      {"+/FontName", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FontNameOf(c.line), c.name) << c.line;
  }
}

TEST(IsType0Test, ByteElevenDecides) {
  EXPECT_TRUE(IsType0("/FontType 0 def"));
  EXPECT_FALSE(IsType0("/FontType 1 def"));
  EXPECT_FALSE(IsType0("/FontType 42 def"));
  EXPECT_FALSE(IsType0(" /FontType 0 def"));
  EXPECT_FALSE(IsType0("/FontType  0 def"));
  EXPECT_FALSE(IsType0("/FontType"));
  EXPECT_TRUE(IsType0("/FontType 0"));
}

TEST(MakeFontFileTextTest, WorkedExample) {
  std::string text =
      "11 dict begin\n/FontType 1 def\n/FontName /SerifText def\nend\n";
  MakeFontFileText("SerifText", &text);
  EXPECT_EQ(text + std::string(kFontFileLineEnd),
            "%!PS-AdobeFont-1.0: SerifText\n11 dict begin\n/FontType 1 def\n"
            "/FontName /SerifText def\nend\ncleartomark\r\n");
  EXPECT_EQ(text.size() + kFontFileLineEnd.size(), 102u);
}

TEST(FontFilePathTest, JoinsWithoutChangingAnything) {
  EXPECT_EQ(FontFilePath("fonts", '/', "Serif"), "fonts/Serif.pfa");
  EXPECT_EQ(FontFilePath("out/", '/', ""), "out//.pfa");
  EXPECT_EQ(FontFilePath("C:\\out dir\\", '\\', "A b"),
            "C:\\out dir\\\\A b.pfa");
}

}  // namespace
}  // namespace glyphcull
