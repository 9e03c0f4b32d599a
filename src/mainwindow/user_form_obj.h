// UserFormObj: the main window. It lists the workbook's objects, holds the two modes, the
// editing controls and the preview, and starts the paste and PDF commands.
//
// Controls are public members named as the design names them, children of the window.
// A change made by code goes through the set* wrappers, which set the value with signals
// blocked and then run the control's handler at once, so an AutomationError propagates to
// the code that made the change. A user's change arrives through a Qt signal and enters
// through the window's guarded entry point; no exception ever leaves a slot.
#pragma once

#include "office/picture.h"
#include "office/variant.h"
#include "registry/object_table.h"
#include "registry/registry_edits.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

class QComboBox;
class QMimeData;
class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTreeWidget;

namespace morvane::startup {
struct Tool;
}

namespace morvane::mainwindow {

class ClickableLabel;
class ElasticLayout;
class PictureView;
class SpinButton;

// Kinds of the selected object, as the paste commands read them.
enum SelectedKind : int { kNamedRange = 0, kChartSheet = 1, kEmbeddedChart = 2 };

inline const QString kNothingFound = QStringLiteral("Nothing Found!");
inline const QString kTitleSetup = QStringLiteral("Morvane©");
inline const QString kTitleCentral = QStringLiteral("Morvane© Central");
inline const QString kEnhancedMetafile = QStringLiteral("Enhanced Metafile");
inline const QString kBitmap = QStringLiteral("Bitmap");
inline const QString kMoveRestrictionMessage = QStringLiteral(
    "Moving objects in list is only allowed  when Pasting Order is in Numerator mode");
inline const QString kTitleWidths = QStringLiteral("3 cm;4 cm;1 cm;0.9 cm;0 cm;5.5 cm;1.5 cm;0 cm");
inline const QString kNumberWidths = QStringLiteral("3 cm;4 cm;1 cm;0 cm;1 cm;0 cm;1.5 cm;0 cm");

class UserFormObj : public QWidget {
  Q_OBJECT

 public:
  // The commands other parts build; each receives the window it was started from.
  struct Commands {
    std::function<void(UserFormObj&)> pasteToPowerPoint;  // SonicClick19
    std::function<void(UserFormObj&)> pasteExpress;       // SonicClick18
    std::function<void(UserFormObj&)> createPdf;          // SonicClick10
    // A workbook (.xlsx, .xlsm) dropped on the window, by its path.
    std::function<void(UserFormObj&, const QString&)> openWorkbook;
  };
  // Runs a user-started command; must catch everything (RunGuarded by default).
  using EntryPoint = std::function<void(const std::function<void()>&)>;

  explicit UserFormObj(startup::Tool& tool, QWidget* parent = nullptr);
  ~UserFormObj() override;

  void setCommands(Commands commands) { m_commands = std::move(commands); }
  void setEntryPoint(EntryPoint entry) { m_entry = std::move(entry); }

  // Set-up, run once by loading. Throws AutomationError from its unprotected steps.
  void UserForm_Initialize();

  // --- Operations other parts call (each may throw AutomationError) ---
  void InitPage();
  // Refills the list from the table copy, then sorts the table copy by table column
  // `column` (1, 2 or 4); callers call it twice in a row.
  void SortListChart(int column);
  void listCharts_Change();

  int listIndex() const { return m_listIndex; }
  // Selects `row` (-1: none); runs listCharts_Change when the index changes.
  void setListIndex(int row);
  int listCount() const;
  // REQUIRES: 0 <= row < listCount(), 0 <= column < 8.
  QString listText(int row, int column) const;
  void setListText(int row, int column, const QString& text);

  bool isTitleMode() const;
  bool isNumberMode() const;
  QString pasteFormat() const;
  // Sets ComboBox1 (runs ComboBox1_Change when the value changes).
  void setPasteFormat(const QString& format) { setComboBox1Value(format); }

  office::Int16 currentRow() const { return m_currentRow; }
  void setCurrentRow(office::Int16 row) { m_currentRow = row; }
  const QString& selectedName() const { return m_selectedName; }
  const QString& selectedSheet() const { return m_selectedSheet; }
  int selectedKind() const { return m_selectedKind; }
  // Why the last selection handling could not make the selected object's picture (the
  // clipboard then holds none and the preview is empty); empty when it made it.
  const QString& pictureProblem() const { return m_pictureProblem; }
  const registry::ObjectTable& tableCopy() const { return m_table; }
  bool setupFinished() const { return m_setupFinished; }
  bool rowMoving() const { return m_rowMoving; }
  // The text the slide-number box held at the last key press in it.
  const QString& lastSlideNumberText() const { return m_lastSlideText; }
  // The preview picture, nullptr when none.
  const office::Picture* previewPicture() const;

  // The list as the user left it (each row in table form) and the mode; no rows while the
  // list shows its placeholder.
  registry::ListEdits listEdits() const;

  // Unloading: hidden, marked, deleted once control is back in the event loop. A window whose
  // list was loaded leaves its edits in the tool (Tool::keptEdits).
  bool isUnloaded() const { return m_unloaded; }
  void unload();

