#include "sources/firefox_open_browser_windows.h"
#include "sources/open_browser_windows.h"

namespace pelmoa {

std::unique_ptr<OpenBrowserWindows> MakeOpenBrowserWindows() {
  return std::make_unique<FirefoxOpenBrowserWindows>();
}

}  // namespace pelmoa
