#include "mainwindow/controls.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QToolButton>
#include <algorithm>
#include <cmath>

namespace morvane::mainwindow {

void setFixedColours(QWidget* control, const QColor& text, const QColor& background) {
  QPalette p = control->palette();
  for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    p.setColor(role, text);
  for (auto role : {QPalette::Window, QPalette::Base, QPalette::Button})
    p.setColor(role, background);
  control->setPalette(p);
  control->setAutoFillBackground(true);
}

double contrastRatio(const QColor& a, const QColor& b) {
  const auto luminance = [](const QColor& c) {
    const auto channel = [](double v) {
      return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
  };
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
    emit clicked();
  QLabel::mouseReleaseEvent(event);
}

void ObjectList::keyPressEvent(QKeyEvent* event) {
  m_handlingKey = true;
  QTreeWidget::keyPressEvent(event);
  m_handlingKey = false;
}

PictureView::PictureView(QWidget* parent) : QWidget(parent) {}

void PictureView::setPicture(std::unique_ptr<office::Picture> picture) {
  m_picture = std::move(picture);
  update();
}

QRectF PictureView::pictureRect() const {
  if (!m_picture) return {};
  const QSizeF natural = m_picture->naturalSize();
  if (natural.isEmpty()) return {};
  const QSizeF fitted = natural.scaled(QSizeF(size()), Qt::KeepAspectRatio);
  return QRectF(QPointF((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);
}

void PictureView::paintEvent(QPaintEvent*) {
  if (!m_picture) return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.setRenderHint(QPainter::Antialiasing);
  m_picture->draw(painter, pictureRect());
}

SpinButton::SpinButton(QWidget* parent)
    : QWidget(parent), m_up(new QToolButton(this)), m_down(new QToolButton(this)) {
  m_up->setArrowType(Qt::UpArrow);
  m_down->setArrowType(Qt::DownArrow);
  m_up->setObjectName(QStringLiteral("SpinUp"));
  m_down->setObjectName(QStringLiteral("SpinDown"));
  m_up->setAutoRaise(false);
  m_down->setAutoRaise(false);
  m_up->setFocusPolicy(Qt::NoFocus);
  m_down->setFocusPolicy(Qt::NoFocus);
  setFocusPolicy(Qt::StrongFocus);
  connect(m_up, &QToolButton::clicked, this, &SpinButton::spinUp);
  connect(m_down, &QToolButton::clicked, this, &SpinButton::spinDown);
}

// The arrows leave a one-pixel edge, where the focus shows.
void SpinButton::resizeEvent(QResizeEvent*) {
  const QRect inner = rect().adjusted(1, 1, -1, -1);
  const int half = inner.height() / 2;
  m_up->setGeometry(inner.x(), inner.y(), inner.width(), half);
  m_down->setGeometry(inner.x(), inner.y() + half, inner.width(), inner.height() - half);
}

void SpinButton::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Up)
    m_up->click();
  else if (event->key() == Qt::Key_Down)
    m_down->click();
  else
    QWidget::keyPressEvent(event);
}

void SpinButton::paintEvent(QPaintEvent*) {
  if (!hasFocus()) return;
  QPainter painter(this);
  painter.setPen(palette().color(QPalette::Highlight));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

BusyIndicator::BusyIndicator(QWidget* parent) : QWidget(parent), m_timer(new QTimer(this)) {
  m_timer->setInterval(80);
  connect(m_timer, &QTimer::timeout, this, [this] {
    m_step = (m_step + 1) % 12;
    update();
  });
}

bool BusyIndicator::isAnimating() const { return m_timer->isActive(); }

void BusyIndicator::showEvent(QShowEvent*) { m_timer->start(); }
void BusyIndicator::hideEvent(QHideEvent*) { m_timer->stop(); }

void BusyIndicator::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  const double side = std::min(width(), height());
  const double radius = side * 0.35;
  const double dot = side * 0.08;
  const QPointF centre = QRectF(rect()).center();
  const QColor colour = palette().color(QPalette::Highlight);
  for (int i = 0; i < 12; ++i) {
    const double angle = i * M_PI / 6.0;
    QColor c = colour;
    c.setAlphaF(0.15 + 0.85 * ((i - m_step + 12) % 12) / 11.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(c);
    painter.drawEllipse(centre + QPointF(radius * std::sin(angle), -radius * std::cos(angle)), dot, dot);
  }
}

}  // namespace morvane::mainwindow
