// frmMain's start-up and shut-down: the window's place in twips, the destination folder.

#include <QCheckBox>
#include <QDir>
#include <QGuiApplication>
#include <QLineEdit>
#include <QRectF>
#include <QScreen>
#include <QSpinBox>
#include <QSignalBlocker>
#include <QWindow>
#include <algorithm>
#include <cmath>

#include "desktop/default_folder.h"
#include "desktop/settings_store.h"
#include "desktop/twips.h"
#include "harvest/harvest.h"
#include "mainwindow/address_completion.h"
#include "mainwindow/frm_main.h"
#include "sources/registered_url_store.h"

namespace pelmoa {

namespace {

const QString kApp = QStringLiteral("Pelmoa");
const QString kSection = QStringLiteral("Setting");
const QString kWindowTop = QStringLiteral("WindowTop");
const QString kWindowLeft = QStringLiteral("WindowLeft");
const QString kDLFolder = QStringLiteral("DLFolder");
const QString kModernPages = QStringLiteral("ModernPages");
const QString kMinimumSide = QStringLiteral("MinimumSide");

// A stored coordinate as a single-precision number; anything that is not a finite number
// reads as -1, the value of a key that was never written.
float ToCoordinate(const QString& text) {
  bool ok = false;
  const float value = text.trimmed().toFloat(&ok);
  return ok && std::isfinite(value) ? value : -1.0f;
}

// The decimal text of a single-precision number; a whole number has no decimal point.
QString CoordinateText(float twips) { return QString::number(double(twips), 'g', 7); }

bool IntersectsAnyScreen(const QRectF& rect) {
  for (const QScreen* screen : QGuiApplication::screens()) {
    if (QRectF(screen->geometry()).intersects(rect)) return true;
  }
  return false;
}

}  // namespace

void frmMain::Form_Load() {
  PlaceWindow();

  // A stored folder is used as it is; the default is worked out only when none is stored.
  QString folder = settings_.ReadSetting(kApp, kSection, kDLFolder, QString());
  if (folder.isNull()) folder = DefaultDownloadFolder(ProgramFolder());
  txtFolder->setText(folder);
  ReadOptions();

  completion_ = new AddressCompletion(txtURL, QDir::homePath(), this);
  completion_->AddAddresses(RegisteredAddresses(settings_));

  BuildLockedControls();
}

void frmMain::ReadOptions() {
  // Nothing is written back while loading.
  const QSignalBlocker modern(chkModern), small(chkSmall), side(updMinSide);
  chkModern->setChecked(settings_.ReadSetting(kApp, kSection, kModernPages, QString()) ==
                        QLatin1String("1"));
  // A number above 0 is the minimum side of the last run's kind; 0 (off) or anything that is
  // no number leaves the box unticked with the side the window offers.
  bool ok = false;
  const int stored =
      settings_.ReadSetting(kApp, kSection, kMinimumSide, QString()).trimmed().toInt(&ok);
  const bool on = ok && stored > 0;
  chkSmall->setChecked(on);
  updMinSide->setValue(on ? std::min(stored, kMaxMinSide) : kDefaultMinSide);
}

int frmMain::MinimumSide() const { return chkSmall->isChecked() ? updMinSide->value() : 0; }

void frmMain::PlaceWindow() {
  const double dpi_x = logicalDpiX();
  const double dpi_y = logicalDpiY();
  float top = ToCoordinate(settings_.ReadSetting(kApp, kSection, kWindowTop, QStringLiteral("-1")));
  float left = ToCoordinate(settings_.ReadSetting(kApp, kSection, kWindowLeft, QStringLiteral("-1")));

  const bool first_start = top == -1.0f && left == -1.0f;
  const QRectF stored(left * dpi_x / 1440.0, top * dpi_y / 1440.0, width(), height());
  // A window restored where no screen is could never be reached again.
  if (!first_start && IntersectsAnyScreen(stored)) {
    // The stored corner is the frame's (SaveWindowPosition writes pos()). Moved before the
    // native window exists, the window system places the frame's corner there; moved after,
    // before the window manager has told its frame, the client area's corner would go there
    // and every start would creep up by the title bar.
    move(TwipsToPixels(left, dpi_x), TwipsToPixels(top, dpi_y));
    return;
  }

  // Centring needs the outer size: the native window knows its frame once it exists (the
  // window system may still add to it later, which moves the centre a little).
  winId();
  const QMargins margins = windowHandle() ? windowHandle()->frameMargins() : QMargins();
  const double outer_width = PixelsToTwips(width() + margins.left() + margins.right(), dpi_x);
  const double outer_height = PixelsToTwips(height() + margins.top() + margins.bottom(), dpi_y);
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QRect area = screen ? screen->geometry() : QRect(0, 0, 800, 600);
  const float screen_width = float(PixelsToTwips(area.width(), dpi_x));
  const float screen_height = float(PixelsToTwips(area.height(), dpi_y));
  top = float(PixelsToTwips(area.top(), dpi_y)) + (screen_height - float(outer_height)) / 2;
  left = float(PixelsToTwips(area.left(), dpi_x)) + (screen_width - float(outer_width)) / 2;
  move(TwipsToPixels(left, dpi_x), TwipsToPixels(top, dpi_y));
}

void frmMain::SaveWindowPosition() {
  if (isMinimized()) return;
  const QPoint origin = pos();  // the outer frame's top left, as it was placed
  settings_.WriteSetting(kApp, kSection, kWindowTop,
                         CoordinateText(float(PixelsToTwips(origin.y(), logicalDpiY()))));
  settings_.WriteSetting(kApp, kSection, kWindowLeft,
                         CoordinateText(float(PixelsToTwips(origin.x(), logicalDpiX()))));
}

void frmMain::Form_Unload() { SaveWindowPosition(); }

// Kept as soon as it changes, so the next start has it whichever way this one ends.
void frmMain::chkModern_Click() {
  settings_.WriteSetting(kApp, kSection, kModernPages,
                         chkModern->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
}

void frmMain::chkSmall_Click() {
  settings_.WriteSetting(kApp, kSection, kMinimumSide, QString::number(MinimumSide()));
}

void frmMain::updMinSide_Change() {
  if (chkSmall->isChecked()) chkSmall_Click();
}

}  // namespace pelmoa
