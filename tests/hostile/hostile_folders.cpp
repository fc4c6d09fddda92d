// Folders that refuse: read-only, full, removed while the run goes on, and names in the way.
// The tests run as root on the build machines, where mode bits do not stop a write, so a
// read-only or full folder is a small tmpfs mounted over the destination when the machine
// allows it.

#include <fcntl.h>
#include <linux/fs.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include "hostile_case.h"

namespace pelmoa::testing {
namespace {

namespace fs = std::filesystem;

bool MountTmpfs(CaseContext& ctx, std::size_t bytes) {
  const std::string options = "size=" + std::to_string(bytes) + ",mode=0755";
  if (geteuid() != 0 ||
      ::mount("tmpfs", ctx.dest.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) != 0) {
    return false;
  }
  ctx.undo.push_back([dest = ctx.dest] { ::umount2(dest.c_str(), MNT_DETACH); });
  return true;
}

bool RemountReadOnly(CaseContext& ctx) {
  return ::mount(nullptr, ctx.dest.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr) == 0;
}

// The immutable attribute stops even root from adding to a folder.
bool SetImmutable(const fs::path& p, bool on) {
  const int fd = ::open(p.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  int flags = 0;
  bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
  if (ok) {
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
  }
  ::close(fd);
  return ok;
}

std::string TwoImages(CaseContext& ctx) {
  ctx.server.Serve("/f/page.html", "<img src=\"a.gif\"><img src=\"b.gif\">");
  ctx.server.Serve("/f/a.gif", "NEW A", "image/gif");
  ctx.server.Serve("/f/b.gif", "NEW B", "image/gif");
  return ctx.server.Url("/f/page.html");
}

std::string ReadOnlyFolder(CaseContext& ctx) {
  if (MountTmpfs(ctx, 64 * 1024)) {
    WriteFile(ctx.dest / "a.gif", "EARLIER");
    if (!RemountReadOnly(ctx)) ctx.skip_reason = "cannot remount the folder read-only";
  } else if (geteuid() != 0) {
    WriteFile(ctx.dest / "a.gif", "EARLIER");
    fs::permissions(ctx.dest, fs::perms::owner_read | fs::perms::owner_exec);
  } else {
    WriteFile(ctx.dest / "a.gif", "EARLIER");
    if (SetImmutable(ctx.dest, true)) {
      ctx.undo.push_back([dest = ctx.dest] { SetImmutable(dest, false); });
    } else {
      ctx.skip_reason =
          "running as root without mount or the immutable attribute: no way "
          "to make a folder read-only here";
    }
  }
  return TwoImages(ctx);
}

// Room for about `bytes` in the folder: a small tmpfs over it, or else a file-size limit on
// the process, which refuses a write the way a full disk would.
void LimitFolderSpace(CaseContext& ctx, std::size_t bytes) {
  if (MountTmpfs(ctx, bytes)) return;
  rlimit old_limit{};
  ::getrlimit(RLIMIT_FSIZE, &old_limit);
  rlimit limit = old_limit;
  limit.rlim_cur = bytes / 2;
  auto old_handler = ::signal(SIGXFSZ, SIG_IGN);
  ::setrlimit(RLIMIT_FSIZE, &limit);
  ctx.undo.push_back([old_limit, old_handler] {
    ::setrlimit(RLIMIT_FSIZE, &old_limit);
    ::signal(SIGXFSZ, old_handler);
  });
}

// An image larger than the free space, after an earlier file of its name; the space runs out
// where the writer's thread writes.
std::string FullFolder(CaseContext& ctx) {
  LimitFolderSpace(ctx, 3 << 20);
  WriteFile(ctx.dest / "big.jpg", std::string(20'000, 'E'));
  ctx.server.Serve("/f/page.html",
                   "<img src=\"big.jpg\"><img src=\"small.jpg\"><img src=\"big2.jpg\">");
  ctx.server.Serve("/f/big.jpg", std::string(4 << 20, 'B'), "image/jpeg");
  ctx.server.Serve("/f/big2.jpg", std::string(4 << 20, 'B'), "image/jpeg");
  ctx.server.Serve("/f/small.jpg", "S", "image/jpeg");
  return ctx.server.Url("/f/page.html");
}

// An image that never ends, sent as fast as it is taken, fills the folder and fails there.
std::string EndlessImage(CaseContext& ctx) {
  LimitFolderSpace(ctx, 1 << 20);
  WriteFile(ctx.dest / "endless.jpg", "EARLIER");
  ctx.server.Serve("/f/page.html", "<img src=\"endless.jpg\"><img src=\"small.jpg\">");
  ctx.server.Handle("/f/endless.jpg", [](const httplib::Request&, httplib::Response& res) {
    res.set_chunked_content_provider("image/jpeg", [](std::size_t, httplib::DataSink& sink) {
      static const std::string chunk(64 * 1024, 'J');
      return sink.write(chunk.data(), chunk.size());
    });
  });
  ctx.server.Serve("/f/small.jpg", "S", "image/jpeg");
  return ctx.server.Url("/f/page.html");
}

// A folder already full to the last byte: even a one-byte image cannot be written.
std::string FullBeforeTheRun(CaseContext& ctx) {
  if (!MountTmpfs(ctx, 64 * 1024)) {
    ctx.skip_reason = "cannot mount a small tmpfs here";
    return {};
  }
  const int fd = ::open((ctx.dest / "filler").c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  const std::string block(4096, 'F');
  while (::write(fd, block.data(), block.size()) > 0) {
  }
  while (::write(fd, block.data(), 1) > 0) {
  }
  ::close(fd);
  return TwoImages(ctx);
}

std::string RemovedDuringTheRun(CaseContext& ctx) {
  std::string page;
  for (int k = 0; k < 6; ++k) page += "<img src=\"g" + std::to_string(k) + ".gif\">";
  ctx.server.Serve("/f/page.html", page);
  ctx.server.HandleRegex(R"(/f/g\d\.gif)", [](const auto&, httplib::Response& res) {
    res.set_content(TinyGif(), "image/gif");
  });
  ctx.host.on_call = [dest = ctx.dest, removed = false](RecordingHost&,
                                                        const std::string& line) mutable {
    if (!removed && line.rfind("stored:", 0) == 0) {
      fs::remove_all(dest);
      removed = true;
    }
  };
  return ctx.server.Url("/f/page.html");
}

std::string ImageNameIsAFolder(CaseContext& ctx) {
  fs::create_directory(ctx.dest / "a.gif");
  WriteFile(ctx.dest / "a.gif" / "inner.txt", "INNER");
  return TwoImages(ctx);
}

std::string ImageNameIsALinkOutside(CaseContext& ctx) {
  fs::create_symlink(ctx.sandbox / "outside.txt", ctx.dest / "a.gif");
  return TwoImages(ctx);
}

std::string FolderUnderAFile(CaseContext& ctx) {
  WriteFile(ctx.dest / "plain", "PLAIN");
  ctx.folder = (ctx.dest / "plain" / "sub").string();
  return TwoImages(ctx);
}

}  // namespace

std::vector<HostileCase> FolderCases() {
  return {
      {"ReadOnlyFolder", ReadOnlyFolder, Loop(2, 2, 2, Lines{"a.gif"}),
       [](CaseContext& ctx) { EXPECT_EQ(ReadFile(ctx.dest / "a.gif"), "EARLIER"); }},
      // One at a time, so the small image is not written while the large one holds the space.
      {"ImageLargerThanTheFreeSpace", FullFolder, Loop(3, 2, 3, Lines{"big.jpg", "small.jpg"}),
       [](CaseContext& ctx) {
         EXPECT_EQ(ReadFile(ctx.dest / "big.jpg"), std::string(20'000, 'E'));
         EXPECT_EQ(ReadFile(ctx.dest / "small.jpg"), "S");
       },
       2000ms, 1},
      {"EndlessImageFillsTheFolder", EndlessImage, Loop(2, 1, 2, Lines{"endless.jpg", "small.jpg"}),
       [](CaseContext& ctx) { EXPECT_EQ(ReadFile(ctx.dest / "endless.jpg"), "EARLIER"); }, 2000ms,
       1},
      {"FolderFullBeforeTheRun", FullBeforeTheRun, Loop(2, 2, 2, Lines{"filler"})},
      {"FolderRemovedDuringTheRun", RemovedDuringTheRun, Loop(6, 5, 6),
       [](CaseContext& ctx) { EXPECT_FALSE(fs::exists(ctx.dest)) << "the folder came back"; }},
      {"ImageNameTakenByAFolder", ImageNameIsAFolder, Loop(2, 1, 2, Lines{"a.gif", "b.gif"}),
       [](CaseContext& ctx) { EXPECT_EQ(ReadFile(ctx.dest / "a.gif" / "inner.txt"), "INNER"); }},
      // The link itself is replaced; the file it pointed to is untouched.
      {"ImageNameTakenByALinkToOutside", ImageNameIsALinkOutside,
       Loop(2, 0, 2, Lines{"a.gif", "b.gif"}),
       [](CaseContext& ctx) {
         EXPECT_FALSE(fs::is_symlink(ctx.dest / "a.gif"));
         EXPECT_EQ(ReadFile(ctx.dest / "a.gif"), "NEW A");
       }},
      {"FolderPathRunsThroughAFile", FolderUnderAFile, Loop(2, 2, 2, Lines{"plain"})},
  };
}

}  // namespace pelmoa::testing
