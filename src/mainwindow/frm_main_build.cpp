// Building frmMain: its controls, their places in twips, captions, tips and tab order.

#include <QCheckBox>
#include <QEvent>
#include <QGroupBox>
#include <QIcon>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "desktop/fonts.h"
#include "desktop/twips.h"
#include "harvest/harvest.h"
#include "mainwindow/frm_main.h"
#include "mainwindow/progress_bar.h"
#include "mainwindow/status_bar.h"
#include "mainwindow/texts.h"

namespace pelmoa {

namespace {

// Client area of the window, in twips.
constexpr double kClientWidthTwips = 7500;
constexpr double kClientHeightTwips = 5085;

// Every control's place in its container, in twips.
constexpr TwipsGeometry kGeometry[] = {
    {"Frame2", 90, 135, 7275, 1725},
    {"txtURL", 180, 270, 6885, 330},
    {"cmdFav", 180, 690, 1830, 420},
    {"cmdCurr", 2137, 690, 3255, 420},
    {"cmdReg", 5520, 690, 1230, 420},
    {"cmdBrowse", 270, 1290, 3870, 420},
    // Beside cmdBrowse, in the room Frame2 leaves right of it.
    {"chkModern", 4230, 1222, 2910, 285},
    {"Frame3", 90, 2025, 7275, 1365},
    {"txtFolder", 180, 360, 6885, 315},
    {"cmdFolder", 180, 720, 1365, 420},
    {"cmdNew", 1710, 720, 1755, 420},
    {"Frame1", 90, 3510, 2490, 1110},
    {"chkView", 255, 345, 2145, 285},
    {"chkHalf", 735, 660, 1650, 285},
    {"cmdGet", 2745, 3570, 1725, 465},
    {"cmdQuit", 4597, 3570, 1185, 465},
    {"cmdHelp", 5910, 3570, 1395, 465},
    // Below the run buttons, inside the progress bar's place: the bar covers them during a
    // run, while they are locked.
    {"chkSmall", 2745, 4290, 2580, 285},
    {"updMinSide", 5385, 4267, 1290, 330},
    {"stbStat", 0, 4740, 7500, 345},
    {"kpbDL", 2700, 4200, 4725, 465},
};

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

// Every control gets the window font of its own: a control inside a frame with a style sheet
// would not inherit it from the window.
template <typename W>
W* Named(W* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  widget->setFont(UiGothicFont());
  return widget;
}

QPushButton* Button(QWidget* container, const char* name, const char* caption, const char* tip) {
  auto* b = Named(new QPushButton(Text(caption), container), name);
  b->setToolTip(Text(tip));
  // Enter presses the focused button itself, as on the original platform.
  b->setAutoDefault(true);
  return b;
}

QLineEdit* TextBox(QWidget* container, const char* name, const char* tip) {
  auto* t = Named(new QLineEdit(container), name);
  t->setToolTip(Text(tip));
  return t;
}

QCheckBox* CheckBox(QWidget* container, const char* name, const char* caption, const char* tip) {
  auto* c = Named(new QCheckBox(Text(caption), container), name);
  c->setToolTip(Text(tip));
  return c;
}

// A group frame whose access key always moves the focus to the first control inside it that
// can take it, as at start. Qt's own group box returns to the control last focused inside it,
// and locking the controls for a run walks the focus along each group (txtFolder, cmdFolder,
// cmdNew): after the run Alt+S would land on cmdNew and the text typed next would be lost.
class GroupFrame : public QGroupBox {
 public:
  using QGroupBox::QGroupBox;

