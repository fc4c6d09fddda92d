#pragma once

// The few Windows calls the proxy and certificate code of the Windows build makes, so that
// the real system_network_win.cpp runs on Linux against the tests' servers; what the
// settings and the lookups answer is the test's (winhttp_stub.h).

#include <cstdint>

using BOOL = int;
using DWORD = std::uint32_t;
using UINT = unsigned;
using LPWSTR = wchar_t*;
using LPCWSTR = const wchar_t*;
using HGLOBAL = void*;

#define TRUE 1
#define FALSE 0
#define CP_UTF8 65001u

int MultiByteToWideChar(UINT code_page, DWORD flags, const char* text, int bytes, wchar_t* out,
                        int units);
DWORD GetEnvironmentVariableW(LPCWSTR name, LPWSTR buffer, DWORD size);
HGLOBAL GlobalFree(HGLOBAL memory);
