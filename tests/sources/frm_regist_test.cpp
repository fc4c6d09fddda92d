#include "sources/frm_regist.h"

#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <memory>

#include "desktop/fonts.h"
#include "fake_prompter.h"
#include "sources/registered_url_store.h"
#include "test_class.h"
#include "test_settings.h"

namespace pelmoa {

using Rows = QList<RegisteredUrl>;

class FrmRegistTest : public QObject {
  Q_OBJECT

 private slots:
  void init();
  void cleanup();

  void controlGeometry_data();
  void controlGeometry();
  void captions_data();
  void captions();
  void captionsFit();
  void windowShape();
  void tabOrder();
  void openingEmptyStore();
  void openingShowsStoredRowsInOrder();
  void clickSelects();
  void keyboardSelectionCountsAsClick();
  void blankUrlRefused_data();
  void blankUrlRefused();
  void titleNoneRefused_data();
  void titleNoneRefused();
  void addAppendsAsTyped_data();
  void addAppendsAsTyped();
  void editChangesTheSelectedRowOnly();
  void deleteRemovesAndDisables();
  void closingWithoutSaveLosesChanges_data();
  void closingWithoutSaveLosesChanges();
  void saveKeepsChangesAndTheWindowOpen();
  void okWritesExactlyTheUrlAndSavesNothing();
  void enterPressesOkOnlyWhileEnabled();

 private:
  void Seed(const Rows& rows) { SaveRegisteredUrls(store_->store(), rows); }
  void Open();
  template <typename W>
  W* Child(const char* name) {
    W* w = window_->findChild<W*>(QString::fromLatin1(name));
    if (!w) qFatal("no child %s", name);
    return w;
  }
  QTreeWidget* List() { return Child<QTreeWidget>("lvwList"); }
  QLineEdit* Title() { return Child<QLineEdit>("txtTitle"); }
  QLineEdit* Url() { return Child<QLineEdit>("txtURL"); }
  QPushButton* Button(const char* name) { return Child<QPushButton>(name); }
  Rows ListRows();
  void ClickRow(int row);
  // Edit, Delete and OK, which go together.
  bool SelectionButtons(bool enabled);

