#include "ooxml/detail/xml_pieces.h"

#include <QStringDecoder>
#include <algorithm>
#include <cstring>

namespace morvane::ooxml::detail {

namespace {

Error malformed(const QString& partName, int line, const char* problem) {
  return Error{Error::Code::BadXml, QStringLiteral("%1: malformed XML at line %2: %3")
                                        .arg(partName)
                                        .arg(line)
                                        .arg(QLatin1String(problem))};
}

// UTF-16 and UTF-32 parts as UTF-8, so that the scan can look for ASCII bytes.
QByteArray asUtf8(const QByteArray& data) {
  const auto encoding = QStringConverter::encodingForData(data, u'<');
  if (!encoding || *encoding == QStringConverter::Utf8 || *encoding == QStringConverter::Latin1)
    return data;
  QStringDecoder decode(*encoding, QStringDecoder::Flag::Stateless);
  QString text = decode(data);
  if (text.startsWith(QChar::ByteOrderMark)) text.remove(0, 1);
  return text.toUtf8();
}

}  // namespace

// One pass over the bytes: tags, comments, CDATA and processing instructions told apart,
// the open elements kept as a stack of their start tags.
class XmlPieces::Scanner {
 public:
  Scanner(XmlPieces& out, int splitDepth, qsizetype pieceBytes)
      : m_out(out),
        m_data(out.m_data.constData()),
        m_size(out.m_data.size()),
        m_splitDepth(splitDepth),
        m_pieceBytes(pieceBytes) {}

  Status run() {
    qsizetype pos = 0;
    while (const char* lt =
               static_cast<const char*>(std::memchr(m_data + pos, '<', size_t(m_size - pos)))) {
      pos = lt - m_data;
      auto next = step(pos);
      if (!next) return next.error();
      pos = *next;
      const int open = int(m_stack.size());
      // After the root closes nothing is cut: whatever follows stays with its end.
      if (open == 0 && m_rootBegin >= 0) m_rootClosed = true;
      if (!m_rootClosed && open >= 1 && open <= m_splitDepth && pos - m_pieceBegin >= cutSize())
        cut(pos);
    }
    finish(m_size);
    return {};
  }

 private:
  struct OpenTag {
    qsizetype begin, end;
    qsizetype nameLength;
  };

  bool startsWith(qsizetype pos, const char* text) const {
    const size_t n = std::strlen(text);
    return qsizetype(n) <= m_size - pos && std::memcmp(m_data + pos, text, n) == 0;
  }
  // The position after `terminator`, searching from `from`; -1 when it never comes.
  qsizetype after(qsizetype from, const char* terminator) const {
    const char* hit = std::search(m_data + from, m_data + m_size, terminator,
                                  terminator + std::strlen(terminator));
    return hit == m_data + m_size ? -1 : (hit - m_data) + qsizetype(std::strlen(terminator));
  }
  int lineAt(qsizetype pos) const { return int(std::count(m_data, m_data + pos, '\n')) + 1; }

  // Reads the markup at `pos` (a '<'); returns the position after it.
  Result<qsizetype> step(qsizetype pos) {
    const auto skip = [&](const char* terminator, const char* problem) -> Result<qsizetype> {
      const qsizetype end = after(pos + 2, terminator);
      if (end < 0) return malformed(m_out.m_partName, lineAt(pos), problem);
      return end;
    };
    if (startsWith(pos, "<?")) return skip("?>", "unterminated processing instruction");
    if (startsWith(pos, "<!--")) return skip("-->", "unterminated comment");
    if (startsWith(pos, "<![CDATA[")) return skip("]]>", "unterminated CDATA section");
    if (startsWith(pos, "<!DOCTYPE"))
      return Error{Error::Code::Unsafe,
                   QStringLiteral("%1: document type declarations (DTDs) are refused")
                       .arg(m_out.m_partName)};
    if (startsWith(pos, "<!")) return malformed(m_out.m_partName, lineAt(pos), "unexpected markup");
    const qsizetype end = tagEnd(pos);
    if (end < 0) return malformed(m_out.m_partName, lineAt(pos), "unterminated tag");
    if (m_data[pos + 1] == '/') {
      if (!m_stack.empty()) {
        m_openBytes -= m_stack.back().end - m_stack.back().begin;
        m_stack.pop_back();
      }
      return end;
    }
    if (m_rootBegin < 0) m_rootBegin = pos;
    if (m_data[end - 2] != '/') {
      if (int(m_stack.size()) >= m_out.m_maxDepth)
        return Error{Error::Code::Unsafe, QStringLiteral("%1: elements nest deeper than %2 levels")
                                              .arg(m_out.m_partName)
                                              .arg(m_out.m_maxDepth)};
      m_stack.push_back({pos, end, nameLength(pos + 1, end)});
      m_openBytes += end - pos;
    }
    return end;
  }

