#include <optional>
#include <set>
#include <vector>

#include "harvest/download_plan.h"
#include "harvest/files/file_names.h"
#include "harvest/harvest.h"
#include "harvest/image_fetch.h"
#include "harvest/scan/frame_pages.h"
#include "harvest/scan/modern_scan.h"
#include "harvest/scan/page_scanning.h"
#include "harvest/scan/url_encoding.h"
#include "harvest/text/page_address.h"
#include "harvest/text/text_search.h"
#include "harvest/texts.h"

namespace pelmoa {
namespace {

// The page the user named is level 1; frames below this level are not harvested.
constexpr int kMaxFrameLevel = 16;
// Frame pages harvested under the page the user named, all levels together. The level limit
// bounds only the depth: a frameset naming the next page ten times at every level would
// otherwise nest 10^15 runs, since siblings are harvested as often as they are named.
constexpr int kMaxFramePages = 1024;

// The addresses being harvested by the enclosing runs, so a frameset that names itself, or
// a cycle of framesets, ends instead of nesting for ever.
struct Enclosing {
  HarvestOptions options;
  // With the option for today's pages: the addresses asked for and the names stored by the
  // whole harvest, frames included.
  HarvestMemory memory;
  std::set<std::string> addresses;
  int level = 0;
  int frame_pages = 0;
};

// Holds the PNG picture loader for exactly one run, whichever way the run ends.
class PngLoaderScope {
 public:
  explicit PngLoaderScope(RunHost& host) : host_(host) { host_.CreatePngLoader(); }
  ~PngLoaderScope() { host_.ReleasePngLoader(); }
  PngLoaderScope(const PngLoaderScope&) = delete;
  PngLoaderScope& operator=(const PngLoaderScope&) = delete;

