#include "recording_host.h"

namespace pelmoa::testing {

RecordingHost::RecordingHost(TransferOptions options) {
  if (!options.cancel) options.cancel = &cancel_flag;
  transfer_ = std::make_unique<CurlTransfer>(options);
}

void RecordingHost::Record(std::string line) {
  if (on_call) on_call(*this, line);
  calls.push_back(std::move(line));
}

void RecordingHost::SetStatusText(const std::string& text) { Record("status:" + text); }

MessageAnswer RecordingHost::ShowMessage(const std::string& title, const std::string& text,
                                         MessageIcon, MessageButtons) {
  Record("message:" + title + "|" + text);
  if (answers.empty()) return MessageAnswer::kOk;
  MessageAnswer a = answers.front();
  answers.pop_front();
  return a;
}

void RecordingHost::SetProgressMax(int32_t maximum) { Record("max:" + std::to_string(maximum)); }
void RecordingHost::SetProgressValue(int32_t value) { Record("value:" + std::to_string(value)); }
void RecordingHost::SetProgressVisible(bool visible) {
  Record(std::string("visible:") + (visible ? "1" : "0"));
}
void RecordingHost::StepProgress() { Record("step"); }
bool RecordingHost::ViewOption() { return view_option; }
void RecordingHost::ShowViewerFrame() { Record("frame"); }
void RecordingHost::ShowImageInViewer(const std::string& folder, const std::string& file_name,
                                      int32_t i) {
  Record("view:" + folder + "|" + file_name + "|" + std::to_string(i));
}
void RecordingHost::CreatePngLoader() { Record("png+"); }
void RecordingHost::ReleasePngLoader() { Record("png-"); }
void RecordingHost::ImageStored(const std::filesystem::path& path) {
  Record("stored:" + path.filename().string());
}
bool RecordingHost::Cancelled() { return cancelled || cancel_flag.load(); }

std::vector<std::string> RecordingHost::Filter(const std::string& prefix) const {
  std::vector<std::string> out;
  for (const auto& c : calls) {
    if (c.rfind(prefix, 0) == 0) out.push_back(c.substr(prefix.size()));
  }
  return out;
}

std::vector<std::string> RecordingHost::StatusTexts() const { return Filter("status:"); }
std::vector<std::string> RecordingHost::Messages() const { return Filter("message:"); }
int RecordingHost::Steps() const { return static_cast<int>(Filter("step").size()); }

}  // namespace pelmoa::testing
