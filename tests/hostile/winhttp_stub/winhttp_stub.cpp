#include "winhttp_stub.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>

#include "winhttp.h"

namespace pelmoa::testing {
namespace {

std::mutex settings_mutex;
std::shared_ptr<const StubInternetSettings> current = std::make_shared<StubInternetSettings>();

std::shared_ptr<const StubInternetSettings> Current() {
  std::lock_guard lock(settings_mutex);
  return current;
}

// The values are ASCII: host names, numbers and addresses.
LPWSTR NewWide(const std::string& s) {
  if (s.empty()) return nullptr;
  auto* out = static_cast<wchar_t*>(std::calloc(s.size() + 1, sizeof(wchar_t)));
  for (std::size_t k = 0; k < s.size(); ++k) out[k] = static_cast<unsigned char>(s[k]);
  return out;
}

std::string Narrow(LPCWSTR w) {
  std::string s;
  for (; w && *w; ++w) s += static_cast<char>(*w);
  return s;
}

}  // namespace

void SetStubInternetSettings(StubInternetSettings settings) {
  std::lock_guard lock(settings_mutex);
  current = std::make_shared<const StubInternetSettings>(std::move(settings));
}

}  // namespace pelmoa::testing

using pelmoa::testing::Current;

// Addresses reach the system encoded: ASCII.
int MultiByteToWideChar(UINT, DWORD, const char* text, int bytes, wchar_t* out, int units) {
  for (int k = 0; out && k < bytes && k < units; ++k) out[k] = static_cast<unsigned char>(text[k]);
  return bytes;
}

DWORD GetEnvironmentVariableW(LPCWSTR name, LPWSTR, DWORD) {
  const char* value = std::getenv(pelmoa::testing::Narrow(name).c_str());
  return value && *value ? static_cast<DWORD>(std::strlen(value) + 1) : 0;
}

HGLOBAL GlobalFree(HGLOBAL memory) {
  std::free(memory);
  return nullptr;
}

BOOL WinHttpGetIEProxyConfigForCurrentUser(WINHTTP_CURRENT_USER_IE_PROXY_CONFIG* config) {
  const auto settings = Current();
  config->fAutoDetect = settings->detect;
  config->lpszAutoConfigUrl = pelmoa::testing::NewWide(settings->script);
  config->lpszProxy = pelmoa::testing::NewWide(settings->proxy);
  config->lpszProxyBypass = pelmoa::testing::NewWide(settings->bypass);
  return TRUE;
}

HINTERNET WinHttpOpen(LPCWSTR, DWORD, LPCWSTR, LPCWSTR, DWORD) {
  static int session;
  return &session;
}

BOOL WinHttpGetProxyForUrl(HINTERNET, LPCWSTR url, WINHTTP_AUTOPROXY_OPTIONS*,
                           WINHTTP_PROXY_INFO* info) {
  const auto settings = Current();
  if (!settings->automatic) return FALSE;
  const std::optional<std::string> proxy = settings->automatic(pelmoa::testing::Narrow(url));
  if (!proxy) return FALSE;
  info->dwAccessType = proxy->empty() ? WINHTTP_ACCESS_TYPE_NO_PROXY : WINHTTP_ACCESS_TYPE_NAMED_PROXY;
  info->lpszProxy = pelmoa::testing::NewWide(*proxy);
  info->lpszProxyBypass = nullptr;
  return TRUE;
}

BOOL WinHttpCloseHandle(HINTERNET) { return TRUE; }
