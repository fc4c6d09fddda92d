#include "viewer/svg_picture.h"

#include <QLocale>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <climits>
#include <optional>

namespace pelmoa {
namespace {

// Drawing descends one level of the call stack per level of elements: a page's picture nests a
// few dozen deep, a hostile one could nest deep enough to overflow the stack.
constexpr int kMaxDepth = 256;

struct ViewBox {
  double width;
  double height;
};

// A length in pixels when it is absolute (no unit, px, pt, pc, in, cm, mm); nothing for a
// relative one (%, em, ex), a negative one or one that is no length.
std::optional<double> AbsoluteLength(QStringView text) {
  const QRegularExpression length_pattern(
      QStringLiteral(R"(^\s*([+-]?(?:\d+\.?\d*|\.\d+)(?:[eE][+-]?\d+)?)\s*([a-zA-Z]*)\s*$)"));
  const QRegularExpressionMatch match = length_pattern.match(text.toString());
  if (!match.hasMatch()) return std::nullopt;
  bool ok = false;
  const double value = QLocale::c().toDouble(match.capturedView(1), &ok);
  if (!ok || value < 0) return std::nullopt;
  const QString unit = match.captured(2).toLower();
  if (unit.isEmpty() || unit == u"px") return value;
  if (unit == u"pt") return value * 96 / 72;
  if (unit == u"pc") return value * 16;
  if (unit == u"in") return value * 96;
  if (unit == u"cm") return value * 96 / 2.54;
  if (unit == u"mm") return value * 96 / 25.4;
  return std::nullopt;
}

// Four numbers apart by spaces or commas; a box without area is no box.
std::optional<ViewBox> ParseViewBox(QStringView text) {
  const QRegularExpression separators(QStringLiteral(R"([\s,]+)"));
  const QStringList parts = text.trimmed().toString().split(separators, Qt::SkipEmptyParts);
  if (parts.size() != 4) return std::nullopt;
  double numbers[4];
  for (int k = 0; k < 4; ++k) {
    bool ok = false;
    numbers[k] = QLocale::c().toDouble(parts[k], &ok);
    if (!ok) return std::nullopt;
  }
  if (!(numbers[2] > 0) || !(numbers[3] > 0)) return std::nullopt;
  return ViewBox{numbers[2], numbers[3]};
}

int Pixels(double value) { return value < INT_MAX ? qRound(value) : INT_MAX; }

bool KeepsItToItself(const QXmlStreamAttribute& attribute) {
  // Qt's drawing code opens every <image> reference that does not begin with "data" as a file.
  return attribute.qualifiedName() != u"xlink:href" ||
         attribute.value().trimmed().startsWith(u"data:");
}

}  // namespace

QSize SvgOwnSize(const QByteArray& text) {
  QXmlStreamReader reader(text);
  reader.setNamespaceProcessing(false);
  while (!reader.atEnd() && reader.readNext() != QXmlStreamReader::StartElement) {
  }
  if (reader.tokenType() != QXmlStreamReader::StartElement || reader.name() != u"svg") return {};
  const QXmlStreamAttributes attributes = reader.attributes();
  const std::optional<double> width = AbsoluteLength(attributes.value(QLatin1String("width")));
  const std::optional<double> height = AbsoluteLength(attributes.value(QLatin1String("height")));
  const std::optional<ViewBox> box = ParseViewBox(attributes.value(QLatin1String("viewBox")));
  if (width && height) return QSize(Pixels(*width), Pixels(*height));
  if (box && width) return QSize(Pixels(*width), Pixels(*width * box->height / box->width));
  if (box && height) return QSize(Pixels(*height * box->width / box->height), Pixels(*height));
  if (box) return QSize(Pixels(box->width), Pixels(box->height));
  return {};
}

QByteArray SelfContainedSvg(const QByteArray& svg) {
  QXmlStreamReader reader(svg);
  // As Qt's drawing code reads it: names as written, prefixes included.
  reader.setNamespaceProcessing(false);
  QByteArray out;
  QXmlStreamWriter writer(&out);
  int depth = 0;
  while (!reader.atEnd()) {
    const QXmlStreamReader::TokenType token = reader.readNext();
    if (token == QXmlStreamReader::Invalid) return {};
    if (token == QXmlStreamReader::ProcessingInstruction &&
        reader.processingInstructionTarget() == u"xml-stylesheet") {
      continue;
    }
    if (token == QXmlStreamReader::StartElement) {
      if (++depth > kMaxDepth) return {};
      if (reader.name() == u"image") {
        writer.writeStartElement(reader.name().toString());
        for (const QXmlStreamAttribute& attribute : reader.attributes()) {
          if (KeepsItToItself(attribute)) writer.writeAttribute(attribute);
        }
        continue;
      }
    }
    writer.writeCurrentToken(reader);
    // Qt's drawing code stops reading at the end of the root element; what follows is ignored.
    if (token == QXmlStreamReader::EndElement && --depth == 0) break;
  }
  if (depth != 0) return {};
  writer.writeEndDocument();
  return out;
}

}  // namespace pelmoa
