// Start-up and shut-down of the main window: where it is placed, which folder it offers,
// what closing and quitting store, and the keys Enter and Esc.

#include <QCheckBox>
#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTest>
#include <QWindow>
#include <filesystem>
#include <memory>

#include "desktop/default_folder.h"
#include "main_window_test.h"
#include "mainwindow/address_completion.h"
#include "mainwindow/frm_main.h"
#include "sources/registered_url_store.h"
#include "temp_dir.h"
#include "test_class.h"

using pelmoa::frmMain;

namespace {

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

// Twips and pixels at the screen's logical DPI (15 twips a pixel at 96 DPI).
double TwipsPerPixel() { return 1440.0 / QGuiApplication::primaryScreen()->logicalDotsPerInchX(); }
int Px(double twips) { return qRound(twips / TwipsPerPixel()); }
QString Twips(int pixels) { return QString::number(pixels * TwipsPerPixel()); }

}  // namespace

class FrmMainStartupTest : public pelmoa::testing::MainWindowTest {
  Q_OBJECT

 private slots:
  // The window opens in each case, after the settings it starts from are written.
  void init() {
    dir_ = std::make_unique<pelmoa::testing::TempDir>();
    NewCase();
  }

  void cleanup() {
    EndCase();
    dir_.reset();
  }

  void firstStartIsCentredWithTheDefaultFolder() {
    Open();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect outer = window_->frameGeometry();
    // (screen - outer window) / 2, in twips, halves kept; then to pixels.
    const double tpp = TwipsPerPixel();
    const double left_twips = (screen.width() * tpp - outer.width() * tpp) / 2;
    const double top_twips = (screen.height() * tpp - outer.height() * tpp) / 2;
    QVERIFY(qAbs(window_->pos().x() - left_twips / tpp) <= 1.0);
    QVERIFY(qAbs(window_->pos().y() - top_twips / tpp) <= 1.0);
    QCOMPARE(window_->size(), QSize(Px(7500), Px(5085)));

    const QString folder = QDir::toNativeSeparators(QCoreApplication::applicationDirPath() +
                                                    QStringLiteral("/DLImages"));
    QCOMPARE(window_->txtFolder->text(), folder);
    QVERIFY(!QFileInfo::exists(folder));
    // Loading writes nothing.
    QVERIFY(Stored("WindowTop").isNull());
  }

  void defaultFolderIsWritable_data() {
    QTest::addColumn<QString>("program");
    QTest::addColumn<bool>("beside");
    QTest::newRow("beside a program the user can write to") << QString() << true;
    // /proc refuses new files even to an administrator, whom permission bits do not stop.
    QTest::newRow("beside a program in a read-only folder") << QStringLiteral("/proc") << false;
    // Installed: where an administrator could write, the images still go where users look.
    QTest::newRow("beside an installed program")
        << pelmoa::InstalledProgramRoots().value(0) << false;
  }

  void defaultFolderIsWritable() {
    QFETCH(QString, program);
    QFETCH(bool, beside);
    if (program.isEmpty()) program = QString::fromStdString(dir_->str());
    const QString expected = QDir::toNativeSeparators(
        beside ? program + QStringLiteral("/DLImages")
               : QStandardPaths::writableLocation(QStandardPaths::PicturesLocation) +
                     QStringLiteral("/DLImages"));
    QCOMPARE(pelmoa::DefaultDownloadFolder(program), expected);
    QVERIFY(!QFileInfo::exists(expected));
    QCOMPARE(QDir(QString::fromStdString(dir_->str())).entryList(QDir::AllEntries | QDir::Hidden |
                                                                  QDir::NoDotAndDotDot),
             QStringList());
  }

  void storedPositionAndFolderAreUsed() {
    Store("WindowTop", "1500");
    Store("WindowLeft", "3000");
    Store("DLFolder", "/srv/画像");
    Open();
    QCOMPARE(window_->pos(), QPoint(Px(3000), Px(1500)));
    QCOMPARE(window_->txtFolder->text(), U("/srv/画像"));
  }

  void topStoredLeftMissing() {
    // Left reads -1 twips: not centred, the window goes to the left edge.
    Store("WindowTop", "1500");
    Open();
    QCOMPARE(window_->pos().y(), Px(1500));
    QVERIFY(window_->pos().x() <= 2);
  }

  void bothMinusOneIsAFirstStart() {
    Store("WindowTop", "-1");
    Store("WindowLeft", "-1");
    Open();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QVERIFY(qAbs(window_->frameGeometry().center().x() - screen.center().x()) <= 2);
    QVERIFY(qAbs(window_->frameGeometry().center().y() - screen.center().y()) <= 2);
  }

  void unusableStoredPositionIsCentred_data() {
    QTest::addColumn<QString>("top");
    QTest::addColumn<QString>("left");
    QTest::newRow("not numbers") << "abc" << "x12";
    QTest::newRow("empty texts") << "" << "";
    QTest::newRow("far left and above") << "-90000" << "-90000";
    QTest::newRow("far right and below") << "900000" << "900000";
    QTest::newRow("huge") << "1e30" << "1e30";
    QTest::newRow("not finite") << "nan" << "inf";
  }

