#pragma once

#include <QMainWindow>

class QMdiArea;
class QMdiSubWindow;

namespace pelmoa {

class frmChild;

// The viewer frame: a multiple-document window whose client area holds one child window per
// image. Closing it closes every child; it is loaded again, at its first size and centred, the
// next time it is shown.
class frmDisp : public QMainWindow {
  Q_OBJECT

 public:
  explicit frmDisp(QWidget* parent = nullptr);

  QMdiArea* mdi_area() const { return mdi_area_; }

  // Shows the frame; a frame that is not loaded (never shown, or closed) gets its first size
  // and is centred on the screen.
  void ShowFrame();
  // Opens child in a new sub-window, without minimize and maximize buttons. Each new child
  // opens one step (a title bar's height) right of and below the one before, starting again
  // at the top left when it would reach into the last quarter of the frame, so that several
  // pictures stay in view. The sub-window takes child's caption, shows it whole as its
  // tooltip, and deletes itself when closed. The frame does not take the keyboard focus from
  // the window the user is typing in.
  QMdiSubWindow* AddChild(frmChild* child);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void CentreOnScreen();
  QPoint NextCascadePosition(const QMdiSubWindow* sub);

  QMdiArea* mdi_area_;
  // How many steps down and right the next child opens; back to 0 when the frame is loaded.
  int cascade_step_ = 0;
};

}  // namespace pelmoa
