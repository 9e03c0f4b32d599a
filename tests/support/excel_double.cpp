#include "support/excel_double.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>

#include "office/clipboard_formats.h"
#include "support/a1_ref.h"

using namespace morvane;

namespace morvane::fake {

using office::AutomationError;
using office::Variant;

office::Variant SheetState::cell(int row, int column) const {
  const auto it = cells.find({row, column});
  return it == cells.end() ? Variant() : it->second;
}

QString SheetState::formatAt(int row, int column) const {
  if (const auto it = cellFormats.find({row, column}); it != cellFormats.end()) return it->second;
  if (const auto it = columnFormats.find(column); it != columnFormats.end()) return it->second;
  return QStringLiteral("General");
}

std::shared_ptr<SheetState> WorkbookState::findSheet(const QString& name) const {
  for (const auto& s : sheets)
    if (!s->deleted && s->name.compare(name, Qt::CaseInsensitive) == 0) return s;
  return nullptr;
}

std::shared_ptr<WorkbookState> buildWorkbook(const testbook::WorkbookOutline& outline) {
  auto wb = std::make_shared<WorkbookState>();
  wb->name = outline.fileName;
  wb->fullName = QStringLiteral("/home/user/") + outline.fileName;
  wb->protectStructure = outline.protectStructure;
  int keys = 0;
  for (const auto& s : outline.sheets) {
    auto sheet = std::make_shared<SheetState>();
    sheet->name = s.name;
    sheet->visible = s.visible;
    sheet->cells = s.cells;
    sheet->cellFormats = s.formats;
    if (s.kind == testbook::SheetOutline::Kind::ChartSheet) {
      sheet->type = excel::SheetType::ChartSheet;
      sheet->sheetChart = std::make_shared<ChartState>(
          ChartState{s.name, s.charts.empty() ? QString() : s.charts[0].title, sheet, true,
                     !s.charts.empty() && s.charts[0].unreadable});
    } else {
      for (const auto& c : s.charts) {
        // Charts without a creation id get a key of their own, as the host gives one.
        const QString key = !c.creationId.isEmpty() ? c.creationId
                                                    : QStringLiteral("{D0D0D0D0-0000-0000-0000-%1}")
                                                          .arg(++keys, 12, 10, QLatin1Char('0'));
        sheet->charts.push_back(std::make_shared<ChartState>(
            ChartState{c.name, c.title, sheet, false, c.unreadable, key}));
      }
    }
    wb->sheets.push_back(sheet);
  }
  for (const auto& n : outline.names)
    wb->names.push_back(std::make_shared<NameState>(NameState{n.name, n.localSheet, n.refersTo, n.hidden}));
  if (!wb->sheets.empty())
    wb->activeSheet = wb->sheets.at(std::min<std::size_t>(outline.activeSheet, wb->sheets.size() - 1));
  return wb;
}

namespace {

struct Context {
  std::shared_ptr<ExcelState> state;
  CallLog* log;
  std::weak_ptr<excel::Application> application;
};
using Ctx = std::shared_ptr<Context>;

AutomationError failed(const QString& member, const QString& object) {
  return AutomationError::methodFailed(member, object);
}

// Puts what a copy of `object` leaves on the desktop clipboard.
void putOnClipboard(const QString& kind, const QString& sheet, const QString& name,
                    const QString& format, const std::optional<office::SourceRecord>& source = {}) {
  auto* mime = new QMimeData;
  if (source) mime->setData(office::kSourceMime, source->compact().toUtf8());
  mime->setData(kFakeObjectMime, QStringLiteral("%1|%2|%3|%4").arg(kind, sheet, name, format).toUtf8());
  const uint hash = qHash(kind + sheet + name);
  const QColor colour = QColor::fromRgb(hash & 0xff, (hash >> 8) & 0xff, (hash >> 16) & 0xff);
  if (format != QLatin1String("emf")) {
    // 80 x 60 logical pixels drawn at twice the resolution (192 dpi), as the host draws.
    QImage image(160, 120, QImage::Format_RGB32);
    image.fill(colour);
    image.setDotsPerMeterX(7559);
    image.setDotsPerMeterY(7559);
    image.setDevicePixelRatio(2);
    mime->setImageData(image);
  }
  if (format == QLatin1String("svg") || format == QLatin1String("all")) {
    mime->setData(office::kSvgMime,
                  QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"60pt\" "
                                 "height=\"45pt\" viewBox=\"0 0 60 45\"><rect width=\"60\" "
                                 "height=\"45\" fill=\"%1\"/></svg>")
                      .arg(colour.name())
                      .toUtf8());
  }
  QGuiApplication::clipboard()->setMimeData(mime);
}

// Runs a copy's logging (where an armed failure strikes) as the host copies fail: a picture
// that cannot be made empties the clipboard.
template <typename F>
void copying(F&& logCall, bool unreadable = false) {
  try {
    logCall();
    if (unreadable)
      throw AutomationError::invalidPicture(QStringLiteral("the chart part cannot be read"));
  } catch (const AutomationError& error) {
    if (error.isInvalidPicture()) QGuiApplication::clipboard()->clear();
    throw;
  }
}

QString pictureFormatName(int format) {
  if (format == excel::xlBitmap) return QStringLiteral("bitmap");
  return format == excel::xlSvg ? QStringLiteral("svg") : QStringLiteral("emf");
}

class SheetImpl;
std::shared_ptr<excel::Sheet> makeSheet(const Ctx& ctx, std::shared_ptr<SheetState> sheet);

class RangeImpl : public excel::Range {
 public:
  RangeImpl(Ctx ctx, std::shared_ptr<SheetState> sheet, CellRect rect)
      : m_ctx(std::move(ctx)), m_sheet(std::move(sheet)), m_rect(rect) {}

