// The main window on the desktop: it opens at its design size, grows (the list and the
// preview take the room, the other controls keep to their nearest edge) and, on a screen
// smaller than the design, fits the screen and scrolls.
#include <QComboBox>
#include <QDropEvent>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QTreeWidget>

#include "mainwindow/controls.h"
#include "mainwindow/elastic_layout.h"
#include "mainwindow/user_form_obj.h"

namespace morvane::mainwindow {

void UserFormObj::createElasticLayout(QSize designSize) {
  resize(designSize);
  setMinimumSize(designSize / 3);
  m_layout = new ElasticLayout(this, designSize);
  using Shares = ElasticLayout::Shares;
  // Half the height the window gains goes to the list, half to the preview; what lies
  // between them follows the list's bottom edge.
  const Shares list{0, 0, 1, 0.5}, preview{0, 0.5, 1, 1}, underListLeft{0, 0.5, 0, 0.5},
      underListRight{1, 0.5, 1, 0.5}, bottomLeft{0, 1, 0, 1}, bottomRight{1, 1, 1, 1};
  m_layout->setShares(Label19, {0, 0, 1, 0});
  m_layout->setShares(listCharts, list);
  for (QWidget* w : std::initializer_list<QWidget*>{Label32, ComboChtSort, lblChtDisplayCnt,
                                                    SonicClick21, SonicClick20})
    m_layout->setShares(w, underListLeft);
  for (QWidget* w :
       std::initializer_list<QWidget*>{SpinButton1, Label28, Label18, Label24, Frame1, Label30,
                                       ComboBox1, Label11, TextBox1, Label26, TextBox10})
    m_layout->setShares(w, underListRight);
  m_layout->setShares(FrameChrPreview, preview);
  m_layout->setShares(imgChart, {0, 0, 1, 1});
  for (QWidget* w :
       std::initializer_list<QWidget*>{SonicClick19, SonicClick18, SonicClick10, SonicClick6})
    m_layout->setShares(w, bottomRight);
  m_layout->setShares(CommandButton5, bottomLeft);
  fitToScreen();
  m_layout->relayout();
}

// A screen smaller than the design (a small laptop, a large scale factor) gets a window that
// fits it, frame included; the content scrolls inside.
void UserFormObj::fitToScreen() {
  const QScreen* where = screen();
  if (!where) return;
  const int frame = style()->pixelMetric(QStyle::PM_DefaultFrameWidth);
  const QSize room = where->availableGeometry().size() -
                     QSize(2 * frame, style()->pixelMetric(QStyle::PM_TitleBarHeight) + 2 * frame);
  if (room.width() >= width() && room.height() >= height()) return;
  // The scroll bar one direction needs is given room beside the content when the screen has it.
  const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
  QSize fitted = size();
  if (room.height() < height()) fitted.rwidth() += bar;
  if (room.width() < width()) fitted.rheight() += bar;
  resize(fitted.boundedTo(room));
}

// The slide-number box comes first; after it the order reads the window from top left to
// bottom right, a row at a time.
void UserFormObj::setTabOrderFromSlideNumber() {
  const QList<QWidget*> order{
      TextBox10,    OptionButton8, OptionButton6, listCharts,     ComboChtSort, SonicClick21,
      SpinButton1,  OptionButton1, OptionButton2, SonicClick20,   ComboBox1,    TextBox1,
      SonicClick19, SonicClick18,  SonicClick10,  CommandButton5, SonicClick6};
  for (int i = 0; i + 1 < order.size(); ++i) setTabOrder(order[i], order[i + 1]);
}

// F1 opens the help and Ctrl+W closes, as elsewhere on the desktop; Esc does not close the
// window, as the focus is usually in a text box. Both enter as a click would, as do drops.
void UserFormObj::createShortcuts() {
  const std::pair<QKeySequence, void (UserFormObj::*)()> keys[] = {
      {QKeySequence::HelpContents, &UserFormObj::Image3_Click},
      {QKeySequence(Qt::CTRL | Qt::Key_W), &UserFormObj::SonicClick6_Click}};
  for (const auto& [key, handler] : keys) {
    auto* shortcut = new QShortcut(key, this);
    connect(shortcut, &QShortcut::activated, this, [this, handler = handler] { guarded(handler); });
  }
  // A file dropped anywhere on the window reaches it, not the text box under the pointer.
  setAcceptDrops(true);
  TextBox10->setAcceptDrops(false);
  TextBox1->setAcceptDrops(false);
}

QString UserFormObj::droppedWorkbook(const QMimeData* mime) {
  if (!mime || mime->urls().size() != 1 || !mime->urls().first().isLocalFile()) return QString();
  const QString path = mime->urls().first().toLocalFile();
  const QString suffix = QFileInfo(path).suffix().toLower();
  return suffix == QLatin1String("xlsx") || suffix == QLatin1String("xlsm") ? path : QString();
}

void UserFormObj::dragEnterEvent(QDragEnterEvent* event) {
  if (m_commands.openWorkbook && !droppedWorkbook(event->mimeData()).isEmpty())
    event->acceptProposedAction();
}

void UserFormObj::dropEvent(QDropEvent* event) {
  const QString path = droppedWorkbook(event->mimeData());
  if (path.isEmpty() || !m_commands.openWorkbook || m_unloaded) return;
  event->acceptProposedAction();
  // Entered as a click is: the command closes this window.
  enter([this, path] { m_commands.openWorkbook(*this, path); });
}

}  // namespace morvane::mainwindow
