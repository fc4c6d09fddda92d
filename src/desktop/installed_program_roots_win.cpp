// clang-format off
#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>
// clang-format on

#include <QDir>

#include "desktop/default_folder.h"

namespace pelmoa {
namespace {

QString KnownFolder(REFKNOWNFOLDERID id) {
  PWSTR path = nullptr;
  QString folder;
  if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) folder = QString::fromWCharArray(path);
  CoTaskMemFree(path);
  return folder;
}

// The folder the installer recorded for Apps, of an install for this user or for all.
QString RecordedInstallFolder(HKEY root) {
  wchar_t buffer[MAX_PATH * 4] = {};
  DWORD bytes = sizeof buffer - sizeof(wchar_t);
  if (RegGetValueW(root, L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pelmoa",
                   L"InstallLocation", RRF_RT_REG_SZ, nullptr, buffer, &bytes) != ERROR_SUCCESS) {
    return {};
  }
  return QString::fromWCharArray(buffer);
}

}  // namespace

QStringList InstalledProgramRoots() {
  QString user_programs = KnownFolder(FOLDERID_UserProgramFiles);
  if (user_programs.isEmpty() && !qEnvironmentVariableIsEmpty("LOCALAPPDATA")) {
    user_programs = qEnvironmentVariable("LOCALAPPDATA") + QStringLiteral("\\Programs");
  }
  return {KnownFolder(FOLDERID_ProgramFiles), KnownFolder(FOLDERID_ProgramFilesX86),
          user_programs, RecordedInstallFolder(HKEY_CURRENT_USER),
          RecordedInstallFolder(HKEY_LOCAL_MACHINE)};
}

}  // namespace pelmoa
