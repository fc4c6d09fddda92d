#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>

namespace pelmoa {

// A decoded picture as a loader hands it over: either a still image, or the bytes of an
// animation that plays in the window, with the size of its first frame.
struct Picture {
  QSize natural_size;
  QImage still;
  // Held in memory rather than read from the file, so a later run that writes a file of the
  // same name cannot change an animation that is already playing.
  QByteArray animation;

  bool IsAnimation() const { return !animation.isEmpty(); }
};

}  // namespace pelmoa
