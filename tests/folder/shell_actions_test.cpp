#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "fake_prompter.h"
#include "folder/folder_actions.h"
#include "folder/shell_actions.h"
#include "recording_shell_open.h"
#include "scripted_folder_browser.h"
#include "test_class.h"
#include "test_settings.h"

namespace pelmoa {
namespace {

const QString kProgramFolder = QStringLiteral("/opt/pelmoa/bin");

}  // namespace

class ShellActionsTest : public QObject {
  Q_OBJECT

 private slots:
  void browserAddress_data();
  void browserAddress();
  void nothingStartedIsTold_data();
  void nothingStartedIsTold();
  void helpOpensFileBesideProgram();
  void installedHelpOpensFromSharedFolder();
  void eachButtonReachesItsAction();
};

void ShellActionsTest::browserAddress_data() {
  QTest::addColumn<QString>("box");
  QTest::addColumn<QStringList>("opened");  // empty: nothing handed to the shell

  QTest::newRow("empty box") << "" << QStringList();
  QTest::newRow("spaces only") << "    " << QStringList();
  QTest::newRow("no scheme") << "host/page.html" << QStringList{"http://host/page.html"};
  QTest::newRow("http unchanged") << "http://host/page.html"
                                  << QStringList{"http://host/page.html"};
  QTest::newRow("https keeps its scheme") << "https://host/page.html"
                                          << QStringList{"https://host/page.html"};
  QTest::newRow("HTTP in capitals gets the prefix") << "HTTP://host/"
                                                    << QStringList{"http://HTTP://host/"};
  QTest::newRow("HTTPS in capitals gets the prefix") << "HTTPS://host/"
                                                     << QStringList{"http://HTTPS://host/"};
  // Trimmed as a run trims the address: with the space, no browser opens the page.
  QTest::newRow("leading space before a host")
      << " host/page.html" << QStringList{"http://host/page.html"};
  QTest::newRow("leading space before http") << " http://host/"
                                             << QStringList{"http://host/"};
  QTest::newRow("space after the host") << "http://host " << QStringList{"http://host"};
  QTest::newRow("scheme cut short") << "http:/host" << QStringList{"http://http:/host"};
  QTest::newRow("other scheme") << "ftp://host/a.png" << QStringList{"http://ftp://host/a.png"};
  QTest::newRow("Japanese path") << "host/画像.html" << QStringList{"http://host/画像.html"};
}

void ShellActionsTest::browserAddress() {
  QFETCH(QString, box);
  QFETCH(QStringList, opened);
  testing::RecordingShellOpen shell;
  testing::FakePrompter prompter;

  ShellActions(shell, prompter, kProgramFolder).OpenPage(nullptr, box);

  QCOMPARE(shell.addresses, opened);
  QVERIFY(shell.files.isEmpty());
  QVERIFY(prompter.boxes.isEmpty());
}

void ShellActionsTest::nothingStartedIsTold_data() {
  QTest::addColumn<bool>("help");
  QTest::addColumn<QStringList>("text");
  QTest::newRow("no browser") << false
                              << QStringList{"ウェブブラウザを起動できませんでした", "http://host/"};
  // The path as the system writes it: with backslashes on Windows.
  QTest::newRow("no help viewer")
      << true
      << QStringList{"ヘルプを表示できませんでした",
                     QDir::toNativeSeparators(QStringLiteral("/opt/pelmoa/bin/Pelmoa.html"))};
}

void ShellActionsTest::nothingStartedIsTold() {
  QFETCH(bool, help);
  QFETCH(QStringList, text);
  testing::RecordingShellOpen shell;
  shell.starts = false;
  testing::FakePrompter prompter;
  ShellActions actions(shell, prompter, kProgramFolder);

  if (help) {
    actions.OpenHelp(nullptr);
  } else {
    actions.OpenPage(nullptr, QStringLiteral("host/"));
  }

  QCOMPARE(prompter.boxes,
           (testing::Boxes{{QStringLiteral("ぺるもあ"), text.join(u'\n'), QMessageBox::Warning}}));
}

void ShellActionsTest::helpOpensFileBesideProgram() {
  testing::RecordingShellOpen shell;
  testing::FakePrompter prompter;

  ShellActions(shell, prompter, kProgramFolder).OpenHelp(nullptr);

  QCOMPARE(shell.files, QStringList{"/opt/pelmoa/bin/Pelmoa.html"});
  QVERIFY(shell.addresses.isEmpty());
}

// Installed under /usr, bin holds only programs: the help lies in share/pelmoa.
void ShellActionsTest::installedHelpOpensFromSharedFolder() {
  QTemporaryDir prefix;
  QVERIFY(prefix.isValid());
  QVERIFY(QDir(prefix.path()).mkpath(QStringLiteral("bin")));
  QVERIFY(QDir(prefix.path()).mkpath(QStringLiteral("share/pelmoa")));
  const QString installed = prefix.filePath(QStringLiteral("share/pelmoa/Pelmoa.html"));
  QVERIFY(QFile(installed).open(QIODevice::WriteOnly));
  testing::RecordingShellOpen shell;
  testing::FakePrompter prompter;

  ShellActions(shell, prompter, prefix.filePath(QStringLiteral("bin"))).OpenHelp(nullptr);

  QCOMPARE(shell.files, QStringList{installed});
}

// The main window reaches all four actions through one object; each call must land on its own.
void ShellActionsTest::eachButtonReachesItsAction() {
  QTemporaryDir dir;
  QVERIFY(dir.isValid());
  testing::TestSettings settings;
  testing::FakePrompter prompter;
  testing::ScriptedFolderBrowser browser;
  testing::RecordingShellOpen shell;
  browser.answer = dir.path();
  FolderActions actions(settings.store(), prompter, browser, shell, kProgramFolder);
  QLineEdit txtFolder;

  actions.ChooseFolder(nullptr, txtFolder);
  QCOMPARE(txtFolder.text(), dir.path());

  actions.CreateFolder(nullptr, dir.filePath(QStringLiteral("new")));
  QCOMPARE(prompter.boxes.size(), 1);
  QCOMPARE(prompter.boxes[0].title, QStringLiteral("新規フォルダ"));

  actions.OpenPage(nullptr, QStringLiteral("host/"));
  actions.OpenHelp(nullptr);
  QCOMPARE(shell.addresses, QStringList{"http://host/"});
  QCOMPARE(shell.files, QStringList{"/opt/pelmoa/bin/Pelmoa.html"});
  QCOMPARE(browser.calls.size(), 1);
}

}  // namespace pelmoa

PELMOA_TEST_CLASS(pelmoa::ShellActionsTest);
#include "shell_actions_test.moc"
