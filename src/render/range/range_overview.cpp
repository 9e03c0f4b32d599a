#include "render/range/range_overview.h"

#include <QImage>
#include <algorithm>
#include <cmath>
#include <vector>

#include "render/range/cell_text.h"

namespace morvane::render::range {

namespace {

constexpr double kPixel = 0.75;
const QColor kGridlineColor(0xD4, 0xD4, 0xD4);
// Rows or columns thinner than this on the device show no readable text.
constexpr double kMinCellPixels = 4;
// More cells than this are not laid out one by one: a full screen holds a few thousand, and
// each text costs its layout and, in a metafile, its records.
constexpr double kMaxDetailedCells = 100'000;
// Of a line of text's box, the share its glyphs cover; an average advance in ems.
constexpr double kInkShare = 0.3;
constexpr double kAdvanceEms = 0.5;
constexpr double kMaxMergedPixels = 20 * kMaxOverviewPixels;

// Colour summed with the share of a pixel it covers.
struct Coverage {
  float red = 0, green = 0, blue = 0, share = 0;
};

// The overview's pixels, each summing what lies over it.
class Canvas {
 public:
  Canvas(QSizeF points, QSizeF pixelsPerPoint) : m_points(points) {
    double width = std::max(1.0, std::ceil(points.width() * pixelsPerPoint.width() - 1e-6));
    double height = std::max(1.0, std::ceil(points.height() * pixelsPerPoint.height() - 1e-6));
    const double block = std::ceil(std::sqrt(width * height / kMaxOverviewPixels));
    if (block > 1) width = std::ceil(width / block), height = std::ceil(height / block);
    m_width = int(width);
    m_height = int(height);
    m_pixelWidth = points.width() / m_width;
    m_pixelHeight = points.height() / m_height;
    m_fills.resize(size_t(m_width) * size_t(m_height));
    m_ink.resize(m_fills.size());
    m_columnLines.resize(size_t(m_width));
    m_rowLines.resize(size_t(m_height));
  }

  void fill(const QRectF& r, const QColor& c) { add(m_fills, r, c, 1); }
  // How many pixels `r` touches.
  double pixelsUnder(const QRectF& r) const {
    const QRectF in = r.intersected(QRectF(QPointF(0, 0), m_points));
    return (in.width() / m_pixelWidth + 1) * (in.height() / m_pixelHeight + 1);
  }
  void ink(const QRectF& r, const QColor& c, double density) { add(m_ink, r, c, density); }
  // A vertical gridline at x (its pixel left of x), a horizontal one at y.
  void columnLine(double x) { addSpan(m_columnLines, x - kPixel, x, m_pixelWidth); }
  void rowLine(double y) { addSpan(m_rowLines, y - kPixel, y, m_pixelHeight); }

  QImage image(bool gridlines) const {
    QImage out(m_width, m_height, QImage::Format_RGB32);
    for (int y = 0; y < m_height; ++y) {
      auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
      for (int x = 0; x < m_width; ++x) {
        const size_t i = size_t(y) * size_t(m_width) + size_t(x);
        const double g = gridlines ? 1 - (1 - std::min(1.0, double(m_columnLines[size_t(x)]))) *
                                             (1 - std::min(1.0, double(m_rowLines[size_t(y)])))
                                   : 0;
        const Coverage& f = m_fills[i];
        const Coverage& k = m_ink[i];
        const double fillShare = std::min(1.0, double(f.share)),
                     inkShare = std::min(1.0, double(k.share));
        const double fillScale = f.share > 1 ? 1 / double(f.share) : 1;
        const double inkScale = k.share > 1 ? 1 / double(k.share) : 1;
        auto channel = [&](float fill, float ink, double grid) {
          const double ground = (1 - g) + g * grid;
          const double base = fill * fillScale + (1 - fillShare) * ground;
          return int(
              std::lround(255 * std::clamp(base * (1 - inkShare) + ink * inkScale, 0.0, 1.0)));
        };
        line[x] = qRgb(channel(f.red, k.red, kGridlineColor.redF()),
                       channel(f.green, k.green, kGridlineColor.greenF()),
                       channel(f.blue, k.blue, kGridlineColor.blueF()));
      }
    }
    return out;
  }

