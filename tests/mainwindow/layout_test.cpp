// The window's controls against the design's table, the two layouts, and screenshots.
#include "mainwindow_fixture.h"

#include "mainwindow/controls.h"
#include "support/test_env.h"

#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include <cmath>

using namespace morvane;

using namespace mwtest;
using mainwindow::UserFormObj;

namespace {

struct ControlRow {
  const char* name;
  const char* parent;  // "" for the window
  const char* caption;  // "\r" where the design breaks the line; nullptr: not checked
  const char* tooltip;
  double x, y, w, h;  // cm; w = 0: size left to the implementer
};

// The design's control table.
const ControlRow kControls[] = {
    {"Image3", "", nullptr, "", 0, 0, 0.6, 0.6},
    {"Label25", "", "Paste to ", "", 0.8, 0.6, 1.7, 0.6},
    {"Frame3", "", nullptr, "", 2.8, 0, 4.9, 1.7},
    {"OptionButton8", "Frame3", "Predefined\rnumbered\rslides", "", 0, 0, 2.4, 1.7},
    {"OptionButton6", "Frame3", "New\rslides", "", 2.5, 0, 3.3, 1.7},
    {"Label19", "", nullptr, "", 8.3, 0.4, 9.5, 0.8},
    {"Label3", "", "Name", "", 1.1, 1.9, 1.4, 0.5},
    {"Label2", "", "Sheet", "The name of the sheet on which the objects are contained", 4.0, 1.9, 0.8, 0.5},
    {"Label1", "", "Incl-\rude?", "", 7.8, 1.7, 1.3, 0.8},
    {"Label14", "", nullptr, "", 8.5, 1.7, 1.1, 0.8},
    {"Label12", "", nullptr, "", 9.9, 1.9, 1.4, 0.5},
    {"Label27", "", "Paste as:", "", 9.7, 1.9, 1.4, 0.5},
    {"Label21", "", "Paste as:", "", 15.9, 1.9, 1.6, 0.5},
    {"listCharts", "", nullptr, "", 0.6, 2.5, 16.9, 4.0},
    {"Label32", "", "Pasting order:-", "", 0.6, 6.6, 4.0, 0.4},
    {"ComboChtSort", "", nullptr, "", 0.6, 7.0, 4.4, 0.6},
    {"lblChtDisplayCnt", "", nullptr, "", 0.6, 7.6, 4.0, 0.6},
    {"SonicClick21", "", "Include? Y/N", "", 6.6, 6.6, 0, 0},
    {"SonicClick20", "", "Toggle all  Y/N", "", 6.6, 7.4, 0, 0},
    {"SpinButton1", "", nullptr, "", 9.1, 6.6, 0.4, 1.5},
    {"Label28", "", "Move Up", "", 9.9, 6.8, 1.9, 0.4},
    {"Label18", "", "Move Down", "", 9.9, 7.6, 1.7, 0.4},
    {"Label24", "", "Paste \ritem as", "", 11.9, 6.8, 1.3, 0.8},
    {"Frame1", "", nullptr, "", 13.1, 6.6, 4.4, 1.3},
    {"OptionButton1", "Frame1", "Picture\r(Recommended)", "", 0, 0, 2.8, 1.2},
    {"OptionButton2", "Frame1", "Excel\r object", "", 3.0, 0, 2.3, 1.2},
    {"Label30", "", "Picture format", "", 11.0, 8.3, 2.1, 0.4},
    {"ComboBox1", "", nullptr, "", 13.1, 8.3, 4.4, 0.6},
    {"FrameChrPreview", "", nullptr, "", 0.4, 8.5, 8.9, 6.1},
    {"Label11", "", "Item Slide Title", "", 9.9, 9.1, 2.5, 0.4},
    {"TextBox1", "", nullptr, "", 9.9, 9.5, 6.6, 1.0},
    {"Label26", "", "Paste to slide Nb.", "", 9.5, 9.7, 3.4, 0.4},
    {"TextBox10", "", nullptr, "", 12.3, 9.5, 1.3, 0.7},
    {"SonicClick19", "", "Paste to PowerPoint", "", 11.6, 12.5, 0, 0},
    {"SonicClick18", "", "Paste Express", "Paste selected item to active slide", 10.2, 14.0, 0, 0},
    {"SonicClick10", "", "Create  PDF", "", 14.6, 14.0, 0, 0},
    {"CommandButton5", "", "Refresh", "Refresh form", 6.8, 14.8, 0.8, 0.6},
    {"SonicClick6", "", "Close", "", 15.7, 15.2, 0, 0},
};

double px(double cm, double dpi) { return cm * dpi / 2.54; }

class LayoutTest : public MainWindowTest {};

}  // namespace