  Variant value() override {
    log(QStringLiteral("Value"));
    return m_sheet->cell(m_rect.row1, m_rect.col1);
  }
  void setValue(const Variant& v) override {
    log(QStringLiteral("Value=") + v.toText());
    for (int r = m_rect.row1; r <= m_rect.row2; ++r)
      for (int c = m_rect.col1; c <= m_rect.col2; ++c) store(r, c, v);
  }
  QString address() override {
    log(QStringLiteral("Address"));
    return formatA1(m_rect);
  }
  int row() override { return log(QStringLiteral("Row")), m_rect.row1; }
  int column() override { return log(QStringLiteral("Column")), m_rect.col1; }
  int rowsCount() override { return log(QStringLiteral("Rows.Count")), m_rect.row2 - m_rect.row1 + 1; }
  int columnsCount() override {
    return log(QStringLiteral("Columns.Count")), m_rect.col2 - m_rect.col1 + 1;
  }
  std::shared_ptr<excel::Range> currentRegion() override {
    log(QStringLiteral("CurrentRegion"));
    return std::make_shared<RangeImpl>(m_ctx, m_sheet, region());
  }
  std::shared_ptr<excel::Sheet> worksheet() override {
    log(QStringLiteral("Worksheet"));
    return makeSheet(m_ctx, m_sheet);
  }
  QString numberFormat() override {
    log(QStringLiteral("NumberFormat"));
    return m_sheet->formatAt(m_rect.row1, m_rect.col1);
  }
  void setNumberFormat(const QString& format) override {
    log(QStringLiteral("NumberFormat=") + format);
    if (m_rect.wholeColumns()) {
      for (int c = m_rect.col1; c <= m_rect.col2; ++c) m_sheet->columnFormats[c] = format;
      return;
    }
    for (int r = m_rect.row1; r <= m_rect.row2; ++r)
      for (int c = m_rect.col1; c <= m_rect.col2; ++c) m_sheet->cellFormats[{r, c}] = format;
  }
  void copy() override {
    copying([&] { log(QStringLiteral("Copy")); });
    putOnClipboard(QStringLiteral("range"), m_sheet->name, formatA1(m_rect), QStringLiteral("all"));
  }
  void copyPicture(int appearance, int format) override {
    copying([&] { log(QStringLiteral("CopyPicture(%1,%2)").arg(appearance).arg(format)); });
    putOnClipboard(QStringLiteral("range"), m_sheet->name, formatA1(m_rect), pictureFormatName(format));
  }
  std::shared_ptr<excel::Range> find(const Variant& what, int lookIn) override {
    log(QStringLiteral("Find(%1,%2)").arg(what.toText()).arg(lookIn));
    const QString needle = what.toText();
    std::vector<std::pair<int, int>> hits;
    for (const auto& [pos, v] : m_sheet->cells) {
      if (pos.first < m_rect.row1 || pos.first > m_rect.row2 || pos.second < m_rect.col1 ||
          pos.second > m_rect.col2)
        continue;
      if (v.toText().contains(needle, Qt::CaseInsensitive)) hits.push_back(pos);
    }
    if (hits.empty()) return nullptr;
    // By rows, starting after the first cell and wrapping round to it last.
    const std::pair<int, int> first{m_rect.row1, m_rect.col1};
    auto it = std::find_if(hits.begin(), hits.end(), [&](const auto& p) { return p > first; });
    const auto hit = it != hits.end() ? *it : hits.front();
    return std::make_shared<RangeImpl>(m_ctx, m_sheet, CellRect{hit.first, hit.second, hit.first, hit.second});
  }

