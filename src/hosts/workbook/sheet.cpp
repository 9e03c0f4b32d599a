// The Sheet, ChartObject and Chart objects of the workbook host.
#include <QFileInfo>
#include <QUuid>
#include <optional>
#include <tuple>

#include "hosts/workbook/clipboard.h"
#include "hosts/workbook/objects.h"
#include "hosts/workbook/source_record.h"
#include "office/automation_error.h"
#include "ooxml/xlsx/formula_reference.h"

namespace morvane::hosts::workbook {

using ooxml::xlsx::CellRange;
using ooxml::xlsx::SheetEntry;

namespace {

const SheetEntry& entryOf(const HostPtr& host, int index) {
  return host->document().model().sheets.at(size_t(index));
}

// The program's sheet name rules: 1 to 31 characters, none of : \ / ? * [ ], no apostrophe
// at either end, not "History", and unique among the workbook's sheets ignoring case.
void checkSheetName(const HostPtr& host, int index, const QString& name) {
  static const QString forbidden = QStringLiteral(":\\/?*[]");
  bool valid = !name.isEmpty() && name.size() <= 31 && !name.startsWith(u'\'') && !name.endsWith(u'\'') &&
               name.compare(QLatin1String("History"), Qt::CaseInsensitive) != 0;
  for (QChar ch : name) valid = valid && !forbidden.contains(ch);
  if (!valid)
    throw programError(QStringLiteral("You typed an invalid name for a sheet or chart."));
  const int other = host->document().model().sheetIndex(name);
  if (other >= 0 && other != index)
    throw programError(QStringLiteral("That name is already taken. Try a different one."));
}

const char* className(SheetEntry::Kind kind) {
  return kind == SheetEntry::Kind::Chartsheet ? "_Chart" : "_Worksheet";
}

}  // namespace

void HostSheet::requireWorksheet() {
  if (entryOf(m_host, m_index).kind != SheetEntry::Kind::Worksheet)
    throw office::AutomationError::notSupported();
}

excel::SheetType HostSheet::type() {
  switch (entryOf(m_host, m_index).kind) {
    case SheetEntry::Kind::Worksheet: return excel::SheetType::Worksheet;
    case SheetEntry::Kind::Chartsheet: return excel::SheetType::ChartSheet;
    case SheetEntry::Kind::Other: break;
  }
  return excel::SheetType::Other;
}

QString HostSheet::name() { return entryOf(m_host, m_index).name; }

void HostSheet::setName(const QString& name) {
  if (m_host->document().model().lockStructure)
    throw office::AutomationError::methodFailed(
        QStringLiteral("Name"), QString::fromLatin1(className(entryOf(m_host, m_index).kind)));
  checkSheetName(m_host, m_index, name);
  m_host->editableDocument().renameSheet(m_index, name);
}

int HostSheet::visible() {
  switch (entryOf(m_host, m_index).state) {
    case SheetEntry::State::Visible: return excel::xlSheetVisible;
    case SheetEntry::State::Hidden: return excel::xlSheetHidden;
    case SheetEntry::State::VeryHidden: return excel::xlSheetVeryHidden;
  }
  return excel::xlSheetVisible;
}

void HostSheet::setVisible(int visibility) {
  const auto& model = m_host->document().model();
  SheetEntry::State state;
  if (visibility == excel::xlSheetVisible || visibility == 1) state = SheetEntry::State::Visible;
  else if (visibility == excel::xlSheetHidden) state = SheetEntry::State::Hidden;
  else if (visibility == excel::xlSheetVeryHidden) state = SheetEntry::State::VeryHidden;
  else throw programError(QStringLiteral("Unable to set the Visible property of the Worksheet class"));
  const SheetEntry& entry = entryOf(m_host, m_index);
  if (state == entry.state) return;
  if (model.lockStructure)
    throw programError(QStringLiteral("Unable to set the Visible property of the Worksheet class"));
  if (state != SheetEntry::State::Visible) {
    // A workbook always keeps one visible sheet; hiding the active one activates another.
    int otherVisible = -1;
    for (size_t i = 0; i < model.sheets.size(); ++i) {
      if (int(i) != m_index && model.sheets[i].state == SheetEntry::State::Visible) {
        otherVisible = int(i);
        if (int(i) > m_index) break;
      }
    }
    if (otherVisible < 0)
      throw programError(QStringLiteral("Unable to set the Visible property of the Worksheet class"));
    if (m_host->activeSheet() == m_index) m_host->setActiveSheet(otherVisible);
  }
  m_host->editableDocument().setSheetState(m_index, state);
}

void HostSheet::select() {
  if (entryOf(m_host, m_index).state != SheetEntry::State::Visible)
    throw office::AutomationError::methodFailed(
        QStringLiteral("Select"), QString::fromLatin1(className(entryOf(m_host, m_index).kind)));
  m_host->setActiveSheet(m_index);
}

std::vector<std::shared_ptr<excel::ChartObject>> HostSheet::chartObjects() {
  requireWorksheet();
  std::vector<std::shared_ptr<excel::ChartObject>> out;
  const SheetEntry& entry = entryOf(m_host, m_index);
  if (!entry.drawing) return out;
  for (int i : entry.drawing->chartIndices()) out.push_back(std::make_shared<HostChartObject>(m_host, m_index, i));
  return out;
}

std::shared_ptr<excel::ChartObject> HostSheet::chartObject(const QString& name) {
  requireWorksheet();
  const SheetEntry& entry = entryOf(m_host, m_index);
  if (entry.drawing) {
    for (int i : entry.drawing->chartIndices()) {
      if (entry.drawing->objects[size_t(i)].name.compare(name, Qt::CaseInsensitive) == 0)
        return std::make_shared<HostChartObject>(m_host, m_index, i);
    }
  }
  throw programError(QStringLiteral("The item with the specified name wasn't found."));
}

std::shared_ptr<excel::Range> HostSheet::cells(int row, int column) {
  requireWorksheet();
  if (row < 1 || row > ooxml::xlsx::kMaxRows || column < 1 || column > ooxml::xlsx::kMaxColumns)
    throw programError(QStringLiteral("Application-defined or object-defined error"));
  return std::make_shared<HostRange>(m_host, m_index, CellRange::cell(row, column));
}

namespace {

// "Sheet2!aaa", "'My Sheet'!Bar" (as names are listed) or "Sheet2!A1:B2": the sheet's index
// and what follows the "!". nullopt when the text names no sheet of the workbook.
std::optional<std::pair<int, QString>> splitSheetPrefix(const ooxml::xlsx::WorkbookModel& model,
                                                        const QString& text) {
  const qsizetype bang = text.lastIndexOf(QLatin1Char('!'));
  if (bang <= 0) return std::nullopt;
  QString sheet = text.left(bang);
  if (sheet.size() >= 2 && sheet.startsWith(QLatin1Char('\'')) && sheet.endsWith(QLatin1Char('\'')))
    sheet = sheet.mid(1, sheet.size() - 2).replace(QStringLiteral("''"), QStringLiteral("'"));
  const int index = model.sheetIndex(sheet);
  if (index < 0) return std::nullopt;
  return std::make_pair(index, text.mid(bang + 1));
}

}  // namespace

// An address or a name; a sheet-qualified one ("Sheet2!aaa", "'My Data'!A1") as the program
// accepts it, as long as it lies on this sheet.
std::shared_ptr<excel::Range> HostSheet::range(const QString& addressOrName) {
  requireWorksheet();
  const auto& model = m_host->document().model();
  QString text = addressOrName;
  int nameSheet = m_index;
  bool qualified = false;
  if (const auto prefixed = splitSheetPrefix(model, addressOrName)) {
    std::tie(nameSheet, text) = *prefixed;
    qualified = true;
  }
  if (const auto area = ooxml::xlsx::parseA1Area(text)) {
    if (nameSheet == m_index) return std::make_shared<HostRange>(m_host, m_index, *area);
    throw office::AutomationError::methodFailed(QStringLiteral("Range"),
                                                QStringLiteral("_Worksheet"));
  }
  // A name of the sheet first, then (unqualified only) a workbook-level one; it must refer to
  // this sheet.
  const auto& names = model.names;
  std::optional<int> found;
  for (size_t i = 0; i < names.size() && !found; ++i) {
    if (names[i].localSheetId == nameSheet && names[i].shortName().compare(text, Qt::CaseInsensitive) == 0)
      found = int(i);
  }
  for (size_t i = 0; i < names.size() && !found && !qualified; ++i) {
    if (!names[i].localSheetId && names[i].name.compare(text, Qt::CaseInsensitive) == 0) found = int(i);
  }
  if (found) {
    auto resolved = resolveNameRange(m_host, *found);
    if (resolved && resolved->worksheet()->name() == name()) return resolved;
  }
  throw office::AutomationError::methodFailed(QStringLiteral("Range"),
                                              QStringLiteral("_Worksheet"));
}

std::shared_ptr<excel::Range> HostSheet::columns(const QString& address) {
  requireWorksheet();
  const auto area = ooxml::xlsx::parseA1Area(address, true);
  if (!area || !area->isWholeColumns())
    throw programError(QStringLiteral("Application-defined or object-defined error"));
  return std::make_shared<HostRange>(m_host, m_index, *area);
}

std::shared_ptr<excel::Chart> HostSheet::chart() {
  if (entryOf(m_host, m_index).kind != SheetEntry::Kind::Chartsheet)
    throw office::AutomationError::notSupported();
  return std::make_shared<HostChart>(m_host, m_index, -1);
}

// ChartObject -----------------------------------------------------------------------------

QString HostChartObject::name() { return entryOf(m_host, m_sheet).drawing->objects.at(size_t(m_object)).name; }

void HostChartObject::setName(const QString& name) {
  if (name.isEmpty() || name.size() > 255)
    throw programError(QStringLiteral("Unable to set the Name property of the ChartObject class"));
  m_host->editableDocumentKeepingPictures().renameDrawingObject(m_sheet, m_object, name);
}

// Activating a chart shows its sheet, so the active sheet's chart objects include it.
void HostChartObject::activate() {
  m_host->setActiveSheet(m_sheet);
  m_host->setActiveEmbeddedChart(std::make_pair(m_sheet, m_object));
}

std::shared_ptr<excel::Chart> HostChartObject::chart() { return std::make_shared<HostChart>(m_host, m_sheet, m_object); }

QString HostChartObject::stableKey() {
  const QString id = entryOf(m_host, m_sheet).drawing->objects.at(size_t(m_object)).creationId;
  if (!id.isEmpty()) return id;
  // Written as office programs write theirs, so they keep it when they save the workbook.
  const QString fresh = QUuid::createUuid().toString(QUuid::WithBraces).toUpper();
  m_host->editableDocumentKeepingPictures().setDrawingCreationId(m_sheet, m_object, fresh);
  return fresh;
}

// Chart -----------------------------------------------------------------------------------

QString HostChart::name() {
  const SheetEntry& entry = entryOf(m_host, m_sheet);
  if (m_object < 0) return entry.name;
  // The program names an embedded chart after its sheet and its chart object.
  return entry.name + QLatin1Char(' ') + entry.drawing->objects.at(size_t(m_object)).name;
}

// ChartArea.Copy offers the chart as a bitmap, an EMF, an SVG and an object to embed.
void HostChart::chartAreaCopy() {
  // The picture first: it checks the indices and raises the program's errors.
  auto picture = hosts::workbook::chartPicture(*m_host, m_sheet, m_object, QStringLiteral("Copy"),
                                               QStringLiteral("ChartArea"));
  const auto& entry = entryOf(m_host, m_sheet);
  const HostPtr host = m_host;
  const QSizeF size = picture.sizePoints;
  const QString sheetName = entry.name;
  const QString objectName = m_object < 0 ? QString() : entry.drawing->objects.at(size_t(m_object)).name;
  const bool chartSheet = m_object < 0;
  hosts::workbook::offerOnClipboard(
      std::move(picture), hosts::workbook::kOfferNativeCopy,
      [host, size, sheetName, objectName, chartSheet] {
        office::NativeObject native;
        native.kind = chartSheet ? office::NativeObject::Kind::ChartSheet : office::NativeObject::Kind::Chart;
        native.workbookName = QFileInfo(host->path()).fileName();
        native.sheet = sheetName;
        native.name = objectName;
        native.sizePoints = size;
        native.workbook = hosts::workbook::workbookBytes(*host);
        return native;
      },
      chartSource(m_host, m_sheet, m_object));
}

void HostChart::copyPicture(int, int, int format) {
  auto picture = hosts::workbook::chartPicture(
      *m_host, m_sheet, m_object, QStringLiteral("CopyPicture"), QStringLiteral("_Chart"));
  hosts::workbook::offerOnClipboard(std::move(picture), hosts::workbook::pictureFormats(format), {},
                                    chartSource(m_host, m_sheet, m_object));
}

std::shared_ptr<excel::ChartObject> HostChart::parent() {
  if (m_object < 0) throw office::AutomationError::notSupported();
  return std::make_shared<HostChartObject>(m_host, m_sheet, m_object);
}

}  // namespace morvane::hosts::workbook