TEST_F(LayoutTest, EveryControlMatchesTheDesignTable) {
  open(chartsWorkbook(2));
  UserFormObj& window = w();
  const double dpiX = window.logicalDpiX(), dpiY = window.logicalDpiY();
  for (const ControlRow& row : kControls) {
    SCOPED_TRACE(row.name);
    auto* control = window.findChild<QWidget*>(QString::fromLatin1(row.name));
    ASSERT_NE(control, nullptr);
    const QString parentName = QString::fromLatin1(row.parent);
    EXPECT_EQ(control->parentWidget()->objectName(), parentName.isEmpty() ? "UserFormObj" : parentName);
    const QRect g = control->geometry();
    EXPECT_NEAR(g.x(), px(row.x, dpiX), 1.0);
    EXPECT_NEAR(g.y(), px(row.y, dpiY), 1.0);
    if (row.w > 0) {
      EXPECT_NEAR(g.width(), px(row.w, dpiX), 1.0);
      EXPECT_NEAR(g.height(), px(row.h, dpiY), 1.0);
    }
    if (row.caption) {
      EXPECT_EQ(UserFormObj::caption(control), QString::fromUtf8(row.caption));
      // The widget itself draws the design's line breaks.
      QString shown = QString::fromUtf8(row.caption);
      shown.replace(QChar(13), QChar(10));
      if (auto* b = qobject_cast<QAbstractButton*>(control); b && !b->text().isEmpty()) {
        EXPECT_EQ(b->text(), shown);
      }
      if (auto* l = qobject_cast<QLabel*>(control)) {
        EXPECT_EQ(l->text(), shown);
      }
    }
    EXPECT_EQ(control->toolTip(), QString::fromUtf8(row.tooltip));
  }
  // Client area 515.25 x 455.25 points.
  EXPECT_NEAR(window.width(), 515.25 * dpiX / 72, 1.0);
  EXPECT_NEAR(window.height(), 455.25 * dpiY / 72, 1.0);
  // Kinds that matter to the tool's logic.
  EXPECT_TRUE(qobject_cast<QRadioButton*>(window.OptionButton6));
  EXPECT_EQ(window.listCharts->columnCount(), 8);
  EXPECT_EQ(window.listCharts->selectionMode(), QAbstractItemView::SingleSelection);
  EXPECT_FALSE(window.listCharts->rootIsDecorated());
  EXPECT_EQ(window.ComboChtSort->count(), 3);
  EXPECT_FALSE(window.ComboChtSort->isEditable());
  EXPECT_FALSE(window.CommandButton5->icon().isNull());
  EXPECT_FALSE(window.Image3->pixmap().isNull());
}

TEST_F(LayoutTest, TabOrderStartsAtTheSlideNumberBoxThenReadsTopLeftToBottomRight) {
  open(chartsWorkbook(1));
  UserFormObj& window = w();
  QList<QWidget*> chain;
  for (QWidget* at = window.nextInFocusChain(); at != &window; at = at->nextInFocusChain())
    if ((at->focusPolicy() & Qt::TabFocus) && !chain.contains(at)) chain << at;
  const QList<QWidget*> expected{window.TextBox10,      window.OptionButton8, window.OptionButton6,
                                 window.listCharts,     window.ComboChtSort,  window.SonicClick21,
                                 window.SpinButton1,    window.OptionButton1, window.OptionButton2,
                                 window.SonicClick20,   window.ComboBox1,     window.TextBox1,
                                 window.SonicClick19,   window.SonicClick18,  window.SonicClick10,
                                 window.CommandButton5, window.SonicClick6};
  QStringList names, expectedNames;
  for (QWidget* c : chain) names << c->objectName();
  for (QWidget* c : expected) expectedNames << c->objectName();
  EXPECT_EQ(names, expectedNames);
}

namespace {
// Records every window title a widget is given, in order.
class TitleRecorder : public QObject {
 public:
  QStringList titles;
  bool eventFilter(QObject* o, QEvent* e) override {
    if (e->type() == QEvent::WindowTitleChange) titles << static_cast<QWidget*>(o)->windowTitle();
    return false;
  }
};
}  // namespace

TEST_F(LayoutTest, TitlesDuringSetUpAndAfterTheListLoad) {
  f.office.openWorkbook(chartsWorkbook(1));
  forms = std::make_unique<mainwindow::MainForms>(f.tool);
  ASSERT_TRUE(morvane::startup::PrepareWorkbook(f.tool));
  mainwindow::UserFormObj window(f.tool);
  TitleRecorder recorder;
  window.installEventFilter(&recorder);
  window.UserForm_Initialize();
  EXPECT_EQ(recorder.titles, QStringList({"Morvane©", "Morvane© Central"}));
  EXPECT_EQ(window.windowTitle(), "Morvane© Central");
}

// Screenshots of both modes for people to look at (test-output/mainwindow).
TEST_F(LayoutTest, ScreenshotsInBothModes) {
  WorkbookOutline outline;
  outline.fileName = "Sales 2026.xlsx";
  outline.sheets.push_back(worksheet("Revenue", {"a", "b"}));
  outline.sheets.push_back(worksheet("Costs", {"c"}));
  outline.sheets.push_back(chartSheet("Overview"));
  outline.names.push_back(NameOutline{"Summary", "Costs!$A$1:$D$8", false, {}});
  open(outline);
  activate();
  clickRow(1);
  QTest::keyClicks(w().TextBox1, "Revenue by region");
  const QString dir = testenv::outputDir("mainwindow");
  const QImage title = w().grab().toImage();
  ASSERT_TRUE(title.save(dir + "/title_mode.png"));

  clickOption(w().OptionButton8);
  clickRow(2);
  QTest::keyClicks(w().TextBox10, "4");
  const QImage number = w().grab().toImage();
  ASSERT_TRUE(number.save(dir + "/number_mode.png"));
  EXPECT_EQ(title.size(), number.size());
  // The list's background differs between the two modes.
  const QPoint inList = w().listCharts->geometry().bottomLeft() + QPoint(20, -8);
  EXPECT_NE(title.pixelColor(inList * title.devicePixelRatio()), number.pixelColor(inList * number.devicePixelRatio()));
}
