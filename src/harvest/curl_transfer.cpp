#include "harvest/curl_transfer.h"

#include <curl/curl.h>

#include <algorithm>
#include <functional>
#include <list>
#include <set>
#include <string_view>

#include "harvest/file_names.h"
#include "harvest/image_types.h"
#include "harvest/image_writer.h"
#include "harvest/page_address.h"
#include "harvest/page_decoding.h"
#include "harvest/request_network.h"
#include "harvest/temp_file_maker.h"

namespace pelmoa {

std::string UserAgent() { return std::string("Pelmoa/") + PELMOA_VERSION; }

namespace {

using Clock = std::chrono::steady_clock;

// Completed images waiting for their turn may hold at most this many temporary files per job.
constexpr std::size_t kLookaheadPerJob = 8;
constexpr long kReceiveBufferBytes = 128 * 1024;

struct Job {
  CURL* easy = nullptr;
  bool is_page = false;
  std::size_t index = 0;  // image position in the batch
  std::string origin;     // scheme://host:port of the request
  // Where the first status line reports HTTP/2 the origin goes, so its later images share
  // the connection.
  std::set<std::string>* multiplexed_origins = nullptr;
  bool status_seen = false;
  bool with_referer = true;
  // Page body, capped.
  std::string body;
  std::int64_t max_body = 0;
  bool too_large = false;
  // Image body goes to disk: small ones at once, large ones through the writer's thread.
  TempImageFile file;
  std::unique_ptr<ImageWriter::Stream> sink;
  bool write_failed = false;
  // Progress bookkeeping for the stall rule.
  std::int64_t bytes = 0;
  std::int64_t checkpoint_bytes = 0;
  Clock::time_point checkpoint;
  bool stalled = false;
  char error[CURL_ERROR_SIZE] = {};

  // Leaves no file, whatever of it is still queued.
  void Discard() {
    if (sink) sink->Forget();
    file.Discard();
  }
};

size_t WritePage(char* data, size_t size, size_t count, void* user) {
  auto* job = static_cast<Job*>(user);
  const size_t n = size * count;
  job->bytes += static_cast<std::int64_t>(n);
  if (static_cast<std::int64_t>(job->body.size() + n) > job->max_body) {
    job->too_large = true;
    return 0;
  }
  job->body.append(data, n);
  return n;
}

size_t WriteImage(char* data, size_t size, size_t count, void* user) {
  auto* job = static_cast<Job*>(user);
  const size_t n = size * count;
  job->bytes += static_cast<std::int64_t>(n);
  if (!job->sink->Write(data, n)) {
    job->write_failed = true;
    return 0;
  }
  return n;
}

size_t CountHeader(char* data, size_t size, size_t count, void* user) {
  auto* job = static_cast<Job*>(user);
  const size_t n = size * count;
  job->bytes += static_cast<std::int64_t>(n);
  // Only the first response comes from the origin asked; a redirect's target may differ.
  if (!job->status_seen) {
    job->status_seen = true;
    if (std::string_view(data, n).starts_with("HTTP/2 ") && job->multiplexed_origins) {
      job->multiplexed_origins->insert(job->origin);
    }
  }
  return n;
}

// "https://host:port" of an address, up to its path, query or fragment.
std::string OriginOf(const std::string& url) {
  const std::size_t scheme = url.find("://");
  const std::size_t from = scheme == std::string::npos ? 0 : scheme + 3;
  return url.substr(0, url.find_first_of("/?#", from));
}

}  // namespace

struct CurlTransfer::Impl {
  TransferOptions options;
  CURLM* multi = nullptr;
  std::string last_page_url;

  // The current image batch.
  std::vector<ImageRequest> requests;
  std::vector<std::unique_ptr<Job>> finished;  // by index; null until finished
  std::vector<ImageResult> results;
  std::vector<bool> done;
  std::size_t next_to_start = 0;
  std::size_t next_to_finish = 0;
  std::list<std::unique_ptr<Job>> active;
  // Received whole, their last blocks still on the way to disk.
  std::list<std::unique_ptr<Job>> flushing;
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
  std::vector<std::string> origins;  // of each request of the batch
  RequestNetwork network;

  explicit Impl(TransferOptions o) : options(std::move(o)), network(options.extra_ca_file) {
    multi = curl_multi_init();
    curl_multi_setopt(multi, CURLMOPT_MAX_HOST_CONNECTIONS, 6L);
    curl_multi_setopt(multi, CURLMOPT_PIPELINING, CURLPIPE_MULTIPLEX);
    curl_multi_setopt(multi, CURLMOPT_MAX_CONCURRENT_STREAMS,
                      static_cast<long>(std::max(1, options.http2_streams)));
  }