 private:
  void log(const QString& member) {
    m_ctx->log->call(QStringLiteral("Range(%1!%2).%3").arg(m_sheet->name, formatA1(m_rect), member));
    if (m_sheet->deleted) throw failed(member, QStringLiteral("Range"));
  }
  void store(int r, int c, const Variant& v) {
    if (v.isEmpty() || (v.isText() && v.text().isEmpty())) {
      m_sheet->cells.erase({r, c});
      return;
    }
    if (v.isText() && m_sheet->formatAt(r, c) != QLatin1String("@")) {
      if (auto n = office::parseNumericText(v.text(), QLocale::c())) {
        m_sheet->cells[{r, c}] = *n;
        return;
      }
    }
    m_sheet->cells[{r, c}] = v;
  }
  bool occupied(int r, int c) const {
    return r >= 1 && c >= 1 && m_sheet->cells.count({r, c}) > 0;
  }
  // Grows the rectangle while any cell bordering it (corners included) is non-empty.
  CellRect region() const {
    CellRect r{m_rect.row1, m_rect.col1, m_rect.row1, m_rect.col1};
    for (bool grown = true; grown;) {
      grown = false;
      for (int c = r.col1 - 1; c <= r.col2 + 1 && !grown; ++c) {
        if (occupied(r.row1 - 1, c)) { --r.row1; grown = true; }
        else if (occupied(r.row2 + 1, c)) { ++r.row2; grown = true; }
      }
      for (int row = r.row1 - 1; row <= r.row2 + 1 && !grown; ++row) {
        if (occupied(row, r.col1 - 1)) { --r.col1; grown = true; }
        else if (occupied(row, r.col2 + 1)) { ++r.col2; grown = true; }
      }
    }
    return r;
  }

  Ctx m_ctx;
  std::shared_ptr<SheetState> m_sheet;
  CellRect m_rect;
};

class ChartObjectImpl;

class ChartImpl : public excel::Chart {
 public:
  ChartImpl(Ctx ctx, std::shared_ptr<ChartState> chart) : m_ctx(std::move(ctx)), m_chart(std::move(chart)) {}
  QString name() override { return log(QStringLiteral("Name")), m_chart->name; }
  void chartAreaCopy() override {
    copying([&] { log(QStringLiteral("ChartArea.Copy")); }, m_chart->unreadable);
    putOnClipboard(kind(), sheetName(), m_chart->name, QStringLiteral("all"), source());
  }
  void copyPicture(int appearance, int size, int format) override {
    copying(
        [&] { log(QStringLiteral("CopyPicture(%1,%2,%3)").arg(appearance).arg(size).arg(format)); },
        m_chart->unreadable);
    putOnClipboard(kind(), sheetName(), m_chart->name, pictureFormatName(format), source());
  }
  std::shared_ptr<excel::ChartObject> parent() override;

