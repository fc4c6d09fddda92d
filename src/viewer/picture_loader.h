#pragma once

#include <QString>
#include <optional>

#include "viewer/picture.h"

namespace pelmoa {

// Which loader read a picture: the PNG loader that lives for one harvest run, or the standard
// loader that serves every other file.
enum class LoaderKind { kNone, kPng, kStandard };

// Reads a picture file through Qt's image readers. Both loaders decode the same way; they differ
// in who owns them and how long they live.
class PictureLoader {
 public:
  explicit PictureLoader(LoaderKind kind) : kind_(kind) {}

  LoaderKind kind() const { return kind_; }
  // Nothing when the file cannot be read or decoded.
  std::optional<Picture> Load(const QString& path) const;

 private:
  LoaderKind kind_;
};

}  // namespace pelmoa
