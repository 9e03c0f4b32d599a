#include "ooxml/xlsx/styles_model.h"

#include <QHash>

namespace morvane::ooxml::xlsx {

namespace {

const QHash<int, QString>& builtIns() {
  // The ids every producer may use without declaring them (ECMA-376 18.8.30, en-US codes).
  static const QHash<int, QString> table = {
      {0, QStringLiteral("General")},
      {1, QStringLiteral("0")},
      {2, QStringLiteral("0.00")},
      {3, QStringLiteral("#,##0")},
      {4, QStringLiteral("#,##0.00")},
      {9, QStringLiteral("0%")},
      {10, QStringLiteral("0.00%")},
      {11, QStringLiteral("0.00E+00")},
      {12, QStringLiteral("# ?/?")},
      {13, QStringLiteral("# ?\?/?\?")},
      {14, QStringLiteral("m/d/yyyy")},
      {15, QStringLiteral("d-mmm-yy")},
      {16, QStringLiteral("d-mmm")},
      {17, QStringLiteral("mmm-yy")},
      {18, QStringLiteral("h:mm AM/PM")},
      {19, QStringLiteral("h:mm:ss AM/PM")},
      {20, QStringLiteral("h:mm")},
      {21, QStringLiteral("h:mm:ss")},
      {22, QStringLiteral("m/d/yyyy h:mm")},
      {37, QStringLiteral("#,##0 ;(#,##0)")},
      {38, QStringLiteral("#,##0 ;[Red](#,##0)")},
      {39, QStringLiteral("#,##0.00;(#,##0.00)")},
      {40, QStringLiteral("#,##0.00;[Red](#,##0.00)")},
      {45, QStringLiteral("mm:ss")},
      {46, QStringLiteral("[h]:mm:ss")},
      {47, QStringLiteral("mmss.0")},
      {48, QStringLiteral("##0.0E+0")},
      {49, QStringLiteral("@")},
  };
  return table;
}

}  // namespace

QString builtInFormatCode(int numFmtId) { return builtIns().value(numFmtId); }

std::optional<int> builtInFormatId(const QString& code) {
  for (auto it = builtIns().cbegin(); it != builtIns().cend(); ++it) {
    if (it.value().compare(code, Qt::CaseInsensitive) == 0) return it.key();
  }
  return std::nullopt;
}

bool CellFormat::operator==(const CellFormat& o) const {
  const auto& a = alignment;
  const auto& b = o.alignment;
  return numFmtId == o.numFmtId && fontId == o.fontId && fillId == o.fillId &&
         borderId == o.borderId && xfId == o.xfId && applyNumberFormat == o.applyNumberFormat &&
         hasAlignment == o.hasAlignment && a.horizontal == b.horizontal &&
         a.vertical == b.vertical && a.wrapText == b.wrapText &&
         a.shrinkToFit == b.shrinkToFit && a.indent == b.indent &&
         a.textRotation == b.textRotation;
}

QString Styles::formatCode(int numFmtId) const {
  const auto it = numberFormats.find(numFmtId);
  if (it != numberFormats.end()) return it->second;
  const QString code = builtInFormatCode(numFmtId);
  return code.isEmpty() ? QStringLiteral("General") : code;
}

QString Styles::formatCodeOfXf(int xfIndex) const {
  if (xfIndex < 0 || xfIndex >= int(cellFormats.size())) return QStringLiteral("General");
  return formatCode(cellFormats[size_t(xfIndex)].numFmtId);
}

Font Styles::fontOfXf(int xfIndex) const {
  if (xfIndex >= 0 && xfIndex < int(cellFormats.size())) {
    const int f = cellFormats[size_t(xfIndex)].fontId;
    if (f >= 0 && f < int(fonts.size())) return fonts[size_t(f)];
  }
  return defaultFont();
}

Font Styles::defaultFont() const { return fonts.empty() ? Font{} : fonts.front(); }

}  // namespace morvane::ooxml::xlsx
