#include "cli/cli_args.h"

#include <charconv>

#include "harvest/harvest.h"

namespace pelmoa {

std::string UsageText(bool http2) {
  std::string text =
      "usage: pelmoa-harvest [--jobs N] [--cacert FILE] [--http1.1] [--modern] [--min-side N]\n"
      "                      URL FOLDER\n"
      "       pelmoa-harvest --list [--modern] [--cacert FILE] [--http1.1] URL\n"
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
      "                 .avif, .bmp and .svg files, addresses with a query, and what the\n"
      "                 page's tags show a browser, at the addresses a browser requests\n"
      "  --min-side N   leave out pictures narrower or lower than N pixels, as their headers\n"
      "                 say (PNG, GIF, JPEG, WebP, BMP, AVIF; 0 to 9999, 0 keeps all)\n";
  text +=
      "  --list         print the address of every image the run would request, one a line;\n"
      "                 only the page (and its frames) is fetched, nothing is written\n";
  return text;
}

namespace {

// A whole decimal number from lowest to highest, nothing else.
std::optional<int> NumberIn(const std::string& value, int lowest, int highest) {
  int n = 0;
  auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
  if (ec != std::errc() || end != value.data() + value.size() || n < lowest || n > highest) {
    return std::nullopt;
  }
  return n;
}

}  // namespace

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
    } else if (a == "--min-side" || a.rfind("--min-side=", 0) == 0) {
      if (a == "--min-side" && k + 1 >= args.size()) return std::nullopt;
      const auto side = NumberIn(a == "--min-side" ? args[++k] : a.substr(11), 0, kMaxMinSide);
      if (!side) return std::nullopt;
      parsed.min_side = *side;
      continue;
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
    } else if (a == "--list") {
      parsed.list = true;
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
    const auto jobs = NumberIn(value, 1, 6);
    if (!jobs) return std::nullopt;
    parsed.jobs = *jobs;
  }
  // A list names no folder.
  if (positional.size() != (parsed.list ? 1u : 2u)) return std::nullopt;
  // A blank folder would put the images into whatever the current directory is; the window
  // refuses blank input as well.
  auto blank = [](const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; };
  for (const std::string& p : positional) {
    if (blank(p)) return std::nullopt;
  }
  parsed.url = positional[0];
  if (!parsed.list) parsed.folder = positional[1];
  return parsed;
}

}  // namespace pelmoa
