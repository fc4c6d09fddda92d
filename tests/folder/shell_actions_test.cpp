#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "folder/folder_actions.h"
#include "folder/shell_actions.h"
#include "recording_prompter.h"
#include "recording_shell_open.h"
#include "scripted_folder_browser.h"

namespace pelmoa {
namespace {

const QString kProgramFolder = QStringLiteral("/opt/pelmoa/bin");

}  // namespace

class ShellActionsTest : public QObject {
  Q_OBJECT

 private slots:
  void browserAddress_data();
  void browserAddress();
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
  QTest::newRow("leading space kept after the prefix")
      << " host/page.html" << QStringList{"http:// host/page.html"};
  QTest::newRow("leading space before http") << " http://host/"
                                             << QStringList{"http:// http://host/"};
  QTest::newRow("trailing space kept") << "http://host/ " << QStringList{"http://host/ "};
  QTest::newRow("scheme cut short") << "http:/host" << QStringList{"http://http:/host"};
  QTest::newRow("other scheme") << "ftp://host/a.png" << QStringList{"http://ftp://host/a.png"};
  QTest::newRow("Japanese path") << "host/画像.html" << QStringList{"http://host/画像.html"};
}

void ShellActionsTest::browserAddress() {
  QFETCH(QString, box);
  QFETCH(QStringList, opened);
  testing::RecordingShellOpen shell;

  ShellActions(shell, kProgramFolder).OpenPage(box);

  QCOMPARE(shell.addresses, opened);
  QVERIFY(shell.files.isEmpty());
}

void ShellActionsTest::helpOpensFileBesideProgram() {
  testing::RecordingShellOpen shell;

  ShellActions(shell, kProgramFolder).OpenHelp();

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

  ShellActions(shell, prefix.filePath(QStringLiteral("bin"))).OpenHelp();

  QCOMPARE(shell.files, QStringList{installed});
}

// The main window reaches all four actions through one object; each call must land on its own.
void ShellActionsTest::eachButtonReachesItsAction() {
  QTemporaryDir dir;
  QVERIFY(dir.isValid());
  QSettingsStore settings(dir.filePath(QStringLiteral("Pelmoa.conf")));
  testing::RecordingPrompter prompter;
  testing::ScriptedFolderBrowser browser;
  testing::RecordingShellOpen shell;
  browser.answer = dir.path();
  FolderActions actions(settings, prompter, browser, shell, kProgramFolder);
  QLineEdit txtFolder;

  actions.ChooseFolder(nullptr, txtFolder);
  QCOMPARE(txtFolder.text(), dir.path());

  actions.CreateFolder(nullptr, dir.filePath(QStringLiteral("new")));
  QCOMPARE(prompter.boxes.size(), 1);
  QCOMPARE(prompter.boxes[0].title, QStringLiteral("新規フォルダ"));

  actions.OpenPage(QStringLiteral("host/"));
  actions.OpenHelp();
  QCOMPARE(shell.addresses, QStringList{"http://host/"});
  QCOMPARE(shell.files, QStringList{"/opt/pelmoa/bin/Pelmoa.html"});
  QCOMPARE(browser.calls.size(), 1);
}

}  // namespace pelmoa

QTEST_MAIN(pelmoa::ShellActionsTest)
#include "shell_actions_test.moc"
