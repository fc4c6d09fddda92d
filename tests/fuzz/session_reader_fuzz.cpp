// A session file is written by another program and may be damaged or half-written. The
// first byte chooses the layer: the compressed container, or the session text itself.

#include <QByteArray>
#include <cstdint>

#include "fuzz_oracle.h"
#include "sources/firefox_session.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const QByteArray bytes(reinterpret_cast<const char*>(data) + 1, static_cast<qsizetype>(size - 1));
  if (data[0] & 1) {
    // A small limit keeps a declared size of gigabytes from being allocated in the fuzzer.
    constexpr quint32 kLimit = 1u << 20;
    const auto unpacked = pelmoa::UnpackMozLz4(bytes, kLimit);
    if (unpacked) {
      pelmoa::fuzz::Check(quint32(unpacked->size()) <= kLimit, "unpacked past the limit");
      (void)pelmoa::SessionWindowAddresses(*unpacked);
    }
  } else {
    (void)pelmoa::SessionWindowAddresses(bytes);
  }
  return 0;
}
