#include "paste/progress_window.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace morvane::paste {

namespace {

const char kCaptionProperty[] = "caption";
const char kTagProperty[] = "Tag";
constexpr double kHimetricPerInch = 2540.0;

// Design sizes, HIMETRIC (0.01 mm).
constexpr double kFormWidth = 9525, kFormHeight = 5027;
constexpr double kBarLeft = 1552, kBarWidth = 6350;
constexpr double kButtonWidth = 2328, kButtonHeight = 635;
const QString kLongestCount = QStringLiteral("250 Object(s) out of 250");

// The design's light window face: the fixed text colours stand on it under any desktop
// palette, a dark one included.
const QColor kWindowFace(240, 240, 240);

void setTextColour(QWidget* w, const QColor& colour, const QColor& background = QColor()) {
  QPalette p = w->palette();
  p.setColor(QPalette::WindowText, colour);
  if (background.isValid()) {
    p.setColor(QPalette::Window, background);
    w->setAutoFillBackground(true);
  }
  w->setPalette(p);
}

}  // namespace

MovingLine::MovingLine(QWidget* parent) : QWidget(parent), m_timer(new QTimer(this)) {
  m_timer->setInterval(60);
  connect(m_timer, &QTimer::timeout, this, [this] {
    m_step = (m_step + 1) % 40;
    update();
  });
}

void MovingLine::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const int segment = std::max(1, width() / 5);
  const int x = (width() + segment) * m_step / 40 - segment;
  painter.fillRect(QRect(x, height() / 2 - 1, segment, 3), palette().color(QPalette::Highlight));
}

void MovingLine::showEvent(QShowEvent*) { m_timer->start(); }
void MovingLine::hideEvent(QHideEvent*) { m_timer->stop(); }

QString Progress::caption(const QWidget* control) {
  return control->property(kCaptionProperty).toString();
}

void Progress::setCaption(QWidget* control, const QString& caption) {
  control->setProperty(kCaptionProperty, caption);
  QString shown = caption;
  shown.replace(QChar(13), QChar(10));
  if (auto* label = qobject_cast<QLabel*>(control)) label->setText(shown);
  else if (auto* button = qobject_cast<QPushButton*>(control)) button->setText(shown);
}

Progress::Progress(QWidget* parent) : QWidget(parent, Qt::Dialog) {
  setObjectName(QStringLiteral("Progress"));
  setWindowTitle(QStringLiteral("Paste progress"));
  setAttribute(Qt::WA_QuitOnClose, false);
  setFixedSize(toPixelsX(kFormWidth), toPixelsY(kFormHeight));
  createBar();
  createLabels();
  createButtons();
  UserForm_Initialize();
}

int Progress::toPixelsX(double himetric) const {
  return int(std::lround(himetric / kHimetricPerInch * logicalDpiX()));
}
int Progress::toPixelsY(double himetric) const {
  return int(std::lround(himetric / kHimetricPerInch * logicalDpiY()));
}
int Progress::pointsToPixels(float points) const {
  return int(std::lround(double(points) * logicalDpiX() / 72.0));
}

// The frame, the blue bar, and the navy percentage with its white twin over the filled part;
// created in that order so each is drawn over the one before.
void Progress::createBar() {
  labPg1a = new QLabel(this);
  labPg1a->setObjectName(QStringLiteral("labPg1a"));
  labPg1a->setGeometry(toPixelsX(1482), toPixelsY(635), toPixelsX(6526), toPixelsY(882));
  labPg1a->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  // The navy percentage is drawn over this frame, so its background is fixed with it.
  labPg1a->setAutoFillBackground(true);
  labPg1a->setBackgroundRole(QPalette::Base);
  QPalette frame = labPg1a->palette();
  frame.setColor(QPalette::Base, Qt::white);
  labPg1a->setPalette(frame);

  labPg1 = new QLabel(this);
  labPg1->setObjectName(QStringLiteral("labPg1"));
  labPg1->setGeometry(toPixelsX(kBarLeft), toPixelsY(741), toPixelsX(kBarWidth), toPixelsY(670));
  labPg1->setFrameStyle(QFrame::Panel | QFrame::Raised);
  labPg1->setStyleSheet(QStringLiteral("QLabel { background-color: rgb(0, 0, 192); }"));

  labPg1v = new QLabel(this);
  labPg1v->setObjectName(QStringLiteral("labPg1v"));
  labPg1v->setGeometry(toPixelsX(kBarLeft), toPixelsY(811), toPixelsX(kBarWidth), toPixelsY(635));
  labPg1v->setWordWrap(true);
  labPg1v->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  setTextColour(labPg1v, QColor(0, 0, 128));
  setCaption(labPg1v, QStringLiteral("50%"));

  labPg1va = new QLabel(this);
  labPg1va->setObjectName(QStringLiteral("labPg1va"));
  labPg1va->setGeometry(toPixelsX(kBarLeft), toPixelsY(811), toPixelsX(kBarWidth), toPixelsY(459));
  labPg1va->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  setTextColour(labPg1va, Qt::white);
  setCaption(labPg1va, QStringLiteral("50%"));
  m_overlayWidth = float(kBarWidth / kHimetricPerInch * 72.0);
}

