#include "cli/cli_args.h"

#include <charconv>

namespace pelmoa {

std::string UsageText(bool http2) {
  std::string text =
      "usage: pelmoa-harvest [--jobs N] [--cacert FILE] [--http1.1] [--modern] URL FOLDER\n"
      "  Stores every image the page at URL references in FOLDER (created when missing).\n";
  if (http2) {
    text +=
        "  --jobs N       fetch at most N images at a time over HTTP/1.1 (1 to 6, default 6);\n"
        "                 a server that speaks HTTP/2 gets up to 100 at a time on one connection\n";
  } else {
    text += "  --jobs N       fetch at most N images at a time (1 to 6, default 6)\n";
  }
  text += "  --cacert FILE  also trust the certificate authorities in FILE (PEM) for https\n";
  text += http2 ? "  --http1.1      never use HTTP/2\n"
                : "  --http1.1      accepted; this build always speaks HTTP/1.1\n";
  text +=
      "  --modern       also lazy-loaded images, the largest srcset candidate, .jpeg, .webp,\n"
      "                 .avif and .bmp files and addresses with a query\n";
  return text;
}

std::optional<CliArgs> ParseCliArgs(const std::vector<std::string>& args) {
  CliArgs parsed;
  std::vector<std::string> positional;
  for (std::size_t k = 0; k < args.size(); ++k) {
    const std::string& a = args[k];
    std::string value;
    if (a == "--jobs" || a == "-j") {
      if (k + 1 >= args.size()) return std::nullopt;
      value = args[++k];
    } else if (a.rfind("--jobs=", 0) == 0) {
      value = a.substr(7);
    } else if (a == "--cacert" || a.rfind("--cacert=", 0) == 0) {
      if (a == "--cacert" && k + 1 >= args.size()) return std::nullopt;
      parsed.cacert = a == "--cacert" ? args[++k] : a.substr(9);
      if (parsed.cacert.empty()) return std::nullopt;
      continue;
    } else if (a == "--http1.1") {
      parsed.http1_only = true;
      continue;
    } else if (a == "--modern") {
      parsed.modern = true;
      continue;
    } else if (a == "--") {
      positional.insert(positional.end(), args.begin() + static_cast<long>(k) + 1, args.end());
      break;
    } else if (a.size() > 1 && a[0] == '-') {
      return std::nullopt;
    } else {
      positional.push_back(a);
      continue;
    }
    int jobs = 0;
    auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), jobs);
    if (ec != std::errc() || end != value.data() + value.size() || jobs < 1 || jobs > 6) {
      return std::nullopt;
    }
    parsed.jobs = jobs;
  }
  if (positional.size() != 2) return std::nullopt;
  // A blank folder would put the images into whatever the current directory is; the window
  // refuses blank input as well.
  auto blank = [](const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; };
  if (blank(positional[0]) || blank(positional[1])) return std::nullopt;
  parsed.url = positional[0];
  parsed.folder = positional[1];
  return parsed;
}

}  // namespace pelmoa
