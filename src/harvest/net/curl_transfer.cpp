#include "harvest/net/curl_transfer.h"

#include "harvest/files/file_names.h"
#include "harvest/net/curl_loop.h"
#include "harvest/text/page_address.h"
#include "harvest/text/page_decoding.h"

namespace pelmoa {
namespace {

using Clock = TransferJob::Clock;

}  // namespace

CurlLoop::CurlLoop(TransferOptions o) : options(std::move(o)), network(options.extra_ca_file) {
  multi = curl_multi_init();
  curl_multi_setopt(multi, CURLMOPT_MAX_HOST_CONNECTIONS, 6L);
  curl_multi_setopt(multi, CURLMOPT_PIPELINING, CURLPIPE_MULTIPLEX);
  curl_multi_setopt(multi, CURLMOPT_MAX_CONCURRENT_STREAMS,
                    static_cast<long>(std::max(1, options.http2_streams)));
  network.SetWakeUp([this] { curl_multi_wakeup(multi); });
}

CurlLoop::~CurlLoop() {
  network.SetWakeUp({});
  AbortAll();
  curl_multi_cleanup(multi);
}

const CurlLoop::Made& CurlLoop::At(std::size_t k) const {
  auto it = made.find(k);
  if (it == made.end()) {
    ImageRequest r = batch->Request(k);
    std::string origin = OriginOf(r.url);
    it = made.emplace(k, Made{std::move(r), std::move(origin)}).first;
  }
  return it->second;
}

CURL* CurlLoop::NewEasy(const std::string& url, TransferJob* job) {
  job->multiplexed_origins = &multiplexed_origins;
  return NewRequest(url, *job, options, network);
}

void CurlLoop::CheckStalls() {
  const auto now = Clock::now();
  for (auto it = active.begin(); it != active.end();) {
    TransferJob& job = **it;
    if (job.NoProgress(options.stall_timeout, now)) {
      job.stalled = true;
      curl_multi_remove_handle(multi, job.easy);
      auto owned = std::move(*it);
      it = active.erase(it);
      Complete(std::move(owned), CURLE_OPERATION_TIMEDOUT);
    } else {
      ++it;
    }
  }
}

void CurlLoop::Pump() {
  TakeFlushed();
  StartImages();
  int running = 0;
  curl_multi_perform(multi, &running);
  int left = 0;
  while (CURLMsg* msg = curl_multi_info_read(multi, &left)) {
    if (msg->msg != CURLMSG_DONE) continue;
    CURL* e = msg->easy_handle;
    const CURLcode code = msg->data.result;
    curl_multi_remove_handle(multi, e);
    auto it = std::find_if(active.begin(), active.end(),
                           [e](const std::unique_ptr<TransferJob>& j) { return j->easy == e; });
    if (it == active.end()) continue;
    auto owned = std::move(*it);
    active.erase(it);
    Complete(std::move(owned), code);
  }
  TakeFlushed();
}

void CurlLoop::Drive(const std::function<bool()>& pred) {
  while (!pred()) {
    if (Cancelled()) {
      AbortAll();
      return;
    }
    Pump();
    CheckStalls();
    if (pred()) break;
    // Slots freed just now are filled before sleeping, not after the next socket event.
    StartImages();
    WantFiles();
    AskProxies();
    curl_multi_poll(multi, nullptr, 0, 50, nullptr);
  }
  // The requests for slots freed since the last call go out before the run commits
  // anything, also when the awaited image was already here: otherwise the slots stay idle
  // while the run stores a row of images fetched ahead.
  if (!Cancelled() && CanStartImage()) Pump();
}

void CurlLoop::Complete(std::unique_ptr<TransferJob> job, CURLcode code) {
  if (network.RetryWithCaFile(job->easy, job->origin, code, job->with_ca_file)) {
    job->checkpoint = Clock::now();
    curl_multi_add_handle(multi, job->easy);
    active.push_back(std::move(job));
    return;
  }
  if (job->is_page) {
    page_result = code;
    page_job = std::move(job);
    return;
  }
  long status = 0;
  curl_easy_getinfo(job->easy, CURLINFO_RESPONSE_CODE, &status);
  const std::size_t k = job->index;
  // Image servers often refuse a foreign Referer: ask once more without one.
  if (code == CURLE_HTTP_RETURNED_ERROR && status == 403 && job->with_referer) {
    curl_easy_cleanup(job->easy);
    job->easy = nullptr;
    StartImage(k, false);
    return;
  }
  const ImageResult r = job->ImageResultOf(code, status);
  curl_easy_cleanup(job->easy);
  job->easy = nullptr;
  results[k] = r;
  if (r.outcome == ImageOutcome::kStored) {
    job->sink->Seal();
    if (!job->sink->Flushed()) {
      flushing.push_back(std::move(job));
      return;
    }
  }
  Finish(std::move(job));
}

void CurlLoop::Finish(std::unique_ptr<TransferJob> job) {
  const std::size_t k = job->index;
  if (results[k].outcome == ImageOutcome::kStored) {
    if (std::string err = job->sink->error(); !err.empty()) {
      results[k] = {ImageOutcome::kFileFailed, err};
    }
  }
  if (results[k].outcome != ImageOutcome::kStored) job->Discard();
  done[k] = true;
  finished[k] = std::move(job);
}

void CurlLoop::TakeFlushed() {
  for (auto it = flushing.begin(); it != flushing.end();) {
    if ((*it)->sink->Flushed()) {
      auto owned = std::move(*it);
      it = flushing.erase(it);
      Finish(std::move(owned));
    } else {
      ++it;
    }
  }
}

CurlTransfer::CurlTransfer(TransferOptions options) : impl_(std::make_unique<CurlLoop>(options)) {}
CurlTransfer::~CurlTransfer() = default;

void CurlTransfer::set_jobs(int jobs) { impl_->options.jobs = jobs; }

void CurlTransfer::BeginRun() { impl_->network.BeginRun(); }

std::string CurlTransfer::RetrievePage(const std::string& url) {
  CurlLoop& m = *impl_;
  m.last_page_url = url;
  m.page_job.reset();
  if (m.Cancelled()) return {};
  // The proxy of the page's host may take a lookup; nothing else is in flight meanwhile.
  m.Drive([&m, &url] { return m.network.Ready(url); });
  if (m.Cancelled()) return {};
  auto job = std::make_unique<TransferJob>();
  job->is_page = true;
  job->max_body = m.options.max_page_bytes;
  job->easy = m.NewEasy(url, job.get());
  curl_multi_add_handle(m.multi, job->easy);
  m.active.push_back(std::move(job));
  m.Drive([&m] { return m.page_job != nullptr; });
  if (!m.page_job) return {};
  std::unique_ptr<TransferJob> done = std::move(m.page_job);
  std::string text;
  if (m.page_result == CURLE_OK && !done->stalled && !done->too_large) {
    const char* content_type = nullptr;
    curl_easy_getinfo(done->easy, CURLINFO_CONTENT_TYPE, &content_type);
    text = DecodePage(std::move(done->body), content_type ? content_type : "");
  }
  curl_easy_cleanup(done->easy);
  return text;
}

std::string CurlTransfer::DocumentPath() const { return DocumentPathOf(impl_->last_page_url); }

void CurlTransfer::BeginImages(const ImageBatch& images) {
  CurlLoop& m = *impl_;
  m.AbortAll();
  m.batch = &images;
  m.batch_size = images.size();
  const std::size_t n = m.batch_size;
  m.proxies_asked_up_to = 0;
  m.finished.clear();
  m.finished.resize(n);
  m.results.assign(n, {});
  m.done.assign(n, false);
  m.next_to_start = 0;
  m.next_to_finish = 0;
}

ImageResult CurlTransfer::FinishImage(std::size_t k) {
  CurlLoop& m = *impl_;
  if (k >= m.batch_size) return {ImageOutcome::kFetchFailed, "no such image"};
  m.next_to_finish = k;
  m.Drive([&m, k] { return bool(m.done[k]); });
  if (!m.done[k]) return {ImageOutcome::kCancelled, "cancelled"};
  m.next_to_finish = k + 1;
  m.made.erase(m.made.begin(), m.made.lower_bound(k + 1));
  ImageResult r = m.results[k];
  std::unique_ptr<TransferJob> job = std::move(m.finished[k]);
  if (r.outcome == ImageOutcome::kStored) {
    job->file.AddToTargetName(r.extension);
    job->file.SetTarget(m.batch->StoreAs(k, job->file.target()));
    if (std::string err = job->file.Commit(); !err.empty()) {
      r = {ImageOutcome::kFileFailed, err};
    } else {
      m.batch->Stored(k, job->file.target());
      r.name = Utf8FromPath(job->file.target().filename());
    }
  }
  return r;
}

void CurlTransfer::EndImages() {
  impl_->AbortAll();
  impl_->batch = nullptr;
  impl_->batch_size = 0;
}

}  // namespace pelmoa
