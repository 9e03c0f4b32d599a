// WorkbookDocument: an .xlsx package and the model read from it, edited in memory and saved
// back. A save rewrites only the parts an edit touched (workbook, styles, the edited sheets,
// drawings whose chart names changed, new sheets) and copies every other part byte for byte.
// The edits are plain model operations; the rules a spreadsheet program applies before it
// allows one (valid sheet names, last visible sheet, ...) are the caller's.
// Not thread-safe; one owner.
#pragma once

#include "ooxml/package.h"
#include "ooxml/xlsx/workbook_model.h"

#include <QString>

#include <map>
#include <memory>
#include <set>

namespace morvane::ooxml::xlsx {

class WorkbookDocument {
 public:
  // Opens and reads `path`. Fails with the package's or the reader's error, one line that
  // names the file and the problem.
  static Result<std::unique_ptr<WorkbookDocument>> open(const QString& path, const Limits& limits = {});
  // Reads a package already in memory (its displayName names it in messages).
  static Result<std::unique_ptr<WorkbookDocument>> fromPackage(std::unique_ptr<Package> package);

  const WorkbookModel& model() const { return m_model; }
  const Package& package() const { return *m_package; }

  // Appends an empty worksheet after the last sheet and returns its index.
  // REQUIRES: `name` is not used by another sheet.
  int addWorksheet(const QString& name);
  // Renames sheet `index`; defined names that refer to one area of it follow the new name.
  void renameSheet(int index, const QString& name);
  void setSheetState(int index, SheetEntry::State state);
  // Adds a defined name, or replaces the formula of the one with the same name and scope.
  // Returns its index in model().names.
  int setDefinedName(const QString& name, const QString& formula, std::optional<int> localSheetId = {});
  // Sets a cell's value, keeping its style; a formula the cell had is dropped.
  // REQUIRES: sheet `sheet` is a worksheet; row and column within the sheet's bounds.
  void setCellValue(int sheet, int row, int column, const CellValue& value);
  // Gives one cell its own style index.
  void setCellStyle(int sheet, int row, int column, int style);
  // Gives columns first..last a column style, splitting <col> entries as needed; their
  // width and other settings stay.
  void setColumnsStyle(int sheet, int firstColumn, int lastColumn, int style);
  // A cell format equal to `baseXf` but with number format `code`: an existing identical one,
  // else a new one (adding a custom number format when `code` is not built in).
  int cellFormatWithNumberFormat(int baseXf, const QString& code);
  // Renames the chart object at `objectIndex` of the sheet's drawing (its cNvPr name).
  void renameDrawingObject(int sheet, int objectIndex, const QString& name);
  // Gives the chart frame at `objectIndex` a creation id, written into its cNvPr extension
  // list when the workbook is saved. REQUIRES: the frame has none (creationId is empty).
  void setDrawingCreationId(int sheet, int objectIndex, const QString& id);

  // True when an edit has not been saved yet.
  bool isModified() const;
  // Writes the workbook to `path` atomically. On failure the file at `path` is untouched, the
  // error names it, and the document keeps its edits (a later save writes them again).
  Status save(const QString& path);

 private:
  WorkbookDocument() = default;
  Status applyEditsToPackage();

  struct SheetEdits {
    std::set<std::pair<int, int>> cells;  // cells whose value or style changed
    bool columns = false;                 // <cols> must be rewritten
  };
  struct NewCellFormat {
    int base = 0;
    int numFmtId = 0;
  };

  std::unique_ptr<Package> m_package;
  WorkbookModel m_model;
  bool m_workbookEdited = false;
  bool m_unsavedInPackage = false;     // edits written into the package, not yet to a file
  bool m_needsStylesPart = false;        // the package had no styles part
  size_t m_savedSheetCount = 0;          // sheets the workbook part already lists
  size_t m_savedNameCount = 0;           // definedName elements already in the part
  std::set<int> m_editedNames;           // indices of existing names whose formula changed
  std::map<int, SheetEdits> m_sheetEdits;
  std::vector<NewCellFormat> m_newCellFormats;  // appended after m_savedCellFormatCount
  size_t m_savedCellFormatCount = 0;
  std::map<int, QString> m_newNumberFormats;
  // drawing part -> indices of the objects renamed or given a creation id
  std::map<QString, std::set<int>> m_renamedDrawingObjects;

  friend class WorkbookDocumentWriter;
};

}  // namespace morvane::ooxml::xlsx
