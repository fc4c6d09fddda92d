#include "folder/desktop_shell_open.h"

#include <QDesktopServices>
#include <QUrl>

namespace pelmoa {

void DesktopShellOpen::OpenAddress(const QString& address) {
  // Tolerant parsing percent-encodes spaces and similar, as a browser's address bar would.
  const QUrl url(address, QUrl::TolerantMode);
  started_ = url.isValid() && QDesktopServices::openUrl(url);
}

void DesktopShellOpen::OpenFile(const QString& path) {
  started_ = QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

}  // namespace pelmoa
