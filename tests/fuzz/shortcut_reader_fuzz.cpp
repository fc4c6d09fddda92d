// An Internet shortcut file is any file the user picks: reading it must end and give either
// nothing or a piece of the file's text.

#include <QByteArray>
#include <cstdint>

#include "fuzz_oracle.h"
#include "sources/shortcut_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
  const QString text = pelmoa::DecodeShortcutText(bytes);
  const auto url = pelmoa::ReadShortcutUrl(bytes);
  if (url) pelmoa::fuzz::Check(text.contains(*url), "the address is not in the file's text");
  (void)pelmoa::ReadDelimitedFields(text);
  return 0;
}