 private:
  // The record the host offers with a chart's copies (ranges' copies here offer none).
  office::SourceRecord source() const {
    const auto wb = m_ctx->state->workbook;
    return m_chart->chartSheet ? office::SourceRecord{wb ? wb->name : QString(),
                                                      office::SourceRecord::Kind::ChartSheet,
                                                      sheetName(),
                                                      {},
                                                      {},
                                                      {}}
                               : office::SourceRecord{wb ? wb->name : QString(),
                                                      office::SourceRecord::Kind::Chart,
                                                      sheetName(),
                                                      m_chart->name,
                                                      m_chart->key,
                                                      {}};
  }
  QString kind() const { return m_chart->chartSheet ? QStringLiteral("chartsheet") : QStringLiteral("chart"); }
  QString sheetName() const {
    const auto s = m_chart->sheet.lock();
    return s ? s->name : QString();
  }
  void log(const QString& member) {
    m_ctx->log->call(QStringLiteral("Chart(%1).%2").arg(m_chart->name, member));
    const auto s = m_chart->sheet.lock();
    if (!s || s->deleted) throw failed(member, QStringLiteral("Chart"));
  }
  Ctx m_ctx;
  std::shared_ptr<ChartState> m_chart;
};

class ChartObjectImpl : public excel::ChartObject {
 public:
  ChartObjectImpl(Ctx ctx, std::shared_ptr<ChartState> chart)
      : m_ctx(std::move(ctx)), m_chart(std::move(chart)) {}
  QString name() override { return log(QStringLiteral("Name")), m_chart->name; }
  void setName(const QString& name) override {
    log(QStringLiteral("Name=") + name);
    m_chart->name = name;
  }
  void activate() override {
    log(QStringLiteral("Activate"));
    auto wb = m_ctx->state->workbook;
    if (wb) {
      wb->activeChart = m_chart;
      wb->activeSheet = m_chart->sheet.lock();
    }
  }
  std::shared_ptr<excel::Chart> chart() override {
    log(QStringLiteral("Chart"));
    return std::make_shared<ChartImpl>(m_ctx, m_chart);
  }
  QString stableKey() override { return log(QStringLiteral("StableKey")), m_chart->key; }

