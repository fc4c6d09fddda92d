// The shell's own open dialog for shortcut files. Qt's file dialog shows the same dialog, but
// after it closes the main window takes no keys (Alt+R, Alt+I) until a click, under Wine at
// least; called directly, the dialog hands the keyboard back to its owner.

// clang-format off
#include <windows.h>
#include <shobjidl.h>
// clang-format on

#include <QDir>
#include <QFileInfo>
#include <QWidget>
#include <string>

#include "sources/favorites_folder.h"
#include "sources/file_chooser.h"
#include "sources/texts.h"

namespace pelmoa {
namespace {

// Releases a COM interface when it goes out of scope.
template <typename T>
struct Released {
  T* p = nullptr;
  ~Released() {
    if (p) p->Release();
  }
};

class ShellFileChooser : public FileChooser {
 public:
  QString ChooseShortcutFile(QWidget* owner) override;

 private:
  QString last_file_;
};

QString ShellFileChooser::ChooseShortcutFile(QWidget* owner) {
  Released<IFileOpenDialog> dialog;
  if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr, CLSCTX_INPROC_SERVER,
                              IID_PPV_ARGS(&dialog.p)))) {
    return {};
  }
  const std::wstring title = QString::fromUtf8(sources_texts::kFavDialogTitle).toStdWString();
  const std::wstring filter = QString::fromUtf8(sources_texts::kFavFilter).toStdWString();
  const COMDLG_FILTERSPEC types[] = {{filter.c_str(), L"*.url"}};
  dialog.p->SetTitle(title.c_str());
  dialog.p->SetFileTypes(1, types);
  dialog.p->SetDefaultExtension(L"url");
  FILEOPENDIALOGOPTIONS options = 0;
  dialog.p->GetOptions(&options);
  dialog.p->SetOptions(options | FOS_FILEMUSTEXIST | FOS_PATHMUSTEXIST | FOS_FORCEFILESYSTEM);

  // The folder of the file chosen last, with its name filled in, else the Favorites folder.
  const QFileInfo earlier(last_file_);
  const bool resume = !last_file_.isEmpty() && earlier.absoluteDir().exists();
  const std::wstring folder =
      QDir::toNativeSeparators(resume ? earlier.absolutePath() : FavoritesFolder()).toStdWString();
  Released<IShellItem> folder_item;
  if (SUCCEEDED(SHCreateItemFromParsingName(folder.c_str(), nullptr,
                                            IID_PPV_ARGS(&folder_item.p)))) {
    dialog.p->SetFolder(folder_item.p);
  }
  if (resume) dialog.p->SetFileName(earlier.fileName().toStdWString().c_str());

  HWND owner_window = owner ? reinterpret_cast<HWND>(owner->window()->winId()) : nullptr;
  Released<IShellItem> result;
  if (FAILED(dialog.p->Show(owner_window)) || FAILED(dialog.p->GetResult(&result.p))) return {};
  PWSTR path = nullptr;
  if (FAILED(result.p->GetDisplayName(SIGDN_FILESYSPATH, &path))) return {};
  const QString chosen = QDir::fromNativeSeparators(QString::fromWCharArray(path));
  CoTaskMemFree(path);
  if (!chosen.isEmpty()) last_file_ = chosen;
  return chosen;
}

}  // namespace

std::unique_ptr<FileChooser> MakeShortcutChooser() { return std::make_unique<ShellFileChooser>(); }

}  // namespace pelmoa
