// The data labels of pies and doughnuts, flat or on a 3-D disc: best fit inside the slice or
// outside it, outside labels kept apart down each side of the pie, labels the user dragged
// at their places, all inside the chart, and leader lines from the slices to the labels that
// stand away from them.
#include <QLineF>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>

#include "render/chart/layout_context.h"

namespace morvane::render::chart::detail {

using ooxml::chart::ChartKind;

namespace {

constexpr double kGap = 3;         // an outside label off its slice's edge
constexpr double kLeaderAway = 6;  // farther than this from its slice, a label gets a leader
constexpr double kEdge = 2;        // labels keep this far inside the chart area
constexpr int kArcSteps = 24;      // outline points of a slice's arc

// A slice as the picture shows it: points on it by angle (degrees clockwise from 12 o'clock)
// and fraction of the outer radius, flat or on the 3-D disc.
struct SliceView {
  const PointGeometry& p;
  const std::optional<PieDisc>& disc;
  QPointF plotCentre;

  QPointF at(double angle, double r, bool underside = false) const {
    if (disc) {
      const QPointF offset = (p.center - plotCentre) / std::max(p.outerRadius, 1e-9);
      return disc->at(angle, r, underside ? 1 : 0, offset);
    }
    const double a = angle * M_PI / 180.0;
    return p.center + QPointF(std::sin(a), -std::cos(a)) * r * p.outerRadius;
  }
  double mid() const { return p.startAngle + p.sweepAngle / 2; }
  // The part of the rim the viewer sees faces down: outside anchors there sit on its lower edge.
  bool facesViewer(double angle) const {
    return disc && std::cos((angle + disc->turn) * M_PI / 180.0) < 0;
  }
  QPointF edge(double angle) const { return at(angle, 1, facesViewer(angle)); }
  // The slice's top outline (a ring segment for doughnuts).
  QPolygonF outline() const {
    QPolygonF poly;
    const double inner = p.innerRadius / std::max(p.outerRadius, 1e-9);
    for (int i = 0; i <= kArcSteps; ++i) poly << at(p.startAngle + p.sweepAngle * i / kArcSteps, 1);
    if (inner > 0) {
      for (int i = kArcSteps; i >= 0; --i)
        poly << at(p.startAngle + p.sweepAngle * i / kArcSteps, inner);
    } else if (p.sweepAngle < 359.99) {
      poly << at(0, 0);
    }
    return poly;
  }
};

double distanceToRect(const QPointF& q, const QRectF& r) {
  const double dx = std::max({r.left() - q.x(), 0.0, q.x() - r.right()});
  const double dy = std::max({r.top() - q.y(), 0.0, q.y() - r.bottom()});
  return std::hypot(dx, dy);
}

bool rectInside(const QPolygonF& poly, const QRectF& r) {
  for (const QPointF& c : {r.topLeft(), r.topRight(), r.bottomLeft(), r.bottomRight(), r.center()})
    if (!poly.containsPoint(c, Qt::OddEvenFill)) return false;
  return true;
}

bool touches(const QPolygonF& poly, const QRectF& r) {
  return !poly.intersected(QPolygonF(r)).isEmpty();
}

// Outside the slice's edge at its middle angle, the box just clear of it.
QPointF outsideCentre(const SliceView& v, const QSizeF& size) {
  const QPointF edge = v.edge(v.mid());
  QPointF dir = edge - v.at(v.mid(), 0);
  const double len = std::hypot(dir.x(), dir.y());
  dir = len > 1e-9 ? dir / len : QPointF(0, -1);
  const double extent =
      std::abs(dir.x()) * size.width() / 2 + std::abs(dir.y()) * size.height() / 2;
  return edge + dir * (kGap + extent);
}

QPointF insideCentre(const SliceView& v, const QString& pos) {
  const double inner = v.p.innerRadius / std::max(v.p.outerRadius, 1e-9);
  if (inner > 0) return v.at(v.mid(), (1 + inner) / 2);
  if (v.p.sweepAngle >= 359.99) return v.at(0, 0);
  return v.at(v.mid(), pos == "inEnd" ? 0.8 : 0.6);
}

struct Placed {
  DataLabelLayout* label = nullptr;
  SliceView view;
  bool outside = false;  // placed automatically outside its slice
  bool manual = false;   // dragged by the user
};

// The pie's extent across at height `y` of the picture, from its centre.
double halfWidthAt(const QRectF& pie, double y) {
  const double ry = pie.height() / 2, dy = (y - pie.center().y()) / std::max(ry, 1e-9);
  return std::abs(dy) >= 1 ? 0 : pie.width() / 2 * std::sqrt(1 - dy * dy);
}

// Outside labels down one side of the pie: each wants the height of its slice's edge;
// labels that would overlap gather in runs centred on their wishes, the runs kept inside
// `bounds`; then each moves across to clear the pie at its height.
void spreadSide(std::vector<Placed*> side, const QRectF& pie, const QRectF& bounds, bool right) {
  if (side.empty()) return;
  std::sort(side.begin(), side.end(), [](const Placed* a, const Placed* b) {
    return a->label->center.y() < b->label->center.y();
  });
  struct Run {
    size_t first, last;
    double wish, height;  // the members' mean wished centre (weighted by height), total height
    double top() const { return wish - height / 2; }
  };
  std::vector<Run> runs;
  for (size_t i = 0; i < side.size(); ++i) {
    const double h = side[i]->label->size.height() + 1;
    runs.push_back({i, i, side[i]->label->center.y(), h});
    // Merge backwards while the last two runs overlap or leave the bounds.
    while (runs.size() > 1) {
      Run& b = runs.back();
      Run& a = runs[runs.size() - 2];
      if (a.top() + a.height <= b.top() + 1e-6) break;
      const double wish = (a.wish * a.height + b.wish * b.height) / (a.height + b.height);
      a = {a.first, b.last, wish, a.height + b.height};
      runs.pop_back();
    }
  }
  // Inside the bounds, the runs pushed off the edges pushing their neighbours in turn.
  double floor = bounds.top();
  for (Run& r : runs) {
    r.wish = std::max(r.wish, floor + r.height / 2);
    floor = r.top() + r.height;
  }
  double ceiling = bounds.bottom();
  for (auto it = runs.rbegin(); it != runs.rend(); ++it) {
    it->wish = std::min(it->wish, ceiling - it->height / 2);
    ceiling = it->top();
  }
  for (const Run& r : runs) {
    double y = r.top();
    for (size_t i = r.first; i <= r.last; ++i) {
      DataLabelLayout& l = *side[i]->label;
      l.center.setY(y + l.size.height() / 2 + 0.5);
      y += l.size.height() + 1;
    }
  }
  for (Placed* s : side) {
    DataLabelLayout& l = *s->label;
    const QRectF r = l.rect();
    const double nearestY = std::clamp(pie.center().y(), r.top(), r.bottom());
    const double clear = halfWidthAt(pie, nearestY) + kGap;
    const double x = right ? std::max(r.left(), pie.center().x() + clear)
                           : std::min(r.right(), pie.center().x() - clear);
    l.center.setX(right ? x + r.width() / 2 : x - r.width() / 2);
  }
}

double stackHeight(const std::vector<Placed*>& side) {
  double h = 0;
  for (const Placed* p : side) h += p->label->size.height() + 1;
  return h;
}

// A side whose labels are taller than the chart hands the labels of its slices nearest the
// top or bottom of the pie to the other side while that one has room.
void balanceSides(std::vector<Placed*>& left, std::vector<Placed*>& right, const QRectF& pie,
                  double room) {
  for (int moves = 0; moves < 64; ++moves) {
    const bool leftFull = stackHeight(left) > room;
    std::vector<Placed*>& from = leftFull ? left : right;
    std::vector<Placed*>& to = leftFull ? right : left;
    if (stackHeight(from) <= room || from.empty()) return;
    const auto nearest = std::min_element(from.begin(), from.end(), [&](Placed* a, Placed* b) {
      return std::abs(a->view.edge(a->view.mid()).x() - pie.center().x()) <
             std::abs(b->view.edge(b->view.mid()).x() - pie.center().x());
    });
    if (stackHeight(to) + (*nearest)->label->size.height() + 1 > room) return;
    DataLabelLayout& l = *(*nearest)->label;
    l.center.setX(2 * pie.center().x() - l.center.x());
    to.push_back(*nearest);
    from.erase(nearest);
  }
}

bool overlap(const QRectF& a, const QRectF& b) {
  const QRectF i = a.intersected(b);
  return i.width() > 0.25 && i.height() > 0.25;
}

void clampInto(DataLabelLayout& l, const QRectF& bounds) {
  l.center += shiftInside(l.rect(), bounds);
}

// Labels that still overlap (dragged ones, crowded sides) are pushed apart along the
// direction that separates them soonest, staying inside `bounds`.
void separate(std::vector<Placed>& placed, const QRectF& bounds) {
  for (int round = 0; round < 40; ++round) {
    bool moved = false;
    for (size_t i = 0; i < placed.size(); ++i)
      for (size_t j = i + 1; j < placed.size(); ++j) {
        DataLabelLayout& a = *placed[i].label;
        DataLabelLayout& b = *placed[j].label;
        const QRectF ra = a.rect(), rb = b.rect();
        if (!overlap(ra, rb)) continue;
        moved = true;
        const QRectF both = ra.intersected(rb);
        // Labels share a side's column: apart vertically unless a small sideways step does.
        if (both.width() < both.height() * 0.5) {
          const double d = both.width() / 2 + 0.5, s = ra.center().x() <= rb.center().x() ? 1 : -1;
          a.center.rx() -= s * d;
          b.center.rx() += s * d;
        } else {
          const double d = both.height() / 2 + 0.5, s = ra.center().y() <= rb.center().y() ? 1 : -1;
          a.center.ry() -= s * d;
          b.center.ry() += s * d;
        }
        clampInto(a, bounds);
        clampInto(b, bounds);
      }
    if (!moved) return;
  }
}

void addLeader(Placed& pl, const QPen& pen) {
  DataLabelLayout& l = *pl.label;
  const QRectF r = l.rect();
  const SliceView& v = pl.view;
  const QPolygonF outline = v.outline();
  const QPointF from = v.edge(v.mid());
  if (touches(outline, r) || distanceToRect(from, r) <= kLeaderAway) return;
  // To the middle of the label's side that faces the slice, else of its top or bottom.
  QPointF to;
  if (from.x() < r.left())
    to = QPointF(r.left(), r.center().y());
  else if (from.x() > r.right())
    to = QPointF(r.right(), r.center().y());
  else
    to = QPointF(r.center().x(), from.y() < r.top() ? r.top() : r.bottom());
  l.leader = QPolygonF({from, to});
  l.leaderPen = pen;
}

}  // namespace

double placePieLabels(LayoutContext& ctx, double* diameter) {
  ChartLayout& out = ctx.out;
  QRectF bounds = out.chartArea.adjusted(kEdge, kEdge, -kEdge, -kEdge);
  // Outside labels stay under the title.
  if (!out.title.isEmpty() && !ctx.chart.title.overlay)
    bounds.setTop(
        std::max(bounds.top(),
                 out.titleCenter.y() + measureRotated(out.titleStyle, out.title).height() / 2));
  // Nor do they cover the legend: the band on its side is left to it.
  if (const QRectF& key = out.legendRect; !key.isEmpty() && !out.legend.empty()) {
    using ooxml::chart::LegendPosition;
    switch (ctx.chart.legend.position) {
      case LegendPosition::Left:
        bounds.setLeft(std::max(bounds.left(), key.right() + kEdge));
        break;
      case LegendPosition::Top:
        bounds.setTop(std::max(bounds.top(), key.bottom() + kEdge));
        break;
      case LegendPosition::Bottom:
        bounds.setBottom(std::min(bounds.bottom(), key.top() - kEdge));
        break;
      default:
        bounds.setRight(std::min(bounds.right(), key.left() - kEdge));
        break;
    }
  }
  const QPointF plotCentre = out.plotArea.center();
  std::vector<Placed> placed;
  QRectF pie;  // the pies' extent on the picture, without their explosion
  for (DataLabelLayout& l : out.dataLabels) {
    if (l.series < 0 || l.point < 0) continue;
    const SeriesGeometry& sg = out.series[size_t(l.series)];
    const ooxml::chart::ChartGroup& g = ctx.chart.plotArea.groups[size_t(sg.group)];
    if (g.kind != ChartKind::Pie && g.kind != ChartKind::Doughnut) continue;
    if (l.point >= int(sg.points.size())) continue;
    const PointGeometry& p = sg.points[size_t(l.point)];
    if (!p.valid || p.outerRadius <= 0) continue;
    SliceView view{p, ctx.pieDisc, plotCentre};
    // Long labels wrap, as the program's do, at about a fifth of the chart's width, between
    // words only.
    double widest = 0;
    for (const QString& word : l.text.split(QRegularExpression("\\s+"), Qt::SkipEmptyParts))
      widest = std::max(widest, measureText(l.style, word).width());
    const QString wrapped =
        wrapText(l.style, l.text, std::max({48.0, out.chartArea.width() / 4.5, widest + 1}));
    if (wrapped != l.text && !l.style.rotationDeg) {
      l.size += measureRotated(l.style, wrapped) - measureRotated(l.style, l.text);
      l.text = wrapped;
    }
    const ooxml::chart::DataLabelSettings st = labelSettings(g, *sg.series, l.point);
    const QString pos = g.kind == ChartKind::Doughnut ? QString("ctr") : labelPosition(g, st);
    bool outside = pos == "outEnd";
    l.center = insideCentre(view, pos);
    if (pos == "bestFit" && !rectInside(view.outline(), l.rect())) outside = true;
    if (outside) l.center = outsideCentre(view, l.size);
    placed.push_back({&l, view, outside, false});
    const ooxml::chart::DataLabel* own = sg.series->labels.pointLabel(l.point);
    if (!own) own = g.labels.pointLabel(l.point);
    if (own && own->layout.x && own->layout.y) {
      const ooxml::chart::ManualLayout& m = own->layout;
      const QRectF& a = out.chartArea;
      const QPointF at(a.left() + *m.x * a.width(), a.top() + *m.y * a.height());
      l.center = QPointF(m.xEdge ? at.x() + l.size.width() / 2 : l.center.x() + *m.x * a.width(),
                         m.yEdge ? at.y() + l.size.height() / 2 : l.center.y() + *m.y * a.height());
      placed.back().outside = false;
      placed.back().manual = true;
    }
    const PieDisc flat{plotCentre, p.outerRadius, 1, 0, 0};
    const PieDisc& d = ctx.pieDisc ? *ctx.pieDisc : flat;
    const QRectF whole = d.bounds();
    pie = pie.isNull() ? whole : pie.united(whole);
  }
  if (diameter) *diameter = pie.width();
  if (placed.empty()) return 1;
  // How far the outside labels reach beyond the chart: the pie shrinks by as much.
  double over = 0;
  for (const Placed& pl : placed) {
    if (!pl.outside) continue;
    const QRectF r = pl.label->rect();
    over = std::max({over, bounds.left() - r.left(), r.right() - bounds.right()});
    const double squash = ctx.pieDisc ? ctx.pieDisc->squash : 1.0;
    over = std::max(
        {over, (bounds.top() - r.top()) / squash, (r.bottom() - bounds.bottom()) / squash});
  }
  std::vector<Placed*> left, right;
  for (Placed& pl : placed)
    if (pl.outside) (pl.label->center.x() >= pie.center().x() ? right : left).push_back(&pl);
  balanceSides(left, right, pie, bounds.height());
  spreadSide(left, pie, bounds, false);
  spreadSide(right, pie, bounds, true);
  for (Placed& pl : placed) clampInto(*pl.label, bounds);
  separate(placed, bounds);
  const QPen pen(defaultAxisLineColor(ctx.theme, ctx.chart.style), 0.75);
  for (Placed& pl : placed) {
    const SeriesGeometry& sg = out.series[size_t(pl.label->series)];
    const auto& own = sg.series->labels.showLeaderLines;
    const auto& group = ctx.chart.plotArea.groups[size_t(sg.group)].labels.showLeaderLines;
    if (own.value_or(group.value_or(true))) addLeader(pl, pen);
  }
  const double radius = pie.width() / 2;
  return radius > 0 && over > 0 ? std::max(0.0, (radius - over) / radius) : 1.0;
}

}  // namespace morvane::render::chart::detail
