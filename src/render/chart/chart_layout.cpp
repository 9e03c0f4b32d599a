#include "render/chart/chart_layout.h"

#include <algorithm>

#include "emf/font_stand_ins.h"
#include "render/chart/layout_context.h"

namespace morvane::render::chart {

using ooxml::chart::ChartKind;

namespace detail {

bool isPieLike(const ooxml::chart::ChartGroup& group) {
  return group.kind == ChartKind::Pie || group.kind == ChartKind::Doughnut ||
         group.kind == ChartKind::OfPie;
}

bool usesAxes(const ooxml::chart::ChartGroup& group) {
  return !isPieLike(group) && group.kind != ChartKind::Surface &&
         group.kind != ChartKind::Unknown;
}

TextStyle textStyleFor(const LayoutContext& ctx, const ooxml::chart::TextBody& body, double sizePt,
                       bool bold) {
  ooxml::chart::TextFormat format = ctx.chart.text.defaultFormat();
  // A chart-wide size scales the defaults of titles the way the program does.
  if (format.sizePt) sizePt = sizePt * *format.sizePt / 10.0;
  format.sizePt.reset();
  format.mergeFrom(body.defaultFormat());
  TextStyle style = makeTextStyle(ctx.theme, format, sizePt, bold, ctx.textColor);
  if (body.rotationDeg) style.rotationDeg = *body.rotationDeg;
  return style;
}

TextStyle titleStyleFor(const LayoutContext& ctx, const ooxml::chart::TextBody& txPr,
                        const ooxml::chart::TextBody& rich, double sizePt) {
  const ooxml::chart::TextBody& body = txPr.isEmpty() ? rich : txPr;
  // The program writes paragraph properties into every title it saves. Rich text without
  // any (as some libraries write it) is drawn in text's own defaults, 18 pt and regular,
  // not in the title's; a chart-wide size still rules.
  if (txPr.isEmpty() && rich.isBare() && !ctx.chart.text.defaultFormat().sizePt)
    return textStyleFor(ctx, body, 18, false);
  return textStyleFor(ctx, body, sizePt, true);
}

bool madeInModernLook(const ooxml::chart::ChartModel& chart) {
  const ooxml::chart::Fill& f = chart.format.line.fill;
  if (f.kind != ooxml::chart::Fill::Kind::Solid || f.color.scheme != "tx1") return false;
  using Modifier = std::pair<QString, int>;
  const std::vector<Modifier> frame{{"lumMod", 15000}, {"lumOff", 85000}};
  return f.color.modifiers == frame;
}

}  // namespace detail

namespace {

using detail::LayoutContext;

constexpr double kMargin = 7;       // chart area edge to its contents, points
constexpr double kTitleGap = 3;     // title box to the plot or legend
constexpr double kTitlePad = 4;     // the title box around its text, above and below
constexpr double kModernTitleRise = 4.5;  // the 2013 look's title, above its band

// Places the chart title at the top of `available` and removes its band.
void placeTitle(LayoutContext& ctx, QRectF& available) {
  ChartLayout& out = ctx.out;
  out.title = chartTitleText(ctx.chart);
  if (out.title.isEmpty()) return;
  const ooxml::chart::Title& t = ctx.chart.title;
  out.titleStyle = detail::titleStyleFor(ctx, t.text, t.rich, 18);
  if (!t.rich.paragraphs.empty()) {
    // The first run's own format (the program writes size and bold there too).
    const ooxml::chart::TextParagraph& p = t.rich.paragraphs.front();
    ooxml::chart::TextFormat f = p.defaults;
    if (!p.runs.empty()) f.mergeFrom(p.runs.front().format);
    if (f.sizePt) out.titleStyle.font.setPointSizeF(*f.sizePt);
    if (f.bold) out.titleStyle.font.setBold(*f.bold);
    if (f.italic) out.titleStyle.font.setItalic(*f.italic);
    if (f.color) {
      const QColor c = ctx.theme.resolve(*f.color);
      if (c.isValid()) out.titleStyle.color = c;
    }
    if (!f.latinFont.isEmpty())
      out.titleStyle.font.setFamilies(
          emf::officeFont(ctx.theme.resolveFont(f.latinFont)).families());
  }
  // A title longer than the chart is wide wraps at word boundaries.
  out.title = wrapText(out.titleStyle, out.title, available.width());
  const QSizeF size = measureRotated(out.titleStyle, out.title);
  const ooxml::chart::ManualLayout& m = t.layout;
  if (m.x && m.y) {
    const QRectF& area = out.chartArea;
    // The program keeps a dragged title whole inside the chart.
    const double x =
        std::min(area.left() + *m.x * area.width(), area.right() - kMargin - size.width());
    const double y =
        std::min(area.top() + *m.y * area.height(), area.bottom() - kMargin - size.height());
    out.titleCenter = QPointF(std::max(x, area.left() + kMargin) + size.width() / 2,
                              std::max(y, area.top()) + size.height() / 2);
  } else {
    // The 2013 look sets the title higher but leaves the plot where it was.
    const double rise = ctx.modernLook ? kModernTitleRise : 0;
    out.titleCenter =
        QPointF(out.chartArea.center().x(), available.top() + kTitlePad - rise + size.height() / 2);
  }
  if (!t.overlay && !(m.x && m.y))
    available.setTop(available.top() + size.height() + 2 * kTitlePad + kTitleGap);
}

// Applies a manual plot-area layout; returns whether it names the inner rectangle.
bool manualPlotRect(const ChartLayout& out, const ooxml::chart::ManualLayout& m, QRectF& rect) {
  if (!m.isSet()) return false;
  const QRectF& a = out.chartArea;
  QRectF r = rect;
  if (m.x) r.moveLeft(a.left() + *m.x * a.width());
  if (m.y) r.moveTop(a.top() + *m.y * a.height());
  if (m.w) r.setWidth(*m.w * a.width());
  if (m.h) r.setHeight(*m.h * a.height());
  r = r.intersected(a);
  if (r.width() < 4 || r.height() < 4) return false;
  rect = r;
  return m.innerTarget;
}

void layoutPieArea(LayoutContext& ctx, const QRectF& available) {
  ctx.out.plotOuter = available;
  ctx.out.plotArea = available;
}

void checkDrawable(LayoutContext& ctx) {
  const auto& groups = ctx.chart.plotArea.groups;
  ChartLayout& out = ctx.out;
  if (groups.empty()) {
    out.placeholder = true;
    out.placeholderReason = "the chart has no chart group";
    return;
  }
  out.kindName = chartKindName(groups.front());
  bool anyData = false;
  for (const ooxml::chart::ChartGroup& g : groups) {
    if (g.kind == ChartKind::Unknown) {
      out.placeholder = true;
      out.placeholderReason = QString("%1 charts are not drawn").arg(chartKindName(g));
      return;
    }
    for (const ooxml::chart::Series& s : g.series) anyData = anyData || s.pointCount() > 0;
  }
  if (!anyData) {
    out.placeholder = true;
    out.placeholderReason = "the chart has no cached data";
  }
}

}  // namespace

const AxisLayout* ChartLayout::axisById(int id) const {
  for (const AxisLayout& a : axes)
    if (a.axis.id == id) return &a;
  return nullptr;
}

QString chartKindName(const ooxml::chart::ChartGroup& group) {
  QString prefix;
  if (group.grouping == ooxml::chart::Grouping::Stacked) prefix = "stacked ";
  if (group.grouping == ooxml::chart::Grouping::PercentStacked) prefix = "100% stacked ";
  switch (group.kind) {
    case ChartKind::Bar: return prefix + (group.horizontal ? "bar" : "column");
    case ChartKind::Line: return prefix + "line";
    case ChartKind::Area: return prefix + "area";
    case ChartKind::Pie: return "pie";
    case ChartKind::Doughnut: return "doughnut";
    case ChartKind::OfPie: return group.ofPieType == "bar" ? "bar of pie" : "pie of pie";
    case ChartKind::Scatter: return "scatter";
    case ChartKind::Radar: return "radar";
    case ChartKind::Bubble: return "bubble";
    case ChartKind::Stock: return "stock";
    case ChartKind::Surface: return "surface";
    case ChartKind::Unknown: break;
  }
  return "unknown";
}

QString chartTitleText(const ooxml::chart::ChartModel& chart) {
  const ooxml::chart::Title& t = chart.title;
  if (t.present) {
    if (!t.rich.plainText().trimmed().isEmpty()) return t.rich.plainText();
    if (!t.referenceText.isEmpty()) return t.referenceText;
  }
  if (chart.autoTitleDeleted) return QString();
  // The automatic title: the series name of a chart with exactly one series.
  if (chart.seriesCount() == 1 && (t.present || detail::isPieLike(chart.plotArea.groups.front()))) {
    for (const ooxml::chart::ChartGroup& g : chart.plotArea.groups)
      for (const ooxml::chart::Series& s : g.series)
        if (!s.name.isEmpty()) return s.name;
  }
  return t.present ? QString("Chart Title") : QString();
}

ChartLayout layoutChart(const ooxml::chart::ChartModel& chart, const ooxml::chart::Theme& theme,
                        const QRectF& target) {
  ChartLayout out;
  out.chartArea = target;
  LayoutContext ctx{chart, theme, out, 10, QColor(), 0, 1, std::nullopt};
  ctx.modernLook = detail::madeInModernLook(chart);
  ctx.textColor = defaultTextColor(theme, chart.style);
  ctx.seriesTotal = chart.seriesCount();
  if (auto size = chart.text.defaultFormat().sizePt) ctx.baseSizePt = *size;
  checkDrawable(ctx);
  if (target.width() < 8 || target.height() < 8) {
    out.placeholder = true;
    out.placeholderReason = "the chart is too small to draw";
  }
  QRectF available = target.adjusted(kMargin, kMargin, -kMargin, -kMargin);
  placeTitle(ctx, available);
  if (out.placeholder) return out;
  detail::placeLegend(ctx, available);
  QRectF plot = available;
  const bool inner = manualPlotRect(out, chart.plotArea.layout, plot);
  const bool axes =
      std::any_of(chart.plotArea.groups.begin(), chart.plotArea.groups.end(),
                  [](const ooxml::chart::ChartGroup& g) { return detail::usesAxes(g); });
  if (axes) {
    const DataTableLayout table = detail::planDataTable(ctx);
    QRectF outer = plot;
    outer.setBottom(outer.bottom() - table.rect.height());
    detail::layoutAxes(ctx, outer, inner);
    // The series names need room left of the plot.
    const double short_ = table.nameWidth - (out.plotArea.left() - available.left());
    if (table.present && short_ > 0) {
      outer.setLeft(outer.left() + short_);
      detail::layoutAxes(ctx, outer, inner);
    }
    if (table.present) detail::placeDataTable(ctx, table);
  } else {
    // The 2013 look's pies take the room its higher title leaves (its doughnut's picture).
    const ooxml::chart::Title& t = chart.title;
    if (ctx.modernLook && !out.title.isEmpty() && !t.overlay && !(t.layout.x && t.layout.y) &&
        !chart.plotArea.layout.isSet() && !chart.plotArea.groups.empty() &&
        detail::isPieLike(chart.plotArea.groups.front()))
      plot.setTop(plot.top() - kModernTitleRise);
    layoutPieArea(ctx, plot);
  }
  // Pies shrink until their outside labels fit the chart, to half the plot's smaller side.
  const double room = std::min(out.plotArea.width(), out.plotArea.height());
  for (int pass = 0;; ++pass) {
    detail::layoutSeries(ctx);
    detail::layoutDataLabels(ctx);
    detail::layoutScene3D(ctx);
    double diameter = 0;
    const double fit = detail::placePieLabels(ctx, &diameter);
    const double least = diameter > 0 ? ctx.pieScale * 0.52 * room / diameter : 1;
    const double scale = std::max(least, ctx.pieScale * fit);
    if (fit > 0.995 || chart.plotArea.layout.isSet() || pass == 3 || scale >= ctx.pieScale * 0.995)
      break;
    ctx.pieScale = scale;
    out.series.clear();
    out.dataLabels.clear();
    out.scene = Scene3D();
    out.ofPie = OfPieLayout();
    ctx.pieDisc.reset();
  }
  detail::keepLabelsInChart(ctx);
  return out;
}

}  // namespace morvane::render::chart
