#include <windows.h>

#include <algorithm>

#include "h2_server.h"
#include "harvest/files/file_names.h"

namespace pelmoa::testing {

// Node is the host's, a program Wine starts as it is; it reaches our files by their Unix
// paths, which Wine alone knows.
std::string H2Server::NodePath(const std::filesystem::path& path) {
  using UnixName = char*(CDECL*)(const wchar_t*);
  const auto unix_name = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
  if (!unix_name) return "";
  char* name = unix_name(path.wstring().c_str());
  if (!name) return "";
  std::string result(name);
  HeapFree(GetProcessHeap(), 0, name);
  return result;
}

// Wine hands a Unix program no pipe for its stdin and keeps no handle on it: the server ends
// when the object removes its folder (see h2_server.js).
bool H2Server::Spawn(std::vector<std::string> args) {
  std::string line = "\"Z:" + args[0] + "\"";
  std::replace(line.begin(), line.end(), '/', '\\');
  for (std::size_t k = 1; k < args.size(); ++k) line += " \"" + args[k] + "\"";
  std::wstring command = PathFromUtf8(line).native();
  STARTUPINFOW start = {};
  start.cb = sizeof start;
  PROCESS_INFORMATION child = {};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start,
                      &child)) {
    return false;
  }
  if (child.hProcess) CloseHandle(child.hProcess);
  if (child.hThread) CloseHandle(child.hThread);
  return true;
}

bool H2Server::Ended() { return false; }

void H2Server::Stop() {}

}  // namespace pelmoa::testing
