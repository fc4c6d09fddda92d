#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "harvest/files/stored_names.h"
#include "harvest/net/transfer.h"
#include "harvest/scan/browser_url.h"
#include "harvest/scan/image_refs.h"
#include "harvest/scan/link_resolution.h"

namespace pelmoa {

// What the pages of one harvest (a frameset's frames) share with the option for today's
// pages on.
struct HarvestMemory {
  std::unordered_set<std::string> fetched;  // the addresses earlier pages asked for
  StoredNames names;
};

// One run of identical references as the download loop takes it.
struct PlannedRun {
  const ImageRefs::Run* run = nullptr;
  std::size_t first = 0;  // list position (0-based) of its first reference
  ReferenceName name;
  // The name passes the file system's rules, with room for the extension the answer's type
  // may add: only then are its images asked for.
  bool storable = false;
  // How many of its references the loop takes, from the first on; the others are passed
  // over as already fetched.
  std::size_t taken = 0;
  std::size_t first_request = 0;  // batch position of its first request, when storable
};

// The download loop of one page, planned before it starts: each run of identical references
// resolved, named and checked once, references that only the additions for today's pages
// found and whose address the run fetches already passed over, and the transfer's requests,
// made from the runs when the transfer asks for them. Nothing here copies a reference that
// is as long as the page more than once at a time.
//
// With the option for today's pages on, every address is the one a browser requests (against
// the page's first <base href>), a reference that gives no http or https address is passed
// over, and with a harvest's memory an address earlier pages asked for counts as fetched and
// an image is stored as "name (2).ext" where another address's image has its name.
class DownloadPlan : public ImageBatch {
 public:
  // Planning stops early, with what it has, when stop says so.
  // Each request carries min_side, the run's smallest side for a picture (0: any size).
  DownloadPlan(const ImageRefs& refs, std::string page_url, std::filesystem::path folder,
               bool modern_pages, int min_side, const ScanStop& stop,
               HarvestMemory* memory = nullptr);

  const std::vector<PlannedRun>& runs() const { return runs_; }
  // Adds the addresses this page asks for to the harvest's memory.
  void RememberFetched(HarvestMemory& memory) const;

  std::size_t size() const override { return requests_; }
  ImageRequest Request(std::size_t k) const override;
  std::filesystem::path StoreAs(std::size_t k, const std::filesystem::path& target) const override;
  void Stored(std::size_t k, const std::filesystem::path& target) const override;

 private:
  // The address of the run's images as the page names it.
  std::string ImageUrl(const PlannedRun& r) const;
  // The run that makes request k, and the address its requests ask for.
  const PlannedRun& RequestingRun(std::size_t k) const;
  std::string RequestUrl(const PlannedRun& r) const;
  // The last cut's name and what it found, for the next cut that ends where it ended.
  struct LastCut {
    const char* begin = nullptr;
    const char* end = nullptr;
    const char* slash = nullptr;     // its last '/', or none
    const char* dot_from = nullptr;  // where the search for a '.' began
    const char* dot = nullptr;       // the first '.' from there, or none
    const char* amp = nullptr;       // its last '&', or none
    // For what the additions find: the end of the last path read, how far back it was read,
    // and its last '/' or '\' there, or none.
    const char* path_end = nullptr;
    const char* path_read_from = nullptr;
    const char* separator = nullptr;
  };
  ReferenceName NameOf(const ImageRefs::Run& run, LastCut& last) const;
  // The address the run asks for, for telling whether the run asked for it already; nothing
  // when a browser would ask for no http or https address.
  std::optional<std::string> FetchedAddress(const PlannedRun& r) const;

  std::string page_url_;
  std::filesystem::path folder_;
  int min_side_ = 0;
  std::optional<BrowserUrlResolver> browser_;  // with the option for today's pages
  HarvestMemory* memory_ = nullptr;
  std::vector<PlannedRun> runs_;  // the runs not passed over, in list order
  std::vector<std::size_t> requesting_;  // positions in runs_ of the runs that ask
  std::size_t requests_ = 0;
};

// A name that takes its extension from the answer's type must leave room for the longest
// such extension, so no image is fetched whole only to fail at its rename.
bool IsStorableName(std::string_view name, bool extension_from_type);

}  // namespace pelmoa
