// WorkbookHost: an .xlsx workbook held in memory for the whole run, standing in for the
// running spreadsheet program behind the excel.h surface. It owns the document (package and
// model) and the program-wide state the surface shows: the active sheet and active chart.
// Objects handed out through the surface hold a shared reference to their host.
#pragma once

#include "office/excel.h"
#include "ooxml/xlsx/workbook_document.h"

#include <QString>

#include <memory>
#include <optional>

namespace morvane::ooxml::chart {
struct Theme;
}

namespace morvane::hosts::workbook {

class PicturePool;

class WorkbookHost : public std::enable_shared_from_this<WorkbookHost> {
 public:
  // Opens `path` as the host's workbook. Fails with the file's or the workbook's error, one
  // line that names the file and the problem. The file itself is never written by opening.
  static ooxml::Result<std::shared_ptr<WorkbookHost>> open(const QString& path);
  ~WorkbookHost();

  // The spreadsheet program this host plays; its ActiveWorkbook is the host's workbook.
  std::shared_ptr<excel::Application> application();
  // Absolute path of the workbook file (the workbook's FullName).
  const QString& path() const { return m_path; }

  // True when the workbook has changes not yet saved (new sheets, names, cells, formats,
  // chart names).
  bool isModified() const { return m_document->isModified(); }
  // Writes the workbook to `path` (usually path()) atomically, rewriting only changed parts.
  // On failure the file at `path` is untouched and the error names it; the changes stay in
  // memory, so a later save can write them.
  ooxml::Status save(const QString& path);

  const ooxml::xlsx::WorkbookDocument& document() const { return *m_document; }
  // The workbook's model as it stands, shared and immutable, for pictures drawn from it later
  // or on other threads; the same one until the workbook changes.
  std::shared_ptr<const ooxml::xlsx::WorkbookModel> snapshot() const;
  // The workbook's theme, read once: no edit of the surface changes it, and every picture
  // asks for it.
  std::shared_ptr<const ooxml::chart::Theme> theme() const;
  // Pictures drawn ahead (Workbook.prefetchPictures).
  PicturePool& pictures() const { return *m_pictures; }

  // State shared by the surface's objects (not for the tool's code). An edit may change any
  // picture: the snapshot and the pictures drawn ahead are dropped.
  ooxml::xlsx::WorkbookDocument& editableDocument();
  // For edits no picture shows (a chart object's name, its creation id): what was drawn stays.
  ooxml::xlsx::WorkbookDocument& editableDocumentKeepingPictures() { return *m_document; }
  int activeSheet() const { return m_activeSheet; }
  void setActiveSheet(int index);
  // The embedded chart made active by ChartObject.Activate: (sheet, drawing object index).
  std::optional<std::pair<int, int>> activeEmbeddedChart() const { return m_activeChart; }
  void setActiveEmbeddedChart(std::optional<std::pair<int, int>> chart) { m_activeChart = chart; }
  bool activeWindowVisible() const { return m_windowVisible; }
  void setActiveWindowVisible(bool visible) { m_windowVisible = visible; }

 private:
  WorkbookHost();

  std::unique_ptr<ooxml::xlsx::WorkbookDocument> m_document;
  mutable std::shared_ptr<const ooxml::xlsx::WorkbookModel> m_snapshot;
  mutable std::shared_ptr<const ooxml::chart::Theme> m_theme;
  std::unique_ptr<PicturePool> m_pictures;  // waits for its workers when destroyed
  QString m_path;
  int m_activeSheet = 0;
  std::optional<std::pair<int, int>> m_activeChart;
  bool m_windowVisible = true;
};

// What the front end gets for a workbook path: the application the tool drives, and the host
// that saves the workbook at the end.
struct OpenedWorkbook {
  std::shared_ptr<excel::Application> application;
  std::shared_ptr<WorkbookHost> host;
};

// Opens `path` for the front end. Fails with an ooxml::Error whose message is one line naming
// the file and the problem (exit status 2 material).
ooxml::Result<OpenedWorkbook> openWorkbook(const QString& path);

}  // namespace morvane::hosts::workbook
