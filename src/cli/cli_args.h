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
  int min_side = 0;     // pictures with a smaller width or height are left out; 0: none
  bool list = false;    // print the addresses the run would request, fetch and write nothing
  std::string url;
  std::string folder;  // empty with list
};

// The usage text; it speaks of HTTP/2 only where the build's libcurl has it.
std::string UsageText(bool http2);

// Nothing when the arguments are not a valid command line.
std::optional<CliArgs> ParseCliArgs(const std::vector<std::string>& args);

}  // namespace pelmoa