void Progress::createLabels() {
  const QColor blue(0, 0, 255);
  Label1 = new QLabel(this);
  Label1->setObjectName(QStringLiteral("Label1"));
  // Wide enough for the longest count line a paste shows, inside the form.
  const int left = toPixelsX(2752);
  const int needed = Label1->fontMetrics().horizontalAdvance(kLongestCount) + 2;
  Label1->setGeometry(left, toPixelsY(1693), std::clamp(needed, toPixelsX(3810), width() - left),
                      toPixelsY(423));
  setTextColour(Label1, blue, kWindowFace);

  Label2 = new QLabel(this);
  Label2->setObjectName(QStringLiteral("Label2"));
  Label2->setGeometry(toPixelsX(2752), toPixelsY(2328), toPixelsX(3810), toPixelsY(1058));
  Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  setTextColour(Label2, blue, kWindowFace);

  Label3 = new QLabel(this);
  Label3->setObjectName(QStringLiteral("Label3"));
  Label3->setGeometry(toPixelsX(3810), toPixelsY(3810), toPixelsX(2540), toPixelsY(423));
  setCaption(Label3, QStringLiteral("Processing..."));

  Gif89a1 = new MovingLine(this);
  Gif89a1->setObjectName(QStringLiteral("Gif89a1"));
  Gif89a1->setGeometry(0, toPixelsY(4445), toPixelsX(kFormWidth), toPixelsY(kFormHeight - 4445));
}

void Progress::createButtons() {
  SonicClick3 = new QPushButton(this);
  SonicClick3->setObjectName(QStringLiteral("SonicClick3"));
  SonicClick3->setGeometry(toPixelsX(423), toPixelsY(3175), toPixelsX(kButtonWidth), toPixelsY(kButtonHeight));
  setCaption(SonicClick3, QStringLiteral("Go to PPT"));

  SonicClick2 = new QPushButton(this);
  SonicClick2->setObjectName(QStringLiteral("SonicClick2"));
  SonicClick2->setGeometry(toPixelsX(6774), toPixelsY(3175), toPixelsX(kButtonWidth), toPixelsY(kButtonHeight));
  setCaption(SonicClick2, QStringLiteral("Cancel"));

  connect(SonicClick3, &QPushButton::clicked, this, [this] { guarded(&Progress::SonicClick3_Click); });
  connect(SonicClick2, &QPushButton::clicked, this, [this] { guarded(&Progress::SonicClick2_Click); });
}

void Progress::UserForm_Initialize() {
  // The full bar width, in points, as the labPg1v's width reads.
  const double fullWidth = kBarWidth / kHimetricPerInch * 72.0;
  labPg1->setProperty(kTagProperty, QString::number(fullWidth));
  setBarWidth(0);
  setCaption(labPg1, QString());
}

QString Progress::tag() const { return labPg1->property(kTagProperty).toString(); }

void Progress::setBarWidth(float points) {
  m_barWidth = points;
  labPg1->resize(pointsToPixels(points), labPg1->height());
  labPg1->setVisible(points > 0);
}

void Progress::setOverlayWidth(float points) {
  m_overlayWidth = points;
  labPg1va->resize(pointsToPixels(points), labPg1va->height());
}

void Progress::ProgressStyle1(float percent, bool showValue) {
  if (showValue) {
    const QString text =
        QString(25, QLatin1Char(' ')) + QString::number(std::lround(double(percent) * 100)) + QLatin1Char('%');
    setCaption(labPg1v, text);
    setCaption(labPg1va, caption(labPg1v));
    setOverlayWidth(m_barWidth);
  }
  // Kept inside the frame even if more objects arrive than were counted.
  const double full = tag().toDouble();
  setBarWidth(float(std::clamp(std::floor(full * double(percent)), 0.0, full)));
}

void Progress::showFinished() {
  setCaption(Label2, kDone);
  Gif89a1->hide();
  Label3->hide();
}

void Progress::showForm() {
  if (m_unloaded || isVisible()) return;
  show();
}

void Progress::guarded(void (Progress::*handler)()) {
  if (m_entry) m_entry([this, handler] { (this->*handler)(); });
  else (this->*handler)();
}

void Progress::unload() {
  if (m_unloaded) return;
  m_unloaded = true;
  UserForm_QueryClose();
  hide();
  if (m_release) m_release(this);
  else deleteLater();
}

void Progress::SonicClick2_Click() { unload(); }

void Progress::SonicClick3_Click() {
  if (m_goToPowerPoint) m_goToPowerPoint();
  else unload();
}

void Progress::UserForm_QueryClose() {
  if (m_queryClose) m_queryClose();
}

void Progress::closeEvent(QCloseEvent* event) {
  event->accept();
  if (!m_unloaded) guarded(&Progress::unload);
}

}  // namespace morvane::paste