  // --- Wrappers: set a value as code does, running the handler at once ---
  void setComboChtSortIndex(int index);
  void setComboBox1Value(const QString& value);
  void setTextBox10Text(const QString& text);
  void setTextBox1Text(const QString& text);
  void setOptionButton6(bool checked);
  void setOptionButton8(bool checked);
  void setOptionButton1(bool checked);
  void setOptionButton2(bool checked);

  // --- Handlers (user actions reach them through the guarded entry point) ---
  void ComboChtSort_Change();
  void ComboBox1_Change();
  void OptionButton6_Click();
  void OptionButton8_Click();
  void OptionButton1_Click();
  void OptionButton2_Click();
  void TextBox10_KeyDown();
  void TextBox10_Change();
  void TextBox1_Change();
  void SonicClick21_Click();
  void SonicClick20_Click();
  void spinbutton1_SpinUp();
  void spinbutton1_SpinDown();
  void CommandButton5_Click();
  void Image3_Click();
  void SonicClick19_Click();
  void SonicClick18_Click();
  void SonicClick10_Click();
  void SonicClick6_Click();

  // A caption as the design gives it (carriage returns kept); the widget shows line breaks.
  static QString caption(const QWidget* control);
  // Sets a label's or button's caption; carriage returns show as line breaks.
  static void setCaption(QWidget* control, const QString& caption);

  // --- Controls ---
  ClickableLabel* Image3 = nullptr;
  QLabel* Label25 = nullptr;
  QFrame* Frame3 = nullptr;
  QRadioButton* OptionButton8 = nullptr;
  QRadioButton* OptionButton6 = nullptr;
  QLabel* Label19 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label1 = nullptr;
  QLabel* Label14 = nullptr;
  QLabel* Label12 = nullptr;
  QLabel* Label27 = nullptr;
  QLabel* Label21 = nullptr;
  QTreeWidget* listCharts = nullptr;
  QLabel* Label32 = nullptr;
  QComboBox* ComboChtSort = nullptr;
  QLabel* lblChtDisplayCnt = nullptr;
  QPushButton* SonicClick21 = nullptr;
  QPushButton* SonicClick20 = nullptr;
  SpinButton* SpinButton1 = nullptr;
  QLabel* Label28 = nullptr;
  QLabel* Label18 = nullptr;
  QLabel* Label24 = nullptr;
  QFrame* Frame1 = nullptr;
  QRadioButton* OptionButton1 = nullptr;
  QRadioButton* OptionButton2 = nullptr;
  QLabel* Label30 = nullptr;
  QComboBox* ComboBox1 = nullptr;
  QFrame* FrameChrPreview = nullptr;
  PictureView* imgChart = nullptr;
  QLabel* Label11 = nullptr;
  QPlainTextEdit* TextBox1 = nullptr;
  QLabel* Label26 = nullptr;
  QLineEdit* TextBox10 = nullptr;
  QPushButton* SonicClick19 = nullptr;
  QPushButton* SonicClick18 = nullptr;
  QPushButton* SonicClick10 = nullptr;
  QPushButton* CommandButton5 = nullptr;
  QPushButton* SonicClick6 = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  enum class Mode { Title, Number };

  // user_form_obj.cpp: the controls and their wiring.
  void createControls();
  void createListAndPickers();
  void createEditingControls();
  void createButtons();
  void createConnections();
  // Runs `handler` through the guarded entry point (user actions only).
  void guarded(void (UserFormObj::*handler)());
  void enter(const std::function<void()>& command);
  void onUserSelectionChanged();
  void onUserModeToggled(QRadioButton* button, bool checked);
  void onUserPasteKindToggled(QRadioButton* button, bool checked);

  // window_desktop.cpp: the window's growth and scrolling, its keys.
  void createElasticLayout(QSize designSize);
  void fitToScreen();
  void setTabOrderFromSlideNumber();
  void createShortcuts();
  // The workbook a drop carries: one local .xlsx or .xlsm file; empty for anything else.
  static QString droppedWorkbook(const QMimeData* mime);

  // list_sort.cpp
  void fillListFromTable();
  void showNothingFound();

  // layouts.cpp
  void applyLayout(Mode mode);
  void walkSelectionToTop();
  QColor modeColour(Mode mode) const;

  // selection.cpp
  void copySelectedObject(const QString& name, const QString& sheet);
  void focusEditBox(QWidget* box);

  // editing.cpp
  void moveSelectedRow(int direction);
  void copyListToTable();
  void setOptionPair(QRadioButton* target, QRadioButton* other, bool checked,
                     void (UserFormObj::*handler)());

  startup::Tool& m_tool;
  Commands m_commands;
  ElasticLayout* m_layout = nullptr;
  EntryPoint m_entry;

  registry::ObjectTable m_table;  // the table copy
  bool m_setupFinished = false;
  bool m_rowMoving = false;
  bool m_unloaded = false;
  bool m_listLoaded = false;
  QString m_lastSlideText;
  int m_listIndex = -1;
  office::Int16 m_currentRow;
  QString m_selectedName;
  QString m_selectedSheet;
  int m_selectedKind = kNamedRange;
  QString m_pictureProblem;
};

}  // namespace morvane::mainwindow
