// The Workbook and Name objects of the workbook host.
#include "office/automation_error.h"
#include "hosts/workbook/objects.h"
#include "ooxml/xlsx/formula_reference.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace morvane::hosts::workbook {

using ooxml::xlsx::SheetEntry;

namespace {

// Defined-name rules of the program: a letter, "_" or "\" first, then letters, digits, "_",
// "." or "\"; no blanks; at most 255 characters; not something that reads as a cell
// reference ("A1", "R1C1", "R", "C").
bool isValidDefinedName(const QString& name) {
  if (name.isEmpty() || name.size() > 255) return false;
  const QChar first = name[0];
  if (!(first.isLetter() || first == u'_' || first == u'\\')) return false;
  for (QChar ch : name) {
    if (!(ch.isLetterOrNumber() || ch == u'_' || ch == u'.' || ch == u'\\' || ch == u'?')) return false;
  }
  static const QRegularExpression r1c1(QStringLiteral("^([Rr]\\d*)?([Cc]\\d*)?$"));
  if (r1c1.match(name).hasMatch()) return false;
  return !ooxml::xlsx::parseA1Area(name).has_value();
}

}  // namespace

QString HostWorkbook::name() { return QFileInfo(m_host->path()).fileName(); }

bool HostWorkbook::protectStructure() { return m_host->document().model().lockStructure; }

std::vector<std::shared_ptr<excel::Sheet>> HostWorkbook::sheets() {
  std::vector<std::shared_ptr<excel::Sheet>> out;
  const int n = int(m_host->document().model().sheets.size());
  for (int i = 0; i < n; ++i) out.push_back(std::make_shared<HostSheet>(m_host, i));
  return out;
}

std::shared_ptr<excel::Sheet> HostWorkbook::sheet(int index) {
  if (index < 1 || index > int(m_host->document().model().sheets.size()))
    throw office::AutomationError::subscriptOutOfRange();
  return std::make_shared<HostSheet>(m_host, index - 1);
}

std::shared_ptr<excel::Sheet> HostWorkbook::sheet(const QString& name) {
  const int i = m_host->document().model().sheetIndex(name);
  if (i < 0) throw office::AutomationError::subscriptOutOfRange();
  return std::make_shared<HostSheet>(m_host, i);
}

std::vector<std::shared_ptr<excel::Sheet>> HostWorkbook::worksheets() {
  std::vector<std::shared_ptr<excel::Sheet>> out;
  const auto& sheets = m_host->document().model().sheets;
  for (size_t i = 0; i < sheets.size(); ++i) {
    if (sheets[i].kind == SheetEntry::Kind::Worksheet) out.push_back(std::make_shared<HostSheet>(m_host, int(i)));
  }
  return out;
}

std::shared_ptr<excel::Sheet> HostWorkbook::worksheet(const QString& name) {
  const auto& model = m_host->document().model();
  const int i = model.sheetIndex(name);
  if (i < 0 || model.sheets[size_t(i)].kind != SheetEntry::Kind::Worksheet)
    throw office::AutomationError::subscriptOutOfRange();
  return std::make_shared<HostSheet>(m_host, i);
}

std::shared_ptr<excel::Sheet> HostWorkbook::worksheetsAdd() {
  const auto& model = m_host->document().model();
  if (model.lockStructure)
    throw office::AutomationError::methodFailed(QStringLiteral("Add"), QStringLiteral("Sheets"));
  // Appended after the last sheet rather than before the active one, so that no sheet moves
  // and no sheet-level name's localSheetId changes; the active sheet stays as it was.
  int number = 1;
  for (const auto& s : model.sheets) {
    if (s.kind == SheetEntry::Kind::Worksheet) ++number;
  }
  while (model.sheetIndex(QStringLiteral("Sheet%1").arg(number)) >= 0) ++number;
  const int index = m_host->editableDocument().addWorksheet(QStringLiteral("Sheet%1").arg(number));
  return std::make_shared<HostSheet>(m_host, index);
}

std::vector<std::shared_ptr<excel::Chart>> HostWorkbook::charts() {
  std::vector<std::shared_ptr<excel::Chart>> out;
  const auto& sheets = m_host->document().model().sheets;
  for (size_t i = 0; i < sheets.size(); ++i) {
    if (sheets[i].kind == SheetEntry::Kind::Chartsheet) out.push_back(std::make_shared<HostChart>(m_host, int(i), -1));
  }
  return out;
}