 protected:
  bool event(QEvent* event) override {
    if (event->type() == QEvent::Shortcut && !isCheckable()) {
      for (QWidget* w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain()) {
        if (isAncestorOf(w) && w->isEnabled() && w->isVisibleTo(this) &&
            (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus) {
          w->setFocus(Qt::ShortcutFocusReason);
          return true;
        }
      }
    }
    return QGroupBox::event(event);
  }
};

QGroupBox* Frame(QWidget* container, const char* name, const char* caption) {
  auto* frame = Named(new GroupFrame(Text(caption), container), name);
  // The caption sits on the frame's top edge, as the controls' places in twips assume;
  // Qt's own style would put it above the edge and push the edge onto the first control.
  frame->setStyleSheet(QStringLiteral(
      "QGroupBox { border: 1px solid palette(mid); border-radius: 2px; margin-top: 0.6em; }"
      "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;"
      " left: 6px; padding: 0 2px; }"));
  return frame;
}

QIcon WindowIcon() { return QIcon(QStringLiteral(":/pelmoa/pelmoa.png")); }

}  // namespace

void frmMain::BuildControls() {
  setObjectName(QStringLiteral("frmMain"));
  setWindowTitle(Text(texts::kMainCaption));
  setWindowIcon(WindowIcon());
  // Minimize and close, no maximize; the controls have fixed places, so the size is fixed.
  // On Windows a resizable frame would let the window manager offer maximizing anyway.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  setFont(UiGothicFont());

  // Created in tab order, which is also Qt's default focus chain.
  Frame2 = Frame(this, "Frame2", texts::kFrame2Caption);
  txtURL = TextBox(Frame2, "txtURL", texts::kTxtURLTip);
  cmdFav = Button(Frame2, "cmdFav", texts::kCmdFavCaption, texts::kCmdFavTip);
  cmdCurr = Button(Frame2, "cmdCurr", texts::kCmdCurrCaption, texts::kCmdCurrTip);
  cmdReg = Button(Frame2, "cmdReg", texts::kCmdRegCaption, texts::kCmdRegTip);
  // Lies over the lower part of Frame2 and is drawn above it.
  cmdBrowse = Button(this, "cmdBrowse", texts::kCmdBrowseCaption, texts::kCmdBrowseTip);
  chkModern = CheckBox(Frame2, "chkModern", texts::kChkModernCaption, texts::kChkModernTip);

  Frame3 = Frame(this, "Frame3", texts::kFrame3Caption);
  txtFolder = TextBox(Frame3, "txtFolder", texts::kTxtFolderTip);
  txtFolder->setFont(MsGothicFont());
  cmdFolder = Button(Frame3, "cmdFolder", texts::kCmdFolderCaption, texts::kCmdFolderTip);
  cmdNew = Button(Frame3, "cmdNew", texts::kCmdNewCaption, texts::kCmdNewTip);

  Frame1 = Frame(this, "Frame1", texts::kFrame1Caption);
  chkView = CheckBox(Frame1, "chkView", texts::kChkViewCaption, texts::kChkViewTip);
  chkHalf = CheckBox(Frame1, "chkHalf", texts::kChkHalfCaption, texts::kChkHalfTip);
  chkHalf->setEnabled(false);

  cmdGet = Button(this, "cmdGet", texts::kCmdGetCaption, texts::kCmdGetTip);
  cmdGet->setDefault(true);
  cmdQuit = Button(this, "cmdQuit", texts::kCmdQuitCaption, texts::kCmdQuitTip);
  cmdHelp = Button(this, "cmdHelp", texts::kCmdHelpCaption, texts::kCmdHelpTip);
  chkSmall = CheckBox(this, "chkSmall", texts::kChkSmallCaption, texts::kChkSmallTip);
  updMinSide = Named(new QSpinBox(this), "updMinSide");
  updMinSide->setToolTip(Text(texts::kUpdMinSideTip));
  updMinSide->setRange(1, kMaxMinSide);
  updMinSide->setValue(kDefaultMinSide);
  updMinSide->setSuffix(Text(texts::kUpdMinSideSuffix));

  stbStat = Named(new StatusBar(this), "stbStat");
  kpbDL = Named(new ProgressBar(this), "kpbDL");
  kpbDL->setFont(UiGothicFont(12));
  kpbDL->hide();

  QWidget* const order[] = {txtURL,  cmdFav,    cmdCurr, cmdReg,  cmdBrowse, chkModern,
                            txtFolder, cmdFolder, cmdNew, chkView, chkHalf, cmdGet,
                            cmdQuit, cmdHelp,   chkSmall, updMinSide};
  for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

  const double dpi = logicalDpiX();
  setFixedSize(TwipsToPixels(kClientWidthTwips, dpi), TwipsToPixels(kClientHeightTwips, dpi));
  ApplyGeometry(this, kGeometry, int(std::size(kGeometry)));
  cmdBrowse->raise();
  txtURL->setFocus();
}

void frmMain::ConnectHandlers() {
  connect(cmdGet, &QPushButton::clicked, this, &frmMain::cmdGet_Click);
  connect(cmdQuit, &QPushButton::clicked, this, &frmMain::cmdQuit_Click);
  connect(chkView, &QCheckBox::toggled, this, &frmMain::chkView_Click);
  connect(chkModern, &QCheckBox::toggled, this, &frmMain::chkModern_Click);
  connect(chkSmall, &QCheckBox::toggled, this, &frmMain::chkSmall_Click);
  connect(updMinSide, &QSpinBox::valueChanged, this, &frmMain::updMinSide_Change);
  connect(cmdFav, &QPushButton::clicked, this, &frmMain::cmdFav_Click);
  connect(cmdCurr, &QPushButton::clicked, this, &frmMain::cmdCurr_Click);
  connect(cmdReg, &QPushButton::clicked, this, &frmMain::cmdReg_Click);
  connect(cmdBrowse, &QPushButton::clicked, this, &frmMain::cmdBrowse_Click);
  connect(cmdFolder, &QPushButton::clicked, this, &frmMain::cmdFolder_Click);
  connect(cmdNew, &QPushButton::clicked, this, &frmMain::cmdNew_Click);
  connect(cmdHelp, &QPushButton::clicked, this, &frmMain::cmdHelp_Click);
}

}  // namespace pelmoa
