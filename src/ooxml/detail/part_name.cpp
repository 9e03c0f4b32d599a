#include "ooxml/detail/part_name.h"

#include <QStringList>

namespace morvane::ooxml::detail {

QString partKey(const QString& partName) { return partName.toCaseFolded(); }

static int hexValue(QChar c) {
  const char16_t u = c.unicode();
  if (u >= '0' && u <= '9') return u - '0';
  if (u >= 'a' && u <= 'f') return u - 'a' + 10;
  if (u >= 'A' && u <= 'F') return u - 'A' + 10;
  return -1;
}

QString percentDecode(const QString& text) {
  if (!text.contains(QLatin1Char('%'))) return text;
  // Decoded bytes are collected and turned into text once, so multi-byte UTF-8 survives.
  QByteArray bytes;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == QLatin1Char('%') && i + 2 < text.size()) {
      const int hi = hexValue(text[i + 1]);
      const int lo = hexValue(text[i + 2]);
      if (hi >= 0 && lo >= 0) {
        bytes.append(char(hi * 16 + lo));
        i += 2;
        continue;
      }
    }
    bytes.append(QString(text[i]).toUtf8());
  }
  return QString::fromUtf8(bytes);
}

QString percentEncode(const QString& text) {
  QString out;
  out.reserve(text.size());
  for (const QChar c : text) {
    const char16_t u = c.unicode();
    const bool escape = u < 0x20 || u == 0x7f || u == ' ' || u == '%' || u == '#' || u == '?' ||
                        u == '[' || u == ']' || u == '"' || u == '<' || u == '>';
    if (escape) {
      out += QStringLiteral("%%1").arg(int(u), 2, 16, QLatin1Char('0')).toUpper();
    } else {
      out += c;
    }
  }
  return out;
}

QString memberNameProblem(const QString& name) {
  if (name.isEmpty()) return QStringLiteral("has an empty name");
  if (name.startsWith(QLatin1Char('/'))) return QStringLiteral("is an absolute path");
  if (name.contains(QLatin1Char('\\'))) return QStringLiteral("contains a backslash");
  if (name.size() >= 2 && name[1] == QLatin1Char(':') && name[0].isLetter())
    return QStringLiteral("starts with a drive letter");
  for (const QChar c : name) {
    if (c.unicode() < 0x20) return QStringLiteral("contains a control character");
  }
  const QStringList segments = name.split(QLatin1Char('/'));
  for (const QString& segment : segments) {
    if (segment == QLatin1String("..")) return QStringLiteral("climbs out of the package (\"..\")");
    if (segment == QLatin1String(".")) return QStringLiteral("contains a \".\" segment");
    if (segment.isEmpty()) return QStringLiteral("contains an empty segment");
  }
  return QString();
}

QString partNameProblem(const QString& partName) {
  if (!partName.startsWith(QLatin1Char('/'))) return QStringLiteral("does not start with \"/\"");
  return memberNameProblem(partName.mid(1));
}

QString normalizePath(const QString& path) {
  QStringList out;
  const QStringList segments = path.split(QLatin1Char('/'));
  for (const QString& segment : segments) {
    if (segment.isEmpty() || segment == QLatin1String(".")) continue;
    if (segment == QLatin1String("..")) {
      if (out.isEmpty()) return QString();
      out.removeLast();
      continue;
    }
    out.append(segment);
  }
  return QLatin1Char('/') + out.join(QLatin1Char('/'));
}

QString relsPartFor(const QString& sourcePart) {
  if (sourcePart.isEmpty() || sourcePart == QLatin1String("/"))
    return QStringLiteral("/_rels/.rels");
  const qsizetype slash = sourcePart.lastIndexOf(QLatin1Char('/'));
  return sourcePart.left(slash + 1) + QStringLiteral("_rels/") + sourcePart.mid(slash + 1) +
         QStringLiteral(".rels");
}

QString sourceOfRelsPart(const QString& partName) {
  const QString key = partKey(partName);
  if (!key.endsWith(QLatin1String(".rels"))) return QString();
  const qsizetype slash = partName.lastIndexOf(QLatin1Char('/'));
  if (slash < 0) return QString();
  const QString folder = key.left(slash);  // "/xl/_rels"
  if (folder != QLatin1String("/_rels") && !folder.endsWith(QLatin1String("/_rels")))
    return QString();
  const QString name = partName.mid(slash + 1).chopped(5);  // "workbook.xml" or ""
  const QString parent = partName.left(slash - 5);          // "/xl/" or "/"
  if (name.isEmpty()) return parent == QLatin1String("/") ? parent : QString();
  return parent + name;
}

QString folderOf(const QString& partName) {
  return partName.left(partName.lastIndexOf(QLatin1Char('/')) + 1);
}

}  // namespace morvane::ooxml::detail
