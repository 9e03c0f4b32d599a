// The registry sheet kept inside the user's workbook, the workbook scan that keeps it in
// step (SyncRegistry) and the two start-up queries (WorksheetExists, CountObjects).
#pragma once

#include "office/excel.h"
#include "registry/object_table.h"

#include <QString>
#include <QStringList>

namespace morvane::registry {

inline const QString kRegistrySheet = QStringLiteral("kukukukuZichron");
inline const QString kRegistryName = QStringLiteral("kuku123");
inline const QString kRegistryRefersToR1C1 = QStringLiteral("=kukukukuZichron!C1:C8");
inline const QString kChartSheetMarker = QStringLiteral("{Chart Sheet}");
inline const QString kPicture = QStringLiteral("Picture");
inline const QString kExcelObject = QStringLiteral("Excel object");
inline const QString kYes = QStringLiteral("Y");
inline const QString kNo = QStringLiteral("N");

// Option cells of row 2.
inline constexpr int kOptionRow = 2;
inline constexpr int kModeColumn = 20;         // T2: TRUE title mode, FALSE slide-number mode
inline constexpr int kLeftColumn = 10;         // J2
inline constexpr int kTopColumn = 12;          // L2
inline constexpr int kMaxWidthColumn = 15;     // O2
inline constexpr int kMaxHeightColumn = 16;    // P2

// The counts the scan and the start-up count share (16-bit, overflow past 32767).
struct Counts {
  office::Int16 objectCount;
  office::Int16 knownObjectCount;
};

// True when the workbook has a worksheet of that name (letter case ignored) with a
// non-empty name; false otherwise, also when the lookup fails. Never throws.
bool WorksheetExists(excel::Workbook& workbook, const QString& name);

// Counts embedded charts, chart sheets and every defined name but kuku123 (hidden ones and
// names to no range included) into counts.objectCount; knownObjectCount follows.
// Throws AutomationError on a failing call or past 32767 objects.
void CountObjects(excel::Workbook& workbook, Counts& counts);

// Rebuilds `table` from the workbook: embedded charts (worksheets in Sheets order, charts in
// drawing order), chart sheets, then visible names that refer to a range, each recognised
// against the registry sheet (include flag and numerator taken from it) or given defaults;
// fills an empty registry with the whole table (numerators 1..n) or appends the newly met
// objects below a filled one with the next numerator. `listColumnCount` is the main window
// list's column count (8), the number of columns a first fill writes.
// REQUIRES: the registry sheet exists. Throws AutomationError on a failing call (a name
// whose RefersToRange fails is passed over, not an error) or past 32767 objects.
void SyncRegistry(excel::Workbook& workbook, ObjectTable& table, Counts& counts,
                  int listColumnCount = kObjectColumns);
// The same scan, which also tells the tool what it left out: `leftOut` becomes the visible
// names (kuku123 aside) that refer to several areas, in Names order. They are no object of
// the list, as every picture is drawn from one area. Costs one more call per such name.
void SyncRegistry(excel::Workbook& workbook, ObjectTable& table, Counts& counts,
                  QStringList& leftOut);

}  // namespace morvane::registry
