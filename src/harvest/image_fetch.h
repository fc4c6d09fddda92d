#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "harvest/net/transfer.h"
#include "harvest/run_host.h"

namespace pelmoa {

// One entry of the download loop that resolution did not pass over.
struct ImageEntry {
  int32_t i = 0;  // 1-based position in the reference list
  std::string_view file_name;
  // Position in the transfer's batch; none when the file name was refused.
  std::optional<std::size_t> batch_index;
};

// What the entries of one run came to besides the stored images.
struct ImageCounts {
  int32_t errors = 0;
  int32_t left_out = 0;  // smaller than the minimum side
};

// "画像のダウンロード中 全N画像", then "   Error:K" and "   除外:M" for the counts above 0.
std::string CountStatusText(int32_t total, const ImageCounts& counts);
// What a finished download loop leaves: "全N画像中 K画像を保存できませんでした" when images
// failed, else "全N画像中 M画像を小さいため除外しました" when some were left out, else "".
std::string EndStatusText(int32_t total, const ImageCounts& counts);

// Waits for the entry's image, puts the file in place, shows it in the viewer when the option
// is on, counts and reports a failure or a left-out picture, and advances the progress bar
// once. Returns false when the run was cancelled while waiting (nothing counted or stepped).
bool FetchAndStoreImage(const ImageEntry& entry, const std::string& folder, int32_t total,
                        ImageCounts& counts, Transfer& transfer, RunHost& host);

}  // namespace pelmoa
