// glyphcull: copies the fonts embedded in a PostScript print file out into
// stand-alone PFA font files.

#include "glyphcull.h"
#include "platform/platform.h"

int main(int argc, char** argv) {
  glyphcull::RunGlyphcull(*glyphcull::MakeSystemPlatform(argc, argv));
}
