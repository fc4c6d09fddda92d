#include "viewer/viewer.h"

#include <QLabel>

#include "mainwindow/spaces.h"
#include "mainwindow/twips.h"

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

}  // namespace

Viewer::Viewer(std::function<bool()> half_option) : half_option_(std::move(half_option)) {}

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

std::optional<Picture> Viewer::LoadPicture(const QString& path, bool is_png) {
  if (!is_png) {
    last_loader_ = standard_loader_.kind();
    return standard_loader_.Load(path);
  }
  last_loader_ = LoaderKind::kPng;
  if (png_loader_) return png_loader_->Load(path);
  // Outside a run there is no PNG loader; one for this picture alone still shows it.
  return PictureLoader(LoaderKind::kPng).Load(path);
}

void Viewer::FitClientTo(frmChild* child, double width_twips, double height_twips) {
  QWidget* outer = child->parentWidget();
  if (!outer) return;
  const double dpi = child->logicalDpiX();
  const QSize client(TwipsToPixels(width_twips, dpi), TwipsToPixels(height_twips, dpi));
  outer->resize(outer->size() - child->size() + client);
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

  const double dpi = child->logicalDpiX();
  bool half = false;
  Trapped([&] { half = half_option_ && half_option_(); });
  if (half) {
    QLabel* picture1 = child->Picture1();
    QLabel* image1 = child->Image1();
    Trapped([&] { picture1->hide(); });
    Trapped([&] {
      if (auto picture = LoadPicture(path, is_png)) child->SetPicture1(*picture);
    });
    // Exact halves in twips: only the final conversion to pixels rounds.
    const double half_width = PixelsToTwips(picture1->width(), dpi) / 2;
    const double half_height = PixelsToTwips(picture1->height(), dpi) / 2;
    Trapped(
        [&] { image1->resize(TwipsToPixels(half_width, dpi), TwipsToPixels(half_height, dpi)); });
    Trapped([&] {
      if (auto picture = LoadPicture(path, is_png)) child->SetImage1(*picture);
    });
    Trapped([&] { FitClientTo(child, half_width, half_height); });
    Trapped([&] { child->ClearPicture1(); });
  } else {
    QLabel* picture1 = child->Picture1();
    Trapped([&] {
      if (auto picture = LoadPicture(path, is_png)) child->SetPicture1(*picture);
    });
    Trapped([&] {
      FitClientTo(child, PixelsToTwips(picture1->width(), dpi),
                  PixelsToTwips(picture1->height(), dpi));
    });
  }
}

}  // namespace pelmoa
