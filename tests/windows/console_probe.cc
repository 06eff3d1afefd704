// A helper for the Windows end-to-end tests. Started under Wine in a terminal,
// it shares its console with the glyphcull.exe that it runs, and reports what
// a user would see of that run, as lines of "key value" in a report file:
//
//   console_probe run REPORT TOOL [ARG...]
//     runs TOOL with its ARGs, joined by blanks; an ARG written "hex:" and
//     hex digits puts those bytes on the command line as they are, so that
//     TOOL sees quotes exactly as written.
//   console_probe attribute HEX MODE REPORT ...
//     first sets the console's attribute to HEX, then goes on as MODE.
//   console_probe pipe REPORT DATA TOOL [ARG...]
//     runs TOOL with a named pipe as its source, then ARGs; once TOOL has
//     opened the pipe, reports the console modes ("during_..."), writes the
//     bytes of the file DATA into the pipe and closes the pipe.
//   console_probe break|close REPORT TOOL [ARG...]
//     runs TOOL on a named pipe as for "pipe", but instead of data it
//     delivers Ctrl+Break, or the closing of the console, to TOOL, as the
//     system does: a new thread in TOOL at the console's control routine.
//
// First the console modes before TOOL runs ("before_..."). TOOL's standard
// output goes to the file REPORT.stdout. After TOOL has ended: its exit status,
// the console's cursor, buffer size, attribute and modes, and every row of the
// buffer, its bytes and its attributes in hex.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

HANDLE OpenConsole(const char* name) {
  return CreateFileA(name, GENERIC_READ | GENERIC_WRITE,
                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                     0, nullptr);
}

void ReportModes(FILE* report, const char* when) {
  DWORD input = 0, output = 0;
  HANDLE input_handle = OpenConsole("CONIN$");
  HANDLE output_handle = OpenConsole("CONOUT$");
  GetConsoleMode(input_handle, &input);
  GetConsoleMode(output_handle, &output);
  CloseHandle(input_handle);
  CloseHandle(output_handle);
  std::fprintf(report, "%s_input_mode %lx\n%s_output_mode %lx\n", when, input,
               when, output);
}

std::string Hex(unsigned value) {
  char hex[3];
  std::snprintf(hex, sizeof hex, "%02x", value & 0xFF);
  return hex;
}

void ReportScreen(FILE* report) {
  HANDLE output = OpenConsole("CONOUT$");
  CONSOLE_SCREEN_BUFFER_INFO info;
  if (!GetConsoleScreenBufferInfo(output, &info)) {
    std::fprintf(report, "no_console 1\n");
    return;
  }
  std::fprintf(report, "cursor %d %d\nsize %d %d\nattribute %02x\n",
               info.dwCursorPosition.X, info.dwCursorPosition.Y, info.dwSize.X,
               info.dwSize.Y, info.wAttributes & 0xFF);
  std::vector<CHAR_INFO> cells(info.dwSize.X);
  for (SHORT row = 0; row < info.dwSize.Y; ++row) {
    SMALL_RECT region = {0, row, static_cast<SHORT>(info.dwSize.X - 1), row};
    ReadConsoleOutputA(output, cells.data(), COORD{info.dwSize.X, 1},
                       COORD{0, 0}, &region);
    std::string text, attributes;
    for (const CHAR_INFO& cell : cells) {
      text += Hex(static_cast<unsigned char>(cell.Char.AsciiChar));
      attributes += Hex(cell.Attributes);
    }
    std::fprintf(report, "row %s\nattributes %s\n", text.c_str(),
                 attributes.c_str());
  }
  CloseHandle(output);
}

/// An argument written "hex:" and hex digits stands for those bytes, put on
/// the command line as they are; any other argument stands for itself.
std::string Unhex(const std::string& argument) {
  if (argument.rfind("hex:", 0) != 0) return argument;
  std::string bytes;
  for (size_t i = 4; i + 1 < argument.size(); i += 2) {
    bytes += static_cast<char>(
        std::strtoul(argument.substr(i, 2).c_str(), nullptr, 16));
  }
  return bytes;
}