 private:
  RunHost& host_;
};

void Run(const std::string& address, const std::string& folder, RunHost& host,
         Enclosing& enclosing);

void HarvestFrames(const std::string& page_url, const std::string& folder, RunHost& host,
                   Enclosing& enclosing) {
  // Every nested run overwrites the page text, so all frames are collected first.
  const std::vector<FrameRef> frames =
      ScanFrameRefs(host.PageHtml(), page_url, [&host] { return host.Cancelled(); });
  for (const FrameRef& frame : frames) {
    // Whether a frame is skipped depends on its address and the level alone, the same for
    // every time a run of tags names it.
    if (enclosing.level >= kMaxFrameLevel) continue;
    if (enclosing.addresses.count(NormalisePageAddress(frame.address))) continue;
    for (std::size_t k = 0; k < frame.count; ++k) {
      if (host.Cancelled()) return;
      if (enclosing.frame_pages >= kMaxFramePages) return;
      ++enclosing.frame_pages;
      Run(frame.address, folder, host, enclosing);
    }
  }
}

// The addresses the run would request, in that order, and nothing fetched.
void ListImages(const std::string& page_url, RunHost& host, const ImageRefs& refs,
                Enclosing& enclosing) {
  const ScanStop stop = [&host] { return host.Cancelled(); };
  const DownloadPlan plan(refs, page_url, {}, enclosing.options.modern_pages,
                          enclosing.options.min_side, stop, &enclosing.memory);
  if (enclosing.level > 0) plan.RememberFetched(enclosing.memory);
  for (std::size_t k = 0; k < plan.size() && !host.Cancelled(); ++k) {
    // A defined reference that begins with "http" is requested as it stands ("httpd.jpg").
    const std::string url = plan.Request(k).url;
    if (url.starts_with("http://") || url.starts_with("https://")) {
      enclosing.options.list_addresses(url);
    }
  }
  host.SetStatusText("");
}

void DownloadImages(const std::string& page_url, const std::string& folder, RunHost& host,
                    const ImageRefs& refs, Enclosing& enclosing) {
  const HarvestOptions& options = enclosing.options;
  const auto total = static_cast<int32_t>(refs.size());
  host.SetProgressMax(total);
  host.SetProgressValue(0);
  host.SetProgressVisible(true);
  host.SetStatusText(texts::kStatusDownloadingPrefix + std::to_string(total) +
                     texts::kStatusDownloadingSuffix);
  if (host.ViewOption()) host.ShowViewerFrame();

  // Resolution is pure text work, so the whole list is planned up front and the transfer can
  // fetch ahead while entries are committed strictly in list order.
  const ScanStop stop = [&host] { return host.Cancelled(); };
  const DownloadPlan plan(refs, page_url, PathFromUtf8(TrimSpaces(folder)), options.modern_pages,
                          options.min_side, stop, &enclosing.memory);
  if (host.Cancelled()) return;
  // Only a frame's page has pages after it in the same harvest.
  if (options.modern_pages && enclosing.level > 0) plan.RememberFetched(enclosing.memory);

  Transfer& transfer = host.NetWWW();
  transfer.BeginImages(plan);
  ImageCounts counts;
  bool going = true;
  for (const PlannedRun& r : plan.runs()) {
    ImageEntry e;
    e.file_name = r.name.file_name;
    for (std::size_t k = 0; going && k < r.taken; ++k) {
      e.i = static_cast<int32_t>(r.first + k + 1);
      e.batch_index = r.storable ? std::optional(r.first_request + k) : std::nullopt;
      going = !host.Cancelled() && FetchAndStoreImage(e, folder, total, counts, transfer, host);
    }
    if (!going) break;
  }
  transfer.EndImages();
  if (host.Cancelled()) return;
  // A run whose images failed, or that left pictures out, must not end looking as if it had
  // stored everything: the count stays in view until the next status text.
  host.SetStatusText(EndStatusText(total, counts));
  host.SetProgressVisible(false);
}

void Run(const std::string& address, const std::string& folder, RunHost& host,
         Enclosing& enclosing) {
  PngLoaderScope png_loader(host);
  std::string page_url = NormalisePageAddress(address);
  host.SetStatusText(texts::kStatusFetchingPage);
  Transfer& transfer = host.NetWWW();
  host.PageHtml() = transfer.RetrievePage(EncodeRequestUrl(page_url));
  if (host.Cancelled()) return;
  const std::string typed_url = page_url;
  page_url = CompletePageAddress(std::move(page_url), transfer.DocumentPath());

  if (host.PageHtml().empty()) {
    host.ShowMessage(texts::kTitleInputError, texts::kMessagePageUnreadable, MessageIcon::kStop,
                     MessageButtons::kOk);
    host.SetStatusText("");
    return;
  }
  host.SetStatusText(texts::kStatusAnalysingPage);

  if (IsFramesetPage(host.PageHtml())) {
    enclosing.addresses.insert(typed_url);
    enclosing.addresses.insert(page_url);
    ++enclosing.level;
    HarvestFrames(page_url, folder, host, enclosing);
    --enclosing.level;
    enclosing.addresses.erase(typed_url);
    enclosing.addresses.erase(page_url);
    return;
  }

  host.SetStatusText(texts::kStatusCollectingImages);
  const ScanStop stop = [&host] { return host.Cancelled(); };
  const ImageRefs found = enclosing.options.modern_pages
                              ? ScanModernImageRefs(host.PageHtml(), stop)
                              : ScanImageRefs(host.PageHtml(), stop);
  if (host.Cancelled()) return;
  if (found.empty()) {
    host.ShowMessage(texts::kTitleInputError, texts::kMessageNoImages, MessageIcon::kStop,
                     MessageButtons::kOk);
    host.SetStatusText("");
    return;
  }
  if (enclosing.options.list_addresses) {
    ListImages(page_url, host, found, enclosing);
  } else {
    DownloadImages(page_url, folder, host, found, enclosing);
  }
}

}  // namespace

void HarvestPage(const std::string& address, const std::string& folder, RunHost& host,
                 const HarvestOptions& options) {
  Enclosing enclosing;
  enclosing.options = options;
  host.NetWWW().BeginRun();
  Run(address, folder, host, enclosing);
}

}  // namespace pelmoa
