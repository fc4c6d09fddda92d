#include "sources/frm_regist.h"

#include <QFont>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>

#include "desktop/twips.h"
#include "sources/registered_url_store.h"
#include "sources/texts.h"

namespace pelmoa {
namespace {

namespace t = sources_texts;

constexpr double kClientWidth = 7335;
constexpr double kClientHeight = 5955;
constexpr double kTitleColumnWidth = 2000;
constexpr double kUrlColumnWidth = 5000;
constexpr int kTitleColumn = 0;
constexpr int kUrlColumn = 1;

constexpr TwipsGeometry kGeometry[] = {
    {"lvwList", 45, 45, 7215, 3645},      {"Label2", 225, 4005, 1065, 225},
    {"txtTitle", 1545, 3945, 5655, 330},  {"Label1", 225, 4425, 525, 225},
    {"txtURL", 1545, 4365, 5655, 330},    {"cmdAdd", 300, 4905, 1215, 435},
    {"cmdEdit", 1725, 4905, 1215, 435},   {"cmdDel", 3165, 4905, 1215, 435},
    {"cmdSave", 4590, 4905, 1215, 435},   {"cmdOK", 4455, 5445, 1185, 435},
    {"cmdCancel", 5805, 5445, 1455, 435},
};

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

// Ideographic spaces count as spaces too: a Japanese input method types them readily.
bool IsBlank(const QString& text) {
  for (QChar c : text) {
    if (c != QLatin1Char(' ') && c != QChar(0x3000)) return false;
  }
  return true;
}

// A label keeps its place but takes the room its caption needs, up to the box it names: in
// the Japanese fonts at hand "タイトル(T)：" is wider than its 1065 twips, and 225 twips are
// too low for the access key's underline.
void FitLabel(QLabel* label, const QWidget* buddy) {
  const QSize need = label->sizeHint();
  int width = qMax(label->width(), need.width());
  if (buddy) width = qMin(width, buddy->x() - label->x());
  label->resize(width, qMax(label->height(), need.height()));
}

template <typename W>
W* Named(QWidget* parent, const char* name) {
  auto* w = new W(parent);
  w->setObjectName(QString::fromLatin1(name));
  return w;
}

}  // namespace

frmRegist::frmRegist(QWidget* owner, SettingsStore& store, Prompter& prompter, QLineEdit* main_url)
    : QDialog(owner), store_(store), prompter_(prompter), main_url_(main_url) {
  setObjectName(QStringLiteral("frmRegist"));
  setWindowTitle(Text(t::kRegistCaption));
  setWindowFlag(Qt::WindowMaximizeButtonHint, false);
  // On Windows a resizable frame would let the window manager offer maximizing anyway.
  setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
  QFont font(QStringLiteral("MS UI Gothic"));
  font.setPointSizeF(11.25);
  setFont(font);
  BuildControls();
  ConnectHandlers();
  Form_Load();
}

void frmRegist::BuildControls() {
  const double dpi = logicalDpiX();
  setFixedSize(TwipsToPixels(kClientWidth, dpi), TwipsToPixels(kClientHeight, dpi));

  lvwList = Named<QTreeWidget>(this, "lvwList");
  lvwList->setColumnCount(2);
  lvwList->setHeaderLabels({Text(t::kColumnTitle), Text(t::kColumnUrl)});
  lvwList->setColumnWidth(kTitleColumn, TwipsToPixels(kTitleColumnWidth, dpi));
  lvwList->setColumnWidth(kUrlColumn, TwipsToPixels(kUrlColumnWidth, dpi));
  lvwList->header()->setSectionsMovable(false);
  lvwList->header()->setStretchLastSection(false);
  lvwList->setRootIsDecorated(false);
  lvwList->setItemsExpandable(false);
  lvwList->setSortingEnabled(false);
  lvwList->setSelectionMode(QAbstractItemView::SingleSelection);
  lvwList->setSelectionBehavior(QAbstractItemView::SelectRows);
  lvwList->setEditTriggers(QAbstractItemView::NoEditTriggers);

  Label2 = Named<QLabel>(this, "Label2");
  Label2->setText(Text(t::kLabelTitle));
  txtTitle = Named<QLineEdit>(this, "txtTitle");
  Label2->setBuddy(txtTitle);
  Label1 = Named<QLabel>(this, "Label1");
  Label1->setText(Text(t::kLabelUrl));
  txtURL = Named<QLineEdit>(this, "txtURL");
  Label1->setBuddy(txtURL);

  cmdAdd = Named<QPushButton>(this, "cmdAdd");
  cmdAdd->setText(Text(t::kAdd));
  cmdEdit = Named<QPushButton>(this, "cmdEdit");
  cmdEdit->setText(Text(t::kEdit));
  cmdDel = Named<QPushButton>(this, "cmdDel");
  cmdDel->setText(Text(t::kDel));
  cmdSave = Named<QPushButton>(this, "cmdSave");
  cmdSave->setText(Text(t::kSave));
  cmdOK = Named<QPushButton>(this, "cmdOK");
  cmdOK->setText(Text(t::kOK));
  cmdOK->setDefault(true);
  cmdCancel = Named<QPushButton>(this, "cmdCancel");
  cmdCancel->setText(Text(t::kCancel));

  QWidget* tab_order[] = {lvwList, txtTitle, txtURL, cmdAdd,   cmdEdit,
                          cmdDel,  cmdSave,  cmdOK,  cmdCancel};
  for (size_t i = 1; i < std::size(tab_order); ++i) setTabOrder(tab_order[i - 1], tab_order[i]);

  ApplyGeometry(this, kGeometry, static_cast<int>(std::size(kGeometry)));
  FitLabel(Label2, txtTitle);
  FitLabel(Label1, txtURL);
}

void frmRegist::ConnectHandlers() {
  // A selection moved with the keyboard is taken like a click; a click on the row that is
  // already selected still refills the boxes.
  connect(lvwList, &QTreeWidget::itemSelectionChanged, this, &frmRegist::lvwList_Click);
  connect(lvwList, &QTreeWidget::itemClicked, this, &frmRegist::lvwList_Click);
  connect(cmdAdd, &QPushButton::clicked, this, &frmRegist::cmdAdd_Click);
  connect(cmdEdit, &QPushButton::clicked, this, &frmRegist::cmdEdit_Click);
  connect(cmdDel, &QPushButton::clicked, this, &frmRegist::cmdDel_Click);
  connect(cmdSave, &QPushButton::clicked, this, &frmRegist::cmdSave_Click);
  connect(cmdOK, &QPushButton::clicked, this, &frmRegist::cmdOK_Click);
  connect(cmdCancel, &QPushButton::clicked, this, &frmRegist::cmdCancel_Click);
}

void frmRegist::Form_Load() {
  lvwList->clear();
  for (const RegisteredUrl& entry : LoadRegisteredUrls(store_)) {
    lvwList->addTopLevelItem(new QTreeWidgetItem({entry.title, entry.url}));
  }
  txtTitle->clear();
  txtURL->clear();
  SetSelectionButtons(false);
}

void frmRegist::lvwList_Click() {
  QTreeWidgetItem* row = SelectedRow();
  SetSelectionButtons(row != nullptr);
  if (row) {
    txtURL->setText(row->text(kUrlColumn));
    txtTitle->setText(row->text(kTitleColumn));
  }
}

void frmRegist::cmdAdd_Click() {
  if (!AcceptEditingArea()) return;
  lvwList->addTopLevelItem(new QTreeWidgetItem({txtTitle->text(), txtURL->text()}));
}

void frmRegist::cmdEdit_Click() {
  QTreeWidgetItem* row = SelectedRow();
  if (!row || !AcceptEditingArea()) return;
  row->setText(kTitleColumn, txtTitle->text());
  row->setText(kUrlColumn, txtURL->text());
}

void frmRegist::cmdDel_Click() {
  QTreeWidgetItem* row = SelectedRow();
  if (!row) return;
  {
    // The view carries its selection on to the next row, which would refill the boxes.
    const QSignalBlocker quiet(lvwList);
    delete row;
    lvwList->clearSelection();
    lvwList->setCurrentItem(nullptr);
  }
  SetSelectionButtons(false);
}

void frmRegist::cmdSave_Click() { SaveRegisteredUrls(store_, Rows()); }

void frmRegist::cmdOK_Click() {
  QTreeWidgetItem* row = SelectedRow();
  if (!row) return;
  if (main_url_) main_url_->setText(row->text(kUrlColumn));
  accept();
}

void frmRegist::cmdCancel_Click() { reject(); }

QList<RegisteredUrl> frmRegist::Rows() const {
  QList<RegisteredUrl> rows;
  for (int i = 0; i < lvwList->topLevelItemCount(); ++i) {
    const QTreeWidgetItem* row = lvwList->topLevelItem(i);
    rows.append({row->text(kTitleColumn), row->text(kUrlColumn)});
  }
  return rows;
}

QTreeWidgetItem* frmRegist::SelectedRow() const { return lvwList->selectedItems().value(0); }

void frmRegist::SetSelectionButtons(bool enabled) {
  cmdEdit->setEnabled(enabled);
  cmdDel->setEnabled(enabled);
  cmdOK->setEnabled(enabled);
}

bool frmRegist::AcceptEditingArea() {
  if (IsBlank(txtURL->text())) {
    prompter_.Show(this, Text(t::kErrorTitle), Text(t::kNoUrl), QMessageBox::Critical,
                   QMessageBox::Ok);
    return false;
  }
  if (IsBlank(txtTitle->text())) txtTitle->setText(Text(t::kUntitled));
  // Such a title would end the stored list and hide every entry behind it.
  if (IsEndMarkerTitle(txtTitle->text())) {
    prompter_.Show(this, Text(t::kErrorTitle), Text(t::kTitleIsNone), QMessageBox::Critical,
                   QMessageBox::Ok);
    return false;
  }
  return true;
}

void OpenRegisteredUrlWindow(QWidget* owner, SettingsStore& store, Prompter& prompter,
                             QLineEdit* main_url) {
  frmRegist window(owner, store, prompter, main_url);
  window.exec();
}

}  // namespace pelmoa