 private:
  void add(std::vector<Coverage>& layer, QRectF r, const QColor& c, double density) {
    r = r.intersected(QRectF(QPointF(0, 0), m_points));
    if (r.isEmpty()) return;
    const int x0 = std::clamp(int(r.left() / m_pixelWidth), 0, m_width - 1);
    const int x1 = std::clamp(int(std::ceil(r.right() / m_pixelWidth)), x0 + 1, m_width);
    const int y0 = std::clamp(int(r.top() / m_pixelHeight), 0, m_height - 1);
    const int y1 = std::clamp(int(std::ceil(r.bottom() / m_pixelHeight)), y0 + 1, m_height);
    const float red = float(c.redF()), green = float(c.greenF()), blue = float(c.blueF());
    for (int y = y0; y < y1; ++y) {
      const double dy = overlap(r.top(), r.bottom(), y * m_pixelHeight, m_pixelHeight);
      for (int x = x0; x < x1; ++x) {
        const auto share =
            float(density * dy * overlap(r.left(), r.right(), x * m_pixelWidth, m_pixelWidth));
        Coverage& p = layer[size_t(y) * size_t(m_width) + size_t(x)];
        p.red += red * share;
        p.green += green * share;
        p.blue += blue * share;
        p.share += share;
      }
    }
  }
  static void addSpan(std::vector<float>& shares, double from, double to, double pixel) {
    const int count = int(shares.size());
    const int first = std::clamp(int(from / pixel), 0, count - 1);
    const int last = std::clamp(int(std::ceil(to / pixel)), first + 1, count);
    for (int i = first; i < last; ++i)
      shares[size_t(i)] += float(overlap(from, to, i * pixel, pixel));
  }
  // The share of pixel [start, start + size) that [from, to) covers.
  static double overlap(double from, double to, double start, double size) {
    return std::max(0.0, std::min(to, start + size) - std::max(from, start)) / size;
  }

