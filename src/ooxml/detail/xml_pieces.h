// Large parts parsed a piece at a time. A light scan of the bytes cuts the part between
// elements into pieces of a few megabytes; each piece is parsed as a small document of its
// own, the start tags of the elements open where it begins written before it and the end
// tags of those open where it ends after it. So a worksheet or shared string table of
// hundreds of megabytes never becomes one tree of gigabytes, while the readers still walk
// canonical pugixml trees: the same element may appear in consecutive pieces, each time
// with the children that piece holds. Internal to ooxml.
#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <vector>

#include "ooxml/detail/xml.h"

namespace morvane::ooxml::detail {

// parseXml's cap on its depth limit.
inline constexpr int kXmlDepthCeiling = 4096;

class XmlPieces {
 public:
  // Scans `data` (UTF-8 or Latin-1; UTF-16 is converted first). Cuts fall only where no more
  // than `splitDepth` elements are open (1: between the root's children; 2: also between
  // its children's children), so an element deeper than that always stays whole; nothing
  // after the root's end is cut. Fails as parseXml does on a DTD or nesting deeper than
  // `maxDepth`, with BadXml on an unterminated tag, comment, CDATA section or processing
  // instruction; other malformations are found when the piece holding them is parsed.
  static Result<XmlPieces> split(const QByteArray& data, const QString& partName, int maxDepth,
                                 int splitDepth, qsizetype pieceBytes = 4 << 20);

  size_t count() const { return m_pieces.size(); }
  // Piece `index` parsed, with canonical names as parseXml gives them; errors name the
  // part and the line in the whole part.
  Result<std::unique_ptr<XmlDocument>> parse(size_t index) const;

 private:
  struct Piece {
    QByteArray head;  // the prolog and the start tags of the elements open at the start
    qsizetype begin = 0, end = 0;
    QByteArray tail;  // the end tags of the elements open at the end
    int lineShift = 0;
  };
  class Scanner;

  QByteArray m_data;
  QString m_partName;
  int m_maxDepth = 256;
  std::vector<Piece> m_pieces;
};

// parseXml with `lineShift` added to the line its messages name.
Result<std::unique_ptr<XmlDocument>> parseXmlShifted(const QByteArray& data,
                                                     const QString& partName, int maxDepth,
                                                     int lineShift);

}  // namespace morvane::ooxml::detail
