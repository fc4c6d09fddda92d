// The benchmark's HTTP server on 127.0.0.1: generated galleries with keep-alive and a
// per-response latency, chosen by the address so one server serves every scenario.
//
//   /g/N-SIZE-LATENCY/index.html   a page of N images, half <img src>, half <a href>
//   /g/N-SIZE-LATENCY/pK.EXT       image K of that page: SIZE bytes, deterministic
//   /g/N-SIZE-LATENCY/list.txt     the image addresses, one a line (for list-fed peers)
//
// LATENCY is in milliseconds and delays every response of that gallery.
//
//   /s/P-I/index.html              a page of P photos and I icons, four icons before each photo
//   /s/P-I/photoK.jpg, iconK.png   a JPEG of 1600 x 1200 in 2 MB, a PNG of 16 x 16 in 1 KB:
//                                  the header a picture of that size has, then table bytes
//   /stats                         "BODY_BYTES CONNECTIONS RESPONSES" of the /s/ pages since
//                                  the last /stats?reset=1; body bytes the server could send

#include <httplib.h>
#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <mutex>
#include <regex>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr std::size_t kPatternBytes = std::size_t{1} << 20;
constexpr std::size_t kChunkBytes = 64 * 1024;
constexpr const char* kExtensions[] = {"jpg", "png", "gif"};
constexpr const char* kContentTypes[] = {"image/jpeg", "image/png", "image/gif"};

// A fixed pseudo-random table; image k is the table read cyclically from an offset that
// depends on k, so every image differs and none needs memory of its own.
std::vector<char> MakePattern() {
  std::vector<char> p(kPatternBytes);
  std::uint64_t x = 0x9e3779b97f4a7c15ULL;
  for (char& c : p) {
    x ^= x << 13;
    x ^= x >> 7;
    x ^= x << 17;
    c = static_cast<char>(x >> 56);
  }
  return p;
}

struct Gallery {
  long count = 0;
  std::size_t size = 0;
  long latency_ms = 0;
  std::string id;  // "N-SIZE-LATENCY"
};

std::string ImageName(long k) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "p%05ld.%s", k, kExtensions[k % 3]);
  return buf;
}

std::string PageFor(const Gallery& g) {
  std::string page =
      "<html><head><meta charset=\"utf-8\"><title>gallery</title></head><body>\n";
  for (long k = 1; k <= g.count; ++k) {
    const std::string path = "/g/" + g.id + "/" + ImageName(k);
    if (k % 2) {
      page += "<div class=\"thumb\"><img src=\"" + path + "\" alt=\"image " +
              std::to_string(k) + "\"></div>\n";
    } else {
      page += "<p><a href=\"" + path + "\">image " + std::to_string(k) + "</a></p>\n";
    }
  }
  page += "</body></html>\n";
  return page;
}

// A JPEG's start of image, JFIF segment, frame header (1200 lines of 1600 samples, three
// components) and start of scan; a PNG's signature and IHDR chunk for 16 x 16 RGBA.
const std::string kPhotoHead(
    "\xff\xd8\xff\xe0\x00\x10JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00"
    "\xff\xc0\x00\x11\x08\x04\xb0\x06\x40\x03\x01\x22\x00\x02\x11\x01\x03\x11\x01"
    "\xff\xda\x00\x0c\x03\x01\x00\x02\x11\x03\x11\x00\x3f\x00",
    53);
const std::string kIconHead(
    "\x89PNG\r\n\x1a\n\x00\x00\x00\x0dIHDR\x00\x00\x00\x10\x00\x00\x00\x10"
    "\x08\x06\x00\x00\x00\x1f\xf3\xff\x61",
    33);
constexpr std::size_t kPhotoBytes = 2 * 1000 * 1000;
constexpr std::size_t kIconBytes = 1000;

std::string MixedPage(const std::string& id, long photos, long icons) {
  std::string page = "<html><head><meta charset=\"utf-8\"><title>photos</title></head><body>\n";
  long icon = 1;
  for (long k = 1; k <= photos || icon <= icons; ++k) {
    for (int n = 0; n < 4 && icon <= icons; ++n, ++icon) {
      page += "<img src=\"/s/" + id + "/icon" + std::to_string(icon) + ".png\">\n";
    }
    if (k <= photos) page += "<img src=\"/s/" + id + "/photo" + std::to_string(k) + ".jpg\">\n";
  }
  return page + "</body></html>\n";
}

// What the /s/ pages cost: the body bytes the server could hand to the network and the
// connections (client address and port) they went over.
struct Stats {
  std::mutex mutex;
  std::set<std::pair<std::string, int>> peers;
  long responses = 0;
  std::atomic<std::uint64_t> body_bytes{0};
};

}  // namespace

