#include "cli/console.h"

// clang-format off
#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>
// clang-format on

#include "harvest/files/file_names.h"

namespace pelmoa {

// argv holds the ANSI code page's rendering, which loses every character outside it, so the
// command line is read as UTF-16 instead.
std::vector<std::string> CommandLineArguments(int, char**) {
  std::vector<std::string> args;
  int count = 0;
  if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
    for (int k = 1; k < count; ++k) args.push_back(Utf8FromPath(wide[k]));
    LocalFree(wide);
  }
  // Plain line ends to a pipe or a file, the same bytes as elsewhere.
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  return args;
}

// A console gets UTF-16, so its code page (the user's, which a batch file relies on) is left
// as it was.
void WriteText(std::FILE* stream, const std::string& text) {
  const auto console = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  DWORD mode = 0;
  if (console == INVALID_HANDLE_VALUE || !GetConsoleMode(console, &mode)) {
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
    return;
  }
  std::fflush(stream);
  const std::wstring wide = PathFromUtf8(text).native();
  DWORD written = 0;
  WriteConsoleW(console, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
}

}  // namespace pelmoa
