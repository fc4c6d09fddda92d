#pragma once

#include <QString>
#include <optional>

namespace pelmoa {

// The address the browser button opens for the URL box text, trimmed as a run trims it:
// nothing when the text is blank; the text unchanged when it begins exactly with "http://"
// or "https://"; otherwise "http://" in front of the text.
std::optional<QString> BrowserAddress(const QString& url_text);

}  // namespace pelmoa
