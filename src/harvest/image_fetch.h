#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "harvest/run_host.h"
#include "harvest/transfer.h"

namespace pelmoa {

// One entry of the download loop that resolution did not pass over.
struct ImageEntry {
  int32_t i = 0;  // 1-based position in the reference list
  std::string_view file_name;
  // Position in the transfer's batch; none when the file name was refused.
  std::optional<std::size_t> batch_index;
  // The image's address, for the report of a failure: made when one is reported.
  std::function<const std::string&()> image_url;
};

// "画像のダウンロード中 全N画像   Error:E"
std::string ErrorStatusText(int32_t total, int32_t errors);

// Waits for the entry's image, puts the file in place, shows it in the viewer when the option
// is on, counts and reports a failure, and advances the progress bar once. Returns false when
// the run was cancelled while waiting (nothing counted, nothing stepped).
bool FetchAndStoreImage(const ImageEntry& entry, const std::string& folder, int32_t total,
                        int32_t& errors, Transfer& transfer, RunHost& host);

}  // namespace pelmoa
