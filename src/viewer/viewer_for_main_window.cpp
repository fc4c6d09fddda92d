#include "viewer/viewer_for_main_window.h"

#include <QString>

namespace pelmoa {

ViewerForMainWindow::ViewerForMainWindow(std::function<bool()> half_option)
    : viewer_(std::move(half_option)) {}

void ViewerForMainWindow::ShowFrame() { viewer_.ShowFrame(); }

void ViewerForMainWindow::ShowImage(const std::string& folder, const std::string& file_name,
                                    int i) {
  viewer_.ShowImageInViewer(QString::fromStdString(folder), QString::fromStdString(file_name), i);
}

void ViewerForMainWindow::CreatePngLoader() { viewer_.CreatePngLoader(); }

void ViewerForMainWindow::ReleasePngLoader() { viewer_.ReleasePngLoader(); }

void ViewerForMainWindow::CloseAll() { viewer_.CloseAll(); }

}  // namespace pelmoa
