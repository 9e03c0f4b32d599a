#include "paste/paste_steps.h"

#include "office/automation_error.h"
#include "registry/registry.h"

#include <QLocale>

namespace morvane::paste {

using namespace ppt;

ObjectKind objectKind(const QString& name) {
  if (name == registry::kChartSheetMarker) return ObjectKind::ChartSheet;
  if (name.startsWith(QStringLiteral("Chart "), Qt::CaseSensitive)) return ObjectKind::EmbeddedChart;
  return ObjectKind::NamedRange;
}

PictureLookAhead::PictureLookAhead(excel::Workbook* workbook,
                                   const std::vector<std::pair<QString, QString>>& rows,
                                   excel::PictureUse use)
    : m_workbook(workbook), m_use(use) {
  if (!m_workbook) return;
  using Kind = excel::PictureHint::Kind;
  std::vector<excel::PictureHint> hints;
  hints.reserve(rows.size());
  for (const auto& [name, sheet] : rows) {
    switch (objectKind(name)) {
      case ObjectKind::ChartSheet:
        hints.push_back({Kind::ChartSheet, sheet, QString()});
        break;
      case ObjectKind::EmbeddedChart:
        hints.push_back({Kind::EmbeddedChart, sheet, name});
        break;
      case ObjectKind::NamedRange:
        hints.push_back({Kind::Name, sheet, name});
        break;
    }
  }
  m_workbook->prefetchPictures(hints, m_use);
}

PictureLookAhead::~PictureLookAhead() {
  if (!m_workbook) return;
  try {
    m_workbook->prefetchPictures({}, m_use);
  } catch (const office::AutomationError&) {
    // Ending a look-ahead has nothing to report; a failing workbook shows it on its next call.
  }
}

excel::PictureUse pasteUse(const QString& pasteFormat, startup::PictureOverride override) {
  if (override == startup::PictureOverride::Svg) return excel::PictureUse::Svg;
  return pasteFormat == QLatin1String("Enhanced Metafile") ? excel::PictureUse::Metafile
                                                           : excel::PictureUse::EncodedBitmap;
}

namespace {

void paste(Application& app, int dataType) {
  app.activeWindow()->view()->pasteSpecial(dataType, msoFalse, QString(), 0, QString(), msoFalse);
}

void copyActiveChart(excel::Workbook& workbook) {
  const auto chart = workbook.activeChart();
  if (!chart)
    throw office::AutomationError(office::AutomationError::kObjectRequired, QStringLiteral("Object required"));
  chart->chartAreaCopy();
}

}  // namespace

void pastePicture(Application& app, const QString& pasteFormat, startup::PictureOverride override) {
  if (override == startup::PictureOverride::Svg) return paste(app, ppPasteSVG);
  paste(app, pasteFormat == QLatin1String("Enhanced Metafile") ? ppPasteEnhancedMetafile : ppPasteBitmap);
}

void copyExcelObject(excel::Workbook& workbook, const QString& name, const QString& sheet,
                     bool selectRangeSheet) {
  switch (objectKind(name)) {
    case ObjectKind::ChartSheet:
      workbook.sheet(sheet)->select();
      copyActiveChart(workbook);
      return;
    case ObjectKind::EmbeddedChart:
      workbook.sheet(sheet)->chartObject(name)->activate();
      copyActiveChart(workbook);
      return;
    case ObjectKind::NamedRange:
      if (selectRangeSheet) workbook.sheet(sheet)->select();
      workbook.sheet(sheet)->range(name)->copy();
      return;
  }
}

bool isCopyOf(const std::optional<office::SourceRecord>& source, const QString& workbookName,
              const QString& name, const QString& sheet) {
  if (!source || source->workbook != workbookName || source->sheet != sheet) return false;
  switch (objectKind(name)) {
    case ObjectKind::ChartSheet:
      return source->kind == office::SourceRecord::Kind::ChartSheet;
    case ObjectKind::EmbeddedChart:
      return source->kind == office::SourceRecord::Kind::Chart && source->name == name;
    case ObjectKind::NamedRange:
      return source->kind == office::SourceRecord::Kind::Range && source->name == name;
  }
  return false;
}

QString alternativeText(const QString& name, const QString& sheet, const QString& title) {
  if (!title.trimmed().isEmpty()) return title;
  const QString object =
      objectKind(name) == ObjectKind::ChartSheet ? QStringLiteral("Chart sheet") : name;
  return object + QStringLiteral(", ") + sheet;
}

void describeSelected(Application& app, const QString& text) {
  app.activeWindow()->selection()->shapeRange()->setAlternativeText(text);
}

void pasteExcelObjectByVersion(Application& app) {
  const double version = office::toDouble(app.version(), QLocale::c());
  paste(app, version == 12 ? ppPasteDefault : ppPasteOLEObject);
}

void pasteExcelObject(Application& app) { paste(app, ppPasteOLEObject); }

}  // namespace morvane::paste
