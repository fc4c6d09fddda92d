#include "harvest/net/curl_loop.h"

namespace pelmoa {
namespace {

// Completed images waiting for their turn may hold at most this many temporary files per job.
constexpr std::size_t kLookaheadPerJob = 8;

}  // namespace

bool CurlLoop::Multiplexed(std::size_t k) const {
  return k < batch_size && multiplexed_origins.count(At(k).origin) > 0;
}

std::size_t CurlLoop::Lookahead(std::size_t k) const {
  if (Multiplexed(k)) {
    return std::max(Jobs() * kLookaheadPerJob,
                    2 * static_cast<std::size_t>(std::max(1, options.http2_streams)));
  }
  return Jobs() * kLookaheadPerJob;
}

std::size_t CurlLoop::PrepareLimit() const {
  return std::min(batch_size, next_to_finish + Lookahead(next_to_start));
}

std::size_t CurlLoop::Slots(std::size_t k) const {
  return Multiplexed(k) ? static_cast<std::size_t>(std::max(1, options.http2_streams)) : Jobs();
}

void CurlLoop::WantFiles() {
  const std::size_t until =
      std::min(PrepareLimit(), next_to_start + Slots(next_to_start));
  for (std::size_t k = std::max(maker.wanted_up_to(), next_to_start); k < until; ++k) {
    maker.Want(k, At(k).request.target);
  }
}

void CurlLoop::AskProxies() {
  const std::size_t until = PrepareLimit();
  for (std::size_t k = std::max(proxies_asked_up_to, next_to_start); k < until; ++k) {
    network.Ready(At(k).request.url);
  }
  proxies_asked_up_to = std::max(proxies_asked_up_to, until);
}

void CurlLoop::StartImage(std::size_t k, bool with_referer) {
  const ImageRequest& request = At(k).request;
  auto job = std::make_unique<TransferJob>();
  job->index = k;
  job->with_referer = with_referer;
  job->extension_from_type = request.extension_from_type;
  std::string err;
  if (std::optional<MadeFile> file = maker.Take(k)) {
    job->file = std::move(file->file);
    err = std::move(file->error);
  } else {
    err = job->file.Create(request.target);
  }
  if (!err.empty()) {
    results[k] = {ImageOutcome::kFileFailed, err};
    done[k] = true;
    return;
  }
  job->sink = std::make_unique<ImageWriter::Stream>(writer, job->file);
  job->small_check = SmallImageCheck(request.min_side);
  job->easy = NewEasy(request.url, job.get());
  if (with_referer && !request.referer.empty()) {
    curl_easy_setopt(job->easy, CURLOPT_REFERER, request.referer.c_str());
  }
  curl_multi_add_handle(multi, job->easy);
  active.push_back(std::move(job));
}

bool CurlLoop::CanStartImage() {
  const std::size_t k = next_to_start;
  if (k >= batch_size || k >= next_to_finish + Lookahead(k)) return false;
  if (!network.Ready(At(k).request.url)) return false;
  const bool multiplexed = Multiplexed(k);
  std::size_t busy = 0;
  auto count = [&](const std::list<std::unique_ptr<TransferJob>>& jobs) {
    for (const auto& job : jobs) {
      if (job->is_page) continue;
      if (multiplexed ? job->origin == At(k).origin
                      : multiplexed_origins.count(job->origin) == 0) {
        ++busy;
      }
    }
  };
  // An image holds its slot until it is on disk, as when the loop wrote it itself.
  count(active);
  count(flushing);
  return busy < Slots(k);
}

void CurlLoop::StartImages() {
  while (CanStartImage()) StartImage(next_to_start++, true);
}

void CurlLoop::AbortAll() {
  maker.Clear();
  made.clear();
  for (auto& job : active) {
    curl_multi_remove_handle(multi, job->easy);
    curl_easy_cleanup(job->easy);
    job->easy = nullptr;
    job->Discard();
  }
  active.clear();
  for (auto& job : flushing) job->Discard();
  flushing.clear();
  for (auto& job : finished) {
    if (job) job->Discard();
  }
  finished.clear();
  if (page_job) {
    curl_easy_cleanup(page_job->easy);
    page_job.reset();
  }
}

}  // namespace pelmoa
