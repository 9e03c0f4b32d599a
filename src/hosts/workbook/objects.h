// The workbook host's implementations of the excel.h interfaces. Each is a small handle:
// the host plus indices into its model (sheets and names are only ever appended, so indices
// stay valid for the whole run). Internal to the host.
#pragma once

#include "hosts/workbook/host.h"
#include "office/automation_error.h"
#include "office/clipboard_formats.h"
#include "office/excel.h"
#include "ooxml/xlsx/cell_reference.h"

namespace morvane::hosts::workbook {

using HostPtr = std::shared_ptr<WorkbookHost>;

class HostApplication : public excel::Application {
 public:
  explicit HostApplication(HostPtr host) : m_host(std::move(host)) {}
  QString version() override { return QStringLiteral("16.0"); }
  std::shared_ptr<excel::Workbook> activeWorkbook() override;
  std::shared_ptr<excel::Sheet> worksheet(const QString& name) override;
  std::shared_ptr<excel::Chart> activeChart() override;
  void setActiveWindowVisible(bool visible) override { m_host->setActiveWindowVisible(visible); }
  double min(const std::vector<office::Variant>& values) override;
  double max(excel::Range& range) override;

 private:
  HostPtr m_host;
};

class HostWorkbook : public excel::Workbook {
 public:
  explicit HostWorkbook(HostPtr host) : m_host(std::move(host)) {}
  QString name() override;
  QString fullName() override { return m_host->path(); }
  bool protectStructure() override;
  std::shared_ptr<excel::Application> application() override { return m_host->application(); }
  std::vector<std::shared_ptr<excel::Sheet>> sheets() override;
  std::shared_ptr<excel::Sheet> sheet(int index) override;
  std::shared_ptr<excel::Sheet> sheet(const QString& name) override;
  std::vector<std::shared_ptr<excel::Sheet>> worksheets() override;
  std::shared_ptr<excel::Sheet> worksheet(const QString& name) override;
  std::shared_ptr<excel::Sheet> worksheetsAdd() override;
  std::vector<std::shared_ptr<excel::Chart>> charts() override;
  std::shared_ptr<excel::Chart> chart(const QString& name) override;
  int namesCount() override;
  std::vector<std::shared_ptr<excel::Name>> names() override;
  std::shared_ptr<excel::Name> name(int index) override;
  std::shared_ptr<excel::Name> name(const QString& name) override;
  std::shared_ptr<excel::Name> namesAdd(const QString& name, const QString& refersToR1C1) override;
  std::shared_ptr<excel::Sheet> activeSheet() override;
  std::shared_ptr<excel::Chart> activeChart() override;
  void prefetchPictures(const std::vector<excel::PictureHint>& objects,
                        excel::PictureUse use) override;

 private:
  std::vector<int> listedNames() const;
  HostPtr m_host;
};

class HostSheet : public excel::Sheet, public std::enable_shared_from_this<HostSheet> {
 public:
  HostSheet(HostPtr host, int index) : m_host(std::move(host)), m_index(index) {}
  excel::SheetType type() override;
  QString name() override;
  void setName(const QString& name) override;
  int visible() override;
  void setVisible(int visibility) override;
  void select() override;
  std::vector<std::shared_ptr<excel::ChartObject>> chartObjects() override;
  std::shared_ptr<excel::ChartObject> chartObject(const QString& name) override;
  std::shared_ptr<excel::Range> cells(int row, int column) override;
  std::shared_ptr<excel::Range> range(const QString& addressOrName) override;
  std::shared_ptr<excel::Range> columns(const QString& address) override;
  std::shared_ptr<excel::Chart> chart() override;

 private:
  void requireWorksheet();
  HostPtr m_host;
  int m_index;
};

class HostRange : public excel::Range {
 public:
  HostRange(HostPtr host, int sheet, const ooxml::xlsx::CellRange& area)
      : m_host(std::move(host)), m_sheet(sheet), m_area(area) {}
  office::Variant value() override;
  void setValue(const office::Variant& value) override;
  QString address() override;
  int row() override { return m_area.firstRow; }
  int column() override { return m_area.firstColumn; }
  int rowsCount() override { return m_area.rows(); }
  int columnsCount() override { return m_area.columns(); }
  std::shared_ptr<excel::Range> currentRegion() override;
  std::shared_ptr<excel::Sheet> worksheet() override;
  QString numberFormat() override;
  void setNumberFormat(const QString& format) override;
  void copy() override;
  void copyPicture(int appearance, int format) override;
  std::shared_ptr<excel::Range> find(const office::Variant& what, int lookIn) override;

  // WorksheetFunction.Max over this range's numbers; 0 when it holds none.
  double maxNumber() const;
  int sheetIndex() const { return m_sheet; }
  const ooxml::xlsx::CellRange& area() const { return m_area; }

 private:
  // The record a copy of these cells offers: the defined name they are the range of.
  std::optional<office::SourceRecord> source() const;
  HostPtr m_host;
  int m_sheet;
  ooxml::xlsx::CellRange m_area;
};

class HostChartObject : public excel::ChartObject {
 public:
  HostChartObject(HostPtr host, int sheet, int object) : m_host(std::move(host)), m_sheet(sheet), m_object(object) {}
  QString name() override;
  void setName(const QString& name) override;
  void activate() override;
  std::shared_ptr<excel::Chart> chart() override;
  QString stableKey() override;

 private:
  HostPtr m_host;
  int m_sheet;
  int m_object;
};

// An embedded chart (object >= 0) or a chart sheet's chart (object -1).
class HostChart : public excel::Chart {
 public:
  HostChart(HostPtr host, int sheet, int object) : m_host(std::move(host)), m_sheet(sheet), m_object(object) {}
  QString name() override;
  void chartAreaCopy() override;
  void copyPicture(int appearance, int size, int format) override;
  std::shared_ptr<excel::ChartObject> parent() override;
  int sheetIndex() const { return m_sheet; }
  int objectIndex() const { return m_object; }

 private:
  HostPtr m_host;
  int m_sheet;
  int m_object;
};

class HostName : public excel::Name {
 public:
  HostName(HostPtr host, int index) : m_host(std::move(host)), m_index(index) {}
  QString name() override;
  bool visible() override;
  QString refersTo() override;
  std::shared_ptr<excel::Range> refersToRange() override;
  int areasCount() override;

 private:
  HostPtr m_host;
  int m_index;
};

// The error the program raises for a failing member of one of its objects (1004).
office::AutomationError programError(const QString& description);
// The range a defined name's formula refers to, or nullptr when it refers to no worksheet
// range of this workbook.
std::shared_ptr<HostRange> resolveNameRange(const HostPtr& host, int nameIndex);

}  // namespace morvane::hosts::workbook
