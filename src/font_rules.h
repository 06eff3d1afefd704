// The font name and type rules and the bytes and path of a font file.

#ifndef GLYPHCULL_FONT_RULES_H_
#define GLYPHCULL_FONT_RULES_H_

#include <string>
#include <string_view>

namespace glyphcull {

/// The first line of every font file, before the font's name.
inline constexpr std::string_view kFontFileHeader = "%!PS-AdobeFont-1.0: ";
/// The line end after the closing "cleartomark" of every font file; every
/// other line of the file ends in LF alone.
inline constexpr std::string_view kFontFileLineEnd = "\r\n";

/// The font name of a line that holds "/FontName", cut from fixed positions:
/// bytes 12 to L - 4, or 19 to L - 4 when a "+" stands anywhere in the line.
/// Empty when the line is too short for them.
std::string_view FontNameOf(std::string_view line);

/// True when a line that holds "/FontType" names type 0: its byte 11 is "0".
bool IsType0(std::string_view line);

/// Turns the collected lines in `*text` into the font file's text without its
/// final line end: the header, `font_name`, LF, the lines, "cleartomark".
void MakeFontFileText(std::string_view font_name, std::string* text);

/// `dest_dir`, `separator`, `font_name` and ".pfa", joined as they are.
std::string FontFilePath(std::string_view dest_dir, char separator,
                         std::string_view font_name);

}  // namespace glyphcull

#endif  // GLYPHCULL_FONT_RULES_H_
