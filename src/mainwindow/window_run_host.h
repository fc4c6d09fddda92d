#pragma once

#include <QPointer>
#include <atomic>
#include <memory>
#include <string>

#include "harvest/net/transfer.h"
#include "harvest/run_host.h"

namespace pelmoa {

class frmMain;

// What a run borrows from its window: the transfer control, PageHtml and the cancel flag.
// The window and a running worker share it, so it lives until both are done with it.
struct RunState {
  explicit RunState(TransferOptions options);
  ~RunState();

  std::atomic<bool> cancel{false};
  std::unique_ptr<Transfer> transfer;
  // Written and read only by the worker of the run in progress.
  std::string page_html;
};

// The host of a run started from the window. The run calls it on its worker thread; every
// call that shows or reads something is carried out on the UI thread, in order, and the
// worker waits for it (blocking queued invocation), so the window sees the run's exact
// synchronous sequence while it keeps painting. Once the window is gone or the run is
// cancelled, calls that touch the window do nothing.
class WindowRunHost : public RunHost {
 public:
  // Constructed on the UI thread.
  WindowRunHost(std::shared_ptr<RunState> state, frmMain* window);

  Transfer& NetWWW() override { return *state_->transfer; }
  std::string& PageHtml() override { return state_->page_html; }

  void SetStatusText(const std::string& text) override;
  MessageAnswer ShowMessage(const std::string& title, const std::string& text, MessageIcon icon,
                            MessageButtons buttons) override;
  void SetProgressMax(int32_t maximum) override;
  void SetProgressValue(int32_t value) override;
  void SetProgressVisible(bool visible) override;
  void StepProgress() override;
  bool ViewOption() override;
  void ShowViewerFrame() override;
  void ShowImageInViewer(const std::string& folder, const std::string& file_name,
                         int32_t i) override;
  void CreatePngLoader() override;
  void ReleasePngLoader() override;
  bool Cancelled() override { return state_->cancel.load(); }

 private:
  // Runs f on the UI thread with the window (only if it still exists) and waits for it.
  template <typename F>
  void OnWindow(F&& f);

  std::shared_ptr<RunState> state_;
  // Read only on the UI thread.
  QPointer<frmMain> window_;
};

}  // namespace pelmoa
