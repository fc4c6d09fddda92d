#include "harvest/download_plan.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <unordered_map>
#include <unordered_set>

#include "harvest/files/file_names.h"
#include "harvest/scan/url_encoding.h"
#include "harvest/text/image_types.h"
#include "harvest/text/text_search.h"

namespace pelmoa {
namespace {

// Runs between two questions to the planning's stop.
constexpr std::size_t kRunsPerStopCheck = 4096;

}  // namespace

bool IsStorableName(std::string_view name, bool extension_from_type) {
  if (!extension_from_type) return IsSafeFileName(name);
  // No longer name is safe anywhere, so a name as long as the page is not copied to be told.
  if (name.size() > kMaxSafeNameBytes) return false;
  return IsSafeFileName(std::string(name) + std::string(LongestTypeExtension()));
}

DownloadPlan::DownloadPlan(const ImageRefs& refs, std::string page_url,
                           std::filesystem::path folder, bool modern_pages, int min_side,
                           const ScanStop& stop, HarvestMemory* memory)
    : page_url_(std::move(page_url)), folder_(std::move(folder)), min_side_(min_side) {
  if (modern_pages) {
    browser_.emplace(page_url_, refs.base_href);
    memory_ = memory;
  }
  // With the additions on: the runs that ask for an address, by the address's hash, so a
  // reference only they find is not fetched a second time. The addresses themselves are made
  // again to be compared, rather than kept: a page can name many long ones.
  std::unordered_multimap<std::size_t, std::size_t> fetched;
  std::unordered_set<std::size_t> fetched_lengths;
  if (memory_) {
    for (const std::string& address : memory_->fetched) fetched_lengths.insert(address.size());
  }
  std::size_t position = 0;
  std::size_t planned = 0;
  LastCut last;
  for (const ImageRefs::Run& run : refs.runs()) {
    if (++planned % kRunsPerStopCheck == 0 && stop && stop()) return;
    PlannedRun r;
    r.run = &run;
    r.first = position;
    position += run.count;
    r.name = NameOf(run, last);
    if (r.name.pass_over) continue;
    r.storable = IsStorableName(r.name.file_name, r.name.extension_from_type);
    r.taken = run.count;
    if (modern_pages && !run.added && !r.storable) {
      // A defined reference whose name is refused only asks whether a browser requests an
      // http or https address: passed over, or refused and counted. Without an '&' it is its
      // own request text, and the cuts that overlap it are checked from their beginnings.
      const bool own_text = !last.amp || last.amp < run.text.data();
      if (!(own_text ? browser_->GivesAddress(run.text) : FetchedAddress(r).has_value())) continue;
      runs_.push_back(r);
      continue;
    }
    if (modern_pages) {
      const std::optional<std::string> address = FetchedAddress(r);
      if (!address) continue;
      // An address asked for already has the length of one: a refused name whose length no
      // address has is told apart without reading it again.
      bool seen = false;
      std::size_t hash = 0;
      if (r.storable || fetched_lengths.count(address->size())) {
        hash = std::hash<std::string>{}(*address);
        const auto [from, to] = fetched.equal_range(hash);
        seen = std::any_of(from, to,
                           [&](const auto& entry) {
                             return FetchedAddress(runs_[entry.second]) == address;
                           }) ||
               (memory_ && memory_->fetched.count(*address));
      }
      if (run.added && seen) continue;
      if (r.storable) {
        if (!seen) {
          fetched.emplace(hash, runs_.size());
          fetched_lengths.insert(address->size());
        }
        // The first of a run the additions found fetches its address for the others.
        if (run.added) r.taken = 1;
      }
    }
    if (r.storable) {
      r.first_request = requests_;
      requests_ += r.taken;
      requesting_.push_back(runs_.size());
    }
    runs_.push_back(r);
  }
}

ReferenceName DownloadPlan::NameOf(const ImageRefs::Run& run, LastCut& last) const {
  if (!run.added && !run.text.empty()) {
    // The defined name: after the last '/', passed over without a '.'. Unquoted values after
    // "href=href=…" overlap and share their end; a cut that ends where the last one ended and
    // begins inside it has its last '/' and first '.' among those found for that one, so the
    // shared text is read once, not once per cut.
    const char* begin = run.text.data();
    const char* end = begin + run.text.size();
    if (end != last.end || begin < last.begin) {
      const std::size_t slash = run.text.rfind('/');
      const std::size_t amp = run.text.rfind('&');
      last = {begin,   end, slash == std::string_view::npos ? nullptr : begin + slash, end,
              nullptr, amp == std::string_view::npos ? nullptr : begin + amp};
    }
    last.begin = begin;
    const char* name = last.slash && last.slash >= begin ? last.slash + 1 : begin;
    if (name < last.dot_from || (last.dot && last.dot < name)) {
      last.dot_from = name;
      last.dot =
          static_cast<const char*>(std::memchr(name, '.', static_cast<std::size_t>(end - name)));
    }
    ReferenceName n;
    n.file_name = std::string_view(name, static_cast<std::size_t>(end - name));
    n.pass_over = last.dot == nullptr;
    return n;
  }
  if (!browser_) return NameOfReference(run.text, run.added);
  std::string_view text = run.text;
  if (run.decoded) {
    // What surrounds a tag's value is no part of the address a browser asks for.
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= 0x20) text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 0x20) text.remove_suffix(1);
  }
  if (!run.added) return NameOfReference(text, false);
  // The last segment of the path, without query and fragment; a browser's segments end at
  // '\' as well. A path that ends where the last one ended (overlapping values) takes its
  // last separator from what was read for that one.
  const std::string_view t = TrimSpaces(text.substr(0, text.find('#')));
  const std::string_view path = t.substr(0, t.find('?'));
  const char* begin = path.data();
  const char* end = begin + path.size();
  if (end != last.path_end || begin < last.path_read_from) {
    const std::size_t at = path.find_last_of("/\\");
    last.path_end = end;
    last.path_read_from = begin;
    last.separator = at == std::string_view::npos ? nullptr : begin + at;
  }
  const char* separator = last.separator && last.separator >= begin ? last.separator : nullptr;
  ReferenceName n;
  n.file_name = separator ? path.substr(static_cast<std::size_t>(separator + 1 - begin)) : path;
  n.pass_over = n.file_name.empty() || n.file_name == "." || n.file_name == "..";
  n.extension_from_type = !n.file_name.empty() && !HasImageExtension(n.file_name);
  return n;
}

