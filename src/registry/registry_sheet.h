// The registry sheet as the scan and the edit writer see it: every read goes to the workbook
// afresh, as the program's cells do. Internal to the registry folder.
#pragma once

#include <memory>

#include "office/excel.h"
#include "registry/registry.h"

namespace morvane::registry::detail {

class RegistrySheet {
 public:
  explicit RegistrySheet(excel::Workbook& workbook)
      : m_sheet(workbook.sheet(kRegistrySheet)), m_application(workbook.application()) {}

  int rowCount() { return m_sheet->range(QStringLiteral("A1"))->currentRegion()->rowsCount(); }
  office::Variant cell(int row, int column) { return m_sheet->cells(row, column)->value(); }
  void setCell(int row, int column, const office::Variant& v) {
    m_sheet->cells(row, column)->setValue(v);
  }
  double maxNumerator() { return m_application->max(*m_sheet->range(QStringLiteral("d1:d10000"))); }

 private:
  std::shared_ptr<excel::Sheet> m_sheet;
  std::shared_ptr<excel::Application> m_application;
};

}  // namespace morvane::registry::detail
