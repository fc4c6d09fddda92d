#include "viewer/picture_loader.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

namespace pelmoa {

std::optional<Picture> PictureLoader::Load(const QString& path) const {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  QByteArray bytes = file.readAll();
  file.close();

  QBuffer buffer(&bytes);
  buffer.open(QIODevice::ReadOnly);
  // The content decides the format, so an image stored under the wrong extension still shows.
  QImageReader reader(&buffer);
  const bool animated = reader.supportsAnimation() && reader.imageCount() > 1;
  Picture picture;
  picture.still = reader.read();
  if (picture.still.isNull()) return std::nullopt;
  picture.natural_size = picture.still.size();
  if (animated) {
    buffer.close();
    picture.still = QImage();
    picture.animation = std::move(bytes);
  }
  return picture;
}

}  // namespace pelmoa