 private:
  void log(const QString& member) {
    m_ctx->log->call(QStringLiteral("ChartObject(%1).%2").arg(m_chart->name, member));
    const auto s = m_chart->sheet.lock();
    if (!s || s->deleted) throw failed(member, QStringLiteral("ChartObject"));
  }
  Ctx m_ctx;
  std::shared_ptr<ChartState> m_chart;
};

std::shared_ptr<excel::ChartObject> ChartImpl::parent() {
  log(QStringLiteral("Parent"));
  if (m_chart->chartSheet) throw AutomationError::notSupported();
  return std::make_shared<ChartObjectImpl>(m_ctx, m_chart);
}

std::optional<SheetRef> resolveName(const WorkbookState& wb, const NameState& n) {
  auto ref = parseSheetRef(n.refersTo);
  if (!ref || !wb.findSheet(ref->sheet)) return std::nullopt;
  if (wb.findSheet(ref->sheet)->type != excel::SheetType::Worksheet) return std::nullopt;
  return ref;
}

QString fullNameOf(const NameState& n) {
  return n.localSheet.isEmpty() ? n.name : quoteSheetName(n.localSheet) + QLatin1Char('!') + n.name;
}

class SheetImpl : public excel::Sheet {
 public:
  SheetImpl(Ctx ctx, std::shared_ptr<SheetState> sheet) : m_ctx(std::move(ctx)), m_sheet(std::move(sheet)) {}
  excel::SheetType type() override { return log(QStringLiteral("Type")), m_sheet->type; }
  QString name() override { return log(QStringLiteral("Name")), m_sheet->name; }
  void setName(const QString& name) override {
    log(QStringLiteral("Name=") + name);
    const auto other = m_ctx->state->workbook->findSheet(name);
    if (name.isEmpty() || name.size() > 31 || (other && other != m_sheet))
      throw failed(QStringLiteral("Name"), QStringLiteral("_Worksheet"));
    m_sheet->name = name;
    if (m_sheet->sheetChart) m_sheet->sheetChart->name = name;
  }
  int visible() override { return log(QStringLiteral("Visible")), m_sheet->visible; }
  void setVisible(int v) override {
    log(QStringLiteral("Visible=%1").arg(v));
    m_sheet->visible = v;
  }
  void select() override {
    log(QStringLiteral("Select"));
    auto wb = m_ctx->state->workbook;
    wb->activeSheet = m_sheet;
    if (m_sheet->sheetChart) wb->activeChart = m_sheet->sheetChart;
  }
  std::vector<std::shared_ptr<excel::ChartObject>> chartObjects() override {
    worksheetOnly(QStringLiteral("ChartObjects"));
    std::vector<std::shared_ptr<excel::ChartObject>> out;
    for (const auto& c : m_sheet->charts) out.push_back(std::make_shared<ChartObjectImpl>(m_ctx, c));
    return out;
  }
  std::shared_ptr<excel::ChartObject> chartObject(const QString& name) override {
    worksheetOnly(QStringLiteral("ChartObjects(") + name + QLatin1Char(')'));
    for (const auto& c : m_sheet->charts)
      if (c->name.compare(name, Qt::CaseInsensitive) == 0) return std::make_shared<ChartObjectImpl>(m_ctx, c);
    throw failed(QStringLiteral("ChartObjects"), QStringLiteral("_Worksheet"));
  }
  std::shared_ptr<excel::Range> cells(int row, int column) override {
    worksheetOnly(QStringLiteral("Cells(%1,%2)").arg(row).arg(column));
    if (row < 1 || column < 1 || row > kMaxRows || column > kMaxColumns) throw failed(QStringLiteral("Cells"), QStringLiteral("_Worksheet"));
    return std::make_shared<RangeImpl>(m_ctx, m_sheet, CellRect{row, column, row, column});
  }
  std::shared_ptr<excel::Range> range(const QString& addressOrName) override {
    worksheetOnly(QStringLiteral("Range(") + addressOrName + QLatin1Char(')'));
    if (auto rect = parseA1(addressOrName)) return std::make_shared<RangeImpl>(m_ctx, m_sheet, *rect);
    const auto& wb = *m_ctx->state->workbook;
    const qsizetype bang = addressOrName.lastIndexOf(QLatin1Char('!'));
    if (auto rect = bang > 0 ? parseA1(addressOrName.mid(bang + 1)) : std::nullopt) {
      QString sheet = addressOrName.left(bang);
      if (sheet.startsWith(QLatin1Char('\'')) && sheet.endsWith(QLatin1Char('\'')))
        sheet = sheet.mid(1, sheet.size() - 2).replace(QStringLiteral("''"), QStringLiteral("'"));
      if (wb.findSheet(sheet) == m_sheet) return std::make_shared<RangeImpl>(m_ctx, m_sheet, *rect);
      throw failed(QStringLiteral("Range"), QStringLiteral("_Worksheet"));
    }
    for (const auto& n : wb.names) {
      if (n->name.compare(addressOrName, Qt::CaseInsensitive) != 0 && fullNameOf(*n).compare(addressOrName, Qt::CaseInsensitive) != 0) continue;
      if (!n->localSheet.isEmpty() && n->localSheet.compare(m_sheet->name, Qt::CaseInsensitive) != 0 &&
          !addressOrName.contains(QLatin1Char('!')))
        continue;
      const auto ref = resolveName(wb, *n);
      if (ref && wb.findSheet(ref->sheet) == m_sheet) return std::make_shared<RangeImpl>(m_ctx, m_sheet, ref->rect);
    }
    throw failed(QStringLiteral("Range"), QStringLiteral("_Worksheet"));
  }
  std::shared_ptr<excel::Range> columns(const QString& address) override {
    worksheetOnly(QStringLiteral("Columns(") + address + QLatin1Char(')'));
    const auto rect = parseA1(address);
    if (!rect || !rect->wholeColumns()) throw failed(QStringLiteral("Columns"), QStringLiteral("_Worksheet"));
    return std::make_shared<RangeImpl>(m_ctx, m_sheet, *rect);
  }
  std::shared_ptr<excel::Chart> chart() override {
    log(QStringLiteral("Chart"));
    if (!m_sheet->sheetChart) throw AutomationError::notSupported();
    return std::make_shared<ChartImpl>(m_ctx, m_sheet->sheetChart);
  }

