// Drawing parts: chart frames renamed or given a creation id.
#include "ooxml/xlsx/part_writers.h"
#include "ooxml/xlsx/xml_support.h"

#include <cstring>

namespace morvane::ooxml::xlsx::detail {

namespace {

// Gives the frame the creation id the model holds when its extension list has none yet.
void addCreationId(pugi::xml_node props, const QString& id) {
  if (id.isEmpty()) return;
  pugi::xml_node list = props.child("a:extLst");
  for (pugi::xml_node ext : list.children("a:ext")) {
    if (std::strcmp(ext.attribute("uri").value(), kCreationIdExtUri) == 0) return;
  }
  if (!list) list = props.append_child("a:extLst");
  pugi::xml_node ext = list.append_child("a:ext");
  ext.append_attribute("uri").set_value(kCreationIdExtUri);
  pugi::xml_node element = ext.append_child("a16:creationId");
  element.append_attribute("xmlns:a16").set_value(kCreationIdNamespace);
  element.append_attribute("id").set_value(id.toUtf8().constData());
}

}  // namespace

Result<QByteArray> writeDrawingPart(const Package& package, const Drawing& drawing,
                                    const std::set<int>& objects) {
  auto doc = loadPart(package, drawing.partName);
  if (!doc) return doc.error();
  XmlDocument& xml = **doc;
  pugi::xml_node root = xml.doc.document_element();
  int index = 0;
  // The same walk as the reader: only the three anchor elements count as objects.
  for (pugi::xml_node a = root.first_child(); a; a = a.next_sibling()) {
    const char* name = a.name();
    if (std::strcmp(name, "xdr:twoCellAnchor") != 0 && std::strcmp(name, "xdr:oneCellAnchor") != 0 &&
        std::strcmp(name, "xdr:absoluteAnchor") != 0)
      continue;
    if (objects.count(index) && index < int(drawing.objects.size())) {
      pugi::xml_node props = a.child("xdr:graphicFrame").child("xdr:nvGraphicFramePr").child("xdr:cNvPr");
      if (!props)
        return partError(package, drawing.partName, QStringLiteral("object %1 is not a chart frame").arg(index + 1));
      pugi::xml_attribute n = props.attribute("name");
      if (!n) n = props.append_attribute("name");
      n.set_value(drawing.objects[size_t(index)].name.toUtf8().constData());
      addCreationId(props, drawing.objects[size_t(index)].creationId);
    }
    ++index;
  }
  return serializeXml(xml);
}

}  // namespace morvane::ooxml::xlsx::detail
