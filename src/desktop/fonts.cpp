#include "desktop/fonts.h"

#include <QString>
#include <QStringList>

namespace pelmoa {

namespace {

const char kUiGothic[] = "MS UI Gothic";
const char kMsGothic[] = "ＭＳ ゴシック";

QFont MakeFont(const QString& family, double point_size) {
  QFont font(family);
  font.setPointSizeF(point_size);
  font.setWeight(QFont::Normal);
  font.setItalic(false);
  font.setUnderline(false);
  font.setStrikeOut(false);
  return font;
}

}  // namespace

void InstallFontSubstitutions() {
  // Proportional stands in for proportional, fixed pitch for fixed pitch.
  QFont::insertSubstitutions(QString::fromUtf8(kUiGothic),
                             {QStringLiteral("IPAPGothic"), QStringLiteral("IPAGothic"),
                              QStringLiteral("Noto Sans CJK JP"), QStringLiteral("VL PGothic"),
                              QStringLiteral("TakaoPGothic")});
  QFont::insertSubstitutions(QString::fromUtf8(kMsGothic),
                             {QStringLiteral("IPAGothic"), QStringLiteral("Noto Sans Mono CJK JP"),
                              QStringLiteral("VL Gothic"), QStringLiteral("TakaoGothic"),
                              QStringLiteral("IPAPGothic")});
}

QFont UiGothicFont(double point_size) { return MakeFont(QString::fromUtf8(kUiGothic), point_size); }

QFont MsGothicFont() { return MakeFont(QString::fromUtf8(kMsGothic), 11.25); }

}  // namespace pelmoa
