#include "mainwindow/elastic_layout.h"

#include <QApplication>
#include <QEvent>
#include <QScrollBar>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace morvane::mainwindow {

namespace {

int share(double part, int room) { return int(std::lround(part * room)); }

}  // namespace

ElasticLayout::ElasticLayout(QWidget* form, QSize designSize)
    : QObject(form), m_form(form), m_design(designSize) {
  for (QWidget* child : form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    m_entries.push_back({child, child->geometry(), {}});
  m_horizontal = new QScrollBar(Qt::Horizontal, form);
  m_vertical = new QScrollBar(Qt::Vertical, form);
  m_horizontal->setObjectName(QStringLiteral("horizontalScroll"));
  m_vertical->setObjectName(QStringLiteral("verticalScroll"));
  for (QScrollBar* bar : {m_horizontal, m_vertical}) {
    bar->hide();
    connect(bar, &QScrollBar::valueChanged, this, &ElasticLayout::relayout);
  }
  form->installEventFilter(this);
  // Tabbing to a control out of view scrolls it in, so the keyboard reaches every control.
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
    if (now && m_form->isAncestorOf(now)) ensureVisible(now);
  });
}

ElasticLayout::Entry* ElasticLayout::entryOf(QWidget* control) {
  const auto it = std::find_if(m_entries.begin(), m_entries.end(),
                               [control](const Entry& e) { return e.control == control; });
  return it == m_entries.end() ? nullptr : &*it;
}

void ElasticLayout::setShares(QWidget* control, Shares shares) {
  if (Entry* entry = entryOf(control))
    entry->shares = shares;
  else
    m_entries.push_back({control, control->geometry(), shares});
}

QSize ElasticLayout::growthOf(QWidget* parent) const {
  if (parent == m_form) return m_extra;
  const auto it = std::find_if(m_entries.begin(), m_entries.end(),
                               [parent](const Entry& e) { return e.control == parent; });
  return it == m_entries.end() ? QSize() : parent->size() - it->design.size();
}

// Which scroll bars the size needs (one may call for the other), and the viewport they leave.
void ElasticLayout::placeScrollBars(QSize size) {
  const int barWidth = m_vertical->sizeHint().width();
  const int barHeight = m_horizontal->sizeHint().height();
  bool across = size.width() < m_design.width();
  bool down = size.height() < m_design.height();
  for (int pass = 0; pass < 2; ++pass) {
    across = across || (down && size.width() - barWidth < m_design.width());
    down = down || (across && size.height() - barHeight < m_design.height());
  }
  m_viewport =
      QRect(0, 0, size.width() - (down ? barWidth : 0), size.height() - (across ? barHeight : 0));
  m_horizontal->setRange(0, across ? m_design.width() - m_viewport.width() : 0);
  m_horizontal->setPageStep(m_viewport.width());
  m_horizontal->setGeometry(0, m_viewport.height(), m_viewport.width(), barHeight);
  m_horizontal->setVisible(across);
  m_vertical->setRange(0, down ? m_design.height() - m_viewport.height() : 0);
  m_vertical->setPageStep(m_viewport.height());
  m_vertical->setGeometry(m_viewport.width(), 0, barWidth, m_viewport.height());
  m_vertical->setVisible(down);
  m_horizontal->raise();
  m_vertical->raise();
}

void ElasticLayout::relayout() {
  if (m_laying) return;  // the bars' ranges set below may move them and call back
  m_laying = true;
  placeScrollBars(m_form->size());
  m_extra = (m_viewport.size() - m_design).expandedTo(QSize(0, 0));
  const QPoint scrolled(-m_horizontal->value(), -m_vertical->value());
  for (const Entry& e : m_entries) {
    QWidget* parent = e.control->parentWidget();
    const QSize room = growthOf(parent);
    QRect r = e.design.adjusted(
        share(e.shares.left, room.width()), share(e.shares.top, room.height()),
        share(e.shares.right, room.width()), share(e.shares.bottom, room.height()));
    if (parent == m_form) r.translate(scrolled);
    e.control->setGeometry(r);
  }
  m_laying = false;
}

void ElasticLayout::ensureVisible(QWidget* control) {
  const QRect where(control->mapTo(m_form, QPoint(0, 0)), control->size());
  const auto scrollBy = [](QScrollBar* bar, int low, int high, int viewLow, int viewHigh) {
    if (!bar->isVisible()) return;
    if (high > viewHigh)
      bar->setValue(bar->value() + std::min(high - viewHigh, low - viewLow));
    else if (low < viewLow)
      bar->setValue(bar->value() - (viewLow - low));
  };
  scrollBy(m_horizontal, where.left(), where.right(), m_viewport.left(), m_viewport.right());
  scrollBy(m_vertical, where.top(), where.bottom(), m_viewport.top(), m_viewport.bottom());
}

bool ElasticLayout::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_form && event->type() == QEvent::Resize) relayout();
  // A wheel turned over the form's background (not taken by a list or a box) scrolls it.
  if (watched == m_form && event->type() == QEvent::Wheel && m_vertical->isVisible())
    return QApplication::sendEvent(m_vertical, event);
  return QObject::eventFilter(watched, event);
}

}  // namespace morvane::mainwindow
