#include "hosts/workbook/chart_cache_fill.h"

#include "hosts/workbook/chart_cells.h"

#include <QLocale>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <cmath>
#include <optional>
#include <vector>

namespace morvane::hosts::workbook {

namespace {

bool isChartNamespace(QStringView uri) {
  return uri == u"http://schemas.openxmlformats.org/drawingml/2006/chart" ||
         uri == u"http://purl.oclc.org/ooxml/drawingml/chart";
}

bool isChartElement(const QXmlStreamReader& r, QStringView name) {
  return r.name() == name && isChartNamespace(r.namespaceUri());
}

bool isReference(const QXmlStreamReader& r) {
  return isChartElement(r, u"numRef") || isChartElement(r, u"strRef") || isChartElement(r, u"multiLvlStrRef");
}

bool isCache(const QXmlStreamReader& r) {
  return isChartElement(r, u"numCache") || isChartElement(r, u"strCache") || isChartElement(r, u"multiLvlStrCache");
}

// What a first reading finds: whether any reference lacks its cache, and whether the chart
// plots visible cells only.
struct Survey {
  bool readable = true;
  bool missing = false;
  bool visibleOnly = true;
};

Survey survey(const QByteArray& xml, int maxDepth) {
  Survey out;
  QXmlStreamReader r(xml);
  int depth = 0, refDepth = -1;
  bool cached = false;
  while (!r.atEnd()) {
    switch (r.readNext()) {
      case QXmlStreamReader::DTD: out.readable = false; return out;
      case QXmlStreamReader::StartElement:
        if (++depth > maxDepth) {
          out.readable = false;
          return out;
        }
        if (refDepth < 0 && isReference(r)) {
          refDepth = depth;
          cached = false;
        } else if (depth == refDepth + 1 && isCache(r)) {
          cached = true;
        } else if (isChartElement(r, u"plotVisOnly")) {
          const QStringView val = r.attributes().value(QLatin1String("val"));
          out.visibleOnly = !(val == u"0" || val == u"false");
        }
        break;
      case QXmlStreamReader::EndElement:
        if (depth-- == refDepth) {
          out.missing = out.missing || !cached;
          refDepth = -1;
        }
        break;
      default: break;
    }
  }
  out.readable = !r.hasError();
  return out;
}

// A c:numRef / c:strRef being copied.
struct OpenReference {
  int depth = 0;
  bool numeric = false;
  bool multiLevel = false; // c:multiLvlStrRef: categories in several rows or columns
  bool category = false;   // under c:cat or c:xVal
  QString prefix;          // the reference's own prefix, for the elements written into it
  QString formula;          // the first c:f, as the chart reader takes it
  bool inFormula = false;
  bool formulaRead = false;
  bool settled = false;    // it has a cache, or one was written
};

QString qualified(const OpenReference& ref, const char* name) {
  return ref.prefix.isEmpty() ? QString::fromLatin1(name) : ref.prefix + u':' + QLatin1String(name);
}

// The point's c:v text; nullopt when the point stays out of the cache.
std::optional<QString> pointValue(const OpenReference& ref, const ChartCell& cell) {
  if (cell.empty) return std::nullopt;
  if (!ref.numeric) return cell.text;
  if (cell.number && std::isfinite(*cell.number))
    return QString::number(*cell.number, 'g', QLocale::FloatingPointShortest);
  // A category read as numbers still shows its text cells' texts, as the program shows them.
  if (ref.category && !cell.number) return cell.text;
  return std::nullopt;
}

void writePoints(QXmlStreamWriter& w, const OpenReference& ref, const ChartCells& cells) {
  for (size_t i = 0; i < cells.points.size(); ++i) {
    const auto value = pointValue(ref, cells.points[i]);
    if (!value) continue;
    w.writeStartElement(qualified(ref, "pt"));
    w.writeAttribute(QStringLiteral("idx"), QString::number(i));
    w.writeTextElement(qualified(ref, "v"), *value);
    w.writeEndElement();
  }
}

void writePointCount(QXmlStreamWriter& w, const OpenReference& ref, size_t count) {
  w.writeEmptyElement(qualified(ref, "ptCount"));
  w.writeAttribute(QStringLiteral("val"), QString::number(count));
}

void writeCache(QXmlStreamWriter& w, const OpenReference& ref, const ChartCells& cells) {
  w.writeStartElement(qualified(ref, ref.numeric ? "numCache" : "strCache"));
  if (ref.numeric) w.writeTextElement(qualified(ref, "formatCode"), cells.formatCode);
  writePointCount(w, ref, cells.points.size());
  writePoints(w, ref, cells);
  w.writeEndElement();
}

// Levels innermost first; an outer level holds a text where its group starts.
void writeLevelsCache(QXmlStreamWriter& w, const OpenReference& ref, const std::vector<ChartCells>& levels) {
  w.writeStartElement(qualified(ref, "multiLvlStrCache"));
  writePointCount(w, ref, levels.empty() ? 0 : levels.front().points.size());
  for (const ChartCells& level : levels) {
    w.writeStartElement(qualified(ref, "lvl"));
    writePoints(w, ref, level);
    w.writeEndElement();
  }
  w.writeEndElement();
}

// The start tag as it was written, prefixes and namespace declarations included.
void copyStartElement(QXmlStreamWriter& w, const QXmlStreamReader& r) {
  w.writeStartElement(r.qualifiedName().toString());
  for (const auto& ns : r.namespaceDeclarations()) {
    w.writeAttribute(ns.prefix().isEmpty() ? QStringLiteral("xmlns") : QStringLiteral("xmlns:") + ns.prefix().toString(),
                     ns.namespaceUri().toString());
  }
  for (const auto& attribute : r.attributes()) w.writeAttribute(attribute.qualifiedName().toString(), attribute.value().toString());
}

class CacheFiller {
 public:
  CacheFiller(const ooxml::xlsx::WorkbookModel& model, bool visibleOnly, ChartCacheReport& report)
      : m_model(model), m_visibleOnly(visibleOnly), m_report(report) {}