  ~Impl() {
    AbortAll();
    curl_multi_cleanup(multi);
  }

  bool Cancelled() const { return options.cancel && options.cancel->load(); }

  CURL* NewEasy(const std::string& url, Job* job) {
    job->origin = OriginOf(url);
    job->multiplexed_origins = &multiplexed_origins;
    CURL* e = curl_easy_init();
    curl_easy_setopt(e, CURLOPT_URL, url.c_str());
    curl_easy_setopt(e, CURLOPT_PRIVATE, job);
    curl_easy_setopt(e, CURLOPT_ERRORBUFFER, job->error);
    curl_easy_setopt(e, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(e, CURLOPT_USERAGENT, UserAgent().c_str());
    curl_easy_setopt(e, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(e, CURLOPT_MAXREDIRS, static_cast<long>(options.max_redirects));
    curl_easy_setopt(e, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(e, CURLOPT_DEFAULT_PROTOCOL, "http");
    // Dot segments go to the server as the page wrote them.
    curl_easy_setopt(e, CURLOPT_PATH_AS_IS, 1L);
    curl_easy_setopt(e, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS,
                     static_cast<long>(options.stall_timeout.count()));
    curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, CountHeader);
    curl_easy_setopt(e, CURLOPT_HEADERDATA, job);
    curl_easy_setopt(e, CURLOPT_PIPEWAIT, 1L);
    // HTTP/2 only where the server offers it in the TLS handshake; plain http stays 1.1.
    curl_easy_setopt(e, CURLOPT_HTTP_VERSION,
                     options.http2 ? CURL_HTTP_VERSION_2TLS : CURL_HTTP_VERSION_1_1);
    network.Prepare(e, url, job->origin);
    // Large images arrive in fewer, larger pieces: a quarter of the system calls and loop
    // turns of the 16 KB default, for 112 KB more memory per transfer in flight.
    curl_easy_setopt(e, CURLOPT_BUFFERSIZE, kReceiveBufferBytes);
    job->checkpoint = Clock::now();
    return e;
  }

  // A transfer fails when a whole stall window passes with less than one byte per second
  // of it: a server that drips a byte now and then cannot hold a run for ever.
  void CheckStalls() {
    const auto now = Clock::now();
    const auto window = options.stall_timeout;
    const std::int64_t min_bytes =
        std::max<std::int64_t>(1, std::chrono::duration_cast<std::chrono::seconds>(window).count());
    auto check = [&](Job& job) {
      if (now - job.checkpoint < window) return false;
      if (job.bytes - job.checkpoint_bytes < min_bytes) return true;
      job.checkpoint = now;
      job.checkpoint_bytes = job.bytes;
      return false;
    };
    for (auto it = active.begin(); it != active.end();) {
      Job& job = **it;
      if (check(job)) {
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
                             [e](const std::unique_ptr<Job>& j) { return j->easy == e; });
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
      curl_multi_poll(multi, nullptr, 0, 50, nullptr);
    }
    // The requests for slots freed since the last call go out before the run commits
    // anything, also when the awaited image was already here: otherwise the slots stay idle
    // while the run stores a row of images fetched ahead.
    if (!Cancelled() && CanStartImage()) Pump();
  }

  void Complete(std::unique_ptr<Job> job, CURLcode code) {
    if (network.RetryWithCaFile(job->easy, job->origin, code)) {
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
    ImageResult r;
    if (job->stalled) {
      r = {ImageOutcome::kFetchFailed, "no progress within the time-out"};
    } else if (job->write_failed) {
      r = {ImageOutcome::kFileFailed, job->sink->error()};
    } else if (code == CURLE_HTTP_RETURNED_ERROR) {
      r = {ImageOutcome::kFetchFailed, "HTTP status " + std::to_string(status)};
    } else if (code != CURLE_OK) {
      r = {ImageOutcome::kFetchFailed, job->error[0] ? job->error : curl_easy_strerror(code)};
    } else {
      r = {ImageOutcome::kStored, {}};
      if (requests[k].extension_from_type) r = TypedResult(job->easy);
    }
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
  void Finish(std::unique_ptr<Job> job) {
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

  // A name without an image extension takes the one its answer's type names.
  static ImageResult TypedResult(CURL* easy) {
    const char* type = nullptr;
    curl_easy_getinfo(easy, CURLINFO_CONTENT_TYPE, &type);
    const std::string_view extension = ImageTypeExtension(type ? type : "");
    if (extension.empty()) {
      const std::string what = type ? type : "no type";
      return {ImageOutcome::kFetchFailed, "not an image: " + what};
    }
    return {ImageOutcome::kStored, {}, std::string(extension)};
  }

  std::size_t Jobs() const { return static_cast<std::size_t>(std::max(1, options.jobs)); }

  bool Multiplexed(std::size_t k) const {
    return k < origins.size() && multiplexed_origins.count(origins[k]) > 0;
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
    return std::min(requests.size(), next_to_finish + Lookahead(next_to_start));
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
      maker.Want(k, requests[k].target);
    }
  }

  void StartImage(std::size_t k, bool with_referer) {
    auto job = std::make_unique<Job>();
    job->index = k;
    job->with_referer = with_referer;
    std::string err;
    if (std::optional<MadeFile> made = maker.Take(k)) {
      job->file = std::move(made->file);
      err = std::move(made->error);
    } else {
      err = job->file.Create(requests[k].target);
    }
    if (!err.empty()) {
      results[k] = {ImageOutcome::kFileFailed, err};
      done[k] = true;
      return;
    }
    job->sink = std::make_unique<ImageWriter::Stream>(writer, job->file);
    job->easy = NewEasy(requests[k].url, job.get());
    curl_easy_setopt(job->easy, CURLOPT_WRITEFUNCTION, WriteImage);
    curl_easy_setopt(job->easy, CURLOPT_WRITEDATA, job.get());
    if (with_referer && !requests[k].referer.empty()) {
      curl_easy_setopt(job->easy, CURLOPT_REFERER, requests[k].referer.c_str());
    }
    curl_multi_add_handle(multi, job->easy);
    active.push_back(std::move(job));
  }

  // Images start strictly in list order. Over HTTP/1.1 at most `jobs` are in flight in all;
  // an origin that multiplexes takes up to http2_streams of its own on its one connection.
  bool CanStartImage() const {
    const std::size_t k = next_to_start;
    if (k >= requests.size() || k >= next_to_finish + Lookahead(k)) return false;
    const bool multiplexed = Multiplexed(k);
    std::size_t busy = 0;
    auto count = [&](const std::list<std::unique_ptr<Job>>& jobs) {
      for (const auto& job : jobs) {
        if (job->is_page) continue;
        if (multiplexed ? job->origin == origins[k]
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

  std::unique_ptr<Job> page_job;
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
  auto job = std::make_unique<Job>();
  job->is_page = true;
  job->max_body = m.options.max_page_bytes;
  job->easy = m.NewEasy(url, job.get());
  curl_easy_setopt(job->easy, CURLOPT_WRITEFUNCTION, WritePage);
  curl_easy_setopt(job->easy, CURLOPT_WRITEDATA, job.get());
  curl_easy_setopt(job->easy, CURLOPT_ACCEPT_ENCODING, "");
  curl_multi_add_handle(m.multi, job->easy);
  m.active.push_back(std::move(job));
  m.Drive([&m] { return m.page_job != nullptr; });
  if (!m.page_job) return {};
  std::unique_ptr<Job> done = std::move(m.page_job);
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

void CurlTransfer::BeginImages(std::vector<ImageRequest> requests) {
  Impl& m = *impl_;
  m.AbortAll();
  m.requests = std::move(requests);
  const std::size_t n = m.requests.size();
  m.origins.clear();
  for (const ImageRequest& r : m.requests) m.origins.push_back(OriginOf(r.url));
  m.finished.clear();
  m.finished.resize(n);
  m.results.assign(n, {});
  m.done.assign(n, false);
  m.next_to_start = 0;
  m.next_to_finish = 0;
}

ImageResult CurlTransfer::FinishImage(std::size_t k) {
  Impl& m = *impl_;
  if (k >= m.requests.size()) return {ImageOutcome::kFetchFailed, "no such image"};
  m.next_to_finish = k;
  m.Drive([&m, k] { return bool(m.done[k]); });
  if (!m.done[k]) return {ImageOutcome::kCancelled, "cancelled"};
  m.next_to_finish = k + 1;
  ImageResult r = m.results[k];
  std::unique_ptr<Job> job = std::move(m.finished[k]);
  if (r.outcome == ImageOutcome::kStored) {
    job->file.AddToTargetName(r.extension);
    if (std::string err = job->file.Commit(); !err.empty()) {
      r = {ImageOutcome::kFileFailed, err};
    }
  }
  return r;
}

void CurlTransfer::EndImages() {
  impl_->AbortAll();
  impl_->requests.clear();
}

}  // namespace pelmoa
