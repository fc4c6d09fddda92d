#pragma once

#include <QByteArray>
#include <QSize>

// SVG pictures: a description that is drawn rather than a grid of pixels, read by Qt's SVG image
// plugin. The viewer shows one as a browser shows an SVG picture on a page: at the size the
// picture gives itself, with nothing fetched from outside the file.

namespace pelmoa {

// A larger SVG file is not read. An SVG picture is drawn on the UI thread (Qt's SVG code run on
// a worker thread left the Windows build hanging at its exit), and what drawing costs grows with
// the description: Qt holds about a hundred times its length, and 1 MiB of bare elements takes
// about a second.
inline constexpr qint64 kMaxSvgFileBytes = 1024LL * 1024;

// The size the root <svg> element gives the picture, in pixels (96 to the inch, as CSS counts):
// its width and height; one of them with the other in the view box's proportions; else the view
// box's size. Invalid when the root element names none of these, when a length is relative (%,
// em) and no view box stands in, or when the root is not <svg>.
QSize SvgOwnSize(const QByteArray& text);

// The description with every reference to something outside it dropped: linked pictures
// (<image> not given as data:) and linked style sheets, which the drawing code would otherwise
// open as local files (a pipe or a device would block it, or fill the memory). Empty when the
// text is not well-formed XML or nests its elements deeper than a picture needs.
QByteArray SelfContainedSvg(const QByteArray& svg);

}  // namespace pelmoa
