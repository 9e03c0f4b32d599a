#include "ooxml/xlsx/worksheet_model.h"

#include "ooxml/xlsx/drawing_model.h"

namespace morvane::ooxml::xlsx {

const ColumnInfo* Worksheet::columnInfo(int column) const {
  for (const ColumnInfo& c : columns) {
    if (column >= c.min && column <= c.max) return &c;
  }
  return nullptr;
}

int Worksheet::inheritedStyle(int row, int column) const {
  const auto r = rows.find(row);
  if (r != rows.end() && r->second.style) return *r->second.style;
  const ColumnInfo* c = columnInfo(column);
  return c && c->style ? *c->style : 0;
}

int Worksheet::effectiveStyle(int row, int column) const {
  if (const auto own = cells.ownStyle(row, column)) return *own;
  return inheritedStyle(row, column);
}

std::vector<int> Drawing::chartIndices() const {
  std::vector<int> result;
  for (size_t i = 0; i < objects.size(); ++i) {
    if (objects[i].kind == DrawingObject::Kind::Chart) result.push_back(int(i));
  }
  return result;
}

}  // namespace morvane::ooxml::xlsx
