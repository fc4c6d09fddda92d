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
  // Opens child in a new sub-window, without minimize and maximize buttons, where the frame
  // places new children. The sub-window takes child's caption and deletes itself when closed.
  QMdiSubWindow* AddChild(frmChild* child);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void CentreOnScreen();

  QMdiArea* mdi_area_;
};

}  // namespace pelmoa