 private:
  void log(const QString& member) {
    m_ctx->log->call(QStringLiteral("Sheet(%1).%2").arg(m_sheet->name, member));
    if (m_sheet->deleted) throw failed(member, QStringLiteral("Sheet"));
  }
  void worksheetOnly(const QString& member) {
    log(member);
    if (m_sheet->type != excel::SheetType::Worksheet) throw AutomationError::notSupported();
  }
  Ctx m_ctx;
  std::shared_ptr<SheetState> m_sheet;
};

std::shared_ptr<excel::Sheet> makeSheet(const Ctx& ctx, std::shared_ptr<SheetState> sheet) {
  return std::make_shared<SheetImpl>(ctx, std::move(sheet));
}

class NameImpl : public excel::Name {
 public:
  NameImpl(Ctx ctx, std::shared_ptr<NameState> name) : m_ctx(std::move(ctx)), m_name(std::move(name)) {}
  QString name() override { return log(QStringLiteral("Name")), fullNameOf(*m_name); }
  bool visible() override { return log(QStringLiteral("Visible")), !m_name->hidden; }
  QString refersTo() override { return log(QStringLiteral("RefersTo")), QLatin1Char('=') + m_name->refersTo; }
  std::shared_ptr<excel::Range> refersToRange() override {
    log(QStringLiteral("RefersToRange"));
    const auto& wb = *m_ctx->state->workbook;
    const auto ref = resolveName(wb, *m_name);
    if (!ref) throw failed(QStringLiteral("RefersToRange"), QStringLiteral("Name"));
    return std::make_shared<RangeImpl>(m_ctx, wb.findSheet(ref->sheet), ref->rect);
  }
  int areasCount() override {
    log(QStringLiteral("AreasCount"));
    const auto refs = parseSheetRefs(m_name->refersTo);
    const auto& wb = *m_ctx->state->workbook;
    const auto sheet = refs.empty() ? nullptr : wb.findSheet(refs.front().sheet);
    if (!sheet || sheet->type != excel::SheetType::Worksheet) return 0;
    for (const auto& ref : refs)
      if (wb.findSheet(ref.sheet) != sheet) return 0;
    return int(refs.size());
  }

