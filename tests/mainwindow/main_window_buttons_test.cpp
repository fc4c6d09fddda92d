#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "main_window_test.h"
#include "test_class.h"

namespace pelmoa {

// The new-folder button of the real main window reaches the folder actions. (The other three
// buttons open the desktop's dialog or browser, which cannot run here.)
class MainWindowButtonsTest : public testing::MainWindowTest {
  Q_OBJECT

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    NewCase();
    Open();
  }
  void newFolderButton_data();
  void newFolderButton();

 private:
  std::unique_ptr<QTemporaryDir> dir_;
};

void MainWindowButtonsTest::newFolderButton_data() {
  QTest::addColumn<QString>("relative");
  QTest::addColumn<QString>("title");

  QTest::newRow("missing folder is created") << "images/2026" << "新規フォルダ";
  QTest::newRow("existing folder") << "." << "既存";
}

void MainWindowButtonsTest::newFolderButton() {
  QFETCH(QString, relative);
  QFETCH(QString, title);
  auto* txtFolder = window_->findChild<QLineEdit*>(QStringLiteral("txtFolder"));
  auto* cmdNew = window_->findChild<QPushButton*>(QStringLiteral("cmdNew"));
  QVERIFY(txtFolder && cmdNew);
  const QString folder = dir_->filePath(relative);
  txtFolder->setText(folder);

  cmdNew->click();

  QCOMPARE(prompter_.boxes.size(), 1);
  QCOMPARE(prompter_.boxes[0].title, title);
  QVERIFY(QFileInfo(folder).isDir());
  QCOMPARE(txtFolder->text(), folder);
}

}  // namespace pelmoa

PELMOA_TEST_CLASS(pelmoa::MainWindowButtonsTest);
#include "main_window_buttons_test.moc"
