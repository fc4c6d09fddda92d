#include "harvest/files/temp_file_maker.h"

namespace pelmoa {

TempFileMaker::~TempFileMaker() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void TempFileMaker::Want(std::size_t index, const std::filesystem::path& target) {
  {
    std::lock_guard lock(mutex_);
    pending_.emplace_back(index, target);
    wanted_up_to_ = index + 1;
    // Started on first use: a page without images never starts it.
    if (!thread_.joinable()) thread_ = std::thread([this] { Loop(); });
  }
  wake_.notify_one();
}

std::optional<MadeFile> TempFileMaker::Take(std::size_t index) {
  std::unique_lock lock(mutex_);
  made_one_.wait(lock, [&] { return making_ != index; });
  if (auto it = made_.find(index); it != made_.end()) {
    MadeFile f = std::move(it->second);
    made_.erase(it);
    return f;
  }
  for (auto it = pending_.begin(); it != pending_.end(); ++it) {
    if (it->first != index) continue;
    const std::filesystem::path target = std::move(it->second);
    pending_.erase(it);
    lock.unlock();
    MadeFile f;
    f.error = f.file.Create(target);
    return f;
  }
  return std::nullopt;
}

void TempFileMaker::Clear() {
  std::map<std::size_t, MadeFile> discard;
  {
    std::unique_lock lock(mutex_);
    pending_.clear();
    made_one_.wait(lock, [&] { return !making_; });
    discard.swap(made_);
    wanted_up_to_ = 0;
  }
  // The files are removed as `discard` goes.
}

void TempFileMaker::Loop() {
  std::unique_lock lock(mutex_);
  while (true) {
    wake_.wait(lock, [&] { return stopping_ || !pending_.empty(); });
    if (stopping_) return;
    auto [index, target] = std::move(pending_.front());
    pending_.pop_front();
    making_ = index;
    lock.unlock();
    MadeFile f;
    f.error = f.file.Create(target);
    lock.lock();
    made_.emplace(index, std::move(f));
    making_.reset();
    made_one_.notify_all();
  }
}

}  // namespace pelmoa