 private:
  void log(const QString& member) {
    m_ctx->log->call(QStringLiteral("Name(%1).%2").arg(fullNameOf(*m_name), member));
  }
  Ctx m_ctx;
  std::shared_ptr<NameState> m_name;
};

class WorkbookImpl : public excel::Workbook {
 public:
  WorkbookImpl(Ctx ctx, std::shared_ptr<WorkbookState> wb) : m_ctx(std::move(ctx)), m_wb(std::move(wb)) {}
  QString name() override { return log(QStringLiteral("Name")), m_wb->name; }
  QString fullName() override { return log(QStringLiteral("FullName")), m_wb->fullName; }
  bool protectStructure() override { return log(QStringLiteral("ProtectStructure")), m_wb->protectStructure; }
  std::shared_ptr<excel::Application> application() override {
    log(QStringLiteral("Application"));
    return m_ctx->application.lock();
  }
  std::vector<std::shared_ptr<excel::Sheet>> sheets() override {
    log(QStringLiteral("Sheets"));
    return wrap([](const SheetState&) { return true; });
  }
  std::shared_ptr<excel::Sheet> sheet(int index) override {
    log(QStringLiteral("Sheets(%1)").arg(index));
    const auto all = live();
    if (index < 1 || index > int(all.size())) throw AutomationError::subscriptOutOfRange();
    return makeSheet(m_ctx, all[index - 1]);
  }
  std::shared_ptr<excel::Sheet> sheet(const QString& name) override {
    log(QStringLiteral("Sheets(%1)").arg(name));
    const auto s = m_wb->findSheet(name);
    if (!s) throw AutomationError::subscriptOutOfRange();
    return makeSheet(m_ctx, s);
  }
  std::vector<std::shared_ptr<excel::Sheet>> worksheets() override {
    log(QStringLiteral("Worksheets"));
    return wrap([](const SheetState& s) { return s.type == excel::SheetType::Worksheet; });
  }
  std::shared_ptr<excel::Sheet> worksheet(const QString& name) override {
    log(QStringLiteral("Worksheets(%1)").arg(name));
    const auto s = m_wb->findSheet(name);
    if (!s || s->type != excel::SheetType::Worksheet) throw AutomationError::subscriptOutOfRange();
    return makeSheet(m_ctx, s);
  }
  std::shared_ptr<excel::Sheet> worksheetsAdd() override {
    log(QStringLiteral("Worksheets.Add"));
    auto s = std::make_shared<SheetState>();
    for (int n = 1;; ++n) {
      const QString candidate = QStringLiteral("Sheet%1").arg(n);
      if (!m_wb->findSheet(candidate)) {
        s->name = candidate;
        break;
      }
    }
    m_wb->sheets.push_back(s);
    return makeSheet(m_ctx, s);
  }
  std::vector<std::shared_ptr<excel::Chart>> charts() override {
    log(QStringLiteral("Charts"));
    std::vector<std::shared_ptr<excel::Chart>> out;
    for (const auto& s : live())
      if (s->sheetChart) out.push_back(std::make_shared<ChartImpl>(m_ctx, s->sheetChart));
    return out;
  }
  std::shared_ptr<excel::Chart> chart(const QString& name) override {
    log(QStringLiteral("Charts(%1)").arg(name));
    const auto s = m_wb->findSheet(name);
    if (!s || !s->sheetChart) throw AutomationError::subscriptOutOfRange();
    return std::make_shared<ChartImpl>(m_ctx, s->sheetChart);
  }
  int namesCount() override { return log(QStringLiteral("Names.Count")), int(m_wb->names.size()); }
  std::vector<std::shared_ptr<excel::Name>> names() override {
    log(QStringLiteral("Names"));
    std::vector<std::shared_ptr<excel::Name>> out;
    for (const auto& n : m_wb->names) out.push_back(std::make_shared<NameImpl>(m_ctx, n));
    return out;
  }
  std::shared_ptr<excel::Name> name(int index) override {
    log(QStringLiteral("Names(%1)").arg(index));
    if (index < 1 || index > int(m_wb->names.size())) throw AutomationError::subscriptOutOfRange();
    return std::make_shared<NameImpl>(m_ctx, m_wb->names[index - 1]);
  }
  std::shared_ptr<excel::Name> name(const QString& name) override {
    log(QStringLiteral("Names(%1)").arg(name));
    for (const auto& n : m_wb->names)
      if (fullNameOf(*n).compare(name, Qt::CaseInsensitive) == 0) return std::make_shared<NameImpl>(m_ctx, n);
    for (const auto& n : m_wb->names)
      if (n->name.compare(name, Qt::CaseInsensitive) == 0) return std::make_shared<NameImpl>(m_ctx, n);
    throw failed(QStringLiteral("Names"), QStringLiteral("_Workbook"));
  }
  std::shared_ptr<excel::Name> namesAdd(const QString& name, const QString& refersToR1C1) override {
    log(QStringLiteral("Names.Add(%1,%2)").arg(name, refersToR1C1));
    const auto a1 = r1c1ToA1(refersToR1C1);
    if (!a1) throw failed(QStringLiteral("Add"), QStringLiteral("Names"));
    for (const auto& n : m_wb->names)
      if (n->localSheet.isEmpty() && n->name.compare(name, Qt::CaseInsensitive) == 0) {
        n->refersTo = *a1;
        return std::make_shared<NameImpl>(m_ctx, n);
      }
    auto n = std::make_shared<NameState>(NameState{name, QString(), *a1, false});
    m_wb->names.push_back(n);
    return std::make_shared<NameImpl>(m_ctx, n);
  }
  std::shared_ptr<excel::Sheet> activeSheet() override {
    log(QStringLiteral("ActiveSheet"));
    if (!m_wb->activeSheet) throw failed(QStringLiteral("ActiveSheet"), QStringLiteral("_Workbook"));
    return makeSheet(m_ctx, m_wb->activeSheet);
  }
  std::shared_ptr<excel::Chart> activeChart() override {
    log(QStringLiteral("ActiveChart"));
    if (!m_wb->activeChart) return nullptr;
    return std::make_shared<ChartImpl>(m_ctx, m_wb->activeChart);
  }
  // The double draws nothing ahead, and the hint is no member the program has: recorded
  // apart, so the runs' call logs stay those of the program.
  void prefetchPictures(const std::vector<excel::PictureHint>& objects,
                        excel::PictureUse) override {
    QStringList hint;
    for (const auto& object : objects) hint << object.sheet + QLatin1Char('|') + object.name;
    m_ctx->state->prefetches.push_back(hint);
  }

