#pragma once

#include <QWidget>

#include "viewer/picture.h"

class QLabel;

namespace pelmoa {

// The child window for one image, the content of a sub-window of the viewer frame. Picture1
// shows a picture at its natural size and sizes itself to it; Image1 lies behind it and
// stretches its picture to its own size.
class frmChild : public QWidget {
  Q_OBJECT

 public:
  explicit frmChild(QWidget* parent = nullptr);

  QLabel* Picture1() const { return picture1_; }
  QLabel* Image1() const { return image1_; }

  // Picture1 takes the picture's natural size.
  void SetPicture1(const Picture& picture);
  // Drops Picture1's picture, keeping its size.
  void ClearPicture1();
  void SetImage1(const Picture& picture);

 private:
  QLabel* image1_;
  QLabel* picture1_;
};

}  // namespace pelmoa