std::shared_ptr<excel::Chart> HostWorkbook::chart(const QString& name) {
  const auto& model = m_host->document().model();
  const int i = model.sheetIndex(name);
  if (i < 0 || model.sheets[size_t(i)].kind != SheetEntry::Kind::Chartsheet)
    throw office::AutomationError::subscriptOutOfRange();
  return std::make_shared<HostChart>(m_host, i, -1);
}

std::vector<int> HostWorkbook::listedNames() const {
  std::vector<int> out;
  const auto& names = m_host->document().model().names;
  for (size_t i = 0; i < names.size(); ++i) {
    if (!names[i].name.isEmpty()) out.push_back(int(i));
  }
  return out;
}

int HostWorkbook::namesCount() { return int(listedNames().size()); }

std::vector<std::shared_ptr<excel::Name>> HostWorkbook::names() {
  std::vector<std::shared_ptr<excel::Name>> out;
  for (int i : listedNames()) out.push_back(std::make_shared<HostName>(m_host, i));
  return out;
}

std::shared_ptr<excel::Name> HostWorkbook::name(int index) {
  const auto listed = listedNames();
  if (index < 1 || index > int(listed.size())) throw office::AutomationError::subscriptOutOfRange();
  return std::make_shared<HostName>(m_host, listed[size_t(index - 1)]);
}

std::shared_ptr<excel::Name> HostWorkbook::name(const QString& name) {
  const auto& model = m_host->document().model();
  for (int i : listedNames()) {
    if (model.reportedName(model.names[size_t(i)]).compare(name, Qt::CaseInsensitive) == 0)
      return std::make_shared<HostName>(m_host, i);
  }
  throw programError(QStringLiteral("Application-defined or object-defined error"));
}

std::shared_ptr<excel::Name> HostWorkbook::namesAdd(const QString& name, const QString& refersToR1C1) {
  if (!isValidDefinedName(name))
    throw programError(QStringLiteral("The syntax of this name isn't correct."));
  const auto& model = m_host->document().model();
  QString formula;
  if (auto area = ooxml::xlsx::parseSheetAreaR1C1(refersToR1C1)) {
    const int sheet = model.sheetIndex(area->sheet);
    if (sheet < 0) throw programError(QStringLiteral("Application-defined or object-defined error"));
    area->sheet = model.sheets[size_t(sheet)].name;
    formula = ooxml::xlsx::formatSheetArea(*area);
  } else {
    // Constants and formulas are kept as written; only references need translating.
    formula = refersToR1C1.trimmed();
    if (formula.startsWith(u'=')) formula.remove(0, 1);
    if (formula.isEmpty()) throw programError(QStringLiteral("Application-defined or object-defined error"));
  }
  const int index = m_host->editableDocument().setDefinedName(name, formula);
  return std::make_shared<HostName>(m_host, index);
}

std::shared_ptr<excel::Sheet> HostWorkbook::activeSheet() {
  return std::make_shared<HostSheet>(m_host, m_host->activeSheet());
}

std::shared_ptr<excel::Chart> HostWorkbook::activeChart() {
  if (const auto chart = m_host->activeEmbeddedChart())
    return std::make_shared<HostChart>(m_host, chart->first, chart->second);
  const int active = m_host->activeSheet();
  if (m_host->document().model().sheets[size_t(active)].kind == SheetEntry::Kind::Chartsheet)
    return std::make_shared<HostChart>(m_host, active, -1);
  return nullptr;
}

// Name ----------------------------------------------------------------------------------------

QString HostName::name() {
  const auto& model = m_host->document().model();
  return model.reportedName(model.names.at(size_t(m_index)));
}

bool HostName::visible() { return !m_host->document().model().names.at(size_t(m_index)).hidden; }

QString HostName::refersTo() {
  return QLatin1Char('=') + m_host->document().model().names.at(size_t(m_index)).formula;
}

std::shared_ptr<excel::Range> HostName::refersToRange() {
  auto range = resolveNameRange(m_host, m_index);
  if (!range) throw programError(QStringLiteral("Application-defined or object-defined error"));
  return range;
}

int HostName::areasCount() {
  const auto& model = m_host->document().model();
  const auto areas = ooxml::xlsx::parseSheetAreas(model.names.at(size_t(m_index)).formula);
  if (areas.empty()) return 0;
  const int sheet = model.sheetIndex(areas.front().sheet);
  if (sheet < 0 || model.sheets[size_t(sheet)].kind != SheetEntry::Kind::Worksheet) return 0;
  // A range lies on one sheet: a union over several is no range at all.
  for (const auto& area : areas)
    if (model.sheetIndex(area.sheet) != sheet) return 0;
  return int(areas.size());
}

}  // namespace morvane::hosts::workbook
