// The spreadsheet automation surface: the members of the spreadsheet program's object model
// the tool uses, as abstract interfaces. Implemented by the workbook host over an .xlsx file
// and by the in-memory office double in the tests.
//
// Objects are reference-counted handles (std::shared_ptr), as automation references are;
// a handle stays valid after its object is deleted from the workbook, and calls on it then
// fail. Every member may throw office::AutomationError; callers decide what follows.
// Collections are 1-based where they take an index. Names are matched case-insensitively
// by lookups (Worksheets("x"), ChartObjects("x"), Names("x")), as the program does.
// A copy (Copy, CopyPicture, ChartArea.Copy) that cannot make the object's picture throws
// AutomationError::invalidPicture() and leaves the clipboard empty, so no earlier picture
// can be pasted in its place; it knows this before anything reads the clipboard.
#pragma once

#include "office/variant.h"

#include <QString>

#include <memory>
#include <vector>

namespace morvane::excel {

using office::Variant;

// XlPictureAppearance, XlPictureSize (Appearance and Size arguments of CopyPicture).
constexpr int xlScreen = 1;
constexpr int xlPrinter = 2;
// XlCopyPictureFormat (Format argument of CopyPicture).
constexpr int xlPicture = -4147;  // an enhanced metafile
constexpr int xlBitmap = 2;
// This platform's addition, which the program's enumeration lacks: an SVG picture with its
// PNG fallback beside it (kSvgMime and the bitmap), the vector form modern presentation
// programs take. Only the batch front end asks for it.
constexpr int xlSvg = 100;
// XlFindLookIn.
constexpr int xlValues = -4163;
constexpr int xlFormulas = -4123;
// XlSheetVisibility.
constexpr int xlSheetVisible = -1;
constexpr int xlSheetHidden = 0;
constexpr int xlSheetVeryHidden = 2;

class Application;
class Workbook;
class Sheet;
class ChartObject;
class Chart;
class Range;
class Name;

enum class SheetType { Worksheet, ChartSheet, Other };

// This platform's addition: an object a run is about to copy (Workbook::prefetchPictures),
// named as the tool's list names it.
struct PictureHint {
  enum class Kind { EmbeddedChart, ChartSheet, Name };
  Kind kind = Kind::Name;
  QString sheet;  // the worksheet holding the chart, or the chart sheet
  QString name;   // the chart object's or the defined name's; empty for a chart sheet
};
// The picture forms the run will read of the copies it announces: EncodedBitmap the bitmap
// and its PNG, Jpeg the bitmap and its JPEG (office::kJpegMime).
enum class PictureUse { Metafile, Bitmap, EncodedBitmap, Svg, Jpeg };

class Range {
 public:
  virtual ~Range() = default;
  // Value of the range's first cell; an empty cell reads as an empty Variant.
  virtual Variant value() = 0;
  // Sets every cell of the range. A numeric text stays text in a text-formatted ("@")
  // cell and becomes a number elsewhere, as typing it would.
  virtual void setValue(const Variant& value) = 0;
  // Absolute A1 address, "$A$1" or "$A$1:$C$5".
  virtual QString address() = 0;
  virtual int row() = 0;
  virtual int column() = 0;
  virtual int rowsCount() = 0;
  virtual int columnsCount() = 0;
  // The block of non-empty cells around the range's first cell, bounded by empty rows and
  // columns; the first cell alone when it and its neighbours are empty.
  virtual std::shared_ptr<Range> currentRegion() = 0;
  virtual std::shared_ptr<Sheet> worksheet() = 0;
  // The format of the first cell.
  virtual QString numberFormat() = 0;
  virtual void setNumberFormat(const QString& format) = 0;
  // Native copy of the range to the clipboard (and its pictures).
  virtual void copy() = 0;
  virtual void copyPicture(int appearance, int format) = 0;
  // First cell whose value contains `what` (case-insensitive, part of the cell), searching
  // by rows from the cell after the first one and wrapping round; nullptr when none matches.
  virtual std::shared_ptr<Range> find(const Variant& what, int lookIn) = 0;
};

class Name {
 public:
  virtual ~Name() = default;
  // The name as the program reports it: "Area", or "Sheet2!Area" for a sheet-level name.
  virtual QString name() = 0;
  virtual bool visible() = 0;
  // The formula text, "=Sheet1!$A$1:$C$5".
  virtual QString refersTo() = 0;
  // The range the name refers to. Throws when it refers to no range (a constant, a formula,
  // another workbook, #REF!, a sheet that does not exist) and when it refers to several
  // areas, which no picture operation here draws.
  virtual std::shared_ptr<Range> refersToRange() = 0;
  // RefersToRange.Areas.Count as the program would give it: 1 for one area, n for a union
  // of n areas of one worksheet ("Data!$A$1:$A$2,Data!$C$1:$C$2"), 0 when the name refers
  // to no range (a union over several sheets included).
  virtual int areasCount() = 0;
};

class Chart {
 public:
  virtual ~Chart() = default;
  // A chart sheet's name, or the embedded chart's own name.
  virtual QString name() = 0;
  // ChartArea.Copy: the chart on the clipboard as a native object and as pictures.
  virtual void chartAreaCopy() = 0;
  virtual void copyPicture(int appearance, int size, int format) = 0;
  // The chart object that holds an embedded chart. Throws for a chart sheet's chart.
  virtual std::shared_ptr<ChartObject> parent() = 0;
};

class ChartObject {
 public:
  virtual ~ChartObject() = default;
  virtual QString name() = 0;
  virtual void setName(const QString& name) = 0;
  // Makes this chart the application's and the workbook's ActiveChart.
  virtual void activate() = 0;
  virtual std::shared_ptr<Chart> chart() = 0;
  // This platform's addition: a key that follows the chart through renames, moves and the
  // deletion of other charts, so a pasted copy can find its chart again. The frame's
  // creation id ("{GUID}") when office programs gave it one, else one the workbook takes
  // now and keeps when it is saved. Never empty; the same on every call.
  virtual QString stableKey() = 0;
};

// A worksheet or a chart sheet (Sheets collection item). Worksheet-only members throw
// AutomationError::notSupported() on a chart sheet.
class Sheet {
 public:
  virtual ~Sheet() = default;
  virtual SheetType type() = 0;
  virtual QString name() = 0;
  virtual void setName(const QString& name) = 0;
  virtual int visible() = 0;
  virtual void setVisible(int visibility) = 0;
  // Makes the sheet the workbook's active sheet (a chart sheet also becomes ActiveChart).
  virtual void select() = 0;

