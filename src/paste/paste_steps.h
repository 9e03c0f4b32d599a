// The copy and paste calls the three paste commands share. Each throws AutomationError
// from the failing call.
#pragma once

#include <QString>
#include <optional>
#include <utility>
#include <vector>

#include "office/clipboard_formats.h"
#include "office/excel.h"
#include "office/powerpoint.h"
#include "startup/tool.h"

namespace morvane::paste {

enum class ObjectKind { NamedRange, ChartSheet, EmbeddedChart };

// The kind a list row's name stands for, by the selection handler's rule: "{Chart Sheet}" a
// chart sheet, a name beginning "Chart " (with the blank) an embedded chart, anything else
// a named range. Exact and case-sensitive.
ObjectKind objectKind(const QString& name);

// Tells the workbook which list rows' pictures a run will copy, in the run's order and
// format, so it may draw them ahead; ends the look-ahead when the run ends, however it ends
// (a cancel included), so nothing is drawn for rows the run will not reach.
class PictureLookAhead {
 public:
  // `rows`: the list rows (name, sheet) the run will visit. Without a workbook it does nothing.
  PictureLookAhead(excel::Workbook* workbook, const std::vector<std::pair<QString, QString>>& rows,
                   excel::PictureUse use);
  ~PictureLookAhead();
  PictureLookAhead(const PictureLookAhead&) = delete;
  PictureLookAhead& operator=(const PictureLookAhead&) = delete;

 private:
  excel::Workbook* m_workbook;
  excel::PictureUse m_use;
};
// The forms a run reads of its pictures: the metafile for "Enhanced Metafile", else the bitmap
// and its PNG; with the SVG override the SVG and its PNG.
excel::PictureUse pasteUse(const QString& pasteFormat, startup::PictureOverride override);

// The picture paste call: PasteSpecial(ppPasteEnhancedMetafile) for "Enhanced Metafile",
// else PasteSpecial(ppPasteBitmap), onto the slide the active window shows; with the SVG
// override, PasteSpecial(ppPasteSVG) whatever the paste format.
void pastePicture(ppt::Application& app, const QString& pasteFormat,
                  startup::PictureOverride override);

// Puts the row's object on the clipboard natively (chart area or range copy) through the
// start-up workbook. `selectRangeSheet`: select a named range's sheet before copying.
void copyExcelObject(excel::Workbook& workbook, const QString& name, const QString& sheet,
                     bool selectRangeSheet);

// True when `source`, a copy's source record, names the list row `name`/`sheet` of the
// workbook `workbookName` (a chart sheet's row by its sheet alone).
bool isCopyOf(const std::optional<office::SourceRecord>& source, const QString& workbookName,
              const QString& name, const QString& sheet);

// The alternative text a pasted object gets: its slide title when it has one, else its name
// and sheet ("Chart 1, Sales"; a chart sheet is "Chart sheet, Overview").
QString alternativeText(const QString& name, const QString& sheet, const QString& title = {});
// Sets the AlternativeText of the selected shape (the object just pasted and placed).
void describeSelected(ppt::Application& app, const QString& text);

// PasteSpecial(ppPasteDefault) when the presentation program's Version reads 12, else
// PasteSpecial(ppPasteOLEObject).
void pasteExcelObjectByVersion(ppt::Application& app);
// PasteSpecial(ppPasteOLEObject).
void pasteExcelObject(ppt::Application& app);

}  // namespace morvane::paste
