// pelmoa-harvest: one harvest run without a window.

#include <curl/curl.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "cli/cli_args.h"
#include "cli/cli_host.h"
#include "harvest/curl_transfer.h"
#include "harvest/harvest.h"
#include "harvest/text_search.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  for (const auto& a : args) {
    if (a == "--help" || a == "-h") {
      std::fputs(pelmoa::kUsage, stdout);
      return 0;
    }
  }
  const auto parsed = pelmoa::ParseCliArgs(args);
  if (!parsed) {
    std::fputs(pelmoa::kUsage, stderr);
    return 2;
  }
  // Before any thread exists.
  curl_global_init(CURL_GLOBAL_DEFAULT);

  const std::string folder(pelmoa::TrimSpaces(parsed->folder));
  std::error_code ec;
  if (!folder.empty() && !std::filesystem::exists(folder, ec)) {
    std::filesystem::create_directories(folder, ec);
  }

  pelmoa::TransferOptions options;
  options.jobs = parsed->jobs;
  int status = 0;
  {
    pelmoa::CliHost host(std::make_unique<pelmoa::CurlTransfer>(options), stdout, stderr);
    pelmoa::HarvestPage(parsed->url, parsed->folder, host);
    status = host.ExitStatus();
  }
  curl_global_cleanup();
  return status;
}
