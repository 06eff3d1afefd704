// The argument rules: how a command line becomes the tool's arguments.

#ifndef GLYPHCULL_COMMAND_LINE_H_
#define GLYPHCULL_COMMAND_LINE_H_

#include <string>
#include <string_view>
#include <vector>

namespace glyphcull {

/// Splits a whole command line (as Windows hands it over, the program first)
/// into the arguments after the program. Separators are the bytes 0x01 to
/// 0x20; a pair of double quotes before an argument is blank space; a double
/// quote opens a stretch that runs to the next one; an argument that begins
/// and ends with a double quote loses those two bytes. No escape byte. The
/// line ends at its end or at a 0x00 byte. No returned argument is empty.
std::vector<std::string> SplitCommandLine(std::string_view line);

/// Tidies one argument that the shell has already split off: leading pairs of
/// double quotes are skipped, and an argument of two or more bytes that then
/// begins and ends with a double quote loses those two bytes. Blanks inside
/// are kept. An empty result is blank space, not an argument.
std::string TidyArgument(std::string_view argument);

/// The arguments after the program from an argv array, each tidied, the ones
/// that come out empty dropped.
std::vector<std::string> ArgumentsFromArgv(int argc, const char* const* argv);

}  // namespace glyphcull

#endif  // GLYPHCULL_COMMAND_LINE_H_
