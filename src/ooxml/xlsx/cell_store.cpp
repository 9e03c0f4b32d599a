#include "ooxml/xlsx/cell_store.h"

namespace morvane::ooxml::xlsx {

using detail::CellRow;
using detail::PackedCell;

namespace {

bool byColumn(const PackedCell& c, int column) { return c.column < column; }
bool byNumber(const CellRow& r, int row) { return r.number < row; }

PackedCell packedBits(int column, CellValue::Type type, CellStore::Bits bits) {
  PackedCell p;
  p.column = uint16_t(column);
  p.type = uint8_t(type);
  p.style = bits.style;
  if (bits.hasStyle) p.flags |= PackedCell::kHasStyle;
  if (bits.hasFormula) p.flags |= PackedCell::kHasFormula;
  return p;
}

// Puts one row's cells in column order; of cells at one column the last read wins.
void orderRow(std::vector<PackedCell>& cells) {
  std::stable_sort(cells.begin(), cells.end(),
                   [](const PackedCell& a, const PackedCell& b) { return a.column < b.column; });
  size_t out = 0;
  for (size_t i = 0; i < cells.size(); ++i) {
    if (i + 1 < cells.size() && cells[i + 1].column == cells[i].column) continue;
    cells[out++] = cells[i];
  }
  cells.resize(out);
}

}  // namespace

CellStore::Data& CellStore::editable() {
  if (!d)
    d = std::make_shared<Data>();
  else if (d.use_count() > 1)
    d = std::make_shared<Data>(*d);
  return *d;
}

std::vector<CellRow>::const_iterator CellStore::rowAtOrAfter(int row) const {
  return std::lower_bound(d->rows.begin(), d->rows.end(), row, byNumber);
}

Cell CellStore::unpack(const PackedCell& p) const {
  Cell cell;
  cell.style = p.style;
  cell.hasStyle = p.flags & PackedCell::kHasStyle;
  cell.hasFormula = p.flags & PackedCell::kHasFormula;
  cell.value.type = CellValue::Type(p.type);
  switch (cell.value.type) {
    case CellValue::Type::Number:
      cell.value.number = p.number;
      break;
    case CellValue::Type::Boolean:
      cell.value.boolean = p.flags & PackedCell::kTrue;
      break;
    case CellValue::Type::Text:
    case CellValue::Type::Error:
      if (p.flags & PackedCell::kEdited)
        cell.value.text = d->edited[p.text];
      else if (p.flags & PackedCell::kShared)
        cell.value.text = d->shared ? d->shared->at(p.text) : QString();
      else
        cell.value.text = d->texts.at(p.text);
      break;
    case CellValue::Type::Empty:
      break;
  }
  return cell;
}

PackedCell CellStore::pack(const Cell& cell, const PackedCell* replaced) {
  PackedCell p = packedBits(0, cell.value.type, {cell.style, cell.hasStyle, cell.hasFormula});
  const bool textReplaced = replaced && (replaced->flags & PackedCell::kEdited) &&
                            (replaced->type == uint8_t(CellValue::Type::Text) ||
                             replaced->type == uint8_t(CellValue::Type::Error));
  switch (cell.value.type) {
    case CellValue::Type::Number:
      p.number = cell.value.number;
      break;
    case CellValue::Type::Boolean:
      if (cell.value.boolean) p.flags |= PackedCell::kTrue;
      break;
    case CellValue::Type::Text:
    case CellValue::Type::Error:
      p.flags |= PackedCell::kEdited;
      // A cell edited again reuses its slot, so repeated edits do not pile up texts.
      if (textReplaced) {
        p.text = replaced->text;
        d->edited[p.text] = cell.value.text;
      } else {
        p.text = uint32_t(d->edited.size());
        d->edited.push_back(cell.value.text);
      }
      break;
    case CellValue::Type::Empty:
      break;
  }
  return p;
}

const PackedCell* CellStore::find(int row, int column) const {
  if (!d) return nullptr;
  const auto r = rowAtOrAfter(row);
  if (r == d->rows.end() || r->number != row) return nullptr;
  const auto c = std::lower_bound(r->cells.begin(), r->cells.end(), column, byColumn);
  return c == r->cells.end() || c->column != column ? nullptr : &*c;
}

std::optional<Cell> CellStore::at(int row, int column) const {
  const PackedCell* p = find(row, column);
  return p ? std::optional<Cell>(unpack(*p)) : std::nullopt;
}

std::optional<int> CellStore::ownStyle(int row, int column) const {
  const PackedCell* p = find(row, column);
  return p && (p->flags & PackedCell::kHasStyle) ? std::optional<int>(p->style) : std::nullopt;
}

void CellStore::set(int row, int column, const Cell& cell) {
  if (row < 1 || row > kMaxRows || column < 1 || column > kMaxColumns) return;
  Data& data = editable();
  auto r = std::lower_bound(data.rows.begin(), data.rows.end(), row, byNumber);
  if (r == data.rows.end() || r->number != row) r = data.rows.insert(r, CellRow{row, {}});
  auto c = std::lower_bound(r->cells.begin(), r->cells.end(), column, byColumn);
  const bool replacing = c != r->cells.end() && c->column == column;
  PackedCell p = pack(cell, replacing ? &*c : nullptr);
  p.column = uint16_t(column);
  if (replacing) {
    *c = p;
    return;
  }
  r->cells.insert(c, p);
  ++data.count;
}

bool CellStore::erase(int row, int column) {
  if (!find(row, column)) return false;
  Data& data = editable();
  auto r = std::lower_bound(data.rows.begin(), data.rows.end(), row, byNumber);
  r->cells.erase(std::lower_bound(r->cells.begin(), r->cells.end(), column, byColumn));
  if (r->cells.empty()) data.rows.erase(r);
  --data.count;
  return true;
}

std::optional<CellStore::Entry> CellStore::lastBefore(int row, int column) const {
  if (!d) return std::nullopt;
  const auto r = rowAtOrAfter(row);
  if (r == d->rows.end() || r->number != row) return std::nullopt;
  const auto c = std::lower_bound(r->cells.begin(), r->cells.end(), column, byColumn);
  if (c == r->cells.begin()) return std::nullopt;
  const PackedCell& p = *std::prev(c);
  return Entry{row, p.column, unpack(p)};
}

std::optional<CellStore::Entry> CellStore::firstAfter(int row, int column) const {
  if (!d) return std::nullopt;
  const auto r = rowAtOrAfter(row);
  if (r == d->rows.end() || r->number != row) return std::nullopt;
  const auto c = std::upper_bound(r->cells.begin(), r->cells.end(), column,
                                  [](int col, const PackedCell& p) { return col < p.column; });
  if (c == r->cells.end()) return std::nullopt;
  return Entry{row, c->column, unpack(*c)};
}

std::optional<CellRange> CellStore::bounds() const {
  if (!d || d->rows.empty()) return std::nullopt;
  CellRange box{d->rows.front().number, kMaxColumns, d->rows.back().number, 1};
  for (const CellRow& r : d->rows) {
    box.firstColumn = std::min(box.firstColumn, int(r.cells.front().column));
    box.lastColumn = std::max(box.lastColumn, int(r.cells.back().column));
  }
  return box;
}

void CellStore::setSharedStrings(std::shared_ptr<const StringTable> table) {
  editable().shared = std::move(table);
}

void CellStore::append(int row, PackedCell cell) {
  Data& data = editable();
  if (data.rows.empty() || row != data.rows.back().number) {
    size_t expected = 0;
    if (!data.rows.empty()) {
      if (row < data.rows.back().number) data.unordered = true;
      // Rows of a sheet are mostly alike: the next takes the last one's size, and a row
      // that grew by doubling gives the spare room back.
      auto& last = data.rows.back().cells;
      if (last.capacity() > last.size() + last.size() / 8) last.shrink_to_fit();
      expected = last.size();
    }
    data.rows.push_back(CellRow{row, {}});
    data.rows.back().cells.reserve(expected);
  }
  auto& cells = data.rows.back().cells;
  if (!cells.empty() && cell.column <= cells.back().column) data.unordered = true;
  cells.push_back(cell);
  ++data.count;
}

void CellStore::appendValue(int row, int column, const CellValue& value, Bits bits) {
  PackedCell p = packedBits(column, value.type, bits);
  if (value.type == CellValue::Type::Number) p.number = value.number;
  if (value.type == CellValue::Type::Boolean && value.boolean) p.flags |= PackedCell::kTrue;
  append(row, p);
}

void CellStore::appendText(int row, int column, CellValue::Type type, std::string_view utf8,
                           Bits bits) {
  PackedCell p = packedBits(column, type, bits);
  p.text = editable().texts.append(utf8);
  append(row, p);
}

void CellStore::appendShared(int row, int column, uint32_t index, Bits bits) {
  PackedCell p = packedBits(column, CellValue::Type::Text, bits);
  p.flags |= PackedCell::kShared;
  p.text = index;
  append(row, p);
}

void CellStore::finishReading() {
  if (!d) return;
  Data& data = editable();
  data.texts.squeeze();
  if (!data.rows.empty()) data.rows.back().cells.shrink_to_fit();
  if (!data.unordered) return;
  std::stable_sort(data.rows.begin(), data.rows.end(),
                   [](const CellRow& a, const CellRow& b) { return a.number < b.number; });
  std::vector<CellRow> merged;
  data.count = 0;
  for (CellRow& r : data.rows) {
    if (merged.empty() || merged.back().number != r.number) merged.push_back(CellRow{r.number, {}});
    auto& cells = merged.back().cells;
    cells.insert(cells.end(), r.cells.begin(), r.cells.end());
  }
  for (CellRow& r : merged) {
    orderRow(r.cells);
    r.cells.shrink_to_fit();
    data.count += r.cells.size();
  }
  data.rows = std::move(merged);
  data.unordered = false;
}

}  // namespace morvane::ooxml::xlsx
