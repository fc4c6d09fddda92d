#pragma once

#include <QByteArray>
#include <QStringList>
#include <optional>

namespace pelmoa {

// A decompressed session larger than this is taken as damaged rather than allocated.
inline constexpr quint32 kMaxSessionBytes = 256u * 1024 * 1024;

// Unpacks a Firefox compressed session file: the "mozLz40\0" magic, the decompressed size
// as 4 little-endian bytes, then one LZ4 block. Nothing when the file is damaged, truncated
// or declares more than max_bytes.
std::optional<QByteArray> UnpackMozLz4(const QByteArray& file_bytes,
                                       quint32 max_bytes = kMaxSessionBytes);

// The address of the selected tab of every window of a session (its JSON text), in the
// session's window order. A window whose address cannot be found yields an empty text.
// Nothing when the text is not a session.
std::optional<QStringList> SessionWindowAddresses(const QByteArray& json);

}  // namespace pelmoa
