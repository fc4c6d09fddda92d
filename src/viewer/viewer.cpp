#include "viewer/viewer.h"

#include <QLabel>

#include "desktop/spaces.h"
#include "desktop/twips.h"

namespace pelmoa {
namespace {

// The viewer reports nothing: a step that fails is dropped and the next one runs.
template <typename Step>
void Trapped(Step step) {
  try {
    step();
  } catch (...) {
  }
}

bool IsPngName(const QString& file_name) {
  return file_name.right(4).compare(QLatin1String(".png"), Qt::CaseInsensitive) == 0;
}

void FitClientTo(frmChild* child, double width_twips, double height_twips) {
  QWidget* outer = child->parentWidget();
  if (!outer) return;
  const double dpi = child->logicalDpiX();
  const QSize client(TwipsToPixels(width_twips, dpi), TwipsToPixels(height_twips, dpi));
  outer->resize(outer->size() - child->size() + client);
}

// Gives the child its picture, decoded once, and sizes its client area to the picture, or
// to half of it; without a picture, to the empty Picture1 (or half of it).
void ShowPicture(frmChild* child, bool half, std::optional<Picture> picture) {
  const double dpi = child->logicalDpiX();
  QLabel* picture1 = child->Picture1();
  if (half) {
    QLabel* image1 = child->Image1();
    Trapped([&] { picture1->hide(); });
    // Picture1 takes the picture's natural size without holding the picture.
    Trapped([&] {
      if (picture) picture1->resize(picture->natural_size);
    });
    // Exact halves in twips: only the final conversion to pixels rounds.
    const double half_width = PixelsToTwips(picture1->width(), dpi) / 2;
    const double half_height = PixelsToTwips(picture1->height(), dpi) / 2;
    Trapped(
        [&] { image1->resize(TwipsToPixels(half_width, dpi), TwipsToPixels(half_height, dpi)); });
    Trapped([&] {
      if (picture) child->SetImage1(*picture);
    });
    Trapped([&] { FitClientTo(child, half_width, half_height); });
  } else {
    Trapped([&] {
      if (picture) child->SetPicture1(*picture);
    });
    Trapped([&] {
      FitClientTo(child, PixelsToTwips(picture1->width(), dpi),
                  PixelsToTwips(picture1->height(), dpi));
    });
  }
}

}  // namespace

Viewer::Viewer(std::function<bool()> half_option) : half_option_(std::move(half_option)) {
  // One large picture at a time: each may take up to the byte limit while it is decoded.
  decode_pool_.setMaxThreadCount(1);
}

Viewer::~Viewer() = default;

frmDisp& Viewer::Frame() {
  if (!frame_) frame_ = std::make_unique<frmDisp>();
  return *frame_;
}

void Viewer::ShowFrame() { Frame().ShowFrame(); }

void Viewer::CloseAll() {
  if (frame_) frame_->close();
}

void Viewer::CreatePngLoader() {
  if (png_loader_users_++ == 0) png_loader_ = std::make_unique<PictureLoader>(LoaderKind::kPng);
}

void Viewer::ReleasePngLoader() {
  if (png_loader_users_ == 0) return;
  if (--png_loader_users_ == 0) png_loader_.reset();
}

PictureLoader Viewer::LoaderFor(bool is_png) {
  last_loader_ = is_png ? LoaderKind::kPng : LoaderKind::kStandard;
  if (!is_png) return standard_loader_;
  // Outside a run there is no PNG loader; one for this picture alone still shows it.
  return png_loader_ ? *png_loader_ : PictureLoader(LoaderKind::kPng);
}

void Viewer::ShowImageInViewer(const QString& folder, const QString& file_name, int i) {
  const bool is_png = IsPngName(file_name);
  const QString path = TrimSpaces(folder) + u'/' + file_name;

  QPointer<frmChild> child;
  Trapped([&] {
    child = new frmChild;
    if (i < 0) return;
    children_.resize(static_cast<size_t>(i) + 1);
    children_[i] = child;
  });
  if (!child) return;

  Trapped([&] {
    child->setWindowTitle(file_name);
    frmDisp& frame = Frame();
    if (!frame.isVisible()) frame.ShowFrame();
    frame.AddChild(child);
  });
  if (!child->parentWidget()) {
    // Without a frame to open in, the child would be a stray top-level window.
    delete child;
    return;
  }

  bool half = false;
  Trapped([&] { half = half_option_ && half_option_(); });
  const PictureLoader loader = LoaderFor(is_png);
  PictureHeader header;
  Trapped([&] { header = ReadPictureHeader(path); });
  if (!header.readable || header.too_large) {
    // A file that is no picture, or one too large to decode, is a file that cannot be read:
    // nothing of it is decoded.
    ShowPicture(child, half, std::nullopt);
    return;
  }
  // An SVG picture is drawn here whatever its size (svg_picture.h).
  const bool small =
      header.svg || (header.size.isValid() &&
                     qint64(header.size.width()) * header.size.height() <= kInlineDecodePixels);
  if (small) {
    std::optional<Picture> picture;
    Trapped([&] { picture = loader.Load(path); });
    ShowPicture(child, half, std::move(picture));
    return;
  }
  // A large picture, or one whose header tells no size, is decoded on a worker thread so that
  // every window keeps painting; the child shows its caption meanwhile and takes its picture
  // and size when the decoding is done (unless the user has closed it by then).
  Trapped([&] {
    decode_pool_.start([this, loader, path, child, half] {
      auto picture = std::make_shared<std::optional<Picture>>();
      try {
        *picture = loader.Load(path);
      } catch (...) {
      }
      QMetaObject::invokeMethod(
          &relay_,
          [child, half, picture] {
            if (child) ShowPicture(child, half, std::move(*picture));
          },
          Qt::QueuedConnection);
    });
  });
}

}  // namespace pelmoa
