#pragma once

#include <functional>
#include <string>

#include "desktop/image_viewer.h"
#include "viewer/viewer.h"

namespace pelmoa {

// The viewer as the main window plugs it in (frmMain::SetImageViewer). Names and folders arrive
// as UTF-8, the way the harvest run stores them.
class ViewerForMainWindow : public ImageViewer {
 public:
  explicit ViewerForMainWindow(std::function<bool()> half_option);

  void ShowFrame() override;
  void ShowImage(const std::string& folder, const std::string& file_name, int i) override;
  void CreatePngLoader() override;
  void ReleasePngLoader() override;
  void CloseAll() override;

  Viewer& viewer() { return viewer_; }

 private:
  Viewer viewer_;
};

}  // namespace pelmoa
