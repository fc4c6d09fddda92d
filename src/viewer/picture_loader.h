#pragma once

#include <QSize>
#include <QString>
#include <optional>

#include "viewer/picture.h"

namespace pelmoa {

// Which loader read a picture: the PNG loader that lives for one harvest run, or the standard
// loader that serves every other file.
enum class LoaderKind { kNone, kPng, kStandard };

// A decoded picture may hold at most this many pixels and this many bytes. A response of
// hundreds of megabytes stored under an image name would otherwise exhaust the memory.
inline constexpr qint64 kMaxPicturePixels = 256LL * 1000 * 1000;
inline constexpr qint64 kMaxPictureBytes = 1024LL * 1024 * 1024;
// An animation plays from its bytes held in memory; a larger one shows its first picture.
inline constexpr qint64 kMaxAnimationFileBytes = 64LL * 1024 * 1024;

// What a picture file's header tells before anything is decoded.
struct PictureHeader {
  bool readable = false;   // a picture format that Qt reads was recognised
  QSize size;              // invalid when the header does not tell
  bool too_large = false;  // the decoded picture would pass one of the limits above
  bool svg = false;        // an SVG picture, drawn on the UI thread (svg_picture.h)
};

PictureHeader ReadPictureHeader(const QString& path);

// Reads a picture file through Qt's image readers. Both loaders decode the same way; they differ
// in who owns them and how long they live. Load touches no window, so it may run on any thread.
class PictureLoader {
 public:
  explicit PictureLoader(LoaderKind kind) : kind_(kind) {}

  LoaderKind kind() const { return kind_; }
  // Decodes the file once. Nothing when the file cannot be read or decoded, or when the
  // picture would pass the limits.
  std::optional<Picture> Load(const QString& path) const;

 private:
  LoaderKind kind_;
};

}  // namespace pelmoa
