#include "mainwindow/user_form_obj.h"

#include "mainwindow/column_widths.h"
#include "mainwindow/controls.h"
#include "office/automation_error.h"
#include "office/powerpoint.h"
#include "startup/start_tool.h"
#include "startup/tool.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTreeWidget>

#include <cmath>

namespace morvane::mainwindow {

namespace {

const char kCaptionProperty[] = "caption";
constexpr double kClientWidthPt = 515.25;
constexpr double kClientHeightPt = 455.25;

QString displayed(const QString& caption) {
  QString text = caption;
  text.replace(QChar(13), QChar(10));
  return text;
}

// Design captions written "A" / "B" break with a carriage return, as captions set by code do.
QString lines(std::initializer_list<const char*> parts) {
  QStringList list;
  for (const char* p : parts) list << QString::fromUtf8(p);
  return list.join(QChar(13));
}

// Creates a child control, names it and puts it at (x, y) with size (w, h), all in
// centimetres at the screen's logical resolution, relative to its parent.
template <typename T>
T* place(QWidget* parent, const char* name, double x, double y, double w, double h) {
  auto* control = new T(parent);
  control->setObjectName(QString::fromLatin1(name));
  const double dpiX = parent->logicalDpiX(), dpiY = parent->logicalDpiY();
  control->setGeometry(cmToPixels(x, dpiX), cmToPixels(y, dpiY), cmToPixels(w, dpiX),
                       cmToPixels(h, dpiY));
  return control;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, double x, double y,
              double w, double h) {
  auto* l = place<QLabel>(parent, name, x, y, w, h);
  l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  UserFormObj::setCaption(l, text);
  return l;
}

}  // namespace

QString UserFormObj::caption(const QWidget* control) {
  return control->property(kCaptionProperty).toString();
}

void UserFormObj::setCaption(QWidget* control, const QString& caption) {
  control->setProperty(kCaptionProperty, caption);
  if (auto* label = qobject_cast<QLabel*>(control)) label->setText(displayed(caption));
  else if (auto* button = qobject_cast<QAbstractButton*>(control)) button->setText(displayed(caption));
}

UserFormObj::UserFormObj(startup::Tool& tool, QWidget* parent) : QWidget(parent), m_tool(tool) {
  setObjectName(QStringLiteral("UserFormObj"));
  setWindowTitle(kTitleCentral);
  // The design's captions were measured in a narrow 8-point face; Arial's metrics (or
  // Liberation Sans, which shares them) keep them inside their controls.
  QFont small = font();
  small.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
  small.setPointSizeF(8);
  setFont(small);
  createControls();
  createConnections();
  setTabOrderFromSlideNumber();
  createShortcuts();
  createElasticLayout(QSize(int(std::lround(kClientWidthPt * logicalDpiX() / 72.0)),
                            int(std::lround(kClientHeightPt * logicalDpiY() / 72.0))));
}

UserFormObj::~UserFormObj() = default;

void UserFormObj::createControls() {
  // The focus chain follows creation: the slide-number box, first in the tab order, first.
  TextBox10 = place<QLineEdit>(this, "TextBox10", 12.3, 9.5, 1.3, 0.7);
  TextBox10->installEventFilter(this);
  createListAndPickers();
  createEditingControls();
  createButtons();
}

void UserFormObj::createListAndPickers() {
  Image3 = place<ClickableLabel>(this, "Image3", 0, 0, 0.6, 0.6);
  Image3->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion).pixmap(Image3->size()));
  Image3->setScaledContents(true);
  Image3->setCursor(Qt::WhatsThisCursor);

  Label25 = label(this, "Label25", QStringLiteral("Paste to "), 0.8, 0.6, 1.7, 0.6);
  // Dark red on the light face of the design's window, whatever the desktop's palette.
  setFixedColours(Label25, QColor(128, 0, 0), QColor(240, 240, 240));

  Frame3 = place<QFrame>(this, "Frame3", 2.8, 0, 4.9, 1.7);
  Frame3->setFrameShape(QFrame::NoFrame);
  OptionButton8 = place<QRadioButton>(Frame3, "OptionButton8", 0, 0, 2.4, 1.7);
  setCaption(OptionButton8, lines({"Predefined", "numbered", "slides"}));
  OptionButton6 = place<QRadioButton>(Frame3, "OptionButton6", 2.5, 0, 3.3, 1.7);
  setCaption(OptionButton6, lines({"New", "slides"}));
  OptionButton6->setChecked(true);  // selected in the design

  Label19 = label(this, "Label19", QString(), 8.3, 0.4, 9.5, 0.8);
  // White on the highlight colour, deepened where the desktop's highlight is too light for
  // white text to read.
  QColor highlight = palette().color(QPalette::Active, QPalette::Highlight);
  for (int i = 0; i < 10 && contrastRatio(Qt::white, highlight) < 4.5; ++i)
    highlight = highlight.darker(115);
  Label19->setStyleSheet(
      QStringLiteral("QLabel { color: white; background-color: %1; border: 1px solid #c8c8c8; }")
          .arg(highlight.name()));

  Label3 = label(this, "Label3", QStringLiteral("Name"), 1.1, 1.9, 1.4, 0.5);
  Label2 = label(this, "Label2", QStringLiteral("Sheet"), 4.0, 1.9, 0.8, 0.5);
  Label2->setToolTip(QStringLiteral("The name of the sheet on which the objects are contained"));
  Label1 = label(this, "Label1", lines({"Incl-", "ude?"}), 7.8, 1.7, 1.3, 0.8);
  Label14 = label(this, "Label14", QString(), 8.5, 1.7, 1.1, 0.8);
  Label12 = label(this, "Label12", QString(), 9.9, 1.9, 1.4, 0.5);
  Label27 = label(this, "Label27", QStringLiteral("Paste as:"), 9.7, 1.9, 1.4, 0.5);
  Label21 = label(this, "Label21", QStringLiteral("Paste as:"), 15.9, 1.9, 1.6, 0.5);

  listCharts = place<ObjectList>(this, "listCharts", 0.6, 2.5, 16.9, 4.0);
  listCharts->setColumnCount(registry::kObjectColumns);
  listCharts->setHeaderHidden(true);
  listCharts->setRootIsDecorated(false);
  listCharts->setIndentation(0);
  listCharts->setUniformRowHeights(true);
  listCharts->setSelectionMode(QAbstractItemView::SingleSelection);
  listCharts->setSelectionBehavior(QAbstractItemView::SelectRows);
  listCharts->setAllColumnsShowFocus(true);
  listCharts->header()->setStretchLastSection(false);
  const auto widths = columnWidthsFromText(kTitleWidths, logicalDpiX());
  for (int c = 0; c < int(widths.size()); ++c) {
    listCharts->setColumnWidth(c, widths[c]);
    listCharts->setColumnHidden(c, widths[c] == 0);
  }

  Label32 = label(this, "Label32", QStringLiteral("Pasting order:-"), 0.6, 6.6, 4.0, 0.4);
  ComboChtSort = place<QComboBox>(this, "ComboChtSort", 0.6, 7.0, 4.4, 0.6);
  lblChtDisplayCnt = label(this, "lblChtDisplayCnt", QString(), 0.6, 7.6, 4.0, 0.6);
}

