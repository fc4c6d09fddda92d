// pelmoa-harvest: one harvest run without a window.

#include <curl/curl.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "cli/cli_args.h"
#include "cli/cli_host.h"
#include "cli/console.h"
#include "harvest/files/file_names.h"
#include "harvest/harvest.h"
#include "harvest/net/curl_transfer.h"
#include "harvest/text/text_search.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args = pelmoa::CommandLineArguments(argc, argv);
  const bool http2 = (curl_version_info(CURLVERSION_NOW)->features & CURL_VERSION_HTTP2) != 0;
  for (const auto& a : args) {
    if (a == "--help" || a == "-h") {
      pelmoa::WriteText(stdout, pelmoa::UsageText(http2));
      return 0;
    }
  }
  const auto parsed = pelmoa::ParseCliArgs(args);
  if (!parsed) {
    pelmoa::WriteText(stderr, pelmoa::UsageText(http2));
    return 2;
  }
  // Before any thread exists.
  curl_global_init(CURL_GLOBAL_DEFAULT);

  // Made as the window's new-folder button makes it: on Windows at any path length.
  const std::string folder(pelmoa::TrimSpaces(parsed->folder));
  if (!parsed->list && !folder.empty()) pelmoa::MakeDirectoryPath(pelmoa::PathFromUtf8(folder));

  pelmoa::TransferOptions options;
  options.jobs = parsed->jobs;
  options.extra_ca_file = parsed->cacert;
  options.http2 = !parsed->http1_only;
  int status = 0;
  {
    pelmoa::CliHost host(std::make_unique<pelmoa::CurlTransfer>(options), stdout, stderr);
    pelmoa::HarvestOptions run_options{.modern_pages = parsed->modern,
                                       .min_side = parsed->min_side};
    if (parsed->list) {
      run_options.list_addresses = [](const std::string& address) {
        pelmoa::WriteText(stdout, address + "\n");
      };
    }
    pelmoa::HarvestPage(parsed->url, parsed->folder, host, run_options);
    status = host.ExitStatus();
  }
  curl_global_cleanup();
  return status;
}
