#pragma once

#include <optional>
#include <string>
#include <vector>

namespace pelmoa {

struct CliArgs {
  int jobs = 6;
  std::string cacert;  // certificate authorities trusted besides the system's
  bool http1_only = false;
  bool modern = false;  // also the images of pages made today
  std::string url;
  std::string folder;
};

inline constexpr char kUsage[] =
    "usage: pelmoa-harvest [--jobs N] [--cacert FILE] [--http1.1] [--modern] URL FOLDER\n"
    "  Stores every image the page at URL references in FOLDER (created when missing).\n"
    "  --jobs N       fetch at most N images at a time over HTTP/1.1 (1 to 6, default 6);\n"
    "                 a server that speaks HTTP/2 gets up to 100 at a time on one connection\n"
    "  --cacert FILE  also trust the certificate authorities in FILE (PEM) for https\n"
    "  --http1.1      never use HTTP/2\n"
    "  --modern       also lazy-loaded images, the largest srcset candidate, .jpeg, .webp,\n"
    "                 .avif and .bmp files and addresses with a query\n";

// Nothing when the arguments are not a valid command line.
std::optional<CliArgs> ParseCliArgs(const std::vector<std::string>& args);

}  // namespace pelmoa
