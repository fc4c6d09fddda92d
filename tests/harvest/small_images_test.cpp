#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "harvest/harvest.h"
#include "harvest/net/image_size.h"
#include "harvest/net/small_image_check.h"
#include "recording_host.h"
#include "temp_dir.h"
#include "test_server.h"

namespace pelmoa {
namespace {

using Lines = std::vector<std::string>;
using Reading = ImageSizeReading;
using Verdict = SmallImageCheck::Verdict;

// Headers written from the formats' own descriptions, then bytes that stand for the picture.
std::string Be(std::uint32_t v, int bytes) {
  std::string s;
  for (int k = bytes - 1; k >= 0; --k) s += static_cast<char>(v >> (8 * k));
  return s;
}
std::string Le(std::uint32_t v, int bytes) {
  std::string s;
  for (int k = 0; k < bytes; ++k) s += static_cast<char>(v >> (8 * k));
  return s;
}
const std::string kData(200, '\x5a');

std::string Png(std::uint32_t w, std::uint32_t h, const char* type = "IHDR") {
  return std::string("\x89PNG\r\n\x1a\n", 8) + Be(13, 4) + type + Be(w, 4) + Be(h, 4) +
         std::string("\x08\x06\0\0\0", 5) + kData;
}
// Logical screen w x h, then one frame of fw x fh.
std::string Gif(int w, int h, int fw = 1, int fh = 1, const char* version = "GIF89a") {
  return version + Le(w, 2) + Le(h, 2) + std::string("\x80\0\0", 3) + std::string(6, '\0') + "," +
         Le(0, 4) + Le(fw, 2) + Le(fh, 2) + "\0" + kData;
}
std::string Segment(int marker, const std::string& body) {
  return "\xff" + std::string(1, static_cast<char>(marker)) + Be(body.size() + 2, 2) + body;
}
std::string Sof(int marker, int w, int h) {
  return Segment(marker, "\x08" + Be(h, 2) + Be(w, 2) + std::string("\x01\x01\x11\0", 4));
}
// JFIF and an EXIF segment whose thumbnail has a frame header of its own (16 x 16).
std::string Jpeg(int w, int h, int frame_marker = 0xc0, std::string before_frame = {}) {
  return "\xff\xd8" + Segment(0xe0, std::string("JFIF\0\x01\x01\0\0\x01\0\x01\0\0", 14)) +
         Segment(0xe1, std::string("Exif\0\0", 6) + "\xff\xd8" + Sof(0xc0, 16, 16)) +
         Segment(0xdb, std::string(65, '\x01')) + before_frame + Sof(frame_marker, w, h) +
         Segment(0xda, std::string(10, '\0')) + kData;
}
std::string Riff(const std::string& chunk, const std::string& body) {
  return "RIFF" + Le(4 + 8 + body.size(), 4) + "WEBP" + chunk + Le(body.size(), 4) + body;
}
std::string WebpLossy(int w, int h) {
  const std::uint32_t tag = 0 | (0 << 1) | (1 << 4) | (10u << 5);  // key frame, shown
  return Riff("VP8 ", Le(tag, 3) + "\x9d\x01\x2a" + Le(w, 2) + Le(h, 2) + std::string(30, '\0'));
}
std::string WebpLossless(int w, int h) {
  return Riff("VP8L", "\x2f" + Le((w - 1) | (h - 1) << 14, 4) + std::string(31, '\0'));
}
std::string WebpAnimated(int w, int h) {
  return Riff("VP8X", std::string("\x02\0\0\0", 4) + Le(w - 1, 3) + Le(h - 1, 3)) + kData;
}
std::string Bmp(int info, std::int32_t w, std::int32_t h) {
  const int side = info == 12 ? 2 : 4;
  return "BM" + Le(0, 4) + Le(0, 4) + Le(14 + info, 4) + Le(info, 4) +
         Le(static_cast<std::uint32_t>(w), side) + Le(static_cast<std::uint32_t>(h), side) +
         std::string(info - 4 - 2 * side, '\0') + kData;
}
std::string Box(const std::string& type, const std::string& body) {
  return Be(8 + body.size(), 4) + type + body;
}
std::string FullBox(const std::string& type, int flags, const std::string& body) {
  return Box(type, Be(flags, 4) + body);
}
std::string Ispe(int w, int h) { return FullBox("ispe", 0, Be(w, 4) + Be(h, 4)); }
// Item 1 has property 2, item 2 property 1; the primary item is `primary`.
std::string Avif(int primary, int w1, int h1, int w2, int h2, int item1_property = 2) {
  const std::string ipma =
      FullBox("ipma", 0, Be(2, 4) + Be(1, 2) + "\x01" + static_cast<char>(0x80 | item1_property) +
                             Be(2, 2) + "\x01\x01");
  return Box("ftyp", "avif" + Be(0, 4) + "mif1" + "miaf") +
         FullBox("meta", 0,
                 FullBox("hdlr", 0, Be(0, 4) + "pict" + std::string(13, '\0')) +
                     FullBox("pitm", 0, Be(primary, 2)) + FullBox("iloc", 0, std::string(8, '\0')) +
                     Box("iprp", Box("ipco", Ispe(w2, h2) + Ispe(w1, h1)) + ipma)) +
         Box("mdat", kData);
}

struct Row {
  const char* name;
  std::string bytes;
  Reading reading;
  // At a minimum side of 100, once every byte has arrived.
  Verdict verdict;
};
void PrintTo(const Row& row, std::ostream* os) { *os << row.name; }

constexpr Reading kMore{Reading::kNeedMore};
constexpr Reading kNone{Reading::kNone};
Reading Size(std::uint32_t w, std::uint32_t h) { return {Reading::kKnown, w, h}; }

class ImageHeaderTest : public ::testing::TestWithParam<Row> {};

// Read whole, and fed as a slow server sends it (a byte at a time) and as a fast one does.
TEST_P(ImageHeaderTest, SizeAndVerdict) {
  const Row& row = GetParam();
  EXPECT_EQ(ReadImageSize(row.bytes), row.reading);
  for (std::size_t piece : {std::size_t{1}, std::size_t{16384}}) {
    SmallImageCheck check(100);
    for (std::size_t at = 0; at < row.bytes.size(); at += piece) {
      check.Feed(std::string_view(row.bytes).substr(at, piece));
    }
    EXPECT_EQ(check.verdict(), row.verdict) << piece;
  }
}

const std::string kLongExif = Segment(0xe1, std::string(65500, '\0'));

INSTANTIATE_TEST_SUITE_P(
    Formats, ImageHeaderTest,
    ::testing::Values(
        Row{"PngIcon", Png(16, 16), Size(16, 16), Verdict::kLeaveOut},
        Row{"PngSidesAtTheMinimum", Png(100, 100), Size(100, 100), Verdict::kKeep},
        Row{"PngWideButLow", Png(640, 99), Size(640, 99), Verdict::kLeaveOut},
        Row{"PngTruncated", Png(16, 16).substr(0, 20), kMore, Verdict::kUndecided},
        Row{"PngFirstChunkNotIhdr", Png(16, 16, "IDAT"), kNone, Verdict::kKeep},
        Row{"GifCounter", Gif(1, 1), Size(1, 1), Verdict::kLeaveOut},
        Row{"GifLogicalScreenNotFrame", Gif(640, 480, 1, 1, "GIF87a"), Size(640, 480),
            Verdict::kKeep},
        Row{"GifTruncated", Gif(1, 1).substr(0, 8), kMore, Verdict::kUndecided},
        Row{"GifUnknownVersion", Gif(1, 1, 1, 1, "GIF88a"), kNone, Verdict::kKeep},
        Row{"JpegFramePastExifThumbnail", Jpeg(640, 480), Size(640, 480), Verdict::kKeep},
        Row{"JpegProgressiveBeacon", Jpeg(1, 1, 0xc2), Size(1, 1), Verdict::kLeaveOut},
        Row{"JpegHuffmanTableIsNoFrame", Jpeg(99, 640, 0xc0, Sof(0xc4, 1, 1)), Size(99, 640),
            Verdict::kLeaveOut},
        Row{"JpegTruncatedInExif", Jpeg(1, 1).substr(0, 30), kMore, Verdict::kUndecided},
        Row{"JpegHeightFromLaterDnl", Jpeg(640, 0), kNone, Verdict::kKeep},
        Row{"JpegScanBeforeFrame", Jpeg(1, 1, 0xc0, Segment(0xda, "")), kNone, Verdict::kKeep},
        Row{"JpegFrameBeyond64KiB", Jpeg(1, 1, 0xc0, kLongExif), Size(1, 1), Verdict::kKeep},
        Row{"WebpLossyIcon", WebpLossy(16, 16), Size(16, 16), Verdict::kLeaveOut},
        Row{"WebpLossless", WebpLossless(640, 480), Size(640, 480), Verdict::kKeep},
        Row{"WebpExtendedCanvas", WebpAnimated(1000, 50), Size(1000, 50), Verdict::kLeaveOut},
        Row{"WebpTruncated", WebpLossy(16, 16).substr(0, 24), kMore, Verdict::kUndecided},
        Row{"WebpDamagedStartCode", WebpLossy(16, 16).replace(23, 1, "\x9e"), kNone,
            Verdict::kKeep},
        Row{"BmpInfoHeader", Bmp(40, 1, 1), Size(1, 1), Verdict::kLeaveOut},
        Row{"BmpCoreHeader", Bmp(12, 640, 480), Size(640, 480), Verdict::kKeep},
        Row{"BmpTopDown", Bmp(124, 640, -99), Size(640, 99), Verdict::kLeaveOut},
        Row{"BmpTruncated", Bmp(40, 1, 1).substr(0, 20), kMore, Verdict::kUndecided},
        Row{"BmpUnknownHeaderSize", Bmp(40, 1, 1).replace(14, 1, "\x29"), kNone, Verdict::kKeep},
        Row{"AvifPrimaryNotFirstProperty", Avif(1, 640, 480, 16, 16), Size(640, 480),
            Verdict::kKeep},
        Row{"AvifPrimaryIcon", Avif(2, 640, 480, 16, 16), Size(16, 16), Verdict::kLeaveOut},
        Row{"AvifTruncatedInMeta", Avif(1, 640, 480, 16, 16).substr(0, 90), kMore,
            Verdict::kUndecided},
        Row{"AvifPropertyOutOfRange", Avif(1, 640, 480, 16, 16, 5), kNone, Verdict::kKeep},
        Row{"Svg", "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"1\" height=\"1\"/>", kNone,
            Verdict::kKeep}),
    [](const auto& info) { return std::string(info.param.name); });

// Whole runs: a 1x1 counter and a 640x480 photo, with and without a failed image beside them.
struct RunRow {
  const char* name;
  const char* page;
  int min_side;
  Lines statuses;  // from the count text on
  Lines stored;
  bool modern = false;
};
void PrintTo(const RunRow& row, std::ostream* os) { *os << row.name; }

class SmallImagesRunTest : public ::testing::TestWithParam<RunRow> {};

TEST_P(SmallImagesRunTest, LeftOutPicturesAreCountedNotStored) {
  const RunRow& row = GetParam();
  testing::TestServer server;
  testing::TempDir folder;
  server.Serve("/p.html", row.page);
  server.Serve("/counter.gif", testing::TinyGif(), "image/gif");
  server.Serve("/photo.jpg", Jpeg(640, 480), "image/jpeg");
  server.Serve("/beacon", testing::TinyGif(), "text/plain");
  testing::RecordingHost host;
  host.view_option = true;
  HarvestPage(server.Url("/p.html"), folder.str(), host,
              {.modern_pages = row.modern, .min_side = row.min_side});
  const Lines statuses = host.StatusTexts();
  EXPECT_EQ(Lines(statuses.begin() + 3, statuses.end()), row.statuses);
  EXPECT_EQ(host.Filter("stored:"), row.stored);
  EXPECT_EQ(folder.Entries(), row.stored);  // and no temporary file
  EXPECT_EQ(host.Filter("view:").size(), row.stored.size());
  // A left-out picture is a finished entry like any other.
  EXPECT_EQ(host.Filter("max:"), Lines{std::to_string(host.Steps())});
}

INSTANTIATE_TEST_SUITE_P(
    Runs, SmallImagesRunTest,
    ::testing::Values(
        RunRow{"CounterLeftOut", R"(<img src="counter.gif"><a href="photo.jpg">p</a>)", 100,
               {"画像のダウンロード中 全2画像", "画像のダウンロード中 全2画像   除外:1",
                "全2画像中 1画像を小さいため除外しました"},
               {"photo.jpg"}},
        RunRow{"FailureOutranksLeftOut",
               R"(<img src="counter.gif"><img src="missing.jpg"><a href="photo.jpg">p</a>)", 100,
               {"画像のダウンロード中 全3画像", "画像のダウンロード中 全3画像   除外:1",
                "画像のダウンロード中 全3画像   Error:1   除外:1",
                "全3画像中 1画像を保存できませんでした"},
               {"photo.jpg"}},
        // Named by its answer's type, which is no image: a failure, small or not.
        RunRow{"UntypedAnswerFailsFirst", R"(<img data-src="/beacon">)", 100,
               {"画像のダウンロード中 全1画像", "画像のダウンロード中 全1画像   Error:1",
                "全1画像中 1画像を保存できませんでした"},
               {}, true},
        RunRow{"OffStoresEverything", R"(<img src="counter.gif"><a href="photo.jpg">p</a>)", 0,
               {"画像のダウンロード中 全2画像", ""}, {"counter.gif", "photo.jpg"}}),
    [](const auto& info) { return std::string(info.param.name); });

// After a left-out picture the next one comes over the same connection when the rest was
// small and its length known (it is read past); otherwise the transfer stops there, and
// what the server could still send is far less than the picture.
struct StopRow {
  const char* name;
  std::size_t rest;
  bool length_known;
  bool same_connection;
};
void PrintTo(const StopRow& row, std::ostream* os) { *os << row.name; }

class LeftOutTransferTest : public ::testing::TestWithParam<StopRow> {};

TEST_P(LeftOutTransferTest, SmallRestIsReadPastLargeRestIsNot) {
  const StopRow& row = GetParam();
  testing::TestServer server;
  testing::TempDir folder;
  server.Serve("/p.html", R"(<img src="counter.gif"><img src="photo.jpg">)");
  std::mutex mutex;
  std::vector<int> ports;
  auto note_port = [&](const httplib::Request& req) {
    std::lock_guard lock(mutex);
    ports.push_back(req.remote_port);
  };
  // Still counted by the server's threads after the run.
  auto sent = std::make_shared<std::atomic<std::size_t>>(0);
  const std::string head = testing::TinyGif();
  server.Handle("/counter.gif", [&, sent](const httplib::Request& req, httplib::Response& res) {
    note_port(req);
    auto body = [head, sent](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
      std::string piece = offset < head.size() ? head.substr(offset) : std::string();
      piece.resize(std::min<std::size_t>(length, 64 * 1024), 'x');
      if (!sink.write(piece.data(), piece.size())) return false;
      *sent += piece.size();
      return true;
    };
    const std::size_t total = head.size() + row.rest;
    if (row.length_known) {
      res.set_content_provider(total, "image/gif", body);
    } else {
      res.set_chunked_content_provider("image/gif", [body, total](std::size_t offset,
                                                                  httplib::DataSink& sink) {
        if (offset >= total) {
          sink.done();
          return true;
        }
        return body(offset, total - offset, sink);
      });
    }
  });
  server.Handle("/photo.jpg", [&](const httplib::Request& req, httplib::Response& res) {
    note_port(req);
    res.set_content(Jpeg(640, 480), "image/jpeg");
  });
  TransferOptions one_at_a_time;
  one_at_a_time.jobs = 1;
  testing::RecordingHost host(one_at_a_time);
  HarvestPage(server.Url("/p.html"), folder.str(), host, {.min_side = 100});
  EXPECT_EQ(folder.Entries(), Lines{"photo.jpg"});
  ASSERT_EQ(ports.size(), 2u);
  EXPECT_EQ(ports[0] == ports[1], row.same_connection);
  if (!row.same_connection) {
    EXPECT_LT(*sent, row.rest / 2);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Rests, LeftOutTransferTest,
    ::testing::Values(StopRow{"SmallRestReadPast", 4000, true, true},
                      StopRow{"LargeRestStops", std::size_t{64} << 20, true, false},
                      StopRow{"UnknownLengthStops", std::size_t{64} << 20, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace pelmoa