  void unusableStoredPositionIsCentred() {
    QFETCH(QString, top);
    QFETCH(QString, left);
    Store("WindowTop", top);
    Store("WindowLeft", left);
    Open();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QVERIFY(qAbs(window_->frameGeometry().center().x() - screen.center().x()) <= 2);
    QVERIFY(qAbs(window_->frameGeometry().center().y() - screen.center().y()) <= 2);
  }

  void partlyVisiblePositionIsKept() {
    // Only a window entirely off every screen is brought back: this one shows 100 pixels
    // of its left part at the bottom right corner of the screen.
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QPoint corner(screen.right() + 1 - 100, screen.bottom() + 1 - 100);
    Store("WindowTop", Twips(corner.y()));
    Store("WindowLeft", Twips(corner.x()));
    Open();
    QCOMPARE(window_->pos(), corner);
  }

  void oneNonNumberReadsAsMinusOne() {
    Store("WindowTop", "1500");
    Store("WindowLeft", "abc");
    Open();
    QCOMPARE(window_->pos().y(), Px(1500));
    QVERIFY(window_->pos().x() <= 2);
  }

  void registeredAddressesAreProposed() {
    pelmoa::SaveRegisteredUrls(settings_->store(), {{U("画像の館"), QStringLiteral("http://gallery.test/")},
                                            {U("日記"), QStringLiteral("http://diary.test/")}});
    Open();
    const QStringList known = window_->address_completion()->Addresses();
    QVERIFY(known.contains(QStringLiteral("http://gallery.test/")));
    QVERIFY(known.contains(QStringLiteral("http://diary.test/")));
    window_->AddCompletionAddresses({QStringLiteral("http://later.test/")});
    QVERIFY(window_->address_completion()->Addresses().contains(QStringLiteral("http://later.test/")));
  }

  void closingSavesThePositionInTwips() {
    Open();
    window_->move(123, 45);
    QCOMPARE(window_->pos(), QPoint(123, 45));
    window_->close();
    QCOMPARE(Stored("WindowTop"), Twips(45));
    QCOMPARE(Stored("WindowLeft"), Twips(123));
    // Only the position: a typed folder is not kept.
    QVERIFY(Stored("DLFolder").isNull());
  }

  void closedPositionIsWhereTheNextStartOpens() {
    Open();
    QVERIFY(!window_->chkModern->isChecked());
    window_->move(210, 120);
    window_->chkModern->click();
    QCOMPARE(Stored("ModernPages"), QStringLiteral("1"));
    window_->chkSmall->click();
    window_->updMinSide->setValue(250);
    QCOMPARE(Stored("MinimumSide"), QStringLiteral("250"));
    window_->close();
    window_.reset();
    Open();
    QCOMPARE(window_->pos(), QPoint(210, 120));
    QVERIFY(window_->chkModern->isChecked());
    QVERIFY(window_->chkSmall->isChecked());
    QCOMPARE(window_->updMinSide->value(), 250);
    window_->chkSmall->click();
    QCOMPARE(Stored("MinimumSide"), QStringLiteral("0"));
  }