void UserFormObj::createEditingControls() {
  SpinButton1 = place<SpinButton>(this, "SpinButton1", 9.1, 6.6, 0.4, 1.5);
  Label28 = label(this, "Label28", QStringLiteral("Move Up"), 9.9, 6.8, 1.9, 0.4);
  Label18 = label(this, "Label18", QStringLiteral("Move Down"), 9.9, 7.6, 1.7, 0.4);
  Label24 = label(this, "Label24", lines({"Paste ", "item as"}), 11.9, 6.8, 1.3, 0.8);

  Frame1 = place<QFrame>(this, "Frame1", 13.1, 6.6, 4.4, 1.3);
  Frame1->setFrameShape(QFrame::StyledPanel);
  OptionButton1 = place<QRadioButton>(Frame1, "OptionButton1", 0, 0, 2.8, 1.2);
  setCaption(OptionButton1, lines({"Picture", "(Recommended)"}));
  OptionButton2 = place<QRadioButton>(Frame1, "OptionButton2", 3.0, 0, 2.3, 1.2);
  setCaption(OptionButton2, lines({"Excel", " object"}));

  Label30 = label(this, "Label30", QStringLiteral("Picture format"), 11.0, 8.3, 2.1, 0.4);
  ComboBox1 = place<QComboBox>(this, "ComboBox1", 13.1, 8.3, 4.4, 0.6);

  FrameChrPreview = place<QFrame>(this, "FrameChrPreview", 0.4, 8.5, 8.9, 6.1);
  FrameChrPreview->setFrameShape(QFrame::StyledPanel);
  imgChart = new PictureView(FrameChrPreview);
  imgChart->setObjectName(QStringLiteral("imgChart"));
  imgChart->setGeometry(FrameChrPreview->contentsRect().adjusted(2, 2, -2, -2));

  Label11 = label(this, "Label11", QStringLiteral("Item Slide Title"), 9.9, 9.1, 2.5, 0.4);
  TextBox1 = place<QPlainTextEdit>(this, "TextBox1", 9.9, 9.5, 6.6, 1.0);
  TextBox1->setLineWrapMode(QPlainTextEdit::NoWrap);
  TextBox1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  TextBox1->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  TextBox1->setTabChangesFocus(true);
  Label26 = label(this, "Label26", QStringLiteral("Paste to slide Nb."), 9.5, 9.7, 3.4, 0.4);
}

