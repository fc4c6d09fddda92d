#pragma once

#include <functional>
#include <optional>
#include <string>

namespace pelmoa::testing {

// What the stubbed system says: the user's Internet settings, and how automatic
// configuration answers for an address (nothing: it found no script). The answer is asked
// on the lookup's own thread and may wait.
struct StubInternetSettings {
  bool detect = false;
  std::string script = {};
  std::string proxy = {};
  std::string bypass = {};
  std::function<std::optional<std::string>(const std::string& url)> automatic = {};
};

// Replaces the settings; the next run reads them.
void SetStubInternetSettings(StubInternetSettings settings);

}  // namespace pelmoa::testing
