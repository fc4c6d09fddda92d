#include "harvest/net/image_writer.h"

#include <algorithm>
#include <cstring>

namespace pelmoa {
namespace {

// An image up to this size is written by the receiving thread as it arrives: handing it over
// would cost more than writing it. Most pictures of a page are smaller; 2 MB ones already
// gain from the second core.
constexpr std::size_t kInlineBytes = 256 * 1024;
constexpr std::size_t kBlockBytes = 256 * 1024;
constexpr std::size_t kMaxBlocks = 16;

}  // namespace

ImageWriter::ImageWriter(std::function<void()> on_flushed) : on_flushed_(std::move(on_flushed)) {}

ImageWriter::~ImageWriter() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  work_.notify_all();
  if (thread_.joinable()) thread_.join();
}

ImageWriter::Block ImageWriter::TakeBlock(std::unique_lock<std::mutex>& lock) {
  while (free_.empty() && blocks_made_ == kMaxBlocks) {
    // Blocks being filled are queued as they are, so the writer always has something to
    // write and free.
    for (Stream* s : streams_) {
      if (s->open_.size > 0) Enqueue(lock, *s, std::move(s->open_));
    }
    freed_.wait(lock);
  }
  Block b;
  if (!free_.empty()) {
    b = std::move(free_.back());
    free_.pop_back();
  } else {
    b.data = std::make_unique<char[]>(kBlockBytes);
    ++blocks_made_;
  }
  b.size = 0;
  return b;
}

void ImageWriter::Enqueue(std::unique_lock<std::mutex>&, Stream& stream, Block block) {
  stream.open_ = {};
  try {
    // Started on first use: a run of small images never starts it.
    if (!thread_.joinable()) thread_ = std::thread([this] { Loop(); });
    queue_.push_back({&stream, std::move(block)});
  } catch (...) {
    // The block and its data are gone: the stream's file would lack them, so it fails, and a
    // new block may be made in this one's place.
    --blocks_made_;
    stream.failed_ = true;
    stream.fault_ = "a block of the image could not be queued";
    throw;
  }
  ++stream.queued_;
  work_.notify_one();
}

void ImageWriter::Loop() {
  std::unique_lock lock(mutex_);
  while (true) {
    work_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
    if (stopping_) return;
    Entry e = std::move(queue_.front());
    queue_.pop_front();
    Stream& s = *e.stream;
    writing_ = &s;
    const bool skip = s.failed_;
    lock.unlock();
    const bool ok = skip || s.file_.Write(e.block.data.get(), e.block.size);
    lock.lock();
    if (!ok) {
      s.failed_ = true;
      s.fault_ = "the file could not be written";
      try {
        s.error_ = s.file_.write_error();
      } catch (...) {
      }
    }
    writing_ = nullptr;
    free_.push_back(std::move(e.block));
    const bool flushed = --s.queued_ == 0 && s.sealed_;
    freed_.notify_all();
    if (flushed) on_flushed_();
  }
}

ImageWriter::Stream::Stream(ImageWriter& writer, TempImageFile& file)
    : writer_(writer), file_(file) {
  std::lock_guard lock(writer_.mutex_);
  writer_.streams_.insert(this);
}

ImageWriter::Stream::~Stream() {
  Forget();
  std::lock_guard lock(writer_.mutex_);
  writer_.streams_.erase(this);
}

bool ImageWriter::Stream::Write(const char* data, std::size_t size) {
  if (!handed_off_ && written_inline_ + size <= kInlineBytes) {
    written_inline_ += size;
    if (file_.Write(data, size)) return true;
    std::lock_guard lock(writer_.mutex_);
    failed_ = true;
    error_ = file_.write_error();
    return false;
  }
  handed_off_ = true;
  // The open block belongs to this thread alone: it is filled without the lock.
  while (size > 0) {
    if (!open_.data) {
      std::unique_lock lock(writer_.mutex_);
      if (failed_) return false;
      open_ = writer_.TakeBlock(lock);
    }
    const std::size_t n = std::min(size, kBlockBytes - open_.size);
    std::memcpy(open_.data.get() + open_.size, data, n);
    open_.size += n;
    data += n;
    size -= n;
    if (open_.size == kBlockBytes) {
      std::unique_lock lock(writer_.mutex_);
      if (failed_) return false;
      writer_.Enqueue(lock, *this, std::move(open_));
    }
  }
  std::lock_guard lock(writer_.mutex_);
  return !failed_;
}

void ImageWriter::Stream::Seal() noexcept {
  std::unique_lock lock(writer_.mutex_);
  sealed_ = true;
  if (open_.size > 0) {
    try {
      writer_.Enqueue(lock, *this, std::move(open_));
    } catch (...) {
      // The stream has failed; its error says so.
    }
  } else if (open_.data) {
    writer_.free_.push_back(std::move(open_));
    open_ = {};
  }
}

bool ImageWriter::Stream::Flushed() {
  std::lock_guard lock(writer_.mutex_);
  return queued_ == 0 && open_.size == 0;
}

void ImageWriter::Stream::Fail() noexcept {
  std::lock_guard lock(writer_.mutex_);
  failed_ = true;
}

std::string ImageWriter::Stream::error() {
  std::lock_guard lock(writer_.mutex_);
  if (error_.empty() && fault_) return fault_;
  return error_;
}

void ImageWriter::Stream::Forget() {
  std::unique_lock lock(writer_.mutex_);
  if (open_.data) writer_.free_.push_back(std::move(open_));
  open_ = {};
  auto& q = writer_.queue_;
  for (auto it = q.begin(); it != q.end();) {
    if (it->stream == this) {
      writer_.free_.push_back(std::move(it->block));
      it = q.erase(it);
      --queued_;
    } else {
      ++it;
    }
  }
  writer_.freed_.notify_all();
  writer_.freed_.wait(lock, [&] { return writer_.writing_ != this; });
}

}  // namespace pelmoa
