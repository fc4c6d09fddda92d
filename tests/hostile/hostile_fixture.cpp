#include "hostile_fixture.h"

#include <cstdio>
#include <cstdlib>
#include <future>
#include <thread>

#include "harvest/harvest.h"
#include "test_certificates.h"

namespace pelmoa::testing {

namespace fs = std::filesystem;

const std::string kUnreadablePage = "指定エラー|指定のHTMLファイルは存在しないか、参照できません";
const std::string kNoImages = "指定エラー|指定のURLには画像が存在しません";

std::string DownloadText(int32_t total) {
  return "画像のダウンロード中 全" + std::to_string(total) + "画像";
}

std::string ErrorText(int32_t total, int32_t errors) {
  return DownloadText(total) + "   Error:" + std::to_string(errors);
}

Outcome Message(const std::string& message, std::optional<Lines> files) {
  Outcome o;
  o.messages = {message};
  o.files = std::move(files);
  return o;
}

Outcome Loop(int32_t total, int32_t errors, int steps, std::optional<Lines> files) {
  Outcome o;
  o.total = total;
  o.errors = errors;
  o.steps = steps;
  o.files = std::move(files);
  return o;
}

std::map<std::string, std::string> Snapshot(const fs::path& root, const fs::path& skip) {
  std::map<std::string, std::string> out;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(root, ec);
       it != fs::recursive_directory_iterator(); it.increment(ec)) {
    const fs::path& p = it->path();
    if (p == skip) {
      it.disable_recursion_pending();
      continue;
    }
    const std::string key = p.lexically_relative(root).string();
    if (it->is_symlink(ec)) {
      out[key] = "link:" + fs::read_symlink(p, ec).string();
    } else if (it->is_directory(ec)) {
      out[key] = "folder";
    } else {
      out[key] = "file:" + ReadFile(p);
    }
  }
  return out;
}

Lines TemporaryFiles(const fs::path& root) {
  Lines found;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(root, ec);
       it != fs::recursive_directory_iterator(); it.increment(ec)) {
    if (it->path().filename().string().rfind(".pelmoa-", 0) == 0) {
      found.push_back(it->path().string());
    }
  }
  return found;
}

HostileTest::HostileTest() {
  WriteFile(sandbox.path() / "outside.txt", "OUTSIDE");
  dest_ = sandbox.path() / "outer" / "dest";
  fs::create_directories(dest_);
  outside_before_ = Snapshot(sandbox.path(), dest_);
}

void HostileTest::TearDown() {
  EXPECT_EQ(Snapshot(sandbox.path(), dest_), outside_before_)
      << "something changed outside the destination folder";
  EXPECT_EQ(TemporaryFiles(sandbox.path()), Lines{}) << "a temporary file was left";
}

TransferOptions HostileTest::Options(std::chrono::milliseconds stall, int jobs) {
  TransferOptions o;
  o.stall_timeout = stall;
  o.jobs = jobs;
  o.extra_ca_file = TestCertificates::Get().ca_file();
  return o;
}

void HostileTest::RunBounded(RecordingHost& host, const std::string& url,
                             std::chrono::seconds bound) {
  RunBounded(host, url, dest_str(), bound);
}

void HostileTest::RunBounded(RecordingHost& host, const std::string& url, const std::string& folder,
                             std::chrono::seconds bound, const HarvestOptions& options) {
  std::promise<void> ended;
  std::future<void> ended_future = ended.get_future();
  std::thread run([&] {
    HarvestPage(url, folder, host, options);
    ended.set_value();
  });
  if (ended_future.wait_for(bound) != std::future_status::ready) {
    ADD_FAILURE() << "the run did not end within " << bound.count() << " s";
    host.cancel_flag = true;
    if (ended_future.wait_for(30s) != std::future_status::ready) {
      std::fprintf(stderr, "the run ignores its cancel flag as well; giving up\n");
      std::abort();
    }
  }
  run.join();
}

void HostileTest::ExpectOutcome(const RecordingHost& host, const Outcome& o) const {
  EXPECT_EQ(host.Messages(), o.messages);
  const Lines statuses = host.StatusTexts();
  ASSERT_FALSE(statuses.empty());
  if (o.total >= 0 && o.errors > 0) {
    EXPECT_EQ(statuses.back(), "全" + std::to_string(o.total) + "画像中 " +
                                   std::to_string(o.errors) + "画像を保存できませんでした")
        << "a run whose images failed ends with their count";
  } else {
    EXPECT_EQ(statuses.back(), "") << "every other end of a run leaves the status text empty";
  }
  if (o.total < 0) {
    EXPECT_TRUE(host.Filter("max:").empty()) << "the run should not reach its download loop";
  } else {
    // A frameset may reach several download loops; each names the same total here.
    const Lines maxima = host.Filter("max:");
    EXPECT_FALSE(maxima.empty());
    for (const auto& m : maxima) EXPECT_EQ(m, std::to_string(o.total));
    EXPECT_NE(std::find(statuses.begin(), statuses.end(), DownloadText(o.total)), statuses.end());
    Lines error_texts;
    for (const auto& s : statuses) {
      if (s.find("   Error:") != std::string::npos) error_texts.push_back(s);
    }
    ASSERT_EQ(error_texts.size(), static_cast<std::size_t>(o.errors));
    if (o.errors > 0) {
      EXPECT_EQ(error_texts.back(), ErrorText(o.total, o.errors));
    }
  }
  if (o.steps >= 0) {
    EXPECT_EQ(host.Steps(), o.steps);
  }
  if (o.files) {
    Lines entries;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dest_, ec)) {
      entries.push_back(e.path().filename().string());
    }
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(entries, *o.files);
  }
}

}  // namespace pelmoa::testing
