// The one doorway from the tool's logic to the operating system.

#ifndef GLYPHCULL_PLATFORM_PLATFORM_H_
#define GLYPHCULL_PLATFORM_PLATFORM_H_

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace glyphcull {

/// Everything the tool takes from the operating system: arguments, the
/// console stream, folders, the source file, font files and the process.
///
/// Operations that can fail return a failure value: 0 for success, otherwise
/// the operating system's own error code (errno on POSIX, GetLastError on
/// Windows). The logic never sees a descriptor or a handle.
class Platform {
 public:
  virtual ~Platform() = default;

  /// The arguments after the program, by the argument rules. An argument is
  /// never empty; there is no argument after the first empty one.
  virtual std::vector<std::string> Arguments() = 0;

  /// The console stream's colour attribute (Windows console layout: bits 0-3
  /// foreground blue, green, red, intensity; bits 4-7 the background).
  virtual uint8_t ConsoleAttribute() = 0;
  virtual void SetConsoleAttribute(uint8_t attribute) = 0;
  /// Writes `text`, then CR LF, to the console in the current attribute; the
  /// line has reached the console when this returns. Never fails.
  virtual void PrintLine(std::string_view text) = 0;

  /// True only when `path` exists and is a folder.
  virtual bool IsFolder(const std::string& path) = 0;
  /// Makes exactly one folder, whose parent must exist. The outcome is not
  /// reported: the tool does not use it.
  virtual void MakeFolder(const std::string& path) = 0;

  /// Opens the existing file at `path` for reading only.
  virtual int OpenSource(const std::string& path) = 0;
  /// Reads up to `capacity` bytes of the source into `buffer`. `*delivered`
  /// is 0 at the end of the data.
  virtual int ReadSource(char* buffer, size_t capacity, size_t* delivered) = 0;
  virtual int CloseSource() = 0;

  /// 0 when the file system takes `name` as a file name, else the failure
  /// value for a name it refuses.
  virtual int CheckFileName(std::string_view name) = 0;
  /// The byte that joins a folder and a file name into a path.
  virtual char PathSeparator() = 0;
  /// Creates or replaces the font file at `path`, open for writing. A path
  /// that is the open source itself is refused, the source untouched.
  virtual int CreateFontFile(const std::string& path) = 0;
  /// Writes all of `bytes` to the open font file.
  virtual int WriteFontFile(std::string_view bytes) = 0;
  virtual int CloseFontFile() = 0;

  /// Writes `bytes` to the process's standard output (the failure message).
  virtual void WriteStandardOutput(std::string_view bytes) = 0;
  /// Puts the console back as it was and ends the process with `status`.
  [[noreturn]] virtual void Exit(int status) = 0;
};

/// The platform of the machine the tool was built for, set up for the run:
/// console modes switched, console-break handling installed.
std::unique_ptr<Platform> MakeSystemPlatform(int argc, char** argv);

}  // namespace glyphcull

#endif  // GLYPHCULL_PLATFORM_PLATFORM_H_
