// The main window as built: every control's name, kind, container, place, caption, tip,
// tab order and initial state, compared with the window's definition.

#include <QCheckBox>
#include <QFontInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QSpinBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "desktop/qt_japanese.h"
#include "main_window_test.h"
#include "mainwindow/frm_main.h"
#include "mainwindow/progress_bar.h"
#include "mainwindow/status_bar.h"
#include "test_class.h"

using pelmoa::frmMain;

namespace {

// At the screen's logical DPI (15 twips a pixel at 96 DPI).
int Px(double twips) {
  return qRound(twips * QGuiApplication::primaryScreen()->logicalDotsPerInchX() / 1440.0);
}

QString U(const char* utf8) { return QString::fromUtf8(utf8); }

}  // namespace

class FrmMainLayoutTest : public pelmoa::testing::MainWindowTest {
  Q_OBJECT

 private slots:
  void windowItself() {
    QCOMPARE(window_->objectName(), QStringLiteral("frmMain"));
    QCOMPARE(QString(window_->metaObject()->className()), QStringLiteral("pelmoa::frmMain"));
    QCOMPARE(window_->windowTitle(), U("ぺるもあ"));
    QCOMPARE(window_->size(), QSize(Px(7500), Px(5085)));
    const Qt::WindowFlags flags = window_->windowFlags();
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    const QIcon icon = window_->windowIcon();
    QVERIFY(!icon.isNull());
    QVERIFY(icon.availableSizes().contains(QSize(32, 32)));
  }

  void controls_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("container");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("tip");

