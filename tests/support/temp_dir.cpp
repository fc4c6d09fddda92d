#include "temp_dir.h"

#include <stdlib.h>

#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#include "harvest/files/file_names.h"

namespace pelmoa::testing {

TempDir::TempDir() {
#ifdef _WIN32
  // No mkdtemp: a random name, created exclusively.
  std::random_device random;
  for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
    const auto p = std::filesystem::temp_directory_path() /
                   ("pelmoa-test-" + std::to_string(random()) + std::to_string(random()));
    if (std::filesystem::create_directory(p)) path_ = p;
  }
  if (path_.empty()) throw std::runtime_error("no temporary folder");
#else
  std::string tmpl = (std::filesystem::temp_directory_path() / "pelmoa-test-XXXXXX").string();
  if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
  path_ = tmpl;
#endif
}

TempDir::~TempDir() {
  std::error_code ec;
  // Restore write permission first so read-only test folders can be removed.
  for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    if (it->is_directory(ec)) {
      std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::add, ec);
    }
  }
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(path_, ec);
}

std::string TempDir::str() const { return Utf8FromPath(path_); }

std::vector<std::string> TempDir::Entries() const {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& e : std::filesystem::directory_iterator(path_, ec)) {
    names.push_back(Utf8FromPath(e.path().filename()));
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string ReadFile(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void WriteFile(const std::filesystem::path& p, const std::string& bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out << bytes;
}

}  // namespace pelmoa::testing
