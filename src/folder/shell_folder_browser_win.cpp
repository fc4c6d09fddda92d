#include "folder/shell_folder_browser_win.h"

#include <QWidget>
#include <string>

// clang-format off
#include <windows.h>
#include <shlobj.h>
// clang-format on

namespace pelmoa {
namespace {

// Selects the initial folder once the browser window exists; the shell offers no field
// for it in BROWSEINFO. The callback data is the initial folder as a wide string.
int CALLBACK BrowseCallbackProc(HWND dialog, UINT message, LPARAM /*param*/, LPARAM data) {
  if (message == BFFM_INITIALIZED && data != 0) {
    SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, data);
  }
  return 0;
}

}  // namespace

std::optional<QString> ShellFolderBrowser::Browse(QWidget* owner, const QString& title,
                                                  const QString& initial) {
  // The wide-character calls take any folder name, not only those of the ANSI code page.
  const std::wstring title_w = title.toStdWString();
  const std::wstring initial_w = initial.toStdWString();
  wchar_t display_name[MAX_PATH] = {};

  BROWSEINFOW info = {};
  info.hwndOwner = owner != nullptr ? reinterpret_cast<HWND>(owner->window()->winId()) : nullptr;
  info.pidlRoot = nullptr;
  info.pszDisplayName = display_name;
  info.lpszTitle = title_w.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  info.lpfn = &BrowseCallbackProc;
  info.lParam = reinterpret_cast<LPARAM>(initial_w.c_str());

  PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&info);
  if (item == nullptr) return std::nullopt;

  wchar_t path[MAX_PATH] = {};
  const bool has_path = SHGetPathFromIDListW(item, path) != FALSE;
  CoTaskMemFree(item);
  // An item without a file-system path is treated like a cancel: no invalid path leaves here.
  if (!has_path || path[0] == L'\0') return std::nullopt;
  return QString::fromWCharArray(path);
}

std::unique_ptr<FolderBrowser> MakeFolderBrowser() { return std::make_unique<ShellFolderBrowser>(); }

}  // namespace pelmoa