  // 0 is off; the box offers 100 px until the user picks another side.
  void minimumSideFromTheSettings_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("ticked");
    QTest::addColumn<int>("side");
    QTest::newRow("none stored") << QString() << false << 100;
    QTest::newRow("off") << QStringLiteral("0") << false << 100;
    QTest::newRow("one pixel") << QStringLiteral("1") << true << 1;
    QTest::newRow("negative") << QStringLiteral("-3") << false << 100;
    QTest::newRow("no number") << QStringLiteral("100px") << false << 100;
    QTest::newRow("above the largest") << QStringLiteral("123456") << true << 9999;
  }

  void minimumSideFromTheSettings() {
    QFETCH(QString, stored);
    QFETCH(bool, ticked);
    QFETCH(int, side);
    if (!stored.isNull()) Store("MinimumSide", stored);
    Open();
    QCOMPARE(window_->chkSmall->isChecked(), ticked);
    QCOMPARE(window_->updMinSide->value(), side);
    QCOMPARE(Stored("MinimumSide"), stored);  // loading writes nothing back
  }

  void restartsLeaveTheWindowWhereTheUserPutIt() {
    // The frame's corner is saved and restored: a restart that restored the client area's
    // corner instead would creep up by the title bar every time. On the offscreen platform
    // the frame is known at once; the same test runs under a real window manager as well.
    const QPoint put(230, 260);
    Store("WindowTop", Twips(put.y()));
    Store("WindowLeft", Twips(put.x()));
    for (int start = 1; start <= 3; ++start) {
      Open();
      QTRY_VERIFY(window_->windowHandle()->frameMargins().top() > 0);
      QTRY_COMPARE(window_->frameGeometry().topLeft(), put);
      const QMargins frame = window_->windowHandle()->frameMargins();
      QCOMPARE(window_->geometry().topLeft(), put + QPoint(frame.left(), frame.top()));
      window_->close();
      QCOMPARE(Stored("WindowTop"), Twips(put.y()));
      QCOMPARE(Stored("WindowLeft"), Twips(put.x()));
      window_.reset();
    }
  }

  void closingMinimizedSavesNothing() {
    Store("WindowTop", "1500");
    Store("WindowLeft", "3000");
    Open();
    window_->move(50, 60);
    window_->showMinimized();
    QVERIFY(window_->isMinimized());
    window_->close();
    QCOMPARE(Stored("WindowTop"), QStringLiteral("1500"));
    QCOMPARE(Stored("WindowLeft"), QStringLiteral("3000"));
  }

  void closingMinimizedAtFirstStartKeepsCentring() {
    Open();
    window_->showMinimized();
    window_->close();
    QVERIFY(Stored("WindowTop").isNull());
    QVERIFY(Stored("WindowLeft").isNull());
  }

  void quitSavesThePositionAndEndsTheProgram() {
    Open();
    pelmoa::testing::FakeViewer viewer;
    window_->SetImageViewer(&viewer);
    QSignalSpy ended(window_.get(), &frmMain::EndProgram);
    window_->move(30, 40);
    window_->cmdQuit->click();
    QCOMPARE(ended.count(), 1);
    QCOMPARE(Stored("WindowTop"), Twips(40));
    QCOMPARE(Stored("WindowLeft"), Twips(30));
    QCOMPARE(viewer.Count("close-all"), 1);
    QVERIFY(!window_->isVisible());
  }

  void quitMinimizedSavesNothing() {
    Open();
    QSignalSpy ended(window_.get(), &frmMain::EndProgram);
    window_->showMinimized();
    window_->cmdQuit_Click();
    QCOMPARE(ended.count(), 1);
    QVERIFY(Stored("WindowTop").isNull());
  }

  void closeBoxLeavesTheViewerOpen() {
    Open();
    pelmoa::testing::FakeViewer viewer;
    window_->SetImageViewer(&viewer);
    QSignalSpy ended(window_.get(), &frmMain::EndProgram);
    window_->close();
    QCOMPARE(viewer.Count("close-all"), 0);
    QCOMPARE(ended.count(), 0);
  }

  void enterInTextBoxesAndCheckBoxesPressesGet_data() {
    QTest::addColumn<QString>("control");
    QTest::newRow("txtURL") << "txtURL";
    QTest::newRow("txtFolder") << "txtFolder";
    QTest::newRow("chkView") << "chkView";
    QTest::newRow("updMinSide") << "updMinSide";
  }

  void enterInTextBoxesAndCheckBoxesPressesGet() {
    QFETCH(QString, control);
    Open();
    window_->chkView->setChecked(true);
    QSignalSpy get(window_->cmdGet, &QPushButton::clicked);
    window_->txtFolder->clear();  // so the press ends at message E and starts nothing
    QTest::keyClick(window_->findChild<QWidget*>(control), Qt::Key_Return);
    QCOMPARE(get.count(), 1);
    QCOMPARE(prompter_.boxes.size(), 1);
    QTest::keyClick(window_->findChild<QWidget*>(control), Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(get.count(), 2);
  }

  void enterOnAnotherButtonPressesThatButton() {
    Open();
    QSignalSpy get(window_->cmdGet, &QPushButton::clicked);
    QSignalSpy ended(window_.get(), &frmMain::EndProgram);
    QTest::keyClick(window_->cmdQuit, Qt::Key_Return);
    QCOMPARE(ended.count(), 1);
    QCOMPARE(get.count(), 0);
    QVERIFY(prompter_.boxes.empty());
  }

  void escapePressesQuitWherever_data() {
    QTest::addColumn<QString>("control");
    QTest::newRow("txtURL") << "txtURL";
    QTest::newRow("chkView") << "chkView";
    QTest::newRow("cmdFav") << "cmdFav";
    QTest::newRow("window") << "frmMain";
  }

  void escapePressesQuitWherever() {
    QFETCH(QString, control);
    Open();
    QSignalSpy ended(window_.get(), &frmMain::EndProgram);
    QWidget* target = control == QLatin1String("frmMain")
                          ? static_cast<QWidget*>(window_.get())
                          : window_->findChild<QWidget*>(control);
    QTest::keyClick(target, Qt::Key_Escape);
    QCOMPARE(ended.count(), 1);
    QVERIFY(!Stored("WindowTop").isNull());
  }

 private:
  void Store(const char* key, const QString& value) {
    settings_->store().WriteSetting("Pelmoa", "Setting", key, value);
  }

  QString Stored(const char* key) { return settings_->Stored("Setting", key); }

  std::unique_ptr<pelmoa::testing::TempDir> dir_;
};

PELMOA_TEST_CLASS(FrmMainStartupTest);
#include "frm_main_startup_test.moc"