void UserFormObj::createButtons() {
  auto button = [this](const char* name, const QString& text, double x, double y, double w,
                       double h) {
    auto* b = place<QPushButton>(this, name, x, y, w, h);
    setCaption(b, text);
    b->setAutoDefault(false);
    return b;
  };
  SonicClick21 = button("SonicClick21", QStringLiteral("Include? Y/N"), 6.6, 6.6, 2.3, 0.7);
  SonicClick20 = button("SonicClick20", QStringLiteral("Toggle all  Y/N"), 6.6, 7.4, 2.3, 0.7);
  SonicClick19 = button("SonicClick19", QStringLiteral("Paste to PowerPoint"), 11.6, 12.5, 5.0, 1.1);
  SonicClick18 = button("SonicClick18", QStringLiteral("Paste Express"), 10.2, 14.0, 3.6, 0.8);
  SonicClick18->setToolTip(QStringLiteral("Paste selected item to active slide"));
  SonicClick10 = button("SonicClick10", QStringLiteral("Create  PDF"), 14.6, 14.0, 2.9, 0.8);
  SonicClick6 = button("SonicClick6", QStringLiteral("Close"), 15.7, 15.2, 1.8, 0.7);

  // The picture covers the caption on a button this small; the caption stays its name.
  CommandButton5 = button("CommandButton5", QString(), 6.8, 14.8, 0.8, 0.6);
  CommandButton5->setProperty(kCaptionProperty, QStringLiteral("Refresh"));
  CommandButton5->setAccessibleName(QStringLiteral("Refresh"));
  CommandButton5->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
  CommandButton5->setToolTip(QStringLiteral("Refresh form"));
}

void UserFormObj::createConnections() {
  connect(listCharts, &QTreeWidget::itemSelectionChanged, this,
          &UserFormObj::onUserSelectionChanged);
  connect(ComboChtSort, &QComboBox::currentIndexChanged, this,
          [this] { guarded(&UserFormObj::ComboChtSort_Change); });
  connect(ComboBox1, &QComboBox::currentIndexChanged, this,
          [this] { guarded(&UserFormObj::ComboBox1_Change); });
  for (QRadioButton* b : {OptionButton6, OptionButton8})
    connect(b, &QRadioButton::toggled, this, [this, b](bool on) { onUserModeToggled(b, on); });
  for (QRadioButton* b : {OptionButton1, OptionButton2})
    connect(b, &QRadioButton::toggled, this, [this, b](bool on) { onUserPasteKindToggled(b, on); });
  connect(TextBox10, &QLineEdit::textChanged, this,
          [this] { guarded(&UserFormObj::TextBox10_Change); });
  connect(TextBox1, &QPlainTextEdit::textChanged, this,
          [this] { guarded(&UserFormObj::TextBox1_Change); });
  const std::pair<QPushButton*, void (UserFormObj::*)()> buttons[] = {
      {SonicClick21, &UserFormObj::SonicClick21_Click},
      {SonicClick20, &UserFormObj::SonicClick20_Click},
      {SonicClick19, &UserFormObj::SonicClick19_Click},
      {SonicClick18, &UserFormObj::SonicClick18_Click},
      {SonicClick10, &UserFormObj::SonicClick10_Click},
      {CommandButton5, &UserFormObj::CommandButton5_Click},
      {SonicClick6, &UserFormObj::SonicClick6_Click}};
  for (const auto& [b, handler] : buttons)
    connect(b, &QPushButton::clicked, this, [this, handler = handler] { guarded(handler); });
  connect(SpinButton1, &SpinButton::spinUp, this, [this] { guarded(&UserFormObj::spinbutton1_SpinUp); });
  connect(SpinButton1, &SpinButton::spinDown, this,
          [this] { guarded(&UserFormObj::spinbutton1_SpinDown); });
  connect(Image3, &ClickableLabel::clicked, this, [this] { guarded(&UserFormObj::Image3_Click); });
}

void UserFormObj::guarded(void (UserFormObj::*handler)()) {
  if (m_unloaded) return;
  enter([this, handler] { (this->*handler)(); });
}

