#include "viewer/frm_disp.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>

#include "desktop/twips.h"
#include "viewer/frm_child.h"
#include "viewer/texts.h"
#include "viewer/viewer_icon.h"

namespace pelmoa {
namespace {

constexpr double kClientWidth = 4920;
constexpr double kClientHeight = 3195;

}  // namespace

frmDisp::frmDisp(QWidget* parent) : QMainWindow(parent), mdi_area_(new QMdiArea(this)) {
  setObjectName(QStringLiteral("frmDisp"));
  setWindowTitle(QString::fromUtf8(viewer_texts::kFrameCaption));
  setWindowIcon(ViewerIcon());
  mdi_area_->setBackground(QBrush(Qt::black));
  // A picture larger than the frame can still be scrolled into view.
  mdi_area_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  mdi_area_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setCentralWidget(mdi_area_);
  // Pictures arrive while the user may be typing in the main window: showing the frame must
  // not take the focus from there.
  setAttribute(Qt::WA_ShowWithoutActivating);
}

void frmDisp::ShowFrame() {
  if (isVisible()) {
    raise();
    return;
  }
  const double dpi = logicalDpiX();
  resize(TwipsToPixels(kClientWidth, dpi), TwipsToPixels(kClientHeight, dpi));
  cascade_step_ = 0;
  show();
  // The frame's margins are known only once the window is shown.
  CentreOnScreen();
}

QMdiSubWindow* frmDisp::AddChild(frmChild* child) {
  QMdiSubWindow* sub =
      mdi_area_->addSubWindow(child, Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                         Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  sub->setAttribute(Qt::WA_DeleteOnClose);
  // Its own minimum is the width its title bar would like, and a change of the system's theme
  // (Windows announces one whenever its settings change) would widen a small picture's window
  // to it, with an empty strip beside the picture. The frame alone is the least it takes.
  const QMargins frame = sub->contentsMargins();
  sub->setMinimumSize(qMax(1, frame.left() + frame.right()), qMax(1, frame.top() + frame.bottom()));
  sub->setWindowIcon(windowIcon());
  // A narrow child cuts its caption short; the tooltip shows the file name whole.
  sub->setToolTip(child->windowTitle());
  sub->show();
  sub->move(NextCascadePosition(sub));
  return sub;
}

QPoint frmDisp::NextCascadePosition(const QMdiSubWindow* sub) {
  // One step is the height of a child's title bar and top edge, as a cascade of
  // multiple-document windows goes.
  int step = sub->widget() ? sub->widget()->geometry().top() : 0;
  if (step <= 0) step = sub->fontMetrics().height() + 8;
  const QSize area = mdi_area_->viewport()->size();
  QPoint corner(cascade_step_ * step, cascade_step_ * step);
  if (cascade_step_ > 0 &&
      (corner.x() > area.width() * 3 / 4 || corner.y() > area.height() * 3 / 4)) {
    cascade_step_ = 0;
    corner = QPoint(0, 0);
  }
  ++cascade_step_;
  return corner;
}

void frmDisp::closeEvent(QCloseEvent* event) {
  mdi_area_->closeAllSubWindows();
  event->accept();
}

void frmDisp::CentreOnScreen() {
  QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect area = screen->geometry();
  const QSize outer = frameGeometry().size();
  move(area.x() + (area.width() - outer.width()) / 2,
       area.y() + (area.height() - outer.height()) / 2);
}

}  // namespace pelmoa
