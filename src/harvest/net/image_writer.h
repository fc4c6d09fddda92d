#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "harvest/files/file_names.h"

namespace pelmoa {

// Writes the bodies of large images into their temporary files on a thread of its own, so
// one core receives while the other writes. The data waits in a fixed number of blocks:
// when all are taken, the receiving side waits for the disk, and memory stays flat.
class ImageWriter {
 public:
  // on_flushed runs on the writer's thread when the last block of a sealed file is written.
  explicit ImageWriter(std::function<void()> on_flushed);
  ~ImageWriter();
  ImageWriter(const ImageWriter&) = delete;
  ImageWriter& operator=(const ImageWriter&) = delete;

  class Stream;

 private:
  struct Block {
    std::unique_ptr<char[]> data;
    std::size_t size = 0;
  };
  struct Entry {
    Stream* stream;
    Block block;
  };

  Block TakeBlock(std::unique_lock<std::mutex>& lock);
  void Enqueue(std::unique_lock<std::mutex>& lock, Stream& stream, Block block);
  void Loop();

  std::function<void()> on_flushed_;
  std::mutex mutex_;
  std::condition_variable work_;
  std::condition_variable freed_;
  std::deque<Entry> queue_;
  std::vector<Block> free_;
  std::size_t blocks_made_ = 0;
  std::set<Stream*> streams_;
  const Stream* writing_ = nullptr;
  bool stopping_ = false;
  std::thread thread_;
};

// One image's file as its body arrives, used from the transfer loop's thread only. The
// first bytes are written at once, as a small image's whole body is; past that the data is
// copied into blocks that the writer's thread writes in order.
class ImageWriter::Stream {
 public:
  Stream(ImageWriter& writer, TempImageFile& file);
  ~Stream();
  Stream(const Stream&) = delete;
  Stream& operator=(const Stream&) = delete;

  // False once a write of this file has failed; nothing is taken then. Throws when a block
  // cannot be allocated or the writer's thread cannot start; the stream has then failed.
  bool Write(const char* data, std::size_t size);
  // No more data comes: the last block is queued (or the stream fails).
  void Seal() noexcept;
  // The stream takes nothing more and its file is not to be kept.
  void Fail() noexcept;
  // Every byte given is in the file, or a write failed.
  bool Flushed();
  // Why a write failed; empty while none has.
  std::string error();
  // Drops whatever is still queued and waits for a block being written right now, so the
  // file can be discarded.
  void Forget();

 private:
  friend class ImageWriter;

  ImageWriter& writer_;
  TempImageFile& file_;
  std::size_t written_inline_ = 0;
  bool handed_off_ = false;
  // Guarded by the writer's mutex from here on.
  Block open_;
  std::size_t queued_ = 0;
  bool sealed_ = false;
  bool failed_ = false;
  std::string error_;
  // A reason that needs no allocation: a block of the file's data was lost.
  const char* fault_ = nullptr;
};

}  // namespace pelmoa
