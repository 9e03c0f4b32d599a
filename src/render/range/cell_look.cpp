#include "render/range/cell_look.h"

#include <QHash>
#include <algorithm>
#include <cmath>

#include "emf/font_stand_ins.h"

namespace morvane::render::range {

namespace {

using ooxml::xlsx::Color;

QColor applyTint(const QColor& c, double tint) {
  if (tint == 0 || !std::isfinite(tint)) return c;
  tint = std::clamp(tint, -1.0, 1.0);
  float h = 0, s = 0, l = 0, a = 1;
  c.getHslF(&h, &s, &l, &a);
  l = tint < 0 ? float(l * (1 + tint)) : float(l * (1 - tint) + tint);
  return QColor::fromHslF(h, s, std::clamp(l, 0.0f, 1.0f), a);
}

QColor indexedColor(int index, const QColor& fallback) {
  if (index >= 0 && index <= 7) return numfmt::defaultPaletteColor(index + 1).value_or(fallback);
  if (index >= 8 && index <= 63) return numfmt::defaultPaletteColor(index - 7).value_or(fallback);
  if (index == 65) return Qt::white;  // system background
  return fallback;                    // 64, 81: system text; others unknown
}

// Weight and line of each border style, heaviest first: the program keeps the heavier edge
// where two cells' borders meet.
const QHash<QString, int>& ranks() {
  static const QHash<QString, int> table = {
      {"thick", 13}, {"double", 12}, {"medium", 11}, {"mediumDashed", 10},
      {"mediumDashDot", 9}, {"mediumDashDotDot", 8}, {"slantDashDot", 7}, {"thin", 6},
      {"dashed", 5}, {"dotted", 4}, {"dashDot", 3}, {"dashDotDot", 2}, {"hair", 1},
  };
  return table;
}

BorderLine borderLine(const ooxml::xlsx::BorderEdge& edge, const std::array<QColor, 12>& theme) {
  BorderLine line;
  line.rank = borderRank(edge.style);
  if (line.rank == 0) return line;
  line.style = edge.style;
  line.color = resolveCellColor(edge.color, theme, Qt::black);
  return line;
}

// Share of foreground a pattern shows; the picture approximates patterns by a blend.
double patternDensity(const QString& pattern) {
  static const QHash<QString, double> table = {
      {"darkGray", 0.75}, {"mediumGray", 0.5}, {"lightGray", 0.25}, {"gray125", 0.125},
      {"gray0625", 0.0625}, {"darkHorizontal", 0.5}, {"darkVertical", 0.5}, {"darkDown", 0.5},
      {"darkUp", 0.5}, {"darkGrid", 0.75}, {"darkTrellis", 0.75}, {"lightHorizontal", 0.25},
      {"lightVertical", 0.25}, {"lightDown", 0.25}, {"lightUp", 0.25}, {"lightGrid", 0.44},
      {"lightTrellis", 0.44},
  };
  return table.value(pattern, 0.5);
}

std::optional<QColor> fillColor(const ooxml::xlsx::Fill& fill, const std::array<QColor, 12>& theme) {
  if (fill.isGradient) return QColor(Qt::lightGray);  // gradients are only flagged by the model
  if (fill.patternType.isEmpty() || fill.patternType == QLatin1String("none")) return std::nullopt;
  const QColor fg = resolveCellColor(fill.foreground, theme, Qt::black);
  if (fill.patternType == QLatin1String("solid")) return fg;
  const QColor bg = resolveCellColor(fill.background, theme, Qt::white);
  const double d = patternDensity(fill.patternType);
  return QColor::fromRgbF(float(fg.redF() * d + bg.redF() * (1 - d)), float(fg.greenF() * d + bg.greenF() * (1 - d)),
                          float(fg.blueF() * d + bg.blueF() * (1 - d)));
}

}  // namespace

int borderRank(const QString& style) { return ranks().value(style, 0); }

QColor resolveCellColor(const Color& color, const std::array<QColor, 12>& theme, const QColor& fallback) {
  QColor base;
  if (!color.rgb.isEmpty()) {
    bool ok = false;
    const uint argb = color.rgb.right(6).toUInt(&ok, 16);
    if (ok) base = QColor::fromRgb(QRgb(argb | 0xff000000u));
  } else if (color.theme) {
    int slot = *color.theme;
    if (slot >= 0 && slot < 4) slot ^= 1;
    if (slot >= 0 && slot < int(theme.size())) base = theme[size_t(slot)];
  } else if (color.indexed) {
    base = indexedColor(*color.indexed, fallback);
  }
  if (!base.isValid()) return fallback;
  return applyTint(base, color.tint);
}

CellLooks::CellLooks(const ooxml::xlsx::Styles& styles, const std::array<QColor, 12>& theme)
    : m_styles(styles), m_theme(theme) {}

const CellLook& CellLooks::look(int style) {
  auto it = m_cache.find(style);
  if (it == m_cache.end()) it = m_cache.emplace(style, build(style)).first;
  return it->second;
}

CellLook CellLooks::build(int style) const {
  CellLook look;
  ooxml::xlsx::CellFormat xf;
  if (style >= 0 && style < int(m_styles.cellFormats.size())) xf = m_styles.cellFormats[size_t(style)];
  const ooxml::xlsx::Font font = m_styles.fontOfXf(style);
  look.font = emf::officeFont(font.name);
  look.font.setPointSizeF(std::isfinite(font.size) ? std::clamp(font.size, 1.0, 409.0) : 11.0);
  look.font.setBold(font.bold);
  look.font.setItalic(font.italic);
  look.font.setUnderline(!font.underline.isEmpty());
  look.font.setStrikeOut(font.strike);
  look.doubleUnderline = font.underline.startsWith(QLatin1String("double"));
  look.textColor = resolveCellColor(font.color, m_theme, Qt::black);
  if (xf.fillId >= 0 && xf.fillId < int(m_styles.fills.size()))
    look.fill = fillColor(m_styles.fills[size_t(xf.fillId)], m_theme);
  if (xf.borderId >= 0 && xf.borderId < int(m_styles.borders.size())) {
    const auto& b = m_styles.borders[size_t(xf.borderId)];
    look.left = borderLine(b.left, m_theme);
    look.right = borderLine(b.right, m_theme);
    look.top = borderLine(b.top, m_theme);
    look.bottom = borderLine(b.bottom, m_theme);
  }
  look.alignment = xf.alignment;
  look.format = numfmt::NumberFormat::parse(m_styles.formatCodeOfXf(style));
  return look;
}

}  // namespace morvane::render::range
