#pragma once

#include <cstdio>
#include <memory>
#include <string>

#include "harvest/net/transfer.h"
#include "harvest/run_host.h"

namespace pelmoa {

// The run's host for the command line: status texts and message boxes go to err, one line
// each; the path of every stored file goes to out. Message boxes answer OK at once.
class CliHost : public RunHost {
 public:
  CliHost(std::unique_ptr<Transfer> transfer, std::FILE* out, std::FILE* err);

  Transfer& NetWWW() override { return *transfer_; }
  std::string& PageHtml() override { return page_html_; }
  void SetStatusText(const std::string& text) override;
  MessageAnswer ShowMessage(const std::string& title, const std::string& text, MessageIcon icon,
                            MessageButtons buttons) override;
  void SetProgressMax(int32_t) override {}
  void SetProgressValue(int32_t) override {}
  void SetProgressVisible(bool) override {}
  void StepProgress() override {}
  bool ViewOption() override { return false; }
  void ShowViewerFrame() override {}
  void ShowImageInViewer(const std::string&, const std::string&, int32_t) override {}
  void ImageStored(const std::filesystem::path& path) override;
  void ImageFailed(const std::string& reason) override;

  // 0 when no message box was shown and no image failed, 1 otherwise.
  int ExitStatus() const { return (messages_ > 0 || failures_ > 0) ? 1 : 0; }

 private:
  std::unique_ptr<Transfer> transfer_;
  std::string page_html_;
  std::FILE* out_;
  std::FILE* err_;
  int messages_ = 0;
  int failures_ = 0;
};

}  // namespace pelmoa
