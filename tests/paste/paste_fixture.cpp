#include "paste_fixture.h"

#include "office/clipboard_formats.h"
#include "paste/confirm_dialog.h"
#include "registry/registry.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMimeData>
#include <QPushButton>
#include <QCheckBox>

#include <algorithm>

using namespace morvane;

namespace morvane::pastetest {

using testbook::ChartOutline;
using testbook::NameOutline;
using testbook::SheetOutline;
using testbook::WorkbookOutline;

void ListForm::unload() {
  if (m_unloaded) return;
  m_unloaded = true;
  hide();
  deleteLater();
}

void ListForm::setListIndex(int row) {
  if (row == m_index) return;
  m_index = row;
  listCharts_Change();
}

void ListForm::listCharts_Change() {
  if (m_index < 0) return;
  ++selectionRuns;
  if (onSelect) onSelect(m_index);
  const QString name = listText(m_index, 0), sheet = listText(m_index, 1);
  const bool emf = format == QLatin1String("Enhanced Metafile");
  int code = emf ? excel::xlPicture : excel::xlBitmap;
  if (m_tool.pictureOverride == startup::PictureOverride::Svg) code = excel::xlSvg;
  excel::Workbook& wb = *m_tool.workbook;
  m_pictureProblem.clear();
  try {
    if (name == registry::kChartSheetMarker) {
      wb.chart(sheet)->chartAreaCopy();
    } else if (name.startsWith(QStringLiteral("Chart "))) {
      wb.worksheet(sheet)->chartObject(name)->chart()->copyPicture(excel::xlScreen, excel::xlScreen,
                                                                   code);
    } else {
      wb.name(name)->refersToRange()->copyPicture(excel::xlScreen, code);
    }
  } catch (const office::AutomationError& error) {
    if (!error.isInvalidPicture()) throw;
    m_pictureProblem = error.description();
    return;
  }
  if (emf) {
    // The double copies no metafile; add one so a metafile paste finds its format.
    const QMimeData* old = QGuiApplication::clipboard()->mimeData();
    auto* mime = new QMimeData;
    for (const QString& type : old->formats()) mime->setData(type, old->data(type));
    mime->setData(office::kEmfMime, QByteArray("EMF"));
    QGuiApplication::clipboard()->setMimeData(mime);
  }
}

TestForms::TestForms(morvane::startup::Tool& tool) : m_tool(tool) { m_tool.forms = this; }

int TestForms::loadedFormCount() const {
  return (main && !main->isUnloaded() ? 1 : 0) +
         int(std::count_if(m_others.begin(), m_others.end(), [](const auto& f) { return !f.isNull(); }));
}

void TestForms::formUnloaded() {
  if (m_depth == 0 && loadedFormCount() == 0) m_tool.end();
}

void TestForms::unloadMainWindow() {
  ++mainWindowUnloads;
  if (!main) return;
  ListForm* window = main;
  main = nullptr;
  window->unload();
  formUnloaded();
}

void TestForms::registerForm(QWidget* form) {
  if (std::none_of(m_others.begin(), m_others.end(), [form](const auto& f) { return f == form; }))
    m_others.emplace_back(form);
}

void TestForms::unloadForm(QWidget* form) {
  const auto it = std::find_if(m_others.begin(), m_others.end(), [form](const auto& f) { return f == form; });
  if (it == m_others.end()) return;
  m_others.erase(it);
  form->hide();
  form->deleteLater();
  formUnloaded();
}

void TestForms::runUserCommand(const std::function<void()>& command) {
  ++m_depth;
  morvane::startup::RunGuarded(m_tool, command);
  --m_depth;
  formUnloaded();
}

PasteTest::PasteTest() {
  WorkbookOutline outline;
  SheetOutline data;
  data.name = QStringLiteral("Data");
  data.charts = {ChartOutline{QStringLiteral("Chart 1"), {}}, ChartOutline{QStringLiteral("Chart 2"), {}},
                 ChartOutline{QStringLiteral("Chart 3"), {}}};
  data.cells[{1, 1}] = office::Variant(1.0);
  SheetOutline graph;
  graph.kind = SheetOutline::Kind::ChartSheet;
  graph.name = QStringLiteral("Graph");
  SheetOutline reg;
  reg.name = kRegistry;
  reg.visible = excel::xlSheetVeryHidden;
  outline.sheets = {data, graph, reg};
  outline.names = {NameOutline{QStringLiteral("Sales"), QStringLiteral("Data!$A$1:$B$3"), false, {}},
                NameOutline{QStringLiteral("ChartData"), QStringLiteral("Data!$D$1:$E$4"), false, {}}};
  f.office.openWorkbook(outline);
  f.office.openPresentation(3);
  f.tool.excel = f.office.attachExcel();
  f.tool.workbook = f.tool.excel->activeWorkbook();
  f.desktop.processEvents = true;

  window = new ListForm(f.tool);
  forms.main = window;
  list = std::make_shared<paste::FormPasteList<ListForm>>(window);
  commands.setEntryPoint([this](const std::function<void()>& command) { forms.runUserCommand(command); });
  commands.setPresentationPath([] { return QStringLiteral("/home/user/Deck.pptx"); });
}

PasteTest::~PasteTest() {
  delete window.data();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void PasteTest::addRow(const QString& name, const QString& sheet, const QString& include,
                       const QString& slide, const QString& title, const QString& pasteAs) {
  window->rows.push_back({name, sheet, include, QString::number(window->rows.size() + 1), slide, title,
                          pasteAs, QString()});
}

void PasteTest::setOption(int column, const office::Variant& value) {
  f.office.sheet(kRegistry)->cells[{registry::kOptionRow, column}] = value;
}

void PasteTest::pasteToPowerPoint() {
  forms.runUserCommand([this] { commands.ChartsToPresentation(list); });
}

void PasteTest::clickOk(bool labels) {
  ASSERT_TRUE(commands.dialog());
  commands.dialog()->Check1->setChecked(labels);
  commands.dialog()->SonicClick1->click();
}

void PasteTest::pasteExpress() {
  forms.runUserCommand([this] { commands.YesPasteToActiveSlide(*list); });
}

QStringList PasteTest::prompts() const {
  QStringList out;
  for (const auto& m : f.messages.shown) out << m.prompt;
  return out;
}

}  // namespace morvane::pastetest
