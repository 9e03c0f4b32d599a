// The selection handler: copies the selected object's picture to the clipboard through the
// spreadsheet program, shows it as the preview and loads the editing controls.
#include "mainwindow/controls.h"
#include "mainwindow/picture_from_clipboard.h"
#include "mainwindow/user_form_obj.h"

#include "office/automation_error.h"
#include "registry/registry.h"
#include "startup/tool.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>

namespace morvane::mainwindow {

namespace {

// A member that hands back no object (no active chart) is the runtime's "Object required".
template <typename T>
T& required(const std::shared_ptr<T>& object) {
  if (!object) throw office::AutomationError(office::AutomationError::kObjectRequired,
                                             QStringLiteral("Object required"));
  return *object;
}

}  // namespace

void UserFormObj::listCharts_Change() {
  if (m_rowMoving) return;
  const int index = m_listIndex;
  if (index == -1) return;
  if (listText(index, 0) == kNothingFound) return;

  office::Int16 position(index);
  ++position;
  setCaption(lblChtDisplayCnt, QStringLiteral("Objects:    %1 of %2")
                                   .arg(position.value())
                                   .arg(office::Int16(listCount()).value()));

  m_selectedName = listText(index, 0);
  m_selectedSheet = listText(index, 1);
  m_selectedKind = kNamedRange;
  m_pictureProblem.clear();
  // An object whose picture cannot be made is shown without a preview; the runs that paste
  // or export it ask pictureProblem() and leave its slide or page without a picture.
  try {
    copySelectedObject(m_selectedName, m_selectedSheet);
  } catch (const office::AutomationError& error) {
    if (!error.isInvalidPicture()) throw;
    m_pictureProblem = error.description();
  }

  if (OptionButton8->isChecked()) focusEditBox(TextBox10);

  const bool metafile = pasteFormat() == kEnhancedMetafile;
  const int code = (m_selectedKind == kChartSheet || metafile) ? excel::xlPicture : excel::xlBitmap;
  imgChart->setPicture(PictureFromClipboard(code));

  setTextBox1Text(listText(index, registry::kColSlideTitle - 1));
  setTextBox10Text(listText(index, registry::kColSlideNumber - 1));

  const QString pasteAs = listText(index, registry::kColPasteAs - 1);
  if (pasteAs == registry::kPicture) setOptionButton1(true);
  else if (pasteAs == registry::kExcelObject) setOptionButton2(true);

  if (OptionButton6->isChecked()) focusEditBox(TextBox1);
  if (OptionButton8->isChecked()) focusEditBox(TextBox10);
}

// The mode's edit box takes the focus, except while the user moves through the list with the
// keyboard: the list keeps it then, so the next key moves on.
void UserFormObj::focusEditBox(QWidget* box) {
  auto* list = qobject_cast<ObjectList*>(listCharts);
  if (list && list->handlingKey()) return;
  box->setFocus();
}

// Puts the object's picture on the clipboard, as the spreadsheet program copies each kind,
// and records the kind (and, for a named range, the sheet it really lives on).
void UserFormObj::copySelectedObject(const QString& name, const QString& sheet) {
  excel::Workbook& workbook = *m_tool.workbook;
  int format = pasteFormat() == kEnhancedMetafile ? excel::xlPicture : excel::xlBitmap;
  if (m_tool.pictureOverride == startup::PictureOverride::Svg) format = excel::xlSvg;

  if (name == registry::kChartSheetMarker) {
    required(workbook.chart(sheet)).chartAreaCopy();
    m_selectedKind = kChartSheet;
    return;
  }
  if (name.left(6) == QLatin1String("Chart ")) {
    required(required(workbook.worksheet(sheet)).chartObject(name)).activate();
    required(required(workbook.application()).activeChart()).chartAreaCopy();
    if (m_tool.majorVersion <= 11) {
      required(required(workbook.application()).activeChart())
          .copyPicture(excel::xlScreen, excel::xlScreen, format);
    } else {
      required(required(workbook.activeSheet()).chartObject(name)).activate();
      required(workbook.activeChart()).chartAreaCopy();
    }
    required(workbook.application()).setActiveWindowVisible(false);
    m_selectedKind = kEmbeddedChart;
    return;
  }
  const auto range = required(workbook.name(name)).refersToRange();
  m_selectedSheet = required(required(range).worksheet()).name();
  const QString address = required(required(workbook.worksheet(m_selectedSheet)).range(name)).address();
  required(required(required(workbook.application()).worksheet(m_selectedSheet)).range(address))
      .copyPicture(excel::xlScreen, format);
}

const office::Picture* UserFormObj::previewPicture() const { return imgChart->picture(); }

}  // namespace morvane::mainwindow
