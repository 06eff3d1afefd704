#include "command_line.h"

namespace glyphcull {
namespace {

bool IsSeparator(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= 0x01 && byte <= 0x20;
}

bool StartsWithQuotePair(std::string_view text, size_t pos) {
  return pos + 1 < text.size() && text[pos] == '"' && text[pos + 1] == '"';
}

/// Removes the enclosing double quotes of an argument of two or more bytes.
std::string Unquote(std::string_view argument) {
  if (argument.size() >= 2 && argument.front() == '"' &&
      argument.back() == '"') {
    argument = argument.substr(1, argument.size() - 2);
  }
  return std::string(argument);
}

}  // namespace

std::vector<std::string> SplitCommandLine(std::string_view line) {
  line = line.substr(0, line.find('\0'));
  std::vector<std::string> arguments;
  size_t pos = 0;
  bool is_program = true;
  for (;;) {
    for (;;) {
      while (pos < line.size() && IsSeparator(line[pos])) ++pos;
      if (!StartsWithQuotePair(line, pos)) break;
      pos += 2;
    }
    if (pos == line.size()) break;
    const size_t start = pos;
    while (pos < line.size() && !IsSeparator(line[pos])) {
      if (line[pos] == '"') {
        const size_t close = line.find('"', pos + 1);
        pos = close == std::string_view::npos ? line.size() : close + 1;
      } else {
        ++pos;
      }
    }
    if (!is_program)
      arguments.push_back(Unquote(line.substr(start, pos - start)));
    is_program = false;
  }
  return arguments;
}

std::string TidyArgument(std::string_view argument) {
  size_t pos = 0;
  while (StartsWithQuotePair(argument, pos)) pos += 2;
  return Unquote(argument.substr(pos));
}

std::vector<std::string> ArgumentsFromArgv(int argc, const char* const* argv) {
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) {
    std::string argument = TidyArgument(argv[i]);
    if (!argument.empty()) arguments.push_back(std::move(argument));
  }
  return arguments;
}

}  // namespace glyphcull
