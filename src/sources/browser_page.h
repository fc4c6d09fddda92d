#pragma once

#include "sources/open_browser_windows.h"

class QLineEdit;

namespace pelmoa {

// What the main window's browser-page button does: the address of the last open window
// goes into txt_url, whatever it is. With no window, or an empty last address, the box
// keeps its text. True when the box was set.
bool TakeBrowserPageUrl(OpenBrowserWindows& windows, QLineEdit* txt_url);

}  // namespace pelmoa
