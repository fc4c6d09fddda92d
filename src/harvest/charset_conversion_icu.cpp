#include <unicode/ucnv.h>

#include <memory>
#include <vector>

#include "harvest/charset_conversion.h"

namespace pelmoa {
namespace {

struct ConverterCloser {
  void operator()(UConverter* c) const { ucnv_close(c); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

Converter OpenConverter(const std::string& label) {
  if (label.empty()) return nullptr;
  UErrorCode status = U_ZERO_ERROR;
  Converter c(ucnv_open(label.c_str(), &status));
  if (U_FAILURE(status)) return nullptr;
  return c;
}

}  // namespace

bool IsKnownCharset(const std::string& label) { return OpenConverter(label) != nullptr; }

std::string ConvertToUtf8(const std::string& label, std::string_view bytes) {
  Converter from = OpenConverter(label);
  if (!from) return {};
  UErrorCode status = U_ZERO_ERROR;
  Converter utf8(ucnv_open("UTF-8", &status));
  if (U_FAILURE(status)) return std::string(bytes);
  std::string out;
  out.resize(bytes.size() * 3 + 16);
  std::vector<UChar> pivot(4096);
  UChar* pivot_source = pivot.data();
  UChar* pivot_target = pivot.data();
  const char* source = bytes.data();
  char* target = out.data();
  status = U_ZERO_ERROR;
  ucnv_convertEx(utf8.get(), from.get(), &target, out.data() + out.size(), &source,
                 bytes.data() + bytes.size(), pivot.data(), &pivot_source, &pivot_target,
                 pivot.data() + pivot.size(), true, true, &status);
  if (U_FAILURE(status)) return std::string();
  out.resize(static_cast<std::size_t>(target - out.data()));
  return out;
}

}  // namespace pelmoa
