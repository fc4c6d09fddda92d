#pragma once

#include <QFont>

namespace pelmoa {

// The window fonts keep their Windows names; on a system without them an installed Japanese
// font stands in. Call once after the application object exists.
void InstallFontSubstitutions();

// "MS UI Gothic" (proportional) at the given size, regular weight.
QFont UiGothicFont(double point_size = 11.25);
// "ＭＳ ゴシック" (fixed pitch), 11.25 points, regular weight.
QFont MsGothicFont();

}  // namespace pelmoa