 private:
  void log(const QString& member) { m_ctx->log->call(QStringLiteral("Workbook.") + member); }
  std::vector<std::shared_ptr<SheetState>> live() const {
    std::vector<std::shared_ptr<SheetState>> out;
    for (const auto& s : m_wb->sheets)
      if (!s->deleted) out.push_back(s);
    return out;
  }
  template <typename Pred>
  std::vector<std::shared_ptr<excel::Sheet>> wrap(Pred pred) {
    std::vector<std::shared_ptr<excel::Sheet>> out;
    for (const auto& s : live())
      if (pred(*s)) out.push_back(makeSheet(m_ctx, s));
    return out;
  }
  Ctx m_ctx;
  std::shared_ptr<WorkbookState> m_wb;
};

class ApplicationImpl : public excel::Application {
 public:
  explicit ApplicationImpl(Ctx ctx) : m_ctx(std::move(ctx)) {}
  QString version() override { return log(QStringLiteral("Version")), m_ctx->state->version; }
  std::shared_ptr<excel::Workbook> activeWorkbook() override {
    log(QStringLiteral("ActiveWorkbook"));
    if (!m_ctx->state->workbook) return nullptr;
    return std::make_shared<WorkbookImpl>(m_ctx, m_ctx->state->workbook);
  }
  std::shared_ptr<excel::Sheet> worksheet(const QString& name) override {
    log(QStringLiteral("Worksheets(%1)").arg(name));
    const auto wb = m_ctx->state->workbook;
    const auto s = wb ? wb->findSheet(name) : nullptr;
    if (!s || s->type != excel::SheetType::Worksheet) throw AutomationError::subscriptOutOfRange();
    return makeSheet(m_ctx, s);
  }
  std::shared_ptr<excel::Chart> activeChart() override {
    log(QStringLiteral("ActiveChart"));
    const auto wb = m_ctx->state->workbook;
    if (!wb || !wb->activeChart) return nullptr;
    return std::make_shared<ChartImpl>(m_ctx, wb->activeChart);
  }
  void setActiveWindowVisible(bool visible) override {
    log(QStringLiteral("ActiveWindow.Visible=%1").arg(visible ? QStringLiteral("True") : QStringLiteral("False")));
    m_ctx->state->activeWindowVisible = visible;
  }
  double min(const std::vector<Variant>& values) override {
    log(QStringLiteral("WorksheetFunction.Min"));
    double m = std::numeric_limits<double>::infinity();
    for (const auto& v : values)
      if (v.isNumber()) m = std::min(m, v.number());
    return std::isinf(m) ? 0 : m;
  }
  double max(excel::Range& range) override {
    log(QStringLiteral("WorksheetFunction.Max"));
    auto* impl = dynamic_cast<RangeImpl*>(&range);
    if (!impl) throw AutomationError::typeMismatch();
    const auto sheet = range.worksheet();
    const int r1 = range.row(), c1 = range.column();
    const int r2 = r1 + range.rowsCount() - 1, c2 = c1 + range.columnsCount() - 1;
    const auto state = m_ctx->state->workbook->findSheet(sheet->name());
    double m = -std::numeric_limits<double>::infinity();
    for (const auto& [pos, v] : state->cells)
      if (pos.first >= r1 && pos.first <= r2 && pos.second >= c1 && pos.second <= c2 && v.isNumber())
        m = std::max(m, v.number());
    return std::isinf(m) ? 0 : m;
  }

 private:
  void log(const QString& member) { m_ctx->log->call(QStringLiteral("Application.") + member); }
  Ctx m_ctx;
};

}  // namespace

std::shared_ptr<excel::Application> makeExcel(std::shared_ptr<ExcelState> state, CallLog& log) {
  auto ctx = std::make_shared<Context>(Context{std::move(state), &log, {}});
  auto app = std::make_shared<ApplicationImpl>(ctx);
  ctx->application = app;
  return app;
}

}  // namespace morvane::fake
