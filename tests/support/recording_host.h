#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "harvest/net/curl_transfer.h"
#include "harvest/run_host.h"

namespace pelmoa::testing {

// A host that records every call of a run as one line, in order, and answers message boxes
// from a queue (OK when it is empty). It owns a real libcurl transfer.
class RecordingHost : public RunHost {
 public:
  explicit RecordingHost(TransferOptions options = {});

  Transfer& NetWWW() override { return *transfer_; }
  std::string& PageHtml() override { return page_html_; }

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
  void ImageStored(const std::filesystem::path& path) override;
  bool Cancelled() override;

  // Every call as a line: "status:TEXT", "message:TITLE|TEXT", "max:N", "value:N",
  // "visible:1", "step", "frame", "view:FOLDER|NAME|I", "png+", "png-", "stored:NAME".
  std::vector<std::string> calls;
  std::vector<std::string> Filter(const std::string& prefix) const;
  std::vector<std::string> StatusTexts() const;
  std::vector<std::string> Messages() const;
  int Steps() const;

  bool view_option = false;
  std::deque<MessageAnswer> answers;
  // Called before each recorded call; a test can cancel or change options mid-run.
  std::function<void(RecordingHost&, const std::string&)> on_call;
  bool cancelled = false;
  std::atomic<bool> cancel_flag{false};

 private:
  void Record(std::string line);
  std::unique_ptr<Transfer> transfer_;
  std::string page_html_;
};

}  // namespace pelmoa::testing
