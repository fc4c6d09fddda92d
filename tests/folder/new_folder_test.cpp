#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "fake_prompter.h"
#include "folder/new_folder.h"
#include "test_class.h"

namespace pelmoa {
namespace {

const QString kExistsTitle = QStringLiteral("既存");
const QString kExistsText = QStringLiteral("そのフォルダは既に存在しています");
const QString kNewFolderTitle = QStringLiteral("新規フォルダ");
const QString kNotCreated = QStringLiteral("フォルダを作成できませんでした");

}  // namespace

enum class Outcome { kExists, kCreated, kFailed };

}  // namespace pelmoa

Q_DECLARE_METATYPE(pelmoa::Outcome)

namespace pelmoa {

class NewFolderTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void clickOnce_data();
  void clickOnce();
  void secondClickSaysExists();
  void emptyBoxNeverReportsSuccess();
  void nulInTextCreatesNothing();
  void readOnlyParentFails();
  void relativePathIsRefused_data();
  void relativePathIsRefused();

 private:
  // The tree every case starts from: folder "pics" holding "a.jpg" and "b.png", file "note.txt",
  // empty folders "photos[1]" and "photos1".
  void MakeTree();
  QString At(const QString& relative) const { return dir_->path() + u'/' + relative; }
  void ExpectFailure(const QString& folder_text);

  std::unique_ptr<QTemporaryDir> dir_;
  testing::FakePrompter prompter_;
};

void NewFolderTest::init() {
  dir_ = std::make_unique<QTemporaryDir>();
  QVERIFY(dir_->isValid());
  prompter_ = testing::FakePrompter();
  MakeTree();
}