    auto row = [](const char* name, const char* kind, const char* container, QRect twips,
                  const char* caption, const char* tip) {
      QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(kind)
                          << QString::fromLatin1(container) << twips << U(caption) << U(tip);
    };
    row("Frame2", "QGroupBox", "frmMain", {90, 135, 7275, 1725}, "対象URL(&U)", "");
    row("txtURL", "QLineEdit", "Frame2", {180, 270, 6885, 330}, "",
        "画像をダウンロードしたいページのURLを指定します。");
    row("cmdFav", "QPushButton", "Frame2", {180, 690, 1830, 420}, "お気に入り(&F)...",
        "Internet Explorerの「お気に入り」からURLを取得します。");
    row("cmdCurr", "QPushButton", "Frame2", {2137, 690, 3255, 420}, "現在IEで表示中のページ(&I)",
        "いま開いているInternet Explorerのウィンドウで表示しているページのURLを取得します");
    row("cmdReg", "QPushButton", "Frame2", {5520, 690, 1230, 420}, "登録(&R)...",
        "ぺるもあ用にURLを登録したり、登録したURLを選択できます。");
    row("cmdBrowse", "QPushButton", "frmMain", {270, 1290, 3870, 420},
        "ブラウザでこのページを開く(&B)...", "指定しているURLを標準のウェブブラウザで開きます。");
    row("chkModern", "QCheckBox", "Frame2", {4230, 1222, 2910, 285}, "最近のページにも対応(&W)",
        "遅延読み込みの画像(data-src)、srcsetの一番大きい画像、.jpeg・.webpの画像、"
        "?の付いたアドレスも探します。");
    row("Frame3", "QGroupBox", "frmMain", {90, 2025, 7275, 1365}, "保存先フォルダ(&S)", "");
    row("txtFolder", "QLineEdit", "Frame3", {180, 360, 6885, 315}, "",
        "ダウンロードした画像を保存するフォルダを指定します。");
    row("cmdFolder", "QPushButton", "Frame3", {180, 720, 1365, 420}, "参照(&B)...",
        "フォルダを指定するダイアログを表示します。");
    row("cmdNew", "QPushButton", "Frame3", {1710, 720, 1755, 420}, "新規作成(&N)",
        "フォルダを新規作成します。");
    row("Frame1", "QGroupBox", "frmMain", {90, 3510, 2490, 1110}, "表示(&V)", "");
    row("chkView", "QCheckBox", "Frame1", {255, 345, 2145, 285}, "画像を表示する(&P)",
        "ダウンロードした画像をぺるもあで一覧表示させるかどうかを指定します。");
    row("chkHalf", "QCheckBox", "Frame1", {735, 660, 1650, 285}, "縮小表示(&T)",
        "表示する画像を１/２サイズに縮小するかどうか指定します。");
    row("cmdGet", "QPushButton", "frmMain", {2745, 3570, 1725, 465}, "ぺ～る！(&G)",
        "指定に従ってダウンロードを実行します。");
    row("cmdQuit", "QPushButton", "frmMain", {4597, 3570, 1185, 465}, "終了(&Q)",
        "ぺるもあを終了します。");
    row("cmdHelp", "QPushButton", "frmMain", {5910, 3570, 1395, 465}, "ヘルプ(&H)...",
        "ぺるもあのヘルプを表示します。");
    row("stbStat", "QStatusBar", "frmMain", {0, 4740, 7500, 345}, "", "");
    row("kpbDL", "QProgressBar", "frmMain", {2700, 4200, 4725, 465}, "", "");
  }

  void controls() {
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(QString, container);
    QFETCH(QRect, twips);
    QFETCH(QString, caption);
    QFETCH(QString, tip);

    auto* w = window_->findChild<QWidget*>(name);
    QVERIFY2(w, qPrintable(name));
    QVERIFY(w->inherits(kind.toLatin1().constData()));
    QCOMPARE(w->parentWidget()->objectName(), container);
    QCOMPARE(w->geometry(),
             QRect(Px(twips.x()), Px(twips.y()), Px(twips.width()), Px(twips.height())));
    if (auto* b = qobject_cast<QAbstractButton*>(w)) QCOMPARE(b->text(), caption);
    if (auto* g = qobject_cast<QGroupBox*>(w)) QCOMPARE(g->title(), caption);
    QCOMPARE(w->toolTip(), tip);
  }

  void membersAreTheNamedControls() {
    QCOMPARE(window_->txtURL, window_->findChild<QLineEdit*>("txtURL"));
    QCOMPARE(window_->txtFolder, window_->findChild<QLineEdit*>("txtFolder"));
    QCOMPARE(window_->cmdGet, window_->findChild<QPushButton*>("cmdGet"));
    QCOMPARE(window_->cmdQuit, window_->findChild<QPushButton*>("cmdQuit"));
    QCOMPARE(static_cast<QWidget*>(window_->kpbDL), window_->findChild<QWidget*>("kpbDL"));
    QCOMPARE(static_cast<QWidget*>(window_->stbStat), window_->findChild<QWidget*>("stbStat"));
  }

  void browseButtonLiesAboveFrame2() {
    // Same parent chain: the later sibling in the window's child list is drawn on top.
    const QObjectList& children = window_->children();
    QVERIFY(children.indexOf(window_->cmdBrowse) > children.indexOf(window_->Frame2));
    QCOMPARE(window_->childAt(window_->cmdBrowse->geometry().center()), window_->cmdBrowse);
  }

  void initialState() {
    QCOMPARE(window_->txtURL->text(), QString());
    QVERIFY(!window_->chkView->isChecked());
    QVERIFY(!window_->chkHalf->isChecked());
    QVERIFY(!window_->chkHalf->isEnabled());
    QVERIFY(window_->chkView->isEnabled());
    QVERIFY(window_->kpbDL->isHidden());
    QCOMPARE(window_->kpbDL->text(), QStringLiteral("0/100"));
    QCOMPARE(window_->stbStat->PanelText(), QString());
    QVERIFY(window_->cmdGet->isDefault());
    for (QWidget* w : window_->LockedControls()) QVERIFY(w->isEnabled());
  }

  void statusBarHasOnePanelWithItsTip() {
    QCOMPARE(window_->stbStat->Panel()->toolTip(), U("現在の作業状況を表示します。"));
    QCOMPARE(window_->stbStat->findChildren<QLabel*>().size(), 1);
    // The panel fills the bar.
    QVERIFY(window_->stbStat->Panel()->width() >= window_->stbStat->width() - 16);
  }

  void fonts() {
    QCOMPARE(window_->font().family(), QStringLiteral("MS UI Gothic"));
    QCOMPARE(window_->font().pointSizeF(), 11.25);
    QCOMPARE(window_->font().weight(), QFont::Normal);
    QCOMPARE(window_->cmdGet->font().family(), QStringLiteral("MS UI Gothic"));
    QCOMPARE(window_->chkView->font().pointSizeF(), 11.25);
    QCOMPARE(window_->txtFolder->font().family(), U("ＭＳ ゴシック"));
    QCOMPARE(window_->txtFolder->font().pointSizeF(), 11.25);
    QCOMPARE(window_->kpbDL->font().family(), QStringLiteral("MS UI Gothic"));
    QCOMPARE(window_->kpbDL->font().pointSizeF(), 12.0);
    // The Windows fonts are not installed here: a Japanese font stands in for them.
    const QString shown = QFontInfo(window_->cmdGet->font()).family();
    QVERIFY2(shown.contains(QStringLiteral("Gothic"), Qt::CaseInsensitive) ||
                 shown.contains(QStringLiteral("CJK")),
             qPrintable(shown));
    QVERIFY(QFontMetrics(window_->cmdGet->font()).inFont(U("ぺ").at(0)));
  }

  void captionsFitTheirControls() {
    // A caption wider than its button would be cut off.
    const QList<QAbstractButton*> buttons = window_->findChildren<QAbstractButton*>();
    QCOMPARE(buttons.size(), 13);  // nine push buttons, four check boxes
    for (QAbstractButton* b : buttons) {
      QString shown = b->text();
      shown.remove(QLatin1Char('&'));
      const int text_width = QFontMetrics(b->font()).horizontalAdvance(shown);
      const int room = qobject_cast<QCheckBox*>(b) ? b->width() - 20 : b->width() - 4;
      QVERIFY2(text_width <= room, qPrintable(b->objectName()));
    }
  }

  void tabOrder() {
    const QList<QWidget*> expected = {
        window_->txtURL,    window_->cmdFav,    window_->cmdCurr,   window_->cmdReg,
        window_->cmdBrowse, window_->chkModern, window_->txtFolder, window_->cmdFolder,
        window_->cmdNew,    window_->chkView,   window_->chkHalf,   window_->cmdGet,
        window_->cmdQuit,   window_->cmdHelp,   window_->chkSmall,  window_->updMinSide};
    QWidget* w = window_->txtURL;
    for (int i = 1; i < expected.size(); ++i) {
      w = w->nextInFocusChain();
      while (w->focusPolicy() == Qt::NoFocus) w = w->nextInFocusChain();
      QCOMPARE(w->objectName(), expected[i]->objectName());
    }
  }

  void tabKeyWalksTheControls() {
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    window_->txtURL->setFocus();
    // chkHalf is disabled at start and is passed over.
    const QStringList expected = {"cmdFav",    "cmdCurr", "cmdReg",  "cmdBrowse", "chkModern",
                                  "txtFolder", "cmdFolder", "cmdNew", "chkView", "cmdGet", "cmdQuit",
                                  "cmdHelp",   "chkSmall", "updMinSide", "txtURL"};
    for (const QString& name : expected) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      QCOMPARE(QApplication::focusWidget()->objectName(), name);
    }
  }

  void accessKeyOfAFrameFocusesItsBox() {
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    window_->cmdGet->setFocus();
    QTest::keyClick(window_.get(), Qt::Key_S, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), window_->txtFolder);
    QTest::keyClick(window_.get(), Qt::Key_U, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), window_->txtURL);
  }

  // Below the run buttons, where the progress bar appears during a run: the bar covers both
  // whole then, and they overlap nothing while it is hidden.
  void smallPictureOptions() {
    QCOMPARE(window_->chkSmall->text(), U("小さな画像を除く(&M)"));
    QVERIFY(!window_->chkSmall->isChecked());
    QCOMPARE(window_->updMinSide->value(), 100);
    const QRect bar = window_->kpbDL->geometry();
    const int buttons_bottom = window_->cmdGet->geometry().bottom();
    for (QWidget* w : {static_cast<QWidget*>(window_->chkSmall),
                       static_cast<QWidget*>(window_->updMinSide)}) {
      QVERIFY2(bar.contains(w->geometry()), qPrintable(w->objectName()));
      QVERIFY(w->geometry().top() > buttons_bottom);
      for (QWidget* other : window_->findChildren<QWidget*>()) {
        if (other == w || other == window_->kpbDL || other->parentWidget() != window_.get() ||
            other->isAncestorOf(w) || w->isAncestorOf(other)) {
          continue;
        }
        QVERIFY2(!other->geometry().intersects(w->geometry()), qPrintable(other->objectName()));
      }
    }
    // The spin box's widest value fits it, beside its arrows.
    QVERIFY(window_->updMinSide->sizeHint().width() <= window_->updMinSide->width());
    window_->kpbDL->SetShown(true);
    QCOMPARE(window_->childAt(window_->chkSmall->geometry().center()),
             static_cast<QWidget*>(window_->kpbDL));
    QCOMPARE(window_->childAt(window_->updMinSide->geometry().center()),
             static_cast<QWidget*>(window_->kpbDL));
    window_->kpbDL->SetShown(false);
  }

  void chkViewEnablesChkHalf() {
    window_->chkView->setChecked(true);
    QVERIFY(window_->chkHalf->isEnabled());
    window_->chkHalf->setChecked(true);
    window_->chkView->setChecked(false);
    QVERIFY(!window_->chkHalf->isEnabled());
    QVERIFY(window_->chkHalf->isChecked());  // keeps its tick while disabled
    QTest::mouseClick(window_->chkView, Qt::LeftButton);
    QVERIFY(window_->chkView->isChecked());
    QVERIFY(window_->chkHalf->isEnabled());
  }

  void questionBoxSaysHaiAndIie() {
    // The help tells the user to press 「はい」 or 「いいえ」: Qt's own button texts must be
    // Japanese whatever the system's locale.
    QVERIFY(pelmoa::InstallQtJapanese());
    QMessageBox box(QMessageBox::Question, U("指定エラー"), U("新規にフォルダを作成しますか？"),
                    QMessageBox::Yes | QMessageBox::No, window_.get());
    QCOMPARE(box.button(QMessageBox::Yes)->text(), U("はい(&Y)"));
    QCOMPARE(box.button(QMessageBox::No)->text(), U("いいえ(&N)"));
  }

  void progressBarOperations() {
    pelmoa::ProgressBar* bar = window_->kpbDL;
    QStringList ops;
    connect(bar, &pelmoa::ProgressBar::Operated, this, [&](const QString& op) { ops << op; });
    bar->SetMax(12);
    bar->SetValue(0);
    bar->SetShown(true);
    QVERIFY(bar->isVisible());
    QCOMPARE(bar->text(), QStringLiteral("0/12"));
    for (int i = 0; i < 10; ++i) bar->Step();
    QCOMPARE(bar->text(), QStringLiteral("10/12"));
    bar->SetShown(false);
    QVERIFY(bar->isHidden());
    // A second run starts from an empty bar whatever the first left.
    bar->SetMax(3);
    bar->SetValue(0);
    QCOMPARE(bar->text(), QStringLiteral("0/3"));
    for (int i = 0; i < 5; ++i) bar->Step();
    QCOMPARE(bar->text(), QStringLiteral("3/3"));
    QCOMPARE(ops.first(4), QStringList({"max:12", "value:0", "visible:1", "step"}));
  }
};

PELMOA_TEST_CLASS(FrmMainLayoutTest);
#include "frm_main_layout_test.moc"
