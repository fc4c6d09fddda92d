#include "status_bar.h"

#include <QLabel>

#include "mainwindow/texts.h"

namespace pelmoa {

StatusBar::StatusBar(QWidget* parent) : QStatusBar(parent), panel_(new QLabel(this)) {
  setSizeGripEnabled(false);
  panel_->setObjectName(QStringLiteral("stbStatPanel1"));
  panel_->setToolTip(QString::fromUtf8(texts::kStbStatPanelTip));
  // A long text must not push the bar wider than the window.
  panel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  panel_->setMinimumWidth(1);
  addWidget(panel_, 1);
}

QString StatusBar::PanelText() const { return panel_->text(); }

void StatusBar::SetPanelText(const QString& text) {
  panel_->setText(text);
  emit PanelTextChanged(text);
}

}  // namespace pelmoa
