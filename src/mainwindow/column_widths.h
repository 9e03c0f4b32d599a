// Column widths as the list's design text gives them ("3 cm;4 cm;0 cm"), turned into pixels.
#pragma once

#include <QString>

#include <vector>

namespace morvane::mainwindow {

// Pixels for one length: "3 cm", "1.5cm", "20 pt", "1 in", or a bare number of points, at
// `dpi` pixels per inch (rounded to the nearest pixel). nullopt-like -1 when unreadable.
int lengthToPixels(const QString& length, double dpi);
// One width per ';'-separated entry; an unreadable entry gives -1 (the caller keeps the
// column as it is). Units as lengthToPixels. "." is the decimal separator.
std::vector<int> columnWidthsFromText(const QString& text, double dpi);
// Centimetres to pixels at `dpi`, rounded.
int cmToPixels(double cm, double dpi);

}  // namespace morvane::mainwindow
