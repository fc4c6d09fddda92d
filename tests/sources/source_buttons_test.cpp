#include <QAbstractFileIconProvider>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include "desktop/qt_japanese.h"
#include "fake_prompter.h"
#include "session_file.h"
#include "sources/browser_page.h"
#include "sources/favorites_folder.h"
#include "sources/file_chooser.h"
#include "sources/firefox_open_browser_windows.h"
#include "sources/shortcut_import.h"
#include "test_class.h"

namespace pelmoa {

// Stands in for the modal file dialog, which cannot be answered here.
class ScriptedChooser : public FileChooser {
 public:
  explicit ScriptedChooser(QString answer) : answer_(std::move(answer)) {}
  QString ChooseShortcutFile(QWidget*) override {
    ++asked;
    return answer_;
  }
  int asked = 0;

 private:
  QString answer_;
};

class SourceButtonsTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void shortcutDialogSetUp_data();
  void shortcutDialogSetUp();
  void shortcutImport_data();
  void shortcutImport();
  void browserPage_data();
  void browserPage();

 private:
  QString WriteFile(const QString& name, const QByteArray& bytes);

  std::unique_ptr<QTemporaryDir> dir_;
};

const QString kBefore = QStringLiteral("http://before.example/");

void SourceButtonsTest::init() { dir_ = std::make_unique<QTemporaryDir>(); }

QString SourceButtonsTest::WriteFile(const QString& name, const QByteArray& bytes) {
  QFile file(dir_->filePath(name));
  if (!file.open(QIODevice::WriteOnly)) qFatal("cannot write %s", qPrintable(name));
  file.write(bytes);
  return file.fileName();
}

void SourceButtonsTest::shortcutDialogSetUp_data() {
  QTest::addColumn<QString>("earlier");  // relative to the temporary folder; empty: none
  QTest::addColumn<bool>("resumes");     // opens in the earlier file's folder, name filled in
  QTest::newRow("first use") << "" << false;
  QTest::newRow("the file chosen last time") << "favorites/日記.url" << true;
  QTest::newRow("its folder is gone") << "gone/日記.url" << false;
}

void SourceButtonsTest::shortcutDialogSetUp() {
  QFETCH(QString, earlier);
  QFETCH(bool, resumes);
  QVERIFY(QDir(dir_->path()).mkpath(QStringLiteral("favorites")));
  const QString earlier_file = earlier.isEmpty() ? QString() : dir_->filePath(earlier);
  if (resumes) WriteFile(earlier, "[InternetShortcut]\nURL=http://diary.test/\n");
  // As the program starts: Qt's own texts in Japanese.
  QVERIFY(InstallQtJapanese());

  QWidget owner;
  const std::unique_ptr<QFileDialog> dialog = MakeShortcutDialog(&owner, earlier_file);
  QCOMPARE(dialog->windowTitle(), QStringLiteral("お気に入りを開く"));
  QCOMPARE(dialog->nameFilters(), QStringList{QStringLiteral("お気に入り (*.url)")});
  QCOMPARE(dialog->fileMode(), QFileDialog::ExistingFile);
  QCOMPARE(dialog->acceptMode(), QFileDialog::AcceptOpen);
  QCOMPARE(dialog->parentWidget(), &owner);
  QCOMPARE(dialog->directory().absolutePath(),
           resumes ? dir_->filePath(QStringLiteral("favorites")) : FavoritesFolder());
  if (resumes) QCOMPARE(dialog->selectedFiles(), QStringList{earlier_file});

  // Japanese labels, and size, type and date columns wide enough for them.
  auto* look_in = dialog->findChild<QLabel*>(QStringLiteral("lookInLabel"));
  QVERIFY(look_in);
  QVERIFY2(!look_in->text().contains(QLatin1String("Look in")), qPrintable(look_in->text()));
  QCOMPARE(QAbstractFileIconProvider().type(QFileInfo(dir_->path())), QStringLiteral("フォルダ"));
  auto* details = dialog->findChild<QTreeView*>(QStringLiteral("treeView"));
  QVERIFY(details);
  QCOMPARE(details->header()->count(), 4);
  for (int column = 1; column < 4; ++column) {
    QCOMPARE(details->header()->sectionResizeMode(column), QHeaderView::ResizeToContents);
  }
}

