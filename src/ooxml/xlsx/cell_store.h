// The cells of one worksheet in a compact form: rows in order, each a sorted run of 16-byte
// cells whose texts are indices into the shared string table or into the sheet's own block
// of UTF-8. Copies share the content until one of them is edited (copy on write), so a
// snapshot of a workbook with millions of cells costs next to nothing. A copy may be read on
// one thread while another copy is edited; one store is not for two threads at once.
#pragma once

#include <QString>
#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "ooxml/xlsx/cell_reference.h"
#include "ooxml/xlsx/string_table.h"

namespace morvane::ooxml::xlsx {

struct CellValue {
  enum class Type { Empty, Number, Text, Boolean, Error };
  Type type = Type::Empty;
  double number = 0;
  QString text;  // Text, or the error code ("#N/A") for Error
  bool boolean = false;

  static CellValue fromNumber(double d) { return {Type::Number, d, {}, false}; }
  static CellValue fromText(const QString& s) { return {Type::Text, 0, s, false}; }
  static CellValue fromBoolean(bool b) { return {Type::Boolean, 0, {}, b}; }
  static CellValue fromError(const QString& code) { return {Type::Error, 0, code, false}; }
  bool isEmpty() const { return type == Type::Empty; }
  bool operator==(const CellValue&) const = default;
};

struct Cell {
  CellValue value;        // for formula cells, the cached result
  int style = 0;          // index into Styles::cellFormats
  bool hasStyle = false;  // the file gave an s attribute
  bool hasFormula = false;
  // A cell counts as non-empty (CurrentRegion, Find) when it has a value or a formula.
  bool isBlank() const { return value.isEmpty() && !hasFormula; }
};

namespace detail {

// One stored cell. Texts are an index into one of three places: the shared string table,
// the sheet's UTF-8 block (texts read from the part) or its edited texts (kept as QString,
// so an edit keeps every UTF-16 code unit).
struct PackedCell {
  enum Flag : uint8_t { kHasStyle = 1, kHasFormula = 2, kTrue = 4, kShared = 8, kEdited = 16 };
  uint16_t column = 0;
  uint8_t type = 0;  // CellValue::Type
  uint8_t flags = 0;
  int32_t style = 0;
  union {
    double number;
    uint32_t text;
  };
  PackedCell() : number(0) {}
};
static_assert(sizeof(PackedCell) == 16);

struct CellRow {
  int number = 0;
  std::vector<PackedCell> cells;  // by column
};

}  // namespace detail

class CellStore {
 public:
  // What a reader knows of a cell besides its value.
  struct Bits {
    int style = 0;
    bool hasStyle = false;
    bool hasFormula = false;
  };
  struct Entry {
    int row = 0;
    int column = 0;
    Cell cell;
  };

  // The cell at (row, column); nullopt when none is stored.
  std::optional<Cell> at(int row, int column) const;
  // The style of the cell at (row, column) when it has one of its own; cheaper than at().
  std::optional<int> ownStyle(int row, int column) const;
  bool empty() const { return size() == 0; }
  size_t size() const { return d ? d->count : 0; }
  // Stores `cell` at (row, column), replacing what was there.
  void set(int row, int column, const Cell& cell);
  // Removes the cell at (row, column); false when there was none.
  bool erase(int row, int column);

  // `cells[{row, column}] = cell` stores the cell as set() does; assignment is all it offers.
  class Slot {
   public:
    Slot& operator=(const Cell& cell) {
      m_store.set(m_position.first, m_position.second, cell);
      return *this;
    }

   private:
    friend class CellStore;
    Slot(CellStore& store, std::pair<int, int> position) : m_store(store), m_position(position) {}
    CellStore& m_store;
    std::pair<int, int> m_position;
  };
  Slot operator[](std::pair<int, int> position) { return Slot(*this, position); }

  // Calls f(row, column, const Cell&) for the stored cells of `area` in row order, until f
  // returns false. Returns false when f stopped it.
  template <typename F>
  bool forEachIn(const CellRange& area, F&& f) const;
  // The nearest stored cell of `row` left of `column`, and right of it.
  std::optional<Entry> lastBefore(int row, int column) const;
  std::optional<Entry> firstAfter(int row, int column) const;
  // The bounds of the stored cells; nullopt when there are none.
  std::optional<CellRange> bounds() const;

  // Reading a part: cells arrive in file order, and a later one at a position replaces an
  // earlier one; finishReading() puts them in order. Shared texts index `table`.
  void setSharedStrings(std::shared_ptr<const StringTable> table);
  void appendValue(int row, int column, const CellValue& value, Bits bits);  // not Text, Error
  void appendText(int row, int column, CellValue::Type type, std::string_view utf8, Bits bits);
  void appendShared(int row, int column, uint32_t index, Bits bits);
  void finishReading();

 private:
  struct Data {
    std::vector<detail::CellRow> rows;  // by number
    StringTable texts;
    std::vector<QString> edited;
    std::shared_ptr<const StringTable> shared;
    size_t count = 0;
    bool unordered = false;  // reading met a row or column out of order
  };

  Data& editable();
  void append(int row, detail::PackedCell cell);
  Cell unpack(const detail::PackedCell& cell) const;
  // `replaced`: the cell stored there before, whose edited-text slot the new one reuses.
  detail::PackedCell pack(const Cell& cell, const detail::PackedCell* replaced);
  // The first row numbered `row` or later.
  std::vector<detail::CellRow>::const_iterator rowAtOrAfter(int row) const;
  // The stored cell at (row, column), or nullptr.
  const detail::PackedCell* find(int row, int column) const;

  std::shared_ptr<Data> d;
};

template <typename F>
bool CellStore::forEachIn(const CellRange& area, F&& f) const {
  if (!d) return true;
  for (auto row = rowAtOrAfter(area.firstRow); row != d->rows.end() && row->number <= area.lastRow;
       ++row) {
    auto cell =
        std::lower_bound(row->cells.begin(), row->cells.end(), area.firstColumn,
                         [](const detail::PackedCell& c, int column) { return c.column < column; });
    for (; cell != row->cells.end() && cell->column <= area.lastColumn; ++cell) {
      if (!f(row->number, int(cell->column), unpack(*cell))) return false;
    }
  }
  return true;
}

}  // namespace morvane::ooxml::xlsx