void UserFormObj::enter(const std::function<void()>& command) {
  // The command may unload this window: nothing below touches it once the command runs.
  if (m_entry)
    m_entry(command);
  else
    startup::RunGuarded(m_tool, command);
}

void UserFormObj::onUserSelectionChanged() {
  const auto selected = listCharts->selectedItems();
  const int row = selected.isEmpty() ? -1 : listCharts->indexOfTopLevelItem(selected.first());
  if (row == m_listIndex) return;
  m_listIndex = row;
  guarded(&UserFormObj::listCharts_Change);
}

void UserFormObj::onUserModeToggled(QRadioButton* button, bool checked) {
  if (!checked) return;
  guarded(button == OptionButton6 ? &UserFormObj::OptionButton6_Click
                                  : &UserFormObj::OptionButton8_Click);
}

void UserFormObj::onUserPasteKindToggled(QRadioButton* button, bool checked) {
  if (!checked) return;
  guarded(button == OptionButton1 ? &UserFormObj::OptionButton1_Click
                                  : &UserFormObj::OptionButton2_Click);
}

bool UserFormObj::eventFilter(QObject* watched, QEvent* event) {
  if (watched == TextBox10 && event->type() == QEvent::KeyPress) TextBox10_KeyDown();
  return QWidget::eventFilter(watched, event);
}

void UserFormObj::closeEvent(QCloseEvent* event) {
  // The close box unloads the window as the program's own unloading does (never deleting
  // it inside its own event handler).
  event->ignore();
  if (m_unloaded) return;
  guarded(&UserFormObj::SonicClick6_Click);
}

void UserFormObj::unload() {
  if (m_unloaded) return;
  m_unloaded = true;
  if (m_listLoaded) m_tool.keptEdits = listEdits();
  hide();
  deleteLater();
}

// --- Set-up ---

void UserFormObj::UserForm_Initialize() {
  setWindowTitle(kTitleSetup);
  {
    const QSignalBlocker blockSort(ComboChtSort);
    ComboChtSort->addItems({QStringLiteral("By Name"), QStringLiteral("By Sheet"),
                            QStringLiteral("By Numerator")});
    ComboChtSort->setCurrentIndex(-1);
    const QSignalBlocker blockFormat(ComboBox1);
    ComboBox1->addItems({kEnhancedMetafile, kBitmap});
    ComboBox1->setCurrentIndex(-1);
  }
  setComboChtSortIndex(2);
  setComboBox1Value(kBitmap);
  setCaption(lblChtDisplayCnt, QStringLiteral("Charts:  0 of 0"));

  // Steps that may fail are skipped one by one: the window opens without what they give.
  std::shared_ptr<ppt::Application> powerPoint;
  bool powerPointRunning = false;
  try {
    powerPoint = m_tool.office.attachPowerPoint();
    powerPointRunning = powerPoint && powerPoint->windowsCount() != 0;
  } catch (const office::AutomationError&) {
    powerPointRunning = false;
  }
  try {
    const QString presentation = powerPointRunning
                                     ? powerPoint->activePresentation()->name()
                                     : QStringLiteral("No Active presentation is running");
    setCaption(Label19, QStringLiteral("Active XLS file: ") + m_tool.workbook->name() + QChar(13) +
                            QStringLiteral("Active PPT file: ") + presentation);
  } catch (const office::AutomationError&) {
  }
  powerPoint.reset();
  const auto modeCell = [this] {
    return m_tool.workbook->sheet(registry::kRegistrySheet)
        ->cells(registry::kOptionRow, registry::kModeColumn);
  };
  try {
    const auto cell = modeCell();
    if (cell->value().isEmpty()) cell->setValue(office::Variant(true));
  } catch (const office::AutomationError&) {
  }
  // The cell holds TRUE or FALSE as a Boolean, or as the number the program stores for it.
  const auto modeIs = [](const office::Variant& v, bool title) {
    if (v.isBoolean()) return v.boolean() == title;
    if (v.isNumber()) return v.number() == (title ? -1.0 : 0.0);
    return false;
  };
  try {
    if (modeIs(modeCell()->value(), true)) {
      setOptionButton6(true);
      applyLayout(Mode::Title);
      TextBox1->setFocus();
    }
  } catch (const office::AutomationError&) {
  }
  try {
    if (modeIs(modeCell()->value(), false)) {
      setOptionButton8(true);
      applyLayout(Mode::Number);
      TextBox10->setFocus();
    }
  } catch (const office::AutomationError&) {
  }

  m_setupFinished = true;
  InitPage();
  m_listLoaded = true;
}

}  // namespace morvane::mainwindow
