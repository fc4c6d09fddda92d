#include "viewer/picture_loader.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace pelmoa {
namespace {

// The content decides the format, so an image stored under the wrong extension still shows.
void SetUp(QImageReader& reader) {
  reader.setDecideFormatFromContent(true);
  // Qt's own guard, in megabytes, for formats whose header tells no size.
  reader.setAllocationLimit(int(kMaxPictureBytes / (1024 * 1024)));
}

bool TooLarge(const QSize& size, QImage::Format format) {
  const qint64 pixels = qint64(size.width()) * size.height();
  // Formats the header does not name decode to 32 bits a pixel or more.
  const int bits = format == QImage::Format_Invalid
                       ? 32
                       : qMax(32, int(QImage::toPixelFormat(format).bitsPerPixel()));
  return pixels > kMaxPicturePixels || pixels * bits / 8 > kMaxPictureBytes;
}

}  // namespace

PictureHeader ReadPictureHeader(const QString& path) {
  // A pipe or a device under an image name would block the reader.
  if (!QFileInfo(path).isFile()) return {};
  QImageReader reader(path);
  SetUp(reader);
  PictureHeader header;
  header.readable = reader.canRead();
  if (!header.readable) return header;
  header.size = reader.size();
  if (header.size.isValid()) header.too_large = TooLarge(header.size, reader.imageFormat());
  return header;
}

std::optional<Picture> PictureLoader::Load(const QString& path) const {
  if (!QFileInfo(path).isFile()) return std::nullopt;
  QImageReader reader(path);
  SetUp(reader);
  const QSize size = reader.size();
  if (size.isValid() && TooLarge(size, reader.imageFormat())) return std::nullopt;
  const bool animated = reader.supportsAnimation() && reader.imageCount() > 1;

  Picture picture;
  picture.still = reader.read();
  if (picture.still.isNull()) return std::nullopt;
  picture.natural_size = picture.still.size();
  if (animated && QFileInfo(path).size() <= kMaxAnimationFileBytes) {
    // Held in memory, so a later file of the same name cannot change what already plays.
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
      picture.animation = file.readAll();
      if (!picture.animation.isEmpty()) picture.still = QImage();
    }
  }
  return picture;
}

}  // namespace pelmoa
