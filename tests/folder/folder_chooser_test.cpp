#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "folder/file_dialog_folder_browser.h"
#include "folder/folder_chooser.h"
#include "scripted_folder_browser.h"
#include "test_class.h"
#include "test_settings.h"

namespace pelmoa {
namespace {

const QString kProgramFolder = QStringLiteral("/opt/pelmoa/bin");
const QString kAbsent = QStringLiteral("<absent>");

}  // namespace

class FolderChooserTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void opensOnInitialFolder_data();
  void opensOnInitialFolder();
  void confirmWritesBoxAndSettingTogether_data();
  void confirmWritesBoxAndSettingTogether();
  void nothingConfirmedChangesNothing_data();
  void nothingConfirmedChangesNothing();
  void dialogStartsAtNearestExistingFolder_data();
  void dialogStartsAtNearestExistingFolder();

 private:
  // Reads DLFolder as the next start would.
  QString StoredFolder() const;

  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<testing::TestSettings> test_settings_;
  SettingsStore* settings_ = nullptr;
  std::unique_ptr<testing::ScriptedFolderBrowser> browser_;
  std::unique_ptr<QWidget> window_;
  QLineEdit* txtFolder_ = nullptr;
};

void FolderChooserTest::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  QVERIFY(dir_->isValid());
  test_settings_ = std::make_unique<testing::TestSettings>();
  settings_ = &test_settings_->store();
  browser_ = std::make_unique<testing::ScriptedFolderBrowser>();
  window_ = std::make_unique<QWidget>();
  txtFolder_ = new QLineEdit(window_.get());
  txtFolder_->setObjectName(QStringLiteral("txtFolder"));
}

void FolderChooserTest::cleanup() {
  window_.reset();
  browser_.reset();
  test_settings_.reset();
  dir_.reset();
}

QString FolderChooserTest::StoredFolder() const {
  const QString stored =
      test_settings_->Stored(QStringLiteral("Setting"), QStringLiteral("DLFolder"));
  return stored.isNull() ? kAbsent : stored;
}

void FolderChooserTest::opensOnInitialFolder_data() {
  QTest::addColumn<QString>("box");
  QTest::addColumn<QString>("stored");  // kAbsent: nothing stored
  QTest::addColumn<QString>("initial");

  QTest::newRow("box text wins over the stored folder")
      << "/home/u/pics" << "/home/u/stored" << "/home/u/pics";
  QTest::newRow("box text taken untrimmed") << " /home/u/pics " << kAbsent << " /home/u/pics ";
  QTest::newRow("box of spaces is not empty") << "   " << "/home/u/stored" << "   ";
  QTest::newRow("empty box uses the stored folder") << "" << "/home/u/stored" << "/home/u/stored";
  QTest::newRow("empty box, nothing stored: program folder") << "" << kAbsent << kProgramFolder;
}

void FolderChooserTest::opensOnInitialFolder() {
  QFETCH(QString, box);
  QFETCH(QString, stored);
  QFETCH(QString, initial);
  if (stored != kAbsent) {
    settings_->WriteSetting(QStringLiteral("Pelmoa"), QStringLiteral("Setting"),
                            QStringLiteral("DLFolder"), stored);
  }
  txtFolder_->setText(box);
  FolderChooser chooser(*settings_, *browser_, kProgramFolder);

  chooser.Choose(window_.get(), *txtFolder_);

  QCOMPARE(browser_->calls.size(), 1);
  QCOMPARE(browser_->calls[0].initial, initial);
  QCOMPARE(browser_->calls[0].title, QStringLiteral("ダウンロード先フォルダの選択"));
  QCOMPARE(browser_->calls[0].owner, window_.get());
}

void FolderChooserTest::confirmWritesBoxAndSettingTogether_data() {
  QTest::addColumn<QString>("box");
  QTest::addColumn<QString>("chosen");

  QTest::newRow("folder replaces typed text") << "/home/u/typed" << "/srv/images";
  QTest::newRow("empty box") << "" << "/srv/images";
  QTest::newRow("root keeps its trailing slash") << "/home/u" << "/";
  QTest::newRow("Japanese folder name") << "" << "/home/u/画像/保存先";
  QTest::newRow("name with spaces kept") << "" << "/home/u/my pics ";
}

void FolderChooserTest::confirmWritesBoxAndSettingTogether() {
  QFETCH(QString, box);
  QFETCH(QString, chosen);
  txtFolder_->setText(box);
  browser_->answer = chosen;
  FolderChooser chooser(*settings_, *browser_, kProgramFolder);

  chooser.Choose(window_.get(), *txtFolder_);

  QCOMPARE(txtFolder_->text(), chosen);
  QCOMPARE(StoredFolder(), chosen);

  // Reopening selects the folder just chosen.
  browser_->answer.reset();
  chooser.Choose(window_.get(), *txtFolder_);
  QCOMPARE(browser_->calls.size(), 2);
  QCOMPARE(browser_->calls[1].initial, chosen);
}

void FolderChooserTest::nothingConfirmedChangesNothing_data() {
  QTest::addColumn<QString>("box");
  QTest::addColumn<QString>("stored");
  QTest::addColumn<bool>("confirm_empty_path");  // false: the user cancels

  QTest::newRow("cancel with text in the box") << "/home/u/typed" << "/home/u/stored" << false;
  QTest::newRow("cancel with an empty box") << "" << "/home/u/stored" << false;
  QTest::newRow("cancel with nothing stored") << "" << kAbsent << false;
  QTest::newRow("confirmed item without a path") << "/home/u/typed" << "/home/u/stored" << true;
  QTest::newRow("confirmed item without a path, nothing stored") << "" << kAbsent << true;
}

void FolderChooserTest::nothingConfirmedChangesNothing() {
  QFETCH(QString, box);
  QFETCH(QString, stored);
  QFETCH(bool, confirm_empty_path);
  if (stored != kAbsent) {
    settings_->WriteSetting(QStringLiteral("Pelmoa"), QStringLiteral("Setting"),
                            QStringLiteral("DLFolder"), stored);
  }
  txtFolder_->setText(box);
  if (confirm_empty_path) browser_->answer = QString();
  FolderChooser chooser(*settings_, *browser_, kProgramFolder);

  chooser.Choose(window_.get(), *txtFolder_);

  QCOMPARE(browser_->calls.size(), 1);
  QCOMPARE(txtFolder_->text(), box);
  QCOMPARE(StoredFolder(), stored);
}

void FolderChooserTest::dialogStartsAtNearestExistingFolder_data() {
  QTest::addColumn<QString>("relative");  // below the temporary folder
  QTest::addColumn<QString>("expected");  // below the temporary folder

  QTest::newRow("existing folder") << "pics" << "pics";
  QTest::newRow("one missing level") << "pics/new" << "pics";
  QTest::newRow("three missing levels") << "pics/a/b/c" << "pics";
  QTest::newRow("a file stands for its folder") << "pics/photo.jpg" << "pics";
}

void FolderChooserTest::dialogStartsAtNearestExistingFolder() {
  QFETCH(QString, relative);
  QFETCH(QString, expected);
  QVERIFY(QDir(dir_->path()).mkpath(QStringLiteral("pics")));
  QFile file(dir_->filePath(QStringLiteral("pics/photo.jpg")));
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.close();

  QCOMPARE(NearestExistingFolder(dir_->filePath(relative)),
           QDir::cleanPath(dir_->filePath(expected)));
}

}  // namespace pelmoa

PELMOA_TEST_CLASS(pelmoa::FolderChooserTest);
#include "folder_chooser_test.moc"
