#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "harvest/files/file_names.h"

namespace pelmoa {

// A temporary file made ahead for the image at some position of a batch, or why it could
// not be made.
struct MadeFile {
  TempImageFile file;
  std::string error;  // empty on success
};

// Makes the temporary files of images that are next in line on a thread of its own. A new
// file costs the file system about 130 µs on ext4, as much as the rest of a small image's
// transfer; made beside the transfers, it no longer holds back the next requests.
class TempFileMaker {
 public:
  TempFileMaker() = default;
  ~TempFileMaker();
  TempFileMaker(const TempFileMaker&) = delete;
  TempFileMaker& operator=(const TempFileMaker&) = delete;

  // Asks for the file of image `index` beside target; indices are asked in increasing order.
  void Want(std::size_t index, const std::filesystem::path& target);
  // The highest index asked so far plus one; 0 before any.
  std::size_t wanted_up_to() const { return wanted_up_to_; }
  // The file of `index` when it was asked: waits if it is being made right now, and makes
  // it here if the thread has not come to it yet. Nothing when it was never asked.
  std::optional<MadeFile> Take(std::size_t index);
  // Forgets every request and removes every file made and not taken.
  void Clear();

 private:
  void Loop();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable made_one_;
  std::deque<std::pair<std::size_t, std::filesystem::path>> pending_;
  std::map<std::size_t, MadeFile> made_;
  std::optional<std::size_t> making_;
  std::size_t wanted_up_to_ = 0;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace pelmoa