  std::unique_ptr<testing::TestSettings> store_;
  testing::FakePrompter prompter_;
  std::unique_ptr<QWidget> owner_;
  QLineEdit* main_url_ = nullptr;
  frmRegist* window_ = nullptr;
};

const Rows kThree{{"one", "http://one.example/"},
                  {"two", " http://two.example/?a=1,b "},
                  {"three", "http://three.example/"}};
const QString kErrorTitle = QStringLiteral("指定エラー");
const QString kNoUrlText = QStringLiteral("ＵＲＬを指定してください");
const QString kNoneTitleText =
    QStringLiteral("「None」はタイトルに使えません。別のタイトルを指定してください");

void FrmRegistTest::init() {
  store_ = std::make_unique<testing::TestSettings>();
  prompter_ = testing::FakePrompter();
  owner_ = std::make_unique<QWidget>();
  owner_->setGeometry(120, 90, 600, 480);
  main_url_ = new QLineEdit(owner_.get());
  main_url_->setText(QStringLiteral("http://before.example/"));
  owner_->show();
  window_ = nullptr;
}

void FrmRegistTest::cleanup() {
  delete window_;
  window_ = nullptr;
  owner_.reset();
  store_.reset();
}

void FrmRegistTest::Open() {
  delete window_;
  window_ = new frmRegist(owner_.get(), store_->store(), prompter_, main_url_);
  window_->show();
}

Rows FrmRegistTest::ListRows() {
  Rows rows;
  for (int i = 0; i < List()->topLevelItemCount(); ++i) {
    rows.append({List()->topLevelItem(i)->text(0), List()->topLevelItem(i)->text(1)});
  }
  return rows;
}

void FrmRegistTest::ClickRow(int row) {
  QTreeWidget* list = List();
  const QRect rect = list->visualItemRect(list->topLevelItem(row));
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

bool FrmRegistTest::SelectionButtons(bool enabled) {
  return Button("cmdEdit")->isEnabled() == enabled && Button("cmdDel")->isEnabled() == enabled &&
         Button("cmdOK")->isEnabled() == enabled;
}

void FrmRegistTest::controlGeometry_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QRect>("twips");
  QTest::newRow("lvwList") << "lvwList" << QRect(45, 45, 7215, 3645);
  QTest::newRow("Label2") << "Label2" << QRect(225, 4005, 1065, 225);
  QTest::newRow("txtTitle") << "txtTitle" << QRect(1545, 3945, 5655, 330);
  QTest::newRow("Label1") << "Label1" << QRect(225, 4425, 525, 225);
  QTest::newRow("txtURL") << "txtURL" << QRect(1545, 4365, 5655, 330);
  QTest::newRow("cmdAdd") << "cmdAdd" << QRect(300, 4905, 1215, 435);
  QTest::newRow("cmdEdit") << "cmdEdit" << QRect(1725, 4905, 1215, 435);
  QTest::newRow("cmdDel") << "cmdDel" << QRect(3165, 4905, 1215, 435);
  QTest::newRow("cmdSave") << "cmdSave" << QRect(4590, 4905, 1215, 435);
  QTest::newRow("cmdOK") << "cmdOK" << QRect(4455, 5445, 1185, 435);
  QTest::newRow("cmdCancel") << "cmdCancel" << QRect(5805, 5445, 1455, 435);
}

void FrmRegistTest::controlGeometry() {
  QFETCH(QString, name);
  QFETCH(QRect, twips);
  Open();
  const double dpi = window_->logicalDpiX();
  const auto px = [dpi](int t) { return qRound(t * dpi / 1440.0); };
  auto* w = window_->findChild<QWidget*>(name);
  QVERIFY(w);
  const QRect place(px(twips.x()), px(twips.y()), px(twips.width()), px(twips.height()));
  if (qobject_cast<QLabel*>(w)) {
    // A label may grow to fit its caption (captionsFit), from its place onwards.
    QCOMPARE(w->pos(), place.topLeft());
    QVERIFY(w->width() >= place.width() && w->height() >= place.height());
  } else {
    QCOMPARE(w->geometry(), place);
  }
}

void FrmRegistTest::captionsFit() {
  // With the program's fonts: a caption wider than its control is cut off, and a label lower
  // than its text loses the access key's underline.
  InstallFontSubstitutions();
  Open();
  for (QLabel* label : window_->findChildren<QLabel*>()) {
    QString shown = label->text();
    shown.remove(QLatin1Char('&'));
    const QFontMetrics metrics(label->font());
    QVERIFY2(metrics.horizontalAdvance(shown) <= label->contentsRect().width(),
             qPrintable(label->objectName()));
    QVERIFY2(metrics.height() <= label->contentsRect().height(), qPrintable(label->objectName()));
    // Nor may it reach into the box it names.
    QVERIFY(label->geometry().right() < label->buddy()->x());
  }
  for (QPushButton* b : window_->findChildren<QPushButton*>()) {
    QString shown = b->text();
    shown.remove(QLatin1Char('&'));
    QVERIFY2(QFontMetrics(b->font()).horizontalAdvance(shown) <= b->width() - 4,
             qPrintable(b->objectName()));
  }
}

void FrmRegistTest::captions_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("caption");
  QTest::newRow("Label2") << "Label2"
                          << "タイトル(&T)：";
  QTest::newRow("Label1") << "Label1"
                          << "&URL：";
  QTest::newRow("cmdAdd") << "cmdAdd"
                          << "追加(&A)";
  QTest::newRow("cmdEdit") << "cmdEdit"
                           << "修正(&R)";
  QTest::newRow("cmdDel") << "cmdDel"
                          << "削除(&D)";
  QTest::newRow("cmdSave") << "cmdSave"
                           << "保存(&S)";
  QTest::newRow("cmdOK") << "cmdOK"
                         << "&ＯＫ";
  QTest::newRow("cmdCancel") << "cmdCancel"
                             << "ｷｬﾝｾﾙ(&C)";
}

void FrmRegistTest::captions() {
  QFETCH(QString, name);
  QFETCH(QString, caption);
  Open();
  if (auto* label = window_->findChild<QLabel*>(name)) {
    QCOMPARE(label->text(), caption);
  } else {
    QCOMPARE(Button(name.toLatin1().constData())->text(), caption);
  }
}

