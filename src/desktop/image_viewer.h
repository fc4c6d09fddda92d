#pragma once

#include <string>

namespace pelmoa {

// What the main window needs of the image viewer. The viewer registers itself with
// frmMain::SetImageViewer; until then runs show nothing.
class ImageViewer {
 public:
  virtual ~ImageViewer() = default;
  // Shows the viewer's frame window, loading it if needed.
  virtual void ShowFrame() = 0;
  // Opens one stored image (entry i of the run) in a child window; failures stay inside.
  virtual void ShowImage(const std::string& folder, const std::string& file_name, int i) = 0;
  // The PNG picture loader lives exactly as long as one run.
  virtual void CreatePngLoader() = 0;
  virtual void ReleasePngLoader() = 0;
  // Closes every viewer window (the quit button ends the program with them).
  virtual void CloseAll() = 0;
};

}  // namespace pelmoa