std::string DownloadPlan::ImageUrl(const PlannedRun& r) const {
  if (browser_) return FetchedAddress(r).value_or(std::string());
  return ImageUrlOfReference(page_url_, r.run->text, r.run->added);
}

std::optional<std::string> DownloadPlan::FetchedAddress(const PlannedRun& r) const {
  if (browser_) {
    // The text passes take "&amp;" as '&' as every request does; the tag pass has decoded
    // its values already.
    const ImageRefs::Run& run = *r.run;
    if (run.decoded || run.text.find('&') == std::string_view::npos) {
      return browser_->Resolve(run.text, true);
    }
    return browser_->Resolve(DecodeAmpersandReferences(run.text));
  }
  std::string url = EncodeRequestUrl(ImageUrl(r));
  url.erase(std::min(url.find('#'), url.size()));
  return url;
}

void DownloadPlan::RememberFetched(HarvestMemory& memory) const {
  for (const std::size_t k : requesting_) {
    if (std::optional<std::string> address = FetchedAddress(runs_[k])) {
      memory.fetched.insert(std::move(*address));
    }
  }
}

const PlannedRun& DownloadPlan::RequestingRun(std::size_t k) const {
  // The last run that asks whose first request is at or before k.
  const auto it = std::upper_bound(
      requesting_.begin(), requesting_.end(), k,
      [this](std::size_t at, std::size_t run) { return at < runs_[run].first_request; });
  return runs_[*std::prev(it)];
}

std::string DownloadPlan::RequestUrl(const PlannedRun& r) const {
  return browser_ ? FetchedAddress(r).value_or(std::string()) : EncodeRequestUrl(ImageUrl(r));
}

ImageRequest DownloadPlan::Request(std::size_t k) const {
  const PlannedRun& r = RequestingRun(k);
  return {RequestUrl(r), page_url_, folder_ / PathFromUtf8(r.name.file_name),
          r.name.extension_from_type, min_side_};
}

std::filesystem::path DownloadPlan::StoreAs(std::size_t k,
                                            const std::filesystem::path& target) const {
  if (!memory_) return target;
  const std::string name =
      memory_->names.NameFor(Utf8FromPath(target.filename()), RequestUrl(RequestingRun(k)));
  return target.parent_path() / PathFromUtf8(name);
}

void DownloadPlan::Stored(std::size_t k, const std::filesystem::path& target) const {
  if (memory_) {
    memory_->names.Stored(Utf8FromPath(target.filename()), RequestUrl(RequestingRun(k)));
  }
}

}  // namespace pelmoa
