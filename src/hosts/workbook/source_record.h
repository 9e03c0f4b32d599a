// The source records the workbook host's copies offer beside their pictures (kSourceMime).
#pragma once

#include <optional>

#include "hosts/workbook/objects.h"
#include "office/clipboard_formats.h"

namespace morvane::hosts::workbook {

// Chart object `object` of sheet `sheet`, or the chart sheet's chart (object < 0). An
// embedded chart's record holds its stable key, which it may take now.
office::SourceRecord chartSource(const HostPtr& host, int sheet, int object);
// A range is a workbook object only as a defined name's whole range: the first visible name
// (else hidden one) that refers to exactly these cells; nullopt when none does.
std::optional<office::SourceRecord> rangeSource(const HostPtr& host, int sheet, int firstRow,
                                                int firstColumn, int rows, int columns);

}  // namespace morvane::hosts::workbook
