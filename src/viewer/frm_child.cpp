#include "viewer/frm_child.h"

#include <QBuffer>
#include <QLabel>
#include <QMovie>
#include <QPixmap>

#include "desktop/twips.h"

namespace pelmoa {
namespace {

constexpr TwipsGeometry kGeometry[] = {
    {"Picture1", 0, 0, 1215, 495},
    {"Image1", 0, 0, 1215, 495},
};
constexpr double kClientWidth = 1785;
constexpr double kClientHeight = 1020;

void StopMovie(QLabel* label) {
  if (QMovie* movie = label->movie()) {
    label->clear();
    delete movie;
  }
}

void Assign(QLabel* label, const Picture& picture) {
  StopMovie(label);
  if (!picture.IsAnimation()) {
    label->setPixmap(QPixmap::fromImage(picture.still));
    return;
  }
  auto* movie = new QMovie(label);
  auto* device = new QBuffer(movie);
  device->setData(picture.animation);
  movie->setDevice(device);
  label->setMovie(movie);
  movie->start();
}

}  // namespace

frmChild::frmChild(QWidget* parent)
    : QWidget(parent), image1_(new QLabel(this)), picture1_(new QLabel(this)) {
  setObjectName(QStringLiteral("frmChild"));
  image1_->setObjectName(QStringLiteral("Image1"));
  image1_->setScaledContents(true);
  picture1_->setObjectName(QStringLiteral("Picture1"));
  // Picture1 was created last, so it lies in front of Image1.
  ApplyGeometry(this, kGeometry, std::size(kGeometry));
  const double dpi = logicalDpiX();
  resize(TwipsToPixels(kClientWidth, dpi), TwipsToPixels(kClientHeight, dpi));
}

void frmChild::SetPicture1(const Picture& picture) {
  Assign(picture1_, picture);
  picture1_->resize(picture.natural_size);
}

void frmChild::ClearPicture1() {
  StopMovie(picture1_);
  picture1_->clear();
}

void frmChild::SetImage1(const Picture& picture) { Assign(image1_, picture); }

}  // namespace pelmoa