  // The filled XML, or nullopt when the reader fails half way.
  std::optional<QByteArray> run(const QByteArray& xml) {
    QByteArray out;
    QXmlStreamReader r(xml);
    QXmlStreamWriter w(&out);
    std::vector<QString> open;  // local names of the enclosing elements
    int depth = 0;
    while (!r.atEnd()) {
      r.readNext();
      if (r.hasError()) return std::nullopt;
      if (r.isStartElement()) {
        ++depth;
        startElement(w, r, depth, open.empty() ? QString() : open.back());
        open.push_back(r.name().toString());
        copyStartElement(w, r);
      } else if (r.isEndElement()) {
        if (m_ref && depth == m_ref->depth) endReference(w);
        else if (m_ref && depth == m_ref->depth + 1 && m_ref->inFormula) {
          m_ref->inFormula = false;
          m_ref->formulaRead = true;
        }
        --depth;
        open.pop_back();
        w.writeEndElement();
      } else {
        if (m_ref && m_ref->inFormula && r.isCharacters()) m_ref->formula += r.text();
        w.writeCurrentToken(r);
      }
    }
    return out;
  }

 private:
  void startElement(QXmlStreamWriter& w, const QXmlStreamReader& r, int depth, const QString& parent) {
    if (!m_ref) {
      if (!isReference(r)) return;
      m_ref = OpenReference{};
      m_ref->depth = depth;
      m_ref->numeric = r.name() == u"numRef";
      m_ref->multiLevel = r.name() == u"multiLvlStrRef";
      m_ref->category = parent == QLatin1String("cat") || parent == QLatin1String("xVal");
      m_ref->prefix = r.prefix().toString();
      return;
    }
    if (depth != m_ref->depth + 1) return;
    if (isChartElement(r, u"f")) m_ref->inFormula = !m_ref->formulaRead;
    else if (isCache(r)) m_ref->settled = true;
    else if (isChartElement(r, u"extLst")) fill(w);  // the cache goes before the extensions
  }

  void endReference(QXmlStreamWriter& w) {
    fill(w);
    m_ref.reset();
  }

  void fill(QXmlStreamWriter& w) {
    if (m_ref->settled) return;
    m_ref->settled = true;
    const QString formula = m_ref->formula.trimmed();
    if (formula.isEmpty()) return;
    if (m_ref->multiLevel) {
      const auto levels = readChartCellLevels(m_model, formula, m_visibleOnly);
      if (!levels) return unresolved(levels.error());
      writeLevelsCache(w, *m_ref, levels.value());
    } else {
      const auto cells = readChartCells(m_model, formula, m_visibleOnly);
      if (!cells && m_ref->category) {
        // Categories over several columns (or rows) are levels, as the program reads them.
        const auto levels = readChartCellLevels(m_model, formula, m_visibleOnly);
        if (levels && levels.value().size() > 1) {
          writeLevelsCache(w, *m_ref, levels.value());
          ++m_report.filled;
          return;
        }
      }
      if (!cells) return unresolved(cells.error());
      writeCache(w, *m_ref, cells.value());
    }
    ++m_report.filled;
  }

  void unresolved(const ooxml::Error& error) { m_report.unresolved << error.message; }

  const ooxml::xlsx::WorkbookModel& m_model;
  bool m_visibleOnly;
  ChartCacheReport& m_report;
  std::optional<OpenReference> m_ref;
};

}  // namespace

QByteArray fillChartCaches(const QByteArray& chartXml, const ooxml::xlsx::WorkbookModel& model,
                           ChartCacheReport* report, int maxDepth) {
  const Survey found = survey(chartXml, maxDepth);
  if (!found.readable || !found.missing) return chartXml;
  ChartCacheReport local;
  CacheFiller filler(model, found.visibleOnly, report ? *report : local);
  const auto filled = filler.run(chartXml);
  return filled ? *filled : chartXml;
}

}  // namespace morvane::hosts::workbook