  QSizeF m_points;
  int m_width = 1, m_height = 1;
  double m_pixelWidth = 1, m_pixelHeight = 1;
  std::vector<Coverage> m_fills, m_ink;
  std::vector<float> m_columnLines, m_rowLines;
};

// Characters a value shows, roughly: its digits for a number, its length for a text.
int shownLength(const ooxml::xlsx::CellValue& value) {
  using Type = ooxml::xlsx::CellValue::Type;
  switch (value.type) {
    case Type::Number: {
      const double v = std::abs(value.number);
      if (!std::isfinite(v)) return 1;
      int digits = 1;
      for (double power = 10; v >= power && digits < 11; power *= 10) ++digits;
      return digits + (v == std::floor(v) ? 0 : 3) + (value.number < 0 ? 1 : 0);
    }
    case Type::Boolean:
      return value.boolean ? 4 : 5;
    case Type::Empty:
      return 0;
    default:
      return int(value.text.size());
  }
}

// The ink of a cell's text: a line of its estimated width at its alignment, at the foot,
// top or middle of the cell.
void addText(Canvas& canvas, const ooxml::xlsx::CellValue& value, const CellLook& look,
             const QRectF& cell) {
  const double size = std::clamp(look.font.pointSizeF(), 1.0, 409.0);
  const double room = cell.width() - kTextPadLeft - kTextPadRight;
  const double width = std::min(room, shownLength(value) * kAdvanceEms * size);
  const double height = std::min(cell.height(), 0.75 * size);
  if (width <= 0 || height <= 0) return;
  const QString& h = look.alignment.horizontal;
  const bool number = value.type == ooxml::xlsx::CellValue::Type::Number;
  double left = cell.left() + kTextPadLeft;
  if (h == QLatin1String("right") || (h.isEmpty() && number))
    left = cell.right() - kTextPadRight - width;
  else if (h == QLatin1String("center"))
    left = cell.center().x() - width / 2;
  const QString& v = look.alignment.vertical;
  double top = cell.bottom() - kPixel - height;
  if (v == QLatin1String("top"))
    top = cell.top() + kPixel;
  else if (v == QLatin1String("center"))
    top = cell.center().y() - height / 2;
  canvas.ink(QRectF(left, top, width, height), look.textColor, kInkShare);
}

void addBorders(Canvas& canvas, const CellLook& look, const QRectF& cell) {
  const auto edge = [&](const BorderLine& line, const QRectF& strip) {
    if (!line.isNone()) canvas.ink(strip, line.color, 1);
  };
  edge(look.left, QRectF(cell.left(), cell.top(), kPixel, cell.height()));
  edge(look.right, QRectF(cell.right() - kPixel, cell.top(), kPixel, cell.height()));
  edge(look.top, QRectF(cell.left(), cell.top(), cell.width(), kPixel));
  edge(look.bottom, QRectF(cell.left(), cell.bottom() - kPixel, cell.width(), kPixel));
}

}  // namespace

bool needsOverview(const RangeGrid& grid, QSizeF pixelsPerPoint) {
  const RangeRect& r = grid.rect();
  double rows = 0, columns = 0;
  for (int row = r.firstRow; row <= r.lastRow; ++row) rows += grid.rowHeight(row) > 0;
  for (int c = r.firstColumn; c <= r.lastColumn; ++c) columns += grid.columnWidth(c) > 0;
  if (rows == 0 || columns == 0) return false;
  const QSizeF size = grid.size();
  return size.height() * pixelsPerPoint.height() / rows < kMinCellPixels ||
         size.width() * pixelsPerPoint.width() / columns < kMinCellPixels ||
         rows * columns > kMaxDetailedCells;
}

QImage rangeOverview(const ooxml::xlsx::Worksheet& sheet, const RangeGrid& grid, CellLooks& looks,
                     bool gridlines, QSizeF pixelsPerPoint) {
  Canvas canvas(grid.size(), pixelsPerPoint);
  const RangeRect& r = grid.rect();
  for (int c = r.firstColumn; c <= r.lastColumn; ++c)
    if (grid.columnWidth(c) > 0) canvas.columnLine(grid.columnLeft(c) + grid.columnWidth(c));
  for (int row = r.firstRow; row <= r.lastRow; ++row)
    if (grid.rowHeight(row) > 0) canvas.rowLine(grid.rowTop(row) + grid.rowHeight(row));
  int lastStyle = -1;
  const CellLook* lastLook = nullptr;
  sheet.cells.forEachIn(r, [&](int row, int column, const ooxml::xlsx::Cell& cell) {
    const double height = grid.rowHeight(row), width = grid.columnWidth(column);
    if (height <= 0 || width <= 0) return true;
    const int style = cell.hasStyle ? cell.style : sheet.inheritedStyle(row, column);
    if (style != lastStyle || !lastLook) lastLook = &looks.look(style), lastStyle = style;
    const CellLook& look = *lastLook;
    const QRectF area(grid.columnLeft(column), grid.rowTop(row), width, height);
    if (look.fill) canvas.fill(area, *look.fill);
    addBorders(canvas, look, area);
    if (!cell.value.isEmpty()) addText(canvas, cell.value, look, area);
    return true;
  });
  // A merged area shows its first cell's fill throughout; a file with more merged pixels than
  // a few pictures hold keeps the rest as plain cells.
  double mergedPixels = 0;
  for (const RangeRect& m : sheet.mergedCells) {
    if (m.lastRow < r.firstRow || m.firstRow > r.lastRow || m.lastColumn < r.firstColumn ||
        m.firstColumn > r.lastColumn)
      continue;
    const CellLook& look = looks.look(sheet.effectiveStyle(m.firstRow, m.firstColumn));
    if (!look.fill) continue;
    const QRectF area = grid.areaRect(m);
    mergedPixels += canvas.pixelsUnder(area);
    if (mergedPixels > kMaxMergedPixels) break;
    canvas.fill(area, *look.fill);
  }
  return canvas.image(gridlines);
}

}  // namespace morvane::render::range
