// Start and run: the frame of one run of the tool.

#ifndef GLYPHCULL_GLYPHCULL_H_
#define GLYPHCULL_GLYPHCULL_H_

#include <cstdint>
#include <string_view>

namespace glyphcull {

class Platform;

inline constexpr std::string_view kBanner =
    "PS font extracting utility v1.1 by Quilvane";
inline constexpr std::string_view kUsage =
    "Usage: glyphcull <srcps> [<destdir>]";
inline constexpr std::string_view kDefaultDestDir = "fonts";
inline constexpr uint8_t kBannerColour = 14;  // bright yellow
inline constexpr uint8_t kUsageColour = 7;    // light grey

/// The console attribute after `TextColor(value)`: the background colour bits
/// stay, the foreground and the background's intensity come from `value`.
inline uint8_t TextColorAttribute(uint8_t attribute, uint8_t value) {
  return static_cast<uint8_t>((attribute & 0x70) | (value & 0x8F));
}

/// The whole run: arguments, banner and usage or the destination folder, the
/// scan of the source, and the end of the process. Never returns.
[[noreturn]] void RunGlyphcull(Platform& platform);

}  // namespace glyphcull

#endif  // GLYPHCULL_GLYPHCULL_H_
