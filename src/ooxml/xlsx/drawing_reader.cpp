// Spreadsheet drawing parts: anchors and the charts among them.
#include "ooxml/xlsx/workbook_reader.h"
#include "ooxml/xlsx/xml_support.h"

#include <cstring>

namespace morvane::ooxml::xlsx {

using namespace detail;

namespace {

qint64 emu(const QString& text) {
  bool ok = false;
  const qint64 v = text.trimmed().toLongLong(&ok);
  // Offsets past a few kilometres are nonsense; keep them finite for size arithmetic.
  return ok ? std::clamp<qint64>(v, -(qint64(1) << 40), qint64(1) << 40) : 0;
}

AnchorMarker readMarker(pugi::xml_node m) {
  AnchorMarker marker;
  marker.column = std::clamp(childText(m, "xdr:col").trimmed().toInt(), 0, kMaxColumns - 1);
  marker.row = std::clamp(childText(m, "xdr:row").trimmed().toInt(), 0, kMaxRows - 1);
  marker.columnOffset = emu(childText(m, "xdr:colOff"));
  marker.rowOffset = emu(childText(m, "xdr:rowOff"));
  return marker;
}

// The id attribute of the a16:creationId in `props`'s extension list; empty when none. The
// element keeps the prefix its file gave it, so it is found by its local name.
QString readCreationId(pugi::xml_node props) {
  for (pugi::xml_node ext : props.child("a:extLst").children("a:ext")) {
    if (attr(ext, "uri") != QLatin1String(kCreationIdExtUri)) continue;
    for (pugi::xml_node e : ext.children()) {
      const char* colon = std::strchr(e.name(), ':');
      if (std::strcmp(colon ? colon + 1 : e.name(), "creationId") == 0)
        return attr(e, "id").trimmed();
    }
  }
  return {};
}

// Fills the chart fields when the anchor's content is a graphic frame holding a chart.
void readChartFrame(const Package& package, const QString& partName, pugi::xml_node anchor,
                    DrawingObject& object) {
  const pugi::xml_node frame = anchor.child("xdr:graphicFrame");
  if (!frame) return;
  const pugi::xml_node chart = frame.child("a:graphic").child("a:graphicData").child("c:chart");
  if (!chart) return;
  const pugi::xml_node props = frame.child("xdr:nvGraphicFramePr").child("xdr:cNvPr");
  object.kind = DrawingObject::Kind::Chart;
  object.id = intAttr(props, "id").value_or(0);
  object.name = attr(props, "name");
  object.creationId = readCreationId(props);
  object.chartRelationshipId = attr(chart, "r:id");
  object.chartPart = targetOf(package, partName, object.chartRelationshipId);
}

}  // namespace

Result<Drawing> readDrawing(const Package& package, const QString& partName) {
  auto doc = loadPart(package, partName);
  if (!doc) return doc.error();
  const pugi::xml_node root = (*doc)->doc.document_element();
  if (std::strcmp(root.name(), "xdr:wsDr") != 0)
    return partError(package, partName, QStringLiteral("the part is not a spreadsheet drawing"));
  Drawing drawing;
  drawing.partName = partName;
  for (pugi::xml_node a = root.first_child(); a; a = a.next_sibling()) {
    DrawingObject object;
    const char* name = a.name();
    if (std::strcmp(name, "xdr:twoCellAnchor") == 0) {
      object.anchor = DrawingObject::Anchor::TwoCell;
      object.from = readMarker(a.child("xdr:from"));
      object.to = readMarker(a.child("xdr:to"));
    } else if (std::strcmp(name, "xdr:oneCellAnchor") == 0) {
      object.anchor = DrawingObject::Anchor::OneCell;
      object.from = readMarker(a.child("xdr:from"));
    } else if (std::strcmp(name, "xdr:absoluteAnchor") == 0) {
      object.anchor = DrawingObject::Anchor::Absolute;
      object.x = emu(attr(a.child("xdr:pos"), "x"));
      object.y = emu(attr(a.child("xdr:pos"), "y"));
    } else {
      continue;  // mc:AlternateContent and the like: content the program may not even show
    }
    if (object.anchor != DrawingObject::Anchor::TwoCell) {
      object.width = std::max<qint64>(0, emu(attr(a.child("xdr:ext"), "cx")));
      object.height = std::max<qint64>(0, emu(attr(a.child("xdr:ext"), "cy")));
    }
    readChartFrame(package, partName, a, object);
    drawing.objects.push_back(std::move(object));
  }
  return drawing;
}

}  // namespace morvane::ooxml::xlsx