  // The position after the '>' closing the tag at `pos`, past quoted attribute values.
  qsizetype tagEnd(qsizetype pos) const {
    for (qsizetype i = pos + 1; i < m_size; ++i) {
      const char c = m_data[i];
      if (c == '>') return i + 1;
      if (c == '"' || c == '\'') {
        const void* close = std::memchr(m_data + i + 1, c, size_t(m_size - i - 1));
        if (!close) return -1;
        i = static_cast<const char*>(close) - m_data;
      }
    }
    return -1;
  }
  qsizetype nameLength(qsizetype from, qsizetype end) const {
    qsizetype i = from;
    while (i < end && !std::strchr(" \t\r\n/>", m_data[i])) ++i;
    return i - from;
  }

  // A piece of at least the set size, and of at least four times the start tags it repeats.
  qsizetype cutSize() const { return std::max(m_pieceBytes, 4 * m_openBytes); }

  void cut(qsizetype pos) {
    finish(pos);
    Piece next;
    next.head = QByteArray(m_data, m_rootBegin);
    for (const OpenTag& t : m_stack) next.head.append(m_data + t.begin, t.end - t.begin);
    next.begin = pos;
    m_lines += int(std::count(m_data + m_pieceBegin, m_data + pos, '\n'));
    next.lineShift = m_lines - int(next.head.count('\n'));
    m_pieceBegin = pos;
    m_current = std::move(next);
  }
  void finish(qsizetype pos) {
    m_current.end = pos;
    if (pos < m_size) {
      for (auto t = m_stack.rbegin(); t != m_stack.rend(); ++t)
        m_current.tail.append("</").append(m_data + t->begin + 1, t->nameLength).append('>');
    }
    m_out.m_pieces.push_back(std::move(m_current));
  }

  XmlPieces& m_out;
  const char* m_data;
  qsizetype m_size;
  int m_splitDepth;
  qsizetype m_pieceBytes;
  std::vector<OpenTag> m_stack;
  qsizetype m_openBytes = 0;
  qsizetype m_rootBegin = -1;
  bool m_rootClosed = false;
  qsizetype m_pieceBegin = 0;
  int m_lines = 0;  // line breaks before the current piece
  Piece m_current;
};

Result<XmlPieces> XmlPieces::split(const QByteArray& data, const QString& partName, int maxDepth,
                                   int splitDepth, qsizetype pieceBytes) {
  XmlPieces pieces;
  pieces.m_data = asUtf8(data);
  pieces.m_partName = partName;
  pieces.m_maxDepth = std::clamp(maxDepth, 1, kXmlDepthCeiling);
  Scanner scanner(pieces, std::max(1, splitDepth), std::max<qsizetype>(pieceBytes, 1));
  if (Status s = scanner.run(); !s) return s.error();
  return pieces;
}

Result<std::unique_ptr<XmlDocument>> XmlPieces::parse(size_t index) const {
  const Piece& p = m_pieces.at(index);
  QByteArray text = p.head;
  text.append(m_data.constData() + p.begin, p.end - p.begin).append(p.tail);
  return parseXmlShifted(text, m_partName, m_maxDepth, p.lineShift);
}

}  // namespace morvane::ooxml::detail
