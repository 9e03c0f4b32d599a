// The list load and the pasting orders of the main window.
#include "mainwindow/table_sort.h"
#include "mainwindow/user_form_obj.h"

#include "office/automation_error.h"
#include "registry/registry.h"
#include "startup/tool.h"

#include <QComboBox>
#include <QTreeWidget>

namespace morvane::mainwindow {

int UserFormObj::listCount() const { return listCharts->topLevelItemCount(); }

QString UserFormObj::listText(int row, int column) const {
  return listCharts->topLevelItem(row)->text(column);
}

void UserFormObj::setListText(int row, int column, const QString& text) {
  listCharts->topLevelItem(row)->setText(column, text);
}

void UserFormObj::setListIndex(int row) {
  if (row == m_listIndex) return;
  if (row < -1 || row >= listCount())
    throw office::AutomationError(380, QStringLiteral(
                                           "Could not set the ListIndex property. Invalid property value."));
  {
    const QSignalBlocker block(listCharts);
    listCharts->clearSelection();
    if (row < 0) {
      listCharts->setCurrentItem(nullptr);
    } else {
      QTreeWidgetItem* item = listCharts->topLevelItem(row);
      listCharts->setCurrentItem(item);
      item->setSelected(true);
    }
    listCharts->viewport()->update();
  }
  m_listIndex = row;
  listCharts_Change();
}

registry::ListEdits UserFormObj::listEdits() const {
  registry::ListEdits edits;
  if (isTitleMode())
    edits.titleMode = true;
  else if (isNumberMode())
    edits.titleMode = false;
  if (listCount() == 1 && listText(0, 0) == kNothingFound) return edits;
  for (int r = 0; r < listCount(); ++r) {
    const int row = edits.rows.addRow();
    for (int c = 0; c < registry::kObjectColumns; ++c) edits.rows.at(c + 1, row) = listText(r, c);
  }
  return edits;
}

void UserFormObj::showNothingFound() {
  const QSignalBlocker block(listCharts);
  listCharts->clear();
  auto* item = new QTreeWidgetItem(listCharts);
  for (int c = 0; c < registry::kObjectColumns; ++c) item->setText(c, QString());
  item->setText(0, kNothingFound);
  m_listIndex = -1;
}

void UserFormObj::fillListFromTable() {
  const QSignalBlocker block(listCharts);
  listCharts->clear();
  QList<QTreeWidgetItem*> items;
  for (int r = 1; r <= m_table.rowCount(); ++r) {
    auto* item = new QTreeWidgetItem;
    for (int c = 1; c <= registry::kObjectColumns; ++c) item->setText(c - 1, m_table.at(c, r).toText());
    items << item;
  }
  listCharts->addTopLevelItems(items);
  m_listIndex = -1;
}

void UserFormObj::InitPage() {
  setWindowTitle(kTitleCentral);
  registry::SyncRegistry(*m_tool.workbook, m_tool.objectTable, m_tool.counts, m_tool.leftOutNames);
  m_table = m_tool.objectTable;
  if (m_tool.counts.objectCount == 0) {
    showNothingFound();
  } else {
    fillListFromTable();
    setListIndex(0);
    listCharts->scrollToTop();
  }
  SortListChart(registry::kColNumerator);
  SortListChart(registry::kColNumerator);
}

void UserFormObj::SortListChart(int column) {
  if (m_tool.counts.objectCount == 0) {
    showNothingFound();
    return;
  }
  fillListFromTable();
  exchangeSort(m_table, column);
}

void UserFormObj::ComboChtSort_Change() {
  if (!m_setupFinished || m_tool.counts.knownObjectCount <= 0) return;
  static constexpr int kKeys[] = {registry::kColName, registry::kColSheet, registry::kColNumerator};
  const int index = ComboChtSort->currentIndex();
  if (index < 0 || index > 2) return;
  SortListChart(kKeys[index]);
  SortListChart(kKeys[index]);
}

void UserFormObj::setComboChtSortIndex(int index) {
  if (index == ComboChtSort->currentIndex()) return;
  {
    const QSignalBlocker block(ComboChtSort);
    ComboChtSort->setCurrentIndex(index);
  }
  ComboChtSort_Change();
}

}  // namespace morvane::mainwindow