  // Worksheets: the chart objects in the sheet's order.
  virtual std::vector<std::shared_ptr<ChartObject>> chartObjects() = 0;
  // Throws when no chart object has that name.
  virtual std::shared_ptr<ChartObject> chartObject(const QString& name) = 0;
  virtual std::shared_ptr<Range> cells(int row, int column) = 0;
  // An A1 address ("A1", "b1:b10000", "$A$1:$C$5") or a defined name visible from this sheet.
  virtual std::shared_ptr<Range> range(const QString& addressOrName) = 0;
  // Whole columns, "D:D" or "A:H".
  virtual std::shared_ptr<Range> columns(const QString& address) = 0;

  // Chart sheets: the sheet's chart. Throws on a worksheet.
  virtual std::shared_ptr<Chart> chart() = 0;
};

class Workbook {
 public:
  virtual ~Workbook() = default;
  virtual QString name() = 0;      // file name, "Book.xlsx"
  virtual QString fullName() = 0;  // path and file name; the bare name when never saved
  virtual bool protectStructure() = 0;
  virtual std::shared_ptr<Application> application() = 0;

  // Sheets: every sheet in tab order.
  virtual std::vector<std::shared_ptr<Sheet>> sheets() = 0;
  // Sheets(index) from 1, Sheets(name). Throws subscript out of range when missing.
  virtual std::shared_ptr<Sheet> sheet(int index) = 0;
  virtual std::shared_ptr<Sheet> sheet(const QString& name) = 0;
  // Worksheets only, in tab order; Worksheets(name) throws when no worksheet has the name.
  virtual std::vector<std::shared_ptr<Sheet>> worksheets() = 0;
  virtual std::shared_ptr<Sheet> worksheet(const QString& name) = 0;
  // Worksheets.Add with no arguments: a new, empty worksheet.
  virtual std::shared_ptr<Sheet> worksheetsAdd() = 0;
  // Charts: the chart sheets' charts in tab order; Charts(name) throws when missing.
  virtual std::vector<std::shared_ptr<Chart>> charts() = 0;
  virtual std::shared_ptr<Chart> chart(const QString& name) = 0;

  virtual int namesCount() = 0;
  virtual std::vector<std::shared_ptr<Name>> names() = 0;
  virtual std::shared_ptr<Name> name(int index) = 0;
  virtual std::shared_ptr<Name> name(const QString& name) = 0;
  // Names.Add(Name:=, RefersToR1C1:=), a workbook-level name; "=Sheet!C1:C8" style.
  virtual std::shared_ptr<Name> namesAdd(const QString& name, const QString& refersToR1C1) = 0;

  virtual std::shared_ptr<Sheet> activeSheet() = 0;
  // nullptr when no chart is active.
  virtual std::shared_ptr<Chart> activeChart() = 0;

  // This platform's addition: the objects a run will copy next, in the order it will copy
  // them, so the workbook may draw their pictures ahead, on other threads. The copies behave
  // exactly as without the hint (same pictures, same errors, raised by the copy). A later
  // call replaces the hint; an empty list ends the look-ahead at once, dropping what was
  // drawn. Objects that do not exist are ignored here (their copies fail as ever).
  virtual void prefetchPictures(const std::vector<PictureHint>& objects, PictureUse use) = 0;
};

class Application {
 public:
  virtual ~Application() = default;
  virtual QString version() = 0;  // "16.0"
  // nullptr when no workbook is open.
  virtual std::shared_ptr<Workbook> activeWorkbook() = 0;
  // Worksheets(name) of the active workbook.
  virtual std::shared_ptr<Sheet> worksheet(const QString& name) = 0;
  virtual std::shared_ptr<Chart> activeChart() = 0;
  // ActiveWindow.Visible.
  virtual void setActiveWindowVisible(bool visible) = 0;
  // WorksheetFunction.Min over plain values.
  virtual double min(const std::vector<Variant>& values) = 0;
  // WorksheetFunction.Max over a range: texts and empty cells ignored; 0 with no number.
  virtual double max(Range& range) = 0;
};

}  // namespace morvane::excel
