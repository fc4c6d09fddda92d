#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace pelmoa {

class Transfer;

enum class MessageIcon { kStop, kQuestion, kExclamation, kInformation };
enum class MessageButtons { kOk, kYesNo };
enum class MessageAnswer { kOk, kYes, kNo };

// Everything a harvest run shows or asks goes through its host, in the order the run does it.
// The window's host runs each call on the UI thread and returns when it is done there; the
// command-line host prints. A run is synchronous and knows nothing of threads.
class RunHost {
 public:
  virtual ~RunHost() = default;

  // The owner's transfer control and page text; both outlive every run.
  virtual Transfer& NetWWW() = 0;
  virtual std::string& PageHtml() = 0;

  // Text of the status bar's first panel.
  virtual void SetStatusText(const std::string& text) = 0;
  // Modal; returns when answered.
  virtual MessageAnswer ShowMessage(const std::string& title, const std::string& text,
                                    MessageIcon icon, MessageButtons buttons) = 0;

  // The progress bar's four operations.
  virtual void SetProgressMax(int32_t maximum) = 0;
  virtual void SetProgressValue(int32_t value) = 0;
  virtual void SetProgressVisible(bool visible) = 0;
  virtual void StepProgress() = 0;

  // True when the "show images" option is ticked at the moment of the call.
  virtual bool ViewOption() = 0;
  virtual void ShowViewerFrame() = 0;
  // Failures inside the viewer are the viewer's own; nothing comes back.
  virtual void ShowImageInViewer(const std::string& folder, const std::string& file_name,
                                 int32_t i) = 0;

  // The PNG picture loader lives exactly as long as one (possibly nested) run.
  virtual void CreatePngLoader() {}
  virtual void ReleasePngLoader() {}

  // Told after an image file is in place, and after an entry failed (fetch or file).
  virtual void ImageStored(const std::filesystem::path& /*path*/) {}
  virtual void ImageFailed(const std::string& /*reason*/) {}

  // Polled between steps; a cancelled run ends at the next safe point.
  virtual bool Cancelled() { return false; }
};

}  // namespace pelmoa
