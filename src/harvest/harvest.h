#pragma once

// The harvest core: one run over one page, without any window.

#include <functional>
#include <string>

#include "harvest/net/transfer.h"
#include "harvest/run_host.h"

namespace pelmoa {

struct HarvestOptions {
  // Also finds the images of pages made today: lazy-loaded ones, srcset candidates,
  // .jpeg/.webp/.avif/.bmp files and addresses with a query (modern_scan.h). Off, a run is
  // exactly the defined one.
  bool modern_pages = false;
  // A picture whose header gives a width or height under this many pixels is not stored
  // and not counted as failed (small_image_check.h); 0 stores every picture.
  int min_side = 0;
  // Set: the run hands over, in the order it would request them, the address of every image
  // it would request (as requested), then ends before its download loop: no image is
  // fetched and nothing is written.
  std::function<void(const std::string&)> list_addresses = {};
};

// The largest minimum side the window and the command line take.
inline constexpr int kMaxMinSide = 9999;

// One complete run: fetch the page through host.NetWWW(), harvest its frames or its images
// into folder, report through host. Returns when the page and every frame below it are done.
void HarvestPage(const std::string& address, const std::string& folder, RunHost& host,
                 const HarvestOptions& options = {});

}  // namespace pelmoa
