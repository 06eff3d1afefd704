#include "terminal_text.h"

#include <cstdint>

namespace glyphcull {
namespace {

/// Code page 437's glyphs for the control bytes 0x00 to 0x1F (0x00 as a
/// blank cell).
// clang-format off
constexpr uint16_t kLowGlyphs[32] = {
    0x0020, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022,
    0x25D8, 0x25CB, 0x25D9, 0x2642, 0x2640, 0x266A, 0x266B, 0x263C,
    0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7, 0x25AC, 0x21A8,
    0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC,
};
// clang-format on

/// Code page 437's glyphs for the bytes 0x80 to 0xFF.
// clang-format off
constexpr uint16_t kHighGlyphs[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};
// clang-format on

constexpr uint16_t kDeleteGlyph = 0x2302;

void AppendUtf8(uint16_t code_point, std::string* out) {
  if (code_point < 0x80) {
    out->push_back(static_cast<char>(code_point));
  } else if (code_point < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (code_point >> 6)));
    out->push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xE0 | (code_point >> 12)));
    out->push_back(static_cast<char>(0x80 | ((code_point >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (code_point & 0x3F)));
  }
}

/// The ANSI colour number (red 1, green 2, blue 4) of a Windows colour
/// (blue 1, green 2, red 4).
int AnsiColour(unsigned windows_colour) {
  return ((windows_colour & 4) ? 1 : 0) | (windows_colour & 2) |
         ((windows_colour & 1) ? 4 : 0);
}

}  // namespace

void AppendVisibleCells(std::string_view text, bool utf8, std::string* out) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte == '\r' || byte == '\n' || byte == '\a' || byte == '\b' ||
        (byte >= 0x20 && byte < 0x7F)) {
      out->push_back(c);
    } else if (!utf8) {
      out->push_back('?');
    } else if (byte < 0x20) {
      AppendUtf8(kLowGlyphs[byte], out);
    } else if (byte == 0x7F) {
      AppendUtf8(kDeleteGlyph, out);
    } else {
      AppendUtf8(kHighGlyphs[byte - 0x80], out);
    }
  }
}

std::string ColourSequence(uint8_t attribute, uint8_t start_attribute) {
  const unsigned foreground = attribute & 0x0Fu;
  std::string sequence = "\x1b[";
  sequence +=
      std::to_string(((foreground & 8) ? 90 : 30) + AnsiColour(foreground & 7));
  if ((attribute & 0xF0) != (start_attribute & 0xF0)) {
    const unsigned background = attribute >> 4;
    sequence += ';';
    sequence += std::to_string(((background & 8) ? 100 : 40) +
                               AnsiColour(background & 7));
  }
  sequence += 'm';
  return sequence;
}

}  // namespace glyphcull
