#include "harvest/net/transfer_job.h"

#include <algorithm>
#include <string_view>
#include <system_error>

#include "harvest/net/request_network.h"
#include "harvest/text/image_types.h"

namespace pelmoa {

namespace {

// "Pelmoa/<version>", the User-Agent of every request.
std::string UserAgent() { return std::string("Pelmoa/") + PELMOA_VERSION; }

constexpr long kReceiveBufferBytes = 128 * 1024;
// The rest of a left-out picture up to this size is read and dropped over HTTP/1.1: a new
// connection for the next image (TCP and TLS handshakes) costs more on most lines.
constexpr std::int64_t kDrainBytes = 64 * 1024;

// The callbacks run inside libcurl's C frames, which an exception must never cross: each
// catches everything, and a failure to allocate (or to start the writer's thread) ends that
// transfer as failed instead of ending the program.
constexpr char kNoMemory[] = "not enough memory";
constexpr char kNoWriter[] = "the writer could not start";

size_t WritePage(char* data, size_t size, size_t count, void* user) noexcept {
  auto* job = static_cast<TransferJob*>(user);
  const size_t n = size * count;
  job->bytes += static_cast<std::int64_t>(n);
  if (static_cast<std::int64_t>(job->body.size() + n) > job->max_body) {
    job->too_large = true;
    return 0;
  }
  try {
    job->body.append(data, n);
  } catch (...) {
    job->failure = kNoMemory;
    return 0;
  }
  return n;
}

size_t WriteImage(char* data, size_t size, size_t count, void* user) noexcept {
  auto* job = static_cast<TransferJob*>(user);
  const size_t n = size * count;
  job->bytes += static_cast<std::int64_t>(n);
  bool written = false;
  try {
    // Once its header shows a picture too small, nothing more of it is written.
    if (job->LeavesOut({data, n})) return job->left_out_drains ? n : 0;
    written = job->sink->Write(data, n);
  } catch (const std::system_error&) {
    job->failure = kNoWriter;
  } catch (...) {
    job->failure = kNoMemory;
  }
  if (!written) {
    // The stream may have lost a block on the way: it takes nothing more.
    if (job->failure) job->sink->Fail();
    job->write_failed = true;
    return 0;
  }
  return n;
}

size_t CountHeader(char* data, size_t size, size_t count, void* user) noexcept {
  auto* job = static_cast<TransferJob*>(user);
  const size_t n = size * count;
  job->bytes += static_cast<std::int64_t>(n);
  // Only the first response comes from the origin asked; a redirect's target may differ.
  if (!job->status_seen) {
    job->status_seen = true;
    if (std::string_view(data, n).starts_with("HTTP/2 ") && job->multiplexed_origins) {
      // Without the note the origin's images go one connection each, as over HTTP/1.1.
      try {
        job->multiplexed_origins->insert(job->origin);
      } catch (...) {
      }
    }
  }
  return n;
}

// A name without an image extension takes the one its answer's type names.
ImageResult TypedResult(CURL* easy) {
  const char* type = nullptr;
  curl_easy_getinfo(easy, CURLINFO_CONTENT_TYPE, &type);
  const std::string_view extension = ImageTypeExtension(type ? type : "");
  if (extension.empty()) {
    const std::string what = type ? type : "no type";
    return {ImageOutcome::kFetchFailed, "not an image: " + what};
  }
  return {ImageOutcome::kStored, {}, std::string(extension)};
}

}  // namespace

void TransferJob::Discard() {
  if (sink) sink->Forget();
  file.Discard();
}

bool TransferJob::LeavesOut(std::string_view piece) {
  if (left_out) return true;
  if (small_check.Feed(piece) != SmallImageCheck::Verdict::kLeaveOut) return false;
  left_out = true;
  long version = 0;
  curl_easy_getinfo(easy, CURLINFO_HTTP_VERSION, &version);
  curl_off_t length = -1;
  curl_easy_getinfo(easy, CURLINFO_CONTENT_LENGTH_DOWNLOAD_T, &length);
  // HTTP/2 ends the one stream and keeps the connection; an unknown length may be anything.
  left_out_drains = version != CURL_HTTP_VERSION_2_0 && length >= 0 &&
                    length - small_check.fed() <= kDrainBytes;
  return true;
}

bool TransferJob::NoProgress(std::chrono::milliseconds window, Clock::time_point now) {
  if (now - checkpoint < window) return false;
  const std::int64_t min_bytes =
      std::max<std::int64_t>(1, std::chrono::duration_cast<std::chrono::seconds>(window).count());
  if (bytes - checkpoint_bytes < min_bytes) return true;
  checkpoint = now;
  checkpoint_bytes = bytes;
  return false;
}

ImageResult TransferJob::ImageResultOf(CURLcode code, long status) const {
  if (left_out) {
    // A name that waits for the answer's type still needs an image type to be one.
    if (extension_from_type) {
      ImageResult typed = TypedResult(easy);
      if (typed.outcome != ImageOutcome::kStored) return typed;
    }
    return {ImageOutcome::kLeftOut, "smaller than the minimum side"};
  }
  if (stalled) return {ImageOutcome::kFetchFailed, "no progress within the time-out"};
  if (failure) return {ImageOutcome::kFileFailed, failure};
  if (write_failed) return {ImageOutcome::kFileFailed, sink->error()};
  if (code == CURLE_HTTP_RETURNED_ERROR) {
    return {ImageOutcome::kFetchFailed, "HTTP status " + std::to_string(status)};
  }
  if (code != CURLE_OK) {
    return {ImageOutcome::kFetchFailed, error[0] ? error : curl_easy_strerror(code)};
  }
  if (extension_from_type) return TypedResult(easy);
  return {ImageOutcome::kStored, {}};
}

std::string OriginOf(const std::string& url) {
  const std::size_t scheme = url.find("://");
  const std::size_t from = scheme == std::string::npos ? 0 : scheme + 3;
  return url.substr(0, url.find_first_of("/?#", from));
}

CURL* NewRequest(const std::string& url, TransferJob& job, const TransferOptions& options,
                 RequestNetwork& network) {
  job.origin = OriginOf(url);
  CURL* e = curl_easy_init();
  curl_easy_setopt(e, CURLOPT_URL, url.c_str());
  curl_easy_setopt(e, CURLOPT_PRIVATE, &job);
  curl_easy_setopt(e, CURLOPT_ERRORBUFFER, job.error);
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
  curl_easy_setopt(e, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(options.stall_timeout.count()));
  curl_easy_setopt(e, CURLOPT_HEADERFUNCTION, CountHeader);
  curl_easy_setopt(e, CURLOPT_HEADERDATA, &job);
  curl_easy_setopt(e, CURLOPT_PIPEWAIT, 1L);
  // HTTP/2 only where the server offers it in the TLS handshake; plain http stays 1.1.
  curl_easy_setopt(e, CURLOPT_HTTP_VERSION,
                   options.http2 ? CURL_HTTP_VERSION_2TLS : CURL_HTTP_VERSION_1_1);
  job.with_ca_file = network.Prepare(e, url, job.origin);
  // Large images arrive in fewer, larger pieces: a quarter of the system calls and loop
  // turns of the 16 KB default, for 112 KB more memory per transfer in flight.
  curl_easy_setopt(e, CURLOPT_BUFFERSIZE, kReceiveBufferBytes);
  curl_easy_setopt(e, CURLOPT_WRITEFUNCTION, job.is_page ? WritePage : WriteImage);
  curl_easy_setopt(e, CURLOPT_WRITEDATA, &job);
  // A page may come compressed in any encoding libcurl knows; images come as they are.
  if (job.is_page) curl_easy_setopt(e, CURLOPT_ACCEPT_ENCODING, "");
  job.checkpoint = TransferJob::Clock::now();
  return e;
}

}  // namespace pelmoa
