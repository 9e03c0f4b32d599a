#include "workbook_charts.h"

#include <string_view>

#include "hosts/workbook/chart_cache_fill.h"
#include "ooxml/chart/chart_reader.h"
#include "ooxml/detail/xml.h"
#include "ooxml/xlsx/workbook_document.h"

using namespace morvane;

namespace morvane::charttest {

namespace {

QString workbookPart(const ooxml::Package& package) {
  const auto rels = package.relationshipsOfType("/", ooxml::reltype::kOfficeDocument);
  return rels.empty() ? QString() : rels.front().targetPart;
}

// Anchor size: explicit extents, or the cell span with default column and row sizes.
QSizeF anchorSize(const pugi::xml_node& anchor) {
  const std::string_view kind = anchor.name();
  const pugi::xml_node ext = anchor.child("xdr:ext");
  if (ext && ext.attribute("cx").as_double() > 0)
    return QSizeF(ext.attribute("cx").as_double() / 12700.0, ext.attribute("cy").as_double() / 12700.0);
  if (kind == "xdr:twoCellAnchor") {
    auto pos = [&](const char* which, const char* axis, double cellPx) {
      const pugi::xml_node n = anchor.child(which);
      const std::string a(axis);
      return n.child(("xdr:" + a).c_str()).text().as_double() * cellPx * 0.75 +
             n.child(("xdr:" + a + "Off").c_str()).text().as_double() / 12700.0;
    };
    const double w = pos("xdr:to", "col", 64) - pos("xdr:from", "col", 64);
    const double h = pos("xdr:to", "row", 20) - pos("xdr:from", "row", 20);
    if (w > 0 && h > 0) return QSizeF(w, h);
  }
  return QSizeF(480 * 0.75, 288 * 0.75);
}

void chartsOfDrawing(const ooxml::Package& package, const QString& sheet, const QString& drawing,
                     bool chartsheet, std::vector<ChartRef>& out) {
  auto bytes = package.read(drawing);
  if (!bytes) return;
  auto doc = ooxml::parseXml(bytes.value(), drawing);
  if (!doc) return;
  for (const pugi::xml_node& anchor : doc.value()->doc.document_element().children()) {
    const pugi::xpath_node_set charts = anchor.select_nodes(".//c:chart");
    for (const pugi::xpath_node& c : charts) {
      const QString id = ooxml::qstr(c.node().attribute("r:id").value());
      const auto rel = package.relationship(drawing, id);
      if (!rel || rel->targetPart.isEmpty()) continue;
      QSizeF size = anchorSize(anchor);
      if (chartsheet && (size.width() < 50 || size.height() < 50)) size = QSizeF(720, 540);
      out.push_back(ChartRef{sheet, rel->targetPart, size, chartsheet});
    }
  }
}

}  // namespace

QString themePart(const ooxml::Package& package) {
  const QString wb = workbookPart(package);
  const auto rels = package.relationshipsOfType(wb, ooxml::reltype::officeRel("theme"));
  return rels.empty() ? QString() : rels.front().targetPart;
}

ooxml::Result<ooxml::chart::ChartModel> readChartWithCells(
    const ooxml::xlsx::WorkbookDocument& document, const QString& chartPart) {
  auto bytes = document.package().read(chartPart);
  if (!bytes) return bytes.error();
  return ooxml::chart::readChartXml(
      hosts::workbook::fillChartCaches(bytes.value(), document.model()), chartPart);
}

std::vector<ChartRef> findCharts(const ooxml::Package& package) {
  std::vector<ChartRef> out;
  const QString wb = workbookPart(package);
  if (wb.isEmpty()) return out;
  for (const auto& sheetRel : package.relationships(wb)) {
    const bool chartsheet = sheetRel.type.endsWith("/chartsheet");
    if (!chartsheet && !sheetRel.type.endsWith("/worksheet")) continue;
    for (const auto& d : package.relationshipsOfType(sheetRel.targetPart, ooxml::reltype::officeRel("drawing")))
      chartsOfDrawing(package, sheetRel.targetPart, d.targetPart, chartsheet, out);
  }
  return out;
}

}  // namespace morvane::charttest
