#include "ooxml/xlsx/workbook_document.h"

#include "ooxml/xlsx/formula_reference.h"
#include "ooxml/xlsx/workbook_reader.h"

namespace morvane::ooxml::xlsx {

namespace {

// The styles a workbook without a styles part shows: one Calibri 11 font, the two fills
// every producer writes, no border and one cell format. Mirrors the part save() creates.
Styles defaultStyles() {
  Styles s;
  s.fonts.push_back(Font{});
  s.fills.push_back(Fill{QStringLiteral("none"), {}, {}, false});
  s.fills.push_back(Fill{QStringLiteral("gray125"), {}, {}, false});
  s.borders.push_back(Border{});
  CellFormat xf;
  xf.xfId = 0;
  s.cellFormats.push_back(xf);
  return s;
}

}  // namespace

Result<std::unique_ptr<WorkbookDocument>> WorkbookDocument::open(const QString& path, const Limits& limits) {
  auto package = Package::open(path, limits);
  if (!package) return package.error();
  return fromPackage(std::move(package.value()));
}

Result<std::unique_ptr<WorkbookDocument>> WorkbookDocument::fromPackage(std::unique_ptr<Package> package) {
  auto model = readWorkbook(*package);
  if (!model) return model.error();
  std::unique_ptr<WorkbookDocument> doc(new WorkbookDocument);
  doc->m_package = std::move(package);
  doc->m_model = std::move(model.value());
  if (doc->m_model.stylesPart.isEmpty()) {
    doc->m_model.styles = defaultStyles();
    doc->m_needsStylesPart = true;
  } else if (doc->m_model.styles.cellFormats.empty()) {
    doc->m_model.styles.cellFormats.push_back(CellFormat{});
  }
  doc->m_savedSheetCount = doc->m_model.sheets.size();
  doc->m_savedNameCount = doc->m_model.names.size();
  doc->m_savedCellFormatCount = doc->m_model.styles.cellFormats.size();
  return doc;
}

int WorkbookDocument::addWorksheet(const QString& name) {
  SheetEntry entry;
  entry.name = name;
  entry.kind = SheetEntry::Kind::Worksheet;
  int maxId = 0;
  for (const SheetEntry& s : m_model.sheets) maxId = std::max(maxId, s.sheetId);
  entry.sheetId = maxId + 1;
  m_model.sheets.push_back(std::move(entry));
  m_workbookEdited = true;
  const int index = int(m_model.sheets.size()) - 1;
  m_sheetEdits[index];  // a new sheet's part is written even when it stays empty
  return index;
}

void WorkbookDocument::renameSheet(int index, const QString& name) {
  SheetEntry& sheet = m_model.sheets.at(size_t(index));
  const QString old = sheet.name;
  if (old == name) return;
  for (size_t i = 0; i < m_model.names.size(); ++i) {
    DefinedName& n = m_model.names[i];
    const auto area = parseSheetArea(n.formula);
    if (!area || area->sheet.compare(old, Qt::CaseInsensitive) != 0) continue;
    n.formula = formatSheetArea(SheetArea{name, area->area});
    if (i < m_savedNameCount) m_editedNames.insert(int(i));
  }
  sheet.name = name;
  m_workbookEdited = true;
}

void WorkbookDocument::setSheetState(int index, SheetEntry::State state) {
  SheetEntry& sheet = m_model.sheets.at(size_t(index));
  if (sheet.state == state) return;
  sheet.state = state;
  m_workbookEdited = true;
}

int WorkbookDocument::setDefinedName(const QString& name, const QString& formula,
                                     std::optional<int> localSheetId) {
  for (size_t i = 0; i < m_model.names.size(); ++i) {
    DefinedName& n = m_model.names[i];
    if (n.localSheetId == localSheetId && n.name.compare(name, Qt::CaseInsensitive) == 0) {
      if (n.formula != formula) {
        n.formula = formula;
        if (i < m_savedNameCount) m_editedNames.insert(int(i));
        m_workbookEdited = true;
      }
      return int(i);
    }
  }
  m_model.names.push_back(DefinedName{name, localSheetId, false, formula});
  m_workbookEdited = true;
  return int(m_model.names.size()) - 1;
}

void WorkbookDocument::setCellValue(int sheet, int row, int column, const CellValue& value) {
  Worksheet& ws = m_model.sheets.at(size_t(sheet)).worksheet;
  std::optional<Cell> cell = ws.cell(row, column);
  if (!cell) {
    if (value.isEmpty()) return;
    cell.emplace();
    const int inherited = ws.inheritedStyle(row, column);
    // A value typed into an empty cell of a formatted row or column takes that format.
    if (inherited != 0) {
      cell->style = inherited;
      cell->hasStyle = true;
    }
  }
  cell->value = value;
  cell->hasFormula = false;
  if (cell->isBlank() && !cell->hasStyle)
    ws.cells.erase(row, column);
  else
    ws.cells.set(row, column, *cell);
  m_sheetEdits[sheet].cells.insert({row, column});
}

void WorkbookDocument::setCellStyle(int sheet, int row, int column, int style) {
  Worksheet& ws = m_model.sheets.at(size_t(sheet)).worksheet;
  Cell cell = ws.cell(row, column).value_or(Cell{});
  cell.style = style;
  cell.hasStyle = true;
  ws.cells.set(row, column, cell);
  m_sheetEdits[sheet].cells.insert({row, column});
}

void WorkbookDocument::setColumnsStyle(int sheet, int firstColumn, int lastColumn, int style) {
  Worksheet& ws = m_model.sheets.at(size_t(sheet)).worksheet;
  std::vector<ColumnInfo> result;
  int next = firstColumn;  // first column of [first, last] not yet covered
  auto addStyled = [&](int from, int to, ColumnInfo info) {
    info.min = from;
    info.max = to;
    info.style = style;
    result.push_back(info);
  };
  for (const ColumnInfo& c : ws.columns) {
    if (c.max < firstColumn || c.min > lastColumn) {
      if (c.min > lastColumn && next <= lastColumn) {
        addStyled(next, lastColumn, ColumnInfo{});
        next = lastColumn + 1;
      }
      result.push_back(c);
      continue;
    }
    if (next < c.min) addStyled(next, c.min - 1, ColumnInfo{});
    if (c.min < firstColumn) {
      ColumnInfo left = c;
      left.max = firstColumn - 1;
      result.push_back(left);
    }
    addStyled(std::max(c.min, firstColumn), std::min(c.max, lastColumn), c);
    if (c.max > lastColumn) {
      ColumnInfo right = c;
      right.min = lastColumn + 1;
      result.push_back(right);
    }
    next = std::min(c.max, lastColumn) + 1;
  }
  if (next <= lastColumn) addStyled(next, lastColumn, ColumnInfo{});
  // Neighbours with identical settings merge back, as the program writes them.
  std::vector<ColumnInfo> merged;
  for (const ColumnInfo& c : result) {
    if (!merged.empty()) {
      ColumnInfo& m = merged.back();
      if (m.max + 1 == c.min && m.width == c.width && m.customWidth == c.customWidth &&
          m.hidden == c.hidden && m.style == c.style && m.bestFit == c.bestFit &&
          m.outlineLevel == c.outlineLevel && m.collapsed == c.collapsed) {
        m.max = c.max;
        continue;
      }
    }
    merged.push_back(c);
  }
  ws.columns = std::move(merged);
  m_sheetEdits[sheet].columns = true;
}

int WorkbookDocument::cellFormatWithNumberFormat(int baseXf, const QString& code) {
  Styles& styles = m_model.styles;
  if (baseXf < 0 || baseXf >= int(styles.cellFormats.size())) baseXf = 0;
  std::optional<int> id = builtInFormatId(code);
  if (!id) {
    for (const auto& [fid, fcode] : styles.numberFormats) {
      if (fcode == code) id = fid;
    }
  }
  if (!id) {
    int next = 164;
    for (const auto& entry : styles.numberFormats) next = std::max(next, entry.first + 1);
    id = next;
    styles.numberFormats[next] = code;
    m_newNumberFormats[next] = code;
  }
  CellFormat wanted = styles.cellFormats[size_t(baseXf)];
  if (wanted.numFmtId == *id) return baseXf;
  wanted.numFmtId = *id;
  wanted.applyNumberFormat = true;
  for (size_t i = 0; i < styles.cellFormats.size(); ++i) {
    if (styles.cellFormats[i] == wanted) return int(i);
  }
  styles.cellFormats.push_back(wanted);
  // New formats clone their base's element on save, so attributes the model does not
  // carry (protection, quotePrefix, apply flags) survive.
  m_newCellFormats.push_back(NewCellFormat{baseXf, *id});
  return int(styles.cellFormats.size()) - 1;
}

void WorkbookDocument::renameDrawingObject(int sheet, int objectIndex, const QString& name) {
  SheetEntry& entry = m_model.sheets.at(size_t(sheet));
  Drawing& drawing = entry.drawing.value();
  DrawingObject& object = drawing.objects.at(size_t(objectIndex));
  if (object.name == name) return;
  object.name = name;
  m_renamedDrawingObjects[drawing.partName].insert(objectIndex);
}

void WorkbookDocument::setDrawingCreationId(int sheet, int objectIndex, const QString& id) {
  Drawing& drawing = m_model.sheets.at(size_t(sheet)).drawing.value();
  drawing.objects.at(size_t(objectIndex)).creationId = id;
  m_renamedDrawingObjects[drawing.partName].insert(objectIndex);
}

bool WorkbookDocument::isModified() const {
  return m_unsavedInPackage || m_workbookEdited || !m_sheetEdits.empty() || !m_newCellFormats.empty() ||
         !m_newNumberFormats.empty() || !m_renamedDrawingObjects.empty();
}

}  // namespace morvane::ooxml::xlsx
