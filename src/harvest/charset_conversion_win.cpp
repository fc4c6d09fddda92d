#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "harvest/charset_conversion.h"

namespace pelmoa {
namespace {

// The Windows code page of each label a page may give (lower case), from the aliases browsers
// and ICU accept. UTF-16 and ISO-2022-JP have no code page MultiByteToWideChar can take and
// are converted here.
constexpr UINT kUtf16Le = 1200;
constexpr UINT kUtf16Be = 1201;
constexpr UINT kIso2022Jp = 50220;
constexpr UINT kEucJp = 20932;

struct Label {
  const char* name;
  UINT code_page;
};
constexpr Label kLabels[] = {
    {"utf-8", CP_UTF8},
    {"utf8", CP_UTF8},
    {"unicode-1-1-utf-8", CP_UTF8},
    {"shift_jis", 932},
    {"shift-jis", 932},
    {"sjis", 932},
    {"x-sjis", 932},
    {"ms_kanji", 932},
    {"csshiftjis", 932},
    {"windows-31j", 932},
    {"cp932", 932},
    {"ms932", 932},
    {"x-ms-cp932", 932},
    {"euc-jp", kEucJp},
    {"x-euc-jp", kEucJp},
    {"eucjp", kEucJp},
    {"cseucpkdfmtjapanese", kEucJp},
    {"iso-2022-jp", kIso2022Jp},
    {"csiso2022jp", kIso2022Jp},
    {"utf-16le", kUtf16Le},
    {"utf-16", kUtf16Le},
    {"utf-16be", kUtf16Be},
    {"us-ascii", 20127},
    {"ascii", 20127},
    {"iso-8859-1", 28591},
    {"iso8859-1", 28591},
    {"latin1", 28591},
    {"l1", 28591},
    {"iso_8859-1", 28591},
    {"iso-8859-2", 28592},
    {"iso-8859-3", 28593},
    {"iso-8859-4", 28594},
    {"iso-8859-5", 28595},
    {"iso-8859-6", 28596},
    {"iso-8859-7", 28597},
    {"iso-8859-8", 28598},
    {"iso-8859-9", 28599},
    {"iso-8859-13", 28603},
    {"iso-8859-15", 28605},
    {"windows-1250", 1250},
    {"windows-1251", 1251},
    {"windows-1252", 1252},
    {"cp1252", 1252},
    {"windows-1253", 1253},
    {"windows-1254", 1254},
    {"windows-1255", 1255},
    {"windows-1256", 1256},
    {"windows-1257", 1257},
    {"windows-1258", 1258},
    {"koi8-r", 20866},
    {"koi8-u", 21866},
    {"gb2312", 936},
    {"gbk", 936},
    {"x-gbk", 936},
    {"cp936", 936},
    {"gb18030", 54936},
    {"big5", 950},
    {"euc-kr", 949},
    {"ks_c_5601-1987", 949},
};

UINT CodePageOf(std::string label) {
  std::transform(label.begin(), label.end(), label.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; });
  for (const Label& l : kLabels) {
    if (label == l.name) return l.code_page;
  }
  return 0;
}

// ISO-2022-JP to EUC-JP: the escape sequences choose ASCII (or JIS Roman), half-width
// katakana, JIS X 0208 or JIS X 0212; the same characters in EUC-JP are the bytes with their
// top bit set. A byte that fits no state becomes 0xFF, which no EUC-JP character holds.
std::string Iso2022JpToEucJp(std::string_view in) {
  enum class Set { kAscii, kKana, kJis0208, kJis0212 } set = Set::kAscii;
  std::string out;
  out.reserve(in.size());
  for (std::size_t i = 0; i < in.size(); ++i) {
    const auto b = static_cast<unsigned char>(in[i]);
    if (b == 0x1b) {
      const std::string_view esc = in.substr(i + 1, 3);
      if (esc.substr(0, 2) == "(B" || esc.substr(0, 2) == "(J") {
        set = Set::kAscii, i += 2;
      } else if (esc.substr(0, 2) == "(I") {
        set = Set::kKana, i += 2;
      } else if (esc.substr(0, 2) == "$@" || esc.substr(0, 2) == "$B") {
        set = Set::kJis0208, i += 2;
      } else if (esc == "$(D") {
        set = Set::kJis0212, i += 3;
      } else {
        out += '\xff';
      }
      continue;
    }
    if (b < 0x21 || b >= 0x7f || set == Set::kAscii) {
      out += static_cast<char>(b < 0x80 ? b : 0xff);
      continue;
    }
    if (set == Set::kKana) {
      out += '\x8e';
      out += static_cast<char>(b | 0x80);
      continue;
    }
    if (i + 1 >= in.size()) {
      out += '\xff';
      continue;
    }
    if (set == Set::kJis0212) out += '\x8f';
    out += static_cast<char>(b | 0x80);
    out += static_cast<char>(static_cast<unsigned char>(in[++i]) | 0x80);
  }
  return out;
}

std::wstring Utf16FromBytes(std::string_view bytes, bool big_endian) {
  std::wstring out(bytes.size() / 2, L'\0');
  for (std::size_t k = 0; k < out.size(); ++k) {
    const auto lo = static_cast<unsigned char>(bytes[2 * k + (big_endian ? 1 : 0)]);
    const auto hi = static_cast<unsigned char>(bytes[2 * k + (big_endian ? 0 : 1)]);
    out[k] = static_cast<wchar_t>(lo | (hi << 8));
  }
  if (bytes.size() % 2 != 0) out += L'\xfffd';
  return out;
}

std::wstring WideFromCodePage(UINT code_page, std::string_view bytes) {
  if (bytes.empty()) return {};
  const int n = static_cast<int>(bytes.size());
  const int wide = MultiByteToWideChar(code_page, 0, bytes.data(), n, nullptr, 0);
  if (wide <= 0) return {};
  std::wstring out(static_cast<std::size_t>(wide), L'\0');
  MultiByteToWideChar(code_page, 0, bytes.data(), n, out.data(), wide);
  return out;
}

std::string Utf8FromWide(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int n = static_cast<int>(wide.size());
  const int len = WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
  if (len <= 0) return {};
  std::string out(static_cast<std::size_t>(len), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, out.data(), len, nullptr, nullptr);
  return out;
}

}  // namespace

bool IsKnownCharset(const std::string& label) {
  const UINT cp = CodePageOf(label);
  if (cp == 0) return false;
  if (cp == kUtf16Le || cp == kUtf16Be || cp == kIso2022Jp || cp == CP_UTF8) return true;
  return IsValidCodePage(cp) != 0;
}

std::string ConvertToUtf8(const std::string& label, std::string_view bytes) {
  const UINT cp = CodePageOf(label);
  if (cp == kUtf16Le || cp == kUtf16Be) return Utf8FromWide(Utf16FromBytes(bytes, cp == kUtf16Be));
  if (cp == kIso2022Jp) return Utf8FromWide(WideFromCodePage(kEucJp, Iso2022JpToEucJp(bytes)));
  if (cp == 0 || !IsKnownCharset(label)) return {};
  return Utf8FromWide(WideFromCodePage(cp, bytes));
}

}  // namespace pelmoa