void SourceButtonsTest::shortcutImport_data() {
  QTest::addColumn<QString>("file");  // "" cancels, "missing" names no file
  QTest::addColumn<QByteArray>("bytes");
  QTest::addColumn<int>("result");
  QTest::addColumn<QString>("box");
  QTest::addColumn<QString>("message");
  const int imported = int(ShortcutImport::kImported);
  QTest::newRow("cancel") << "" << QByteArray() << int(ShortcutImport::kCancelled) << kBefore << "";
  QTest::newRow("typical") << "page.url"
                           << QByteArray("[InternetShortcut]\r\nURL=http://fav.example/\r\n")
                           << imported << "http://fav.example/"
                           << "";
  QTest::newRow("empty address") << "empty.url" << QByteArray("[InternetShortcut]\r\nURL=\r\n")
                                 << imported << ""
                                 << "";
  QTest::newRow("no address") << "none.url" << QByteArray("[InternetShortcut]\r\nIconIndex=0\r\n")
                              << int(ShortcutImport::kNoAddress) << kBefore
                              << "選択したファイルにURLが見つかりませんでした";
  QTest::newRow("missing file") << "missing" << QByteArray() << int(ShortcutImport::kUnreadable)
                                << kBefore << "選択したファイルを読み込めませんでした";
  QTest::newRow("folder") << "." << QByteArray() << int(ShortcutImport::kUnreadable) << kBefore
                          << "選択したファイルを読み込めませんでした";
}

void SourceButtonsTest::shortcutImport() {
  QFETCH(QString, file);
  QFETCH(QByteArray, bytes);
  QFETCH(int, result);
  QFETCH(QString, box);
  QFETCH(QString, message);
  QString path;
  if (file == "missing")
    path = dir_->filePath(QStringLiteral("gone.url"));
  else if (file == ".")
    path = dir_->path();
  else if (!file.isEmpty())
    path = WriteFile(file, bytes);

  QWidget owner;
  QLineEdit txt_url(&owner);
  txt_url.setText(kBefore);
  ScriptedChooser chooser(path);
  testing::FakePrompter prompter;
  QCOMPARE(int(TakeShortcutUrl(&owner, &txt_url, chooser, prompter)), result);
  QCOMPARE(chooser.asked, 1);
  QCOMPARE(txt_url.text(), box);
  if (message.isEmpty()) {
    QVERIFY(prompter.boxes.isEmpty());
  } else {
    QCOMPARE(prompter.boxes,
             (testing::Boxes{{QStringLiteral("指定エラー"), message, QMessageBox::Critical}}));
  }
}

void SourceButtonsTest::browserPage_data() {
  QTest::addColumn<QStringList>("profiles");  // one session file per profile, "!" damaged
  QTest::addColumn<QString>("box");
  QTest::addColumn<bool>("changed");
  QTest::newRow("no session") << QStringList{} << kBefore << false;
  QTest::newRow("damaged session") << QStringList{"!"} << kBefore << false;
  QTest::newRow("one window") << QStringList{"http://one/"} << "http://one/" << true;
  QTest::newRow("two windows, last wins")
      << QStringList{"http://first/|http://last/"} << "http://last/" << true;
  QTest::newRow("last window empty") << QStringList{"http://first/|"} << kBefore << false;
  QTest::newRow("folder address taken as it is")
      << QStringList{"http://first/|file:///home/user/"} << "file:///home/user/" << true;
  QTest::newRow("no windows in the session") << QStringList{"|"} << kBefore << false;
}

void SourceButtonsTest::browserPage() {
  QFETCH(QStringList, profiles);
  QFETCH(QString, box);
  QFETCH(bool, changed);
  for (int i = 0; i < profiles.size(); ++i) {
    const QString profile = QStringLiteral("p%1.default").arg(i);
    if (profiles[i] == "!") {
      testing::WriteSessionFile(dir_->path(), profile, QByteArray("mozLz40\0\xff\xff", 10));
    } else if (profiles[i] == "|") {
      testing::WriteSessionFile(dir_->path(), profile, testing::MozLz4(R"({"windows":[]})"));
    } else {
      testing::WriteSessionFile(dir_->path(), profile,
                                testing::MozLz4(testing::SessionJson(profiles[i].split('|'))));
    }
  }
  QLineEdit txt_url;
  txt_url.setText(kBefore);
  FirefoxOpenBrowserWindows windows({dir_->path()});
  QCOMPARE(TakeBrowserPageUrl(windows, &txt_url), changed);
  QCOMPARE(txt_url.text(), box);
}

}  // namespace pelmoa

PELMOA_TEST_CLASS(pelmoa::SourceButtonsTest);
#include "source_buttons_test.moc"
