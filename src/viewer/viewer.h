#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QThreadPool>
#include <functional>
#include <memory>
#include <vector>

#include "viewer/frm_child.h"
#include "viewer/frm_disp.h"
#include "viewer/picture_loader.h"

namespace pelmoa {

// Pictures up to this size are decoded at once, inside the call that opens their child;
// larger ones on a worker thread.
inline constexpr qint64 kInlineDecodePixels = 4LL * 1000 * 1000;

// The image viewer as the main window and its runs see it. Every call happens on the UI thread.
class Viewer {
 public:
  // half_option tells, when asked, whether pictures are shown at half size; it is asked once
  // per image.
  explicit Viewer(std::function<bool()> half_option);
  ~Viewer();
  Viewer(const Viewer&) = delete;
  Viewer& operator=(const Viewer&) = delete;

  // Shows the frame, loading it first if it is not loaded. Returns at once.
  void ShowFrame();
  // Opens the stored file folder/file_name in a new child window, at full or half size; i is
  // the image's position in the run's reference list (from 1). Nothing is reported: a picture
  // that cannot be read leaves an empty child.
  void ShowImageInViewer(const QString& folder, const QString& file_name, int i);

  // The PNG loader lives from the start to the end of a harvest run; nested runs share it.
  void CreatePngLoader();
  void ReleasePngLoader();

  // Closes the frame and with it every child window.
  void CloseAll();

  // The frame, or nullptr before its first use. It stays alive while closed.
  frmDisp* frame() const { return frame_.get(); }
  // Index i holds the child of the image at position i of the latest run that reached it;
  // index 0 is never used. Entries of closed windows read null.
  const std::vector<QPointer<frmChild>>& ViewerChildren() const { return children_; }
  // Which loader served the latest load, and whether a run's PNG loader exists now.
  LoaderKind last_loader() const { return last_loader_; }
  bool has_png_loader() const { return png_loader_ != nullptr; }

 private:
  frmDisp& Frame();
  // The loader for a file, by its name; remembered as the latest loader.
  PictureLoader LoaderFor(bool is_png);

  std::function<bool()> half_option_;
  std::unique_ptr<frmDisp> frame_;
  std::vector<QPointer<frmChild>> children_;
  PictureLoader standard_loader_{LoaderKind::kStandard};
  std::unique_ptr<PictureLoader> png_loader_;
  int png_loader_users_ = 0;
  LoaderKind last_loader_ = LoaderKind::kNone;
  // Hands decoded pictures back to the UI thread. Declared before the pool, so the pool,
  // destroyed first, has finished every decoding before the relay goes.
  QObject relay_;
  QThreadPool decode_pool_;
};

}  // namespace pelmoa
