// How the console stream's bytes and colours reach a POSIX terminal.

#ifndef GLYPHCULL_PLATFORM_TERMINAL_TEXT_H_
#define GLYPHCULL_PLATFORM_TERMINAL_TEXT_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace glyphcull {

/// Appends `text` so that each byte is one visible cell: CR, LF, BEL and BS
/// pass as themselves, printable ASCII as itself, every other byte as its code
/// page 437 glyph in UTF-8 (or '?' when `utf8` is false). No byte of `text`
/// can reach the terminal as a control or an escape sequence.
void AppendVisibleCells(std::string_view text, bool utf8, std::string* out);

/// The SGR sequence for a console attribute: the foreground always, the
/// background only where it differs from `start_attribute`, whose background
/// stands for the terminal's own.
std::string ColourSequence(uint8_t attribute, uint8_t start_attribute);

/// Ends a coloured line: back to the terminal's own colours.
inline constexpr std::string_view kColourReset = "\x1b[0m";

}  // namespace glyphcull

#endif  // GLYPHCULL_PLATFORM_TERMINAL_TEXT_H_