/// Delivers a console control event to `process` the way the system does.
bool DeliverConsoleEvent(HANDLE process, DWORD event) {
  const auto routine =
      reinterpret_cast<LPTHREAD_START_ROUTINE>(reinterpret_cast<void*>(
          GetProcAddress(GetModuleHandleA("kernelbase.dll"), "CtrlRoutine")));
  return routine != nullptr &&
         CreateRemoteThread(
             process, nullptr, 0, routine,
             reinterpret_cast<void*>(static_cast<ULONG_PTR>(event)), 0,
             nullptr) != nullptr;
}

bool WriteFileInto(HANDLE pipe, const char* path) {
  FILE* source = std::fopen(path, "rb");
  if (source == nullptr) return false;
  char buffer[65536];
  size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, source)) > 0) {
    DWORD written;
    WriteFile(pipe, buffer, static_cast<DWORD>(got), &written, nullptr);
  }
  std::fclose(source);
  return true;
}

struct Options {
  std::string mode;
  const char* report = nullptr;
  const char* data = nullptr;
  std::vector<std::string> tool;  // the program and its arguments
};

int Run(const Options& options, FILE* report) {
  ReportModes(report, "before");
  const std::string pipe_name =
      "\\\\.\\pipe\\glyphcull-probe-" + std::to_string(GetCurrentProcessId());
  const bool on_pipe = options.mode != "run";
  HANDLE pipe = INVALID_HANDLE_VALUE;
  if (on_pipe) {
    pipe = CreateNamedPipeA(pipe_name.c_str(), PIPE_ACCESS_OUTBOUND,
                            PIPE_TYPE_BYTE | PIPE_WAIT, 1, 65536, 65536, 0,
                            nullptr);
    if (pipe == INVALID_HANDLE_VALUE) return 2;
  }
  std::string command = "\"";
  command.append(options.tool[0]).push_back('"');
  if (on_pipe) command.append(" ").append(pipe_name);
  for (size_t i = 1; i < options.tool.size(); ++i) {
    command.append(" ").append(Unhex(options.tool[i]));
  }

  SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
  const std::string stdout_path = std::string(options.report) + ".stdout";
  HANDLE stdout_file =
      CreateFileA(stdout_path.c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                  &inherited, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = stdout_file;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION process;
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0,
                      nullptr, nullptr, &startup, &process)) {
    return 3;
  }
  CloseHandle(stdout_file);

  if (on_pipe) {
    ConnectNamedPipe(pipe, nullptr);
    ReportModes(report, "during");
    if (options.mode == "pipe") {
      if (!WriteFileInto(pipe, options.data)) return 4;
      CloseHandle(pipe);  // the reader meets ERROR_BROKEN_PIPE
    } else if (!DeliverConsoleEvent(process.hProcess, options.mode == "break"
                                                          ? CTRL_BREAK_EVENT
                                                          : CTRL_CLOSE_EVENT)) {
      std::fprintf(report, "event_failed %lu\n", GetLastError());
    }
  }
  if (WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 99);
    std::fprintf(report, "timed_out 1\n");
  }
  DWORD status = 0;
  GetExitCodeProcess(process.hProcess, &status);
  std::fprintf(report, "status %lu\n", status);
  ReportModes(report, "after");
  ReportScreen(report);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  int next = 1;
  if (argc < 4) return 1;
  if (std::string(argv[next]) == "attribute") {
    HANDLE output = OpenConsole("CONOUT$");
    SetConsoleTextAttribute(
        output, static_cast<WORD>(std::strtoul(argv[next + 1], nullptr, 16)));
    CloseHandle(output);
    next += 2;
  }
  if (argc < next + 3) return 1;
  options.mode = argv[next++];
  options.report = argv[next++];
  if (options.mode == "pipe") options.data = argv[next++];
  if (options.mode != "run" && options.mode != "pipe" &&
      options.mode != "break" && options.mode != "close") {
    return 1;
  }
  for (; next < argc; ++next) options.tool.push_back(argv[next]);
  if (options.tool.empty()) return 1;
  FILE* report = std::fopen(options.report, "w");
  if (report == nullptr) return 1;
  const int result = Run(options, report);
  std::fclose(report);
  return result;
}