int main(int argc, char** argv) {
  std::string port_file;
  long max_seconds = 1800;
  for (int k = 1; k + 1 < argc; k += 2) {
    if (!std::strcmp(argv[k], "--port-file")) port_file = argv[k + 1];
    if (!std::strcmp(argv[k], "--max-seconds")) max_seconds = std::atol(argv[k + 1]);
  }
  const std::vector<char> pattern = MakePattern();

  httplib::Server server;
  // Every client connection keeps one worker; wget, six-way peers and stragglers at once.
  server.new_task_queue = [] { return new httplib::ThreadPool(32); };
  server.set_keep_alive_max_count(1'000'000);
  server.set_keep_alive_timeout(5);
  // Headers and body leave in separate writes; without this, Nagle and delayed ACKs add
  // 40 ms to every response of a kept-alive connection.
  server.set_tcp_nodelay(true);

  const std::regex route(R"(/g/((\d+)-(\d+)-(\d+))/(index\.html|list\.txt|p(\d+)\.(jpg|png|gif)))");
  server.Get(R"(/g/.*)", [&](const httplib::Request& req, httplib::Response& res) {
    std::smatch m;
    if (!std::regex_match(req.path, m, route)) {
      res.status = 404;
      return;
    }
    Gallery g;
    g.id = m[1];
    g.count = std::atol(m[2].str().c_str());
    g.size = static_cast<std::size_t>(std::atoll(m[3].str().c_str()));
    g.latency_ms = std::atol(m[4].str().c_str());
    if (g.latency_ms > 0) std::this_thread::sleep_for(std::chrono::milliseconds(g.latency_ms));
    const std::string what = m[5];
    if (what == "index.html") {
      // Through a sized provider, which the server never compresses: its only encoding
      // offered to clients that accept any is brotli at top quality, which takes longer
      // than the whole harvest of a small gallery, and wget asks for none.
      auto page = std::make_shared<std::string>(PageFor(g));
      res.set_content_provider(
          page->size(), "text/html; charset=utf-8",
          [page](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
            return sink.write(page->data() + offset, std::min(length, kChunkBytes));
          });
      return;
    }
    if (what == "list.txt") {
      const std::string host = req.get_header_value("Host");
      std::string list;
      for (long k = 1; k <= g.count; ++k) list += "http://" + host + "/g/" + g.id + "/" + ImageName(k) + "\n";
      res.set_content(list, "text/plain");
      return;
    }
    const long k = std::atol(m[6].str().c_str());
    if (k < 1 || k > g.count || m[7] != kExtensions[k % 3]) {
      res.status = 404;
      return;
    }
    const std::size_t start = static_cast<std::size_t>(k) * 4099 % kPatternBytes;
    res.set_content_provider(
        g.size, kContentTypes[k % 3],
        [&pattern, start](std::size_t offset, std::size_t length, httplib::DataSink& sink) {
          const std::size_t at = (start + offset) % kPatternBytes;
          const std::size_t n = std::min({length, kChunkBytes, kPatternBytes - at});
          return sink.write(pattern.data() + at, n);
        });
  });

  Stats stats;
  const std::regex mixed(R"(/s/((\d+)-(\d+))/(index\.html|photo(\d+)\.jpg|icon(\d+)\.png))");
  server.Get(R"(/s/.*)", [&](const httplib::Request& req, httplib::Response& res) {
    std::smatch m;
    if (!std::regex_match(req.path, m, mixed)) {
      res.status = 404;
      return;
    }
    {
      std::lock_guard lock(stats.mutex);
      stats.peers.emplace(req.remote_addr, req.remote_port);
      ++stats.responses;
    }
    if (m[4] == "index.html") {
      res.set_content(MixedPage(m[1], std::atol(m[2].str().c_str()), std::atol(m[3].str().c_str())),
                      "text/html; charset=utf-8");
      return;
    }
    const bool photo = m[5].matched;
    const long k = std::atol((photo ? m[5] : m[6]).str().c_str());
    const std::string& head = photo ? kPhotoHead : kIconHead;
    const std::size_t start = static_cast<std::size_t>(k) * 4099 % kPatternBytes;
    res.set_content_provider(
        photo ? kPhotoBytes : kIconBytes, photo ? "image/jpeg" : "image/png",
        [&pattern, &head, &stats, start](std::size_t offset, std::size_t length,
                                         httplib::DataSink& sink) {
          std::size_t n = 0;
          bool ok = true;
          if (offset < head.size()) {
            n = std::min(length, head.size() - offset);
            ok = sink.write(head.data() + offset, n);
          } else {
            const std::size_t at = (start + offset) % kPatternBytes;
            n = std::min({length, kChunkBytes, kPatternBytes - at});
            ok = sink.write(pattern.data() + at, n);
          }
          if (ok) stats.body_bytes += n;
          return ok;
        });
  });
  server.Get("/stats", [&](const httplib::Request& req, httplib::Response& res) {
    std::lock_guard lock(stats.mutex);
    res.set_content(std::to_string(stats.body_bytes.load()) + " " +
                        std::to_string(stats.peers.size()) + " " +
                        std::to_string(stats.responses) + "\n",
                    "text/plain");
    if (req.has_param("reset")) {
      stats.peers.clear();
      stats.responses = 0;
      stats.body_bytes = 0;
    }
  });

  // Signals are taken by one thread that stops the server: on SIGTERM from the benchmark,
  // or after the time bound, so a forgotten server does not live on.
  sigset_t stop_signals;
  sigemptyset(&stop_signals);
  sigaddset(&stop_signals, SIGTERM);
  sigaddset(&stop_signals, SIGINT);
  pthread_sigmask(SIG_BLOCK, &stop_signals, nullptr);
  const int port = server.bind_to_any_port("127.0.0.1");
  if (port <= 0) return 1;
  std::thread stopper([&server, &stop_signals, max_seconds] {
    const timespec bound{max_seconds, 0};
    sigtimedwait(&stop_signals, nullptr, &bound);
    server.stop();
  });
  if (!port_file.empty()) {
    std::ofstream(port_file + ".tmp") << port << "\n";
    std::rename((port_file + ".tmp").c_str(), port_file.c_str());
  } else {
    std::printf("%d\n", port);
    std::fflush(stdout);
  }
  server.listen_after_bind();
  stopper.join();
  return 0;
}
