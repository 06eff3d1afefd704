#include "console_posix.h"

#include <fcntl.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <string_view>

#include "posix_io.h"
#include "terminal_text.h"

namespace glyphcull {
namespace {

// The console break arrives as a signal, so what it needs to put the terminal
// back lives here, where its handler can reach it.
int g_tty_fd = -1;
termios g_saved_modes;
volatile sig_atomic_t g_modes_switched = 0;

void RestoreModes() {
  if (g_modes_switched) tcsetattr(g_tty_fd, TCSANOW, &g_saved_modes);
}

void OnConsoleBreak(int) {
  RestoreModes();
  _exit(0);
}

void InstallBreakHandler() {
  struct sigaction action = {};
  action.sa_handler = OnConsoleBreak;
  sigemptyset(&action.sa_mask);
  sigaction(SIGHUP, &action, nullptr);
  sigaction(SIGQUIT, &action, nullptr);
}

/// Switches the terminal's modes for the run, unless the tool runs in the
/// background, where the modes belong to the program in the foreground.
void SwitchModes(int fd) {
  if (tcgetpgrp(fd) != getpgrp()) return;
  if (tcgetattr(fd, &g_saved_modes) != 0) return;
  termios modes = g_saved_modes;
  modes.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO);
  modes.c_cc[VINTR] = _POSIX_VDISABLE;
  modes.c_oflag &= ~static_cast<tcflag_t>(OPOST);
  g_tty_fd = fd;
  g_modes_switched = 1;
  if (tcsetattr(fd, TCSANOW, &modes) != 0) g_modes_switched = 0;
}

/// True when the locale named by the environment encodes text in UTF-8.
bool LocaleIsUtf8() {
  for (const char* name : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value == '\0') continue;
    // "UTF-8", "utf8" and the like, in ASCII whatever the locale.
    std::string folded;
    for (const char* p = value; *p; ++p) {
      if (*p == '-') continue;
      folded.push_back(*p >= 'A' && *p <= 'Z' ? static_cast<char>(*p + 32)
                                              : *p);
    }
    return folded.find("utf8") != std::string::npos;
  }
  return false;
}

}  // namespace

PosixConsole::PosixConsole() {
  InstallBreakHandler();
  const int tty = open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (tty >= 0) {
    fd_ = tty;
    SwitchModes(tty);
  }
  is_terminal_ = isatty(fd_) == 1;
  utf8_ = LocaleIsUtf8();
}

void PosixConsole::PrintLine(std::string_view text) {
  line_.clear();
  if (!is_terminal_) {
    line_.append(text).append("\r\n");
    WriteAll(fd_, line_);  // the console stream reports no failure
    return;
  }
  if (coloured_) line_ += ColourSequence(attribute_, kStartAttribute);
  AppendVisibleCells(text, utf8_, &line_);
  if (coloured_) line_ += kColourReset;
  line_ += "\r\n";
  WriteAll(fd_, line_);
}

void PosixConsole::Restore() { RestoreModes(); }

}  // namespace glyphcull
