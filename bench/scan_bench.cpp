// Scanning speed: writes a generated page of tags (no single quote anywhere, so every
// single-quote search runs to the end of the page) and times ScanImageRefs over it in
// process. Prints one line: MB, median wall seconds, median CPU seconds of the scanning
// thread, GB/s by each, the number of references, and the CPU seconds of the first
// repetition. The CPU time is what the scan costs on a machine shared with other work; the
// wall time includes waiting for a core. The first repetition also pays for the fresh memory
// its result takes (page faults); the allocator keeps that memory afterwards, so the later
// repetitions measure the scan and the list of views it gives. With --modern 1 it times the
// scan with the additions for pages made today (ScanModernImageRefs) over the same page, and
// with --modern 2 the last of its passes alone, the one over the page's tags (ScanTagRefs).
//
//   scan_bench --megabytes 100 --page FILE [--repetitions 5] [--modern 1|2]

#include <algorithm>
#include <malloc.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#include "harvest/scan/modern_scan.h"
#include "harvest/scan/page_scanning.h"
#include "harvest/scan/tag_scan.h"

namespace {

// A mix of what galleries hold: image tags, links to images and to pages, unquoted and
// spaced attributes, and plain text, with upper-case tags now and then.
std::string MakePage(std::size_t bytes) {
  std::string page;
  page.reserve(bytes + 256);
  page += "<html><head><meta charset=\"utf-8\"><title>scan</title></head><body>\n";
  for (unsigned k = 0; page.size() < bytes; ++k) {
    char line[256];
    switch (k % 6) {
      case 0:
        std::snprintf(line, sizeof line,
                      "<div class=\"thumb\"><img src=\"/images/%06u.jpg\" width=\"120\" "
                      "alt=\"picture %u\"></div>\n",
                      k, k);
        break;
      case 1:
        std::snprintf(line, sizeof line,
                      "<p><a href=\"/images/large/%06u.png\">large picture %u</a></p>\n", k, k);
        break;
      case 2:
        std::snprintf(line, sizeof line,
                      "<li><a href=\"/pages/%06u.html\">next page</a> some text to read "
                      "between the tags, as pages have.</li>\n",
                      k);
        break;
      case 3:
        std::snprintf(line, sizeof line, "<IMG SRC=/icons/i%06u.GIF border=0>\n", k);
        break;
      case 4:
        std::snprintf(line, sizeof line,
                      "<span style=\"color: red\">caption %u</span><br>\n", k);
        break;
      default:
        std::snprintf(line, sizeof line, "<a href = \"/thumbs/t%06u.gif\" >t</a>\n", k);
        break;
    }
    page += line;
  }
  page += "</body></html>\n";
  return page;
}

double ThreadCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) / 1e9;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  long megabytes = 100;
  long repetitions = 5;
  std::string page_file;
  long modern = 0;
  for (int k = 1; k + 1 < argc; k += 2) {
    if (!std::strcmp(argv[k], "--megabytes")) megabytes = std::atol(argv[k + 1]);
    if (!std::strcmp(argv[k], "--repetitions")) repetitions = std::atol(argv[k + 1]);
    if (!std::strcmp(argv[k], "--page")) page_file = argv[k + 1];
    if (!std::strcmp(argv[k], "--modern")) modern = std::atol(argv[k + 1]);
  }
  // Without these, result vectors past 32 MB are mapped and unmapped afresh each time, so
  // the large page would pay page faults in every repetition and the small one in none.
  mallopt(M_MMAP_THRESHOLD, 1 << 30);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  const std::string page = MakePage(static_cast<std::size_t>(megabytes) * 1'000'000);
  if (page.find('\'') != std::string::npos) return 1;
  if (!page_file.empty()) std::ofstream(page_file, std::ios::binary) << page;

  std::vector<double> wall;
  std::vector<double> cpu;
  std::size_t refs = 0;
  for (long r = 0; r < std::max(1L, repetitions); ++r) {
    const double c0 = ThreadCpuSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    // The result lives until the end of the repetition, so freeing it is not timed.
    const pelmoa::ImageRefs found = modern == 1 ? pelmoa::ScanModernImageRefs(page)
                                    : modern == 0 ? pelmoa::ScanImageRefs(page)
                                                  : pelmoa::ImageRefs();
    const pelmoa::TagRefs tags = modern == 2 ? pelmoa::ScanTagRefs(page) : pelmoa::TagRefs();
    const auto t1 = std::chrono::steady_clock::now();
    cpu.push_back(ThreadCpuSeconds() - c0);
    refs = modern == 2 ? tags.refs.size() : found.size();
    wall.push_back(std::chrono::duration<double>(t1 - t0).count());
  }
  const double bytes = static_cast<double>(page.size());
  const double wall_s = Median(wall);
  const double cpu_s = Median(cpu);
  std::printf("%.1f %.4f %.4f %.3f %.3f %zu %.4f\n", bytes / 1e6, wall_s, cpu_s,
              bytes / cpu_s / 1e9, bytes / wall_s / 1e9, refs, cpu.front());
  return 0;
}
