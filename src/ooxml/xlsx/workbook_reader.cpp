#include "ooxml/xlsx/workbook_reader.h"

#include "ooxml/xlsx/xml_support.h"

#include <cstring>

namespace morvane::ooxml::xlsx {

using namespace detail;

namespace {

SheetEntry::Kind kindOf(const QString& relationshipType) {
  if (typeEndsWith(relationshipType, "worksheet")) return SheetEntry::Kind::Worksheet;
  if (typeEndsWith(relationshipType, "chartsheet")) return SheetEntry::Kind::Chartsheet;
  return SheetEntry::Kind::Other;
}

SheetEntry::State stateOf(const QString& state) {
  if (state == QLatin1String("hidden")) return SheetEntry::State::Hidden;
  if (state == QLatin1String("veryHidden")) return SheetEntry::State::VeryHidden;
  return SheetEntry::State::Visible;
}

Status readSheetList(const Package& package, const QString& partName, pugi::xml_node sheets,
                     WorkbookModel& model) {
  for (pugi::xml_node s = sheets.child("x:sheet"); s; s = s.next_sibling("x:sheet")) {
    SheetEntry entry;
    entry.name = attr(s, "name");
    entry.sheetId = intAttr(s, "sheetId").value_or(0);
    entry.state = stateOf(attr(s, "state"));
    entry.relationshipId = attr(s, "r:id");
    if (entry.name.isEmpty())
      return partError(package, partName, QStringLiteral("a sheet has no name"));
    const auto rel = package.relationship(partName, entry.relationshipId);
    if (!rel || rel->external)
      return partError(package, partName,
                       QStringLiteral("sheet \"%1\" has no part").arg(entry.name),
                       Error::Code::Missing);
    entry.kind = kindOf(rel->type);
    entry.partName = rel->targetPart;
    model.sheets.push_back(std::move(entry));
  }
  if (model.sheets.empty())
    return partError(package, partName, QStringLiteral("the workbook has no sheets"));
  return {};
}

void readDefinedNames(pugi::xml_node names, WorkbookModel& model) {
  for (pugi::xml_node n = names.child("x:definedName"); n; n = n.next_sibling("x:definedName")) {
    DefinedName d;
    d.name = attr(n, "name");
    d.localSheetId = intAttr(n, "localSheetId");
    d.hidden = boolAttr(n, "hidden");
    d.formula = qstr(n.child_value()).trimmed();
    if (d.formula.startsWith(QLatin1Char('='))) d.formula.remove(0, 1);
    model.names.push_back(std::move(d));  // even nameless ones: indices match the part
  }
}

}  // namespace

Status readWorkbookPart(const Package& package, const QString& partName, WorkbookModel& model) {
  auto doc = loadPart(package, partName);
  if (!doc) return doc.error();
  const pugi::xml_node root = (*doc)->doc.document_element();
  if (std::strcmp(root.name(), "x:workbook") != 0)
    return partError(package, partName, QStringLiteral("the part is not a workbook"));
  model.workbookPart = partName;
  model.date1904 = boolAttr(root.child("x:workbookPr"), "date1904");
  model.lockStructure = boolAttr(root.child("x:workbookProtection"), "lockStructure");
  model.activeTab = intAttr(root.child("x:bookViews").child("x:workbookView"), "activeTab").value_or(0);
  if (Status s = readSheetList(package, partName, root.child("x:sheets"), model); !s) return s;
  if (model.activeTab < 0 || model.activeTab >= int(model.sheets.size())) model.activeTab = 0;
  readDefinedNames(root.child("x:definedNames"), model);
  model.stylesPart = relatedPart(package, partName, "styles");
  model.sharedStringsPart = relatedPart(package, partName, "sharedStrings");
  model.themePart = relatedPart(package, partName, "theme");
  return {};
}

Result<WorkbookModel> readWorkbook(const Package& package) {
  const auto main = package.relationshipsOfType(QStringLiteral("/"), QString::fromLatin1(reltype::kOfficeDocument));
  if (main.empty() || main.front().targetPart.isEmpty() || !package.hasPart(main.front().targetPart))
    return Error{Error::Code::Missing,
                 QStringLiteral("%1: the package holds no workbook part").arg(package.displayName())};
  WorkbookModel model;
  if (Status s = readWorkbookPart(package, main.front().targetPart, model); !s) return s.error();
  if (!model.sharedStringsPart.isEmpty() && package.hasPart(model.sharedStringsPart)) {
    auto strings = readSharedStrings(package, model.sharedStringsPart);
    if (!strings) return strings.error();
    model.sharedStrings = std::make_shared<const StringTable>(std::move(*strings));
  }
  if (!model.stylesPart.isEmpty() && package.hasPart(model.stylesPart)) {
    auto styles = readStyles(package, model.stylesPart);
    if (!styles) return styles.error();
    model.styles = std::move(*styles);
  } else {
    model.stylesPart.clear();
  }
  for (SheetEntry& sheet : model.sheets) {
    Status s;
    if (sheet.kind == SheetEntry::Kind::Worksheet) {
      s = readWorksheet(package, sheet.partName, model.sharedStrings, sheet.worksheet);
      if (s && !sheet.worksheet.drawingPart.isEmpty()) {
        auto drawing = readDrawing(package, sheet.worksheet.drawingPart);
        if (!drawing) return drawing.error();
        sheet.drawing = std::move(*drawing);
      }
    } else if (sheet.kind == SheetEntry::Kind::Chartsheet) {
      s = readChartsheet(package, sheet.partName, sheet);
    }
    if (!s) return s.error();
  }
  return model;
}

}  // namespace morvane::ooxml::xlsx
