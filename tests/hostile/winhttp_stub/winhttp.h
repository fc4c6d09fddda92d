#pragma once

#include "windows.h"

using HINTERNET = void*;

#define WINHTTP_ACCESS_TYPE_NO_PROXY 1u
#define WINHTTP_ACCESS_TYPE_NAMED_PROXY 3u
#define WINHTTP_NO_PROXY_NAME nullptr
#define WINHTTP_NO_PROXY_BYPASS nullptr
#define WINHTTP_AUTOPROXY_AUTO_DETECT 0x1u
#define WINHTTP_AUTOPROXY_CONFIG_URL 0x2u
#define WINHTTP_AUTO_DETECT_TYPE_DHCP 0x1u
#define WINHTTP_AUTO_DETECT_TYPE_DNS_A 0x2u

struct WINHTTP_CURRENT_USER_IE_PROXY_CONFIG {
  BOOL fAutoDetect;
  LPWSTR lpszAutoConfigUrl;
  LPWSTR lpszProxy;
  LPWSTR lpszProxyBypass;
};

struct WINHTTP_AUTOPROXY_OPTIONS {
  DWORD dwFlags;
  DWORD dwAutoDetectFlags;
  LPCWSTR lpszAutoConfigUrl;
  void* lpvReserved;
  DWORD dwReserved;
  BOOL fAutoLogonIfChallenged;
};

struct WINHTTP_PROXY_INFO {
  DWORD dwAccessType;
  LPWSTR lpszProxy;
  LPWSTR lpszProxyBypass;
};

BOOL WinHttpGetIEProxyConfigForCurrentUser(WINHTTP_CURRENT_USER_IE_PROXY_CONFIG* config);
HINTERNET WinHttpOpen(LPCWSTR agent, DWORD access, LPCWSTR proxy, LPCWSTR bypass, DWORD flags);
BOOL WinHttpGetProxyForUrl(HINTERNET session, LPCWSTR url, WINHTTP_AUTOPROXY_OPTIONS* options,
                           WINHTTP_PROXY_INFO* info);
BOOL WinHttpCloseHandle(HINTERNET handle);
