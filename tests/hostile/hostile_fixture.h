#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "harvest/harvest.h"
#include "harvest/net/transfer.h"
#include "recording_host.h"
#include "temp_dir.h"
#include "test_server.h"

namespace pelmoa::testing {

using Lines = std::vector<std::string>;
using namespace std::chrono_literals;

// The two message boxes a run can show, as "TITLE|TEXT".
extern const std::string kUnreadablePage;
extern const std::string kNoImages;

// The status text of the download loop, and with its error part.
std::string DownloadText(int32_t total);
std::string ErrorText(int32_t total, int32_t errors);

// What a hostile run must end with.
struct Outcome {
  Lines messages;
  int32_t total = -1;          // N of the download loop; -1 when the run never reaches it
  int32_t errors = 0;          // the error count shown last
  int steps = -1;              // progress steps; -1 leaves them unchecked
  std::optional<Lines> files;  // the destination folder's entries afterwards
};

// A run that ends with one message box before its download loop.
Outcome Message(const std::string& message, std::optional<Lines> files = Lines{});
// A run that reaches its download loop.
Outcome Loop(int32_t total, int32_t errors, int steps, std::optional<Lines> files = std::nullopt);

// Each test gets a sandbox folder holding a file and the destination folder two levels
// down (sandbox/outside.txt, sandbox/outer/dest), so that a name climbing out of the
// destination would land somewhere the check after the test looks.
class HostileTest : public ::testing::Test {
 public:
  // Trusts the tests' own certificate authority besides the system's.
  static TransferOptions Options(std::chrono::milliseconds stall = 2000ms, int jobs = 6);

 protected:
  HostileTest();
  void TearDown() override;

  // The bound catches runs that never end, not slow ones: under the sanitizers, sharing two
  // cores with seven other tests, the 64 MiB page alone takes half a minute. It stays below
  // CTest's limit of 180 s with the 30 s the cancel may take.
  static constexpr std::chrono::seconds kRunBound = 120s;
  // Runs one harvest on a thread of its own. A run that has not ended within bound fails
  // the test and is cancelled; one that ignores the cancel as well ends the program.
  void RunBounded(RecordingHost& host, const std::string& url,
                  std::chrono::seconds bound = kRunBound);
  void RunBounded(RecordingHost& host, const std::string& url, const std::string& folder,
                  std::chrono::seconds bound = kRunBound, const HarvestOptions& options = {});

  void ExpectOutcome(const RecordingHost& host, const Outcome& outcome) const;

  const std::filesystem::path& dest() const { return dest_; }
  std::string dest_str() const { return dest_.string(); }

  TestServer server;
  TempDir sandbox;

 private:
  std::filesystem::path dest_;
  std::map<std::string, std::string> outside_before_;
};

// Every file, folder and link under root except the subtree skip, with its contents (or
// link target); a change anywhere in it shows as a difference.
std::map<std::string, std::string> Snapshot(const std::filesystem::path& root,
                                            const std::filesystem::path& skip);
// Paths of temporary image files anywhere under root.
Lines TemporaryFiles(const std::filesystem::path& root);

// Parameter rows print their name in test output.
template <typename Row>
std::string RowName(const ::testing::TestParamInfo<Row>& info) {
  return info.param.name;
}

}  // namespace pelmoa::testing