void NewFolderTest::cleanup() {
  QFile::setPermissions(At(QStringLiteral("locked")),
                        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  dir_.reset();
}

void NewFolderTest::MakeTree() {
  QVERIFY(QDir(dir_->path()).mkpath(QStringLiteral("pics")));
  QVERIFY(QDir(dir_->path()).mkpath(QStringLiteral("photos[1]")));
  QVERIFY(QDir(dir_->path()).mkpath(QStringLiteral("photos1")));
  for (const char* name : {"pics/a.jpg", "pics/b.png", "note.txt"}) {
    QFile file(At(QString::fromUtf8(name)));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("x");
  }
}

void NewFolderTest::clickOnce_data() {
  QTest::addColumn<QString>("relative");      // the box text, below the temporary folder
  QTest::addColumn<Outcome>("outcome");
  QTest::addColumn<QString>("must_be_dir");   // below the temporary folder; empty: none
  QTest::addColumn<QString>("reason");        // third line of a failure message
  QTest::addColumn<QStringList>("never");     // names that must not appear
  QTest::addColumn<QString>("around");        // put before and after the whole box text

  QTest::newRow("existing folder") << "pics" << Outcome::kExists << "pics" << "" << QStringList() << QString();
  QTest::newRow("existing folder with trailing slash")
      << "pics/" << Outcome::kExists << "pics" << "" << QStringList() << QString();
  QTest::newRow("existing file") << "note.txt" << Outcome::kExists << "" << ""
                                 << QStringList() << QString();
  QTest::newRow("star matches an entry")
      << "pics/*" << Outcome::kExists << "" << "" << QStringList{"pics/*"} << QString();
  QTest::newRow("question mark matches an entry")
      << "pics/?.jpg" << Outcome::kExists << "" << "" << QStringList{"pics/?.jpg"} << QString();
  QTest::newRow("one missing level") << "new" << Outcome::kCreated << "new" << ""
                                     << QStringList() << QString();
  QTest::newRow("three missing levels")
      << "one/two/three" << Outcome::kCreated << "one/two/three" << "" << QStringList() << QString();
  QTest::newRow("missing levels below an existing folder")
      << "pics/2026/12" << Outcome::kCreated << "pics/2026/12" << "" << QStringList() << QString();
  QTest::newRow("trailing slash") << "made/" << Outcome::kCreated << "made" << ""
                                  << QStringList() << QString();
  QTest::newRow("Japanese names") << "画像/保存先" << Outcome::kCreated << "画像/保存先" << ""
                                  << QStringList() << QString();
  QTest::newRow("spaces around the text are trimmed, as a run trims them")
      << "spaced" << Outcome::kCreated << "spaced" << ""
      << QStringList{" spaced", "spaced ", " spaced "} << "  ";
  QTest::newRow("an existing folder with spaces around the text")
      << "pics" << Outcome::kExists << "pics" << "" << QStringList{"pics "} << " ";
  QTest::newRow("brackets in an existing name")
      << "photos[1]" << Outcome::kExists << "photos[1]" << "" << QStringList() << QString();
  QTest::newRow("brackets are no wildcards")
      << "photo[s]1" << Outcome::kCreated << "photo[s]1" << "" << QStringList() << QString();
  QTest::newRow("a file in the way of a level")
      << "note.txt/sub" << Outcome::kFailed << "" << "途中にフォルダではなくファイルがあります"
      << QStringList{"note.txt/sub"} << QString();
  QTest::newRow("a file in the way, several levels down")
      << "pics/a.jpg/x/y" << Outcome::kFailed << "" << "途中にフォルダではなくファイルがあります"
      << QStringList{"pics/a.jpg/x"} << QString();
}

void NewFolderTest::clickOnce() {
  QFETCH(QString, relative);
  QFETCH(Outcome, outcome);
  QFETCH(QString, must_be_dir);
  QFETCH(QString, reason);
  QFETCH(QStringList, never);
  QFETCH(QString, around);
  const QString text = At(relative);

  NewFolder(prompter_).Create(nullptr, around + text + around);

  QCOMPARE(prompter_.boxes.size(), 1);
  const testing::Box& box = prompter_.boxes[0];
  QCOMPARE(box.buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
  switch (outcome) {
    case Outcome::kExists:
      QCOMPARE(box.title, kExistsTitle);
      QCOMPARE(box.text, kExistsText);
      QCOMPARE(box.icon, QMessageBox::Warning);
      break;
    case Outcome::kCreated:
      QCOMPARE(box.title, kNewFolderTitle);
      QCOMPARE(box.text.split(u'\n'),
               (QStringList{QStringLiteral("フォルダ"), text, QStringLiteral("が作成されました")}));
      QCOMPARE(box.icon, QMessageBox::Information);
      break;
    case Outcome::kFailed:
      QCOMPARE(box.title, kNewFolderTitle);
      QCOMPARE(box.text.split(u'\n'), (QStringList{kNotCreated, text, reason}));
      QCOMPARE(box.icon, QMessageBox::Critical);
      break;
  }
  if (!must_be_dir.isEmpty()) QVERIFY(QFileInfo(At(must_be_dir)).isDir());
  for (const QString& name : never) QVERIFY2(!QFileInfo::exists(At(name)), qPrintable(name));
  QVERIFY(QFileInfo(At(QStringLiteral("note.txt"))).isFile());
}

void NewFolderTest::secondClickSaysExists() {
  const QString text = At(QStringLiteral("a/b/c"));
  NewFolder new_folder(prompter_);

  new_folder.Create(nullptr, text);
  new_folder.Create(nullptr, text);

  QCOMPARE(prompter_.boxes.size(), 2);
  QCOMPARE(prompter_.boxes[0].title, kNewFolderTitle);
  QCOMPARE(prompter_.boxes[1].title, kExistsTitle);
  QCOMPARE(prompter_.boxes[1].text, kExistsText);
}

void NewFolderTest::emptyBoxNeverReportsSuccess() {
  const QStringList before = QDir(dir_->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

  NewFolder(prompter_).Create(nullptr, QString());

  QCOMPARE(prompter_.boxes.size(), 1);
  QCOMPARE(prompter_.boxes[0].title, kNewFolderTitle);
  QCOMPARE(prompter_.boxes[0].text.split(u'\n'),
           (QStringList{kNotCreated, QString(), QStringLiteral("フォルダ名が入力されていません")}));
  QCOMPARE(QDir(dir_->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
}

void NewFolderTest::nulInTextCreatesNothing() {
  // A NUL would cut the name at "cut" if it reached the file system.
  const QString text = At(QStringLiteral("cut")) + QChar(u'\0') + QStringLiteral("rest");

  NewFolder(prompter_).Create(nullptr, text);

  QCOMPARE(prompter_.boxes.size(), 1);
  QCOMPARE(prompter_.boxes[0].icon, QMessageBox::Critical);
  QVERIFY(prompter_.boxes[0].text.startsWith(kNotCreated + u'\n'));
  QVERIFY(!QFileInfo::exists(At(QStringLiteral("cut"))));
}

void NewFolderTest::readOnlyParentFails() {
  QVERIFY(QDir(dir_->path()).mkpath(QStringLiteral("locked")));
  QVERIFY(QFile::setPermissions(At(QStringLiteral("locked")),
                                QFile::ReadOwner | QFile::ExeOwner));
  if (QFile probe(At(QStringLiteral("locked/probe"))); probe.open(QIODevice::WriteOnly)) {
    QSKIP("a read-only folder takes new files here (an administrator, or Windows); covered by "
          "the file-in-the-way rows");
  }
  const QString text = At(QStringLiteral("locked/new/deeper"));

  NewFolder(prompter_).Create(nullptr, text);

  QCOMPARE(prompter_.boxes.size(), 1);
  QCOMPARE(prompter_.boxes[0].text.split(u'\n'),
           (QStringList{kNotCreated, text, QStringLiteral("その場所に書き込む権限がありません")}));
  QVERIFY(!QFileInfo::exists(At(QStringLiteral("locked/new"))));
}

void NewFolderTest::relativePathIsRefused_data() {
  QTest::addColumn<QString>("box");
  QTest::addColumn<QString>("shown");  // the folder line of the message
  QTest::newRow("a name alone") << "img" << "img";
  QTest::newRow("below a name") << "img/sub" << "img/sub";
  QTest::newRow("dot") << "./img" << "./img";
  QTest::newRow("spaces around a name") << " img " << "img";
}

void NewFolderTest::relativePathIsRefused() {
  // Created under whatever the working folder is, it would not be where the user looks.
  QFETCH(QString, box);
  QFETCH(QString, shown);
  const QString working = QDir::currentPath();
  QVERIFY(QDir::setCurrent(dir_->path()));
  const QStringList before = QDir(dir_->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

  NewFolder(prompter_).Create(nullptr, box);

  const QStringList after = QDir(dir_->path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
  QVERIFY(QDir::setCurrent(working));
  QCOMPARE(after, before);
  const QString reason = QStringLiteral("フォルダはフルパスで指定してください");
  const QString text = kNotCreated + u'\n' + shown + u'\n' + reason;
  QCOMPARE(prompter_.boxes, (testing::Boxes{{kNewFolderTitle, text, QMessageBox::Critical}}));
}

}  // namespace pelmoa

PELMOA_TEST_CLASS(pelmoa::NewFolderTest);
#include "new_folder_test.moc"
