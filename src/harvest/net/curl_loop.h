#pragma once

// The state of a CurlTransfer and the steps of its loop over libcurl's multi handle:
// curl_transfer.cpp (the loop, the page, finishing images) and curl_image_starts.cpp (which
// images start when).

#include <curl/curl.h>

#include <algorithm>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "harvest/files/temp_file_maker.h"
#include "harvest/net/image_writer.h"
#include "harvest/net/request_network.h"
#include "harvest/net/transfer.h"
#include "harvest/net/transfer_job.h"

namespace pelmoa {

struct CurlLoop {
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

  std::unique_ptr<TransferJob> page_job;
  CURLcode page_result = CURLE_OK;

  explicit CurlLoop(TransferOptions o);
  ~CurlLoop();

  bool Cancelled() const { return options.cancel && options.cancel->load(); }
  const Made& At(std::size_t k) const;
  CURL* NewEasy(const std::string& url, TransferJob* job);
  // A transfer without useful progress over a whole stall window fails.
  void CheckStalls();
  // Starts what the free slots allow, moves every transfer along without waiting, and takes
  // in the finished ones.
  void Pump();
  // Runs the multi handle until pred holds or the owner cancels.
  void Drive(const std::function<bool()>& pred);
  void Complete(std::unique_ptr<TransferJob> job, CURLcode code);
  // An image is finished when its last byte is on disk. A write that failed on the way counts
  // as a file failure, and its file is gone before its slot takes the next image.
  void Finish(std::unique_ptr<TransferJob> job);
  void TakeFlushed();

  // Which images start when (curl_image_starts.cpp).
  std::size_t Jobs() const { return static_cast<std::size_t>(std::max(1, options.jobs)); }
  bool Multiplexed(std::size_t k) const;
  // How far past the image the run waits for the transfer may start images. Over HTTP/2 it
  // covers every stream the connection allows and as many again, so streams that finish
  // early keep being replaced while a slow one holds up the run.
  std::size_t Lookahead(std::size_t k) const;
  std::size_t PrepareLimit() const;
  // Requests that may start at once when slots free: over HTTP/2 a whole round of streams.
  std::size_t Slots(std::size_t k) const;
  // Asks for the files of the images next in line: as many as may start at once, so a
  // round of freed slots goes out without waiting for the file system.
  void WantFiles();
  // Asks about the proxies of the hosts of the images next in line at once, so lookups that
  // take their time run side by side, off this loop.
  void AskProxies();
  void StartImage(std::size_t k, bool with_referer);
  // Images start strictly in list order. Over HTTP/1.1 at most `jobs` are in flight in all;
  // an origin that multiplexes takes up to http2_streams of its own on its one connection.
  // An image whose host's proxy is still being looked up waits; the others go on meanwhile.
  bool CanStartImage();
  void StartImages();
  void AbortAll();
};

}  // namespace pelmoa
