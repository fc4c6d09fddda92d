#include "window_run_host.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QMessageBox>
#include <QMetaObject>
#include <QThread>

#include "desktop/image_viewer.h"
#include "desktop/prompter.h"
#include "harvest/net/curl_transfer.h"
#include "mainwindow/frm_main.h"
#include "mainwindow/progress_bar.h"
#include "mainwindow/status_bar.h"

namespace pelmoa {

namespace {

QString FromUtf8(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kStop: return QMessageBox::Critical;
    case MessageIcon::kQuestion: return QMessageBox::Question;
    case MessageIcon::kExclamation: return QMessageBox::Warning;
    case MessageIcon::kInformation: return QMessageBox::Information;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

RunState::RunState(TransferOptions options) {
  options.cancel = &cancel;
  transfer = std::make_unique<CurlTransfer>(options);
}

RunState::~RunState() = default;

WindowRunHost::WindowRunHost(std::shared_ptr<RunState> state, frmMain* window)
    : state_(std::move(state)), window_(window) {}

template <typename F>
void WindowRunHost::OnWindow(F&& f) {
  auto call = [this, &f] {
    if (frmMain* w = window_.data()) f(*w);
  };
  // The application object lives as long as the event loop that serves these calls; the
  // window may not, hence the guarded pointer instead of the window as the context.
  QObject* context = QCoreApplication::instance();
  if (!context || QThread::currentThread() == context->thread()) {
    call();
    return;
  }
  QMetaObject::invokeMethod(context, call, Qt::BlockingQueuedConnection);
}

void WindowRunHost::SetStatusText(const std::string& text) {
  OnWindow([&](frmMain& w) { w.stbStat->SetPanelText(FromUtf8(text)); });
}

MessageAnswer WindowRunHost::ShowMessage(const std::string& title, const std::string& text,
                                         MessageIcon icon, MessageButtons buttons) {
  const bool yes_no = buttons == MessageButtons::kYesNo;
  // A closed window asks nothing more: the run is on its way out.
  MessageAnswer answer = yes_no ? MessageAnswer::kNo : MessageAnswer::kOk;
  OnWindow([&](frmMain& w) {
    if (Cancelled()) return;
    const auto pressed = w.prompter().Show(
        &w, FromUtf8(title), FromUtf8(text), ToQtIcon(icon),
        yes_no ? QMessageBox::Yes | QMessageBox::No : QMessageBox::StandardButtons(QMessageBox::Ok));
    if (yes_no) answer = pressed == QMessageBox::Yes ? MessageAnswer::kYes : MessageAnswer::kNo;
  });
  return answer;
}

void WindowRunHost::SetProgressMax(int32_t maximum) {
  OnWindow([&](frmMain& w) { w.kpbDL->SetMax(maximum); });
}

void WindowRunHost::SetProgressValue(int32_t value) {
  OnWindow([&](frmMain& w) { w.kpbDL->SetValue(value); });
}

void WindowRunHost::SetProgressVisible(bool visible) {
  OnWindow([&](frmMain& w) { w.kpbDL->SetShown(visible); });
}

void WindowRunHost::StepProgress() {
  OnWindow([](frmMain& w) { w.kpbDL->Step(); });
}

bool WindowRunHost::ViewOption() {
  bool ticked = false;
  OnWindow([&](frmMain& w) { ticked = w.chkView->isChecked(); });
  return ticked;
}

void WindowRunHost::ShowViewerFrame() {
  OnWindow([](frmMain& w) {
    if (ImageViewer* v = w.image_viewer()) v->ShowFrame();
  });
}

void WindowRunHost::ShowImageInViewer(const std::string& folder, const std::string& file_name,
                                      int32_t i) {
  OnWindow([&](frmMain& w) {
    if (ImageViewer* v = w.image_viewer()) v->ShowImage(folder, file_name, i);
  });
}

void WindowRunHost::CreatePngLoader() {
  OnWindow([](frmMain& w) {
    if (ImageViewer* v = w.image_viewer()) v->CreatePngLoader();
  });
}

void WindowRunHost::ReleasePngLoader() {
  OnWindow([](frmMain& w) {
    if (ImageViewer* v = w.image_viewer()) v->ReleasePngLoader();
  });
}

}  // namespace pelmoa
