#include <gtest/gtest.h>
#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#endif

#include "harvest/file_names.h"
#include "harvest/harvest.h"
#include "recording_host.h"
#include "temp_dir.h"
#include "test_server.h"

namespace pelmoa {
namespace {

using testing::ReadFile;
using testing::TempDir;
using testing::WriteFile;

TEST(TempImageFile, CommitReplacesALongerFileWhole) {
  TempDir dir;
  WriteFile(dir.path() / "a.jpg", std::string(5000, 'o'));
  TempImageFile f;
  ASSERT_EQ(f.Create(dir.path() / "a.jpg"), "");
  ASSERT_TRUE(f.Write("new", 3));
  EXPECT_EQ(f.Commit(), "");
  EXPECT_EQ(ReadFile(dir.path() / "a.jpg"), "new");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"a.jpg"});
}

TEST(TempImageFile, DiscardAndDestructionLeaveNothing) {
  TempDir dir;
  {
    TempImageFile f;
    ASSERT_EQ(f.Create(dir.path() / "b.jpg"), "");
    f.Write("partial", 7);
  }
  EXPECT_TRUE(dir.Entries().empty());
}

TEST(TempImageFile, CommitOntoAFolderFailsAndCleansUp) {
  TempDir dir;
  std::filesystem::create_directory(dir.path() / "c.jpg");
  TempImageFile f;
  ASSERT_EQ(f.Create(dir.path() / "c.jpg"), "");
  f.Write("x", 1);
  EXPECT_NE(f.Commit(), "");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"c.jpg"});
}

// Windows reaches paths past 260 characters only in their long form: the folder, the
// temporary files beside the images, and an image written over by a later one of its name.
TEST(ImageStore, FolderPathOf300Characters) {
  testing::TestServer server;
  TempDir dir;
  std::filesystem::path folder = dir.path();
  while (folder.native().size() < 300) folder /= std::string(40, 'f');
  ASSERT_FALSE(MakeDirectoryPath(folder));
  server.Serve("/p.html", R"(<img src="a.jpg"><img src="b.jpg"><img src="a.jpg">)");
  server.Serve("/a.jpg", "A", "image/jpeg");
  server.Serve("/b.jpg", "B", "image/jpeg");
  testing::RecordingHost host;
  HarvestPage(server.Url("/p.html"), Utf8FromPath(folder), host);
  EXPECT_EQ(host.StatusTexts().back(), "");
  EXPECT_EQ(ReadFile(folder / "a.jpg"), "A");
  EXPECT_EQ(ReadFile(folder / "b.jpg"), "B");
}

// A write refused by the file layer (here: the process's file-size limit, as a full disk
// would) counts as an error, leaves no partial file and keeps the earlier file of that name.
// Windows has no such limit to set.
#ifndef _WIN32
TEST(ImageStore, WriteFailureIsCountedAndKeepsTheEarlierFile) {
  testing::TestServer server;
  TempDir dir;
  WriteFile(dir.path() / "big.jpg", "EARLIER");
  server.Serve("/w.html", R"(<img src="big.jpg"><img src="small.jpg">)");
  server.Serve("/big.jpg", std::string(64 * 1024, 'B'), "image/jpeg");
  server.Serve("/small.jpg", "S", "image/jpeg");

  struct rlimit old_limit {};
  getrlimit(RLIMIT_FSIZE, &old_limit);
  auto old_handler = signal(SIGXFSZ, SIG_IGN);
  struct rlimit limit = old_limit;
  limit.rlim_cur = 16 * 1024;
  setrlimit(RLIMIT_FSIZE, &limit);
  testing::RecordingHost host;
  HarvestPage(server.Url("/w.html"), dir.str(), host);
  setrlimit(RLIMIT_FSIZE, &old_limit);
  signal(SIGXFSZ, old_handler);

  EXPECT_EQ(ReadFile(dir.path() / "big.jpg"), "EARLIER");
  EXPECT_EQ(ReadFile(dir.path() / "small.jpg"), "S");
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"big.jpg", "small.jpg"}));
  EXPECT_EQ(host.StatusTexts()[4], "画像のダウンロード中 全2画像   Error:1");
}
#endif

}  // namespace
}  // namespace pelmoa
