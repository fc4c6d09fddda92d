#include <QDir>
#include <string>

// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include "folder/desktop_shell_open.h"

namespace pelmoa {
namespace {

// Whether the shell started anything. Its own error box stays away (SEE_MASK_FLAG_NO_UI): the
// user hears of a failure once, from the program.
bool ShellExecuteOpen(const QString& target) {
  const std::wstring wide = target.toStdWString();
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_FLAG_NO_UI;
  info.lpVerb = L"open";
  info.lpFile = wide.c_str();
  info.nShow = SW_SHOWNORMAL;
  return ShellExecuteExW(&info) != FALSE;
}

}  // namespace

void DesktopShellOpen::OpenAddress(const QString& address) {
  started_ = ShellExecuteOpen(address);
}

void DesktopShellOpen::OpenFile(const QString& path) {
  started_ = ShellExecuteOpen(QDir::toNativeSeparators(path));
}

}  // namespace pelmoa
