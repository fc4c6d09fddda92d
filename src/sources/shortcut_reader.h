#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>

namespace pelmoa {

// Text of a shortcut file: UTF-8 when the bytes are valid UTF-8, otherwise Shift_JIS
// (the code page such files were written in).
QString DecodeShortcutText(const QByteArray& file_bytes);

// Splits text the way delimited data is read: leading spaces are skipped; a field that
// begins with a double quote runs to the next double quote (quotes dropped, anything up to
// the next delimiter after it ignored); any other field ends at a comma or a line end.
QStringList ReadDelimitedFields(const QString& text);

// The address in an Internet shortcut file: the text after "URL=" (any letter case,
// anywhere in the field) in the first field containing it, untrimmed. Nothing when no
// field contains it.
std::optional<QString> ReadShortcutUrl(const QByteArray& file_bytes);

}  // namespace pelmoa
