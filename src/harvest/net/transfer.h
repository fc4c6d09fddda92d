#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace pelmoa {

struct TransferOptions {
  // A transfer that makes no useful progress for this long fails (connect or data).
  std::chrono::milliseconds stall_timeout{60'000};
  // Images fetched at a time over HTTP/1.1; never more than six connections to one host.
  int jobs = 6;
  // Images of one host in flight at a time once it is known to multiplex them over one
  // HTTP/2 connection (offered by the server during the TLS handshake).
  int http2_streams = 100;
  // False keeps every transfer on HTTP/1.1.
  bool http2 = true;
  // A PEM file of certificate authorities trusted in addition to the system's store; empty
  // for the system's store alone. Certificates are always verified.
  std::string extra_ca_file;
  int max_redirects = 10;
  // A page body (after content decoding) larger than this is an unreadable page.
  std::int64_t max_page_bytes = std::int64_t{64} << 20;
  // Set by the owner to abort whatever is in flight.
  const std::atomic<bool>* cancel = nullptr;
};

struct ImageRequest {
  std::string url;  // as it goes on the wire (already encoded)
  std::string referer;
  std::filesystem::path target;  // destination folder / file name
  // The target gets the extension the answer's Content-Type names (ImageTypeExtension); an
  // answer of any other type is a failed fetch.
  bool extension_from_type = false;
  // A picture whose header gives a width or height under this is left out (0: none is).
  int min_side = 0;
};

// The images of one batch. The transfer asks for a request when it first needs it, so a page
// that names many long addresses holds only the requests near the ones in flight.
class ImageBatch {
 public:
  virtual ~ImageBatch() = default;
  virtual std::size_t size() const = 0;
  // Request k, 0 <= k < size(); may be asked for more than once.
  virtual ImageRequest Request(std::size_t k) const = 0;
  // Where image k is put, given its target with any extension its type added: the batch may
  // choose another name, so that no image of another address is replaced.
  virtual std::filesystem::path StoreAs(std::size_t, const std::filesystem::path& target) const {
    return target;
  }
  // Image k is now in place at target.
  virtual void Stored(std::size_t, const std::filesystem::path&) const {}
};

// kLeftOut: smaller than the request's minimum side; nothing is stored and nothing failed.
enum class ImageOutcome { kStored, kFetchFailed, kFileFailed, kCancelled, kLeftOut };

struct ImageResult {
  ImageResult(ImageOutcome o = ImageOutcome::kFetchFailed, std::string why = {},
              std::string added_extension = {})
      : outcome(o), reason(std::move(why)), extension(std::move(added_extension)) {}

  ImageOutcome outcome;
  std::string reason;     // for failures: what went wrong, in plain words
  std::string extension;  // added to the target's name (extension_from_type)
  std::string name;       // stored: the name the file was put in place under
};

// The transfer control a window or the command line owns and every run borrows.
class Transfer {
 public:
  virtual ~Transfer() = default;

  // A run starts: what the previous one learnt of the system's proxy settings is asked again.
  virtual void BeginRun() {}

  // The page as UTF-8 text; empty when it cannot be read (no connection, time-out,
  // HTTP status >= 400, too large).
  virtual std::string RetrievePage(const std::string& url) = 0;
  // Path part of the address retrieved last: "" for a bare host, "/dir/", "/dir/page.html".
  virtual std::string DocumentPath() const = 0;

  // Starts fetching a batch of images, several at a time, each streamed into a temporary
  // file beside its target. Nothing is moved into place until FinishImage. The batch lives
  // until EndImages.
  virtual void BeginImages(const ImageBatch& images) = 0;
  // Waits for image k of the batch and moves it over its target. Called at most once per k,
  // in increasing k, so equal targets are written in batch order.
  virtual ImageResult FinishImage(std::size_t k) = 0;
  // Aborts what is still in flight and removes every temporary file of the batch.
  virtual void EndImages() = 0;
};

}  // namespace pelmoa
