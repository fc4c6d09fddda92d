#pragma once

#include <QString>

namespace pelmoa::testing {

// Real picture files for the viewer tests; each returns false when the file was not written.
bool WriteImage(const QString& path, int width, int height, const char* format);
// A 40 x 30 GIF of one green frame, and one of two frames (red, then blue) that loops.
bool WriteStillGif(const QString& path);
bool WriteAnimatedGif(const QString& path);
bool WriteBytes(const QString& path, const QByteArray& bytes);
// A PNG whose header claims width x height pixels, cut off after the first bytes of its
// picture data: what a decoder would have to allocate is known before anything is decoded.
bool WritePngHeaderOnly(const QString& path, quint32 width, quint32 height);

}  // namespace pelmoa::testing
