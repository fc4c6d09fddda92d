#pragma once

#include <QString>
#include <memory>
#include <optional>

class QWidget;

namespace pelmoa {

// The platform's modal folder browser.
class FolderBrowser {
 public:
  virtual ~FolderBrowser() = default;
  // Shows the browser over owner with initial selected; returns the confirmed folder's path,
  // or nothing when the user cancels or closes it.
  virtual std::optional<QString> Browse(QWidget* owner, const QString& title,
                                        const QString& initial) = 0;
};

// The platform's own: the shell's folder browser on Windows, Qt's folder dialog elsewhere.
std::unique_ptr<FolderBrowser> MakeFolderBrowser();

}  // namespace pelmoa
