#include "desktop/qt_japanese.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>
#include <QTreeView>

namespace pelmoa {
namespace {

// The file dialogs' type column, which Qt's Japanese catalogue leaves in English ("Folder").
class FileTypeTexts : public QTranslator {
 public:
  using QTranslator::QTranslator;
  bool isEmpty() const override { return false; }
  QString translate(const char* context, const char* source, const char* /*disambiguation*/,
                    int /*n*/) const override {
    if (qstrcmp(context, "QAbstractFileIconProvider") != 0) return {};
    static constexpr struct {
      const char* english;
      const char* japanese;
    } kTexts[] = {{"Folder", "フォルダ"},
                  {"File Folder", "フォルダ"},  // the same, as Qt names it on Windows
                  {"Drive", "ドライブ"},
                  {"File", "ファイル"},
                  {"%1 File", "%1 ファイル"},
                  {"Shortcut", "ショートカット"},
                  {"Alias", "エイリアス"}};
    for (const auto& text : kTexts) {
      if (qstrcmp(source, text.english) == 0) return QString::fromUtf8(text.japanese);
    }
    return {};
  }
};

}  // namespace

bool InstallQtJapanese() {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app) return false;
  const QLocale japanese(QLocale::Japanese, QLocale::Japan);
  // Dates and sizes in the file dialogs follow the same language as their labels.
  QLocale::setDefault(japanese);
  auto* translator = new QTranslator(app);
  for (const QString& folder : {QLibraryInfo::path(QLibraryInfo::TranslationsPath),
                                QCoreApplication::applicationDirPath() +
                                    QStringLiteral("/translations")}) {
    if (translator->load(japanese, QStringLiteral("qtbase"), QStringLiteral("_"), folder)) {
      QCoreApplication::installTranslator(translator);
      QCoreApplication::installTranslator(new FileTypeTexts(app));
      return true;
    }
  }
  delete translator;
  return false;
}

void FitFileDialogColumns(QFileDialog& dialog) {
  auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView"));
  if (!details) return;  // the platform's own dialog sizes its columns itself
  QHeaderView* header = details->header();
  // Column 0 is the name; size, type and date follow.
  for (int column = 1; column < header->count(); ++column) {
    header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
  }
}

}  // namespace pelmoa
