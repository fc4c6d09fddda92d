#pragma once

#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

#include "viewer/frm_child.h"
#include "viewer/frm_disp.h"
#include "viewer/picture_loader.h"

namespace pelmoa {

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
  std::optional<Picture> LoadPicture(const QString& path, bool is_png);
  void FitClientTo(frmChild* child, double width_twips, double height_twips);

  std::function<bool()> half_option_;
  std::unique_ptr<frmDisp> frame_;
  std::vector<QPointer<frmChild>> children_;
  PictureLoader standard_loader_{LoaderKind::kStandard};
  std::unique_ptr<PictureLoader> png_loader_;
  int png_loader_users_ = 0;
  LoaderKind last_loader_ = LoaderKind::kNone;
};

}  // namespace pelmoa
