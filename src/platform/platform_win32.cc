// The platform on Windows: the ANSI calls of the Windows API, whose failure
// codes come from GetLastError.

#include <windows.h>

#include <algorithm>
#include <memory>

#include "../command_line.h"
#include "console_win32.h"
#include "platform.h"
#include "win32_io.h"

namespace glyphcull {
namespace {

int LastError() { return static_cast<int>(GetLastError()); }

class Win32Platform : public Platform {
 public:
  std::vector<std::string> Arguments() override {
    return SplitCommandLine(GetCommandLineA());
  }

  uint8_t ConsoleAttribute() override { return console_.attribute(); }
  void SetConsoleAttribute(uint8_t attribute) override {
    console_.set_attribute(attribute);
  }
  void PrintLine(std::string_view text) override { console_.PrintLine(text); }

  bool IsFolder(const std::string& path) override {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  }
  void MakeFolder(const std::string& path) override {
    CreateDirectoryA(path.c_str(), nullptr);
  }

  // The source is shared for reading only, so that nothing, a font file of
  // this run included, can write to it while it is open.
  int OpenSource(const std::string& path) override {
    source_ = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return source_ == INVALID_HANDLE_VALUE ? LastError() : 0;
  }
  int ReadSource(char* buffer, size_t capacity, size_t* delivered) override {
    const DWORD wanted =
        static_cast<DWORD>(std::min<size_t>(capacity, 1u << 30));
    DWORD got = 0;
    *delivered = 0;
    if (!ReadFile(source_, buffer, wanted, &got, nullptr)) {
      // The writing end of a pipe has closed: the end of the data.
      return GetLastError() == ERROR_BROKEN_PIPE ? 0 : LastError();
    }
    *delivered = got;
    return 0;
  }
  int CloseSource() override { return Close(&source_); }

  int CheckFileName(std::string_view name) override {
    return name.find_first_of(std::string_view("/\\:\0", 4)) ==
                   std::string_view::npos
               ? 0
               : ERROR_INVALID_NAME;
  }
  char PathSeparator() override { return '\\'; }

  int CreateFontFile(const std::string& path) override {
    font_ = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    return font_ == INVALID_HANDLE_VALUE ? LastError() : 0;
  }
  int WriteFontFile(std::string_view bytes) override {
    return WriteAll(font_, bytes);
  }
  int CloseFontFile() override { return Close(&font_); }

  void WriteStandardOutput(std::string_view bytes) override {
    WriteAll(GetStdHandle(STD_OUTPUT_HANDLE), bytes);
  }
  [[noreturn]] void Exit(int status) override {
    console_.Restore();
    ExitProcess(static_cast<UINT>(status));
  }

 private:
  static int Close(HANDLE* handle) {
    const BOOL closed = CloseHandle(*handle);
    *handle = INVALID_HANDLE_VALUE;
    return closed ? 0 : LastError();
  }

  Win32Console console_;
  HANDLE source_ = INVALID_HANDLE_VALUE;
  HANDLE font_ = INVALID_HANDLE_VALUE;
};

}  // namespace

std::unique_ptr<Platform> MakeSystemPlatform(int, char**) {
  return std::make_unique<Win32Platform>();
}

}  // namespace glyphcull
