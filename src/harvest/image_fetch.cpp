#include "harvest/image_fetch.h"

#include "harvest/files/file_names.h"
#include "harvest/text/text_search.h"
#include "harvest/texts.h"

namespace pelmoa {

std::string CountStatusText(int32_t total, const ImageCounts& counts) {
  std::string text = texts::kStatusDownloadingPrefix + std::to_string(total);
  text += counts.errors > 0 ? texts::kStatusErrorPart + std::to_string(counts.errors)
                            : std::string(texts::kStatusDownloadingSuffix);
  if (counts.left_out > 0) text += texts::kStatusLeftOutPart + std::to_string(counts.left_out);
  return text;
}

std::string EndStatusText(int32_t total, const ImageCounts& counts) {
  if (counts.errors == 0 && counts.left_out == 0) return {};
  const bool failed = counts.errors > 0;
  return texts::kStatusFailedPrefix + std::to_string(total) + texts::kStatusFailedMiddle +
         std::to_string(failed ? counts.errors : counts.left_out) +
         (failed ? texts::kStatusFailedSuffix : texts::kStatusLeftOutSuffix);
}

bool FetchAndStoreImage(const ImageEntry& entry, const std::string& folder, int32_t total,
                        ImageCounts& counts, Transfer& transfer, RunHost& host) {
  ImageResult result{ImageOutcome::kFileFailed, "file name refused"};
  if (entry.batch_index) result = transfer.FinishImage(*entry.batch_index);
  if (result.outcome == ImageOutcome::kCancelled) return false;

  if (result.outcome == ImageOutcome::kStored) {
    const std::string name =
        result.name.empty() ? std::string(entry.file_name) + result.extension : result.name;
    host.ImageStored(PathFromUtf8(TrimSpaces(folder)) / PathFromUtf8(name));
    if (host.ViewOption()) host.ShowImageInViewer(folder, name, entry.i);
  } else if (result.outcome == ImageOutcome::kLeftOut) {
    if (counts.left_out < INT32_MAX) ++counts.left_out;
    host.SetStatusText(CountStatusText(total, counts));
  } else {
    // Saturate rather than wrap: the count is only ever shown.
    if (counts.errors < INT32_MAX) ++counts.errors;
    host.SetStatusText(CountStatusText(total, counts));
    host.ImageFailed(result.reason);
  }
  host.StepProgress();
  return true;
}

}  // namespace pelmoa
