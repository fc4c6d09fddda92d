#pragma once

#include <curl/curl.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <string_view>

#include "harvest/files/file_names.h"
#include "harvest/net/image_writer.h"
#include "harvest/net/small_image_check.h"
#include "harvest/net/transfer.h"

namespace pelmoa {

class RequestNetwork;

// One request in flight, for a page or for an image, and what its callbacks gather: the
// page's body or the image's file, and the progress the stall rule reads.
struct TransferJob {
  using Clock = std::chrono::steady_clock;

  CURL* easy = nullptr;
  bool is_page = false;
  std::size_t index = 0;  // image position in the batch
  std::string origin;     // scheme://host:port of the request
  // Where the first status line reports HTTP/2 the origin goes, so its later images share
  // the connection.
  std::set<std::string>* multiplexed_origins = nullptr;
  bool status_seen = false;
  bool with_referer = true;
  // Given the added authorities as well (where they replace the system's store).
  bool with_ca_file = false;
  // The target takes the extension its answer's Content-Type names.
  bool extension_from_type = false;
  // Page body, capped.
  std::string body;
  std::int64_t max_body = 0;
  bool too_large = false;
  // Image body goes to disk: small ones at once, large ones through the writer's thread.
  // The sink comes after the file, so it lets go of the file before the file closes.
  TempImageFile file;
  std::unique_ptr<ImageWriter::Stream> sink;
  bool write_failed = false;
  // Why a callback gave up when the reason is not the file's: it could not allocate or could
  // not start the writer. Nothing that can throw is done to record it.
  const char* failure = nullptr;
  // A picture under the run's minimum side is left out once its header says so: nothing
  // more of it is written, and the transfer stops unless the rest is small enough to read
  // past (left_out_drains), so an HTTP/1.1 connection stays open for the next image.
  SmallImageCheck small_check;
  bool left_out = false;
  bool left_out_drains = false;
  // Progress bookkeeping for the stall rule.
  std::int64_t bytes = 0;
  std::int64_t checkpoint_bytes = 0;
  Clock::time_point checkpoint;
  bool stalled = false;
  char error[CURL_ERROR_SIZE] = {};

  // Leaves no file, whatever of it is still queued.
  void Discard();
  // True when this piece of the body, and every later one, is not to be written: the picture
  // is smaller than the minimum side.
  bool LeavesOut(std::string_view piece);
  // The stall rule: true when a whole window has passed with less than one byte per second
  // of it, so a server that drips a byte now and then cannot hold a run for ever.
  bool NoProgress(std::chrono::milliseconds window, Clock::time_point now);
  // What a finished image request came to, from curl's code and the HTTP status.
  ImageResult ImageResultOf(CURLcode code, long status) const;
};

// "https://host:port" of an address, up to its path, query or fragment.
std::string OriginOf(const std::string& url);

// A new easy handle for the job's request to url: the protocols, redirects and time-outs
// of every request, the HTTP version, the network's proxy and certificate checks, and the
// callbacks that fill the job.
CURL* NewRequest(const std::string& url, TransferJob& job, const TransferOptions& options,
                 RequestNetwork& network);

}  // namespace pelmoa
