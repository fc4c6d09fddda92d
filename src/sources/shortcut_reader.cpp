#include "sources/shortcut_reader.h"

#include <string_view>

#include "harvest/text/page_decoding.h"

namespace pelmoa {
namespace {

bool IsLineEnd(QChar c) { return c == QLatin1Char('\r') || c == QLatin1Char('\n'); }

// Steps over one delimiter; a CR LF pair counts as one line end.
qsizetype SkipDelimiter(const QString& text, qsizetype i) {
  if (i >= text.size()) return i;
  if (text[i] == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) {
    return i + 2;
  }
  return i + 1;
}

qsizetype FindDelimiter(const QString& text, qsizetype i) {
  while (i < text.size() && text[i] != QLatin1Char(',') && !IsLineEnd(text[i])) ++i;
  return i;
}

}  // namespace

QString DecodeShortcutText(const QByteArray& file_bytes) {
  // The harvest core's decoders, the same in every build: Qt's own know no Shift_JIS on
  // Windows. UTF-8 when the bytes are valid UTF-8, else Shift_JIS, as for a page.
  return QString::fromStdString(
      DecodePage(std::string_view(file_bytes.constData(), std::size_t(file_bytes.size())), {}));
}

QStringList ReadDelimitedFields(const QString& text) {
  QStringList fields;
  qsizetype i = 0;
  while (i < text.size()) {
    while (i < text.size() && text[i] == QLatin1Char(' ')) ++i;
    if (i < text.size() && text[i] == QLatin1Char('"')) {
      const qsizetype start = i + 1;
      qsizetype close = text.indexOf(QLatin1Char('"'), start);
      if (close < 0) close = text.size();
      fields.append(text.mid(start, close - start));
      i = SkipDelimiter(text, FindDelimiter(text, close + 1));
    } else {
      const qsizetype end = FindDelimiter(text, i);
      fields.append(text.mid(i, end - i));
      i = SkipDelimiter(text, end);
    }
  }
  return fields;
}

std::optional<QString> ReadShortcutUrl(const QByteArray& file_bytes) {
  static const QString kKey = QStringLiteral("URL=");
  for (const QString& field : ReadDelimitedFields(DecodeShortcutText(file_bytes))) {
    const qsizetype at = field.indexOf(kKey, 0, Qt::CaseInsensitive);
    if (at >= 0) return field.mid(at + kKey.size());
  }
  return std::nullopt;
}

}  // namespace pelmoa
