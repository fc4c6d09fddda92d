#include <QDir>
#include <string>

// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include "folder/desktop_shell_open.h"

namespace pelmoa {
namespace {

bool ShellExecuteOpen(const QString& target) {
  const std::wstring wide = target.toStdWString();
  // ShellExecuteW returns a value above 32 when it started something.
  const auto result = reinterpret_cast<INT_PTR>(
      ShellExecuteW(nullptr, L"open", wide.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  return result > 32;
}

}  // namespace

void DesktopShellOpen::OpenAddress(const QString& address) {
  started_ = ShellExecuteOpen(address);
}

void DesktopShellOpen::OpenFile(const QString& path) {
  started_ = ShellExecuteOpen(QDir::toNativeSeparators(path));
}

}  // namespace pelmoa
