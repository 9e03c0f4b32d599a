// The two list modes: column widths, headers, visibility, colours; the paste format and the
// paste-as buttons.
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTreeWidget>

#include "mainwindow/column_widths.h"
#include "mainwindow/controls.h"
#include "mainwindow/user_form_obj.h"
#include "office/automation_error.h"
#include "registry/registry.h"
#include "startup/tool.h"

namespace morvane::mainwindow {

bool UserFormObj::isTitleMode() const { return OptionButton6->isChecked(); }
bool UserFormObj::isNumberMode() const { return OptionButton8->isChecked(); }
QString UserFormObj::pasteFormat() const { return ComboBox1->currentText(); }

// Title mode keeps the window's base colour; slide-number mode tints it with the highlight
// colour, so the two modes are told apart at a glance in any colour scheme.
QColor UserFormObj::modeColour(Mode mode) const {
  const QPalette& p = palette();
  const QColor base = p.color(QPalette::Active, QPalette::Base);
  if (mode == Mode::Title) return base;
  const QColor tint = p.color(QPalette::Active, QPalette::Highlight);
  return QColor::fromRgbF(base.redF() * 0.7 + tint.redF() * 0.3,
                          base.greenF() * 0.7 + tint.greenF() * 0.3,
                          base.blueF() * 0.7 + tint.blueF() * 0.3);
}

void UserFormObj::applyLayout(Mode mode) {
  const bool title = mode == Mode::Title;
  TextBox10->setVisible(!title);
  Label26->setVisible(!title);
  TextBox1->setVisible(title);
  Label11->setVisible(title);
  Label27->setVisible(!title);
  Label21->setVisible(title);

  const auto widths = columnWidthsFromText(title ? kTitleWidths : kNumberWidths, logicalDpiX());
  for (int c = 0; c < int(widths.size()) && c < listCharts->columnCount(); ++c) {
    if (widths[c] < 0) continue;
    listCharts->setColumnHidden(c, widths[c] == 0);
    if (widths[c] > 0) listCharts->setColumnWidth(c, widths[c]);
  }

  const QString cr(QChar(13));
  setCaption(Label12, title ? QStringLiteral("Slide title") : QString());
  setCaption(Label14, title ? QStringLiteral("Nume-") + cr + QStringLiteral("rator")
                            : QStringLiteral("Slide") + cr + QStringLiteral("Nb"));

  // The palette's own text where it reads on the mode's colour, else black or white.
  const QColor colour = modeColour(mode);
  QColor text = palette().color(QPalette::Active, QPalette::Text);
  if (contrastRatio(text, colour) < 4.5)
    text = contrastRatio(Qt::black, colour) >= contrastRatio(Qt::white, colour) ? Qt::black
                                                                                : Qt::white;
  for (QWidget* w : std::initializer_list<QWidget*>{listCharts, OptionButton6, OptionButton8,
                                                    Frame1, ComboChtSort, ComboBox1, Frame3})
    setFixedColours(w, text, colour);
}

// Selects rows Min(count, 4) - 1 down to 0 in turn, each running the selection handler.
void UserFormObj::walkSelectionToTop() {
  const office::Int16 m(static_cast<long long>(
      m_tool.excel->min({office::Variant(listCount()), office::Variant(4)})));
  for (office::Int16 i = m; i >= 1; --i) setListIndex(i - 1);
}

void UserFormObj::OptionButton6_Click() {
  applyLayout(Mode::Title);
  walkSelectionToTop();
  TextBox1->setFocus();
}

void UserFormObj::OptionButton8_Click() {
  applyLayout(Mode::Number);
  walkSelectionToTop();
  TextBox10->setFocus();
}

void UserFormObj::ComboBox1_Change() {
  listCharts_Change();
  if (OptionButton8->isChecked()) TextBox10->setFocus();
  else TextBox1->setFocus();
}

void UserFormObj::OptionButton1_Click() {
  if (m_listIndex < 0) return;  // no row to write to
  setListText(m_listIndex, registry::kColPasteAs - 1, registry::kPicture);
}

void UserFormObj::OptionButton2_Click() {
  if (m_listIndex < 0) return;
  setListText(m_listIndex, registry::kColPasteAs - 1, registry::kExcelObject);
}

void UserFormObj::setComboBox1Value(const QString& value) {
  if (value == ComboBox1->currentText()) return;
  {
    const QSignalBlocker block(ComboBox1);
    const int index = ComboBox1->findText(value, Qt::MatchExactly);
    if (index < 0)
      throw office::AutomationError(380, QStringLiteral("Could not set the Value property. Invalid property value."));
    ComboBox1->setCurrentIndex(index);
  }
  ComboBox1_Change();
}

// Sets one of a pair of option buttons; the pair's other button follows. The click handler
// runs when the button becomes selected.
void UserFormObj::setOptionPair(QRadioButton* target, QRadioButton* other, bool checked,
                                void (UserFormObj::*handler)()) {
  if (target->isChecked() == checked) return;
  {
    const QSignalBlocker blockTarget(target);
    const QSignalBlocker blockOther(other);
    if (!checked) target->setAutoExclusive(false);
    target->setChecked(checked);
    target->setAutoExclusive(true);
  }
  if (checked) (this->*handler)();
}

void UserFormObj::setOptionButton6(bool on) {
  setOptionPair(OptionButton6, OptionButton8, on, &UserFormObj::OptionButton6_Click);
}
void UserFormObj::setOptionButton8(bool on) {
  setOptionPair(OptionButton8, OptionButton6, on, &UserFormObj::OptionButton8_Click);
}
void UserFormObj::setOptionButton1(bool on) {
  setOptionPair(OptionButton1, OptionButton2, on, &UserFormObj::OptionButton1_Click);
}
void UserFormObj::setOptionButton2(bool on) {
  setOptionPair(OptionButton2, OptionButton1, on, &UserFormObj::OptionButton2_Click);
}

}  // namespace morvane::mainwindow
