#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelmoa {

// Asked now and then during a long scan; true ends the scan with what it found so far.
using ScanStop = std::function<bool()>;

// The image references of one page (ImageRefs), in list order. A reference is a view into
// the page text it was cut from, which must outlive the list, or into a value the list owns
// (one decoded from the page, which the page does not hold as it is).
//
// References cut at the same place one after the other (the same start and length) form a
// run, kept once with its count: a page whose every "img" pairs with one long src value
// costs one entry, and the run is resolved, named and checked once. Owned values extend the
// last run when their text is equal, which costs no more than having decoded them. size()
// counts every reference, each of a run included, as N of the status texts does.
class ImageRefs {
 public:
  struct Run {
    std::string_view text;
    // Found only by the additions for today's pages: named and fetched by their rules.
    bool added = false;
    std::size_t count = 1;
    // Decoded as a browser's tokenizer decodes attribute values (the pass over the page's
    // tags): its character references are not decoded again for the request.
    bool decoded = false;
  };

  ImageRefs() = default;
  // A deque's elements keep their places when it moves, so the views stay valid.
  ImageRefs(ImageRefs&&) = default;
  ImageRefs& operator=(ImageRefs&&) = default;
  ImageRefs(const ImageRefs&) = delete;
  ImageRefs& operator=(const ImageRefs&) = delete;

  // Appends a reference cut from the page text.
  void Add(std::string_view cut, bool added = false, bool decoded = false);
  // Appends a value the list keeps.
  void AddOwned(std::string value, bool added = false);
  // Keeps values decoded elsewhere that references of the list point into, as they are.
  void Keep(std::deque<std::string> values) { kept_.push_back(std::move(values)); }

  const std::vector<Run>& runs() const { return runs_; }
  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  // Every reference as a string, in list order: for tests and tools, never for a run.
  std::vector<std::string> Strings() const;

  // The page's first <base href> with a value, decoded, when the option for today's pages
  // read it: every address of the page resolves against it.
  std::optional<std::string_view> base_href;

 private:
  std::vector<Run> runs_;
  std::deque<std::string> owned_;
  std::vector<std::deque<std::string>> kept_;
  std::size_t size_ = 0;
};

// The same cut of one text: the same start and the same length.
inline bool SameCut(std::string_view a, std::string_view b) {
  return a.data() == b.data() && a.size() == b.size();
}

}  // namespace pelmoa
