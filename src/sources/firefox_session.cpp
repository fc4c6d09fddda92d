#include "sources/firefox_session.h"

#include <lz4.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

namespace pelmoa {
namespace {

constexpr char kMagic[] = "mozLz40";  // with its NUL, 8 bytes
constexpr qsizetype kMagicSize = sizeof(kMagic);
constexpr qsizetype kHeaderSize = kMagicSize + 4;

// Firefox's 1-based indexes; a missing one means its default, one out of range the nearest.
qsizetype ClampedIndex(const QJsonValue& value, qsizetype fallback, qsizetype count) {
  // Clamped as a double first: a huge number in the file must not overflow the cast.
  const double index = value.isDouble() ? value.toDouble() : double(fallback);
  return static_cast<qsizetype>(std::clamp(index, 1.0, double(count))) - 1;
}

QString SelectedTabAddress(const QJsonObject& window) {
  const QJsonArray tabs = window.value(QLatin1String("tabs")).toArray();
  if (tabs.isEmpty()) return {};
  const QJsonObject tab =
      tabs.at(ClampedIndex(window.value(QLatin1String("selected")), 1, tabs.size())).toObject();
  const QJsonArray entries = tab.value(QLatin1String("entries")).toArray();
  if (entries.isEmpty()) return {};
  const QJsonObject entry =
      entries.at(ClampedIndex(tab.value(QLatin1String("index")), entries.size(), entries.size()))
          .toObject();
  return entry.value(QLatin1String("url")).toString();
}

}  // namespace

std::optional<QByteArray> UnpackMozLz4(const QByteArray& file_bytes, quint32 max_bytes) {
  if (file_bytes.size() < kHeaderSize ||
      QByteArrayView(file_bytes).first(kMagicSize) != QByteArrayView(kMagic, kMagicSize)) {
    return std::nullopt;
  }
  const auto* size_bytes =
      reinterpret_cast<const unsigned char*>(file_bytes.constData()) + kMagicSize;
  const quint32 size = quint32(size_bytes[0]) | quint32(size_bytes[1]) << 8 |
                       quint32(size_bytes[2]) << 16 | quint32(size_bytes[3]) << 24;
  const qsizetype block_size = file_bytes.size() - kHeaderSize;
  if (size > max_bytes || size > quint32(LZ4_MAX_INPUT_SIZE) ||
      block_size > qsizetype(LZ4_MAX_INPUT_SIZE)) {
    return std::nullopt;
  }
  QByteArray out(static_cast<qsizetype>(size), Qt::Uninitialized);
  const int produced = LZ4_decompress_safe(file_bytes.constData() + kHeaderSize, out.data(),
                                           static_cast<int>(block_size), static_cast<int>(size));
  if (produced < 0 || static_cast<quint32>(produced) != size) return std::nullopt;
  return out;
}

std::optional<QStringList> SessionWindowAddresses(const QByteArray& json) {
  QJsonParseError error;
  const QJsonDocument doc = QJsonDocument::fromJson(json, &error);
  if (error.error != QJsonParseError::NoError || !doc.isObject()) return std::nullopt;
  const QJsonValue windows = doc.object().value(QLatin1String("windows"));
  if (!windows.isArray()) return std::nullopt;
  QStringList addresses;
  for (const QJsonValue& window : windows.toArray()) {
    addresses.append(SelectedTabAddress(window.toObject()));
  }
  return addresses;
}

}  // namespace pelmoa