void FrmRegistTest::windowShape() {
  Open();
  QCOMPARE(window_->windowTitle(), QStringLiteral("登録ＵＲＬ一覧"));
  const double dpi = window_->logicalDpiX();
  const QSize client(qRound(7335 * dpi / 1440.0), qRound(5955 * dpi / 1440.0));
  QCOMPARE(window_->size(), client);
  QCOMPARE(window_->minimumSize(), client);
  QCOMPARE(window_->maximumSize(), client);
  QVERIFY(!(window_->windowFlags() & Qt::WindowMaximizeButtonHint));
  QCOMPARE(window_->font().family(), QStringLiteral("MS UI Gothic"));
  QCOMPARE(window_->font().pointSizeF(), 11.25);
  QCOMPARE(window_->parentWidget(), owner_.get());
  // Centred on its owner.
  QVERIFY((window_->geometry().center() - owner_->geometry().center()).manhattanLength() <= 6);

  QTreeWidget* list = List();
  QCOMPARE(list->headerItem()->text(0), QStringLiteral("タイトル"));
  QCOMPARE(list->headerItem()->text(1), QStringLiteral("URL"));
  QCOMPARE(list->columnWidth(0), qRound(2000 * dpi / 1440.0));
  QCOMPARE(list->columnWidth(1), qRound(5000 * dpi / 1440.0));
  QVERIFY(!list->isSortingEnabled());
  QCOMPARE(Child<QLabel>("Label2")->buddy(), Title());
  QCOMPARE(Child<QLabel>("Label1")->buddy(), Url());
  QVERIFY(Button("cmdOK")->isDefault());
}

void FrmRegistTest::tabOrder() {
  Open();
  QStringList order;
  QWidget* w = List();
  do {
    if (w->focusPolicy() & Qt::TabFocus) order.append(w->objectName());
    w = w->nextInFocusChain();
  } while (w != List() && order.size() < 20);
  QCOMPARE(order, (QStringList{"lvwList", "txtTitle", "txtURL", "cmdAdd", "cmdEdit", "cmdDel",
                               "cmdSave", "cmdOK", "cmdCancel"}));
}

void FrmRegistTest::openingEmptyStore() {
  Open();
  QCOMPARE(List()->topLevelItemCount(), 0);
  QVERIFY(Title()->text().isEmpty());
  QVERIFY(Url()->text().isEmpty());
  QVERIFY(SelectionButtons(false));
  QVERIFY(Button("cmdAdd")->isEnabled());
  QVERIFY(Button("cmdSave")->isEnabled());
  QVERIFY(Button("cmdCancel")->isEnabled());
}

void FrmRegistTest::openingShowsStoredRowsInOrder() {
  const Rows unsorted{{"b", "http://b/"}, {"a", "http://a/"}, {"b", "http://b/"}};
  Seed(unsorted);
  Open();
  QCOMPARE(ListRows(), unsorted);
  QVERIFY(Title()->text().isEmpty());
  QVERIFY(Url()->text().isEmpty());
  QVERIFY(SelectionButtons(false));
}

void FrmRegistTest::clickSelects() {
  Seed(kThree);
  Open();
  ClickRow(1);
  QCOMPARE(Title()->text(), kThree[1].title);
  QCOMPARE(Url()->text(), kThree[1].url);
  QVERIFY(SelectionButtons(true));
  // Clicking the selected row again brings back what was typed over.
  Title()->setText(QStringLiteral("typed"));
  ClickRow(1);
  QCOMPARE(Title()->text(), kThree[1].title);
}

void FrmRegistTest::keyboardSelectionCountsAsClick() {
  Seed(kThree);
  Open();
  QTest::keyClick(List(), Qt::Key_Down);
  QTest::keyClick(List(), Qt::Key_Down);
  QCOMPARE(Title()->text(), kThree[1].title);
  QCOMPARE(Url()->text(), kThree[1].url);
  QVERIFY(SelectionButtons(true));
  QTest::keyClick(List(), Qt::Key_End);
  QCOMPARE(Title()->text(), kThree[2].title);
}

