#include "sources/shortcut_import.h"

#include <QFile>
#include <QFileInfo>
#include <QLineEdit>

#include "sources/shortcut_reader.h"
#include "sources/texts.h"

namespace pelmoa {
namespace {

void Tell(Prompter& prompter, QWidget* owner, const char* text) {
  prompter.Show(owner, QString::fromUtf8(sources_texts::kErrorTitle), QString::fromUtf8(text),
                QMessageBox::Critical, QMessageBox::Ok);
}

}  // namespace

ShortcutImport TakeShortcutUrl(QWidget* owner, QLineEdit* txt_url, FileChooser& chooser,
                               Prompter& prompter) {
  const QString path = chooser.ChooseShortcutFile(owner);
  if (path.isEmpty()) return ShortcutImport::kCancelled;

  QFile file(path);
  // A pipe or device would block the window while it is read.
  if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly) ||
      file.size() > kMaxShortcutFileBytes) {
    Tell(prompter, owner, sources_texts::kShortcutUnreadable);
    return ShortcutImport::kUnreadable;
  }
  // Read by the size found: reading up to the limit would reserve the whole limit first.
  const QByteArray bytes = file.read(file.size());
  file.close();

  const std::optional<QString> url = ReadShortcutUrl(bytes);
  if (!url) {
    Tell(prompter, owner, sources_texts::kShortcutWithoutUrl);
    return ShortcutImport::kNoAddress;
  }
  txt_url->setText(*url);
  return ShortcutImport::kImported;
}

}  // namespace pelmoa
