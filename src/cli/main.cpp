// pelmoa-harvest: one harvest run without a window.

#include <curl/curl.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>
#include <windows.h>
#endif

#include "cli/cli_args.h"
#include "cli/cli_host.h"
#include "harvest/curl_transfer.h"
#include "harvest/file_names.h"
#include "harvest/harvest.h"
#include "harvest/text_search.h"

namespace {

// The arguments as UTF-8. On Windows argv holds the ANSI code page's rendering, which loses
// every character outside it, so the command line is read as UTF-16 instead; the output is
// UTF-8 with plain line ends, the same bytes as elsewhere.
std::vector<std::string> Utf8Arguments(int argc, char** argv) {
#ifdef _WIN32
  (void)argc;
  (void)argv;
  std::vector<std::string> args;
  int count = 0;
  if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
    for (int k = 1; k < count; ++k) args.push_back(pelmoa::Utf8FromPath(wide[k]));
    LocalFree(wide);
  }
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  SetConsoleOutputCP(CP_UTF8);
  return args;
#else
  return std::vector<std::string>(argv + 1, argv + argc);
#endif
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args = Utf8Arguments(argc, argv);
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

  // Made as the window's new-folder button makes it: on Windows at any path length.
  const std::string folder(pelmoa::TrimSpaces(parsed->folder));
  if (!folder.empty()) pelmoa::MakeDirectoryPath(pelmoa::PathFromUtf8(folder));

  pelmoa::TransferOptions options;
  options.jobs = parsed->jobs;
  options.extra_ca_file = parsed->cacert;
  options.http2 = !parsed->http1_only;
  int status = 0;
  {
    pelmoa::CliHost host(std::make_unique<pelmoa::CurlTransfer>(options), stdout, stderr);
    pelmoa::HarvestPage(parsed->url, parsed->folder, host, {.modern_pages = parsed->modern});
    status = host.ExitStatus();
  }
  curl_global_cleanup();
  return status;
}