void FrmRegistTest::blankUrlRefused_data() {
  QTest::addColumn<QString>("button");
  QTest::addColumn<QString>("url");
  for (const char* button : {"cmdAdd", "cmdEdit"}) {
    QTest::addRow("%s empty", button) << button << "";
    QTest::addRow("%s spaces", button) << button << "   ";
    QTest::addRow("%s ideographic spaces", button) << button << "　 　";
  }
}

void FrmRegistTest::blankUrlRefused() {
  QFETCH(QString, button);
  QFETCH(QString, url);
  Seed(kThree);
  Open();
  ClickRow(0);
  Title()->setText(QString());
  Url()->setText(url);
  Button(button.toLatin1().constData())->click();
  QCOMPARE(prompter_.boxes, (testing::Boxes{{kErrorTitle, kNoUrlText, QMessageBox::Critical}}));
  QCOMPARE(ListRows(), kThree);
  QCOMPARE(Title()->text(), QString());  // not yet turned into "Untitled"
  QCOMPARE(Url()->text(), url);
  QVERIFY(SelectionButtons(true));
}

void FrmRegistTest::titleNoneRefused_data() {
  QTest::addColumn<QString>("button");
  QTest::addColumn<QString>("title");
  QTest::addColumn<bool>("refused");
  for (const char* button : {"cmdAdd", "cmdEdit"}) {
    QTest::addRow("%s None", button) << button << "None" << true;
    QTest::addRow("%s none", button) << button << "none" << false;
    QTest::addRow("%s None with a space", button) << button << "None " << false;
    QTest::addRow("%s NONE", button) << button << "NONE" << false;
  }
}

void FrmRegistTest::titleNoneRefused() {
  QFETCH(QString, button);
  QFETCH(QString, title);
  QFETCH(bool, refused);
  Seed(kThree);
  Open();
  ClickRow(0);
  Title()->setText(title);
  Url()->setText(QStringLiteral("http://none.example/"));
  Button(button.toLatin1().constData())->click();
  if (refused) {
    QCOMPARE(prompter_.boxes,
             (testing::Boxes{{kErrorTitle, kNoneTitleText, QMessageBox::Critical}}));
    QCOMPARE(ListRows(), kThree);
  } else {
    QVERIFY(prompter_.boxes.isEmpty());
    const RegisteredUrl entry{title, QStringLiteral("http://none.example/")};
    QVERIFY(ListRows().contains(entry));
    // Saved and loaded again, the title is an ordinary one.
    Button("cmdSave")->click();
    QVERIFY(LoadRegisteredUrls(store_->store()).contains(entry));
  }
}

void FrmRegistTest::addAppendsAsTyped_data() {
  QTest::addColumn<QString>("title");
  QTest::addColumn<QString>("url");
  QTest::addColumn<QString>("stored_title");
  QTest::newRow("empty title") << ""
                               << "http://a/"
                               << "Untitled";
  QTest::newRow("spaces title") << "   "
                                << "http://a/"
                                << "Untitled";
  QTest::newRow("spaces kept") << "  spaced  "
                               << "  http://a/  "
                               << "  spaced  ";
  QTest::newRow("japanese") << "日本語"
                            << "http://例え.jp/"
                            << "日本語";
}

void FrmRegistTest::addAppendsAsTyped() {
  QFETCH(QString, title);
  QFETCH(QString, url);
  QFETCH(QString, stored_title);
  Seed(kThree);
  Open();
  Title()->setText(title);
  Url()->setText(url);
  Button("cmdAdd")->click();
  QVERIFY(prompter_.boxes.isEmpty());
  QCOMPARE(ListRows(), (kThree + Rows{RegisteredUrl{stored_title, url}}));
  QCOMPARE(Title()->text(), stored_title);
  QCOMPARE(Url()->text(), url);
  QVERIFY(List()->selectedItems().isEmpty());
  QVERIFY(SelectionButtons(false));
  // The same entry may be added again.
  Button("cmdAdd")->click();
  QCOMPARE(ListRows().size(), 5);
}

