#include "harvest/curl_transfer.h"

#include <curl/curl.h>

#include <algorithm>
#include <functional>
#include <list>
#include <map>
#include <set>

#include "harvest/file_names.h"
#include "harvest/image_writer.h"
#include "harvest/page_address.h"
#include "harvest/page_decoding.h"
#include "harvest/request_network.h"
#include "harvest/temp_file_maker.h"
#include "harvest/transfer_job.h"

namespace pelmoa {

std::string UserAgent() { return std::string("Pelmoa/") + PELMOA_VERSION; }

namespace {

using Clock = TransferJob::Clock;

// Completed images waiting for their turn may hold at most this many temporary files per job.
constexpr std::size_t kLookaheadPerJob = 8;

}  // namespace

struct CurlTransfer::Impl {
  TransferOptions options;
  CURLM* multi = nullptr;
  std::string last_page_url;

  // The current image batch, and the requests made of it that are still needed: those from
  // the next image to finish up to the last one looked ahead to.
  const ImageBatch* batch = nullptr;
  std::size_t batch_size = 0;
  struct Made {
    ImageRequest request;
    std::string origin;
  };
  mutable std::map<std::size_t, Made> made;
  std::vector<std::unique_ptr<TransferJob>> finished;  // by index; null until finished
  std::vector<ImageResult> results;
  std::vector<bool> done;
  std::size_t next_to_start = 0;
  std::size_t next_to_finish = 0;
  std::list<std::unique_ptr<TransferJob>> active;
  // Received whole, their last blocks still on the way to disk.
  std::list<std::unique_ptr<TransferJob>> flushing;
  // Files for the images next in line (indices next_to_start, next_to_start + 1, ...),
  // made on a thread of their own: creating a file costs more than a request on some file
  // systems, and made beside the transfers it stays off the path from one response to the
  // next request.
  TempFileMaker maker;
  // Wakes the loop when an image's last block is on disk, so FinishImage sees it at once.
  ImageWriter writer{[this] { curl_multi_wakeup(multi); }};

  // Origins whose server answered over HTTP/2: their images are multiplexed, up to
  // options.http2_streams at a time, over one connection.
  std::set<std::string> multiplexed_origins;
  RequestNetwork network;
  // Images up to here have had the system's proxy settings asked about their hosts.
  std::size_t proxies_asked_up_to = 0;

  explicit Impl(TransferOptions o) : options(std::move(o)), network(options.extra_ca_file) {
    multi = curl_multi_init();
    curl_multi_setopt(multi, CURLMOPT_MAX_HOST_CONNECTIONS, 6L);
    curl_multi_setopt(multi, CURLMOPT_PIPELINING, CURLPIPE_MULTIPLEX);
    curl_multi_setopt(multi, CURLMOPT_MAX_CONCURRENT_STREAMS,
                      static_cast<long>(std::max(1, options.http2_streams)));
    network.SetWakeUp([this] { curl_multi_wakeup(multi); });
  }

  ~Impl() {
    network.SetWakeUp({});
    AbortAll();
    curl_multi_cleanup(multi);
  }

  bool Cancelled() const { return options.cancel && options.cancel->load(); }

  const Made& At(std::size_t k) const {
    auto it = made.find(k);
    if (it == made.end()) {
      ImageRequest r = batch->Request(k);
      std::string origin = OriginOf(r.url);
      it = made.emplace(k, Made{std::move(r), std::move(origin)}).first;
    }
    return it->second;
  }

  CURL* NewEasy(const std::string& url, TransferJob* job) {
    job->multiplexed_origins = &multiplexed_origins;
    return NewRequest(url, *job, options, network);
  }

  // A transfer without useful progress over a whole stall window fails.
  void CheckStalls() {
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

  // Starts what the free slots allow, moves every transfer along without waiting, and takes
  // in the finished ones.
  void Pump() {
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

  // Runs the multi handle until pred holds or the owner cancels.
  void Drive(const std::function<bool()>& pred) {
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

  void Complete(std::unique_ptr<TransferJob> job, CURLcode code) {
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

  // An image is finished when its last byte is on disk. A write that failed on the way counts
  // as a file failure, and its file is gone before its slot takes the next image.
  void Finish(std::unique_ptr<TransferJob> job) {
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

  void TakeFlushed() {
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

  std::size_t Jobs() const { return static_cast<std::size_t>(std::max(1, options.jobs)); }

  bool Multiplexed(std::size_t k) const {
    return k < batch_size && multiplexed_origins.count(At(k).origin) > 0;
  }

  // How far past the image the run waits for the transfer may start images. Over HTTP/2 it
  // covers every stream the connection allows and as many again, so streams that finish
  // early keep being replaced while a slow one holds up the run.
  std::size_t Lookahead(std::size_t k) const {
    if (Multiplexed(k)) {
      return std::max(Jobs() * kLookaheadPerJob,
                      2 * static_cast<std::size_t>(std::max(1, options.http2_streams)));
    }
    return Jobs() * kLookaheadPerJob;
  }

  std::size_t PrepareLimit() const {
    return std::min(batch_size, next_to_finish + Lookahead(next_to_start));
  }

  // Requests that may start at once when slots free: over HTTP/2 a whole round of streams.
  std::size_t Slots(std::size_t k) const {
    return Multiplexed(k) ? static_cast<std::size_t>(std::max(1, options.http2_streams)) : Jobs();
  }

  // Asks for the files of the images next in line: as many as may start at once, so a
  // round of freed slots goes out without waiting for the file system.
  void WantFiles() {
    const std::size_t until =
        std::min(PrepareLimit(), next_to_start + Slots(next_to_start));
    for (std::size_t k = std::max(maker.wanted_up_to(), next_to_start); k < until; ++k) {
      maker.Want(k, At(k).request.target);
    }
  }

  // Asks about the proxies of the hosts of the images next in line at once, so lookups that
  // take their time run side by side, off this loop.
  void AskProxies() {
    const std::size_t until = PrepareLimit();
    for (std::size_t k = std::max(proxies_asked_up_to, next_to_start); k < until; ++k) {
      network.Ready(At(k).request.url);
    }
    proxies_asked_up_to = std::max(proxies_asked_up_to, until);
  }

  void StartImage(std::size_t k, bool with_referer) {
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

  // Images start strictly in list order. Over HTTP/1.1 at most `jobs` are in flight in all;
  // an origin that multiplexes takes up to http2_streams of its own on its one connection.
  // An image whose host's proxy is still being looked up waits; the others go on meanwhile.
  bool CanStartImage() {
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

  void StartImages() {
    while (CanStartImage()) StartImage(next_to_start++, true);
  }

  void AbortAll() {
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

  std::unique_ptr<TransferJob> page_job;
  CURLcode page_result = CURLE_OK;
};

CurlTransfer::CurlTransfer(TransferOptions options) : impl_(std::make_unique<Impl>(options)) {}
CurlTransfer::~CurlTransfer() = default;

void CurlTransfer::set_jobs(int jobs) { impl_->options.jobs = jobs; }

void CurlTransfer::BeginRun() { impl_->network.BeginRun(); }

std::string CurlTransfer::RetrievePage(const std::string& url) {
  Impl& m = *impl_;
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
  Impl& m = *impl_;
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
  Impl& m = *impl_;
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
