#include "console_win32.h"

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "console_screen.h"
#include "win32_io.h"

namespace glyphcull {
namespace {

// The console break arrives on a thread of the system's, so what it needs to
// put the console back lives here, where its handler can reach it.
HANDLE g_input = INVALID_HANDLE_VALUE;
HANDLE g_output = INVALID_HANDLE_VALUE;
DWORD g_saved_input_mode = 0;
DWORD g_saved_output_mode = 0;
volatile LONG g_input_switched = 0;
volatile LONG g_output_switched = 0;

void RestoreModes() {
  if (g_input_switched) SetConsoleMode(g_input, g_saved_input_mode);
  if (g_output_switched) SetConsoleMode(g_output, g_saved_output_mode);
}

BOOL WINAPI OnConsoleBreak(DWORD event) {
  if (event != CTRL_BREAK_EVENT && event != CTRL_CLOSE_EVENT) return FALSE;
  RestoreModes();
  ExitProcess(0);
}

HANDLE OpenConsoleDevice(const char* name) {
  return CreateFileA(name, GENERIC_READ | GENERIC_WRITE,
                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                     0, nullptr);
}

/// Switches the bits `off` out of the mode of `console`, keeping its mode as
/// it was in `saved`.
void SwitchOff(HANDLE console, DWORD off, DWORD* saved,
               volatile LONG* switched) {
  if (console == INVALID_HANDLE_VALUE || !GetConsoleMode(console, saved)) {
    return;
  }
  *switched = 1;
  if (!SetConsoleMode(console, *saved & ~off)) *switched = 0;
}

/// The console's screen buffer as the console stream draws into it.
class ConsoleScreenBuffer : public ScreenBuffer {
 public:
  ConsoleScreenBuffer(HANDLE output, int columns, int rows)
      : output_(output), columns_(columns), rows_(rows) {}

  void DrawCells(ScreenPosition at, std::string_view cells,
                 uint8_t attribute) override {
    cells_.resize(cells.size());
    for (size_t i = 0; i < cells.size(); ++i) {
      cells_[i].Char.AsciiChar = cells[i];
      cells_[i].Attributes = attribute;
    }
    const SHORT width = static_cast<SHORT>(cells.size());
    SMALL_RECT region = {
        static_cast<SHORT>(at.column), static_cast<SHORT>(at.row),
        static_cast<SHORT>(at.column + width - 1), static_cast<SHORT>(at.row)};
    WriteConsoleOutputA(output_, cells_.data(), COORD{width, 1}, COORD{0, 0},
                        &region);
  }
  void ScrollUp(uint8_t attribute) override {
    const SMALL_RECT rows_below_the_first = {
        0, 1, static_cast<SHORT>(columns_ - 1), static_cast<SHORT>(rows_ - 1)};
    CHAR_INFO blank;
    blank.Char.AsciiChar = ' ';
    blank.Attributes = attribute;
    ScrollConsoleScreenBufferA(output_, &rows_below_the_first, nullptr,
                               COORD{0, 0}, &blank);
  }
  void Beep() override { ::Beep(3000, 100); }
  void SetCursor(ScreenPosition at) override {
    SetConsoleCursorPosition(output_, COORD{static_cast<SHORT>(at.column),
                                            static_cast<SHORT>(at.row)});
  }

 private:
  HANDLE output_;
  int columns_;
  int rows_;
  std::vector<CHAR_INFO> cells_;
};

}  // namespace

Win32Console::Win32Console() {
  output_ = OpenConsoleDevice("CONOUT$");
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (output_ != INVALID_HANDLE_VALUE &&
      GetConsoleScreenBufferInfo(output_, &info)) {
    attribute_ = static_cast<uint8_t>(info.wAttributes);
  } else if (output_ != INVALID_HANDLE_VALUE) {
    CloseHandle(output_);
    output_ = INVALID_HANDLE_VALUE;
  }
  SetConsoleCtrlHandler(OnConsoleBreak, TRUE);
  if (output_ == INVALID_HANDLE_VALUE) return;  // no console: standard error
  g_output = output_;
  g_input = OpenConsoleDevice("CONIN$");
  SwitchOff(g_input,
            ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT | ENABLE_PROCESSED_INPUT,
            &g_saved_input_mode, &g_input_switched);
  SwitchOff(g_output, ENABLE_PROCESSED_OUTPUT | ENABLE_WRAP_AT_EOL_OUTPUT,
            &g_saved_output_mode, &g_output_switched);
}

void Win32Console::PrintLine(std::string_view text) {
  line_.assign(text).append("\r\n");
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (output_ == INVALID_HANDLE_VALUE ||
      !GetConsoleScreenBufferInfo(output_, &info)) {
    WriteAll(GetStdHandle(STD_ERROR_HANDLE), line_);
    return;
  }
  ConsoleScreenBuffer screen(output_, info.dwSize.X, info.dwSize.Y);
  WriteToScreen(screen, info.dwSize.X, info.dwSize.Y,
                {info.dwCursorPosition.Y, info.dwCursorPosition.X}, line_,
                attribute_);
}

void Win32Console::Restore() { RestoreModes(); }

}  // namespace glyphcull