void FrmRegistTest::editChangesTheSelectedRowOnly() {
  Seed(kThree);
  Open();
  ClickRow(1);
  Title()->setText(QStringLiteral("changed"));
  Url()->setText(QStringLiteral("http://changed/"));
  Button("cmdEdit")->click();
  QCOMPARE(ListRows(), (Rows{kThree[0], {"changed", "http://changed/"}, kThree[2]}));
  QVERIFY(SelectionButtons(true));
  Title()->setText(QString());
  Button("cmdEdit")->click();
  QCOMPARE(Title()->text(), QStringLiteral("Untitled"));
  QCOMPARE(ListRows()[1], (RegisteredUrl{"Untitled", "http://changed/"}));
}

void FrmRegistTest::deleteRemovesAndDisables() {
  Seed(kThree);
  Open();
  ClickRow(1);
  Button("cmdDel")->click();
  QCOMPARE(ListRows(), (Rows{kThree[0], kThree[2]}));
  QVERIFY(SelectionButtons(false));
  QVERIFY(List()->selectedItems().isEmpty());
  QCOMPARE(Title()->text(), kThree[1].title);
  QCOMPARE(Url()->text(), kThree[1].url);
  Button("cmdAdd")->click();
  QCOMPARE(ListRows(), (Rows{kThree[0], kThree[2], kThree[1]}));
  // Selecting again re-enables the three buttons.
  ClickRow(0);
  QVERIFY(SelectionButtons(true));
}

void FrmRegistTest::closingWithoutSaveLosesChanges_data() {
  QTest::addColumn<QString>("how");
  QTest::newRow("cancel button") << "cancel";
  QTest::newRow("escape") << "escape";
  QTest::newRow("close box") << "close";
}

void FrmRegistTest::closingWithoutSaveLosesChanges() {
  QFETCH(QString, how);
  Seed(kThree);
  Open();
  ClickRow(1);
  Button("cmdDel")->click();
  Url()->setText(QStringLiteral("http://added/"));
  Button("cmdAdd")->click();
  if (how == "cancel") Button("cmdCancel")->click();
  if (how == "escape") QTest::keyClick(Title(), Qt::Key_Escape);
  if (how == "close") window_->close();
  QVERIFY(!window_->isVisible());
  QCOMPARE(window_->result(), int(QDialog::Rejected));
  QCOMPARE(main_url_->text(), QStringLiteral("http://before.example/"));
  QCOMPARE(LoadRegisteredUrls(store_->store()), kThree);
  Open();
  QCOMPARE(ListRows(), kThree);
}

void FrmRegistTest::saveKeepsChangesAndTheWindowOpen() {
  Seed(kThree);
  Open();
  ClickRow(1);
  Button("cmdDel")->click();
  Button("cmdSave")->click();
  QVERIFY(window_->isVisible());
  QVERIFY(prompter_.boxes.isEmpty());
  QCOMPARE(ListRows(), (Rows{kThree[0], kThree[2]}));
  QVERIFY(SelectionButtons(false));
  Button("cmdCancel")->click();
  Open();
  QCOMPARE(ListRows(), (Rows{kThree[0], kThree[2]}));
}

void FrmRegistTest::okWritesExactlyTheUrlAndSavesNothing() {
  Seed(kThree);
  Open();
  Url()->setText(QStringLiteral("http://unsaved/"));
  Button("cmdAdd")->click();
  ClickRow(1);
  Button("cmdOK")->click();
  QCOMPARE(main_url_->text(), kThree[1].url);
  QVERIFY(!window_->isVisible());
  QCOMPARE(window_->result(), int(QDialog::Accepted));
  QCOMPARE(LoadRegisteredUrls(store_->store()), kThree);
}

void FrmRegistTest::enterPressesOkOnlyWhileEnabled() {
  Seed(kThree);
  Open();
  QTest::keyClick(Title(), Qt::Key_Return);
  QVERIFY(window_->isVisible());
  QCOMPARE(main_url_->text(), QStringLiteral("http://before.example/"));
  QCOMPARE(ListRows(), kThree);

  ClickRow(2);
  QTest::keyClick(Title(), Qt::Key_Return);
  QVERIFY(!window_->isVisible());
  QCOMPARE(main_url_->text(), kThree[2].url);
}

}  // namespace pelmoa

PELMOA_TEST_CLASS(pelmoa::FrmRegistTest);
#include "frm_regist_test.moc"
