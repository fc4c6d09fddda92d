#include "viewer/picture_loader.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include "viewer/svg_picture.h"

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

bool IsSvg(const QImageReader& reader) {
  const QByteArray format = reader.format();
  return format == "svg" || format == "svgz";
}

// A description freed of its references, and the size it is drawn at: its own, else the size
// of what it draws. No size when it cannot be drawn.
struct CleanSvg {
  QByteArray text;
  QSize size;
};

CleanSvg Clean(const QByteArray& svg) {
  CleanSvg clean{SelfContainedSvg(svg), SvgOwnSize(svg)};
  if (clean.text.isEmpty()) return {};
  if (!clean.size.isValid()) {
    QBuffer device(&clean.text);
    device.open(QIODevice::ReadOnly);
    clean.size = QImageReader(&device, "svg").size();
  }
  return clean;
}

// Qt's own reader would follow the description's references: it is freed of them first.
PictureHeader ReadSvgHeader(const QImageReader& reader, const QString& path) {
  PictureHeader header;
  // A compressed description could not be freed of its references before Qt's code reads it.
  if (reader.format() != "svg") return header;
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return header;
  header.svg = true;
  if (file.size() > kMaxSvgFileBytes) {
    header.readable = true;
    header.too_large = true;
    return header;
  }
  header.size = Clean(file.readAll()).size;
  header.readable = header.size.isValid();
  if (header.size.isValid()) {
    header.too_large = TooLarge(header.size, QImage::Format_ARGB32_Premultiplied);
  }
  return header;
}

std::optional<Picture> LoadSvg(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxSvgFileBytes) return std::nullopt;
  CleanSvg svg = Clean(file.read(kMaxSvgFileBytes));
  // A picture that gives itself no area shows nothing, like one that cannot be read.
  if (!svg.size.isValid() || svg.size.isEmpty() ||
      TooLarge(svg.size, QImage::Format_ARGB32_Premultiplied)) {
    return std::nullopt;
  }
  QBuffer device(&svg.text);
  device.open(QIODevice::ReadOnly);
  QImageReader reader(&device, "svg");
  reader.setAllocationLimit(int(kMaxPictureBytes / (1024 * 1024)));
  // Drawn at that size, rather than drawn at Qt's reckoning of it and then scaled.
  reader.setScaledSize(svg.size);
  Picture picture;
  picture.still = reader.read();
  if (picture.still.isNull()) return std::nullopt;
  picture.natural_size = picture.still.size();
  return picture;
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
  if (IsSvg(reader)) return ReadSvgHeader(reader, path);
  header.size = reader.size();
  if (header.size.isValid()) header.too_large = TooLarge(header.size, reader.imageFormat());
  return header;
}

std::optional<Picture> PictureLoader::Load(const QString& path) const {
  if (!QFileInfo(path).isFile()) return std::nullopt;
  QImageReader reader(path);
  SetUp(reader);
  if (IsSvg(reader)) return LoadSvg(path);
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
