#include "cli/cli_host.h"

#include "cli/console.h"
#include "harvest/files/file_names.h"

namespace pelmoa {

CliHost::CliHost(std::unique_ptr<Transfer> transfer, std::FILE* out, std::FILE* err)
    : transfer_(std::move(transfer)), out_(out), err_(err) {}

void CliHost::SetStatusText(const std::string& text) {
  if (text.empty()) return;
  WriteText(err_, text + "\n");
}

MessageAnswer CliHost::ShowMessage(const std::string& title, const std::string& text,
                                   MessageIcon, MessageButtons buttons) {
  ++messages_;
  std::string one_line;
  for (std::size_t k = 0; k < text.size(); ++k) {
    if (text[k] == '\r' && k + 1 < text.size() && text[k + 1] == '\n') continue;
    one_line += (text[k] == '\r' || text[k] == '\n') ? ' ' : text[k];
  }
  WriteText(err_, title + ": " + one_line + "\n");
  return buttons == MessageButtons::kYesNo ? MessageAnswer::kYes : MessageAnswer::kOk;
}

void CliHost::ImageStored(const std::filesystem::path& path) {
  WriteText(out_, Utf8FromPath(path) + "\n");
}

void CliHost::ImageFailed(const std::string&) { ++failures_; }

}  // namespace pelmoa
