#include "harvest/image_fetch.h"

#include "harvest/file_names.h"
#include "harvest/text_search.h"
#include "harvest/texts.h"

namespace pelmoa {

std::string ErrorStatusText(int32_t total, int32_t errors) {
  return std::string(texts::kStatusDownloadingPrefix) + std::to_string(total) +
         texts::kStatusErrorPart + std::to_string(errors);
}

bool FetchAndStoreImage(const ImageEntry& entry, const std::string& folder, int32_t total,
                        int32_t& errors, Transfer& transfer, RunHost& host) {
  ImageResult result{ImageOutcome::kFileFailed, "file name refused"};
  if (entry.batch_index) result = transfer.FinishImage(*entry.batch_index);
  if (result.outcome == ImageOutcome::kCancelled) return false;

  if (result.outcome == ImageOutcome::kStored) {
    const std::string name = std::string(entry.file_name) + result.extension;
    host.ImageStored(PathFromUtf8(TrimSpaces(folder)) / PathFromUtf8(name));
    if (host.ViewOption()) host.ShowImageInViewer(folder, name, entry.i);
  } else {
    // Saturate rather than wrap: the count is only ever shown.
    if (errors < INT32_MAX) ++errors;
    host.SetStatusText(ErrorStatusText(total, errors));
    host.ImageFailed(entry.image_url(), result.reason);
  }
  host.StepProgress();
  return true;
}

}  // namespace pelmoa
