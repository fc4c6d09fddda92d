#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#endif

#include "harvest/files/file_names.h"
#include "harvest/harvest.h"
#include "harvest/net/image_writer.h"
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

// A large body goes through the writer's thread: every byte lands in order; a file dropped
// while its blocks still wait for the writer (a cancel) leaves nothing, and the writer goes on.
TEST(ImageWriter, QueuedBlocksLandInOrderOrNotAtAll) {
  TempDir dir;
  std::string body(9 << 20, '\0');
  for (std::size_t i = 0; i < body.size(); ++i) body[i] = static_cast<char>((i * 2654435761u) >> 24);
  ImageWriter writer([] {});
  for (bool keep : {false, true}) {
    TempImageFile file;
    ASSERT_EQ(file.Create(dir.path() / "big.jpg"), "");
    ImageWriter::Stream stream(writer, file);
    for (std::size_t at = 0; at < body.size(); at += 100'003) {
      ASSERT_TRUE(stream.Write(body.data() + at, std::min<std::size_t>(100'003, body.size() - at)));
    }
    if (!keep) {
      stream.Forget();
      file.Discard();
      EXPECT_TRUE(dir.Entries().empty());
      continue;
    }
    stream.Seal();
    while (!stream.Flushed()) std::this_thread::yield();
    EXPECT_EQ(file.Commit(), "");
    EXPECT_TRUE(ReadFile(dir.path() / "big.jpg") == body);
  }
}

// A write refused by the file layer (here: the process's file-size limit, as a full disk
// would) counts as an error, leaves no partial file and keeps the earlier file of that name;
// here the refused write is a large image's last piece, written after its transfer has ended.
// Windows has no such limit to set.
#ifndef _WIN32
TEST(ImageStore, WriteFailureIsCountedAndKeepsTheEarlierFile) {
  testing::TestServer server;
  TempDir dir;
  WriteFile(dir.path() / "big.jpg", "EARLIER");
  server.Serve("/w.html", R"(<img src="big.jpg"><img src="small.jpg">)");
  server.Serve("/big.jpg", std::string((2 << 20) + 100, 'B'), "image/jpeg");
  server.Serve("/small.jpg", "S", "image/jpeg");

  struct rlimit old_limit {};
  getrlimit(RLIMIT_FSIZE, &old_limit);
  auto old_handler = signal(SIGXFSZ, SIG_IGN);
  struct rlimit limit = old_limit;
  limit.rlim_cur = 2 << 20;
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
