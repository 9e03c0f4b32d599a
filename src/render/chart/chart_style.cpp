#include "render/chart/chart_style.h"

#include "render/chart/fill_pattern.h"

#include <QLinearGradient>

#include <algorithm>
#include <cmath>

namespace morvane::render::chart {

using ooxml::chart::ChartKind;
using ooxml::chart::Fill;

namespace {

// Shade or tint `base` for item `index` of `count`: darkest first, lightest last. The spread
// grows with the count; two series give about a 24 % shade and a 23 % tint, as the
// program's monochrome styles show.
QColor monochrome(const QColor& base, int index, int count) {
  if (count <= 1) return base;
  const double spread = std::min(0.7, 0.12 * count);
  const double f = -spread + 2 * spread * double(index % count) / double(count - 1);
  if (std::abs(f) < 1e-9) return base;
  return f < 0 ? ooxml::chart::applyColorModifier(base, "shade", int((1 + f) * 100000))
               : ooxml::chart::applyColorModifier(base, "tint", int((1 - f) * 100000));
}

// Colourful styles repeat the six accents, darker or lighter on each further round.
QColor colourful(const ooxml::chart::Theme& theme, int index) {
  const QColor base = theme.accent(index % 6);
  static const int kRounds[][2] = {{100000, 0},     {60000, 0},  {80000, 20000},
                                   {80000, 0},     {60000, 40000}, {50000, 0},
                                   {70000, 30000}, {70000, 0},  {50000, 50000}};
  const auto& r = kRounds[(index / 6) % 9];
  QColor c = base;
  if (r[0] != 100000) c = ooxml::chart::applyColorModifier(c, "lumMod", r[0]);
  if (r[1] != 0) c = ooxml::chart::applyColorModifier(c, "lumOff", r[1]);
  return c;
}

QColor mix(const QColor& a, const QColor& b, double t) {
  return QColor::fromRgbF(float(a.redF() * (1 - t) + b.redF() * t),
                          float(a.greenF() * (1 - t) + b.greenF() * t),
                          float(a.blueF() * (1 - t) + b.blueF() * t),
                          float(a.alphaF() * (1 - t) + b.alphaF() * t));
}

bool isLineKind(const ooxml::chart::ChartGroup& group) {
  switch (group.kind) {
    case ChartKind::Line:
    case ChartKind::Stock:
      return true;
    case ChartKind::Scatter:
      return group.scatterStyle != "marker";
    case ChartKind::Radar:
      return group.radarStyle != "filled";
    default:
      return false;
  }
}

bool hasMarkersByDefault(const ooxml::chart::ChartGroup& group) {
  switch (group.kind) {
    case ChartKind::Line:
      return group.showMarkers;
    case ChartKind::Scatter:
      return group.scatterStyle != "line" && group.scatterStyle != "smooth";
    case ChartKind::Radar:
      return group.radarStyle == "marker";
    default:
      return false;
  }
}

}  // namespace

ChartStyleInfo styleInfo(int style) {
  style = std::clamp(style, 1, 48);
  return ChartStyleInfo{(style - 1) / 8, (style - 1) % 8};
}

QColor autoSeriesColor(const ooxml::chart::Theme& theme, int style, int index, int count) {
  const ChartStyleInfo info = styleInfo(style);
  index = std::max(index, 0);
  if (info.scheme == 1) return colourful(theme, index);
  if (info.scheme == 0) {
    const QColor grey = ooxml::chart::applyColorModifier(theme.schemeColor("tx1"), "tint", 45000);
    return monochrome(grey, index, count);
  }
  return monochrome(theme.accent(info.scheme - 2), index, count);
}

QString autoMarkerSymbol(int index) {
  static const char* const kSymbols[] = {"diamond", "square", "triangle", "x",
                                         "star",    "circle", "plus"};
  return QString::fromLatin1(kSymbols[std::max(index, 0) % 7]);
}

QColor defaultTextColor(const ooxml::chart::Theme& theme, int style) {
  return styleInfo(style).variant == 5 ? theme.schemeColor("lt1") : theme.schemeColor("tx1");
}

QColor defaultAxisLineColor(const ooxml::chart::Theme& theme, int style) {
  const QColor base = defaultTextColor(theme, style);
  return mix(base, styleInfo(style).variant == 5 ? Qt::black : Qt::white, 0.475);
}

QColor defaultGridColor(const ooxml::chart::Theme& theme, int style) {
  return defaultAxisLineColor(theme, style);
}

QBrush defaultChartAreaFill(const ooxml::chart::Theme& theme, int style) {
  return QBrush(styleInfo(style).variant == 5 ? theme.schemeColor("dk1")
                                              : theme.schemeColor("lt1"));
}

QBrush defaultPlotAreaFill(const ooxml::chart::Theme& theme, int style) {
  const ChartStyleInfo info = styleInfo(style);
  if (info.variant == 4) {
    const QColor base = info.scheme >= 2 ? theme.accent(info.scheme - 2) : theme.schemeColor("tx1");
    return QBrush(ooxml::chart::applyColorModifier(base, "tint", 20000));
  }
  if (info.variant == 5) return QBrush(mix(theme.schemeColor("dk1"), Qt::white, 0.2));
  return Qt::NoBrush;
}

QBrush brushForFill(const Fill& fill, const ooxml::chart::Theme& theme, const QBrush& fallback,
                    const QColor& placeholder) {
  switch (fill.kind) {
    case Fill::Kind::Unset:
      return fallback;
    case Fill::Kind::None:
      return Qt::NoBrush;
    case Fill::Kind::Solid: {
      const QColor c = theme.resolve(fill.color, placeholder);
      return c.isValid() ? QBrush(c) : fallback;
    }
    case Fill::Kind::Pattern: {
      QColor fg = theme.resolve(fill.color, placeholder);
      QColor bg = theme.resolve(fill.background, placeholder);
      if (!fg.isValid()) fg = Qt::black;
      if (!bg.isValid()) bg = Qt::white;
      return patternBrush(fill.pattern, fg, bg);
    }
    case Fill::Kind::Gradient: {
      // In the shape's own bounding box, so one brush serves every bar of a series.
      const double rad = fill.gradientAngle * M_PI / 180.0;
      const QPointF d(std::cos(rad) * 0.5, std::sin(rad) * 0.5);
      QLinearGradient g(QPointF(0.5, 0.5) - d, QPointF(0.5, 0.5) + d);
      g.setCoordinateMode(QGradient::ObjectMode);
      for (const ooxml::chart::GradientStop& s : fill.stops) {
        const QColor col = theme.resolve(s.color, placeholder);
        g.setColorAt(s.position, col.isValid() ? col : QColor(Qt::white));
      }
      return QBrush(g);
    }
  }
  return fallback;
}

QPen penForLine(const ooxml::chart::LineFormat& line, const ooxml::chart::Theme& theme,
                const QPen& fallback, const QColor& placeholder) {
  QPen pen = fallback;
  if (line.fill.kind == Fill::Kind::None) return QPen(Qt::NoPen);
  if (line.fill.kind == Fill::Kind::Solid) {
    const QColor c = theme.resolve(line.fill.color, placeholder);
    if (c.isValid()) {
      if (pen.style() == Qt::NoPen) pen.setStyle(Qt::SolidLine);
      pen.setColor(c);
    }
  }
  if (pen.style() == Qt::NoPen) return pen;
  if (line.widthPt) pen.setWidthF(std::max(*line.widthPt, 0.25));
  pen.setCapStyle(Qt::FlatCap);
  pen.setJoinStyle(Qt::RoundJoin);
  const QString& d = line.dash;
  if (d == "dash" || d == "sysDash") pen.setDashPattern({4, 3});
  else if (d == "dot" || d == "sysDot") pen.setDashPattern({1, 2});
  else if (d == "lgDash") pen.setDashPattern({8, 3});
  else if (d == "dashDot" || d == "sysDashDot") pen.setDashPattern({4, 3, 1, 3});
  else if (d == "lgDashDot") pen.setDashPattern({8, 3, 1, 3});
  else if (d == "lgDashDotDot" || d == "sysDashDotDot") pen.setDashPattern({8, 3, 1, 3, 1, 3});
  else if (d == "solid") pen.setStyle(Qt::SolidLine);
  return pen;
}

SeriesLook seriesLook(const ooxml::chart::ChartModel& chart, const ooxml::chart::Theme& theme,
                      const ooxml::chart::ChartGroup& group, const ooxml::chart::Series& series,
                      int point, int autoIndex, int autoCount) {
  SeriesLook look;
  const ChartStyleInfo info = styleInfo(chart.style);
  const QColor autoColor = autoSeriesColor(theme, chart.style, autoIndex, autoCount);
  const ooxml::chart::DataPoint* dp = point >= 0 ? series.point(point) : nullptr;
  const bool lineKind = isLineKind(group);
  const bool pieKind = group.kind == ChartKind::Pie || group.kind == ChartKind::Doughnut ||
                       group.kind == ChartKind::OfPie;

  // Fill. The shaded styles look nearly solid in the program's pictures: a faint light at
  // the top, the rest the colour itself.
  QBrush autoFill(autoColor);
  if (info.variant == 2 || info.variant == 3) {
    QLinearGradient g(0, 0, 0, 1);
    g.setCoordinateMode(QGradient::ObjectMode);
    g.setColorAt(0, ooxml::chart::applyColorModifier(autoColor, "tint", 94000));
    g.setColorAt(0.5, autoColor);
    g.setColorAt(1, ooxml::chart::applyColorModifier(autoColor, "shade", 94000));
    autoFill = QBrush(g);
  }
  ooxml::chart::Fill fill = series.format.fill;
  if (dp && dp->format.fill.isSet()) fill = dp->format.fill;
  look.fill = lineKind ? QBrush(Qt::NoBrush) : brushForFill(fill, theme, autoFill);
  if (fill.kind == Fill::Kind::Solid || fill.kind == Fill::Kind::Pattern ||
      fill.kind == Fill::Kind::Gradient)
    look.baseColor = theme.resolve(fill.color);
  if (!look.baseColor.isValid()) look.baseColor = autoColor;

  // Line.
  QPen autoLine(Qt::NoPen);
  if (lineKind) {
    // The outlined styles (9-16) draw series lines thicker, about 3.5 pt in the program's
    // pictures against 2.25 pt for the others.
    autoLine = QPen(autoColor, info.variant == 1 ? 3.5 : 2.25);
  } else if (info.variant == 4 && group.kind == ChartKind::Bar) {
    // The tinted-plot styles outline their columns in a darker shade of the fill.
    autoLine = QPen(ooxml::chart::applyColorModifier(autoColor, "shade", 60000), 0.75);
  } else if (pieKind || info.variant == 1 || group.kind == ChartKind::Area) {
    autoLine = QPen(theme.schemeColor("lt1"), 0.75);
    if (group.kind == ChartKind::Area && info.variant != 1) autoLine = QPen(Qt::NoPen);
  }
  autoLine.setJoinStyle(Qt::RoundJoin);
  autoLine.setCapStyle(Qt::FlatCap);
  ooxml::chart::LineFormat line = series.format.line;
  if (dp && dp->format.line.isSet()) {
    const ooxml::chart::LineFormat& own = dp->format.line;
    if (own.fill.isSet()) line.fill = own.fill;
    if (own.widthPt) line.widthPt = own.widthPt;
    if (!own.dash.isEmpty()) line.dash = own.dash;
  }
  look.line = penForLine(line, theme, autoLine);
  if (!lineKind) {
    look.effects = effectsFor(
        dp && dp->format.effects.listWritten ? dp->format.effects : series.format.effects, theme,
        chart.style);
    if (dp && dp->format.effects.bevelTopPt) look.effects.bevelPt = *dp->format.effects.bevelTopPt;
  }
  if (lineKind && line.fill.kind == Fill::Kind::Solid) look.baseColor = look.line.color();

  // Marker.
  const ooxml::chart::Marker* marker = dp && dp->marker ? &*dp->marker
                                       : series.marker  ? &*series.marker
                                                        : nullptr;
  QString symbol = marker ? marker->symbol : QString();
  if (symbol.isEmpty() || symbol == "auto")
    symbol = hasMarkersByDefault(group) ? autoMarkerSymbol(autoIndex) : QString("none");
  look.markerSymbol = symbol;
  look.markerSize = marker && marker->size ? *marker->size : 7;
  const QColor markerColor = look.baseColor;
  look.markerFill = marker ? brushForFill(marker->format.fill, theme,
                                          QBrush(markerColor))
                           : QBrush(markerColor);
  look.markerLine = marker ? penForLine(marker->format.line, theme, QPen(markerColor, 0.75))
                           : QPen(markerColor, 0.75);
  return look;
}

}  // namespace morvane::render::chart
