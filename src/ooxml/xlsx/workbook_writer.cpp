// The workbook part, and WorkbookDocument::save, which writes every edited part into the
// package and saves the package.
#include "ooxml/xlsx/part_writers.h"
#include "ooxml/xlsx/workbook_document.h"
#include "ooxml/xlsx/xml_support.h"

#include <cstring>

namespace morvane::ooxml::xlsx {

namespace detail {

namespace {

const char kWorksheetType[] = "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml";
const char kStylesType[] = "application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml";

void setAttr(pugi::xml_node n, const char* name, const QString& value) {
  pugi::xml_attribute a = n.attribute(name);
  if (!a) a = n.append_attribute(name);
  a.set_value(value.toUtf8().constData());
}

const char* stateText(SheetEntry::State s) {
  return s == SheetEntry::State::Hidden ? "hidden" : s == SheetEntry::State::VeryHidden ? "veryHidden" : "";
}

void writeSheetList(pugi::xml_node sheets, const WorkbookModel& model, size_t savedSheetCount) {
  for (size_t i = 0; i < model.sheets.size(); ++i) {
    const SheetEntry& entry = model.sheets[i];
    pugi::xml_node s;
    if (i < savedSheetCount) {
      s = sheets.find_child_by_attribute("x:sheet", "r:id", entry.relationshipId.toUtf8().constData());
    }
    if (!s) {
      s = sheets.append_child("x:sheet");
      setAttr(s, "name", entry.name);
      setAttr(s, "sheetId", QString::number(entry.sheetId));
      setAttr(s, "r:id", entry.relationshipId);
    }
    setAttr(s, "name", entry.name);
    if (entry.state == SheetEntry::State::Visible) s.remove_attribute("state");
    else setAttr(s, "state", QString::fromLatin1(stateText(entry.state)));
  }
}

pugi::xml_node definedNamesElement(pugi::xml_node root) {
  if (pugi::xml_node n = root.child("x:definedNames")) return n;
  // Schema order: sheets, functionGroups, externalReferences, definedNames.
  pugi::xml_node after = root.child("x:externalReferences");
  if (!after) after = root.child("x:functionGroups");
  if (!after) after = root.child("x:sheets");
  return root.insert_child_after("x:definedNames", after);
}

void writeDefinedNames(pugi::xml_node root, const WorkbookModel& model, size_t savedNameCount,
                       const std::set<int>& editedNames) {
  if (model.names.size() == savedNameCount && editedNames.empty()) return;
  pugi::xml_node names = definedNamesElement(root);
  std::vector<pugi::xml_node> existing;
  for (pugi::xml_node n = names.child("x:definedName"); n; n = n.next_sibling("x:definedName"))
    existing.push_back(n);
  for (int i : editedNames) {
    if (i < int(existing.size())) existing[size_t(i)].text().set(model.names[size_t(i)].formula.toUtf8().constData());
  }
  for (size_t i = savedNameCount; i < model.names.size(); ++i) {
    const DefinedName& d = model.names[i];
    pugi::xml_node n = names.append_child("x:definedName");
    setAttr(n, "name", d.name);
    if (d.localSheetId) setAttr(n, "localSheetId", QString::number(*d.localSheetId));
    if (d.hidden) setAttr(n, "hidden", QStringLiteral("1"));
    n.text().set(d.formula.toUtf8().constData());
  }
}

}  // namespace

Result<QByteArray> writeWorkbookPart(const Package& package, const WorkbookModel& model,
                                     size_t savedSheetCount, size_t savedNameCount,
                                     const std::set<int>& editedNames) {
  auto doc = loadPart(package, model.workbookPart);
  if (!doc) return doc.error();
  XmlDocument& xml = **doc;
  pugi::xml_node root = xml.doc.document_element();
  pugi::xml_node sheets = root.child("x:sheets");
  if (!sheets) return partError(package, model.workbookPart, QStringLiteral("the workbook has no sheet list"));
  writeSheetList(sheets, model, savedSheetCount);
  writeDefinedNames(root, model, savedNameCount, editedNames);
  return serializeXml(xml);
}

}  // namespace detail

using namespace detail;

Status WorkbookDocument::applyEditsToPackage() {
  if (!isModified()) return {};
  m_unsavedInPackage = true;
  Package& package = *m_package;
  const QString wb = m_model.workbookPart;
  // New sheets get their part and relationship first: the workbook part names them.
  for (size_t i = m_savedSheetCount; i < m_model.sheets.size(); ++i) {
    SheetEntry& entry = m_model.sheets[i];
    if (!entry.partName.isEmpty()) continue;
    QString folder = wb.left(wb.lastIndexOf(QLatin1Char('/')));
    entry.partName = package.uniquePartName(folder + QStringLiteral("/worksheets/sheet%1.xml"));
    auto bytes = writeWorksheetPart(package, entry.partName, entry.worksheet, {}, false);
    if (!bytes) return bytes.error();
    if (Status w = package.write(entry.partName, *bytes, QString::fromLatin1(kWorksheetType)); !w) return w;
    entry.relationshipId = package.addRelationship(wb, reltype::officeRel("worksheet"), entry.partName);
  }
  for (const auto& [index, edits] : m_sheetEdits) {
    const SheetEntry& entry = m_model.sheets[size_t(index)];
    auto bytes = writeWorksheetPart(package, entry.partName, entry.worksheet, edits.cells, edits.columns);
    if (!bytes) return bytes.error();
    if (Status w = package.write(entry.partName, *bytes, QString::fromLatin1(kWorksheetType)); !w) return w;
  }
  if (!m_newCellFormats.empty() || !m_newNumberFormats.empty()) {
    if (m_needsStylesPart) {
      QString folder = wb.left(wb.lastIndexOf(QLatin1Char('/')));
      m_model.stylesPart = folder + QStringLiteral("/styles.xml");
    }
    std::vector<NewXf> xfs;
    for (const NewCellFormat& f : m_newCellFormats) xfs.push_back(NewXf{f.base, f.numFmtId});
    auto bytes = writeStylesPart(package, m_model.stylesPart, xfs, m_newNumberFormats);
    if (!bytes) return bytes.error();
    const QString type = package.hasPart(m_model.stylesPart) ? package.contentType(m_model.stylesPart)
                                                             : QString::fromLatin1(kStylesType);
    if (Status w = package.write(m_model.stylesPart, *bytes, type); !w) return w;
    if (m_needsStylesPart) {
      package.addRelationship(wb, reltype::officeRel("styles"), m_model.stylesPart);
      m_needsStylesPart = false;
    }
  }
  if (m_workbookEdited) {
    auto bytes = writeWorkbookPart(package, m_model, m_savedSheetCount, m_savedNameCount, m_editedNames);
    if (!bytes) return bytes.error();
    if (Status w = package.write(wb, *bytes, package.contentType(wb)); !w) return w;
  }
  for (const auto& [part, objects] : m_renamedDrawingObjects) {
    for (const SheetEntry& entry : m_model.sheets) {
      if (!entry.drawing || entry.drawing->partName.compare(part, Qt::CaseInsensitive) != 0) continue;
      auto bytes = writeDrawingPart(package, *entry.drawing, objects);
      if (!bytes) return bytes.error();
      if (Status w = package.write(part, *bytes, package.contentType(part)); !w) return w;
      break;
    }
  }
  // The package now holds every edit: later saves start from it.
  m_savedSheetCount = m_model.sheets.size();
  m_savedNameCount = m_model.names.size();
  m_savedCellFormatCount = m_model.styles.cellFormats.size();
  m_workbookEdited = false;
  m_editedNames.clear();
  m_sheetEdits.clear();
  m_newCellFormats.clear();
  m_newNumberFormats.clear();
  m_renamedDrawingObjects.clear();
  return {};
}

Status WorkbookDocument::save(const QString& path) {
  if (Status s = applyEditsToPackage(); !s) return s;
  m_unsavedInPackage = m_unsavedInPackage || isModified();
  Status saved = m_package->save(path);
  if (saved) m_unsavedInPackage = false;
  return saved;
}

}  // namespace morvane::ooxml::xlsx
