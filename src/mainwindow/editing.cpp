// Editing an item: slide number and title, include flags, moves, and the window commands.
#include "mainwindow/help_launcher.h"
#include "mainwindow/user_form_obj.h"

#include "registry/registry.h"
#include "startup/start_tool.h"
#include "startup/tool.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTreeWidget>

namespace morvane::mainwindow {

namespace {

// The runtime's Trim: blanks (character 32) only, not tabs or other white space.
QString trimBlanks(const QString& text) {
  qsizetype first = 0, last = text.size();
  while (first < last && text[first] == QLatin1Char(' ')) ++first;
  while (last > first && text[last - 1] == QLatin1Char(' ')) --last;
  return text.mid(first, last - first);
}

}  // namespace

void UserFormObj::TextBox10_KeyDown() { m_lastSlideText = TextBox10->text(); }

void UserFormObj::TextBox10_Change() {
  if (m_listIndex >= 0) setListText(m_listIndex, registry::kColSlideNumber - 1, TextBox10->text());
  // Setting the trimmed or restored text runs this handler again, nested, for that text.
  setTextBox10Text(trimBlanks(TextBox10->text()));
  const QString now = TextBox10->text();
  if (!now.isEmpty() && !office::isNumericText(now)) setTextBox10Text(m_lastSlideText);
}

void UserFormObj::TextBox1_Change() {
  if (m_listIndex >= 0) setListText(m_listIndex, registry::kColSlideTitle - 1, TextBox1->toPlainText());
}

void UserFormObj::setTextBox10Text(const QString& text) {
  if (TextBox10->text() == text) return;
  {
    const QSignalBlocker block(TextBox10);
    TextBox10->setText(text);
  }
  TextBox10_Change();
}

void UserFormObj::setTextBox1Text(const QString& text) {
  if (TextBox1->toPlainText() == text) return;
  {
    const QSignalBlocker block(TextBox1);
    TextBox1->setPlainText(text);
  }
  TextBox1_Change();
}

void UserFormObj::SonicClick21_Click() {
  if (m_listIndex < 0) return;
  const int column = registry::kColInclude - 1;
  const QString flag = listText(m_listIndex, column);
  if (flag == registry::kYes) setListText(m_listIndex, column, registry::kNo);
  else if (flag == registry::kNo) setListText(m_listIndex, column, registry::kYes);
}

void UserFormObj::SonicClick20_Click() {
  if (listCount() == 0) return;
  const int column = registry::kColInclude - 1;
  const QString first = listText(0, column);
  QString value;
  if (first == registry::kYes) value = registry::kNo;
  else if (first == registry::kNo) value = registry::kYes;
  else return;
  for (int r = 0; r < listCount(); ++r) setListText(r, column, value);
}

void UserFormObj::spinbutton1_SpinUp() { moveSelectedRow(-1); }
void UserFormObj::spinbutton1_SpinDown() { moveSelectedRow(+1); }

// Moves the selected row one place up (-1) or down (+1). Every column but the numerator
// changes place, so the two objects swap numerators and the list stays in numerator order.
void UserFormObj::moveSelectedRow(int direction) {
  if (ComboChtSort->currentIndex() != 2) {
    m_tool.messages.msgBox(kMoveRestrictionMessage, startup::vbOKOnly + startup::vbExclamation,
                           startup::kToolTitle);
    return;
  }
  m_rowMoving = true;
  constexpr int numerator = registry::kColNumerator - 1;
  const auto exchange = [this](int a, int b) {
    for (int c = 0; c < registry::kObjectColumns; ++c) {
      if (c == numerator) continue;
      const QString text = listText(a, c);
      setListText(a, c, listText(b, c));
      setListText(b, c, text);
    }
  };
  const int count = listCount();
  if (direction < 0) {
    office::Int16 k;
    for (office::Int16 i; i <= count - 1; ++i) {
      if (!listCharts->topLevelItem(i)->isSelected()) continue;
      if (k != i) {
        exchange(i - 1, i);
        setListIndex(i - 1);
      }
      ++k;
    }
  } else {
    office::Int16 b(count - 1);
    for (office::Int16 i(count - 1); i >= 0; --i) {
      if (!listCharts->topLevelItem(i)->isSelected()) continue;
      if (i != b) {
        exchange(i, i + 1);
        setListIndex(i + 1);
      }
      --b;
    }
  }
  copyListToTable();
  m_rowMoving = false;
}

// After a move the table copy follows the list, so a later pasting order keeps the edits.
// Its numerator column stays as it is: the move leaves the numerators in their rows, and
// keeping them as numbers (not the list's texts) keeps "By Numerator" a numeric order.
void UserFormObj::copyListToTable() {
  for (int r = 0; r < listCount() && r < m_table.rowCount(); ++r) {
    for (int c = 0; c < registry::kObjectColumns; ++c) {
      if (c + 1 == registry::kColNumerator) continue;
      m_table.at(c + 1, r + 1) = listText(r, c);
    }
  }
}

void UserFormObj::CommandButton5_Click() {
  startup::Tool& tool = m_tool;  // this window is unloaded by the first step
  tool.forms->unloadMainWindow();
  tool.keptEdits.reset();  // the old window's edits are lost, as the new list shows
  tool.forms->showSplash();
  tool.desktop.yield();
  startup::StartTool(tool);
  tool.forms->unloadSplash();
}

void UserFormObj::Image3_Click() { ShowHelp(m_tool); }

void UserFormObj::SonicClick19_Click() {
  if (m_commands.pasteToPowerPoint) m_commands.pasteToPowerPoint(*this);
}
void UserFormObj::SonicClick18_Click() {
  if (m_commands.pasteExpress) m_commands.pasteExpress(*this);
}
void UserFormObj::SonicClick10_Click() {
  if (m_commands.createPdf) m_commands.createPdf(*this);
}

void UserFormObj::SonicClick6_Click() {
  if (m_tool.forms)
    startup::CloseTool(m_tool);
  else unload();
}

}  // namespace morvane::mainwindow
